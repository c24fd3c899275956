#include "display/panel_drawing.h"

#include <cmath>

#include "base/colour_theme.h"
#include "base/program_fonts.h"
#include "display/graph_layout.h"
#include "display/hot_regions.h"

namespace {

constexpr int headerWidth = 145;
constexpr int headerHeight = 16;
constexpr int arrowButtonSide = 24;

void drawButtonFace(platform::Image& image, int x, int y, int width, int height, platform::Rgb fill) {
    platform::fillRect(image, x - 1, y - 1, width + 2, height + 2, panelWhite);
    platform::fillRect(image, x, y, width, height, fill);
}

struct ChevronLine {
    int x1, y1, x2, y2;
};

// Four lines around the centre: two for each arm, one pixel apart.
void chevronLines(Arrow arrow, ChevronLine (&lines)[4]) {
    switch (arrow) {
    case Arrow::Left: lines[0] = {-3, 0, 3, 6}, lines[1] = {-4, 0, 3, 7}, lines[2] = {-3, 0, 3, -6}, lines[3] = {-4, 0, 3, -7}; break;
    case Arrow::Right: lines[0] = {3, 0, -3, 6}, lines[1] = {4, 0, -3, 7}, lines[2] = {3, 0, -3, -6}, lines[3] = {4, 0, -3, -7}; break;
    case Arrow::Up: lines[0] = {0, -4, 6, 2}, lines[1] = {0, -5, 6, 1}, lines[2] = {0, -4, -6, 2}, lines[3] = {0, -5, -6, 1}; break;
    case Arrow::Down: lines[0] = {0, 3, 6, -3}, lines[1] = {0, 4, 6, -2}, lines[2] = {0, 3, -6, -3}, lines[3] = {0, 4, -6, -2}; break;
    }
}

} // namespace

void registerHotRegion(int region, int x, int y, int width, int height) {
    const auto r = static_cast<std::size_t>(region);
    hotRegions.hotRegionLeft[r] = graphLayout.panelX + x;
    hotRegions.hotRegionRight[r] = graphLayout.panelX + x + width;
    hotRegions.hotRegionTop[r] = graphLayout.panelY + y;
    hotRegions.hotRegionBottom[r] = graphLayout.panelY + y + height;
}

int panelTextOffset(const platform::Font& font, const std::string& text) {
    return static_cast<int>(std::lround(headerHeight / 2 - platform::textHeight(font, text) / 2.0 - 1));
}

void drawPanelHeader(platform::Image& image, int y, const std::string& title) {
    const platform::Font& font = programFonts.controlStatusNormal;
    platform::fillRect(image, 0, y, headerWidth, headerHeight, panelWhite);
    platform::drawText(image, font, 5, y + panelTextOffset(font, title), title, panelBlack);
    platform::drawLine(image, 0, y + headerHeight, image.width() - 1, y + headerHeight, panelWhite);
}

void drawField(platform::Image& image, int x, int y, int width, const platform::Font& font, int textX, int textDown,
               const std::string& text) {
    platform::fillRect(image, x, y, width, panelRowHeight, panelFieldColour);
    platform::drawText(image, font, textX, y + textDown, text, panelWhite);
}

void drawTextButton(platform::Image& image, int region, int x, int y, int width, int height, const std::string& text,
                    bool on) {
    drawButtonFace(image, x, y, width, height, on ? colourTheme.accentColour : colourTheme.tileColour);
    const platform::Font& font = programFonts.controlStatusNormal;
    const int textLeft = x + width / 2 - platform::textWidth(font, text) / 2;
    const int textTop = y + height / 2 - platform::textHeight(font, text) / 2;
    platform::drawText(image, font, textLeft, textTop, text, panelWhite);
    registerHotRegion(region, x, y, width, height);
}

void drawArrowButton(platform::Image& image, int region, int x, int y, Arrow arrow) {
    drawButtonFace(image, x, y, arrowButtonSide, arrowButtonSide, colourTheme.accentColour);
    const int cx = x + arrowButtonSide / 2, cy = y + arrowButtonSide / 2;
    ChevronLine lines[4];
    chevronLines(arrow, lines);
    for (const ChevronLine& l : lines) platform::drawLine(image, cx + l.x1, cy + l.y1, cx + l.x2, cy + l.y2, panelWhite);
    registerHotRegion(region, x, y, arrowButtonSide, arrowButtonSide);
}
