// Building the main window's contents and laying them out for the window's size.
#pragma once

#include <cstdint>

// Position and size of the left column (container 59), in client pixels below the menu bar.
struct MainWindowLayout {
    std::int64_t leftColumnX = 2, leftColumnY = 2;
    std::int64_t leftColumnWidth = 288, leftColumnHeight = 500;
};

inline MainWindowLayout mainWindowLayout;

void resetMainWindowLayoutDefaults();

// Resizes window 1, loads the start-up files and images, builds the menu bar and the controls.
// False when the menu bar could not be created (the program then ends after one pass).
bool buildMainWindow();
// The user-interface images of the calibration windows (452 green tick, 453 clock).
void loadInterfaceImages();
// Left column 288 wide, panel 400 wide on the right, the graph takes the rest; all three the full
// height below the menu bar.
void layoutMainWindow();
