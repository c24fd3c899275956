#include "display/graph.h"

void resetGraphDefaults() {
    graphRefresh = GraphRefreshState{};
}

void requestGraphRedraw() {
    graphRefresh.redrawRequested = 1;
}

// Filled in later with the graph's per-step state.
void clearGraphStepDisplay() {}

// Filled in later with the graph rendering.
void refreshGraph() {}
