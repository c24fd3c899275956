#include <gtest/gtest.h>

#include "platform/platform.h"

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <vector>

using namespace platform;
namespace fs = std::filesystem;

namespace {

fs::path scratchFolder(const std::string& name) {
    fs::path folder = fs::path(KRV_BINARY_DIR) / "test-scratch" / "platform_png" / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

// Writes a PNG of any layout with libpng's simple API, as other programs would.
void writeRawPng(const fs::path& path, int width, int height, png_uint_32 format, const std::vector<png_byte>& pixels,
                 const png_color* colormap = nullptr, int colormapEntries = 0) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = format;
    image.colormap_entries = static_cast<png_uint_32>(colormapEntries);
    ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, colormap));
}

Image sampleImage() {
    Image image(37, 23, rgb(12, 34, 56));
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x) setPixel(image, x, y, rgb(x * 7, y * 11, (x * y) & 255));
    return image;
}

} // namespace

TEST(Png, WriteThenReadIsPixelExact) {
    fs::path file = scratchFolder("roundtrip") / "picture.png";
    Image original = sampleImage();
    ASSERT_TRUE(writePng(original, file.string()));
    Image back;
    ASSERT_TRUE(readPng(file.string(), back));
    ASSERT_EQ(back.width(), 37);
    ASSERT_EQ(back.height(), 23);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x) ASSERT_EQ(back.pixel(x, y), original.pixel(x, y)) << x << "," << y;

    // Replacing an existing file works and leaves nothing else in the folder.
    ASSERT_TRUE(writePng(Image(2, 2, rgb(255, 0, 0)), file.string()));
    ASSERT_TRUE(readPng(file.string(), back));
    EXPECT_EQ(back.width(), 2);
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);
}

TEST(Png, WrittenFileIsEightBitRgb) {
    fs::path file = scratchFolder("format") / "picture.png";
    ASSERT_TRUE(writePng(sampleImage(), file.string()));
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, file.c_str()));
    EXPECT_EQ(image.format, static_cast<png_uint_32>(PNG_FORMAT_RGB));
    png_image_free(&image);
    std::FILE* raw = std::fopen(file.c_str(), "rb");
    unsigned char header[26] = {};
    ASSERT_EQ(std::fread(header, 1, sizeof header, raw), sizeof header);
    std::fclose(raw);
    EXPECT_EQ(header[24], 8) << "bit depth";
    EXPECT_EQ(header[25], 2) << "colour type RGB";
}

TEST(Png, FailedWritesLeaveNoFile) {
    fs::path folder = scratchFolder("failures");
    EXPECT_FALSE(writePng(sampleImage(), (folder / "missing" / "picture.png").string()));
    fs::create_directory(folder / "occupied.png"); // a folder where the file should go
    EXPECT_FALSE(writePng(sampleImage(), (folder / "occupied.png").string()));
    EXPECT_FALSE(writePng(Image(), (folder / "empty.png").string()));
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder)) left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"occupied.png"});
}

TEST(Png, ReadsOtherLayoutsAndCompositesAlphaOverBlack) {
    fs::path folder = scratchFolder("layouts");
    // Grey with alpha: opaque grey 200, half-transparent white, fully transparent white.
    writeRawPng(folder / "ga.png", 3, 1, PNG_FORMAT_GA, {200, 255, 255, 128, 255, 0});
    // 16-bit RGBA.
    writeRawPng(folder / "rgba16.png", 1, 1, PNG_FORMAT_LINEAR_RGB_ALPHA,
                {0xff, 0xff, 0x00, 0x00, 0x00, 0x00, 0xff, 0xff});
    // Palette.
    const png_color palette[2] = {{10, 20, 30}, {200, 100, 50}};
    writeRawPng(folder / "palette.png", 2, 1, PNG_FORMAT_RGB_COLORMAP, {1, 0}, palette, 2);

    struct Case {
        const char* name;
        int x;
        Rgb expected;
    } cases[] = {
        {"ga.png", 0, rgb(200, 200, 200)}, {"ga.png", 1, rgb(128, 128, 128)}, {"ga.png", 2, rgb(0, 0, 0)},
        {"rgba16.png", 0, rgb(255, 0, 0)},  {"palette.png", 0, rgb(200, 100, 50)}, {"palette.png", 1, rgb(10, 20, 30)},
    };
    for (const auto& c : cases) {
        Image image;
        ASSERT_TRUE(readPng((folder / c.name).string(), image)) << c.name;
        EXPECT_EQ(image.pixel(c.x, 0), c.expected) << c.name << " x=" << c.x;
    }
}

TEST(Png, UnreadableFilesLeaveTheImageAlone) {
    fs::path folder = scratchFolder("bad");
    {
        std::FILE* file = std::fopen((folder / "truncated.png").c_str(), "wb");
        const unsigned char signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H'};
        std::fwrite(signature, 1, sizeof signature, file);
        std::fclose(file);
    }
    Image image(3, 3, rgb(1, 2, 3));
    EXPECT_FALSE(readPng((folder / "truncated.png").string(), image));
    EXPECT_FALSE(readPng((folder / "absent.png").string(), image));
    EXPECT_EQ(image.width(), 3);
    EXPECT_EQ(image.pixel(1, 1), rgb(1, 2, 3));
}
