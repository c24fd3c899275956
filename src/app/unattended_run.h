// "krv650 run": sweeps of a series of parts with no window on screen, driven through the same start-up,
// main loop passes, link, sweep state machine and result saving as the RUN button.
#pragma once

#include <string>

#include "app/command_line.h"

struct UnattendedOptions {
    std::string setupFile;        // empty: the start-up test setup
    int port = 0;                 // 0: KRV_ComPort from the settings
    int repeat = 1;               // parts
    double intervalSeconds = -1;  // between parts; negative: wait for Enter
    std::string idPrefix = "part";
    std::string outDir = ".";     // summary.csv and the per-part copies
    bool params = false;
    bool json = false;
};

enum UnattendedExit : int {
    unattendedCompleted = 0,
    unattendedOutputFailed = 1,     // stdout, summary.csv or a copy could not be written
    unattendedPortFailed = 3,       // the port would not open
    unattendedLinkLost = 4,         // the instrument went away during the series
    unattendedStoppedByInstrument = 5, // a ramp ended by the instrument's own stop or a fault code
    unattendedProgramFault = exitProgramFault,
    unattendedInterrupted = 130,    // Ctrl-C (or the end of the input while waiting for Enter)
};

// The id of part `number` (from 1): the prefix, "-" and at least three digits.
std::string partId(const std::string& prefix, int number);

// Runs the series in the current working directory; returns the process exit code.
int runUnattended(const UnattendedOptions& options);
