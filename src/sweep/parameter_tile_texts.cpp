#include "sweep/parameter_tile_texts.h"

#include <cstdint>

#include "base/unit_format.h"
#include "sweep/sweep_parameters.h"

namespace {

const SweepParameters& p = sweepParameters;

std::string sign(const std::string& polarity) {
    return polarity == "Negative" ? "-" : "";
}

std::string pulseText(const std::string& mode) {
    if (mode != "Pulsed") return "Continuous";
    return "Pulsed " + std::to_string(p.pulseWidthUs) + " us";
}

std::string resistorText() {
    const bool automatic = p.collectorResistorSelection == automaticResistorSelection;
    const std::int64_t index = automatic ? p.collectorResistor : p.collectorResistorSelection;
    const std::string name = index >= 0 && index < static_cast<std::int64_t>(collectorResistors.size())
                                 ? collectorResistors[static_cast<std::size_t>(index)].panelText
                                 : "";
    return (automatic ? "Auto " : "") + name;
}

std::string peakCurrentText(double amperes) {
    if (amperes < 1) return formatFixed(amperes * 1000, 0) + " mA";
    return formatFixed(amperes, 2) + " A";
}

std::string stepText() {
    if (p.baseGateMode == "Voltage") {
        const double s = p.voltageStepSize;
        return s >= 0.999 ? formatTrimmed(s) + " V" : formatFixed(s * 1000, 0) + " mV";
    }
    const double s = p.currentStepSize;
    if (s >= 0.001) return formatFixed(s * 1000, 0) + " mA";
    if (s >= 1e-6) return formatFixed(s * 1e6, 0) + " uA";
    return formatFixed(s * 1e9, 0) + " nA";
}

struct OffsetStep {
    double factor;
    int decimals;
    const char* unit;
};
// Per range: the level's factor, decimals and unit, for voltage and for current drive.
constexpr OffsetStep voltageOffsetSteps[6] = {{10, 0, " mV"},  {25, 0, " mV"},  {0.05, 2, " V"},
                                              {0.1, 2, " V"},  {0.25, 2, " V"}, {0.5, 2, " V"}};
constexpr OffsetStep currentOffsetSteps[6] = {{10, 0, " nA"}, {0.1, 1, " uA"}, {1, 0, " uA"},
                                              {10, 0, " uA"}, {0.1, 1, " mA"}, {1, 0, " mA"}};

} // namespace

bool operator==(const TileTexts& a, const TileTexts& b) {
    return a.title == b.title && a.topRight == b.topRight && a.value == b.value && a.bottomLeft == b.bottomLeft &&
           a.bottomRight == b.bottomRight;
}

std::string offsetLevelText(const std::string& mode, std::int64_t range, std::int64_t level) {
    if (range < 0 || range >= offsetRangeCount || (mode != "Voltage" && mode != "Current")) return "";
    const OffsetStep& step = (mode == "Voltage" ? voltageOffsetSteps : currentOffsetSteps)[range];
    return formatFixed(static_cast<double>(level) * step.factor, step.decimals) + step.unit;
}

std::string stepMaximumText() {
    if (p.baseGateMode == "Voltage") {
        const double x = p.voltageMaximum;
        if (x > 0.999999 || x < -0.999999) return "Max: " + formatTrimmed(x) + " V";
        return "Max: " + formatFixed(x * 1000, 0) + " mV";
    }
    const double x = p.currentMaximum;
    if (x > 0.03) return "Max: 30 mA *LIMIT";
    if (x < -0.03) return "Max: -30 mA *LIMIT";
    if (x > 0.000999999 || x < -0.000999999) return "Max: " + formatTrimmed(x * 1000) + " mA";
    return "Max: " + formatTrimmed(x * 1e6) + " uA";
}

std::array<TileTexts, 5> parameterTileTexts() {
    const bool voltage = p.baseGateMode == "Voltage";
    const std::int64_t range = voltage ? p.voltageOffsetRange : p.currentOffsetRange;
    const std::int64_t level = voltage ? p.voltageOffsetLevel : p.currentOffsetLevel;
    const std::string& offsetPolarity = voltage ? p.voltageOffsetPolarity : p.currentOffsetPolarity;
    return {{
        {"Maximum Voltage", "", sign(p.collectorPolarity) + formatTrimmed(p.collectorPeakVoltage) + " V", "Polarity",
         resistorText()},
        {"Maximum Current", "", sign(p.collectorPolarity) + peakCurrentText(p.collectorPeakCurrent), "",
         pulseText(p.collectorPulseMode)},
        {"Step Size", "", sign(p.stepPolarity) + stepText(), "Polarity", voltage ? "Voltage Mode" : "Current Mode"},
        {"Offset Level", "", sign(offsetPolarity) + offsetLevelText(p.baseGateMode, range, level), "Polarity",
         offsetRangeText(p.baseGateMode, range)},
        {"Steps", "", std::to_string(p.stepCount), stepMaximumText(), pulseText(p.baseGatePulseMode)},
    }};
}

int selectedDutButton(const std::string& dutType) {
    static const char* const selects[][3] = {
        {"NPN", "", ""},   {"PNP", "", ""},   {"NFET", "NMOS_ENH", "NMOS_DEP"}, {"PFET", "PMOS_ENH", "PMOS_DEP"},
        {"DIODE", "", ""}, {"SCR", "", ""},
    };
    if (dutType.empty()) return -1;
    for (int button = 0; button < dutButtonCount; ++button)
        for (const char* code : selects[button])
            if (dutType == code) return button;
    return -1;
}
