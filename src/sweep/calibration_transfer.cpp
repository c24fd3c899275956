#include "sweep/calibration_transfer.h"

// Filled in later with the block transfer.
void calibrationTransferStep() {}
