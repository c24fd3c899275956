#include "calibration/calibration_coefficients.h"

#include <algorithm>
#include <cmath>

#include "link/protocol.h"

namespace {

// Index into a four-entry table; a stray range value must not read past it.
std::size_t rangeIndex(std::int64_t range) {
    return static_cast<std::size_t>(std::clamp<std::int64_t>(range, 0, 3));
}

// Bounds a computed count so the integer conversion is defined; NaN has no count and gives 0.
double saturate(double x, double magnitude) {
    if (std::isnan(x)) {
        return 0.0;
    }
    return std::clamp(x, -magnitude, magnitude);
}

double perSample(std::int64_t sum, std::int64_t count) {
    // A window of no samples cannot be divided out; the sum then stands for one sample.
    return static_cast<double>(sum) / static_cast<double>(count > 0 ? count : 1);
}

} // namespace

void resetCalibrationDefaults() {
    calibrationCoefficients = CalibrationCoefficients{};
    smallCurrentCompensation = SmallCurrentCompensation{};
}

double rawToVolts(double raw, const LinearCal& cal) {
    return raw * cal.slope + cal.intercept;
}

double rawToAmps(double raw, std::int64_t range, double vc) {
    const LinearCal& cal = calibrationCoefficients.icAdc[rangeIndex(range)];
    return raw * cal.slope + cal.intercept - smallCurrentCompensation.smallCurrentOffset - vc * parallelConductance();
}

double parallelConductance() {
    const SmallCurrentCompensation& comp = smallCurrentCompensation;
    if (comp.slopeOffsetMeasuredVoltage == 0.0) return 0.0;
    const double conductance = comp.slopeOffsetMeasuredCurrent / comp.slopeOffsetMeasuredVoltage;
    return std::isfinite(conductance) ? conductance : 0.0;
}

std::int64_t physicalToRawLimit(double limit, const LinearCal& cal) {
    const double raw = saturate((limit - cal.intercept) / cal.slope, static_cast<double>(rawLimitMagnitude));
    return static_cast<std::int64_t>(std::nearbyint(raw));
}

std::int64_t levelToDacCounts(double level, DriveMode mode, std::int64_t baseCurrentRange, DacLevel which) {
    const CalibrationCoefficients& c = calibrationCoefficients;
    constexpr double countLimit = 1e15;
    if (mode == DriveMode::Voltage) {
        const LinearCal& cal = which == DacLevel::Idle ? c.baseGateIdleDacV : c.baseGateActiveDacV;
        return static_cast<std::int64_t>(std::round(saturate(level * cal.slope + cal.intercept, countLimit)));
    }
    const std::size_t b = rangeIndex(baseCurrentRange);
    const LinearCal& cal = which == DacLevel::Idle ? c.baseGateIdleDacI[b] : c.baseGateActiveDacI[b];
    return static_cast<std::int64_t>(std::nearbyint(saturate(level * cal.slope + cal.intercept, countLimit)));
}

Readings convertReport(const Report& report, const SampleCounts& counts, std::int64_t collectorResistorRange) {
    const CalibrationCoefficients& c = calibrationCoefficients;
    Readings r;
    r.vc = rawToVolts(perSample(report.rawVc, counts.vcIc), c.vcAdc);
    r.vr = rawToVolts(static_cast<double>(report.rawVr), c.vcAdc);
    r.ic = rawToAmps(perSample(report.rawIc, counts.vcIc), collectorResistorRange, r.vc);
    r.vb = rawToVolts(perSample(report.rawVb, counts.vb), c.vbAdc);
    return r;
}
