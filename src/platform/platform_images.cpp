// In-memory RGB images and the pixel-exact drawing operations on them.
#include "platform/platform_internal.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace platform {

Image::Image() = default;

Image::Image(int width, int height, Rgb fill) {
    if (width <= 0 || height <= 0) return;
    data_ = std::make_shared<ImageData>();
    data_->image = QImage(width, height, QImage::Format_RGB32);
    if (data_->image.isNull()) {
        data_.reset(); // the allocation failed
        return;
    }
    data_->image.fill(0xff000000u | fill);
}

// The toolkit's image shares its pixels until one side writes, so a copy costs nothing up front.
Image::Image(const Image& other) : data_(other.data_ ? std::make_shared<ImageData>(*other.data_) : nullptr) {}

Image& Image::operator=(const Image& other) {
    if (this != &other) data_ = other.data_ ? std::make_shared<ImageData>(*other.data_) : nullptr;
    return *this;
}

Image::Image(Image&&) noexcept = default;
Image& Image::operator=(Image&&) noexcept = default;
Image::~Image() = default;

bool Image::valid() const {
    return data_ && !data_->image.isNull();
}

int Image::width() const {
    return valid() ? data_->image.width() : 0;
}

int Image::height() const {
    return valid() ? data_->image.height() : 0;
}

Rgb Image::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return 0;
    return scanLine(y)[x] & 0xffffffu;
}

const std::uint32_t* Image::scanLine(int y) const {
    if (y < 0 || y >= height()) return nullptr;
    const QImage& image = data_->image;
    return reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
}

void Image::detach() {
    if (data_ && data_.use_count() > 1) data_ = std::make_shared<ImageData>(*data_);
}

QImage& ImageAccess::pixels(Image& image) {
    image.detach();
    return image.data_->image;
}

Image ImageAccess::fromQImage(const QImage& source) {
    Image result;
    if (source.isNull()) return result;
    result.data_ = std::make_shared<ImageData>();
    result.data_->image = source.format() == QImage::Format_RGB32 ? source : source.convertToFormat(QImage::Format_RGB32);
    return result;
}

namespace {

inline std::uint32_t* row(QImage& image, int y) {
    return reinterpret_cast<std::uint32_t*>(image.scanLine(y));
}

inline void plot(QImage& image, int x, int y, std::uint32_t value) {
    if (x >= 0 && y >= 0 && x < image.width() && y < image.height()) row(image, y)[x] = value;
}

// Liang-Barsky clip of a long line to a box around the image, so that drawing stays proportional to
// what is visible; short lines are walked whole so their pixels never depend on the clip.
bool clipLine(long long& x1, long long& y1, long long& x2, long long& y2, long long width, long long height) {
    const long long margin = 2;
    double t0 = 0.0, t1 = 1.0;
    double dx = static_cast<double>(x2 - x1), dy = static_cast<double>(y2 - y1);
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {static_cast<double>(x1 + margin), static_cast<double>(width + margin - 1 - x1),
                         static_cast<double>(y1 + margin), static_cast<double>(height + margin - 1 - y1)};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    long long nx1 = x1 + static_cast<long long>(std::llround(t0 * dx));
    long long ny1 = y1 + static_cast<long long>(std::llround(t0 * dy));
    x2 = x1 + static_cast<long long>(std::llround(t1 * dx));
    y2 = y1 + static_cast<long long>(std::llround(t1 * dy));
    x1 = nx1;
    y1 = ny1;
    return true;
}

} // namespace

void fillRect(Image& image, int x, int y, int width, int height, Rgb colour) {
    if (!image.valid() || width <= 0 || height <= 0) return;
    QImage& pixels = ImageAccess::pixels(image);
    long long left = std::max<long long>(x, 0), top = std::max<long long>(y, 0);
    long long right = std::min<long long>(static_cast<long long>(x) + width, pixels.width());
    long long bottom = std::min<long long>(static_cast<long long>(y) + height, pixels.height());
    const std::uint32_t value = 0xff000000u | colour;
    for (long long yy = top; yy < bottom; ++yy) {
        std::uint32_t* line = row(pixels, static_cast<int>(yy));
        std::fill(line + left, line + std::max(left, right), value);
    }
}

