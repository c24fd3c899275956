#include "platform_fixture.h"

#include "platform/platform_internal.h"

#include <QFontInfo>

#include <filesystem>

using namespace platform;

namespace {

int countPixels(const Image& image, Rgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == colour;
    return count;
}

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};

// Bounding box of every pixel that is not `background`.
Box inkBox(const Image& image, Rgb background) {
    Box box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

} // namespace

TEST(Image, CopiesAreIndependent) {
    Image a(4, 3, rgb(1, 2, 3));
    Image b = a;
    setPixel(b, 0, 0, rgb(9, 9, 9));
    EXPECT_EQ(a.pixel(0, 0), rgb(1, 2, 3));
    EXPECT_EQ(b.pixel(0, 0), rgb(9, 9, 9));
    a = b;
    setPixel(b, 1, 0, rgb(7, 7, 7));
    EXPECT_EQ(a.pixel(1, 0), rgb(1, 2, 3));
    EXPECT_EQ(a.pixel(0, 0), rgb(9, 9, 9));

    EXPECT_FALSE(Image().valid());
    EXPECT_FALSE(Image(0, 5).valid());
    EXPECT_EQ(a.pixel(-1, 0), 0u);
    EXPECT_EQ(a.pixel(4, 0), 0u);
    EXPECT_EQ(a.scanLine(2)[3] & 0xffffffu, rgb(1, 2, 3));
}

TEST(Drawing, ManySinglePixelsAreClippedAndLeaveCopiesAlone) {
    Image a(4, 3, rgb(1, 2, 3));
    Image b = a;
    const int xs[] = {0, 3, -1, 4, 2, 1};
    const int ys[] = {0, 2, 1, 1, -1, 3};
    setPixels(b, xs, ys, 6, rgb(9, 9, 9));
    int painted = 0;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(a.pixel(x, y), rgb(1, 2, 3));
            painted += b.pixel(x, y) == rgb(9, 9, 9);
        }
    EXPECT_EQ(painted, 2);
    EXPECT_EQ(b.pixel(3, 2), rgb(9, 9, 9));
}

TEST(Drawing, FilledRectanglesAreClipped) {
    struct Case {
        int x, y, w, h, expected;
    } cases[] = {
        {2, 3, 4, 5, 20}, {-5, -5, 7, 7, 4}, {8, 8, 100, 100, 4}, {0, 0, 0, 5, 0}, {3, 3, -2, 2, 0},
        {-2147483647, 0, 2147483647, 10, 0}, {0, 0, 2147483647, 2147483647, 100},
    };
    for (const auto& c : cases) {
        Image image(10, 10, 0);
        fillRect(image, c.x, c.y, c.w, c.h, rgb(255, 0, 0));
        EXPECT_EQ(countPixels(image, rgb(255, 0, 0)), c.expected) << c.x << "," << c.y << " " << c.w << "x" << c.h;
    }
}

TEST(Drawing, LinesIncludeBothEndsAndAreClipped) {
    Image image(20, 10, 0);
    drawLine(image, 2, 3, 12, 3, rgb(0, 255, 0));
    EXPECT_EQ(countPixels(image, rgb(0, 255, 0)), 11);
    drawLine(image, 5, 9, 5, 0, rgb(0, 0, 255));
    EXPECT_EQ(countPixels(image, rgb(0, 0, 255)), 10);
    drawLine(image, 0, 0, 9, 9, rgb(255, 255, 255));
    for (int i = 0; i < 10; ++i) EXPECT_EQ(image.pixel(i, i), rgb(255, 255, 255));
    drawLine(image, 17, 4, 17, 4, rgb(1, 1, 1));
    EXPECT_EQ(image.pixel(17, 4), rgb(1, 1, 1));

    // Far-away end points: only the visible part is drawn, and it is where the line runs.
    Image far(100, 100, 0);
    drawLine(far, -1000000000, 50, 1000000000, 50, rgb(255, 0, 0));
    EXPECT_EQ(countPixels(far, rgb(255, 0, 0)), 100);
    drawLine(far, -2000000000, -2000000000, 2000000000, 2000000000, rgb(0, 255, 0));
    EXPECT_EQ(countPixels(far, rgb(0, 255, 0)), 100);
    EXPECT_EQ(far.pixel(37, 37), rgb(0, 255, 0));
    drawLine(far, -500, 300, 500, 300, rgb(0, 0, 255));
    EXPECT_EQ(countPixels(far, rgb(0, 0, 255)), 0);
}

