// A tray of parts: every seed a reproducible part within the spread, exact values where given.
#include <gtest/gtest.h>

#include <cmath>

#include "devices.h"

namespace {

bool samePart(const SimPart& a, const SimPart& b) {
    return a.forwardBeta == b.forwardBeta && a.earlyVolts == b.earlyVolts && a.saturationScale == b.saturationScale &&
           a.thresholdScale == b.thresholdScale && a.channelGainScale == b.channelGainScale &&
           a.channelEarlyVolts == b.channelEarlyVolts;
}

TEST(PartSpread, SeedsGiveReproducibleDistinctPartsWithinTheSpread) {
    const SimPart nominal;
    EXPECT_TRUE(samePart(spreadSimPart(nominal, 0, 7), nominal));
    EXPECT_TRUE(samePart(spreadSimPart(nominal, 10, 3), spreadSimPart(nominal, 10, 3)));
    double lowest = 1e9, highest = 0;
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
        const SimPart p = spreadSimPart(nominal, 10, seed);
        EXPECT_FALSE(samePart(p, spreadSimPart(nominal, 10, seed + 1))) << seed;
        for (double share : {p.forwardBeta / 150, p.earlyVolts / 80, p.saturationScale, p.thresholdScale,
                             p.channelGainScale, p.channelEarlyVolts / 50}) {
            EXPECT_GE(share, 0.9);
            EXPECT_LT(share, 1.1);
        }
        EXPECT_DOUBLE_EQ(p.forwardBeta / 150, p.channelGainScale); // one gain figure for either kind of part
        lowest = std::min(lowest, p.forwardBeta);
        highest = std::max(highest, p.forwardBeta);
    }
    EXPECT_LT(lowest, 140); // the tray really spreads
    EXPECT_GT(highest, 160);
}

TEST(PartSpread, PartValuesReachTheCurves) {
    SimPart part;
    part.forwardBeta = 165;
    part.earlyVolts = 40;
    CollectorCircuit circuit;
    circuit.supplyVolts = 10;
    circuit.seriesOhms = 100;
    bool latched = false;
    const TerminalDrive base = solveStepGenerator(SimDevice::Npn, true, 10e-6, part);
    const CollectorPoint p = solveCollector(SimDevice::Npn, base, circuit, latched, part);
    EXPECT_NEAR(p.deviceAmps, 165 * 10e-6 * (1 + p.volts / 40), 2e-6);

    SimPart fet;
    fet.thresholdSet = true;
    fet.thresholdVolts = 1.5;
    const TerminalDrive gate = solveStepGenerator(SimDevice::NmosEnhancement, false, 2.5, fet);
    const CollectorPoint d = solveCollector(SimDevice::NmosEnhancement, gate, circuit, latched, fet);
    EXPECT_NEAR(d.deviceAmps, 0.02 * 1.0 * (1 + 0.02 * d.volts), 1e-4); // K (Vgs - 1.5)^2 (1 + lambda Vds)
}

} // namespace
