// The ADC/DAC calibration window: the step generator is driven to known levels and trimmed against a
// multimeter, raw ADC values are captured at known voltages and through known resistors, and the 71
// numbers are written to KRV_cal.txt and uploaded into the instrument's calibration block. The window
// runs its own loop and takes the instrument's reports itself while it is open.
#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>

#include "base/elapsed_clock.h"
#include "base/messages.h"
#include "base/unit_format.h"
#include "calibration/calibration_check.h"
#include "calibration/calibration_file.h"
#include "calibration/calibration_pacing.h"
#include "calibration/dmm_link.h"
#include "calibration/fixture_link.h"
#include "link/comms_thread.h"
#include "link/instrument_link.h"
#include "link/register_transfer.h"
#include "sweep/calibration_transfer.h"
#include "sweep/instrument_values.h"
#include "sweep/sweep_parameters.h"
#include "sweep/sweep_state_machine.h"
#include "ui/adc_dac_factory_sequence.h"
#include "ui/adc_dac_window_layout.h"
#include "ui/calibration_window_parts.h"
#include "ui/calibration_windows.h"
#include "platform/platform.h"

namespace {

using namespace adcdac;
using calwin::adcDacWindow;

constexpr int captureSettleMs = 250;
constexpr int eraseSettleMs = 500;
constexpr int uploadWordMs = 50;
constexpr int closeStopMs = 250;
constexpr int closeDisconnectMs = 500;
constexpr int averagedReports = 100;
// Reports taken this soon after a level change may have been measured before it.
constexpr int levelSettleMs = 300;
constexpr double captureVolts = 20.0;
// A run the instrument halts after its start delay (1 s) and run length (10 s) without reaching the
// capture voltage has failed: its resistor is missing or open. The instrument's clock sets this time,
// so the shortened waits of tests do not shorten it.
constexpr int icRunTimeOutMs = 15000;
constexpr std::int64_t dacCountsMax = 65535;
constexpr const char* noInstrumentText = "Info #xxxx No USB detected - Please connect to device and retry";
constexpr double icRunVoltageLimit = 25.0;
constexpr double icRunCurrentLimits[4] = {0.003, 0.03, 0.3, 3.0};

struct AdcDacWindowState {
    int activeIcRun = -1; // the run waiting for its capture; -1 none
    std::int64_t icRunStartedMs = 0;
    // Upload of KRV_cal.txt into the calibration block, one word per pass.
    std::array<std::uint8_t, calibrationBlockSize> uploadBuffer{};
    bool uploading = false;
    std::size_t uploadAddress = 0;
    // Raw values of the live display, averaged over 100 reports. Until the first 100 at a new level
    // are in, the mean of those taken so far is shown, so that "Cal." never captures the level before.
    std::array<std::int64_t, 4> sums{};
    int averagedCount = 0;
    bool fullAverageShown = false;
    std::int64_t levelChangedMs = 0;
    bool closeRequested = false;
};

AdcDacWindowState window;

// A failure in the factory sequence stops it; one by hand is only told.
void benchFailure(const std::string& why) {
    if (factorySequenceRunning()) stopFactorySequence(why);
    else reportBenchFailure(why);
}

// The DAC value that the window drives both step generator DAC registers with; it outlives the window.
std::int64_t& workingDac() {
    return instrumentValues.activeDacCounts;
}

// A new level: the averages start again from its first report.
void restartAverages() {
    window.levelChangedMs = elapsedMilliseconds();
    window.sums.fill(0);
    window.averagedCount = 0;
    window.fullAverageShown = false;
}

void setWorkingDac(std::int64_t counts) {
    restartAverages();
    instrumentValues.activeDacCounts = counts;
    instrumentValues.idleDacCounts = counts;
    platform::setControlText(rawField, std::to_string(counts));
}

std::string fieldText(int index) {
    return platform::controlText(coefficientField + index);
}

void setFieldText(int index, const std::string& text) {
    platform::setControlText(coefficientField + index, text);
}

// DAC counts from a field typed or loaded: whatever it holds ends up within the DAC's counts.
std::int64_t fieldDacCounts(int index) {
    const double value = readLeadingNumber(fieldText(index));
    return static_cast<std::int64_t>(std::clamp(value, 0.0, static_cast<double>(dacCountsMax)));
}

void pressLevel(int r) {
    const CalibrationRow& row = calibrationRows()[static_cast<std::size_t>(r)];
    SweepParameters& p = sweepParameters;
    platform::showControl(levelTick + r, true);
    platform::showControl(calTick + r, false);
    p.baseGateMode = row.kind == RowKind::Ib ? "Current" : "Voltage";
    p.collectorPolarity = row.negativeCollector ? "Negative" : "Positive";
    instrumentValues.baseCurrentRange = row.currentRange;
    p.collectorResistor = 0;
    setWorkingDac(fieldDacCounts(row.dacSourceField));
    p.baseGatePulseMode = row.active ? "ForceActive" : "ForceIdle";
    p.clampMode = "ForceOff";
    if (row.setsTiming) {
        p.pulseWidthUs = 300;
        p.sampleRate = 50;
    }
    sendRegisterImage();
}

void pressCal(int r) {
    const CalibrationRow& row = calibrationRows()[static_cast<std::size_t>(r)];
    platform::showControl(calTick + r, true);
    if (row.dacField >= 0) setFieldText(row.dacField, std::to_string(workingDac()));
    if (row.rawField < 0) return;
    const int averaged = row.kind == RowKind::Vc ? averageField + 0 : averageField + 3;
    setFieldText(row.rawField, platform::controlText(averaged));
}

void adjustDac(int step) {
    const std::int64_t adjusted = std::clamp<std::int64_t>(workingDac() + step, 0, dacCountsMax);
    if (adjusted == workingDac()) return;
    setWorkingDac(adjusted);
    sendRegisterImage();
}

void loadExistingValues() {
    std::ifstream in(calibrationFileName, std::ios::binary);
    if (!in) {
        platform::messageBox("cannot find file", "cannot find 'KRV_cal.txt' file", platform::IconInformation,
                             platform::ButtonsOk);
        return;
    }
    std::string line;
    for (int i = 0; i < fieldCount && std::getline(in, line); ++i) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        setFieldText(i, line);
    }
}

