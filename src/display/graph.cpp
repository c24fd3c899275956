#include "display/graph.h"

#include "base/gui_numbers.h"
#include "display/cursor_drawing.h"
#include "display/displayed_run.h"
#include "display/graph_axes.h"
#include "display/graph_drawing.h"
#include "display/graph_images.h"
#include "display/graph_mode.h"
#include "display/key_values.h"
#include "display/panel.h"
#include "display/panel_texts.h"
#include "display/title_strip.h"

void resetGraphDefaults() {
    graphRefresh = GraphRefreshState{};
}

void requestGraphRedraw() {
    graphRefresh.redrawRequested = 1;
}

void clearGraphStepDisplay() {
    clearStepLabels();
    clearDisplayedEntryCounts();
}

void refreshGraph() {
    readGraphMode();
    prepareDisplayedRun();
    computeAxes();
    drawGraph();
    drawCursors();
    drawTitleStrip();
    computeKeyValues();
    buildKeyTable();
    drawPanel();
    publishImage(gui::imageGraph, gui::controlGraph, graphImages.graph);
}
