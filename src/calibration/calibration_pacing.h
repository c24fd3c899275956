// The fixed waits of the calibration procedures (the meter's settling, the instrument's settling, the
// factory sequence's steps). Tests shorten them all by one factor.
#pragma once

struct CalibrationPacing {
    double waitScale = 1.0;
};

inline CalibrationPacing calibrationPacing;

void resetCalibrationPacingDefaults();
// A wait of `ms` as it runs now.
int pacedMs(int ms);
void pacedSleep(int ms);
