#include "devices.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <random>

namespace {

constexpr double thermalVolts = 0.025852;
constexpr double stepGeneratorRailVolts = simStepGeneratorRailVolts;
constexpr double stepGeneratorOhms = simStepGeneratorOhms;

// Bipolar transistor (Ebers-Moll transport model with Early voltage); beta and Early voltage are the part's.
constexpr double bjtSaturationAmps = 1e-14;
constexpr double bjtReverseBeta = 2.0;

// Field-effect channels (square law with channel-length modulation).
constexpr double channelKneeVolts = 0.03; // width of the smooth turn-on around the threshold
constexpr double bodyDiodeAmps = 1e-12;
constexpr double jfetGateAmps = 1e-14;

// Signal diode with reverse breakdown.
constexpr double diodeSaturationAmps = 2.5e-9;
constexpr double diodeIdeality = 1.8;
constexpr double diodeBreakdownVolts = 75.0;

// Thyristor: forward blocking up to a gate-dependent breakover voltage, then latched on.
constexpr double scrGateAmps = 3.3e-9;
constexpr double scrBreakoverVolts = 25.0;
constexpr double scrGateTriggerAmps = 3e-3;
constexpr double scrLatchingAmps = 3e-3;
constexpr double scrHoldingAmps = 1.5e-3;
constexpr double scrLeakageOhms = 50e6;

enum class Kind { Bjt, Mosfet, Jfet, Diode, Scr, Resistor };

struct Model {
    Kind kind;
    double sign;          // -1 for the p-type devices, which are modelled as their n-type mirror
    double thresholdVolts; // channel threshold (pinch-off for a JFET)
    double channelGain;    // amperes per volt squared
    double lambda = 0.02;  // channel-length modulation, 1/V
    double bjtBeta = 150.0;
    double bjtEarlyVolts = 80.0;
    double saturationScale = 1.0;
};

Model nominalModelOf(SimDevice device) {
    switch (device) {
    case SimDevice::Npn: return {Kind::Bjt, 1, 0, 0};
    case SimDevice::Pnp: return {Kind::Bjt, -1, 0, 0};
    case SimDevice::NmosEnhancement: return {Kind::Mosfet, 1, 2.1, 0.02};
    case SimDevice::PmosEnhancement: return {Kind::Mosfet, -1, 2.1, 0.02};
    case SimDevice::NmosDepletion: return {Kind::Mosfet, 1, -2.5, 0.01};
    case SimDevice::PmosDepletion: return {Kind::Mosfet, -1, -2.5, 0.01};
    case SimDevice::Njfet: return {Kind::Jfet, 1, -2.5, 0.012 / 6.25};
    case SimDevice::Pjfet: return {Kind::Jfet, -1, -2.5, 0.012 / 6.25};
    case SimDevice::Diode: return {Kind::Diode, 1, 0, 0};
    case SimDevice::Scr: return {Kind::Scr, 1, 0, 0};
    case SimDevice::Resistor: return {Kind::Resistor, 1, 0, 0};
    }
    return {Kind::Resistor, 1, 0, 0};
}

Model modelOf(SimDevice device, const SimPart& part) {
    Model m = nominalModelOf(device);
    m.thresholdVolts = part.thresholdSet ? part.thresholdVolts : m.thresholdVolts * part.thresholdScale;
    m.channelGain *= part.channelGainScale;
    m.lambda = 1.0 / part.channelEarlyVolts;
    m.bjtBeta = part.forwardBeta;
    m.bjtEarlyVolts = part.earlyVolts;
    m.saturationScale = part.saturationScale;
    return m;
}

// exp() that grows linearly past e^60, so solvers never meet infinities.
double boundedExp(double x) {
    constexpr double limit = 60.0;
    return x > limit ? std::exp(limit) * (1.0 + x - limit) : std::exp(x);
}

// Finds x in [lo, hi] with f(x) = target for an increasing f; the nearer end when out of reach.
template <typename F>
double solveIncreasing(F f, double lo, double hi, double target) {
    if (f(lo) >= target) return lo;
    if (f(hi) <= target) return hi;
    for (int i = 0; i < 200 && hi - lo > 1e-10 * (1.0 + std::fabs(lo)); ++i) {
        const double mid = 0.5 * (lo + hi);
        (f(mid) < target ? lo : hi) = mid;
    }
    return 0.5 * (lo + hi);
}

// Current into the base/gate of the n-type model at a terminal voltage.
double gateAmps(const Model& m, double volts) {
    switch (m.kind) {
    case Kind::Bjt: return m.saturationScale * bjtSaturationAmps / m.bjtBeta * (boundedExp(volts / thermalVolts) - 1.0);
    case Kind::Jfet: return jfetGateAmps * (boundedExp(volts / thermalVolts) - 1.0);
    case Kind::Scr: return scrGateAmps * (boundedExp(volts / thermalVolts) - 1.0);
    default: return 0.0;
    }
}

bool hasGateJunction(Kind kind) { return kind == Kind::Bjt || kind == Kind::Jfet || kind == Kind::Scr; }

// Both base current terms grow with exp(vbe / Vt), so vbe follows from the base current in closed form.
double bjtCollectorAmps(const Model& m, double baseAmps, double vce) {
    const double is = m.saturationScale * bjtSaturationAmps;
    const double a = is / m.bjtBeta;
    const double b = is / bjtReverseBeta;
    const double numerator = baseAmps + a + b;
    if (numerator <= 0) return b; // both junctions cut off: only the collector leakage
    const double x = -vce / thermalVolts;
    const double logDenominator = x > 0 ? x + std::log(b + a * std::exp(-x)) : std::log(a + b * std::exp(x));
    const double logForward = std::log(numerator) - logDenominator;
    const double forward = std::exp(logForward);      // exp(vbe / Vt)
    const double reverse = std::exp(logForward + x);  // exp(vbc / Vt)
    const double early = std::max(0.1, 1.0 + vce / m.bjtEarlyVolts);
    return is * (forward - reverse) * early - b * (reverse - 1.0);
}

double smoothOverdrive(double x) {
    const double w = channelKneeVolts;
    return x > 20 * w ? x : w * std::log1p(std::exp(x / w));
}

double channelAmps(const Model& m, double vgs, double vds) {
    if (vds < 0) return -channelAmps(m, vgs - vds, -vds); // source and drain swap roles
    const double overdrive = smoothOverdrive(vgs - m.thresholdVolts);
    const double clm = 1.0 + m.lambda * vds;
    if (vds < overdrive) return m.channelGain * (2.0 * overdrive * vds - vds * vds) * clm;
    return m.channelGain * overdrive * overdrive * clm;
}

double diodeAmps(const Model& m, double v) {
    const double forward = m.saturationScale * diodeSaturationAmps * (boundedExp(v / (diodeIdeality * thermalVolts)) - 1.0);
    const double breakdown = 1e-6 * boundedExp((-diodeBreakdownVolts - v) / 0.15);
    return forward - breakdown;
}

double scrBreakover(double gateCurrent) {
    return std::max(1.0, scrBreakoverVolts * (1.0 - std::max(0.0, gateCurrent) / scrGateTriggerAmps));
}

double scrBlockingAmps(double v, double breakover) {
    const double knee = v > 0 ? 1e-6 * boundedExp((v - breakover) / 0.1)
                              : -1e-6 * boundedExp((-v - 1.2 * scrBreakoverVolts) / 0.1);
    return v / scrLeakageOhms + knee;
}

double scrConductingAmps(double v) {
    return 1e-10 * (boundedExp(v / (1.6 * thermalVolts)) - 1.0) + v / scrLeakageOhms;
}

// Device current of the n-type model; the thyristor is handled by its caller.
double deviceAmps(const Model& m, const TerminalDrive& drive, double v, double resistorOhms) {
    switch (m.kind) {
    case Kind::Bjt: return bjtCollectorAmps(m, drive.amps, v);
    case Kind::Mosfet: return channelAmps(m, drive.volts, v) - bodyDiodeAmps * (boundedExp(-v / thermalVolts) - 1.0);
    case Kind::Jfet: return channelAmps(m, drive.volts, v);
    case Kind::Diode: return diodeAmps(m, v);
    case Kind::Resistor: return v / std::max(resistorOhms, 1e-3);
    case Kind::Scr: return scrBlockingAmps(v, scrBreakover(drive.amps));
    }
    return 0.0;
}

// Operating point of supply -> series resistor -> (device || measuring path), in the n-type frame.
template <typename F>
CollectorPoint operatingPoint(F amps, const CollectorCircuit& c, double supply) {
    auto loopVolts = [&](double v) { return v + c.seriesOhms * (amps(v) + v / c.measuringPathOhms); };
    const double lo = std::min(0.0, supply) - 2.0;
    const double hi = std::max(0.0, supply) + 2.0;
    CollectorPoint p;
    p.volts = solveIncreasing(loopVolts, lo, hi, supply);
    p.deviceAmps = amps(p.volts);
    p.measuredAmps = p.deviceAmps + p.volts / c.measuringPathOhms;
    return p;
}

CollectorPoint solveThyristor(const TerminalDrive& drive, const CollectorCircuit& c, double supply, bool& latched) {
    auto conducting = [](double v) { return scrConductingAmps(v); };
    if (latched) {
        const CollectorPoint on = operatingPoint(conducting, c, supply);
        if (on.deviceAmps >= scrHoldingAmps) return on;
        latched = false;
    }
    const double breakover = scrBreakover(drive.amps);
    const CollectorPoint off = operatingPoint([&](double v) { return scrBlockingAmps(v, breakover); }, c, supply);
    if (off.deviceAmps < scrLatchingAmps) return off;
    const CollectorPoint on = operatingPoint(conducting, c, supply);
    if (on.deviceAmps < scrHoldingAmps) return off; // the circuit cannot hold it on
    latched = true;
    return on;
}

std::string normalisedName(const std::string& name) {
    std::string n;
    for (char ch : name) n += ch == '_' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return n;
}

} // namespace

