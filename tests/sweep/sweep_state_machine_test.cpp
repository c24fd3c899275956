#include <gtest/gtest.h>

#include <vector>

#include "link/comms_thread.h"
#include "link/instrument_link.h"
#include "link/protocol.h"
#include "link/register_transfer.h"
#include "sweep/instrument_values.h"
#include "sweep/run_control.h"
#include "sweep/run_record.h"
#include "sweep/sweep_parameters.h"
#include "sweep/sweep_state_machine.h"
#include "app/loop_tick.h"
#include "calibration/calibration_coefficients.h"
#include "test_support.h"
#include "platform/platform.h"

namespace {

// Runs the loop tick without an instrument: reports are put into the ring as the comms thread
// would, and every register transfer is captured instead of written.
class SweepTest : public ::testing::Test {
protected:
    testsupport::ScratchDirectory scratch;
    std::vector<std::vector<std::uint8_t>> transfers;

    void SetUp() override {
        platform::initPlatform();
        resetInstrumentLinkDefaults();
        resetCommsDefaults();
        resetSweepStateMachineDefaults();
        resetSweepParametersDefaults();
        resetInstrumentValuesDefaults();
        resetRegisterTransferDefaults();
        frameSender = [this](const std::uint8_t* bytes, std::size_t length) {
            transfers.emplace_back(bytes, bytes + length);
        };
        // No comms thread acknowledges; a standing acknowledgement keeps takeReport from waiting.
        reportRing.ringWriterAck.store(1);
        // The link is up: a run whose link is gone ends at once.
        instrumentLink.linkConnected.store(1);
    }
    void TearDown() override { resetInstrumentLinkDefaults(); }

    static void report(int stopCode, int phase = 2, std::int64_t rawVc = 0) {
        Report r;
        r.statusWord = (stopCode << 4) | phase | 0x0C;
        r.rawVc = rawVc;
        storeReportInRing(r);
    }
    static void tickWith(int stopCode, int phase = 2, std::int64_t rawVc = 0) {
        report(stopCode, phase, rawVc);
        loopTick();
    }
    // Register 1 as carried by the last frame of the last transfer.
    std::uint32_t lastControlWordSent() const {
        const auto& t = transfers.back();
        ParsedFrame p = parseFrame(t.data() + t.size() - 8 * (t.size() == 256 ? 2 : 1));
        EXPECT_EQ(p.reg, regControl);
        return p.value;
    }
};

} // namespace

TEST_F(SweepTest, WalksTheStatesWithoutAnInstrumentAndWaitsInRampState) {
    runRecord.entryCount[3] = 77;
    sweepControl.currentStep = 9;
    sweepControl.runRequest = 1;
    std::vector<SweepState> states;
    for (int i = 0; i < 6; ++i) {
        loopTick();
        states.push_back(sweepControl.sweepState);
    }
    using S = SweepState;
    EXPECT_EQ(states, (std::vector<SweepState>{S::ResettingStopFlags, S::CheckingFlagsReset, S::StartingStep,
                                               S::Sweeping, S::Sweeping, S::Sweeping}));
    EXPECT_EQ(sweepControl.runRequest, 0);
    EXPECT_EQ(runRecord.entryCount[3], 0);
    EXPECT_EQ(sweepControl.currentStep, 0);
    // State 3 sent the whole image with the run command, then the command went back to idle.
    ASSERT_EQ(transfers.size(), 1u);
    EXPECT_EQ(transfers[0].size(), 256u);
    EXPECT_EQ(lastControlWordSent() & 3u, controlRun);
    EXPECT_EQ(instrumentValues.runCommand, "Idle");
}

TEST_F(SweepTest, PendingStopCodeIsClearedAndWaitedFor) {
    sweepControl.runRequest = 1;
    tickWith(4, 0); // 0 -> 1 with a stop code standing
    tickWith(4, 0); // 1: clear-stop write of the control register alone
    ASSERT_EQ(transfers.size(), 1u);
    ASSERT_EQ(transfers[0].size(), 8u);
    EXPECT_NE(parseFrame(transfers[0].data()).value & controlClearStopCode, 0u);
    EXPECT_EQ(registerImage[regControl] & controlClearStopCode, 0);
    for (int i = 0; i < 3; ++i) tickWith(4, 0);
    EXPECT_EQ(sweepControl.sweepState, SweepState::CheckingFlagsReset);
    EXPECT_EQ(sweepControl.statusText, "Checking flags reset");
    tickWith(0, 0);
    EXPECT_EQ(sweepControl.sweepState, SweepState::StartingStep);
}