TEST(Drawing, FloodFillStopsAtOtherColours) {
    Image image(10, 10, 0);
    // A closed frame from (2,2) to (7,7); inside is 4 x 4.
    for (int i = 2; i <= 7; ++i) {
        setPixel(image, i, 2, rgb(255, 255, 255));
        setPixel(image, i, 7, rgb(255, 255, 255));
        setPixel(image, 2, i, rgb(255, 255, 255));
        setPixel(image, 7, i, rgb(255, 255, 255));
    }
    floodFill(image, 4, 4, rgb(255, 0, 0));
    EXPECT_EQ(countPixels(image, rgb(255, 0, 0)), 16);
    floodFill(image, 0, 0, rgb(0, 0, 255));
    EXPECT_EQ(countPixels(image, rgb(0, 0, 255)), 100 - 36);
    floodFill(image, 4, 4, rgb(255, 0, 0)); // same colour: nothing to do
    floodFill(image, -1, 4, rgb(9, 9, 9));
    EXPECT_EQ(countPixels(image, rgb(255, 0, 0)), 16);

    Image big(714, 800, 0);
    floodFill(big, 300, 300, rgb(1, 1, 1));
    EXPECT_EQ(countPixels(big, rgb(1, 1, 1)), 714 * 800);
}

TEST(Drawing, BlitAndCopyClip) {
    Image source(4, 4, rgb(10, 20, 30));
    setPixel(source, 0, 0, rgb(1, 1, 1));
    Image target(6, 6, 0);
    blit(target, source, 4, -1);
    EXPECT_EQ(countPixels(target, rgb(10, 20, 30)), 6);
    EXPECT_EQ(target.pixel(4, 0), rgb(10, 20, 30));

    Image part = copyImage(source, -1, -1, 3, 3);
    EXPECT_EQ(part.width(), 3);
    EXPECT_EQ(part.pixel(0, 0), 0u) << "outside the source is black";
    EXPECT_EQ(part.pixel(1, 1), rgb(1, 1, 1));
    EXPECT_EQ(part.pixel(2, 2), rgb(10, 20, 30));
}

TEST_F(PlatformTest, FontsResolveToMetricCompatibleFaces) {
    struct Case {
        const char* face;
        const char* family;
        bool bold;
    } cases[] = {
        {"Arial", "Liberation Sans", false},
        {"Arial Bold", "Liberation Sans", true},
        {"Calibri", "Carlito", false},
    };
    for (const auto& c : cases) {
        Font font(c.face, 10, false, true);
        QFontInfo info(detail::qtFont(font));
        EXPECT_EQ(info.family().toStdString(), c.family) << c.face;
        EXPECT_EQ(info.bold(), c.bold) << c.face;
        EXPECT_EQ(info.pixelSize(), 13) << "10 pt at 96 dpi";
    }
    Font bold("Arial", 9, true, true);
    EXPECT_EQ(bold.face(), "Arial");
    EXPECT_EQ(bold.points(), 9);
    EXPECT_FALSE(Font("Arial", 0, true, true).valid());
}

TEST_F(PlatformTest, TextExtentsFollowFontAndText) {
    Font arial9("Arial", 9, true, true), arial15("Arial", 15, true, true), calibri10("Calibri", 10, true, true);
    EXPECT_EQ(textWidth(arial9, ""), 0);
    EXPECT_GT(textWidth(arial9, "Collector V Max"), 60);
    EXPECT_LT(textWidth(arial9, "Collector V Max"), 119);
    EXPECT_GT(textWidth(arial15, "13V"), textWidth(arial9, "13V"));
    EXPECT_EQ(textWidth(arial9, "ii"), 2 * textWidth(arial9, "i"));
    EXPECT_GE(textHeight(arial9, "x"), 12);
    EXPECT_LE(textHeight(arial9, "x"), 16);
    EXPECT_GE(textHeight(calibri10, "x"), 13);
    EXPECT_LE(textHeight(calibri10, "x"), 18);
    EXPECT_EQ(textWidth(Font(), "abc"), 0);
}

TEST_F(PlatformTest, TextIsDrawnInsideItsBox) {
    Font font("Arial", 15, true, true);
    const std::string text = "13V";
    const int w = textWidth(font, text), h = textHeight(font, text);

    Image level(200, 100, 0);
    drawText(level, font, 50, 20, text, rgb(255, 255, 255));
    Box box = inkBox(level, 0);
    EXPECT_GE(box.left, 50);
    EXPECT_LE(box.right, 50 + w);
    EXPECT_GE(box.top, 20);
    EXPECT_LE(box.bottom, 20 + h);
    EXPECT_GT(box.right - box.left, w / 2);

    // Turned text reads upwards from its bottom-left corner: the box swaps width and height.
    Image turned(100, 200, 0);
    drawTextVertical(turned, font, 20, 150, text, rgb(255, 255, 255));
    Box vbox = inkBox(turned, 0);
    EXPECT_GE(vbox.left, 20);
    EXPECT_LE(vbox.right, 20 + h);
    EXPECT_LE(vbox.bottom, 150);
    EXPECT_GE(vbox.top, 150 - w);
    EXPECT_EQ(vbox.bottom - vbox.top, box.right - box.left);
    EXPECT_EQ(vbox.right - vbox.left, box.bottom - box.top);
    // "1" comes first, so it is at the bottom: the ink of the top row's end belongs to the "V".
    EXPECT_EQ(turned.pixel(vbox.left + (box.bottom - box.top) / 2, vbox.bottom),
              level.pixel(box.left, box.top + (box.bottom - box.top) / 2));

    // Without smoothing only the text colour itself appears.
    Image sharp(200, 100, 0);
    drawText(sharp, Font("Arial", 15, true, false), 10, 10, text, rgb(255, 255, 0));
    EXPECT_EQ(countPixels(sharp, 0) + countPixels(sharp, rgb(255, 255, 0)), 200 * 100);
}

