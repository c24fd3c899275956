// Comparing runs: the distance of two families, reference differences, matched pairs and bins.
#include <gtest/gtest.h>

#include "analysis/compare.h"
#include "traced_family.h"

namespace {

const Trace npnTrace{SimDevice::Npn, 'I', 20, 270, 10e-6, 0, 6};

Trace npnWithGain(double hfe) {
    Trace t = npnTrace;
    t.part.forwardBeta = hfe;
    return t;
}

MatchPart part(const std::string& name, const Trace& t, double noiseAmps = 0, unsigned seed = 1) {
    const auto record = traceFamily(t, noiseAmps, seed);
    const RunSettings settings = parseRunSettings(columnsOf(t));
    return {name, runCurves(*record, settings), analyseRun(*record, settings, inferDeviceKind(*record, settings))};
}

// The instrument resolves about a nanoampere; 10 uA of noise per reading (0.1 % of the 10 mA range) is
// far worse, so two runs of one part must stay well inside 0.5 % of full scale even then.
constexpr double noisyAmps = 10e-6;

TEST(CompareRuns, SamePartScoresNearZeroAndOtherPartsStandApart) {
    const MatchPart a = part("a", npnTrace);
    const RunComparison self = compareRuns(a.curves, a.curves);
    ASSERT_TRUE(self.available);
    EXPECT_EQ(self.pairedSteps, 7);
    EXPECT_EQ(self.rms, 0);

    const RunComparison twice = compareRuns(part("b", npnTrace, noisyAmps, 1).curves, part("c", npnTrace, noisyAmps, 2).curves);
    ASSERT_TRUE(twice.available);
    EXPECT_LT(twice.rmsPercent(), 0.5);

    const RunComparison tenPercent = compareRuns(a.curves, part("d", npnWithGain(165)).curves);
    ASSERT_TRUE(tenPercent.available);
    EXPECT_GT(tenPercent.rmsPercent(), 10 * twice.rmsPercent());
    EXPECT_GT(tenPercent.rmsPercent(), 3.0);
    EXPECT_NEAR(percentDifference(part("d", npnWithGain(165)).parameters.hfe, a.parameters.hfe).value, 10.0, 0.2);
}

TEST(CompareRuns, OffsetRemovedScoreTellsAnOffsetFromAShape) {
    const Trace resistor{SimDevice::Resistor, 'V', 10, 270, 0, 0, 0, 1000};
    const auto record = traceFamily(resistor);
    const RunSettings settings = parseRunSettings(columnsOf(resistor));
    RunCurves base = runCurves(*record, settings);
    RunCurves offset = base, shape = base;
    for (double& i : offset.curves[0].i) i += 1e-3;
    for (double& i : shape.curves[0].i) i *= 1.1;
    const RunComparison o = compareRuns(base, offset), s = compareRuns(base, shape);
    EXPECT_NEAR(o.rms, 1e-3, 1e-9);
    EXPECT_NEAR(o.rmsOffsetRemoved, 0, 1e-9);
    EXPECT_GT(s.rmsOffsetRemovedPercent(), 2.0);
}

TEST(CompareRuns, NothingInCommonIsNotAScore) {
    const MatchPart npn = part("npn", npnTrace);
    const MatchPart fet = part("fet", {SimDevice::NmosEnhancement, 'V', 15, 24, 0.5, 2.0, 6});
    EXPECT_FALSE(compareRuns(npn.curves, fet.curves).available); // another drive mode
    Trace otherSteps = npnTrace;
    otherSteps.stepOffset = 3e-6; // no step at the same base current
    EXPECT_FALSE(compareRuns(npn.curves, part("x", otherSteps).curves).available);
    Trace negative = npnTrace;
    negative.device = SimDevice::Pnp;
    negative.peakVolts = -20;
    negative.stepSize = -10e-6;
    EXPECT_FALSE(compareRuns(npn.curves, part("p", negative).curves).available); // no common voltages
    EXPECT_FALSE(compareRuns(RunCurves{}, npn.curves).available);
}

TEST(MatchParts, ClosestGainsPairFirstByParameterAndByCurves) {
    const double gains[] = {120, 131, 142, 150, 165, 158.5, 176, 190}; // 158.5 and 165 are closest: 4 %
    std::vector<MatchPart> tray;
    for (double g : gains) tray.push_back(part(std::to_string(g), npnWithGain(g), noisyAmps, static_cast<unsigned>(g)));
    for (const char* by : {"hfe", "rms"}) {
        SCOPED_TRACE(by);
        std::vector<MatchPair> ranked;
        ASSERT_TRUE(rankPairs(tray, by, ranked));
        ASSERT_EQ(ranked.size(), 28u);
        EXPECT_EQ(std::min(ranked[0].first, ranked[0].second), 4);
        EXPECT_EQ(std::max(ranked[0].first, ranked[0].second), 5);
        EXPECT_LE(ranked[0].score, ranked[1].score);
    }
    std::vector<MatchPair> ranked;
    EXPECT_FALSE(rankPairs(tray, "colour", ranked));
    EXPECT_TRUE(ranked.empty());

    const std::vector<int> bins = binParts(tray, "hfe", {130, 150, 170});
    EXPECT_EQ(bins, (std::vector<int>{0, 1, 1, 2, 2, 2, 3, 3}));
    EXPECT_EQ(binParts(tray, "vth", {1})[0], -1);
}

} // namespace