TEST_F(SweepTest, StopCodesEndTheStepOrTheRun) {
    struct Case {
        int code;
        const char* reason;
        SweepState nextState;
        std::int64_t entries; // after 120 reports, the last one carrying the code
    } cases[] = {
        {1, "MANUAL REQUEST", SweepState::RunCompleted, 120},
        {2, "TIMEOUT", SweepState::RampDone, 120},
        {3, "-Vc LIMIT", SweepState::RampDone, 119},
        {4, "+Vc LIMIT", SweepState::RampDone, 119},
        {5, "-Ic LIMIT", SweepState::RampDone, 119},
        {6, "+Ic LIMIT", SweepState::RampDone, 119},
        {7, "-Ic EXCEPTION", SweepState::RampDone, 120},
        {8, "+Ic EXCEPTION", SweepState::RampDone, 120},
        {9, "earlier", SweepState::Sweeping, 120},
        {13, "earlier", SweepState::Sweeping, 120},
        {14, "USB VOLTAGE (min) EXCEEDED", SweepState::RampDone, 120},
        {15, "USB VOLTAGE (max) EXCEEDED", SweepState::RampDone, 120},
    };
    for (const Case& c : cases) {
        sweepControl.sweepState = SweepState::Sweeping;
        sweepControl.currentStep = 2;
        sweepControl.currentEntry = 0;
        sweepControl.lastStopReason = "earlier";
        for (int i = 1; i < 120; ++i) tickWith(0, 2, i);
        EXPECT_EQ(sweepControl.statusText, "Ramping, Step 2/119") << c.code;
        tickWith(c.code, 3, 120);
        EXPECT_EQ(runRecord.entryCount[2], c.entries) << c.code;
        EXPECT_EQ(sweepControl.lastStopReason, c.reason) << c.code;
        EXPECT_EQ(sweepControl.sweepState, c.nextState) << c.code;
        EXPECT_DOUBLE_EQ(runRecord.VC[2][119], 119.0) << c.code;
    }
}

TEST_F(SweepTest, StepBeyondRecordCapacityStopsStoringButRunsToItsStopCode) {
    sweepControl.sweepState = SweepState::Sweeping;
    sweepControl.currentStep = 24;
    runRecord.VC[24][0] = 0;
    for (int i = 1; i <= runRecordEntries + 5; ++i) tickWith(0, 2, i);
    EXPECT_EQ(sweepControl.sweepState, SweepState::Sweeping);
    EXPECT_EQ(runRecord.entryCount[24], runRecordEntries);
    EXPECT_EQ(sweepControl.currentEntry, runRecordEntries);
    EXPECT_DOUBLE_EQ(runRecord.VC[24][runRecordEntries], runRecordEntries);
    // The limit sample was never stored, so no stored sample is dropped for it.
    tickWith(6, 3, 1);
    EXPECT_EQ(sweepControl.sweepState, SweepState::RampDone);
    EXPECT_EQ(runRecord.entryCount[24], runRecordEntries);
}

TEST_F(SweepTest, RunOfSevenStepsCompletes) {
    instrumentValues.lastStepIndex = 6;
    sweepControl.runRequest = 1;
    for (int step = 0; step <= 6; ++step) {
        tickWith(0, 0); // 0 or 5 -> 1
        EXPECT_EQ(sweepControl.sweepState, SweepState::ResettingStopFlags) << step;
        tickWith(0, 0); // -> 2
        tickWith(0, 0); // -> 3
        tickWith(0, 0); // -> 4 (sends)
        for (int i = 0; i < 10 + step; ++i) tickWith(0, 2, i);
        tickWith(4, 3, 0); // +Vc limit -> 5
        EXPECT_EQ(runRecord.entryCount[step], 10 + step) << step;
    }
    EXPECT_EQ(sweepControl.sweepState, SweepState::RampDone);
    loopTick(); // 5 -> 6
    EXPECT_EQ(sweepControl.sweepState, SweepState::RunCompleted);
    loopTick(); // 6 -> 0
    EXPECT_EQ(sweepControl.sweepState, SweepState::Idle);
    EXPECT_EQ(sweepControl.statusText, "Run completed");
    EXPECT_EQ(sweepControl.lastStopReason, "+Vc LIMIT");
    for (int s = 7; s < runRecordSteps; ++s) EXPECT_EQ(runRecord.entryCount[s], 0);
    EXPECT_EQ(transfers.size(), 7u);
}

