// The multimeter over the LAN against a scripted meter: the byte traffic, the answer parse, and
// meters that misbehave.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "base/elapsed_clock.h"
#include "calibration/calibration_pacing.h"
#include "calibration/dmm_link.h"
#include "calibration/fixture_link.h"
#include "calibration/tcp_client.h"
#include "support/bench_addresses.h"
#include "support/fake_bench_peer.h"
#include "platform/platform.h"

namespace {

class DmmLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::initPlatform();
        platform::installDialogRecorder([](const platform::RecordedDialog&) { return std::string("ok"); });
        platform::clearRecordedDialogs();
        resetDmmLinkDefaults();
        resetFixtureLinkDefaults();
        calibrationPacing.waitScale = 0.1;
    }
    void TearDown() override {
        resetDmmLinkDefaults();
        resetFixtureLinkDefaults();
        resetCalibrationPacingDefaults();
        platform::removeDialogRecorder();
    }

    // Milliseconds one reading takes.
    static std::int64_t timedRead(const std::string& range) {
        const std::int64_t start = elapsedMilliseconds();
        readDmm(range);
        return elapsedMilliseconds() - start;
    }
};

// Answers every READ? with the next of `answers` (the last one repeats).
FakeBenchPeer::LineHandler answering(std::vector<std::string> answers) {
    auto next = std::make_shared<std::size_t>(0);
    return [answers, next](FakeBenchPeer& peer, const std::string& line) {
        if (line != "READ?") return;
        peer.send(answers[std::min(*next, answers.size() - 1)]);
        ++*next;
    };
}

TEST(DmmReplyTest, WholeNumberIsReadAndAnythingElseIsNot) {
    struct Case {
        const char* reply;
        bool isNumber;
        double value;
    };
    const Case cases[] = {
        {"+1.23456789E+01\n", true, 12.3456789},
        {"-4.50000000E-03\n", true, -0.0045},
        {"+9.87654321E-07\r\n", true, 9.87654321e-7},
        // The meter's overload value: an exponent beyond the usual ones is still a number.
        {"+9.90000000E+37\n", true, 9.9e37},
        {"-1.00000000E+40\n", true, -1e40},
        {"  2.5\n", true, 2.5},
        {"+1.23456789E+01", false, 0},   // no line end: only part of the answer arrived
        {"+1.2345", false, 0},
        {"garbage\n", false, 0},
        {"+1.5E+00 V\n", false, 0},
        {"\n", false, 0},
        {"", false, 0},
        {"E+01\n", false, 0},
    };
    for (const Case& c : cases) {
        double reading = 42.0;
        EXPECT_EQ(parseDmmReply(c.reply, reading), c.isNumber) << c.reply;
        EXPECT_DOUBLE_EQ(reading, c.isNumber ? c.value : 42.0) << c.reply;
    }
}

TEST_F(DmmLinkTest, RangeIsConfiguredOnlyWhenItChanges) {
    FakeBenchPeer meter(benchaddress::meterCommands, dmmPort, answering({"+1.00000000E+01\n", "+2.00000000E+01\n",
                                                                        "-3.00000000E-03\n", "+4.00000000E-01\n"}));
    ASSERT_TRUE(meter.listening());
    ASSERT_TRUE(connectDmm(benchaddress::meterCommands));
    readDmm("10V");
    EXPECT_DOUBLE_EQ(dmmLink.lastReading, 10.0);
    readDmm("10V");
    EXPECT_DOUBLE_EQ(dmmLink.lastReading, 20.0);
    readDmm("1mA");
    EXPECT_DOUBLE_EQ(dmmLink.lastReading, -0.003);
    readDmm("10V");
    EXPECT_DOUBLE_EQ(dmmLink.lastReading, 0.4);
    EXPECT_EQ(meter.received(), "CONFigure:VOLTage:DC\nVOLTage:DC:RANGe 10V\nREAD?\n"
                                "READ?\n"
                                "CONFigure:CURRent:DC\nCURRent:DC:RANGe 1mA\nREAD?\n"
                                "CONFigure:VOLTage:DC\nVOLTage:DC:RANGe 10V\nREAD?\n");
    meter.clearReceived();
    readDmm("4W");
    EXPECT_EQ(meter.received(), "CONF:FRES\nFRES:NPLC 10\nREAD?\n");
    // Connecting again keeps the one connection.
    EXPECT_TRUE(connectDmm("192.0.2.1"));
    EXPECT_EQ(meter.connections(), 1);
    EXPECT_TRUE(platform::recordedDialogs().empty());
}

