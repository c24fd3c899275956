// The calibration windows opened from the Utilities menu. Each builds itself, runs its own event loop
// and returns when it is closed.
#pragma once

// The factory CSV file of the measured resistor boards, in the working directory's factory folder.
inline constexpr const char* factoryCsvPath = "factory/640815-3.csv";
// The address the bench instruments' address fields start with.
inline constexpr const char* defaultBenchAddress = "127.0.0.1";

void openAdcDacCalibrationWindow();
void openFactoryFixtureWindow();
void openOffsetParasiticsWindow();