TEST_F(SweepTest, EveryChannelOfASampleLandsInItsOwnColumn) {
    sweepControl.sweepState = SweepState::Sweeping;
    sweepControl.currentStep = 3;
    sweepControl.currentEntry = 0;
    instrumentValues.targetBaseCurrent = 2.5e-5;
    instrumentValues.targetBaseVoltage = 1.75;
    Report r;
    r.statusWord = 0x0C | 2;
    r.rawIc = 111000;
    r.rawVc = 222000;
    r.rawVr = -333000;
    r.rawVb = 44000;
    storeReportInRing(r);
    loopTick();

    const Readings expected =
        convertReport(r, instrumentValues.sampleCounts, sweepParameters.collectorResistor);
    ASSERT_EQ(runRecord.entryCount[3], 1);
    EXPECT_DOUBLE_EQ(runRecord.VR[3][1], expected.vr);
    EXPECT_DOUBLE_EQ(runRecord.VB[3][1], expected.vb);
    EXPECT_DOUBLE_EQ(runRecord.VC[3][1], expected.vc);
    EXPECT_DOUBLE_EQ(runRecord.IC[3][1], expected.ic);
    EXPECT_DOUBLE_EQ(runRecord.IR[3][1], 0.0);
    EXPECT_DOUBLE_EQ(runRecord.IB[3][1], 0.0);
    EXPECT_DOUBLE_EQ(runRecord.TIB[3][1], 2.5e-5);
    EXPECT_DOUBLE_EQ(runRecord.TVB[3][1], 1.75);
    EXPECT_NE(expected.vr, expected.vb);
}

TEST_F(SweepTest, StatusTextFollowsStateAndPhase) {
    struct Case {
        SweepState state;
        int phase;
        const char* text;
    } cases[] = {
        {SweepState::Idle, 2, "Idling"},
        {SweepState::ResettingStopFlags, 0, "Resetting stop flags"},
        {SweepState::CheckingFlagsReset, 0, "Checking flags reset"},
        {SweepState::StartingStep, 0, "Preparing data: Starting Sweep"},
        {SweepState::Sweeping, 0, "Idling"},
        {SweepState::Sweeping, 1, "Preparing, Step 2/37"},
        {SweepState::Sweeping, 2, "Ramping, Step 2/37"},
        {SweepState::Sweeping, 3, "Discharging"},
        {SweepState::RampDone, 0, "Ramp done"},
    };
    for (const Case& c : cases) {
        sweepControl.sweepState = c.state;
        sweepControl.currentStep = 2;
        sweepControl.currentEntry = 37;
        report(0, c.phase);
        ASSERT_TRUE(takeReport());
        decodeCurrentReport();
        EXPECT_EQ(sweepStatusText(), c.text) << static_cast<int>(c.state) << "/" << c.phase;
    }
}

TEST_F(SweepTest, DecodesStatusAndSmoothsOverTheSampleRate) {
    Report r;
    r.statusWord = 0x8000 | 0x2000 | (6 << 4) | 0x08 | 2;
    storeReportInRing(r);
    ASSERT_TRUE(takeReport());
    decodeCurrentReport();
    EXPECT_EQ(decodedStatus.stepPhase, 2);
    EXPECT_EQ(decodedStatus.hvState, 2);
    EXPECT_EQ(decodedStatus.hvStateBit3, 1);
    EXPECT_EQ(decodedStatus.stopCode, 6);
    EXPECT_EQ(decodedStatus.statusFlags[15], 1);
    EXPECT_EQ(decodedStatus.statusFlags[13], 1);
    EXPECT_EQ(decodedStatus.statusFlags[8], 0);

    sweepParameters.sampleRate = 2;
    for (int v : {10, 20, 40}) {
        r.rawVc = v;
        storeReportInRing(r);
        ASSERT_TRUE(takeReport());
        decodeCurrentReport();
    }
    EXPECT_DOUBLE_EQ(sweepReadings.vc, 40.0);
    EXPECT_DOUBLE_EQ(sweepReadings.smoothedVc, 30.0);
    // A rate beyond the 100 slots averages over the slots that exist instead of running past them.
    sweepParameters.sampleRate = 500;
    for (int i = 0; i < 150; ++i) {
        storeReportInRing(r);
        ASSERT_TRUE(takeReport());
        decodeCurrentReport();
    }
    EXPECT_DOUBLE_EQ(sweepReadings.smoothedVc, 40.0);
}

