// Window and control numbers of the calibration windows. Each window's controls lie in a block of
// their own, clear of the numbers of base/gui_numbers.h (the main window below 600, Save Options 3100 ...).
#pragma once

namespace calwin {

constexpr int adcDacWindow = 12;
constexpr int factoryBoardWindow = 13;
constexpr int offsetWindow = 14;

constexpr int adcDacFirstControl = 4000;   // ... 4999
constexpr int factoryFirstControl = 5000;  // ... 5499
constexpr int offsetFirstControl = 5500;   // ... 5599

} // namespace calwin
