// The main window's menu bar.
#pragma once

// Builds the menu bar of window 1; on failure shows "Error #xxxx cannot create menu" and ends the program
// after the current pass.
void createMenuBar();
