#include "base/unit_format.h"

// Filled in next; the declarations are settled.
std::string formatFixed(double, int) {
    return {};
}
std::string formatTrimmed(double) {
    return {};
}
std::string trimTrailingZeros(const std::string& text) {
    return text;
}
AxisScale chooseAxisScale(double) {
    return {};
}
void resetAxisScaleCarry() {}
std::string formatStepLevel(double, double, const std::string&) {
    return {};
}
std::string formatReadout(double, const AxisScale&, const std::string&, int) {
    return {};
}
std::string formatPeakVoltage(const std::string&) {
    return {};
}
std::string formatCollectorResistance(long long) {
    return {};
}
std::string formatPeakCurrent(double) {
    return {};
}
std::string formatPulseLength(long long) {
    return {};
}
std::string formatSampleRate(long long) {
    return {};
}
