#include "display/live_status.h"

// Filled in later with the live readings.
void refreshLiveReadings() {}

// Filled in later with the status refresh.
void refreshStatus() {}