TEST_F(SweepTest, RunControlButtons) {
    // RUN: nothing while disconnected or while a run is active.
    instrumentLink.linkConnected.store(0);
    startRun();
    EXPECT_EQ(sweepControl.runRequest, 0);
    instrumentLink.linkConnected.store(1);
    sweepControl.sweepState = SweepState::StartingStep;
    startRun();
    EXPECT_EQ(sweepControl.runRequest, 0);
    sweepControl.sweepState = SweepState::Idle;
    startRun();
    EXPECT_EQ(sweepControl.runRequest, 1);
    EXPECT_TRUE(transfers.empty());

    // STOP: only during a run, and the stop command goes out once.
    sweepControl.sweepState = SweepState::Idle;
    stopRun();
    EXPECT_TRUE(transfers.empty());
    sweepControl.sweepState = SweepState::Sweeping;
    stopRun();
    ASSERT_EQ(transfers.size(), 1u);
    EXPECT_EQ(lastControlWordSent() & 3u, controlStop);
    EXPECT_EQ(instrumentValues.runCommand, "Idle");

    // High voltage: start when bit 3 of the status is clear, stop when set.
    for (int bit3 : {0, 1}) {
        decodedStatus.hvStateBit3 = bit3;
        toggleHighVoltage();
        std::uint32_t word = lastControlWordSent();
        EXPECT_EQ(word & (controlHvStartRequest | controlHvStopRequest),
                  bit3 ? controlHvStopRequest : controlHvStartRequest);
    }
    EXPECT_EQ(registerImage[regControl] & (controlHvStartRequest | controlHvStopRequest), 0);
}

TEST_F(SweepTest, LostLinkEndsTheRunOnceItsReportsAreTaken) {
    sweepControl.sweepState = SweepState::Sweeping;
    sweepControl.currentStep = 1;
    instrumentValues.lastStepIndex = 5;
    for (int i = 1; i <= 5; ++i) tickWith(0, 2, i);
    // The cable goes with two reports still in the ring: they are samples of the step.
    report(0, 2, 6);
    report(0, 2, 7);
    instrumentLink.linkConnected.store(0);
    loopTick();
    EXPECT_EQ(sweepControl.sweepState, SweepState::Sweeping);
    loopTick();
    EXPECT_EQ(sweepControl.sweepState, SweepState::Idle);
    EXPECT_EQ(sweepControl.lastStopReason, "LINK LOST");
    EXPECT_EQ(sweepControl.statusText, "Run completed");
    EXPECT_EQ(runRecord.entryCount[1], 7);
    EXPECT_DOUBLE_EQ(runRecord.VC[1][7], 7.0);

    // Between steps as well, with steps still to come; a last step that has ended keeps its own reason.
    struct Case {
        SweepState state;
        std::int64_t step;
        const char* reason;
    } cases[] = {
        {SweepState::ResettingStopFlags, 1, "LINK LOST"}, {SweepState::CheckingFlagsReset, 1, "LINK LOST"},
        {SweepState::StartingStep, 1, "LINK LOST"},       {SweepState::RampDone, 1, "LINK LOST"},
        {SweepState::RampDone, 5, "+Vc LIMIT"},
    };
    for (const Case& c : cases) {
        sweepControl.sweepState = c.state;
        sweepControl.currentStep = c.step;
        sweepControl.lastStopReason = "+Vc LIMIT";
        loopTick();
        loopTick();
        EXPECT_EQ(sweepControl.sweepState, SweepState::Idle) << static_cast<int>(c.state);
        EXPECT_EQ(sweepControl.lastStopReason, c.reason) << static_cast<int>(c.state);
    }

    // A limit in the last report before the loss still takes back the sample that crossed it.
    sweepControl.sweepState = SweepState::Sweeping;
    sweepControl.currentStep = 2;
    sweepControl.currentEntry = 0;
    instrumentLink.linkConnected.store(1);
    for (int i = 1; i <= 4; ++i) tickWith(0, 2, i);
    report(4, 3, 5);
    instrumentLink.linkConnected.store(0);
    for (int i = 0; i < 3; ++i) loopTick();
    EXPECT_EQ(sweepControl.sweepState, SweepState::Idle);
    EXPECT_EQ(sweepControl.lastStopReason, "LINK LOST");
    EXPECT_EQ(runRecord.entryCount[2], 4);
    EXPECT_TRUE(transfers.empty());
}
