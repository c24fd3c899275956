// The model cards the program writes, run by a real circuit simulator (ngspice in batch mode) with the
// drive steps and collector sweep of the measured run: its curves must lie on the measured ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "base/unit_format.h"
#include "measured_runs.h"
#include "test_support.h"

namespace {

// One simulated curve: collector current against collector voltage.
struct Curve {
    std::vector<double> volts, amps;
};

// The part in the netlist: its instance line and the sources it needs; "DRIVE" names the step source.
struct Circuit {
    const char* part;
    const char* elements;
    const char* drive; // the step source of the outer sweep, empty for a two-terminal part
};

const Circuit circuits[] = {
    {"npn", "IB 0 b DC 0\nQ1 c b 0 DUT\n", "IB"},
    {"nmos-enh", "VG g 0 DC 0\nM1 c g 0 0 DUT\n", "VG"},
    {"diode", "D1 c 0 DUT\n", ""},
};

bool ngspiceInstalled() { return std::system("command -v ngspice >/dev/null 2>&1") == 0; }

// Collector swept from 0 to the run's peak, nested in the run's drive steps; the collector current
// is the negated current of the sweep source.
std::string netlist(const Circuit& circuit, const std::string& card, const RunSettings& settings, double sweepTop) {
    std::ostringstream text;
    text << "model card check\nVC c 0 DC 0\n" << circuit.elements << card << "\n.control\ndc VC 0 "
         << formatTrimmed(sweepTop) << " " << formatTrimmed(sweepTop / 1000);
    if (*circuit.drive) {
        const double last = stepDriveLevel(settings, settings.stepCount);
        // Half a step past the last level, so that rounding neither drops nor adds a step.
        text << " " << circuit.drive << " " << stepDriveLevel(settings, 0) << " " << last + settings.stepSize / 2
             << " " << settings.stepSize;
    }
    text << "\nwrdata curves.txt -i(VC)\n.endc\n.end\n";
    return text.str();
}

// wrdata's "x y" rows, one block per step: a block ends where the sweep starts again.
std::vector<Curve> readCurves(const std::string& text) {
    std::vector<Curve> curves;
    std::istringstream rows(text);
    double x = 0, y = 0;
    while (rows >> x >> y) {
        if (curves.empty() || (!curves.back().volts.empty() && x < curves.back().volts.back())) curves.emplace_back();
        curves.back().volts.push_back(x);
        curves.back().amps.push_back(y);
    }
    return curves;
}

double interpolate(const Curve& curve, double volts) {
    const auto above = std::upper_bound(curve.volts.begin(), curve.volts.end(), volts);
    if (above == curve.volts.begin()) return curve.amps.front();
    if (above == curve.volts.end()) return curve.amps.back();
    const std::size_t i = static_cast<std::size_t>(above - curve.volts.begin());
    const double t = (volts - curve.volts[i - 1]) / (curve.volts[i] - curve.volts[i - 1]);
    return curve.amps[i - 1] + t * (curve.amps[i] - curve.amps[i - 1]);
}

void PrintTo(const Circuit& c, std::ostream* os) { *os << c.part; }

class ModelCardInSpice : public ::testing::TestWithParam<Circuit> {};

TEST_P(ModelCardInSpice, CurvesLieOnTheMeasuredRun) {
    if (!ngspiceInstalled()) GTEST_SKIP() << "ngspice is not installed";
    const Circuit& circuit = GetParam();
    const MeasuredRun& measured = measuredRun(circuit.part);
    ASSERT_TRUE(measured.failure.empty()) << measured.failure;
    const LoadedRun run = loadRunText(measured.csv);
    const RunParameters parameters = analyseRun(*run.record, run.settings, partSetup(circuit.part).kind);
    const std::string card = modelCardLine(parameters, "DUT");
    ASSERT_FALSE(card.empty());

    const RunRecord& r = *run.record;
    double sweepTop = 0, fullScale = 0;
    for (int s = 0; s <= run.settings.stepCount; ++s)
        for (std::int64_t e = 1; e <= r.entryCount[s]; ++e) {
            sweepTop = std::max(sweepTop, r.VC[s][e]);
            fullScale = std::max(fullScale, std::fabs(r.IC[s][e]));
        }
    ASSERT_GT(fullScale, 0);

    testsupport::ScratchDirectory scratch;
    testsupport::writeFile("check.cir", netlist(circuit, card, run.settings, sweepTop));
    // Batch mode with only a control block ends with status 1 ("no simulations run"): the curves tell.
    (void)std::system("ngspice -b check.cir >ngspice.log 2>&1");
    const std::vector<Curve> curves = readCurves(testsupport::readFile("curves.txt"));
    // A two-terminal part has one curve, whatever the step generator did.
    const bool stepped = *circuit.drive != 0;
    ASSERT_EQ(curves.size(), stepped ? static_cast<std::size_t>(run.settings.stepCount + 1) : 1u)
        << card << "\n" << testsupport::readFile("ngspice.log");

    double squares = 0;
    std::size_t samples = 0;
    for (int s = 0; s <= run.settings.stepCount; ++s)
        for (std::int64_t e = 1; e <= r.entryCount[s]; ++e) {
            if (r.VR[s][e] == 0) continue; // waiting for the ramp: nothing to compare
            const double difference = interpolate(curves[stepped ? static_cast<std::size_t>(s) : 0], r.VC[s][e]) - r.IC[s][e];
            squares += difference * difference;
            ++samples;
        }
    const double rmsPercent = 100 * std::sqrt(squares / static_cast<double>(samples)) / fullScale;
    std::printf("[ spice    ] %-9s RMS %.3f %% of %s A full scale over %zu samples; %s\n", circuit.part, rmsPercent,
                formatTrimmed(fullScale).c_str(), samples, card.c_str());
    EXPECT_LT(rmsPercent, 5.0) << card;
}

INSTANTIATE_TEST_SUITE_P(MeasuredParts, ModelCardInSpice, ::testing::ValuesIn(circuits),
                         [](const ::testing::TestParamInfo<Circuit>& info) {
                             std::string name = info.param.part;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
