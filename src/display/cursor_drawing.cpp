#include "display/cursor_drawing.h"

#include <cmath>

#include "base/program_fonts.h"
#include "display/cursor_actions.h"
#include "display/graph_axes.h"
#include "display/graph_images.h"
#include "display/pixel_math.h"

namespace {

constexpr platform::Rgb white = platform::rgb(255, 255, 255);

// 0 / 0 (no scale yet, cursor at 0) puts the cursor on the axis origin.
int offsetAlong(int plotSide, double cursor, double fullScale) {
    const double offset = plotSide * cursor / fullScale;
    return nearestPixel(std::isnan(offset) ? 0.0 : offset);
}

void drawVerticalCursor(platform::Image& image, const PlotArea& a, int x, int dash, const char* label) {
    for (int z = a.bottom; z > a.top; z -= 10) platform::drawLine(image, x, z, x, z - dash, white);
    const platform::Font& font = programFonts.controlStatusNormal;
    const int width = platform::textWidth(font, label);
    const int height = platform::textHeight(font, label);
    platform::drawText(image, font, static_cast<int>(std::lround(x - width / 2.0)), a.top - 10 - height, label, white);
    platform::drawLine(image, x - 4, a.top - 10, x + 4, a.top - 10, white);
    platform::drawLine(image, x - 4, a.top - 10, x, a.top, white);
    platform::drawLine(image, x + 4, a.top - 10, x, a.top, white);
    platform::floodFill(image, x, a.top - 8, white);
}

void drawHorizontalCursor(platform::Image& image, const PlotArea& a, int y, int dash, const char* label) {
    for (int x = a.left; x < a.right; x += 10) platform::drawLine(image, x, y, x + dash, y, white);
    const platform::Font& font = programFonts.controlStatusNormal;
    const int height = platform::textHeight(font, label);
    platform::drawText(image, font, a.right + 13, static_cast<int>(std::lround(y - height / 2.0)), label, white);
    platform::drawLine(image, a.right + 10, y - 4, a.right + 10, y + 4, white);
    platform::drawLine(image, a.right, y, a.right + 10, y - 4, white);
    platform::drawLine(image, a.right, y, a.right + 10, y + 4, white);
    platform::floodFill(image, a.right + 8, y, white);
}

} // namespace

CursorPixels cursorPixels(const PlotArea& a) {
    const double fx = graphAxes.xScale.fullScale;
    const double fy = graphAxes.yScale.fullScale;
    CursorPixels p;
    p.xA = a.left + offsetAlong(a.plotWidth(), cursors.cursorXA, fx);
    p.xB = a.left + offsetAlong(a.plotWidth(), cursors.cursorXB, fx);
    p.yA = a.bottom - offsetAlong(a.plotHeight(), cursors.cursorYA, fy);
    p.yB = a.bottom - offsetAlong(a.plotHeight(), cursors.cursorYB, fy);
    return p;
}

void drawCursors() {
    platform::Image& image = graphImages.graph;
    const PlotArea a = plotAreaFor(image.width(), image.height());
    const CursorPixels p = cursorPixels(a);
    drawVerticalCursor(image, a, p.xA, 6, "XA");
    drawVerticalCursor(image, a, p.xB, 2, "XB");
    drawHorizontalCursor(image, a, p.yA, 6, "YA");
    drawHorizontalCursor(image, a, p.yB, 2, "YB");
    if (cursors.cursorSlopeLine == 1) platform::drawLine(image, p.xA, p.yA, p.xB, p.yB, white);
}
