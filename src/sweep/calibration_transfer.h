// Transfer of the calibration block between the instrument's flash and a local file.
#pragma once

// One step of a running block transfer, after each report taken by the loop tick.
void calibrationTransferStep();
