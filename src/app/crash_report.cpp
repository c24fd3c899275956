#include "app/crash_report.h"

// Filled in with the crash report; until then a fault ends the process the default way.
void installCrashHandler() {}
