#include "sweep/sweep_parameters.h"

#include <cmath>


namespace {

// Peak values seen by the previous automatic evaluation; 0 makes the rule run on the next tick.
double rememberedPeakVoltage = 0.0;
double rememberedPeakCurrent = 0.0;

constexpr std::array<double, offsetRangeCount> voltageOffsetUnits = {0.01, 0.025, 0.05, 0.1, 0.25, 0.5};
constexpr std::array<double, offsetRangeCount> currentOffsetUnits = {10e-9, 100e-9, 1e-6, 10e-6, 100e-6, 1e-3};
constexpr std::array<const char*, offsetRangeCount> voltageRangeTexts = {"0-200 mV", "0-500 mV", "0-1 V",
                                                                         "0-2 V",    "0-5 V",    "0-10 V"};
constexpr std::array<const char*, offsetRangeCount> currentRangeTexts = {"0-200 nA", "0-2 uA",  "0-20 uA",
                                                                         "0-200 uA", "0-2 mA", "0-20 mA"};

struct DutPreset {
    const char* code;
    std::int64_t idBase;   // hundreds of testConfigurationId
    bool keepsClass;       // false: the ID becomes idBase exactly
    bool negative;         // collector and step polarity
    bool voltageDrive;
    bool setsOffset;       // the voltage offset members below apply
    std::int64_t offsetLevel;
    bool offsetNegative;
    std::int64_t stepCount; // 0 leaves stepCount alone
};

// Field-effect presets start at range 4 (250 mV units) and step by 0.5 V.
constexpr DutPreset dutPresets[] = {
    {"NPN", 100, true, false, false, false, 0, false, 0},
    {"PNP", 100, true, true, false, false, 0, false, 0},
    {"NMOS_ENH", 300, true, false, true, true, 8, false, 0},
    {"NFET", 300, true, false, true, true, 8, false, 0},
    {"PMOS_ENH", 300, true, true, true, true, 8, true, 0},
    {"PFET", 300, true, true, true, true, 8, true, 0},
    {"NMOS_DEP", 300, true, false, true, true, 12, true, 8},
    {"PMOS_DEP", 300, true, true, true, true, 12, false, 8},
    {"NJFET", 300, true, false, true, true, 0, true, 8},
    {"PJFET", 300, true, true, true, true, 0, false, 8},
    {"DIODE", 500, false, false, true, false, 0, false, 1},
    {"SCR", 600, false, false, true, false, 0, false, 0},
};

const char* polarityText(bool negative) {
    return negative ? "Negative" : "Positive";
}

bool rangeKnown(std::int64_t range) {
    return range >= 0 && range < offsetRangeCount;
}

} // namespace

void resetSweepParametersDefaults() {
    sweepParameters = SweepParameters{};
    rememberedPeakVoltage = 0.0;
    rememberedPeakCurrent = 0.0;
}

void applyDutType(const std::string& code) {
    SweepParameters& p = sweepParameters;
    p.dutType = code;
    for (const DutPreset& preset : dutPresets) {
        if (code != preset.code) {
            continue;
        }
        const std::int64_t deviceClassDigits = p.testConfigurationId - 100 * (p.testConfigurationId / 100);
        p.testConfigurationId = preset.idBase + (preset.keepsClass ? deviceClassDigits : 0);
        p.collectorPolarity = polarityText(preset.negative);
        p.stepPolarity = polarityText(preset.negative);
        p.baseGateMode = preset.voltageDrive ? "Voltage" : "Current";
        if (preset.setsOffset) {
            p.voltageOffsetRange = 4;
            p.voltageOffsetLevel = preset.offsetLevel;
            p.voltageOffsetPolarity = polarityText(preset.offsetNegative);
            p.voltageStepSize = 0.5;
        }
        if (preset.stepCount != 0) {
            p.stepCount = preset.stepCount;
        }
        return;
    }
}

double offsetUnit(const std::string& mode, std::int64_t range) {
    if (!rangeKnown(range)) {
        return 0.0;
    }
    const auto i = static_cast<std::size_t>(range);
    if (mode == "Voltage") {
        return voltageOffsetUnits[i];
    }
    if (mode == "Current") {
        return currentOffsetUnits[i];
    }
    return 0.0;
}

const char* offsetRangeText(const std::string& mode, std::int64_t range) {
    if (!rangeKnown(range)) {
        return "";
    }
    const auto i = static_cast<std::size_t>(range);
    if (mode == "Voltage") {
        return voltageRangeTexts[i];
    }
    if (mode == "Current") {
        return currentRangeTexts[i];
    }
    return "";
}

double signedOffset(std::int64_t level, const std::string& mode, std::int64_t range, const std::string& polarity) {
    const double offset = static_cast<double>(level) * offsetUnit(mode, range);
    return polarity == "Negative" ? -offset : offset;
}

void updateDerivedLevels() {
    SweepParameters& p = sweepParameters;
    const double direction = p.stepPolarity == "Negative" ? -1.0 : 1.0;
    const double steps = static_cast<double>(p.stepCount);
    if (p.baseGateMode == "Voltage") {
        p.voltageOffset = signedOffset(p.voltageOffsetLevel, "Voltage", p.voltageOffsetRange, p.voltageOffsetPolarity);
        p.voltageMaximum = direction * p.voltageStepSize * steps + p.voltageOffset;
    } else if (p.baseGateMode == "Current") {
        p.currentOffset = signedOffset(p.currentOffsetLevel, "Current", p.currentOffsetRange, p.currentOffsetPolarity);
        p.currentMaximum = direction * p.currentStepSize * steps + p.currentOffset;
    }
}

bool updateAutomaticResistor() {
    SweepParameters& p = sweepParameters;
    if (p.collectorResistorSelection >= 0 && p.collectorResistorSelection <= 3) {
        p.collectorResistor = p.collectorResistorSelection;
        rememberedPeakVoltage = 0.0;
        return false;
    }
    if (p.collectorResistorSelection != automaticResistorSelection) {
        return false;
    }
    if (p.collectorPeakVoltage == rememberedPeakVoltage && p.collectorPeakCurrent == rememberedPeakCurrent) {
        return false;
    }
    rememberedPeakVoltage = p.collectorPeakVoltage;
    rememberedPeakCurrent = p.collectorPeakCurrent;
    // Largest resistor whose 0.95-fold value does not exceed twice the peak voltage/current ratio.
    const double f = 2.0 * std::fabs(p.collectorPeakVoltage / p.collectorPeakCurrent);
    if (f < 256.5) {
        p.collectorResistor = 3;
    } else if (f < 2422.5) {
        p.collectorResistor = 2;
    } else if (f < 25650.0) {
        p.collectorResistor = 1;
    } else {
        p.collectorResistor = 0;
    }
    return true;
}

void setSampleRate(std::int64_t rate) {
    sweepParameters.sampleRate = rate;
}
