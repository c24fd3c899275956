// The main event loop of the GUI thread.
#pragma once

// One pass: wait at most 1 ms for an event, classify it, hot-region test, its action, the loop tick.
void mainLoopPass();
// Runs passes until quitRequested is set.
void runMainEventLoop();
// Highest hot region (525..549) whose rectangle holds (x, y); 0 when none.
int hotRegionAt(int x, int y);
void runHotRegionAction(int region);