TEST_F(DmmLinkTest, EveryRangeSendsItsOwnCommands) {
    const struct {
        const char* range;
        const char* commands;
    } table[] = {
        {"1000V", "CONFigure:VOLTage:DC\nVOLTage:DC:RANGe 1000V\n"},
        {"100V", "CONFigure:VOLTage:DC\nVOLTage:DC:RANGe 100V\n"},
        {"10V", "CONFigure:VOLTage:DC\nVOLTage:DC:RANGe 10V\n"},
        {"1V", "CONFigure:VOLTage:DC\nVOLTage:DC:RANGe 1V\n"},
        {"100mV", "CONFigure:VOLTage:DC\nVOLTage:DC:RANGe 100mV\n"},
        {"3A", "CONFigure:CURRent:DC\nCURRent:DC:RANGe 3A\n"},
        {"1A", "CONFigure:CURRent:DC\nCURRent:DC:RANGe 1A\n"},
        {"100mA", "CONFigure:CURRent:DC\nCURRent:DC:RANGe 100mA\n"},
        {"10mA", "CONFigure:CURRent:DC\nCURRent:DC:RANGe 10mA\n"},
        {"1mA", "CONFigure:CURRent:DC\nCURRent:DC:RANGe 1mA\n"},
        {"100uA", "CONFigure:CURRent:DC\nCURRent:DC:RANGe 100uA\n"},
        {"10uA", "CONFigure:CURRent:DC\nCURRent:DC:RANGe 10uA\n"},
        {"1uA", "CONFigure:CURRent:DC\nCURRent:DC:RANGe 1uA\n"},
        {"4W", "CONF:FRES\nFRES:NPLC 10\n"},
    };
    FakeBenchPeer meter(benchaddress::meterCommands, dmmPort, answering({"+1.00000000E-03\n"}));
    ASSERT_TRUE(meter.listening());
    ASSERT_TRUE(connectDmm(benchaddress::meterCommands));
    std::vector<std::string> listed = dmmRangeTexts();
    listed.emplace_back(fourWireRange);
    ASSERT_EQ(listed.size(), std::size(table));
    for (std::size_t i = 0; i < std::size(table); ++i) {
        SCOPED_TRACE(table[i].range);
        EXPECT_EQ(listed[i], table[i].range);
        meter.clearReceived();
        EXPECT_TRUE(readDmm(table[i].range));
        EXPECT_EQ(meter.received(), std::string(table[i].commands) + "READ?\n");
    }
}

