#include <cmath>
#include <map>
#include <memory>

#include "display/connection_indicator.h"
#include "link/comms_thread.h"
#include "results/file_names.h"
#include "results/run_data_reader.h"
#include "sweep/instrument_values.h"
#include "sweep/run_record.h"
#include "virtual_instrument.h"

namespace {

// The state as its number, so that traces read as the state sequence 0 1 2 3 4 5 ... 6 0.
std::int64_t stateNow() {
    return static_cast<std::int64_t>(sweepControl.sweepState);
}

// Per pass: the states the machine went through and, per step, the reports taken while ramping.
struct RunTrace {
    std::vector<std::int64_t> states{0};
    std::map<std::int64_t, std::int64_t> rampReports;
    std::int64_t stateBefore = 0, stepBefore = 0;
    int readIndexBefore = 0;

    void before() {
        stateBefore = stateNow();
        stepBefore = sweepControl.currentStep;
        readIndexBefore = reportRing.ringReadIndex.load();
    }
    void after() {
        if (stateBefore == 4 && reportRing.ringReadIndex.load() != readIndexBefore) rampReports[stepBefore] += 1;
        if (stateNow() != states.back()) states.push_back(stateNow());
        before();
    }
};

} // namespace

TEST_F(ProgramOnSim, RunWalksEveryStepAndCompletes) {
    ASSERT_TRUE(sim.start({"--device", "resistor", "--resistance", "1000", "--speed", "40"}));
    useShortSweep(2);
    connect();
    RunTrace trace;
    trace.before();
    press(278);
    ASSERT_TRUE(runUntil([&] { return trace.states.size() > 1 && stateNow() == 0; }, 30000,
                         [&] { trace.after(); }));
    std::vector<std::int64_t> expected{0};
    for (int step = 0; step <= instrumentValues.lastStepIndex; ++step)
        for (std::int64_t s : {1, 2, 3, 4, 5}) expected.push_back(s);
    expected.push_back(6);
    expected.push_back(0);
    EXPECT_EQ(trace.states, expected);
    EXPECT_EQ(instrumentValues.lastStepIndex, 2);
    EXPECT_EQ(sweepControl.statusText, "Run completed");
    EXPECT_TRUE(sweepControl.lastStopReason == "+Vc LIMIT" || sweepControl.lastStopReason == "+Ic LIMIT")
        << sweepControl.lastStopReason;
    EXPECT_EQ(decodedStatus.hvState, 3);

    for (int step = 0; step <= 2; ++step) {
        // Every report of the ramp is stored except the one that crossed the limit.
        EXPECT_GT(trace.rampReports[step], 10) << step;
        EXPECT_EQ(runRecord.entryCount[step], trace.rampReports[step] - 1) << step;
        // Calibrated values: the resistor's current follows its voltage.
        int checked = 0;
        for (std::int64_t e = 1; e <= runRecord.entryCount[step]; ++e) {
            double vc = runRecord.VC[step][e], ic = runRecord.IC[step][e];
            if (vc < 1.0) continue;
            EXPECT_NEAR(ic, vc / 1000.0, 0.1 * vc / 1000.0) << step << "/" << e;
            EXPECT_LE(vc, 6.5 * 1.05);
            ++checked;
        }
        EXPECT_GT(checked, 3) << step;
    }
    for (const auto& d : platform::recordedDialogs()) ADD_FAILURE() << d.title << ": " << d.body;
}

TEST_F(ProgramOnSim, StopDuringARampEndsTheRunAsManualRequest) {
    ASSERT_TRUE(sim.start({"--device", "npn", "--speed", "20"}));
    useShortSweep(3);
    connect();
    press(278);
    ASSERT_TRUE(runUntil([] { return stateNow() == 4 && decodedStatus.stepPhase == 2; }, 10000));
    press(279);
    ASSERT_TRUE(runUntil([] { return stateNow() == 0; }, 5000));
    EXPECT_EQ(sweepControl.lastStopReason, "MANUAL REQUEST");
    EXPECT_EQ(sweepControl.statusText, "Run completed");
    EXPECT_EQ(sweepControl.currentStep, 0);
}

