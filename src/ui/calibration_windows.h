// The calibration windows opened from the Utilities menu.
#pragma once

void openAdcDacCalibrationWindow();
void openFactoryFixtureWindow();
void openOffsetParasiticsWindow();
