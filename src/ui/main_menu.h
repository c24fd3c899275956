// The main window's menu bar.
#pragma once

// Builds the menu bar of window 1; on failure shows "Error #xxxx cannot create menu" and returns false
// so that the program ends after the current pass.
bool createMenuBar();
