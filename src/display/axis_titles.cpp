// The two axis titles: symbol, lowered subscript and the bracketed unit and name, the Y title turned.
#include <algorithm>

#include "base/colour_theme.h"
#include "base/program_fonts.h"
#include "display/graph_axes.h"
#include "display/graph_drawing.h"
#include "display/graph_mode.h"

namespace {

// Titles stay on the image however narrow the graph gets.
void drawTitlePiece(platform::Image& image, const PlotArea& a, int x, int y, const std::string& text, bool turned) {
    x = std::clamp(x, 0, a.width);
    y = std::clamp(y, 0, a.height);
    const platform::Font& font = programFonts.localText;
    if (turned)
        platform::drawTextVertical(image, font, x, y, text, colourTheme.graphTextColour);
    else
        platform::drawText(image, font, x, y, text, colourTheme.graphTextColour);
}

} // namespace

void drawAxisTitles(platform::Image& image, const PlotArea& a) {
    const platform::Font& font = programFonts.localText;
    const GraphMode& m = graphMode;

    const int xWidth = platform::textWidth(font, m.xSymbol + m.xSubscript + graphAxes.xTitleRest);
    const int xSymbolWidth = platform::textWidth(font, m.xSymbol);
    const int xSubscriptWidth = platform::textWidth(font, m.xSubscript);
    const int x0 = a.left + a.plotWidth() / 2 - xWidth / 2;
    drawTitlePiece(image, a, x0, a.bottom + 35, m.xSymbol, false);
    drawTitlePiece(image, a, x0 + xSymbolWidth, a.bottom + 40, m.xSubscript, false);
    drawTitlePiece(image, a, x0 + xSymbolWidth + xSubscriptWidth, a.bottom + 35, graphAxes.xTitleRest, false);

    const int yWidth = platform::textWidth(font, m.ySymbol + m.ySubscript + graphAxes.yTitleRest);
    const int ySymbolWidth = platform::textWidth(font, m.ySymbol);
    const int ySubscriptWidth = platform::textWidth(font, m.ySubscript);
    const int y0 = a.top + a.plotHeight() / 2 + yWidth / 2;
    drawTitlePiece(image, a, 10, y0, m.ySymbol, true);
    drawTitlePiece(image, a, 15, y0 - ySymbolWidth, m.ySubscript, true);
    drawTitlePiece(image, a, 10, y0 - ySymbolWidth - ySubscriptWidth, graphAxes.yTitleRest, true);
}
