#include "sweep/instrument_values.h"

#include <algorithm>
#include <cmath>

#include "link/register_transfer.h"
#include "sweep/sweep_parameters.h"
#include "sweep/sweep_state_machine.h"

namespace {

constexpr double timebaseUnitSeconds = 0.0000426667;

// Timing of the two pulse widths, and the number of samples in each reported sum.
constexpr TimingSet timing80us = {92, 98, 100, 100, 100, 102, 102, 103, 103, 103, 103, 104, 104};
constexpr TimingSet timing300us = {92, 98, 100, 100, 100, 107, 107, 103, 103, 108, 108, 108, 108};

SampleCounts sampleCountsOf(const TimingSet& t) {
    return {t.samplerStop - t.samplerStart, t.vbSamplerStop - t.vbSamplerStart};
}

std::int64_t roundHalfAwayFromZero(double x) {
    return static_cast<std::int64_t>(std::llround(x));
}

void setBits(std::uint32_t bits) {
    registerImage[regControl] = static_cast<std::int64_t>(static_cast<std::uint64_t>(registerImage[regControl]) | bits);
}

void clearBits(std::uint32_t bits) {
    registerImage[regControl] =
        static_cast<std::int64_t>(static_cast<std::uint64_t>(registerImage[regControl]) & ~static_cast<std::uint64_t>(bits));
}

void setBitsIf(bool condition, std::uint32_t bits) {
    if (condition) {
        setBits(bits);
    } else {
        clearBits(bits);
    }
}

// Halt limits may be negative; the instrument reads them as 32-bit two's complement.
std::int64_t twosComplement32(std::int64_t v) {
    return v < 0 ? v + 4294967296LL : v;
}

// The DAC register holds 16 bits; a level beyond the calibrated span must not wrap around.
std::int64_t dacRegisterValue(std::int64_t counts) {
    return std::clamp<std::int64_t>(counts, 0, 65535);
}

void fillStepTable(double offset, double step, double direction, double isCurrent) {
    InstrumentValues& v = instrumentValues;
    const std::int64_t n = std::clamp<std::int64_t>(sweepParameters.stepCount, 0, stepTableRows - 1);
    const bool withStep0 = sweepParameters.step0Enabled == 1;
    const std::int64_t rows = withStep0 ? n + 1 : n;
    for (std::int64_t k = 0; k < rows; ++k) {
        StepRow& row = v.stepTable[static_cast<std::size_t>(k)];
        row.offsetLevel = offset;
        row.stepLevel = offset + direction * step * static_cast<double>(withStep0 ? k : k + 1);
        row.isCurrent = isCurrent;
    }
    v.lastStepIndex = rows - 1;
}

// Control bits that a mode text sets and clears; bits of neither list keep their state.
struct ModeBits {
    const char* mode;
    std::uint32_t set;
    std::uint32_t clear;
};

constexpr ModeBits clampModeBits[] = {
    {"ClampOff", 0, controlClampForceOn | controlClampForceOff | controlClampOnIdle},
    {"ClampOnIdle", controlClampOnIdle, controlClampForceOn | controlClampForceOff},
    {"ForceOn", controlClampForceOn, controlClampForceOff},
    {"ForceOff", controlClampForceOff, controlClampForceOn},
};
constexpr ModeBits baseGatePulseModeBits[] = {
    {"Continuous", 0, controlBaseGateForceActive | controlBaseGateForceIdle | controlBaseGatePulsed},
    {"Pulsed", controlBaseGatePulsed, controlBaseGateForceActive | controlBaseGateForceIdle},
    {"ForceActive", controlBaseGateForceActive, controlBaseGateForceIdle},
    {"ForceIdle", controlBaseGateForceIdle, controlBaseGateForceActive},
};
constexpr ModeBits collectorPulseModeBits[] = {
    {"Continuous", 0, controlCollectorPulsed},
    {"Pulsed", controlCollectorPulsed, 0},
};
constexpr ModeBits runCommandBits[] = {
    {"Run", controlRun, controlStop},
    {"Idle", 0, controlRun | controlStop},
    {"Stop", controlStop, controlRun},
};

template <std::size_t N>
void applyModeBits(const std::string& mode, const ModeBits (&table)[N]) {
    for (const ModeBits& entry : table) {
        if (mode == entry.mode) {
            clearBits(entry.clear);
            setBits(entry.set);
            return;
        }
    }
}

void applyControlWord() {
    const SweepParameters& p = sweepParameters;
    InstrumentValues& v = instrumentValues;

    applyModeBits(p.clampMode, clampModeBits);
    applyModeBits(p.baseGatePulseMode, baseGatePulseModeBits);

    if (p.collectorPolarity == "Positive") {
        registerImage[regCollectorPolarity] = 0;
    } else if (p.collectorPolarity == "Negative") {
        registerImage[regCollectorPolarity] = 1;
    }

    applyModeBits(p.collectorPulseMode, collectorPulseModeBits);
    if (p.collectorPulseMode == "Pulsed") {
        v.timing.rampMeasurePoint = v.timing.samplerStart + 1;
    }

    applyModeBits(v.runCommand, runCommandBits);

    if (v.startStopPulse == "Start") {
        setBits(controlHvStartRequest);
        v.startStopPulse.clear();
    } else if (v.startStopPulse == "Stop") {
        setBits(controlHvStopRequest);
        v.startStopPulse.clear();
    }

    TransferRequests& r = transferRequests;
    setBitsIf(r.connectInitPending != 0, controlInitialiseAfterConnect);
    r.connectInitPending = 0;
    setBitsIf(r.calibrationErasePending != 0, controlEraseCalibration);
    if (r.calibrationErasePending != 0) {
        registerImage[regFlashCalLock] = calibrationUnlockCode;
        r.calibrationErasePending = 0;
    }
    setBitsIf(r.calibrationWordWritePending != 0, controlWriteCalibrationWord);
    if (r.calibrationWordWritePending != 0) {
        registerImage[regFlashCalLock] = r.calibrationWordAddress;
        registerImage[regCalibrationWord] = r.calibrationWord;
        r.calibrationWordWritePending = 0;
    }

    setBitsIf(v.hvCommand == "On", controlHvSupplyOn);
}

} // namespace

