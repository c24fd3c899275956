#include "app/update_check.h"

// Filled in with the update check; the start-up date bookkeeping around it is already live.
void runUpdateCheck() {}
