#include "base/unit_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

// Largest finite double in fixed notation with the most decimals: 309 digits, point, 512 decimals, sign.
constexpr int fixedBufferSize = 1100;

// The mantissa the last scale chose; a magnitude too small for the ladder keeps it (shared by both axes).
double carriedMantissa = 0.0;

struct AxisRow {
    double lowerBound;
    const char* prefix;
    double multiplier;
    double decadeFactor;
};

// Highest row first; the last row takes everything below 1e-14, zero included.
const AxisRow axisRows[] = {
    {1e6, "M", 1e-6, 1},   {1e5, "K", 1e-5, 100}, {1e4, "K", 1e-4, 10},  {1e3, "K", 1e-3, 1},
    {100, "", 0.01, 100},  {10, "", 0.1, 10},     {1, "", 1, 1},         {0.1, "m", 10, 100},
    {0.01, "m", 100, 10},  {1e-3, "m", 1e3, 1},   {1e-4, "u", 1e4, 100}, {1e-5, "u", 1e5, 10},
    {1e-6, "u", 1e6, 1},   {1e-7, "n", 1e7, 100}, {1e-8, "n", 1e8, 10},  {1e-9, "n", 1e9, 1},
    {1e-10, "p", 1e10, 100}, {1e-11, "p", 1e11, 10}, {1e-12, "p", 1e12, 1}, {1e-13, "f", 1e13, 100},
    {1e-14, "f", 1e14, 10},
};
const AxisRow smallestAxisRow{0.0, "f", 1e15, 1};

struct LadderStep {
    double upperBound; // the mantissa lies below it
    double fullScale;
};
const LadderStep fullScaleLadder[] = {
    {1.2, 1.2}, {1.25, 1.25}, {1.5, 1.5}, {1.6, 1.6}, {2, 2}, {2.5, 2.5}, {3, 3},
    {4, 4},     {5, 5},       {6, 6},     {7, 7},     {7.5, 7.5}, {8, 8}, {9, 9},
};

struct StepLevelRow {
    double lowerBound;
    double factor;
    int decimals;
    int unitIndex; // 0 kilo, 1 base, 2 milli, 3 micro, 4 nano
};
const StepLevelRow stepLevelRows[] = {
    {1000, 1e-3, 3, 0}, {100, 1, 1, 1},    {10, 1, 2, 1},     {1, 1, 3, 1},     {0.1, 1e3, 0, 2},
    {0.01, 1e3, 1, 2},  {0.001, 1e3, 2, 2}, {1e-4, 1e6, 0, 3}, {1e-5, 1e6, 1, 3}, {1e-6, 1e6, 2, 3},
    {1e-7, 1e9, 0, 4},  {1e-8, 1e9, 1, 4},
};
const StepLevelRow smallestStepLevelRow{0.0, 1e9, 2, 4};
const char* const stepUnitPrefixes[] = {" k", " ", " m", " u", " n"};

} // namespace

std::string formatFixed(double value, int decimals) {
    decimals = std::clamp(decimals, 0, 512);
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "+Infinity" : "-Infinity";
    if (value == 0.0) value = 0.0; // -0 prints as 0
    char text[fixedBufferSize];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return std::string(text, result.ptr);
}

std::string trimTrailingZeros(const std::string& text) {
    const std::size_t point = text.find('.');
    if (point == std::string::npos) return text;
    std::size_t end = text.size();
    while (end > point + 1 && text[end - 1] == '0') --end;
    if (end == point + 1) end = point;
    return text.substr(0, end);
}

std::string formatTrimmed(double value) {
    if (std::isnan(value) || std::isinf(value)) return formatFixed(value, 0);
    return trimTrailingZeros(formatFixed(value, 10));
}

