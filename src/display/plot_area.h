// The graph's fixed margins and divisions, and its plot area in an image of a given size.
#pragma once

constexpr int marginTop = 60;
constexpr int marginBottom = 60;
constexpr int marginLeft = 75;
constexpr int marginRight = 75;
constexpr int majorDivisions = 5;
constexpr int minorDivisions = 5;
constexpr int majorTickLength = 15;
constexpr int minorTickLength = 5;
constexpr int drawnCurveSteps = 24; // steps 0..23; slot 24 is never drawn

struct PlotArea {
    int width = 1;  // W of the image
    int height = 1; // H
    int left = marginLeft;
    int top = marginTop;
    int right = 1 - marginRight;   // W - marginRight
    int bottom = 1 - marginBottom; // H - marginBottom
    int plotWidth() const { return right - left; }
    int plotHeight() const { return bottom - top; }
};

PlotArea plotAreaFor(int width, int height);
// The graph image size the layout asks for, each side raised to at least 1 and kept drawable.
PlotArea currentPlotArea();
// The panel image size the layout asks for, each side at least 1.
int panelImageWidth();
int panelImageHeight();
