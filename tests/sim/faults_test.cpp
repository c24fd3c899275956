// Faults on demand: what the host sees when the instrument misbehaves.
#include <gtest/gtest.h>

#include "instrument.h"
#include "sim_host.h"

namespace {

struct Faults : ::testing::Test {
    SimInstrument sim;
    void SetUp() override { resetSimInstrumentDefaults(sim); }
    std::vector<uint8_t> poll() { return simExchange(sim, readRequest()); }
};

TEST_F(Faults, ByteFaultsSpoilOneReportOnly) {
    poll();
    simInjectFault(sim, SimFault::DropByte);
    const std::vector<uint8_t> dropped = poll();
    EXPECT_EQ(dropped.size(), 31u);
    EXPECT_EQ(poll().size(), 32u);

    simInjectFault(sim, SimFault::InsertByte);
    const std::vector<uint8_t> inserted = poll();
    ASSERT_EQ(inserted.size(), 33u);
    EXPECT_TRUE(decodeHostReport(inserted.data() + 1).checksumGood);

    simInjectFault(sim, SimFault::BadChecksum);
    const std::vector<uint8_t> corrupt = poll();
    ASSERT_EQ(corrupt.size(), 32u);
    EXPECT_FALSE(decodeHostReport(corrupt.data()).checksumGood);
    const std::vector<uint8_t> after = poll();
    ASSERT_EQ(after.size(), 32u);
    EXPECT_TRUE(decodeHostReport(after.data()).checksumGood);
    EXPECT_EQ(sim.reportsSent, 6u);
}

TEST_F(Faults, ScheduledFaultsHitTheNumberedReport) {
    simScheduleFault(sim, SimFault::BadChecksum, 3);
    simScheduleFault(sim, SimFault::Silent, 5);
    std::vector<bool> good;
    for (int i = 0; i < 4; ++i) good.push_back(decodeHostReport(poll().data()).checksumGood);
    EXPECT_EQ(good, (std::vector<bool>{true, true, false, true}));
    EXPECT_TRUE(poll().empty());
}

TEST_F(Faults, SilentInstrumentStillObeysCommands) {
    simInjectFault(sim, SimFault::Silent);
    EXPECT_TRUE(poll().empty());
    simReceive(sim, writeFrame(regControl, controlHvSupplyOn | controlHvStartRequest).data(), 8);
    simAdvance(sim, 200'000);
    EXPECT_EQ(sim.hvState, 3);
    EXPECT_TRUE(simTakeOutput(sim).empty());
}

TEST_F(Faults, VanishedInstrumentIgnoresEverything) {
    RampSetup s;
    simReceive(sim, rampTransfer(s).data(), 256);
    simAdvance(sim, 30'000);
    simInjectFault(sim, SimFault::Vanish);
    EXPECT_TRUE(simTakeOutput(sim).empty()); // reports not yet taken are lost with it
    simAdvance(sim, 1'000'000);
    simReceive(sim, writeFrame(20, 99).data(), 8);
    EXPECT_TRUE(poll().empty());
    EXPECT_NE(sim.registers[20], 99u);
}

TEST_F(Faults, HaltWaitsForARampAndEndsItWithTheManualStop) {
    startWithHighVoltage(sim, SimDevice::Resistor);
    simScheduleFault(sim, SimFault::Halt, sim.reportsSent + 2);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(decodeHostReport(poll().data()).stopCode(), 0);
    sim.keepWriteFrames = true;
    RampSetup s;
    simReceive(sim, rampTransfer(s).data(), 256);
    const std::vector<HostReport> reports = runUntilStopped(sim);
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().stopCode(), 1);
    EXPECT_LT(reports.size(), 10u) << "halted at the ramp's first report, far below its limits";
    // The write log holds the transfer's 32 frames as sent, and none of the polls.
    ASSERT_EQ(sim.writeFrames.size(), 32u);
    EXPECT_EQ(sim.writeFrames[0].registerNumber, 31);
}

} // namespace