void loadDefaultValues() {
    const CalibrationTexts& texts = nominalCalibrationTexts();
    for (int i = 0; i < fieldCount; ++i) setFieldText(i, texts[static_cast<std::size_t>(i)]);
}

void startIcRun(int i) {
    // One run at a time: a second would leave the first's busy image and fields behind.
    if (window.activeIcRun >= 0) {
        reportBenchFailure("Ic run already in progress: wait for its tick");
        return;
    }
    const IcRun& run = icRuns()[static_cast<std::size_t>(i)];
    SweepParameters& p = sweepParameters;
    InstrumentValues& v = instrumentValues;
    platform::showControl(icRunTick + i, false);
    p.baseGateMode = "Voltage";
    v.baseCurrentRange = 0;
    p.collectorPolarity = run.negative ? "Negative" : "Positive";
    p.collectorResistor = run.range;
    p.pulseWidthUs = 300;
    p.sampleRate = 10;
    p.collectorPulseMode = "Pulsed";
    v.runCommand = "Run";
    v.startStopPulse = "Start";
    v.hvCommand = "On";
    v.rampStartDelay = 10;  // one second of cycles at 10 Hz
    v.haltRunLength = 100;  // ten seconds at most
    const CalibrationCoefficients& c = calibrationCoefficients;
    const LinearCal& icCal = c.icAdc[static_cast<std::size_t>(run.range)];
    v.haltVoltageMin = physicalToRawLimit(-icRunVoltageLimit, c.vcAdc);
    v.haltVoltageMax = physicalToRawLimit(icRunVoltageLimit, c.vcAdc);
    v.haltCurrentMin = physicalToRawLimit(-icRunCurrentLimits[run.range], icCal);
    v.haltCurrentMax = physicalToRawLimit(icRunCurrentLimits[run.range], icCal);
    sendRegisterImage();
    window.activeIcRun = i;
    window.icRunStartedMs = elapsedMilliseconds();
}

