// Graph rendering of the live or displayed run.
#pragma once

#include <cstdint>

// When the graph was last drawn and whether a redraw is wanted on the next loop tick.
struct GraphRefreshState {
    std::int64_t redrawRequested = 0; // 1 = redraw on this tick; any part of the program may set it
    std::int64_t lastRedrawTime = 0;  // elapsed milliseconds at the last redraw
};

inline GraphRefreshState graphRefresh;

void resetGraphDefaults();
void requestGraphRedraw();
// Empties the per-step key labels and sets the per-step display counts to 0 for a new run.
void clearGraphStepDisplay();
// Redraws the graph, cursors, title, key and panel from the run on show.
void refreshGraph();