TEST_F(ProgramOnSim, DisconnectDuringARunKeepsThePartialRecordAndReconnectRunsAgain) {
    ASSERT_TRUE(sim.start({"--device", "resistor", "--speed", "20"}));
    useShortSweep(3);
    connect();
    press(278);
    ASSERT_TRUE(runUntil([] { return stateNow() == 4 && sweepControl.currentEntry > 5; }, 10000));
    press(273);
    runUntil([] { return false; }, 50);
    EXPECT_EQ(stateNow(), 0);
    EXPECT_FALSE(connected());
    std::int64_t kept = runRecord.entryCount[0];
    EXPECT_GT(kept, 5);
    runUntil([] { return false; }, 200);
    EXPECT_EQ(runRecord.entryCount[0], kept);
    EXPECT_NE(sweepControl.statusText, "Run completed");

    // The ring carries on from where it was.
    int readIndex = reportRing.ringReadIndex.load();
    connect();
    press(278);
    ASSERT_TRUE(runUntil([] { return stateNow() == 4 && sweepControl.currentEntry > 0; }, 10000));
    EXPECT_NE(reportRing.ringReadIndex.load(), readIndex);
    for (const auto& d : platform::recordedDialogs()) ADD_FAILURE() << d.title << ": " << d.body;
}

TEST_F(ProgramOnSim, VanishingInstrumentDropsTheLinkWithoutAMessage) {
    // The cable goes after a few polls; a slow (sanitised) build must still see the link come up first.
    ASSERT_TRUE(sim.start({"--fault", "vanish@5"}));
    press(273);
    bool wasConnected = false;
    ASSERT_TRUE(runUntil([&] { return (wasConnected = wasConnected || connected()) && !connected(); }, 6000));
    runUntil([] { return false; }, 20);
    EXPECT_EQ(connectionIndicator.shownState, 0);
    for (const auto& d : platform::recordedDialogs()) ADD_FAILURE() << d.title << ": " << d.body;
}

TEST_F(ProgramOnSim, SilentInstrumentIsDisconnectedByTheWatchdog) {
    ASSERT_TRUE(sim.start({"--fault", "silent@3"}));
    connect();
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(runUntil([] { return !connected(); }, 4000));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
    for (const auto& d : platform::recordedDialogs()) ADD_FAILURE() << d.title << ": " << d.body;
}

TEST_F(ProgramOnSim, InsertedByteIsRecoveredAndReportsFlowOn) {
    ASSERT_TRUE(sim.start({"--device", "resistor", "--speed", "40", "--fault", "insert@40"}));
    useShortSweep(1);
    connect();
    press(278);
    ASSERT_TRUE(runUntil([] { return commsState.checksumErrorCount.load() + commsState.resyncSkipBytes.load() > 0; },
                         10000));
    std::int64_t stored = commsState.reportsStored.load();
    ASSERT_TRUE(runUntil([&] { return commsState.reportsStored.load() > stored + 10; }, 5000));
    EXPECT_TRUE(connected());
    ASSERT_TRUE(runUntil([] { return stateNow() == 0; }, 20000));
    EXPECT_EQ(sweepControl.statusText, "Run completed");
    for (const auto& d : platform::recordedDialogs()) ADD_FAILURE() << d.title << ": " << d.body;
}

TEST_F(ProgramOnSim, PortThatCannotBeOpenedWarnsAndTwoMorePressesTryAgain) {
    const std::string warning =
        "USB/COM service unable to start - Please check instrument is connected via USB and COM port number is "
        "correct.";
    for (int port : {0, 9}) {
        platform::clearRecordedDialogs();
        systemSettings.comPortNumber = port;
        press(273);
        runUntil([] { return false; }, 20);
        ASSERT_EQ(platform::recordedDialogs().size(), 1u) << port;
        EXPECT_EQ(platform::recordedDialogs()[0].title, "Warning #xxxx");
        EXPECT_EQ(platform::recordedDialogs()[0].body, warning);
        EXPECT_FALSE(connected());
        press(273); // only stops the idle thread
        runUntil([] { return false; }, 20);
        EXPECT_EQ(platform::recordedDialogs().size(), 1u) << port;
    }
    ASSERT_TRUE(sim.start({}));
    systemSettings.comPortNumber = simPort;
    connect();
    EXPECT_EQ(platform::recordedDialogs().size(), 1u);
}