std::string icRunName(const IcRun& run) {
    return std::string(run.negative ? "-" : "+") + "Ic run of 'RANGE" + std::to_string(run.range + 1) + "'";
}

// A run that never reaches its capture voltage is stopped, and nothing is captured.
void checkIcRunTimeOut() {
    if (window.activeIcRun < 0 || elapsedMilliseconds() - window.icRunStartedMs < icRunTimeOutMs) return;
    const IcRun& run = icRuns()[static_cast<std::size_t>(window.activeIcRun)];
    platform::showControl(icRunBusy + window.activeIcRun, false);
    window.activeIcRun = -1;
    instrumentValues.runCommand = "Stop";
    sendRegisterImage();
    benchFailure(icRunName(run) + " did not reach " + (run.negative ? "-20 V" : "+20 V") + " within 15 s");
}

// Integer quotients of the report's sums: the raw values as the captures store them.
struct RawValues {
    std::int64_t vc = 0, vr = 0, ic = 0, vb = 0;
};

RawValues rawValues() {
    const SampleCounts& n = instrumentValues.sampleCounts;
    RawValues raw;
    raw.vc = currentReport.rawVc / std::max<std::int64_t>(n.vcIc, 1);
    raw.vr = currentReport.rawVr;
    raw.ic = currentReport.rawIc / std::max<std::int64_t>(n.vcIc, 1);
    raw.vb = currentReport.rawVb / std::max<std::int64_t>(n.vb, 1);
    return raw;
}

void checkIcCapture(const RawValues& raw) {
    if (window.activeIcRun < 0) return;
    const int i = window.activeIcRun;
    const IcRun& run = icRuns()[static_cast<std::size_t>(i)];
    platform::showControl(icRunBusy + i, true);
    platform::showControl(icRunTick + i, false);
    const double vc = sweepReadings.vc;
    if (run.negative ? !(vc < -captureVolts) : !(vc > captureVolts)) return;
    window.activeIcRun = -1;
    setFieldText(run.rawIcField, std::to_string(raw.ic));
    setFieldText(run.rawVcField, std::to_string(raw.vc));
    platform::showControl(icRunBusy + i, false);
    instrumentValues.runCommand = "Stop";
    sendRegisterImage();
    pacedSleep(captureSettleMs);
    platform::showControl(icRunTick + i, true);
    factorySequenceActionDone();
}

void addToAverages(const RawValues& raw) {
    const std::int64_t values[4] = {raw.vc, raw.vr, raw.ic, raw.vb};
    for (int i = 0; i < 4; ++i) window.sums[static_cast<std::size_t>(i)] += values[i];
    const bool full = ++window.averagedCount >= averagedReports;
    if (full || !window.fullAverageShown) {
        for (int i = 0; i < 4; ++i) {
            platform::setControlText(averageField + i,
                                     std::to_string(window.sums[static_cast<std::size_t>(i)] / window.averagedCount));
        }
    }
    if (full) {
        window.sums.fill(0);
        window.averagedCount = 0;
        window.fullAverageShown = true;
    }
}

void showCalibratedValues() {
    platform::setControlText(calibratedField + 1, formatFixed(sweepReadings.vc, 3) + "V");
    platform::setControlText(calibratedField + 2, formatFixed(sweepReadings.vr, 3) + "V");
    platform::setControlText(calibratedField + 3, formatFixed(sweepReadings.ic * 1000.0, 3) + "mA");
    platform::setControlText(calibratedField + 4, formatFixed(sweepReadings.vb, 3) + "V");
}

void showLiveValues(const RawValues& raw) {
    platform::setControlText(rawField + 1, "Vc=" + std::to_string(raw.vc));
    platform::setControlText(rawField + 2, "Vr=" + std::to_string(raw.vr));
    platform::setControlText(rawField + 3, "Ic=" + std::to_string(raw.ic));
    platform::setControlText(rawField + 4, "Vb=" + std::to_string(raw.vb));
    if (elapsedMilliseconds() - window.levelChangedMs >= pacedMs(levelSettleMs)) addToAverages(raw);
    showCalibratedValues();
}



