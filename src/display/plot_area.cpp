#include "display/plot_area.h"

#include <algorithm>
#include <cstdint>

#include "display/graph_layout.h"

namespace {

// Far above any screen, far below what would overflow pixel arithmetic.
constexpr std::int64_t largestImageSide = 16384;

int imageSide(std::int64_t requested) {
    return static_cast<int>(std::clamp<std::int64_t>(requested, 1, largestImageSide));
}

} // namespace

PlotArea plotAreaFor(int width, int height) {
    PlotArea a;
    a.width = width;
    a.height = height;
    a.right = width - marginRight;
    a.bottom = height - marginBottom;
    return a;
}

PlotArea currentPlotArea() {
    return plotAreaFor(imageSide(graphLayout.graphWidth), imageSide(graphLayout.graphHeight));
}

int panelImageWidth() {
    return imageSide(graphLayout.panelWidth);
}

int panelImageHeight() {
    return imageSide(graphLayout.panelHeight);
}
