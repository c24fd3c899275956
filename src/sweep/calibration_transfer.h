// Transfer of the calibration block between the instrument's flash and KRV_cal.txt: after every start
// the block the instrument streams is taken twice, compared, and written to the file when they differ.
#pragma once

#include <cstdint>
#include <string>

#include "calibration/calibration_file.h"

struct CalibrationTransfer {
    std::int64_t state = 0;  // 0 .. 14; states 4, 7 and 12 do not exist
    CalibrationBlock firstPass{};
    CalibrationBlock secondPass{};
    std::size_t index = 0;   // next byte of the pass being taken
    std::int64_t counter = 0; // reports waited in state 13
};

inline CalibrationTransfer calibrationTransfer;

void resetCalibrationTransferDefaults();
// Starts the download and compare again from state 0 (the ADC/DAC calibration window does on opening).
void restartCalibrationTransfer();

// One step of the download and compare, for the report just taken and decoded (currentReport). Shows its
// progress in the communication status text.
void calibrationTransferStep();
