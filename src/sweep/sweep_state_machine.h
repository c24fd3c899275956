// The report decoder, which turns each instrument report into status and calibrated readings, and the
// sweep state machine that walks a run through its steps and fills the run record.
#pragma once

#include <cstdint>
#include <string>

// Fields of the last decoded status word.
struct DecodedStatus {
    std::int64_t stepPhase = 0;   // 0 idle, 1 preparing, 2 ramping, 3 discharging
    std::int64_t hvState = 0;     // 3 on, 0 off, 1 or 2 switching
    std::int64_t hvStateBit3 = 0;
    std::int64_t stopCode = 0;    // stop reason of the last ramp; 0 = none
    std::int64_t statusFlags[16] = {}; // bits 8..13 and 15 (calibration sync), 0 or 1
};

constexpr int smoothingSlots = 100;

// Calibrated readings of the last report and their running means over sampleRate reports.
struct SweepReadings {
    double vc = 0, vr = 0, ic = 0, vb = 0;
    double ir = 0, ib = 0; // no report field feeds them; the run record carries their columns
    double smoothedVc = 0, smoothedVr = 0, smoothedIc = 0, smoothedVb = 0;
    double vcSlots[smoothingSlots + 1] = {}, vrSlots[smoothingSlots + 1] = {};
    double icSlots[smoothingSlots + 1] = {}, vbSlots[smoothingSlots + 1] = {};
    int smoothingSlot = 0;
};

// The states of a run, in the order a run passes through them; the values are shown in diagnostics.
enum class SweepState : std::int64_t {
    Idle = 0,               // waiting for a run request
    ResettingStopFlags = 1, // clears a stop code left by the previous ramp
    CheckingFlagsReset = 2, // waits for a report without a stop code
    StartingStep = 3,       // sends the step's levels with the run command
    Sweeping = 4,           // the ramp runs; each report is a sample of the step
    RampDone = 5,           // the step ended; on to the next step or the end of the run
    RunCompleted = 6,       // the last step ended or the run was stopped
};

// What a transition did that the layers above act on.
enum class SweepOutcome {
    None,
    RunCompleted, // the run has just ended: save it (when auto-save is on) and show it
};

struct SweepControl {
    SweepState sweepState = SweepState::Idle;
    std::int64_t runRequest = 0;   // set by the run start, consumed in state 0
    std::int64_t currentStep = 0;
    std::int64_t currentEntry = 0; // samples stored so far for currentStep
    std::string statusText;
    std::string lastStopReason;
    bool lastSampleStored = false; // whether the report taken last went into the run record
};

inline DecodedStatus decodedStatus;
inline SweepReadings sweepReadings;
inline SweepControl sweepControl;

void resetSweepStateMachineDefaults();

// Status word and readings from currentReport, then the smoothing window.
void decodeCurrentReport();
// While a step is sweeping, the decoded report becomes the step's next sample.
void storeSampleWhileSweeping();
// One transition of the sweep state machine.
SweepOutcome advanceSweepStateMachine();
// Whether the next transition can happen without a further report (the loop then waits for nothing).
bool sweepStateMachineWantsPass();
// The connect / disconnect button abandons a run without saving it.
void abandonRun();
// Shown after "Last Sweep Ended By: " when the link went away during a run.
inline constexpr const char* linkLostStopReason = "LINK LOST";
// Whether a run is under way while the link is gone (no stop code can arrive any more).
bool linkLostDuringRun();
// Ends such a run as STOP ends it, once the reports received before the loss are taken; the transition
// that follows completes it (and saves it when auto-save is on). Sends nothing.
void endRunOnLostLink();
bool sweepIsIdle();
// The status line for the state the machine is in.
std::string sweepStatusText();

// Run start hooks: zero the per-step entry counts; raise the run request and empty the stop reason.
void clearRunRecordEntryCounts();
void requestSweepRun();
