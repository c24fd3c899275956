// Colours of the calibration windows (their headings), beside the main window's theme.
#pragma once

#include "platform/platform.h"

inline constexpr platform::Rgb calibrationHeadingBackground = platform::rgb(31, 78, 121);
inline constexpr platform::Rgb calibrationHeadingText = platform::rgb(255, 255, 255);
inline constexpr platform::Rgb calibrationWindowBackground = platform::rgb(240, 240, 240);
