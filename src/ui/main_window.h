// Building the main window's contents.
#pragma once

// Resizes window 1, loads the start-up files and images, builds the menu bar and the controls.
// False when the menu bar could not be created (the program then ends after one pass).
bool buildMainWindow();
// The user-interface images of the calibration windows (452 green tick, 453 clock).
void loadInterfaceImages();
// Places every section of the main window for its current client size.
void layoutMainWindow();
