#include "results/result_saving.h"

// Filled in later with the save options.
bool autoSaveIsOn() {
    return false;
}

// Filled in later with saving.
void autoSaveRun() {}