void resetInstrumentValuesDefaults() {
    instrumentValues = InstrumentValues{};
}

std::int64_t timebaseLength(std::int64_t sampleRate) {
    return roundHalfAwayFromZero(1.0 / (static_cast<double>(sampleRate) * timebaseUnitSeconds));
}

void prepareRun() {
    SweepParameters& p = sweepParameters;
    InstrumentValues& v = instrumentValues;

    clearRunRecordEntryCounts();

    const double direction = p.stepPolarity == "Positive" ? 1.0 : -1.0;
    const double steps = static_cast<double>(p.stepCount);
    if (p.baseGateMode == "Voltage") {
        const double offset = signedOffset(p.voltageOffsetLevel, "Voltage", p.voltageOffsetRange, p.voltageOffsetPolarity);
        fillStepTable(offset, p.voltageStepSize, direction, 0.0);
        v.baseCurrentRange = 3;
        p.clampMode = "ClampOff";
    } else if (p.baseGateMode == "Current") {
        const double offset = signedOffset(p.currentOffsetLevel, "Current", p.currentOffsetRange, p.currentOffsetPolarity);
        fillStepTable(offset, p.currentStepSize, direction, 1.0);
        p.clampMode = offset == 0.0 && p.baseClampInCurrentMode == 1 ? "ClampOnIdle" : "ClampOff";
        // The ranges are calibrated at ±20 µA, ±200 µA, ±2 mA and ±20 mA; each threshold must be exceeded.
        const double largest = std::max({0.0, std::fabs(offset), std::fabs(offset + direction * p.currentStepSize * steps)});
        v.baseCurrentRange = 0;
        if (largest > 0.00003) {
            v.baseCurrentRange = 1;
        }
        if (largest > 0.0003) {
            v.baseCurrentRange = 2;
        }
        if (largest > 0.003) {
            v.baseCurrentRange = 3;
        }
    }

    v.runCommand = "Run";
    v.startStopPulse = "Start";
    v.hvCommand = "On";

    // One second of cycles before the ramp starts, ten seconds at most for the ramp.
    v.rampStartDelay = roundHalfAwayFromZero(static_cast<double>(p.sampleRate) * 1.0);
    v.haltRunLength = roundHalfAwayFromZero(static_cast<double>(p.sampleRate) * 10.0);

    const CalibrationCoefficients& c = calibrationCoefficients;
    const LinearCal& icCal = c.icAdc[static_cast<std::size_t>(std::clamp<std::int64_t>(p.collectorResistor, 0, 3))];
    v.haltVoltageMin = physicalToRawLimit(-p.collectorPeakVoltage, c.vcAdc);
    v.haltVoltageMax = physicalToRawLimit(p.collectorPeakVoltage, c.vcAdc);
    v.haltCurrentMin = physicalToRawLimit(-p.collectorPeakCurrent, icCal);
    v.haltCurrentMax = physicalToRawLimit(p.collectorPeakCurrent, icCal);

    requestSweepRun();
}