// Writes a picture of the primitives to the build folder, for people to look at.
TEST_F(PlatformTest, SamplePictureOfThePrimitives) {
    Image image(420, 260, rgb(0, 0, 0));
    fillRect(image, 75, 60, 270, 140, rgb(46, 54, 46));
    drawLine(image, 75, 60, 345, 60, rgb(0, 255, 0));
    drawLine(image, 75, 60, 75, 200, rgb(0, 136, 0));
    drawLine(image, 75, 200, 345, 200, rgb(0, 136, 0));
    drawLine(image, 345, 200, 345, 60, rgb(0, 136, 0));
    drawLine(image, 75, 200, 345, 70, rgb(255, 0, 0));
    fillRect(image, 0, 0, 145, 16, rgb(255, 165, 0));
    Font status("Calibri", 10, true, true);
    drawText(image, status, 5, 8 - textHeight(status, "X") / 2 - 1, "TEST / GRAPH MODE", rgb(0, 0, 0));
    fillRect(image, 150, 0, 119, 18, rgb(21, 51, 80));
    drawText(image, Font("Arial", 9, true, true), 153, 2, "Collector V Max", rgb(255, 255, 255));
    fillRect(image, 150, 20, 238, 36, rgb(21, 51, 80));
    Font middle("Arial", 15, true, true);
    drawText(image, middle, 150 + 119 - textWidth(middle, "13V") / 2, 20 + 18 - textHeight(middle, "13V") / 2, "13V",
             rgb(255, 255, 255));
    fillRect(image, 275, 0, 142, 18, rgb(43, 144, 220));
    drawText(image, Font("Calibri", 13, true, true), 290, 0, "CONNECTED", rgb(0, 255, 0));
    Font local("Arial Bold", 10, true, true);
    drawText(image, local, 120, 235, "V", rgb(255, 255, 255));
    drawText(image, local, 120 + textWidth(local, "V"), 240, "CE", rgb(255, 255, 255));
    drawTextVertical(image, local, 10, 190, "I", rgb(255, 255, 255));
    drawTextVertical(image, local, 15, 190 - textWidth(local, "I"), "C", rgb(255, 255, 255));
    drawTextVertical(image, local, 10, 190 - textWidth(local, "IC"), " (mA) Collector current", rgb(255, 255, 255));
    drawTextVertical(image, Font("Arial", 9, true, false), 400, 250, "Arial 9 sharp", rgb(255, 255, 0));
    floodFill(image, 340, 190, rgb(0, 0, 90));
    const std::string path = std::string(KRV_BINARY_DIR) + "/test-scratch/platform_sample.png";
    std::filesystem::create_directories(std::string(KRV_BINARY_DIR) + "/test-scratch");
    ASSERT_TRUE(writePng(image, path));

    Image back;
    ASSERT_TRUE(readPng(path, back));
    struct Probe {
        int x, y;
        Rgb colour;
    };
    const Probe probes[] = {
        {100, 80, rgb(46, 54, 46)},  // plot area above the diagonal
        {300, 190, rgb(0, 0, 90)},   // flood-filled below it, up to the frame and the line
        {200, 60, rgb(0, 255, 0)},   // top edge
        {75, 150, rgb(0, 136, 0)},   // left edge
        {345, 150, rgb(0, 136, 0)},  // right edge
        {143, 1, rgb(255, 165, 0)},  // status strip
        {412, 16, rgb(43, 144, 220)}, // connection strip
        {10, 250, rgb(0, 0, 0)},     // background
        {360, 100, rgb(0, 0, 0)},    // beside the frame, untouched by the fill
    };
    for (const Probe& p : probes) {
        EXPECT_EQ(image.pixel(p.x, p.y), p.colour) << p.x << "," << p.y;
        EXPECT_EQ(back.pixel(p.x, p.y), p.colour) << "read back " << p.x << "," << p.y;
    }
}
