#include "sweep/sweep_state_machine.h"

#include <algorithm>
#include <ctime>

#include "link/comms_thread.h"
#include "link/instrument_link.h"
#include "link/protocol.h"
#include "link/register_transfer.h"
#include "sweep/instrument_values.h"
#include "sweep/run_record.h"
#include "sweep/sweep_parameters.h"

namespace {

void smoothReadings() {
    SweepReadings& r = sweepReadings;
    // The window is the sample rate, kept within the slots that exist.
    int window = static_cast<int>(std::clamp<std::int64_t>(sweepParameters.sampleRate, 1, smoothingSlots));
    r.smoothingSlot += 1;
    if (r.smoothingSlot > window) r.smoothingSlot = 1;
    r.vcSlots[r.smoothingSlot] = r.vc;
    r.vrSlots[r.smoothingSlot] = r.vr;
    r.icSlots[r.smoothingSlot] = r.ic;
    r.vbSlots[r.smoothingSlot] = r.vb;
    double vc = 0, vr = 0, ic = 0, vb = 0;
    for (int i = 1; i <= window; ++i) {
        vc += r.vcSlots[i];
        vr += r.vrSlots[i];
        ic += r.icSlots[i];
        vb += r.vbSlots[i];
    }
    r.smoothedVc = vc / window;
    r.smoothedVr = vr / window;
    r.smoothedIc = ic / window;
    r.smoothedVb = vb / window;
}

// A step holds at most runRecordEntries samples; later reports of the step are not stored.
void storeSample() {
    SweepControl& s = sweepControl;
    s.lastSampleStored = false;
    if (s.currentStep < 0 || s.currentStep >= runRecordSteps || s.currentEntry >= runRecordEntries) return;
    s.currentEntry += 1;
    std::size_t k = static_cast<std::size_t>(s.currentStep);
    std::size_t e = static_cast<std::size_t>(s.currentEntry);
    runRecord.entryCount[k] = s.currentEntry;
    runRecord.VR[k][e] = sweepReadings.vr;
    runRecord.VB[k][e] = sweepReadings.vb;
    runRecord.VC[k][e] = sweepReadings.vc;
    runRecord.IR[k][e] = sweepReadings.ir;
    runRecord.IB[k][e] = sweepReadings.ib;
    runRecord.IC[k][e] = sweepReadings.ic;
    runRecord.TIB[k][e] = instrumentValues.targetBaseCurrent;
    runRecord.TVB[k][e] = instrumentValues.targetBaseVoltage;
    s.lastSampleStored = true;
}

void clearStopCode() {
    registerImage[regControl] |= controlClearStopCode;
    writeRegister(regControl);
    registerImage[regControl] &= ~static_cast<std::int64_t>(controlClearStopCode);
}

// Codes 9 to 13 are not acted on: the ramp goes on.
bool stopCodeEndsRamp(std::int64_t code) {
    return (code >= 1 && code <= 8) || code == 14 || code == 15;
}

void actOnStopCode() {
    SweepControl& s = sweepControl;
    std::int64_t code = decodedStatus.stopCode;
    if (!stopCodeEndsRamp(code)) return;
    if (code == 1) {
        s.lastStopReason = stopCodeText(1);
        s.sweepState = SweepState::RunCompleted;
    } else {
        s.lastStopReason = stopCodeText(static_cast<int>(code));
        // The sample that crossed a voltage or current limit is not part of the curve.
        bool limit = code >= 3 && code <= 6;
        std::size_t k = static_cast<std::size_t>(s.currentStep);
        if (limit && s.lastSampleStored && s.currentStep < runRecordSteps && runRecord.entryCount[k] > 0)
            runRecord.entryCount[k] -= 1;
        s.sweepState = SweepState::RampDone;
    }
}

} // namespace

void resetSweepStateMachineDefaults() {
    decodedStatus = DecodedStatus{};
    sweepReadings = SweepReadings{};
    sweepControl = SweepControl{};
    for (auto& count : runRecord.entryCount) count = 0;
}

void clearRunRecordEntryCounts() {
    for (auto& count : runRecord.entryCount) count = 0;
}

void requestSweepRun() {
    sweepControl.runRequest = 1;
    sweepControl.lastStopReason.clear();
}

