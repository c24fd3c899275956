#include <algorithm>
#include <random>

#include "link_fixture.h"

namespace {

long long msSince(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t).count();
}

ReportBytes numberedReportBytes(std::int64_t n) {
    Report r;
    r.rawIc = n;
    return encodeReport(r);
}

} // namespace

TEST_F(LinkTest, PollsIdleInstrumentAndHandsReportsOverSlowly) {
    connectInstrument();
    ASSERT_TRUE(linkUp());
    EXPECT_EQ(instrumentLink.commsStatusText, " OK");
    instrument->statusWord = 0x00F3;
    ASSERT_TRUE(waitFor([] { return ringWriteIndex() >= 3; }, 1500));
    // Four polls a second: the idle instrument's reports trickle in (a 200 ms period would give 10).
    int polls = instrument->pollsSeen.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(2000));
    EXPECT_NEAR(instrument->pollsSeen.load() - polls, 8, 1);

    // With nothing further pending the comms thread still answers on its next pass: a take is quick.
    while (reportRing.ringReadIndex.load() != ringWriteIndex()) takeReport();
    ASSERT_TRUE(waitFor([] { return reportRing.ringReadIndex.load() != ringWriteIndex(); }, 1000));
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(takeReport());
    EXPECT_LT(msSince(start), 150); // well inside the 250 ms a sleeping thread would make it wait
    EXPECT_EQ(currentReport.statusWord, 0x00F3);
    EXPECT_EQ(currentReport.rawVc, -currentReport.rawIc);
    EXPECT_EQ(currentReport.rawVr, 7);
    EXPECT_EQ(currentReport.rawVb, 0x7FFFFFFF);
    EXPECT_FALSE(takeReport());
}

TEST_F(LinkTest, IdleThreadSleepsBetweenPollsThatKeepAQuarterSecondApart) {
    // A failed open leaves the thread idling with nothing to do: it does not wake until it is stopped.
    ASSERT_EQ(openInstrumentLink("COM98"), LinkOpenOutcome::PortFailed);
    ASSERT_TRUE(commsThreadIsRunning());
    std::int64_t passes = commsState.commsPasses.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_LE(commsState.commsPasses.load() - passes, 2);
    closeInstrumentLink();
    EXPECT_FALSE(commsThreadIsRunning());

    connectInstrument();
    ASSERT_TRUE(linkUp());
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // the connect transfer is over
    const std::size_t first = instrument->polls().size();
    passes = commsState.commsPasses.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(1600));
    // Woken by each poll's deadline and each reply: a handful of passes a second, not one a millisecond.
    EXPECT_LT(commsState.commsPasses.load() - passes, 40);
    const auto times = instrument->polls();
    ASSERT_GE(times.size(), first + 5);
    // Over several periods the instrument side's own scheduling delays (which may even deliver two polls
    // in one read) average out; a poll that came early, late or twice per period would not.
    const double mean = std::chrono::duration<double, std::milli>(times.back() - times[first]).count() /
                        static_cast<double>(times.size() - first - 1);
    EXPECT_NEAR(mean, 250.0, 10.0);
}

TEST_F(LinkTest, SleepingThreadWakesAtOnceForAReportAndForAPause) {
    instrument->answerPolls = false;
    connectInstrument();
    ASSERT_TRUE(linkUp());
    std::vector<long long> reportMs, pauseMs;
    for (int n = 1; n <= 5; ++n) {
        std::this_thread::sleep_for(std::chrono::milliseconds(60)); // deep in its wait for the next poll
        const int before = ringWriteIndex();
        auto start = std::chrono::steady_clock::now();
        instrument->sendReport(n);
        ASSERT_TRUE(waitFor([&] { return ringWriteIndex() != before; }, 1000));
        reportMs.push_back(msSince(start));
        ASSERT_TRUE(takeReport());
        EXPECT_EQ(currentReport.rawIc, n);

        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        start = std::chrono::steady_clock::now();
        pauseCommsThread();
        pauseMs.push_back(msSince(start));
        EXPECT_EQ(commsState.commsPaused.load(), 1);
        resumeCommsThread();
        ASSERT_TRUE(waitFor([] { return commsState.commsPaused.load() == 0; }, 300));
    }
    // Without the wakes each would wait for the next poll, up to 250 ms; the margin is for a busy machine,
    // where the kernel's own hand-over of pty bytes can lag.
    std::sort(reportMs.begin(), reportMs.end());
    std::sort(pauseMs.begin(), pauseMs.end());
    EXPECT_LT(reportMs[2], 150);
    EXPECT_LT(pauseMs[2], 150);
    EXPECT_TRUE(linkUp());
}

