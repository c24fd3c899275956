// The parts of the virtual instrument have known parameters: measured by the whole program and read
// back from the saved run, the analysis must recover them.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>

#include "measured_runs.h"

namespace {

// The simulated parts (sim/devices.cpp).
constexpr double thermalVolts = 0.025852;
constexpr double npnBeta = 150, earlyVolts = 80;
constexpr double lambdaPerVolt = 0.02;
constexpr double enhancementK = 0.02, depletionK = 0.01; // Id = K (Vgs - Vth)^2 (1 + lambda Vds)
constexpr double jfetBeta = 0.012 / 6.25;
constexpr double diodeIs = 2.5e-9, diodeN = 1.8;
constexpr double enhancementGate0 = 2.0, enhancementGateStep = 0.2;

// Where a number comes from: the whole run, an operating point, or the model card.
enum class Source { Run, Point, Card };

struct Expectation {
    const char* part;
    const char* parameter;
    Source source;
    ParameterValue RunParameters::*run = nullptr;
    ParameterValue PointParameters::*point = nullptr;
    OperatingPoint at{};
    const char* cardKey = "";
    double expected;
    double tolerance; // relative
    const char* why;
};

// Ic/Ib and ro of the simulated bipolar part at a collector voltage (magnitudes).
double npnGain(double vce) { return npnBeta * (1 + vce / earlyVolts); }
double mosfetGm(double k, double overdrive, double vds) { return 2 * k * overdrive * (1 + lambdaPerVolt * vds); }

const char* const gainWhy = "base DAC 14.5 nA/count on the 20 uA range (<0.3% of 5 uA steps), Ic ADC 6 nA/count";
const char* const earlyWhy = "slopes of ~30 uA/V over 250 samples of 80 mV; Ic ADC 6 nA/count: <0.5%";
const char* const gateWhy = "gate DAC 3.9 mV/count (<0.2% of 2 V), Id ADC 57 nA/count on 270 ohm";
const char* const gainFactorWhy = "square law over 7 steps; gate DAC 3.9 mV/count moves K by <1%";
const char* const lambdaWhy = "Id rises ~20% over 10 V of saturation; Id ADC 57 nA/count: <1%, 5% for the fit";
const char* const jfetWhy = "gate DAC 3.9 mV/count (0.2% of 2.5 V), Id ADC 57 nA/count of 12 mA";
const char* const idealityWhy = "3 decades at 9 samples per decade on 27 kohm, Ic ADC 0.6 nA/count";
const char* const isWhy = "IS moves by ~11% per 1% of N at 0.5 V: follows N's 5%, bounded at 20%";
const char* const resistorWhy = "Vc ADC 15 uV/count, Ic ADC 57 nA (1k) or 0.6 nA (100k) per count; path compensated";

OperatingPoint onStep(int step, double volts) { return OperatingPoint{step, volts, false, 0}; }

const Expectation expectations[] = {
    // Bipolar: hFE and beta rise with Vce as 150 (1 + Vce / 80); the card's BF is the Vce = 0 value.
    {"npn", "hFE at 2 V, step 3", Source::Point, nullptr, &PointParameters::hfe, onStep(3, 2.0), "", npnGain(2), 0.02, gainWhy},
    {"npn", "beta at 5 V, step 3", Source::Point, nullptr, &PointParameters::beta, onStep(3, 5.0), "", npnGain(5), 0.02, gainWhy},
    {"npn", "Early voltage at 10 V, step 3", Source::Point, nullptr, &PointParameters::earlyVoltage, onStep(3, 10.0), "", earlyVolts, 0.02, earlyWhy},
    {"npn", "Early voltage", Source::Run, &RunParameters::earlyVoltage, nullptr, {}, "", earlyVolts, 0.02, earlyWhy},
    {"npn", "BF", Source::Card, nullptr, nullptr, {}, "BF", npnBeta, 0.02, gainWhy},
    {"npn", "VAF", Source::Card, nullptr, nullptr, {}, "VAF", earlyVolts, 0.02, earlyWhy},
    {"pnp", "hFE at -2 V, step 3", Source::Point, nullptr, &PointParameters::hfe, onStep(3, -2.0), "", npnGain(2), 0.02, gainWhy},
    {"pnp", "Early voltage", Source::Run, &RunParameters::earlyVoltage, nullptr, {}, "", earlyVolts, 0.02, earlyWhy},
    {"pnp", "BF", Source::Card, nullptr, nullptr, {}, "BF", npnBeta, 0.02, gainWhy},
    {"pnp", "VAF", Source::Card, nullptr, nullptr, {}, "VAF", earlyVolts, 0.02, earlyWhy},
    // MOSFETs: KP = 2K; gm between the neighbouring steps of a square law is the exact slope.
    {"nmos-enh", "Vth", Source::Run, &RunParameters::threshold, nullptr, {}, "", 2.1, 0.02, gateWhy},
    {"nmos-enh", "KP", Source::Run, &RunParameters::gainFactor, nullptr, {}, "", 2 * enhancementK, 0.02, gainFactorWhy},
    {"nmos-enh", "lambda", Source::Run, &RunParameters::lambda, nullptr, {}, "", lambdaPerVolt, 0.05, lambdaWhy},
    {"nmos-enh", "gm at 8 V, step 4", Source::Point, nullptr, &PointParameters::gm, onStep(4, 8.0), "",
     mosfetGm(enhancementK, enhancementGate0 + 4 * enhancementGateStep - 2.1, 8.0), 0.02, gateWhy},
    {"nmos-enh", "VTO", Source::Card, nullptr, nullptr, {}, "VTO", 2.1, 0.02, gateWhy},
    {"nmos-enh", "KP", Source::Card, nullptr, nullptr, {}, "KP", 2 * enhancementK, 0.02, gainFactorWhy},
    {"pmos-enh", "Vth", Source::Run, &RunParameters::threshold, nullptr, {}, "", -2.1, 0.02, gateWhy},
    {"pmos-enh", "KP", Source::Run, &RunParameters::gainFactor, nullptr, {}, "", 2 * enhancementK, 0.02, gainFactorWhy},
    {"pmos-enh", "gm at -8 V, step 4", Source::Point, nullptr, &PointParameters::gm, onStep(4, -8.0), "",
     mosfetGm(enhancementK, enhancementGate0 + 4 * enhancementGateStep - 2.1, 8.0), 0.02, gateWhy},
    {"pmos-enh", "VTO", Source::Card, nullptr, nullptr, {}, "VTO", -2.1, 0.02, gateWhy},
    {"nmos-dep", "Vth", Source::Run, &RunParameters::threshold, nullptr, {}, "", -2.5, 0.02, gateWhy},
    {"nmos-dep", "KP", Source::Run, &RunParameters::gainFactor, nullptr, {}, "", 2 * depletionK, 0.02, gainFactorWhy},
    {"nmos-dep", "IDSS", Source::Run, &RunParameters::idss, nullptr, {}, "", depletionK * 2.5 * 2.5, 0.02, gainFactorWhy},
    // JFETs: IDSS = BETA VTO^2 = 12 mA; the P-channel part's gate and drain mirror the N-channel's.
    {"njfet", "pinch-off", Source::Run, &RunParameters::threshold, nullptr, {}, "", -2.5, 0.02, jfetWhy},
    {"njfet", "IDSS", Source::Run, &RunParameters::idss, nullptr, {}, "", 0.012, 0.02, jfetWhy},
    {"njfet", "BETA", Source::Run, &RunParameters::gainFactor, nullptr, {}, "", jfetBeta, 0.02, jfetWhy},
    {"pjfet", "pinch-off", Source::Run, &RunParameters::threshold, nullptr, {}, "", 2.5, 0.02, jfetWhy},
    {"pjfet", "IDSS", Source::Run, &RunParameters::idss, nullptr, {}, "", -0.012, 0.02, jfetWhy},
    {"pjfet", "BETA", Source::Run, &RunParameters::gainFactor, nullptr, {}, "", jfetBeta, 0.02, jfetWhy},
    {"diode", "N", Source::Run, &RunParameters::ideality, nullptr, {}, "", diodeN, 0.05, idealityWhy},
    {"diode", "IS", Source::Run, &RunParameters::saturationCurrent, nullptr, {}, "", diodeIs, 0.2, isWhy},
    {"diode", "N", Source::Card, nullptr, nullptr, {}, "N", diodeN, 0.05, idealityWhy},
    {"diode", "IS", Source::Card, nullptr, nullptr, {}, "IS", diodeIs, 0.2, isWhy},
    {"1k", "R", Source::Run, &RunParameters::resistance, nullptr, {}, "", 1000, 0.01, resistorWhy},
    {"100k", "R", Source::Run, &RunParameters::resistance, nullptr, {}, "", 100000, 0.01, resistorWhy},
};

// The value of KEY= in a ".model" line, letter case ignored; false when the card has no such key.
bool cardValue(const std::string& card, const std::string& key, double& value) {
    std::string upper;
    for (char c : card) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::string wanted = key;
    for (char& c : wanted) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (std::size_t at = upper.find(wanted + "="); at != std::string::npos; at = upper.find(wanted + "=", at + 1)) {
        const char before = at == 0 ? ' ' : upper[at - 1];
        if (std::isalnum(static_cast<unsigned char>(before))) continue;
        value = std::strtod(upper.c_str() + at + wanted.size() + 1, nullptr);
        return true;
    }
    return false;
}

void PrintTo(const Expectation& e, std::ostream* os) { *os << e.part << " " << e.parameter; }

class GroundTruth : public ::testing::TestWithParam<Expectation> {};

TEST_P(GroundTruth, RecoveredWithinTolerance) {
    const Expectation& e = GetParam();
    const MeasuredRun& measured = measuredRun(e.part);
    ASSERT_TRUE(measured.failure.empty()) << measured.failure;
    const LoadedRun run = loadRunText(measured.csv);
    const DeviceKind kind = partSetup(e.part).kind;
    const RunParameters parameters = analyseRun(*run.record, run.settings, kind);
    ParameterValue found;
    std::string card;
    switch (e.source) {
    case Source::Run: found = parameters.*e.run; break;
    case Source::Point: found = parametersAtPoint(*run.record, run.settings, kind, e.at).*e.point; break;
    case Source::Card:
        card = modelCardLine(parameters, "DUT");
        found.available = cardValue(card, e.cardKey, found.value);
        break;
    }
    std::printf("[ truth    ] %-9s %-30s expected %-12.5g measured %-12.6g off %+.3f%% (tolerance %g%%)\n", e.part,
                e.parameter, e.expected, found.value, 100 * (found.value - e.expected) / e.expected, e.tolerance * 100);
    ASSERT_TRUE(found.available) << e.parameter << " not available " << card;
    EXPECT_TRUE(std::isfinite(found.value));
    EXPECT_NEAR(found.value, e.expected, std::fabs(e.expected) * e.tolerance)
        << e.parameter << ": " << e.why << " " << card;
}

std::string expectationName(const ::testing::TestParamInfo<Expectation>& info) {
    std::string name = std::string(info.param.part) + "_" + info.param.parameter +
                       (info.param.source == Source::Card ? "_card" : "");
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(VirtualParts, GroundTruth, ::testing::ValuesIn(expectations), expectationName);

// The diode's forward voltage at whatever current the analysis reads it, against the part's law.
TEST(GroundTruthDiode, ForwardVoltageFollowsTheDiodeLaw) {
    const MeasuredRun& measured = measuredRun("diode");
    ASSERT_TRUE(measured.failure.empty()) << measured.failure;
    const LoadedRun run = loadRunText(measured.csv);
    const RunParameters parameters = analyseRun(*run.record, run.settings, DeviceKind::Diode);
    ASSERT_TRUE(parameters.forwardVoltage.available);
    ASSERT_GT(parameters.forwardVoltageCurrent, 0);
    const double law = diodeN * thermalVolts * std::log(parameters.forwardVoltageCurrent / diodeIs + 1);
    // Vc ADC 15 uV/count; 2 mV is the size of a 2% error in the current it is read at.
    EXPECT_NEAR(parameters.forwardVoltage.value, law, 0.002) << parameters.forwardVoltageCurrent << " A";
}

// Every run made it to the end and recorded every step with a usable number of samples.
TEST(MeasuredRuns, EveryPartRunsToCompletion) {
    for (const PartSetup& part : partSetups()) {
        const MeasuredRun& measured = measuredRun(part.name);
        ASSERT_TRUE(measured.failure.empty()) << part.name << ": " << measured.failure;
        std::printf("[ run      ] %-9s %5.1f s, stop %s: %s\n", part.name.c_str(), measured.seconds,
                    measured.stopReason.c_str(), measured.settingsText.c_str());
        const LoadedRun run = loadRunText(measured.csv);
        ASSERT_TRUE(run.settings.valid) << part.name;
        const RunRecord& r = *run.record;
        for (int step = 0; step <= run.settings.stepCount; ++step) {
            EXPECT_GT(r.entryCount[step], 50) << part.name << " step " << step;
            // The supply ramps by one fixed step per report: a lost report shows as a double step.
            const double rampStep = std::fabs(run.settings.peakVoltage) / 250;
            for (std::int64_t e = 2; e <= r.entryCount[step]; ++e) {
                const bool ramping = r.VR[step][e - 1] != 0 && r.VR[step][e] != 0;
                ASSERT_TRUE(!ramping || std::fabs(r.VR[step][e] - r.VR[step][e - 1]) < 1.5 * rampStep)
                    << part.name << " step " << step << " entry " << e;
            }
        }
    }
}

TEST(MeasuredRuns, TheKindOfEveryPartIsInferred) {
    for (const PartSetup& part : partSetups()) {
        const MeasuredRun& measured = measuredRun(part.name);
        ASSERT_TRUE(measured.failure.empty()) << part.name << ": " << measured.failure;
        const LoadedRun run = loadRunText(measured.csv);
        EXPECT_STREQ(deviceKindName(inferDeviceKind(*run.record, run.settings)), deviceKindName(part.kind))
            << part.name;
    }
}

} // namespace
