#include "app/shell_state.h"

#include <cstdio>

void resetShellDefaults() {
    shell = ShellState{};
}

std::string mainWindowFullTitle() {
    char version[32];
    std::snprintf(version, sizeof version, " V%.3f", static_cast<double>(shell.programVersion));
    return shell.mainWindowTitle + version;
}
