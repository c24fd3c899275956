// Graph rendering of the live or displayed run.
#pragma once

// Empties the per-step key labels and sets the per-step display counts to 0 for a new run.
void clearGraphStepDisplay();