std::string formatEngineering(double value, const std::string& unit, bool prefixed) {
    if (std::isnan(value) || std::isinf(value)) return "-";
    static const struct {
        int exponent;
        const char* prefix;
    } prefixes[] = {{9, "G"}, {6, "M"}, {3, "k"}, {0, ""}, {-3, "m"}, {-6, "u"}, {-9, "n"}, {-12, "p"}, {-15, "f"}};
    const double magnitude = std::fabs(value);
    int exponent = 0;
    const char* prefix = "";
    if (prefixed && magnitude > 0) {
        exponent = -15;
        prefix = "f";
        for (const auto& p : prefixes) {
            if (magnitude >= std::pow(10.0, p.exponent) * (1 - 5e-4)) {
                exponent = p.exponent;
                prefix = p.prefix;
                break;
            }
        }
    }
    const double scaled = value / std::pow(10.0, exponent);
    // Four significant digits: decimals by the integer digits of the scaled number.
    const double scaledMagnitude = std::fabs(scaled);
    int decimals = 3;
    if (scaledMagnitude >= 999.95) decimals = 0;
    else if (scaledMagnitude >= 99.995) decimals = 1;
    else if (scaledMagnitude >= 9.9995) decimals = 2;
    else if (scaledMagnitude > 0 && scaledMagnitude < 0.99995) decimals = std::min(12, 3 - static_cast<int>(std::floor(std::log10(scaledMagnitude))));
    std::string text = formatFixed(scaled, decimals);
    if (!unit.empty() || *prefix) text += std::string(" ") + prefix + unit;
    return text;
}

AxisScale chooseAxisScale(double magnitude) {
    const AxisRow* row = &smallestAxisRow;
    for (const AxisRow& candidate : axisRows) {
        if (magnitude >= candidate.lowerBound) {
            row = &candidate;
            break;
        }
    }
    AxisScale scale;
    scale.prefix = row->prefix;
    scale.multiplier = row->multiplier;
    scale.decadeFactor = row->decadeFactor;
    const double mantissa = magnitude * row->multiplier;
    if (mantissa >= 1.0) {
        carriedMantissa = 10.0;
        for (const LadderStep& step : fullScaleLadder) {
            if (mantissa < step.upperBound) {
                carriedMantissa = step.fullScale;
                break;
            }
        }
    }
    scale.fullScaleMantissa = carriedMantissa;
    return scale;
}

void resetAxisScaleCarry() {
    carriedMantissa = 0.0;
}

std::string formatStepLevel(double level, double largest, const std::string& unit) {
    const StepLevelRow* row = &smallestStepLevelRow;
    for (const StepLevelRow& candidate : stepLevelRows) {
        if (largest >= candidate.lowerBound) {
            row = &candidate;
            break;
        }
    }
    return formatFixed(level * row->factor, row->decimals) + stepUnitPrefixes[row->unitIndex] + unit;
}

std::string formatReadout(double value, const AxisScale& scale, const std::string& unit, int decimals) {
    return formatFixed(value * scale.multiplier * scale.decadeFactor, decimals) + " " + scale.prefix + unit;
}

std::string formatPeakVoltage(const std::string& recorded) {
    return (recorded.empty() ? std::string("---") : recorded) + " V";
}

std::string formatCollectorResistance(long long ohms) {
    if (ohms >= 1000) return formatFixed(static_cast<double>(ohms) / 1000.0, 2) + " kR";
    return formatFixed(static_cast<double>(ohms), 0) + " R";
}

std::string formatPeakCurrent(double amperes) {
    const double magnitude = std::fabs(amperes);
    if (magnitude >= 1.0) return formatFixed(amperes, 2) + " A";
    if (magnitude >= 0.001) return formatFixed(amperes * 1000.0, 0) + " mA";
    // Below 1 mA (only from a stored run): microamperes, so the value is not shown as 0 mA.
    return formatFixed(amperes * 1e6, 0) + " uA";
}

std::string formatPulseLength(long long microseconds) {
    if (microseconds == 0) return "Continous";
    return std::to_string(microseconds) + " us";
}

std::string formatSampleRate(long long hertz) {
    return std::to_string(hertz) + " Hz";
}
