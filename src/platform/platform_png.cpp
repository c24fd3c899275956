// PNG files through libpng: 8-bit RGB out, any common PNG in.
#include "platform/platform_internal.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// Largest picture accepted when reading; far above anything the program draws or ships.
constexpr png_uint_32 maxSide = 16384;

// Failures are reported by the return value; libpng would otherwise print them.
[[noreturn]] void quietError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void quietWarning(png_structp, png_const_charp) {}

// libpng reports errors by longjmp, so nothing with a destructor may live in these two frames.
bool writeStream(FILE* file, const Image& image, png_bytep rowBuffer) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    const int width = image.width(), height = image.height();
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* line = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            rowBuffer[3 * x] = static_cast<png_byte>(line[x] >> 16);
            rowBuffer[3 * x + 1] = static_cast<png_byte>(line[x] >> 8);
            rowBuffer[3 * x + 2] = static_cast<png_byte>(line[x]);
        }
        png_write_row(png, rowBuffer);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

// Decodes to 8-bit RGBA rows in `pixels` (sized by the caller from the header read first).
bool readStream(FILE* file, std::vector<png_byte>* pixels, png_uint_32* widthOut, png_uint_32* heightOut) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    png_bytep* volatile rows = nullptr; // freed by the error branch after a longjmp
    if (!info || setjmp(png_jmpbuf(png))) {
        std::free(rows);
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_user_limits(png, maxSide, maxSide);
    png_init_io(png, file);
    png_read_info(png, info);
    png_set_expand(png); // palette and low-depth grey to 8 bits, transparency chunk to alpha
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xff, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    if (png_get_rowbytes(png, info) != static_cast<size_t>(width) * 4) png_error(png, "unexpected row layout");
    pixels->resize(static_cast<size_t>(width) * height * 4);
    rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
    if (!rows) png_error(png, "out of memory");
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = pixels->data() + static_cast<size_t>(y) * width * 4;
    png_read_image(png, const_cast<png_bytep*>(rows));
    png_read_end(png, nullptr);
    std::free(rows);
    png_destroy_read_struct(&png, &info, nullptr);
    *widthOut = width;
    *heightOut = height;
    return true;
}

} // namespace

// Written beside the target and renamed over it, so a failure never leaves half a file.
bool writePng(const Image& image, const std::string& path) {
    if (!image.valid() || path.empty()) return false;
    std::string temporary = path + ".XXXXXX";
    int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) return false;
    // The temporary file is private; the picture gets the permissions of any new file.
    mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor, 0666 & ~mask);
    FILE* file = fdopen(descriptor, "wb");
    if (!file) {
        close(descriptor);
        std::remove(temporary.c_str());
        return false;
    }
    std::vector<png_byte> rowBuffer(static_cast<size_t>(image.width()) * 3);
    bool written = writeStream(file, image, rowBuffer.data());
    written = (std::fflush(file) == 0) && written;
    // The picture must be on disk before the rename makes it the file of record, as the data files are.
    written = written && ::fsync(fileno(file)) == 0;
    written = (std::fclose(file) == 0) && written;
    if (written) written = std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!written) std::remove(temporary.c_str());
    return written;
}

// Transparent pixels are composited over black, the background of every window of the program.
bool readPng(const std::string& path, Image& image) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    std::vector<png_byte> pixels;
    png_uint_32 width = 0, height = 0;
    bool decoded = readStream(file, &pixels, &width, &height);
    std::fclose(file);
    if (!decoded || width == 0 || height == 0) return false;
    Image result(static_cast<int>(width), static_cast<int>(height), 0);
    if (!result.valid()) return false;
    QImage& target = ImageAccess::pixels(result);
    for (png_uint_32 y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(target.scanLine(static_cast<int>(y)));
        const png_byte* from = pixels.data() + static_cast<size_t>(y) * width * 4;
        for (png_uint_32 x = 0; x < width; ++x, from += 4) {
            const unsigned alpha = from[3];
            auto over = [alpha](unsigned channel) { return (channel * alpha + 127) / 255; };
            line[x] = 0xff000000u | (over(from[0]) << 16) | (over(from[1]) << 8) | over(from[2]);
        }
    }
    image = std::move(result);
    return true;
}

} // namespace platform
