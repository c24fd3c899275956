// The four cursors over the graph: dashed lines, letters, markers on the frame and the slope line.
#pragma once

#include "display/plot_area.h"

struct CursorPixels {
    int xA = 0, xB = 0, yA = 0, yB = 0;
};

// Window positions of the cursors in a graph of the given plot area; not clamped to the plot area.
CursorPixels cursorPixels(const PlotArea& area);
void drawCursors();
