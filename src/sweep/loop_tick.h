// The loop tick with the sweep state machine and the report decoder.
#pragma once

#include <cstdint>
#include <string>

struct SweepControl {
    std::int64_t sweepState = 0;
    std::int64_t runRequest = 0;
    std::int64_t currentStep = 0;
    std::int64_t currentEntry = 0;
    std::string statusText;
    std::string lastStopReason;
    std::int64_t redrawRequested = 0;
    std::int64_t lastRedrawTime = 0;
};

inline SweepControl sweepControl;
