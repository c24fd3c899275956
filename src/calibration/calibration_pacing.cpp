#include "calibration/calibration_pacing.h"

#include <cmath>

#include "base/elapsed_clock.h"

void resetCalibrationPacingDefaults() {
    calibrationPacing = CalibrationPacing{};
}

int pacedMs(int ms) {
    return static_cast<int>(std::lround(ms * calibrationPacing.waitScale));
}

void pacedSleep(int ms) {
    sleepMilliseconds(pacedMs(ms));
}
