// Step-by-step fits of a transistor family: active region, knee and linear region.
#include "analysis/family_fit.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kneeShare = 0.9;          // the knee is where a step reaches this share of its active line
constexpr double conductingShare = 0.01;   // steps carrying less than this share of the family are off
constexpr int minimumActiveSamples = 5;

// First voltage at which the curve stays at or above the share of the line for three samples running.
bool findKnee(const Curve& c, const LineFit& line, double& knee) {
    const int n = c.size();
    auto above = [&](int k) { return c.i[k] >= kneeShare * (line.intercept + line.slope * c.v[k]); };
    for (int k = 0; k < n; ++k) {
        if (!above(k)) continue;
        bool stays = true;
        for (int j = k + 1; j < std::min(n, k + 3); ++j) stays = stays && above(j);
        if (!stays) continue;
        if (k == 0) {
            knee = c.v[0];
            return true;
        }
        const double d0 = c.i[k - 1] - kneeShare * (line.intercept + line.slope * c.v[k - 1]);
        const double d1 = c.i[k] - kneeShare * (line.intercept + line.slope * c.v[k]);
        const double h = d1 != d0 ? -d0 / (d1 - d0) : 1.0;
        knee = c.v[k - 1] + std::clamp(h, 0.0, 1.0) * (c.v[k] - c.v[k - 1]);
        return true;
    }
    return false;
}

StepFit fitStep(const Curve& c, double drive) {
    StepFit fit;
    fit.drive = drive;
    fit.hasSamples = c.size() > 0;
    if (c.size() < 8 || c.v.back() <= 0) return fit;
    const double vmax = c.v.back();
    fit.maxVolts = vmax;
    const LineFit upper = fitCurveRange(c, 0.5 * vmax, vmax);
    if (!upper.ok || upper.intercept <= 0) return fit;
    double knee = 0;
    if (!findKnee(c, upper, knee)) return fit;
    const double lo = std::max(1.5 * knee, knee + 0.1 * (vmax - knee));
    LineFit active = fitCurveRange(c, lo, vmax);
    if (!active.ok || active.count < minimumActiveSamples) active = upper;
    // A step that never flattens (current-limited in its linear region) has no active region.
    if (active.intercept <= 0 || active.slope * std::max(knee, 1e-3) > active.intercept / 3) return fit;
    fit.active = active;
    double activeKnee = knee;
    if (findKnee(c, active, activeKnee)) knee = activeKnee;
    fit.knee = knee;
    fit.kneeFound = true;
    std::vector<double> gate;
    for (int k = 0; k < c.size(); ++k)
        if (c.v[k] >= lo) gate.push_back(c.drive[k]);
    fit.gateVolts = median(gate);
    for (double share : {0.25, 0.5}) {
        const LineFit linear = fitCurveRange(c, 0.0, share * fit.knee);
        if (linear.ok && linear.count >= (share < 0.5 ? 4 : 3) && linear.slope > 0) {
            fit.linear = linear;
            break;
        }
    }
    return fit;
}

} // namespace

double runPolarity(const RunRecord& record, const RunSettings& settings) {
    if (settings.peakVoltage < 0) return -1;
    if (settings.peakVoltage > 0) return 1;
    int positive = 0, negative = 0;
    for (int s = 0; s < runRecordSteps; ++s) {
        const auto count = std::clamp<std::int64_t>(record.entryCount[s], 0, runRecordEntries);
        for (std::int64_t e = 1; e <= count; ++e) {
            if (record.VC[s][e] > 0) ++positive;
            if (record.VC[s][e] < 0) ++negative;
        }
    }
    return negative > positive ? -1 : 1;
}

FamilyFit fitFamily(const RunRecord& record, const RunSettings& settings) {
    FamilyFit family;
    family.sign = runPolarity(record, settings);
    family.lastStep = std::min(settings.stepCount, runRecordSteps - 1);
    for (int s = family.firstStep; s <= family.lastStep; ++s) {
        family.steps[s] = fitStep(stepCurve(record, s, family.sign), family.sign * stepDriveLevel(settings, s));
        if (family.steps[s].active.ok)
            family.largestIntercept = std::max(family.largestIntercept, family.steps[s].active.intercept);
    }
    for (int s = family.firstStep; s <= family.lastStep; ++s) {
        StepFit& step = family.steps[s];
        step.conducting = step.active.ok && step.active.intercept >= conductingShare * family.largestIntercept;
    }
    return family;
}

int middleConductingStep(const FamilyFit& family) {
    const double middle = 0.5 * (family.firstStep + family.lastStep);
    int best = -1;
    for (int s = family.firstStep; s <= family.lastStep; ++s) {
        if (!family.steps[s].conducting || family.steps[s].drive <= 0) continue;
        if (best < 0 || std::fabs(s - middle) < std::fabs(best - middle)) best = s;
    }
    return best;
}

ParameterValue throughOriginRatio(const std::vector<double>& intercepts, const std::vector<double>& slopes,
                                  bool inverse, const char* unit) {
    ParameterValue value;
    value.unit = unit;
    double aa = 0, ab = 0, mean = 0;
    const std::size_t n = std::min(intercepts.size(), slopes.size());
    if (n == 0) return value;
    for (std::size_t k = 0; k < n; ++k) {
        aa += intercepts[k] * intercepts[k];
        ab += intercepts[k] * slopes[k];
        mean += slopes[k];
    }
    if (aa <= 0 || ab <= 0) return value;
    mean /= static_cast<double>(n);
    const double ratio = ab / aa; // slope = ratio x intercept
    double residual = 0, bb = 0;
    for (std::size_t k = 0; k < n; ++k) {
        residual += std::pow(slopes[k] - ratio * intercepts[k], 2);
        bb += std::pow(slopes[k] - mean, 2);
    }
    value.value = inverse ? 1.0 / ratio : ratio;
    value.available = isFiniteNumber(value.value);
    value.fitted = true;
    value.quality = bb > 0 ? std::clamp(1.0 - residual / bb, 0.0, 1.0) : 1.0;
    return value;
}