const std::vector<SimDeviceName>& simDeviceNames() {
    static const std::vector<SimDeviceName> names = {
        {SimDevice::Npn, "npn", "NPN bipolar transistor (hFE 150, Early voltage 80 V)"},
        {SimDevice::Pnp, "pnp", "PNP bipolar transistor (hFE 150, Early voltage 80 V)"},
        {SimDevice::NmosEnhancement, "nmos-enh", "N-channel enhancement MOSFET (threshold 2.1 V)"},
        {SimDevice::PmosEnhancement, "pmos-enh", "P-channel enhancement MOSFET (threshold -2.1 V)"},
        {SimDevice::NmosDepletion, "nmos-dep", "N-channel depletion MOSFET (threshold -2.5 V)"},
        {SimDevice::PmosDepletion, "pmos-dep", "P-channel depletion MOSFET (threshold +2.5 V)"},
        {SimDevice::Njfet, "njfet", "N-channel JFET (IDSS 12 mA, pinch-off -2.5 V)"},
        {SimDevice::Pjfet, "pjfet", "P-channel JFET (IDSS 12 mA, pinch-off +2.5 V)"},
        {SimDevice::Diode, "diode", "silicon signal diode (breakdown 75 V)"},
        {SimDevice::Scr, "scr", "thyristor (breakover 25 V, gate trigger 3 mA)"},
        {SimDevice::Resistor, "resistor", "plain resistor (value set by --resistance)"},
    };
    return names;
}

