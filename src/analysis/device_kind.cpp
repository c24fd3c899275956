// Device kinds by name, and the kind a run's settings and curves point to.
#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "analysis/analysis.h"
#include "analysis/family_fit.h"
#include "analysis/kind_traits.h"

namespace {

constexpr std::array<std::pair<DeviceKind, const char*>, 12> kindNames = {{
    {DeviceKind::Unknown, "unknown"},
    {DeviceKind::Npn, "npn"},
    {DeviceKind::Pnp, "pnp"},
    {DeviceKind::NmosEnhancement, "nmos-enh"},
    {DeviceKind::PmosEnhancement, "pmos-enh"},
    {DeviceKind::NmosDepletion, "nmos-dep"},
    {DeviceKind::PmosDepletion, "pmos-dep"},
    {DeviceKind::Njfet, "njfet"},
    {DeviceKind::Pjfet, "pjfet"},
    {DeviceKind::Diode, "diode"},
    {DeviceKind::Thyristor, "scr"},
    {DeviceKind::Resistor, "resistor"},
}};

// Do the steps trace different curves? Compares the largest current each step reached.
bool curvesFollowTheDrive(const RunRecord& record, int lastStep, double sign) {
    double low = INFINITY, high = 0;
    int withSamples = 0;
    for (int s = 0; s <= lastStep; ++s) {
        const Curve c = stepCurveInOrder(record, s, sign);
        if (c.empty()) continue;
        ++withSamples;
        const double top = *std::max_element(c.i.begin(), c.i.end());
        low = std::min(low, top);
        high = std::max(high, top);
    }
    return withSamples >= 2 && high > 0 && high - low > 0.2 * high;
}

// A straight line through the origin over every sample: a resistor.
bool looksLinear(const RunRecord& record, int lastStep) {
    std::vector<double> v, i;
    for (int s = 0; s <= lastStep; ++s) {
        const Curve c = stepCurveInOrder(record, s, 1.0);
        v.insert(v.end(), c.v.begin(), c.v.end());
        i.insert(i.end(), c.i.begin(), c.i.end());
    }
    const LineFit line = fitLine(v, i);
    if (!line.ok || line.slope <= 0 || line.r2 < 0.998) return false;
    double largest = 0;
    for (double x : i) largest = std::max(largest, std::fabs(x));
    return std::fabs(line.intercept) < 0.02 * largest;
}

} // namespace

const char* deviceKindName(DeviceKind kind) {
    for (const auto& [k, name] : kindNames)
        if (k == kind) return name;
    return "unknown";
}

bool parseDeviceKind(std::string_view name, DeviceKind& kind) {
    for (const auto& [k, text] : kindNames)
        if (name == text) {
            kind = k;
            return true;
        }
    return false;
}

bool thyristorBreakover(const Curve& c, double& breakover) {
    double peak = 0, currentAtPeak = 0;
    for (int k = 0; k < c.size(); ++k) {
        if (c.v[k] > peak) {
            peak = c.v[k];
            currentAtPeak = c.i[k];
        } else if (peak > 1.0 && c.v[k] < 0.5 * peak && c.i[k] > currentAtPeak + 1e-4) {
            breakover = peak;
            return true;
        }
    }
    return false;
}

DeviceKind inferDeviceKind(const RunRecord& record, const RunSettings& settings) {
    if (!settings.valid) return DeviceKind::Unknown;
    const double sign = runPolarity(record, settings);
    const bool negative = sign < 0;
    const int last = std::min(settings.stepCount, runRecordSteps - 1);
    for (int s = 0; s <= last; ++s) {
        double breakover = 0;
        if (thyristorBreakover(stepCurveInOrder(record, s, sign), breakover)) return DeviceKind::Thyristor;
    }
    if (!curvesFollowTheDrive(record, last, sign)) return looksLinear(record, last) ? DeviceKind::Resistor : DeviceKind::Diode;
    if (settings.driveMode == 'I') return negative ? DeviceKind::Pnp : DeviceKind::Npn;

    // Voltage drive: a field-effect transistor; its threshold's sign tells enhancement from depletion.
    const RunParameters fit = analyseRun(record, settings, negative ? DeviceKind::PmosEnhancement : DeviceKind::NmosEnhancement);
    if (!fit.threshold.available || sign * fit.threshold.value > 0)
        return negative ? DeviceKind::PmosEnhancement : DeviceKind::NmosEnhancement;
    // A JFET's gate conducts when driven forward, so a forward step stays near a junction's voltage;
    // a run that never drives the gate forward is the JFET's usual family too.
    const FamilyFit family = fitFamily(record, settings);
    bool forwardDriven = false, clamped = false;
    for (int s = family.firstStep; s <= family.lastStep; ++s) {
        const StepFit& step = family.steps[s];
        if (step.drive < 1.0) continue;
        forwardDriven = true;
        if (step.gateVolts != 0 && step.gateVolts < 0.9 && step.gateVolts < 0.85 * step.drive) clamped = true;
    }
    if (clamped || !forwardDriven) return negative ? DeviceKind::Pjfet : DeviceKind::Njfet;
    return negative ? DeviceKind::PmosDepletion : DeviceKind::NmosDepletion;
}