void drawLine(Image& image, int x1, int y1, int x2, int y2, Rgb colour) {
    if (!image.valid()) return;
    QImage& pixels = ImageAccess::pixels(image);
    long long ax = x1, ay = y1, bx = x2, by = y2;
    const long long w = pixels.width(), h = pixels.height();
    const long long span = std::max(std::llabs(bx - ax), std::llabs(by - ay));
    if (span > 4 * (w + h) && !clipLine(ax, ay, bx, by, w, h)) return;
    // Bresenham, both end points included.
    const std::uint32_t value = 0xff000000u | colour;
    long long dx = std::llabs(bx - ax), dy = -std::llabs(by - ay);
    long long sx = ax < bx ? 1 : -1, sy = ay < by ? 1 : -1;
    long long error = dx + dy;
    for (;;) {
        if (ax >= 0 && ay >= 0 && ax < w && ay < h) row(pixels, static_cast<int>(ay))[ax] = value;
        if (ax == bx && ay == by) break;
        long long doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            ax += sx;
        }
        if (doubled <= dx) {
            error += dx;
            ay += sy;
        }
    }
}

void setPixel(Image& image, int x, int y, Rgb colour) {
    if (!image.valid() || x < 0 || y < 0 || x >= image.width() || y >= image.height()) return;
    plot(ImageAccess::pixels(image), x, y, 0xff000000u | colour);
}

void setPixels(Image& image, const int* xs, const int* ys, std::size_t count, Rgb colour) {
    if (!image.valid() || count == 0) return;
    QImage& pixels = ImageAccess::pixels(image);
    const int w = pixels.width(), h = pixels.height();
    const qsizetype stride = pixels.bytesPerLine() / static_cast<qsizetype>(sizeof(std::uint32_t));
    std::uint32_t* first = reinterpret_cast<std::uint32_t*>(pixels.bits());
    const std::uint32_t value = 0xff000000u | colour;
    for (std::size_t i = 0; i < count; ++i) {
        const int x = xs[i], y = ys[i];
        if (x >= 0 && y >= 0 && x < w && y < h) first[y * stride + x] = value;
    }
}

// Repaints the 4-connected area that has the colour of (x, y).
void floodFill(Image& image, int x, int y, Rgb colour) {
    if (!image.valid() || x < 0 || y < 0 || x >= image.width() || y >= image.height()) return;
    QImage& pixels = ImageAccess::pixels(image);
    const std::uint32_t target = row(pixels, y)[x];
    const std::uint32_t value = 0xff000000u | colour;
    if (target == value) return;
    const int w = pixels.width(), h = pixels.height();
    std::vector<std::pair<int, int>> seeds{{x, y}};
    while (!seeds.empty()) {
        auto [sx, sy] = seeds.back();
        seeds.pop_back();
        std::uint32_t* line = row(pixels, sy);
        if (line[sx] != target) continue;
        int left = sx, right = sx;
        while (left > 0 && line[left - 1] == target) --left;
        while (right + 1 < w && line[right + 1] == target) ++right;
        std::fill(line + left, line + right + 1, value);
        for (int ny : {sy - 1, sy + 1}) {
            if (ny < 0 || ny >= h) continue;
            const std::uint32_t* next = row(pixels, ny);
            for (int nx = left; nx <= right; ++nx)
                if (next[nx] == target && (nx == left || next[nx - 1] != target)) seeds.emplace_back(nx, ny);
        }
    }
}

namespace {

// Offsets are 64-bit so that copyImage can negate any int position.
void blitAt(Image& target, const Image& source, long long x, long long y) {
    if (!target.valid() || !source.valid()) return;
    QImage& pixels = ImageAccess::pixels(target);
    long long left = std::max<long long>(0, x), top = std::max<long long>(0, y);
    long long right = std::min<long long>(x + source.width(), pixels.width());
    long long bottom = std::min<long long>(y + source.height(), pixels.height());
    if (left >= right) return;
    for (long long yy = top; yy < bottom; ++yy) {
        const std::uint32_t* from = source.scanLine(static_cast<int>(yy - y)) + (left - x);
        std::memcpy(row(pixels, static_cast<int>(yy)) + left, from, static_cast<size_t>(right - left) * 4);
    }
}

} // namespace

void blit(Image& target, const Image& source, int x, int y) {
    blitAt(target, source, x, y);
}

Image copyImage(const Image& source, int x, int y, int width, int height) {
    Image result(width, height, 0);
    blitAt(result, source, -static_cast<long long>(x), -static_cast<long long>(y));
    return result;
}

void setNumberedImage(int number, const Image& image) {
    detail::state().numberedImages[number] = image;
}

const Image* numberedImage(int number) {
    auto& images = detail::state().numberedImages;
    auto found = images.find(number);
    return found == images.end() ? nullptr : &found->second;
}

} // namespace platform
