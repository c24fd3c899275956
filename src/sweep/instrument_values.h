// From sweep parameters to instrument values: the step table and run preparation at run start, the
// DAC counts of each step, and the register image filled at every settings transfer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "calibration/calibration_coefficients.h"

inline constexpr std::size_t stepTableRows = 25;

// One step: the step generator level while idle and while active (V or A, signed).
struct StepRow {
    double offsetLevel = 0.0;
    double stepLevel = 0.0;
    double isCurrent = 0.0; // 0 voltage step, 1 current step
};
using StepTable = std::array<StepRow, stepTableRows>;

// Positions within the timebase cycle, in timebase units counted from its start.
struct TimingSet {
    std::int64_t quietTimeStart = 0;
    std::int64_t rampMeasurePoint = 0;
    std::int64_t baseGateClampOff = 0;
    std::int64_t baseGatePulseStart = 0;
    std::int64_t collectorPulseStart = 0;
    std::int64_t baseGatePulseStop = 0;
    std::int64_t collectorPulseStop = 0;
    std::int64_t samplerStart = 0;
    std::int64_t vbSamplerStart = 0;
    std::int64_t baseGateClampOn = 0;
    std::int64_t quietTimeStop = 0;
    std::int64_t samplerStop = 0;
    std::int64_t vbSamplerStop = 0;
};

struct InstrumentValues {
    // Run preparation results (live from one run start to the next)
    StepTable stepTable{};
    std::int64_t baseCurrentRange = 0; // 0..3; 3 in voltage mode
    std::int64_t lastStepIndex = 0;
    std::int64_t rampStartDelay = 100; // whole timebase cycles
    std::int64_t haltRunLength = 1;    // whole timebase cycles
    std::int64_t haltVoltageMin = 0;   // raw Vc
    std::int64_t haltVoltageMax = 0;
    std::int64_t haltCurrentMin = 0;   // raw Ic
    std::int64_t haltCurrentMax = 0;

    // Step values
    std::int64_t idleDacCounts = 3200;
    std::int64_t activeDacCounts = 3200;
    double targetBaseCurrent = 0.0;
    double targetBaseVoltage = 0.0;
    std::string stepModeLetter = "I";

    // Command texts: "Idle"/"Run"/"Stop"; "Start"/"Stop"/other; "On"/other
    std::string runCommand = "Idle";
    std::string startStopPulse = "Off";
    std::string hvCommand = "On";

    // Timing of the cycle and the sample counts of the reported sums, both set from the pulse width
    TimingSet timing;
    SampleCounts sampleCounts;
};

inline InstrumentValues instrumentValues;

void resetInstrumentValuesDefaults();

// Run start: step table, current range, clamp mode, ramp timing, halt limits and command texts.
void prepareRun();
// Before step k is sent: its two DAC counts and its target level.
void prepareStep(std::int64_t k);
// At the start of every settings transfer: updates the register image in place.
void fillRegisterImage();
// After the transfer has sent the image: clears the one-shot commands.
void finishRegisterTransfer();
// One settings transfer: fills the image, sends all 32 registers, writes the dump, clears the one-shots.
void sendRegisterImage();

// Timebase length in units of 42.6667 µs for a sample rate, rounded half away from zero.
std::int64_t timebaseLength(std::int64_t sampleRate);