TEST_F(ProgramOnSim, CablePulledMidStepEndsTheRunSavesItAndConnectRunsAgain) {
    namespace fs = std::filesystem;
    auto count = [](const char* folder) {
        return std::distance(fs::directory_iterator(folder), fs::directory_iterator{});
    };
    const auto sampleRunsBefore = count("sampleruns");
    const auto dataBefore = count("saveddata");
    const auto imagesBefore = count("savedimages");
    // Report 80 falls in the middle of the second of three steps.
    ASSERT_TRUE(sim.start({"--device", "npn", "--speed", "20", "--fault", "vanish@80"}));
    useShortSweep(3);
    connect();
    press(278);
    std::int64_t stored = 0;
    auto lastReport = std::chrono::steady_clock::now();
    ASSERT_TRUE(runUntil([] { return !connected(); }, 20000, [&] {
        if (commsState.reportsStored.load() == stored) return;
        stored = commsState.reportsStored.load();
        lastReport = std::chrono::steady_clock::now();
    }));
    ASSERT_TRUE(runUntil([] { return stateNow() == 0; }, 5000));
    const auto endedAfter = std::chrono::steady_clock::now() - lastReport;
    RecordProperty("idle_ms_after_last_report",
                   static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(endedAfter).count()));
    EXPECT_LT(endedAfter, std::chrono::milliseconds(watchdogTimeoutMs));
    EXPECT_EQ(sweepControl.lastStopReason, "LINK LOST");
    EXPECT_EQ(sweepControl.statusText, "Run completed");
    // Cut off in the middle of a step that is not the last, with the earlier steps whole.
    const std::int64_t cut = sweepControl.currentStep;
    EXPECT_GE(cut, 1);
    EXPECT_LT(cut, instrumentValues.lastStepIndex);
    EXPECT_GT(runRecord.entryCount[cut], 0);
    EXPECT_EQ(runRecord.entryCount[cut + 1], 0);

    // Saved as a STOP saves: a sample run, the picture, the data file and its model card.
    EXPECT_EQ(count("sampleruns"), sampleRunsBefore + 1);
    EXPECT_EQ(count("savedimages"), imagesBefore + 1);
    EXPECT_EQ(count("saveddata"), dataBefore + 2);
    const std::string stem = resultNaming.fileStem;
    EXPECT_TRUE(fs::exists("savedimages/" + stem + ".png")) << stem;
    EXPECT_TRUE(fs::exists("saveddata/" + stem + ".model")) << stem;
    auto saved = std::make_unique<RunRecord>();
    RunDataColumns columns;
    ASSERT_EQ(loadRunDataFile("saveddata/" + stem + ".csv", *saved, columns), RunDataLoad::Loaded);
    for (std::int64_t step = 0; step <= instrumentValues.lastStepIndex; ++step)
        EXPECT_EQ(saved->entryCount[step], runRecord.entryCount[step]) << step;

    // The instrument is back: CONNECT (a first press only clears the lost link's remains) and RUN.
    sim.stop();
    ASSERT_TRUE(sim.start({"--device", "npn", "--speed", "40"}));
    useShortSweep(1);
    press(273);
    if (!runUntil(connected, 500)) connect();
    ASSERT_TRUE(connected());
    press(278);
    ASSERT_TRUE(runUntil([] { return stateNow() != 0; }, 5000));
    ASSERT_TRUE(runUntil([] { return stateNow() == 0; }, 20000));
    EXPECT_NE(sweepControl.lastStopReason, "LINK LOST");
    EXPECT_EQ(sweepControl.statusText, "Run completed");
    EXPECT_EQ(count("saveddata"), dataBefore + 4);
    for (const auto& d : platform::recordedDialogs()) ADD_FAILURE() << d.title << ": " << d.body;
}
