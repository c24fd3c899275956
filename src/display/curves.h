// Where a sample lands on the graph: scaled by the axes' full scales and clamped onto the frame.
#pragma once

#include "display/plot_area.h"

struct CurveMapping {
    double left = 0, right = 0, top = 0, bottom = 0;
    double px = 0; // pixels per unit along X: plot width / X full scale (negative on a negative axis)
    double py = 0;
};

struct CurvePixel {
    int x = 0;
    int y = 0;
    bool operator==(const CurvePixel&) const = default;
};

CurveMapping curveMapping(const PlotArea& area);
// A value that is not a number lands on the left or top edge of the frame.
CurvePixel curvePixel(const CurveMapping& m, double xValue, double yValue);
