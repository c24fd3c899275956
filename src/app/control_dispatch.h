// Control dispatch of the main window: control number -> handler, then the panel refresh when marked.
#pragma once

// Runs the handler of a main-window control; unknown numbers do nothing. Returns true when known.
bool dispatchControlEvent(int control);