bool simDeviceFromName(const std::string& name, SimDevice& device) {
    static const struct {
        const char* code;
        SimDevice device;
    } programCodes[] = {{"nfet", SimDevice::NmosEnhancement}, {"pfet", SimDevice::PmosEnhancement}};
    const std::string n = normalisedName(name);
    for (const SimDeviceName& d : simDeviceNames()) {
        if (n == d.name) {
            device = d.device;
            return true;
        }
    }
    for (const auto& c : programCodes) {
        if (n == c.code) {
            device = c.device;
            return true;
        }
    }
    return false;
}

const char* simDeviceName(SimDevice device) {
    for (const SimDeviceName& d : simDeviceNames()) {
        if (d.device == device) return d.name;
    }
    return "?";
}

TerminalDrive solveStepGenerator(SimDevice device, bool currentMode, double level, const SimPart& part) {
    const Model m = modelOf(device, part);
    const double rail = stepGeneratorRailVolts;
    const double wanted = m.sign * level; // in the n-type frame
    TerminalDrive d;
    if (!hasGateJunction(m.kind)) {
        // Nothing draws current: a voltage appears as set, a current source runs into its rail.
        d.volts = currentMode ? (wanted > 0 ? rail : (wanted < 0 ? -rail : 0.0)) : std::clamp(wanted, -rail, rail);
    } else if (currentMode) {
        d.volts = solveIncreasing([&](double v) { return gateAmps(m, v); }, -rail, rail, wanted);
        d.amps = gateAmps(m, d.volts);
    } else {
        const double source = std::clamp(wanted, -rail, rail);
        d.volts = solveIncreasing([&](double v) { return v + stepGeneratorOhms * gateAmps(m, v); }, -rail, rail,
                                  source);
        d.amps = gateAmps(m, d.volts);
    }
    d.volts *= m.sign;
    d.amps *= m.sign;
    return d;
}

CollectorPoint solveCollector(SimDevice device, const TerminalDrive& drive, const CollectorCircuit& circuit,
                              bool& latched, const SimPart& part) {
    const Model m = modelOf(device, part);
    const TerminalDrive mirrored{m.sign * drive.volts, m.sign * drive.amps};
    const double supply = m.sign * circuit.supplyVolts;
    CollectorPoint p;
    if (m.kind == Kind::Scr) {
        p = solveThyristor(mirrored, circuit, supply, latched);
    } else {
        p = operatingPoint([&](double v) { return deviceAmps(m, mirrored, v, circuit.resistorOhms); }, circuit, supply);
    }
    p.volts *= m.sign;
    p.deviceAmps *= m.sign;
    p.measuredAmps *= m.sign;
    return p;
}

namespace {

// A uniform share in [-1, 1) from the generator, the same on every platform (no library distribution).
double signedShare(std::mt19937_64& generator) {
    return static_cast<double>(generator() >> 11) * 0x1.0p-52 - 1.0;
}

} // namespace

SimPart spreadSimPart(const SimPart& nominal, double percent, std::uint64_t seed) {
    std::mt19937_64 generator(seed);
    const double p = percent / 100.0;
    SimPart part = nominal;
    const double gain = 1.0 + p * signedShare(generator);
    part.forwardBeta *= gain;
    part.channelGainScale *= gain;
    const double threshold = 1.0 + p * signedShare(generator);
    part.thresholdScale *= threshold;
    part.thresholdVolts *= threshold;
    const double early = 1.0 + p * signedShare(generator);
    part.earlyVolts *= early;
    part.channelEarlyVolts *= early;
    part.saturationScale *= 1.0 + p * signedShare(generator);
    return part;
}