TEST_F(LinkTest, FastReportsArriveInOrderThroughTheRingWrap) {
    instrument->answerPolls = false;
    connectInstrument();
    ASSERT_TRUE(linkUp());
    // More than a ring's worth, taken while they arrive: nothing lost, nothing repeated.
    std::thread sender([this] {
        for (int n = 1; n <= 1500; ++n) {
            instrument->sendReport(n);
            if (n % 50 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    std::vector<Report> got = takeReports(1500, 20000);
    sender.join();
    ASSERT_EQ(got.size(), 1500u);
    for (int i = 0; i < 1500; ++i) ASSERT_EQ(got[i].rawIc, i + 1);
    EXPECT_EQ(ringWriteIndex(), 500);
    EXPECT_EQ(reportRing.ringReadIndex.load(), 500);
}

TEST_F(LinkTest, ReaderBusyHoldsReceptionUntilReleased) {
    instrument->answerPolls = false;
    connectInstrument();
    ASSERT_TRUE(linkUp());
    reportRing.ringReaderBusy.store(1);
    instrument->sendReport(1);
    ASSERT_TRUE(waitFor([] { return reportRing.ringWriterAck.load() == 1; }, 500));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(ringWriteIndex(), 0);
    EXPECT_EQ(serialBytesAvailable(), 32);
    reportRing.ringReaderBusy.store(0);
    ASSERT_TRUE(waitFor([] { return ringWriteIndex() == 1; }, 100));
    ASSERT_TRUE(takeReport());
    EXPECT_EQ(currentReport.rawIc, 1);
}

TEST_F(LinkTest, BadChecksumsAreReportedAndEverySecondOneShiftsAlignment) {
    instrument->answerPolls = false;
    connectInstrument();
    ASSERT_TRUE(linkUp());
    ReportBytes bad = numberedReportBytes(5);
    bad[25] ^= 0x01; // a reserved byte only
    bad[30] = 0xAB;
    bad[31] = 0x0C;
    instrument->sendBytes(std::vector<std::uint8_t>(bad.begin(), bad.end()));
    ASSERT_TRUE(waitFor([] { return commsState.checksumErrorCount.load() == 1; }, 500));
    EXPECT_EQ(takeChecksumErrorText(), "USB error: $AB0C");
    EXPECT_EQ(takeChecksumErrorText(), "");
    EXPECT_EQ(ringWriteIndex(), 0);

    // The second failure makes the next read take 33 bytes: a good report behind one stray byte passes.
    instrument->sendBytes(std::vector<std::uint8_t>(bad.begin(), bad.end()));
    ASSERT_TRUE(waitFor([] { return commsState.resyncSkipBytes.load() == 1; }, 500));
    EXPECT_EQ(commsState.checksumErrorCount.load(), 0);
    ReportBytes good = numberedReportBytes(9);
    std::vector<std::uint8_t> shifted(good.begin(), good.end());
    shifted.push_back(0xEE);
    instrument->sendBytes(shifted);
    ASSERT_TRUE(waitFor([] { return ringWriteIndex() == 1; }, 500));
    EXPECT_EQ(commsState.resyncSkipBytes.load(), 0);
    EXPECT_EQ(serialBytesAvailable(), 0);
    ASSERT_TRUE(takeReport());
    EXPECT_EQ(currentReport.rawIc, 9);
}

TEST_F(LinkTest, ResynchronisesAfterAnInsertedOrALostByte) {
    instrument->answerPolls = false;
    // One byte too many is found after one shift, one byte too few after 31.
    for (bool insert : {true, false}) {
        resetInstrumentLinkDefaults();
        resetCommsDefaults();
        systemSettings.comPortNumber = 7;
        connectInstrument();
        ASSERT_TRUE(linkUp());
        std::vector<std::uint8_t> stream;
        for (int i = 1; i <= 80; ++i) {
            ReportBytes b = numberedReportBytes(i);
            stream.insert(stream.end(), b.begin(), b.end());
        }
        if (insert) stream.insert(stream.begin() + 40, 0x5A);
        else stream.erase(stream.begin() + 40);
        // Paced like a sweep, and taken as they come: a drained ring would make each take wait.
        std::thread sender([&] {
            for (std::size_t at = 0; at < stream.size(); at += 32) {
                instrument->sendBytes(std::vector<std::uint8_t>(stream.begin() + at,
                                                                stream.begin() + std::min(at + 32, stream.size())));
                std::this_thread::sleep_for(std::chrono::milliseconds(3));
            }
        });
        std::vector<Report> got;
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while ((got.empty() || got.back().rawIc != 80) && std::chrono::steady_clock::now() < end)
            if (takeReport()) got.push_back(currentReport);
        sender.join();
        ASSERT_GE(got.size(), insert ? 75u : 10u) << insert;
        EXPECT_EQ(got.front().rawIc, 1) << insert;
        EXPECT_EQ(got.back().rawIc, 80) << insert;
        for (std::size_t i = 2; i < got.size(); ++i) EXPECT_EQ(got[i].rawIc, got[i - 1].rawIc + 1) << insert;
        EXPECT_TRUE(linkUp()) << insert;
    }
}

TEST_F(LinkTest, WatchdogClosesASilentLinkAndReconnectKeepsTheRing) {
    connectInstrument();
    ASSERT_TRUE(linkUp());
    ASSERT_TRUE(waitFor([] { return ringWriteIndex() >= 2; }, 1000));
    instrument->answerPolls = false;
    ASSERT_TRUE(waitFor([] { return !linkUp(); }, 3500));
    // Closed two seconds after the last good report, give or take the comms thread's own pass.
    const std::int64_t silentFor = elapsedMilliseconds() - instrumentLink.lastGoodReplyMs.load();
    EXPECT_GE(silentFor, 2000);
    EXPECT_LT(silentFor, 2400);
    EXPECT_TRUE(waitFor([] { return !commsThreadIsRunning(); }, 500));
    EXPECT_FALSE(serialPortIsOpen());
    while (takeReport()) {
    }

    int keptIndex = ringWriteIndex();
    EXPECT_EQ(reportRing.ringReadIndex.load(), keptIndex);
    instrument->answerPolls = true;
    connectInstrument();
    ASSERT_TRUE(linkUp());
    ASSERT_TRUE(waitFor([&] { return ringWriteIndex() != keptIndex; }, 1000));
    ASSERT_TRUE(takeReport());
    EXPECT_EQ(reportRing.ringReadIndex.load(), keptIndex + 1);
    EXPECT_GT(currentReport.rawIc, 1000000);
}

TEST_F(LinkTest, VanishedDeviceDropsTheLinkAndTakesTwoConnectsToComeBack) {
    connectInstrument();
    ASSERT_TRUE(linkUp());
    instrument->finish();
    ASSERT_TRUE(waitFor([] { return !linkUp(); }, 500));
    EXPECT_TRUE(commsThreadIsRunning()); // lost: the thread idles on
    EXPECT_EQ(takeChecksumErrorText(), "");

    replaceInstrument();
    connectInstrument(); // only cleans up
    EXPECT_FALSE(linkUp());
    EXPECT_TRUE(waitFor([] { return !commsThreadIsRunning(); }, 200));
    connectInstrument();
    ASSERT_TRUE(linkUp());
    EXPECT_TRUE(waitFor([] { return ringWriteIndex() > 0; }, 1000));
}

TEST_F(LinkTest, ConnectWhileConnectedDisconnects) {
    connectInstrument();
    ASSERT_TRUE(linkUp());
    connectInstrument();
    EXPECT_FALSE(linkUp());
    EXPECT_FALSE(serialPortIsOpen());
    EXPECT_TRUE(waitFor([] { return !commsThreadIsRunning(); }, 200));
    int polls = instrument->pollsSeen.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(instrument->pollsSeen.load(), polls);
}

TEST_F(LinkTest, RandomByteStreamNeitherCrashesNorHangs) {
    instrument->answerPolls = false;
    connectInstrument();
    ASSERT_TRUE(linkUp());
    std::atomic<bool> done{false};
    std::thread noise([&] {
        std::mt19937 rng(1234);
        std::vector<std::uint8_t> chunk(32);
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < end) {
            for (auto& b : chunk) b = static_cast<std::uint8_t>(rng());
            instrument->sendBytes(chunk);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        done = true;
    });
    // The GUI side keeps taking reports and reconnects whenever the watchdog has closed the link.
    int reconnects = 0;
    std::string lastError;
    while (!done) {
        takeReport();
        std::string e = takeChecksumErrorText();
        if (!e.empty()) lastError = e;
        if (!linkUp() && !commsThreadIsRunning()) {
            connectInstrument();
            ++reconnects;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    noise.join();
    EXPECT_GE(reconnects, 2);
    ASSERT_EQ(lastError.size(), 16u);
    EXPECT_EQ(lastError.substr(0, 12), "USB error: $");
    EXPECT_EQ(lastError.find_first_not_of("0123456789ABCDEF", 12), std::string::npos);
}

TEST_F(LinkTest, ConnectSendsTheWholeImageOnceWithTheInitialiseBit) {
    connectInstrument();
    ASSERT_TRUE(linkUp());
    ASSERT_TRUE(waitFor([this] { return instrument->frames().size() >= 32; }, 1000));
    std::vector<Frame> frames = instrument->frames();
    ASSERT_EQ(frames.size(), 32u);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(parseFrame(frames[i].data()).reg, 31 - i);
    std::uint32_t control = parseFrame(frames[30].data()).value;
    EXPECT_NE(control & controlInitialiseAfterConnect, 0u);
    EXPECT_NE(control & controlHvSupplyOn, 0u);
    EXPECT_EQ(control & 3u, 0u);
    EXPECT_EQ(parseFrame(frames[31 - regBaseGateDacIdleRaw].data()).value, 0u);
    EXPECT_EQ(parseFrame(frames[31 - regBaseGateDacActiveRaw].data()).value, 0u);
    EXPECT_FALSE(std::filesystem::is_empty("debug"));

    // The next transfer no longer carries the one-shot initialise bit, and the comms thread held still
    // while it went out (only one thread writes to the port at a time).
    const std::int64_t pausesBefore = commsState.pausesHonoured.load();
    sendRegisterImage();
    EXPECT_EQ(commsState.pausesHonoured.load(), pausesBefore + 1);
    ASSERT_TRUE(waitFor([this] { return instrument->frames().size() >= 64; }, 1000));
    EXPECT_EQ(parseFrame(instrument->frames()[62].data()).value & controlInitialiseAfterConnect, 0u);
}
