// Parameters at the operating point the user points at.
#include <algorithm>
#include <cmath>

#include "analysis/analysis.h"
#include "analysis/curve_math.h"
#include "analysis/family_fit.h"
#include "analysis/kind_traits.h"

namespace {

// Current of a step at v0 from the line through its nearest samples (n-type frame).
bool currentAt(const RunRecord& record, int step, double sign, double v0, double& current) {
    const LineFit line = fitAround(stepCurve(record, step, sign), v0);
    if (!line.ok) return false;
    current = line.intercept + line.slope * v0;
    return isFiniteNumber(current);
}

// dI / d(drive) at v0 between the neighbouring steps (or the one neighbour there is).
ParameterValue transferSlope(const RunRecord& record, const RunSettings& settings, double sign, int step, double v0,
                             const char* unit) {
    const int last = std::min(settings.stepCount, runRecordSteps - 1);
    int below = step - 1, above = step + 1;
    double iBelow = 0, iAbove = 0;
    const bool hasBelow = below >= 0 && currentAt(record, below, sign, v0, iBelow);
    const bool hasAbove = above <= last && currentAt(record, above, sign, v0, iAbove);
    if (!hasBelow && !hasAbove) return {};
    if (!hasBelow) {
        below = step;
        if (!currentAt(record, step, sign, v0, iBelow)) return {};
    }
    if (!hasAbove) {
        above = step;
        if (!currentAt(record, step, sign, v0, iAbove)) return {};
    }
    const double dDrive = sign * (stepDriveLevel(settings, above) - stepDriveLevel(settings, below));
    if (dDrive == 0) return {};
    return parameterValue((iAbove - iBelow) / dDrive, unit);
}

} // namespace

PointParameters parametersAtPoint(const RunRecord& record, const RunSettings& settings, DeviceKind kind,
                                  const OperatingPoint& point) {
    PointParameters out;
    if (!settings.valid || point.step < 0 || point.step > std::min(settings.stepCount, runRecordSteps - 1)) return out;
    const double sign = runPolarity(record, settings);
    const Curve curve = stepCurve(record, point.step, sign);
    double v0 = sign * point.collectorVoltage;
    if (point.byCurrent && !voltageAtCurrent(curve, sign * point.collectorCurrent, v0)) return out;
    if (!isFiniteNumber(v0)) return out;
    const LineFit local = fitAround(curve, v0);
    if (!local.ok) return out;
    const double i0 = local.intercept + local.slope * v0;
    out.collectorVoltage = parameterValue(sign * v0, "V");
    out.collectorCurrent = parameterValue(sign * i0, "A");
    out.go = parameterValue(local.slope, "S", local.r2, true);
    if (local.slope > 0) out.ro = parameterValue(1.0 / local.slope, "ohm", local.r2, true);

    if (!driveSuitsKind(settings, kind)) return out;
    if (isBipolar(kind)) {
        const double ib = sign * stepDriveLevel(settings, point.step);
        if (ib > 0 && i0 > 0) out.hfe = parameterValue(i0 / ib, "");
        out.beta = transferSlope(record, settings, sign, point.step, v0, "");
        // The tangent at the point crosses zero current at -VA.
        if (local.slope > 0 && i0 > 0) {
            const double early = i0 / local.slope - v0;
            if (early > 0) out.earlyVoltage = parameterValue(early, "V", local.r2, true);
        }
    } else if (isFieldEffect(kind)) {
        out.gm = transferSlope(record, settings, sign, point.step, v0, "S");
        const double atZero = i0 - local.slope * v0;
        if (local.slope > 0 && atZero > 0) out.lambda = parameterValue(local.slope / atZero, "1/V", local.r2, true);
    }
    return out;
}
