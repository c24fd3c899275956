#include "display/graph.h"

// Filled in later with the graph's per-step state.
void clearGraphStepDisplay() {}

// Filled in later with the graph rendering.
void refreshGraph() {}
