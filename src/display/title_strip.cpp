#include "display/title_strip.h"

#include "base/program_fonts.h"
#include "display/graph_images.h"
#include "display/plot_area.h"
#include "display/graph_sources.h"

namespace {

constexpr platform::Rgb white = platform::rgb(255, 255, 255);
constexpr platform::Rgb black = platform::rgb(0, 0, 0);
constexpr int stripTop = 10;
constexpr int labelWidth = 145;
constexpr int labelHeight = 16;

} // namespace

// The same colours in both themes: the title sits on black even where the graph background is white.
void drawTitleStrip() {
    platform::Image& image = graphImages.graph;
    const PlotArea a = plotAreaFor(image.width(), image.height());
    const platform::Font& font = programFonts.controlStatusNormal;
    platform::fillRect(image, a.left, stripTop, labelWidth, labelHeight, white);
    platform::drawText(image, font, a.left + 5, stripTop, "GRAPH TITLE", black);
    platform::drawLine(image, a.left, stripTop + labelHeight, a.right, stripTop + labelHeight, white);

    const std::string& title = graphTitleForGraph();
    const int x = a.left + labelWidth + 5;
    platform::fillRect(image, x, stripTop, platform::textWidth(font, title), labelHeight, black);
    platform::drawText(image, font, x, stripTop, title, white);
}