void processReport() {
    if (!takeReport()) return;
    decodeCurrentReport();
    const RawValues raw = rawValues();
    showLiveValues(raw);
    checkIcCapture(raw);
}

void createCoefficientsFile() {
    platform::showControl(createTick, false);
    CalibrationTexts texts;
    for (int i = 0; i < fieldCount; ++i) texts[static_cast<std::size_t>(i)] = fieldText(i);
    // Numbers no working instrument gives would be uploaded next and make every reading wrong.
    std::string why;
    if (!calibrationDataPlausible(calibrationFileContent(texts), why)) {
        benchFailure("KRV_cal.txt not created: " + why);
        return;
    }
    if (!createCalibrationFile(texts)) {
        benchFailure("KRV_cal.txt cannot be written");
        return;
    }
    platform::showControl(createTick, true);
    factorySequenceActionDone();
}

// Erase and upload need the instrument: without it their ticks would show work not done.
bool instrumentThere() {
    if (instrumentLinkConnected()) return true;
    haltFactorySequence();
    showMessage(noInstrumentText);
    return false;
}

void eraseBlock() {
    if (!instrumentThere()) return;
    platform::showControl(uploadTick, false);
    requestCalibrationErase();
    sendRegisterImage();
    pacedSleep(eraseSettleMs);
    platform::showControl(eraseTick, true);
    factorySequenceActionDone();
}

void startUpload() {
    if (!instrumentThere()) return;
    window.uploadBuffer.fill(0);
    std::ifstream in(calibrationFileName, std::ios::binary);
    in.read(reinterpret_cast<char*>(window.uploadBuffer.data()), static_cast<std::streamsize>(window.uploadBuffer.size()));
    platform::showControl(uploadTick, false);
    // A missing or damaged file would become the instrument's calibration.
    std::string why;
    if (!calibrationDataPlausible(std::string_view(reinterpret_cast<const char*>(window.uploadBuffer.data()), window.uploadBuffer.size()), why)) {
        benchFailure("KRV_cal.txt not uploaded: " + why);
        return;
    }
    platform::setControlState(uploadProgress, 0);
    platform::showControl(uploadProgress, true);
    window.uploadAddress = 0;
    window.uploading = true;
}

void uploadStep() {
    if (!window.uploading) return;
    if (!instrumentLinkConnected()) {
        window.uploading = false;
        platform::showControl(uploadProgress, false);
        instrumentThere();
        return;
    }
    requestCalibrationWordWrite(static_cast<std::int64_t>(window.uploadAddress), window.uploadBuffer.data() + window.uploadAddress);
    sendRegisterImage();
    window.uploadAddress += 4;
    pacedSleep(uploadWordMs);
    platform::setControlState(uploadProgress, static_cast<int>(window.uploadAddress));
    if (window.uploadAddress < calibrationBlockSize - 2) return;
    window.uploading = false;
    platform::setControlState(uploadProgress, static_cast<int>(calibrationBlockSize) - 1);
    platform::showControl(uploadProgress, false);
    platform::showControl(uploadTick, true);
    factorySequenceActionDone();
}

void measureWithSelectedRange() {
    const int selected = std::max(platform::controlState(dmmRangeList), 0);
    const bool taken = readDmm(platform::controlItemText(dmmRangeList, selected));
    platform::setControlText(dmmReading, taken ? readingText(dmmLink.lastReading) : noReadingText);
    platform::setControlState(dmmRangeList, selected);
    showBenchConnection(dmmConnect, dmmConnected());
    // In the sequence the step that would calibrate with the reading refuses it and stops there.
    if (!taken && dmmLink.lastFault != DmmFault::NotConnected && !factorySequenceRunning())
        reportBenchFailure(dmmFailureMessage());
}

void chooseFixtureState() {
    const int selected = platform::controlState(fixtureStateList);
    if (selected < 0) return;
    const std::string state = platform::controlItemText(fixtureStateList, selected);
    if (!fixtureConnected()) {
        if (factorySequenceRunning()) stopFactorySequence(fixtureFailureMessage(state));
        return;
    }
    if (!setFixtureState(state)) {
        showBenchConnection(fixtureConnect, fixtureConnected());
        benchFailure(fixtureFailureMessage(state));
        return;
    }
    platform::setControlState(fixtureStateList, selected);
}

