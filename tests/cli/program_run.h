// Runs the real program in the working directory with no display and no Qt platform in its environment.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "test_support.h"

struct ProgramOutcome {
    int code = -1;
    std::string out;
    std::string err;
};

inline ProgramOutcome runKrv650(const std::vector<std::string>& arguments) {
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" KRV_BINARY_DIR "/krv650'";
    for (const std::string& argument : arguments) command += " '" + argument + "'";
    command += " >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    ProgramOutcome outcome;
    outcome.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    outcome.out = testsupport::readFile("out.txt");
    outcome.err = testsupport::readFile("err.txt");
    return outcome;
}