TEST_F(DmmLinkTest, HostileMeterGivesAFailedReadingNeverThePreviousOne) {
    // What the meter does with the second READ?; the first is answered 1.5, any after the case 2.5.
    struct Case {
        const char* name;
        std::function<void(FakeBenchPeer&)> answer;
        DmmFault fault;
        double reading; // when the answer is a reading after all
        bool staysConnected;
        bool nextAskedAtOnce = false; // the next question goes out while the bad answer is still coming
    };
    auto sending = [](const char* text) { return [text](FakeBenchPeer& p) { p.send(text); }; };
    auto inTwoParts = [](int gapMs) {
        return [gapMs](FakeBenchPeer& p) {
            p.send("+7.1234");
            std::this_thread::sleep_for(std::chrono::milliseconds(gapMs));
            p.send("5678E+00\n");
        };
    };
    auto drip = [](FakeBenchPeer& p) {
        for (char c : std::string("+3.00000000E+00\n")) {
            p.send(std::string(1, c));
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    };
    const Case cases[] = {
        {"no answer", [](FakeBenchPeer&) {}, DmmFault::NoAnswer, 0, true},
        {"garbage", sending("OVERLOAD?!\n"), DmmFault::NotANumber, 0, true},
        {"trailing garbage", sending("+1.50000000E+00 VDC\n"), DmmFault::NotANumber, 0, true},
        {"two answers", sending("+1.00000000E+00\n+2.00000000E+00\n"), DmmFault::NotANumber, 0, true},
        {"overload", sending("+9.90000000E+37\n"), DmmFault::Overload, 0, true},
        {"half a line, then silence", sending("+7.1234"), DmmFault::CutShort, 0, true},
        {"the rest after the window", inTwoParts(400), DmmFault::CutShort, 0, true},
        {"the rest with the next answer", inTwoParts(400), DmmFault::CutShort, 0, true, true},
        {"one byte per 100 ms", drip, DmmFault::CutShort, 0, true},
        {"two packets in the window", inTwoParts(60), DmmFault::None, 7.12345678, true},
        {"closes after the question", [](FakeBenchPeer& p) { p.closeClient(); }, DmmFault::ConnectionLost, 0, false},
        {"resets", [](FakeBenchPeer& p) { p.resetClient(); }, DmmFault::ConnectionLost, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        resetDmmLinkDefaults();
        std::atomic<int> reads{0};
        std::atomic<bool> answering{false};
        FakeBenchPeer meter(benchaddress::forThisTest().c_str(), dmmPort, [&](FakeBenchPeer& peer, const std::string& line) {
            if (line != "READ?") return;
            if (++reads == 1) return peer.send("+1.50000000E+00\n");
            if (reads > 2) return peer.send("+2.50000000E+00\n");
            answering = true;
            c.answer(peer);
            answering = false;
        });
        ASSERT_TRUE(meter.listening());
        ASSERT_TRUE(connectDmm(benchaddress::forThisTest()));
        ASSERT_TRUE(readDmm("10V"));
        ASSERT_DOUBLE_EQ(dmmLink.lastReading, 1.5);

        // The answer is waited for no longer than the settling wait and the polling window.
        const std::int64_t start = elapsedMilliseconds();
        EXPECT_EQ(readDmm("10V"), c.fault == DmmFault::None);
        EXPECT_LT(elapsedMilliseconds() - start, pacedMs(500) + 200 + 600);
        EXPECT_EQ(dmmLink.lastFault, c.fault);
        EXPECT_EQ(dmmLink.readingValid, c.fault == DmmFault::None);
        EXPECT_DOUBLE_EQ(dmmLink.lastReading, c.reading);
        EXPECT_EQ(dmmConnected(), c.staysConnected);
        if (c.fault != DmmFault::None) {
            EXPECT_EQ(dmmFailureMessage(), "No reading from DMM at " + benchaddress::forThisTest() + ": " + dmmFaultText(c.fault));
        }
        EXPECT_TRUE(platform::recordedDialogs().empty());

        // Once the meter behaves again, the next reading is its own: a late rest of the bad answer is
        // not taken for it, and a dropped connection is opened anew and the range set again.
        while (answering && !c.nextAskedAtOnce) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(connectDmm(benchaddress::forThisTest()));
        meter.clearReceived();
        EXPECT_TRUE(readDmm("10V")) << dmmFaultText(dmmLink.lastFault);
        EXPECT_DOUBLE_EQ(dmmLink.lastReading, 2.5);
        EXPECT_EQ(meter.connections(), c.staysConnected ? 1 : 2);
        EXPECT_EQ(meter.received(), c.staysConnected ? "READ?\n" : "CONFigure:VOLTage:DC\nVOLTage:DC:RANGe 10V\nREAD?\n");
    }
}

TEST_F(DmmLinkTest, MeterThatNeverStopsSendingCannotHoldTheCaller) {
    std::atomic<bool> streaming{true};
    FakeBenchPeer meter(benchaddress::forThisTest().c_str(), dmmPort, [&](FakeBenchPeer& peer, const std::string& line) {
        if (line != "READ?") return;
        std::string lines;
        for (int i = 0; i < 256; ++i) lines += "+1.00000000E+00\n";
        while (streaming) peer.send(lines);
    });
    ASSERT_TRUE(meter.listening());
    ASSERT_TRUE(connectDmm(benchaddress::forThisTest()));
    // Answered by a flood: more than one answer.
    EXPECT_FALSE(readDmm("10V"));
    EXPECT_EQ(dmmLink.lastFault, DmmFault::NotANumber);
    // Still flooding when the next question is due: it is not even asked.
    const std::int64_t took = timedRead("10V");
    EXPECT_EQ(dmmLink.lastFault, DmmFault::KeepsSending);
    EXPECT_LT(took, 1000); // bounded: an unbounded drain would last as long as the flood
    EXPECT_TRUE(dmmConnected());
    streaming = false;
    resetDmmLinkDefaults(); // the flood's blocked send ends with the connection
}

TEST_F(DmmLinkTest, NameThatTakesLongerThanTheTimeOutToResolveFails) {
    tcpNameLookupForTests = [](const std::string& name) {
        if (name == "slow.meter") std::this_thread::sleep_for(std::chrono::milliseconds(3000));
        return std::string(benchaddress::meterCommands);
    };
    FakeBenchPeer meter(benchaddress::meterCommands, dmmPort);
    ASSERT_TRUE(meter.listening());
    std::int64_t start = elapsedMilliseconds();
    EXPECT_EQ(tcpConnect("slow.meter", dmmPort, 300), 0);
    EXPECT_LT(elapsedMilliseconds() - start, 2000);
    const TcpHandle quick = tcpConnect("quick.meter", dmmPort, 300);
    EXPECT_NE(quick, 0);
    tcpClose(quick);
    tcpNameLookupForTests = nullptr;
}

TEST_F(DmmLinkTest, FixtureThatHasGoneIsNotReportedAsSwitched) {
    for (const bool reset : {false, true}) {
        SCOPED_TRACE(reset ? "reset" : "closed");
        resetFixtureLinkDefaults();
        FakeBenchPeer fixture(benchaddress::fixtureCommands, fixturePort,
                              [reset](FakeBenchPeer& peer, const std::string&) { reset ? peer.resetClient() : peer.closeClient(); },
                              '\r');
        ASSERT_TRUE(fixture.listening());
        ASSERT_TRUE(connectFixture(benchaddress::fixtureCommands));
        EXPECT_TRUE(setFixtureState("BG to V")); // taken: the fixture drops the connection on receiving it
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_FALSE(setFixtureState("BG to I"));
        EXPECT_FALSE(fixtureConnected());
        EXPECT_EQ(fixtureFailureMessage("BG to I"), "Fixture at 127.0.0.6: cannot switch to BG to I (connection lost)");
        // "Connect" opens a new connection, which works.
        ASSERT_TRUE(connectFixture(benchaddress::fixtureCommands));
        for (int i = 0; i < 100 && fixture.connections() < 2; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(fixture.connections(), 2);
    }
}

TEST_F(DmmLinkTest, WithoutConnectionTheUserIsToldAndNothingIsSent) {
    dmmLink.lastReading = 3.0;
    dmmLink.readingValid = true;
    EXPECT_FALSE(readDmm("10V"));
    ASSERT_EQ(platform::recordedDialogs().size(), 1u);
    EXPECT_EQ(platform::recordedDialogs()[0].title, "Error");
    EXPECT_EQ(platform::recordedDialogs()[0].body, "DMM not connected");
    EXPECT_EQ(dmmLink.lastFault, DmmFault::NotConnected);
    EXPECT_FALSE(dmmLink.readingValid);
    EXPECT_EQ(dmmLink.lastReading, 0.0);
    EXPECT_EQ(dmmLink.lastRange, "");
}

TEST_F(DmmLinkTest, UnreachableMeterAndFixtureLeaveNoConnection) {
    const std::int64_t start = elapsedMilliseconds();
    EXPECT_FALSE(connectDmm(benchaddress::nobodyListening));
    EXPECT_FALSE(connectFixture(benchaddress::nobodyListening));
    EXPECT_FALSE(connectDmm("not an address"));
    EXPECT_FALSE(connectDmm(""));
    EXPECT_LT(elapsedMilliseconds() - start, 2000); // refused at once, no time-out needed
    EXPECT_FALSE(dmmConnected());
    EXPECT_FALSE(fixtureConnected());
    EXPECT_FALSE(setFixtureState("BG to V"));
}

TEST_F(DmmLinkTest, ConnectGivesUpAtItsTimeOut) {
    // A listener whose queue is full and that never accepts: the handshake is never answered.
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    int yes = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(dmmPort);
    inet_pton(AF_INET, benchaddress::meterNeverAccepts, &where.sin_addr);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&where), sizeof where), 0);
    ASSERT_EQ(listen(listener, 0), 0);
    std::vector<TcpHandle> queued;
    for (int i = 0; i < 4; ++i) queued.push_back(tcpConnect(benchaddress::meterNeverAccepts, dmmPort, 100));
    const std::int64_t start = elapsedMilliseconds();
    EXPECT_EQ(tcpConnect(benchaddress::meterNeverAccepts, dmmPort, 300), 0);
    const std::int64_t took = elapsedMilliseconds() - start;
    EXPECT_GE(took, 290);
    EXPECT_LT(took, 1500);
    for (TcpHandle h : queued) tcpClose(h);
    close(listener);
}

TEST_F(DmmLinkTest, FixtureStateSendsItsCommandThenTheApplyCommand) {
    FakeBenchPeer fixture(benchaddress::fixtureCommands, fixturePort);
    ASSERT_TRUE(fixture.listening());
    ASSERT_TRUE(connectFixture(benchaddress::fixtureCommands));
    const std::vector<std::string> commands = {"#010A01\r", "#010A03\r", "#010A04\r", "#010A10\r",
                                               "#010A20\r", "#010A40\r", "#010A80\r", "#010A00\r"};
    std::string expected;
    for (std::size_t i = 0; i < fixtureStateNames().size(); ++i) {
        EXPECT_TRUE(setFixtureState(fixtureStateNames()[i]));
        expected += commands[i] + "#010B00\r";
    }
    EXPECT_FALSE(setFixtureState("CE Range 5"));
    for (int i = 0; i < 100 && fixture.received().size() < expected.size(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(fixture.received(), expected);
}

} // namespace
