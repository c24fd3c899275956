// Graph rendering of the live or displayed run.
#pragma once

// Empties the per-step key labels and sets the per-step display counts to 0 for a new run.
void clearGraphStepDisplay();
// Redraws the graph, cursors, title, key and panel from the run on show.
void refreshGraph();
