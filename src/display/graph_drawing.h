// Drawing the graph image: plot area, frame, axis titles, graticule with its numbers, and curves.
#pragma once

#include "display/plot_area.h"
#include "platform/platform.h"

// Creates graphImages.graph at the layout's size and draws everything but cursors and title strip.
void drawGraph();

void drawAxisTitles(platform::Image& image, const PlotArea& area);
void drawXGraticule(platform::Image& image, const PlotArea& area);
void drawYGraticule(platform::Image& image, const PlotArea& area);
// The curves of steps 0..23 from plotData, over those of the reference (referencePlotData). Segments that add no pixel to what the step has painted
// are left out; the picture is the one drawCurvesEverySegment gives.
void drawCurves(platform::Image& image, const PlotArea& area);
// Every segment of every curve drawn as it comes.
void drawCurvesEverySegment(platform::Image& image, const PlotArea& area);