void prepareResistors() {
    std::ifstream in("prep.txt", std::ios::binary);
    if (!in) {
        platform::messageBox("prep.txt is missing", "This is only used by H+ factory, contact Production Manager",
                             platform::IconError, platform::ButtonsOk);
    } else {
        const int fields[5] = {parasiticField, resistorField(0), resistorField(1), resistorField(2), resistorField(3)};
        std::string line;
        for (int i = 0; i < 5 && std::getline(in, line); ++i) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            setFieldText(fields[i], line);
        }
    }
    factorySequenceActionDone();
}

void handleControl(int control) {
    if (control >= levelButton && control < levelButton + calibrationRowCount) return pressLevel(control - levelButton);
    if (control >= calButton && control < calButton + calibrationRowCount) return pressCal(control - calButton);
    if (control >= icRunButton && control < icRunButton + icRunCount) return startIcRun(control - icRunButton);
    if (control >= adjustButton && control < adjustButton + adjustCount) return adjustDac(adjustSteps[control - adjustButton]);
    switch (control) {
    case existingValuesButton: loadExistingValues(); break;
    case defaultValuesButton: loadDefaultValues(); break;
    case createButton: createCoefficientsFile(); break;
    case eraseButton: eraseBlock(); break;
    case uploadButton: startUpload(); break;
    case dmmConnect:
        pressBenchConnect(dmmConnect, dmmConnected(), [] { return connectDmm(platform::controlText(dmmAddress)); },
                          "Can't connect with DMM over TCP");
        break;
    case dmmMeasure: measureWithSelectedRange(); break;
    case fixtureConnect:
        pressBenchConnect(fixtureConnect, fixtureConnected(),
                          [] { return connectFixture(platform::controlText(fixtureAddress)); },
                          "Can't connect with FIXTURE over TCP");
        break;
    case fixtureStateList: chooseFixtureState(); break;
    case prepButton: prepareResistors(); break;
    case goButton: pressGo(); break;
    default: break;
    }
}

// Leaves the instrument idle and unclamped-on-idle, then lets go of it.
void closeDown() {
    SweepParameters& p = sweepParameters;
    instrumentValues.runCommand = "Stop";
    p.baseGateMode = "Voltage";
    p.clampMode = "ClampOnIdle";
    p.baseGatePulseMode = "Pulsed";
    instrumentValues.baseCurrentRange = 0;
    p.pulseWidthUs = 300;
    p.sampleRate = 50;
    sendRegisterImage();
    pacedSleep(closeStopMs);
    closeInstrumentLink();
    pacedSleep(closeDisconnectMs);
}

bool loopPass(int event) {
    if (event == platform::EventCloseWindow && platform::eventWindow() == adcDacWindow) window.closeRequested = true;
    const int sequenceControl = factorySequenceTick();
    if (event == platform::EventControl) handleControl(platform::eventControl());
    if (sequenceControl != 0) handleControl(sequenceControl);
    uploadStep();
    processReport();
    checkIcRunTimeOut();
    return !window.closeRequested;
}

} // namespace

void openAdcDacCalibrationWindow() {
    window = AdcDacWindowState{};
    resetFactorySequence();
    if (!buildAdcDacWindow()) {
        showMessage("Error #xxxx ADC CALIBRATE window won't start");
        return;
    }
    instrumentValues.runCommand = "Idle";
    instrumentValues.startStopPulse = "Start";
    instrumentValues.hvCommand = "On";
    restartCalibrationTransfer();
    if (!instrumentLinkConnected()) {
        showMessage(noInstrumentText);
        platform::closeWindow(adcDacWindow);
        return;
    }
    runWindowLoop(loopPass, [] { return window.uploading ? nextPassMs() : factorySequenceDueMs(); });
    closeDown();
    platform::closeWindow(adcDacWindow);
}
