// Ticks, grid lines, division numbers and the minor-division value of both axes.
#include <cmath>

#include "base/colour_theme.h"
#include "base/program_fonts.h"
#include "base/unit_format.h"
#include "display/graph_axes.h"
#include "display/graph_drawing.h"

namespace {

// The division positions advance in single precision, as the scale has always been laid out.
float divisionStep(int plotSide) {
    const float step = static_cast<float>(plotSide) / static_cast<float>(majorDivisions * minorDivisions);
    return step > 0.0f ? step : 1.0f;
}

int toPixel(float position) {
    return static_cast<int>(std::lround(position));
}

void drawNumber(platform::Image& image, int x, int y, const std::string& text) {
    platform::drawText(image, programFonts.localText, x, y, text, colourTheme.graphTextColour);
}

void drawXLabel(platform::Image& image, const PlotArea& a, float x, const std::string& text) {
    const int width = platform::textWidth(programFonts.localText, text);
    drawNumber(image, static_cast<int>(std::lround(x - width / 2.0)), a.bottom + majorTickLength, text);
}

void drawYLabel(platform::Image& image, const PlotArea& a, float y, const std::string& text) {
    const platform::Font& font = programFonts.localText;
    const int width = platform::textWidth(font, text);
    const int height = platform::textHeight(font, text);
    drawNumber(image, a.left - width - majorTickLength, static_cast<int>(std::lround(y - height / 2.0)), text);
}

} // namespace

void drawXGraticule(platform::Image& image, const PlotArea& a) {
    const ColourTheme& t = colourTheme;
    const float dx = divisionStep(a.plotWidth());
    float x = static_cast<float>(a.left);
    for (int i = 0; i < majorDivisions; ++i) {
        int px = toPixel(x);
        platform::drawLine(image, px, a.bottom, px, a.bottom + majorTickLength, t.graticuleMajorColour);
        if (i > 0 && t.majorGridLines == 1)
            platform::drawLine(image, px, a.bottom - 1, px, a.top + 1, t.graticuleMajorColour);
        drawXLabel(image, a, x, graphAxes.xLabels[static_cast<std::size_t>(i)]);
        for (int m = 1; m < minorDivisions; ++m) {
            x += dx;
            px = toPixel(x);
            platform::drawLine(image, px, a.bottom, px, a.bottom + minorTickLength, t.graticuleMinorColour);
            if (t.minorGridLines == 1)
                platform::drawLine(image, px, a.bottom - 1, px, a.top + 1, t.graticuleMinorColour);
        }
        x += dx;
    }
    // The right end: the frame is there, so its tick belongs to the grid.
    const int px = toPixel(x);
    if (t.majorGridLines == 1)
        platform::drawLine(image, px, a.bottom, px, a.bottom + majorTickLength, t.graticuleMajorColour);
    drawXLabel(image, a, x, graphAxes.xLabels[majorDivisions]);

    const std::string minor = trimTrailingZeros(graphAxes.xMinorText);
    const int height = platform::textHeight(programFonts.localText, minor);
    const float first = static_cast<float>(a.left) + dx;
    const int width = platform::textWidth(programFonts.localText, minor);
    drawNumber(image, static_cast<int>(std::lround(first - width / 2.0)), a.bottom + height - 10, minor);
}

void drawYGraticule(platform::Image& image, const PlotArea& a) {
    const ColourTheme& t = colourTheme;
    const float dy = divisionStep(a.plotHeight());
    float y = static_cast<float>(a.bottom);
    for (int j = 0; j < majorDivisions; ++j) {
        int py = toPixel(y);
        platform::drawLine(image, a.left + 1, py, a.left - majorTickLength, py, t.graticuleMajorColour);
        if (j > 0 && t.majorGridLines == 1)
            platform::drawLine(image, a.left + 1, py, a.right - 1, py, t.graticuleMajorColour);
        drawYLabel(image, a, y, graphAxes.yLabels[static_cast<std::size_t>(j)]);
        for (int m = 1; m < minorDivisions; ++m) {
            y -= dy;
            py = toPixel(y);
            platform::drawLine(image, a.left, py, a.left - minorTickLength, py, t.graticuleMinorColour);
            if (t.minorGridLines == 1)
                platform::drawLine(image, a.left + 1, py, a.right - 1, py, t.graticuleMinorColour);
        }
        y -= dy;
    }
    const int py = toPixel(y);
    if (t.majorGridLines == 1)
        platform::drawLine(image, a.left + 1, py, a.left - majorTickLength, py, t.graticuleMajorColour);
    drawYLabel(image, a, y, graphAxes.yLabels[majorDivisions]);

    const platform::Font& font = programFonts.localText;
    const std::string minor = trimTrailingZeros(graphAxes.yMinorText);
    const int width = platform::textWidth(font, minor);
    const int height = platform::textHeight(font, minor);
    const float first = static_cast<float>(a.bottom) - dy;
    drawNumber(image, a.left - width - 10, static_cast<int>(std::lround(first - height / 2.0)), minor);
}
