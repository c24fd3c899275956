#include "sim_host.h"

#include <gtest/gtest.h>

#include "calibration/calibration_coefficients.h"
#include "calibration/calibration_file.h"

namespace {

std::vector<uint8_t> bytesOf(const Frame& f) { return std::vector<uint8_t>(f.begin(), f.end()); }

// The program-wide coefficients as an uncalibrated instrument's nominal file gives them.
const CalibrationCoefficients& nominalCoefficients() {
    static const CalibrationCoefficients nominal = [] {
        CalibrationCoefficients c;
        fitCalibrationCoefficients(readCalibrationValues(calibrationFileContent(nominalCalibrationTexts())), c);
        return c;
    }();
    calibrationCoefficients = nominal;
    smallCurrentCompensation = SmallCurrentCompensation{};
    return nominal;
}

} // namespace

std::vector<uint8_t> writeFrame(int registerNumber, uint32_t value) { return bytesOf(buildWriteFrame(registerNumber, value)); }
std::vector<uint8_t> readRequest() { return bytesOf(buildReadRequestFrame()); }

HostReport decodeHostReport(const uint8_t* bytes) {
    const DecodedReport d = decodeReport(bytes);
    HostReport r;
    r.checksumGood = d.checksumOk;
    r.status = static_cast<uint16_t>(d.report.statusWord);
    r.calibrationWord = static_cast<uint16_t>(d.report.calibrationWord);
    r.sumIc = d.report.rawIc;
    r.sumVc = d.report.rawVc;
    r.rawVr = d.report.rawVr;
    r.sumVb = d.report.rawVb;
    return r;
}

std::vector<HostReport> decodeHostReports(const std::vector<uint8_t>& bytes) {
    EXPECT_EQ(bytes.size() % reportSize, 0u) << "a partial report";
    std::vector<HostReport> reports;
    for (size_t i = 0; i + reportSize <= bytes.size(); i += reportSize) reports.push_back(decodeHostReport(bytes.data() + i));
    return reports;
}

double vcVolts(double raw) { return rawToVolts(raw, nominalCoefficients().vcAdc); }
double vbVolts(double raw) { return rawToVolts(raw, nominalCoefficients().vbAdc); }
double icAmps(double raw, int resistorRange) {
    nominalCoefficients();
    return rawToAmps(raw, resistorRange, 0.0);
}
int64_t rawVcFor(double volts) { return physicalToRawLimit(volts, nominalCoefficients().vcAdc); }
int64_t rawIcFor(double amps, int resistorRange) { return physicalToRawLimit(amps, nominalCoefficients().icAdc[resistorRange]); }
int64_t dacCountsForVolts(double volts) {
    nominalCoefficients();
    return levelToDacCounts(volts, DriveMode::Voltage, 3, DacLevel::Active);
}
int64_t dacCountsForAmps(double amps, int currentRange) {
    nominalCoefficients();
    return levelToDacCounts(amps, DriveMode::Current, currentRange, DacLevel::Active);
}

std::vector<uint8_t> rampTransfer(const RampSetup& s) {
    RegisterImage reg{};
    reg[regControl] = controlHvSupplyOn | (s.run ? controlRun : 0u) | (s.hvStart ? controlHvStartRequest : 0u) |
                      (s.currentMode ? controlClampOnIdle : 0u);
    reg[regTimebaseLength] = s.timebaseUnits;
    reg[regRampStartDelay] = s.startDelay;
    reg[regHaltRunLength] = s.runLength;
    // The timing set of the 300 us (or 80 us) pulse width, step generator continuous.
    reg[regQuietTimeStart] = 92;
    reg[regRampMeasurePoint] = 98;
    reg[regBaseGatePulseStart] = reg[regCollectorPulseStart] = 100;
    reg[regBaseGatePulseStop] = reg[regCollectorPulseStop] = s.shortPulse ? 102 : 107;
    reg[regSamplerStart] = reg[regVbSamplerStart] = 103;
    reg[regQuietTimeStop] = s.shortPulse ? 103 : 108;
    reg[regSamplerStop] = reg[regVbSamplerStop] = s.shortPulse ? 104 : 108;
    reg[regBaseGateClampOn] = 65535;
    reg[regBaseGateClampOff] = 1;
    reg[regHaltCollectorVoltageMin] = rawVcFor(-s.peakVolts);
    reg[regHaltCollectorVoltageMax] = rawVcFor(s.peakVolts);
    reg[regHaltCollectorCurrentMin] = rawIcFor(-s.peakAmps, s.resistorRange);
    reg[regHaltCollectorCurrentMax] = rawIcFor(s.peakAmps, s.resistorRange);
    reg[regBaseGateDacIdleRaw] = s.dacIdle;
    reg[regBaseGateDacActiveRaw] = s.dacActive;
    reg[regCollectorResistorSelected] = s.resistorRange;
    reg[regBaseCurrentRange] = s.currentRange;
    reg[regCollectorPolarity] = s.negative ? 1 : 0;
    reg[regBaseGateMode] = s.currentMode ? 1 : 0;
    reg[regNormalStopMeasurePoint] = 104;
    reg[regProtectionMeasurePoint] = 96;
    std::vector<uint8_t> bytes;
    for (int r = registerCount - 1; r >= 0; --r) {
        const Frame f = buildWriteFrame(r, reg[static_cast<size_t>(r)]);
        bytes.insert(bytes.end(), f.begin(), f.end());
    }
    return bytes;
}

void startWithHighVoltage(SimInstrument& sim, SimDevice device) {
    resetSimInstrumentDefaults(sim);
    sim.device = device;
    simReceive(sim, writeFrame(regControl, controlHvSupplyOn | controlHvStartRequest).data(), frameSize);
    simAdvance(sim, 200000);
    ASSERT_EQ(sim.hvState, 3);
    simTakeOutput(sim);
}

std::vector<HostReport> runUntilStopped(SimInstrument& sim, int limitMs) {
    std::vector<HostReport> reports;
    for (int ms = 0; ms < limitMs; ++ms) {
        simAdvance(sim, 1000);
        for (const HostReport& r : decodeHostReports(simTakeOutput(sim))) {
            reports.push_back(r);
            if (r.stopCode() != 0) return reports;
        }
    }
    ADD_FAILURE() << "the ramp never stopped";
    return reports;
}
