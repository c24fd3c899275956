#include "display/graph_drawing.h"

#include "base/colour_theme.h"
#include "display/graph_images.h"

void drawGraph() {
    const PlotArea a = currentPlotArea();
    applyGraphDisplaySettings();
    const ColourTheme& t = colourTheme;
    graphImages.graph = platform::Image(a.width, a.height, t.graphBackgroundColour);
    platform::Image& image = graphImages.graph;

    platform::fillRect(image, a.left, a.top, a.plotWidth(), a.plotHeight(), t.plotAreaColour);
    platform::drawLine(image, a.left, a.top, a.right, a.top, t.graticuleMajorColour);
    platform::drawLine(image, a.left, a.top, a.left, a.bottom, t.graticuleMajorColour);
    platform::drawLine(image, a.left, a.bottom, a.right, a.bottom, t.graticuleMajorColour);
    platform::drawLine(image, a.right, a.bottom, a.right, a.top, t.graticuleMajorColour);

    drawAxisTitles(image, a);
    drawXGraticule(image, a);
    drawYGraticule(image, a);
    drawCurves(image, a);
}
