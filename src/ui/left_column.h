// The left column of the main window: six titled sections of picture controls inside container 59.
#pragma once

#include <array>

#include "base/gui_numbers.h"
#include "platform/platform.h"

// First control of each parameter tile, top to bottom: peak voltage, peak current, step size, offset, steps.
inline constexpr std::array<int, 5> parameterTileFirstControls = {gui::tileCollectorVoltage, gui::tileCollectorCurrent,
                                                                  gui::tileStepSize, gui::tileOffset,
                                                                  gui::tileStepCount};

// Creates the container, the section headers, separators, borders and dividers, and every control of
// the column showing the placeholder (the status controls with their first pictures).
void buildLeftColumn();
// Draws the plus/minus and chevron buttons in the current colours and shows them.
void showSmallButtons();
// Shows a copy of the image in the control, when the control exists.
void showInControl(int control, const platform::Image& image);
