// A bare main window over program defaults, the starting point of the loop benchmarks.
#pragma once

#include "app/program_defaults.h"
#include "platform/platform.h"

inline void openBenchMainWindow() {
    platform::initPlatform();
    platform::resetPlatform();
    resetProgramDefaults();
    platform::openWindow(1, 0, 0, 400, 300, "bench", platform::WindowTitleBar);
}
