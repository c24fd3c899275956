// Parameters of a whole run, by device kind.
#include <algorithm>
#include <cmath>

#include "analysis/analysis.h"
#include "analysis/diode_fit.h"
#include "analysis/family_fit.h"
#include "analysis/kind_traits.h"

namespace {

// Knee and linear-region resistance of every step that has them, with the run's signs.
void stepParameters(const FamilyFit& family, RunParameters& out) {
    for (int s = family.firstStep; s <= family.lastStep; ++s) {
        const StepFit& step = family.steps[s];
        if (step.conducting && step.kneeFound) out.saturationVoltage[s] = parameterValue(family.sign * step.knee, "V", step.active.r2, false);
        if (step.conducting && step.linear.ok && step.linear.slope > 0)
            out.onResistance[s] = parameterValue(1.0 / step.linear.slope, "ohm", step.linear.r2, true);
    }
}

void bipolarParameters(const RunRecord& record, const FamilyFit& family, RunParameters& out) {
    stepParameters(family, out);
    std::vector<double> intercepts, slopes, logIs;
    double isQuality = 1;
    for (int s = family.firstStep; s <= family.lastStep; ++s) {
        const StepFit& step = family.steps[s];
        if (!step.conducting || step.drive <= 0) continue;
        intercepts.push_back(step.active.intercept);
        slopes.push_back(step.active.slope);
        // Ic = IS exp(Vbe / Vt) at Vce = 0 gives IS from each step's base voltage.
        if (step.gateVolts > 0.2 && step.gateVolts < 1.5) {
            logIs.push_back(std::log(step.active.intercept) - step.gateVolts / thermalVoltage);
            isQuality = std::min(isQuality, step.active.r2);
        }
    }
    out.earlyVoltage = throughOriginRatio(intercepts, slopes, true, "V");
    if (out.earlyVoltage.available && out.earlyVoltage.value <= 0) out.earlyVoltage = {};
    const int middle = middleConductingStep(family);
    if (middle >= 0) {
        const StepFit& step = family.steps[middle];
        out.hfe = parameterValue(step.active.intercept / step.drive, "", step.active.r2, true);
    }
    if (!logIs.empty()) {
        double sum = 0;
        for (double l : logIs) sum += l;
        out.saturationCurrent = parameterValue(std::exp(sum / static_cast<double>(logIs.size())), "A", isQuality, false);
    }
    // Reverse-active region: Ic = -(BR + 1) Ib where the collector swings well below the emitter.
    std::vector<double> reverse;
    for (int s = family.firstStep; s <= family.lastStep; ++s) {
        const StepFit& step = family.steps[s];
        if (step.drive <= 0) continue;
        const Curve c = stepCurve(record, s, family.sign);
        if (c.empty() || c.v.front() > -0.5) continue;
        const LineFit low = fitCurveRange(c, c.v.front(), 0.5 * c.v.front());
        if (low.ok && low.count >= 3) reverse.push_back(-(low.intercept + low.slope * c.v.front()) / step.drive - 1.0);
    }
    if (!reverse.empty() && median(reverse) > 0) out.reverseBeta = parameterValue(median(reverse), "", 1, false);
}

// Id = K (Vgs - Vth)^2 at Vds -> 0 of each step's saturation line: sqrt(Id) is linear in Vgs.
void fieldEffectParameters(const FamilyFit& family, DeviceKind kind, RunParameters& out) {
    stepParameters(family, out);
    std::vector<double> intercepts, slopes, gate, root;
    for (int s = family.firstStep; s <= family.lastStep; ++s) {
        const StepFit& step = family.steps[s];
        if (!step.conducting) continue;
        intercepts.push_back(step.active.intercept);
        slopes.push_back(step.active.slope);
        // A gate that conducts (a JFET driven forward) is not at the level set: leave the step out.
        const bool clamped = step.gateVolts != 0 && std::fabs(step.gateVolts - step.drive) > 0.2 + 0.1 * std::fabs(step.drive);
        if (clamped || step.active.intercept < 0.03 * family.largestIntercept) continue;
        gate.push_back(step.drive);
        root.push_back(std::sqrt(step.active.intercept));
    }
    out.lambda = throughOriginRatio(intercepts, slopes, false, "1/V");
    if (out.lambda.available && out.lambda.value <= 0) out.lambda = {};
    const LineFit transfer = fitLine(gate, root);
    if (!transfer.ok || transfer.slope <= 0) return;
    const double threshold = -transfer.intercept / transfer.slope; // n-type frame
    const double gain = transfer.slope * transfer.slope;
    // Enhancement thresholds are reported with the run's signs; depletion and JFET pinch-off likewise.
    out.threshold = parameterValue(family.sign * threshold, "V", transfer.r2, true);
    out.gainFactor = parameterValue(isJfet(kind) ? gain : 2 * gain, "A/V^2", transfer.r2, true);
    if (threshold < 0 && (isJfet(kind) || isDepletion(kind)))
        out.idss = parameterValue(family.sign * gain * threshold * threshold, "A", transfer.r2, true);
}

void diodeParameters(const RunRecord& record, const RunSettings& settings, RunParameters& out) {
    // Every step of a diode run traces the same junction: pool them.
    Curve forward, reverse;
    const int last = std::min(settings.stepCount, runRecordSteps - 1);
    for (int s = 0; s <= last; ++s) {
        const Curve c = stepCurve(record, s, 1.0);
        for (int k = 0; k < c.size(); ++k) {
            Curve& side = c.v[k] >= 0 ? forward : reverse;
            const double sign = c.v[k] >= 0 ? 1.0 : -1.0;
            side.v.push_back(sign * c.v[k]);
            side.i.push_back(sign * c.i[k]);
            side.drive.push_back(0);
        }
    }
    forward = sortedByVoltage(forward);
    reverse = sortedByVoltage(reverse);
    const DiodeFit fit = fitDiodeForward(forward);
    out.saturationCurrent = fit.saturationCurrent;
    out.ideality = fit.ideality;
    out.seriesResistance = fit.seriesResistance;
    double largest = 0;
    for (double i : forward.i) largest = std::max(largest, i);
    // Forward voltage at 1 mA, or at the highest decade the run reached.
    double reference = 1e-3;
    if (largest < reference && largest > 0) reference = std::pow(10.0, std::floor(std::log10(largest)));
    double volts = 0;
    if (largest > 0 && voltageAtCurrent(forward, reference, volts) && volts > 0) {
        out.forwardVoltage = parameterValue(volts, "V", 1, false);
        out.forwardVoltageCurrent = reference;
    }
    out.breakdownVoltage = reverseBreakdown(reverse, out.breakdownCurrent);
}

void resistorParameters(const RunRecord& record, const RunSettings& settings, RunParameters& out) {
    std::vector<double> v, i;
    const int last = std::min(settings.stepCount, runRecordSteps - 1);
    for (int s = 0; s <= last; ++s) {
        const Curve c = stepCurveInOrder(record, s, 1.0);
        v.insert(v.end(), c.v.begin(), c.v.end());
        i.insert(i.end(), c.i.begin(), c.i.end());
    }
    const LineFit line = fitLine(v, i);
    if (line.ok && line.slope > 0 && line.count >= 4) out.resistance = parameterValue(1.0 / line.slope, "ohm", line.r2, true);
}

void thyristorParameters(const RunRecord& record, const RunSettings& settings, RunParameters& out) {
    const double sign = runPolarity(record, settings);
    const int last = std::min(settings.stepCount, runRecordSteps - 1);
    for (int s = 0; s <= last; ++s) {
        double breakover = 0;
        if (thyristorBreakover(stepCurveInOrder(record, s, sign), breakover)) {
            out.breakdownVoltage = parameterValue(sign * breakover, "V", 1, false);
            return;
        }
    }
}

} // namespace

RunParameters analyseRun(const RunRecord& record, const RunSettings& settings, DeviceKind kind) {
    RunParameters out;
    out.kind = kind;
    if (!settings.valid || !driveSuitsKind(settings, kind)) return out;
    if (isBipolar(kind)) {
        bipolarParameters(record, fitFamily(record, settings), out);
    } else if (isFieldEffect(kind)) {
        fieldEffectParameters(fitFamily(record, settings), kind, out);
    } else if (kind == DeviceKind::Diode) {
        diodeParameters(record, settings, out);
    } else if (kind == DeviceKind::Resistor) {
        resistorParameters(record, settings, out);
    } else if (kind == DeviceKind::Thyristor) {
        thyristorParameters(record, settings, out);
    }
    return out;
}
