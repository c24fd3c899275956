// Window and control numbers of the calibration windows. Each window's controls lie in a block of
// their own, clear of the main window's numbers.
#pragma once

namespace calwin {

constexpr int adcDacWindow = 12;
constexpr int factoryBoardWindow = 13;
constexpr int offsetWindow = 14;

constexpr int adcDacFirstControl = 2000;   // ... 2999
constexpr int factoryFirstControl = 3000;  // ... 3499
constexpr int offsetFirstControl = 3500;   // ... 3599

} // namespace calwin