void prepareStep(std::int64_t k) {
    const SweepParameters& p = sweepParameters;
    InstrumentValues& v = instrumentValues;
    const StepRow& row = v.stepTable[static_cast<std::size_t>(std::clamp<std::int64_t>(k, 0, stepTableRows - 1))];
    if (p.baseGateMode == "Voltage") {
        v.idleDacCounts = levelToDacCounts(row.offsetLevel, DriveMode::Voltage, 0, DacLevel::Idle);
        v.activeDacCounts = levelToDacCounts(row.stepLevel, DriveMode::Voltage, 0, DacLevel::Active);
        v.targetBaseCurrent = 0.0;
        v.targetBaseVoltage = row.stepLevel;
        v.stepModeLetter = "V";
    } else if (p.baseGateMode == "Current") {
        v.idleDacCounts = levelToDacCounts(row.offsetLevel, DriveMode::Current, v.baseCurrentRange, DacLevel::Idle);
        v.activeDacCounts = levelToDacCounts(row.stepLevel, DriveMode::Current, v.baseCurrentRange, DacLevel::Active);
        v.targetBaseCurrent = row.stepLevel;
        v.targetBaseVoltage = 0.0;
        v.stepModeLetter = "I";
    }
    v.runCommand = "Run";
}

void fillRegisterImage() {
    SweepParameters& p = sweepParameters;
    InstrumentValues& v = instrumentValues;
    RegisterImage& image = registerImage;

    if (p.sampleRate < 1) {
        p.sampleRate = 10;
    }
    image[regTimebaseLength] = timebaseLength(p.sampleRate);

    // Pulse width 0 keeps the timing the calibration window set; an unknown width becomes 300 from the next transfer.
    if (p.pulseWidthUs == 80 || p.pulseWidthUs == 300) {
        v.timing = p.pulseWidthUs == 80 ? timing80us : timing300us;
        v.sampleCounts = sampleCountsOf(v.timing);
    } else if (p.pulseWidthUs != 0) {
        p.pulseWidthUs = 300;
    }

    if (p.baseGatePulseMode == "Continuous") {
        v.timing.baseGateClampOff = 1;
        v.timing.baseGateClampOn = 65535;
    }

    if (p.baseGateMode == "Voltage") {
        image[regBaseGateMode] = 0;
    } else if (p.baseGateMode == "Current") {
        image[regBaseGateMode] = 1;
    }
    image[regBaseCurrentRange] = v.baseCurrentRange;

    applyControlWord();

    const TimingSet& t = v.timing;
    image[regRampStartDelay] = v.rampStartDelay;
    image[regHaltRunLength] = v.haltRunLength;
    image[regBaseGatePulseStart] = t.baseGatePulseStart;
    image[regBaseGatePulseStop] = t.baseGatePulseStop;
    image[regQuietTimeStart] = t.quietTimeStart;
    image[regQuietTimeStop] = t.quietTimeStop;
    image[regSamplerStart] = t.samplerStart;
    image[regSamplerStop] = t.samplerStop;
    image[regBaseGateClampOn] = t.baseGateClampOn;
    image[regBaseGateClampOff] = t.baseGateClampOff;
    image[regCollectorPulseStart] = t.collectorPulseStart;
    image[regCollectorPulseStop] = t.collectorPulseStop;
    image[regRampMeasurePoint] = t.rampMeasurePoint;
    image[regVbSamplerStop] = t.vbSamplerStop;
    image[regVbSamplerStart] = t.vbSamplerStart;
    image[regCollectorResistorSelected] = p.collectorResistor;
    image[regHaltCollectorVoltageMin] = twosComplement32(v.haltVoltageMin);
    image[regHaltCollectorVoltageMax] = twosComplement32(v.haltVoltageMax);
    image[regHaltCollectorCurrentMin] = twosComplement32(v.haltCurrentMin);
    image[regHaltCollectorCurrentMax] = twosComplement32(v.haltCurrentMax);
    image[regBaseGateDacIdleRaw] = dacRegisterValue(v.idleDacCounts);
    image[regBaseGateDacActiveRaw] = dacRegisterValue(v.activeDacCounts);

    image[regNormalStopMeasurePoint] = t.samplerStart + 1;
    image[regProtectionMeasurePoint] = t.quietTimeStart + 4;
}

void finishRegisterTransfer() {
    instrumentValues.runCommand = "Idle";
    clearBits(controlRun | controlStop | controlHvStartRequest | controlHvStopRequest | controlWriteCalibrationWord);
    if (registerImage[regFlashCalLock] == calibrationUnlockCode) {
        registerImage[regFlashCalLock] = 0;
    }
}

void sendRegisterImage() {
    fillRegisterImage();
    transmitRegisterImage();
    finishRegisterTransfer();
}