void decodeCurrentReport() {
    std::int64_t w = currentReport.statusWord;
    decodedStatus.stepPhase = w & 3;
    decodedStatus.hvState = ((w >> 2) & 1) + 2 * ((w >> 3) & 1);
    decodedStatus.hvStateBit3 = (w >> 3) & 1;
    decodedStatus.stopCode = (w >> 4) & 15;
    for (int bit : {8, 9, 10, 11, 12, 13, 15}) decodedStatus.statusFlags[bit] = (w >> bit) & 1;

    Readings r = convertReport(currentReport, instrumentValues.sampleCounts, sweepParameters.collectorResistor);
    sweepReadings.vc = r.vc;
    sweepReadings.vr = r.vr;
    sweepReadings.ic = r.ic;
    sweepReadings.vb = r.vb;
    sweepReadings.ir = 0;
    sweepReadings.ib = 0;
    smoothReadings();
}

std::string sweepStatusText() {
    switch (sweepControl.sweepState) {
    case SweepState::Idle: return "Idling";
    case SweepState::ResettingStopFlags: return "Resetting stop flags";
    case SweepState::CheckingFlagsReset: return "Checking flags reset";
    case SweepState::StartingStep: return "Preparing data: Starting Sweep";
    case SweepState::Sweeping: {
        std::string position =
            std::to_string(sweepControl.currentStep) + "/" + std::to_string(sweepControl.currentEntry);
        switch (decodedStatus.stepPhase) {
        case 0: return "Idling";
        case 1: return "Preparing, Step " + position;
        case 2: return "Ramping, Step " + position;
        default: return "Discharging";
        }
    }
    case SweepState::RampDone: return "Ramp done";
    default: return sweepControl.statusText;
    }
}

SweepOutcome advanceSweepStateMachine() {
    SweepControl& s = sweepControl;
    switch (s.sweepState) {
    case SweepState::Idle:
        if (s.runRequest != 1) break;
        s.runRequest = 0;
        clearRunRecordEntryCounts();
        s.currentStep = 0;
        s.currentEntry = 0;
        s.sweepState = SweepState::ResettingStopFlags;
        break;
    case SweepState::ResettingStopFlags:
        if (decodedStatus.stopCode != 0) clearStopCode();
        s.sweepState = SweepState::CheckingFlagsReset;
        break;
    case SweepState::CheckingFlagsReset:
        if (decodedStatus.stopCode == 0) s.sweepState = SweepState::StartingStep;
        break;
    case SweepState::StartingStep:
        prepareStep(s.currentStep);
        sendRegisterImage();
        s.sweepState = SweepState::Sweeping;
        break;
    case SweepState::Sweeping: actOnStopCode(); break;
    case SweepState::RampDone:
        if (s.currentStep < instrumentValues.lastStepIndex) {
            s.currentStep += 1;
            s.currentEntry = 0;
            s.sweepState = SweepState::ResettingStopFlags;
        } else {
            s.sweepState = SweepState::RunCompleted;
        }
        break;
    case SweepState::RunCompleted:
        s.statusText = "Run completed";
        s.sweepState = SweepState::Idle;
        return SweepOutcome::RunCompleted;
    }
    return SweepOutcome::None;
}

bool sweepStateMachineWantsPass() {
    const SweepControl& s = sweepControl;
    switch (s.sweepState) {
    case SweepState::Idle: return s.runRequest == 1;
    case SweepState::CheckingFlagsReset: return decodedStatus.stopCode == 0;
    case SweepState::Sweeping: return stopCodeEndsRamp(decodedStatus.stopCode);
    default: return true;
    }
}

void storeSampleWhileSweeping() {
    if (sweepControl.sweepState == SweepState::Sweeping) storeSample();
}

bool linkLostDuringRun() {
    const SweepState state = sweepControl.sweepState;
    return state != SweepState::Idle && state != SweepState::RunCompleted && !instrumentLinkConnected();
}

void endRunOnLostLink() {
    SweepControl& s = sweepControl;
    if (!linkLostDuringRun() || reportWaiting()) return;
    // A stop code already received is acted on first, and a run whose last step has ended is complete.
    if (s.sweepState == SweepState::Sweeping && sweepStateMachineWantsPass()) return;
    if (s.sweepState == SweepState::RampDone && s.currentStep >= instrumentValues.lastStepIndex) return;
    s.lastStopReason = linkLostStopReason;
    s.sweepState = SweepState::RunCompleted;
}

void abandonRun() {
    sweepControl.sweepState = SweepState::Idle;
}

bool sweepIsIdle() {
    return sweepControl.sweepState == SweepState::Idle;
}
