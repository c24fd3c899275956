#include "sweep/sweep_state_machine.h"

#include <algorithm>
#include <ctime>

#include "app/elapsed_clock.h"
#include "app/menu_dispatch.h"
#include "app/shell_state.h"
#include "calibration/calibration_transfer.h"
#include "display/graph.h"
#include "display/live_status.h"
#include "display/menu_check_marks.h"
#include "link/comms_thread.h"
#include "link/instrument_link.h"
#include "link/protocol.h"
#include "link/register_transfer.h"
#include "results/result_saving.h"
#include "results/sample_runs.h"
#include "sweep/instrument_values.h"
#include "sweep/parameter_panel.h"
#include "sweep/run_record.h"
#include "sweep/sweep_parameters.h"
#include "ui/main_window.h"
#include "ui/platform/platform.h"

namespace {

constexpr int mainWindow = 1;
constexpr std::int64_t sweepingRedrawMs = 100;
constexpr std::int64_t idleRedrawMs = 10000;

// The pointer position serves the hot-region test; a press or drag at a position other than the last
// pressed one asks for a redraw, so a click on the panel shows at once even after hovering there.
void trackMouse() {
    int x = platform::mouseX(mainWindow);
    int y = platform::mouseY(mainWindow);
    shell.mouseX = x;
    shell.mouseY = y;
    SweepControl& s = sweepControl;
    if (shell.leftButtonDown != 1 || (x == s.pressedMouseX && y == s.pressedMouseY)) return;
    s.pressedMouseX = x;
    s.pressedMouseY = y;
    s.redrawRequested = 1;
}

void relayoutAfterWindowChange() {
    if (shell.windowGeometryChanged != 1) return;
    std::time_t second = std::time(nullptr);
    if (second < sweepControl.lastRelayoutSecond + 1) return;
    sweepControl.lastRelayoutSecond = second;
    shell.windowGeometryChanged = 0;
    layoutMainWindow();
    sweepControl.redrawRequested = 1;
    refreshParameterPanel();
}

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

void actOnStopCode() {
    SweepControl& s = sweepControl;
    std::int64_t code = decodedStatus.stopCode;
    if (code == 1) {
        s.lastStopReason = stopCodeText(1);
        s.sweepState = 6;
    } else if ((code >= 2 && code <= 8) || code == 14 || code == 15) {
        s.lastStopReason = stopCodeText(static_cast<int>(code));
        // The sample that crossed a voltage or current limit is not part of the curve.
        bool limit = code >= 3 && code <= 6;
        std::size_t k = static_cast<std::size_t>(s.currentStep);
        if (limit && s.lastSampleStored && s.currentStep < runRecordSteps && runRecord.entryCount[k] > 0)
            runRecord.entryCount[k] -= 1;
        s.sweepState = 5;
    }
}

void completeRun() {
    sweepControl.statusText = "Run completed";
    if (autoSaveIsOn()) {
        autoSaveRun();
        loadSampleRun();
        refreshParameterPanel();
    }
    sweepControl.redrawRequested = 1;
    sweepControl.sweepState = 0;
}

void redrawWhenDue() {
    std::int64_t interval = sweepControl.sweepState == 4 ? sweepingRedrawMs : idleRedrawMs;
    std::int64_t now = elapsedMilliseconds();
    if (now <= sweepControl.lastRedrawTime + interval && sweepControl.redrawRequested != 1) return;
    sweepControl.redrawRequested = 0;
    sweepControl.lastRedrawTime = now;
    refreshGraph();
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
    case 0: return "Idling";
    case 1: return "Resetting stop flags";
    case 2: return "Checking flags reset";
    case 3: return "Preparing data: Starting Sweep";
    case 4: {
        std::string position =
            std::to_string(sweepControl.currentStep) + "/" + std::to_string(sweepControl.currentEntry);
        switch (decodedStatus.stepPhase) {
        case 0: return "Idling";
        case 1: return "Preparing, Step " + position;
        case 2: return "Ramping, Step " + position;
        default: return "Discharging";
        }
    }
    case 5: return "Ramp done";
    default: return sweepControl.statusText;
    }
}

void advanceSweepStateMachine() {
    SweepControl& s = sweepControl;
    switch (s.sweepState) {
    case 0:
        if (s.runRequest != 1) return;
        s.runRequest = 0;
        clearRunRecordEntryCounts();
        s.currentStep = 0;
        s.currentEntry = 0;
        s.sweepState = 1;
        return;
    case 1:
        if (decodedStatus.stopCode != 0) clearStopCode();
        s.sweepState = 2;
        return;
    case 2:
        if (decodedStatus.stopCode == 0) s.sweepState = 3;
        return;
    case 3:
        prepareStep(s.currentStep);
        sendRegisterImage();
        s.sweepState = 4;
        return;
    case 4:
        actOnStopCode();
        return;
    case 5:
        if (s.currentStep < instrumentValues.lastStepIndex) {
            s.currentStep += 1;
            s.currentEntry = 0;
            s.sweepState = 1;
        } else {
            s.sweepState = 6;
        }
        return;
    case 6:
        completeRun();
        return;
    default:
        return;
    }
}

void loopTick() {
    trackMouse();
    refreshLiveReadings();
    if (shell.lastEvent == platform::EventMenu) dispatchMenuEvent(platform::eventMenuItem());
    relayoutAfterWindowChange();
    if (takeReport()) {
        decodeCurrentReport();
        if (sweepControl.sweepState == 4) storeSample();
        sweepControl.statusText = sweepStatusText();
        calibrationTransferStep();
    }
    advanceSweepStateMachine();
    redrawWhenDue();
    updateAutomaticResistor();
    if (sweepParameters.testConfigurationId != sweepControl.shownTestConfigurationId) {
        refreshParameterPanel();
        sweepControl.shownTestConfigurationId = sweepParameters.testConfigurationId;
    }
    checkForLostLink();
    refreshStatus();
    refreshMenuCheckMarks();
}
