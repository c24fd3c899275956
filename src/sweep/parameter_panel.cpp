#include "sweep/parameter_panel.h"

#include <algorithm>
#include <cstddef>
#include <string>

#include "sweep/sweep_parameters.h"

namespace {

SweepParameters& p = sweepParameters;

// The entry after (or before) the one equal to `value`; `value` itself when no entry equals it.
template <std::size_t N>
double neighbour(const std::array<double, N>& ladder, double value, int direction) {
    const auto* found = std::find(ladder.begin(), ladder.end(), value);
    if (found == ladder.end()) return value;
    const auto index = static_cast<std::ptrdiff_t>(found - ladder.begin()) + direction;
    if (index < 0 || index >= static_cast<std::ptrdiff_t>(N)) return value;
    return ladder[static_cast<std::size_t>(index)];
}

double peakVoltageUp(double v) {
    if (v >= 90) return 100;
    if (v < 3) return 3;
    return neighbour(collectorPeakVoltageLadder, v, +1);
}

double peakVoltageDown(double v) {
    if (v <= 6.5) return 3;
    if (v >= 100) return 90;
    return neighbour(collectorPeakVoltageLadder, v, -1);
}

double peakCurrentUp(double i) {
    if (i >= 3) return 3;
    if (i <= 0.001) return 0.002;
    return neighbour(collectorPeakCurrentLadder, i, +1);
}

double peakCurrentDown(double i) {
    if (i <= 0.001) return 0.001;
    return neighbour(collectorPeakCurrentLadder, i, -1);
}

double voltageStepUp(double s) {
    if (s >= 2) return 2;
    if (s < 0.01) return 0.01;
    return neighbour(voltageStepSizeLadder, s, +1);
}

double voltageStepDown(double s) {
    if (s <= 0.01) return 0;
    if (s > 2) return 2;
    return neighbour(voltageStepSizeLadder, s, -1);
}

double currentStepUp(double s) {
    if (s >= 5e-3) return 5e-3;
    if (s < 50e-9) return 50e-9;
    return neighbour(currentStepSizeLadder, s, +1);
}

double currentStepDown(double s) {
    if (s == 50e-9) return 0;
    if (s >= 5e-3) return 3e-3;
    if (s == 0) return 0;
    return neighbour(currentStepSizeLadder, s, -1);
}

std::string toggledPolarity(const std::string& polarity) {
    return polarity == "Positive" ? "Negative" : "Positive";
}

bool voltageDrive() {
    return p.baseGateMode == "Voltage";
}
bool currentDrive() {
    return p.baseGateMode == "Current";
}

// Pulsed 300 us -> Continuous -> Pulsed 80 us -> Pulsed 300 us; the width is shared by both sides.
void cyclePulse(std::string& mode) {
    if (mode == "Pulsed" && p.pulseWidthUs == 300) {
        mode = "Continuous";
    } else if (mode == "Continuous") {
        mode = "Pulsed";
        p.pulseWidthUs = 80;
    } else {
        mode = "Pulsed";
        p.pulseWidthUs = 300;
    }
}

std::int64_t* activeOffsetLevel() {
    if (voltageDrive()) return &p.voltageOffsetLevel;
    if (currentDrive()) return &p.currentOffsetLevel;
    return nullptr;
}

} // namespace

void collectorVoltageUp() {
    p.collectorPeakVoltage = peakVoltageUp(p.collectorPeakVoltage);
    // One step back only: a value loaded above the limit may stay above it.
    if (p.safetyMaximumVoltage < p.collectorPeakVoltage) p.collectorPeakVoltage = peakVoltageDown(p.collectorPeakVoltage);
}

void collectorVoltageDown() {
    p.collectorPeakVoltage = peakVoltageDown(p.collectorPeakVoltage);
}

void toggleCollectorPolarity() {
    p.collectorPolarity = toggledPolarity(p.collectorPolarity);
    p.dutType.clear();
}

void cycleCollectorResistor() {
    const std::int64_t s = p.collectorResistorSelection;
    p.collectorResistorSelection = s == automaticResistorSelection ? 0 : (s >= 0 && s < 3 ? s + 1 : automaticResistorSelection);
}

void collectorCurrentUp() {
    p.collectorPeakCurrent = peakCurrentUp(p.collectorPeakCurrent);
    if (p.safetyMaximumCurrent < p.collectorPeakCurrent) p.collectorPeakCurrent = peakCurrentDown(p.collectorPeakCurrent);
}

void collectorCurrentDown() {
    p.collectorPeakCurrent = peakCurrentDown(p.collectorPeakCurrent);
}

void cycleCollectorPulse() {
    cyclePulse(p.collectorPulseMode);
}

void stepSizeUp() {
    if (voltageDrive()) p.voltageStepSize = voltageStepUp(p.voltageStepSize);
    if (currentDrive()) p.currentStepSize = currentStepUp(p.currentStepSize);
}

void stepSizeDown() {
    if (voltageDrive()) p.voltageStepSize = voltageStepDown(p.voltageStepSize);
    if (currentDrive()) p.currentStepSize = currentStepDown(p.currentStepSize);
}

void toggleStepPolarity() {
    p.stepPolarity = toggledPolarity(p.stepPolarity);
    p.dutType.clear();
}

void toggleBaseGateMode() {
    p.baseGateMode = voltageDrive() ? "Current" : "Voltage";
    p.dutType.clear();
}

void offsetUp() {
    if (std::int64_t* level = activeOffsetLevel()) *level = std::min(*level + 1, offsetLevelMaximum);
}

void offsetDown() {
    if (std::int64_t* level = activeOffsetLevel()) *level = std::max<std::int64_t>(*level - 1, 0);
}

void toggleOffsetPolarity() {
    if (voltageDrive()) p.voltageOffsetPolarity = toggledPolarity(p.voltageOffsetPolarity);
    if (currentDrive()) p.currentOffsetPolarity = toggledPolarity(p.currentOffsetPolarity);
}

void cycleOffsetRange() {
    std::int64_t* range = voltageDrive() ? &p.voltageOffsetRange : currentDrive() ? &p.currentOffsetRange : nullptr;
    if (!range) return;
    *range = *range >= 0 && *range < offsetRangeCount - 1 ? *range + 1 : 0;
}

void stepCountUp() {
    p.stepCount = std::min(p.stepCount + 1, stepCountMaximum);
}

void stepCountDown() {
    p.stepCount = std::max(p.stepCount - 1, stepCountMinimum);
}

void cycleBaseGatePulse() {
    cyclePulse(p.baseGatePulseMode);
}
