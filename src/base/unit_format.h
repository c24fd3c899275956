// Numbers as the program shows and writes them: fixed-point texts, engineering prefixes for the graph
// axes, step levels, readouts and the sweep settings summary.
#pragma once

#include <string>

// The scale of one graph axis, recomputed at every graph refresh.
struct AxisScale {
    std::string prefix;             // "M", "K", "", "m", "u", "n", "p" or "f"
    double multiplier = 1.0;        // magnitude x multiplier lies in [1, 10)
    double decadeFactor = 1.0;      // 1, 10 or 100: mantissa x decadeFactor is the full scale in prefixed units
    double fullScaleMantissa = 0.0; // from the full-scale ladder, normally in (1, 10]
    std::string sign;               // "" for the positive side of the axis, "-" for the negative side
    double fullScale = 0.0;         // signed full scale in base units (set by the caller with sign)
};

// Fixed-point text, correctly rounded from the exact binary value (halfway to even); -0 prints as 0;
// "+Infinity", "-Infinity", "NaN". Decimals are clamped to 0..512.
std::string formatFixed(double value, int decimals);
// formatFixed(value, 10) with trailing zeros (and a bare ".") removed.
std::string formatTrimmed(double value);
std::string trimTrailingZeros(const std::string& text);
// Four significant digits with an engineering prefix and the unit: "150.0", "80.12 V", "18.50 uS",
// "1.000 kR" for unit "R". With `prefixed` false the number keeps no prefix ("0.02000 1/V").
std::string formatEngineering(double value, const std::string& unit, bool prefixed = true);

// Prefix, multiplier, decade factor and full-scale mantissa for a magnitude (>= 0). A magnitude whose
// mantissa falls below 1 keeps the mantissa of the previous call (shared by both axes).
AxisScale chooseAxisScale(double magnitude);
// Forgets the carried mantissa (start-up, tests).
void resetAxisScaleCarry();

// One step generator level, in the unit and decimals chosen by the largest level of the run; unit "A" or "V".
std::string formatStepLevel(double level, double largest, const std::string& unit);
// value in the prefixed unit of an axis: formatFixed(value x multiplier x decadeFactor) + " " + prefix + unit.
std::string formatReadout(double value, const AxisScale& scale, const std::string& unit, int decimals);

// The sweep settings summary.
std::string formatPeakVoltage(const std::string& recorded);
std::string formatCollectorResistance(long long ohms);
std::string formatPeakCurrent(double amperes);
std::string formatPulseLength(long long microseconds);
std::string formatSampleRate(long long hertz);
