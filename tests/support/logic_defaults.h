// Puts the sweep, calibration and register-image state back to start-up values between tests.
#pragma once

#include "calibration/calibration_coefficients.h"
#include "link/register_transfer.h"
#include "sweep/instrument_values.h"
#include "sweep/sweep_parameters.h"

inline void resetLogicDefaults() {
    resetSweepParametersDefaults();
    resetInstrumentValuesDefaults();
    resetCalibrationDefaults();
    resetRegisterTransferDefaults();
    frameSender = nullptr;
}
