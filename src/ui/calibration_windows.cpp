#include "ui/calibration_windows.h"

// Filled in with the calibration windows.
void openAdcDacCalibrationWindow() {}
void openFactoryFixtureWindow() {}
void openOffsetParasiticsWindow() {}
