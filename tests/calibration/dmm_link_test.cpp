// The multimeter over the LAN against a scripted meter: the byte traffic, the answer parse, and
// meters that misbehave.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
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

TEST_F(DmmLinkTest, MisbehavingMeterLeavesThePreviousReading) {
    // Each case: what the meter does with READ?, then a good answer must be read correctly again.
    struct Case {
        const char* name;
        std::function<void(FakeBenchPeer&)> answer;
        double reading;      // after that answer
        double nextReading;  // after the good answer that follows
    };
    auto inTwoParts = [](int gapMs) {
        return [gapMs](FakeBenchPeer& p) {
            p.send("+7.1234");
            std::this_thread::sleep_for(std::chrono::milliseconds(gapMs));
            p.send("5678E+00\n");
        };
    };
    const Case cases[] = {
        {"never answers", [](FakeBenchPeer&) {}, 1.5, 2.5},
        {"garbage", [](FakeBenchPeer& p) { p.send("OVERLOAD?!\n"); }, 1.5, 2.5},
        {"two packets", inTwoParts(60), 7.12345678, 2.5},
        // The rest comes after the polling window: it is not taken for the next answer.
        {"two packets, the second too late", inTwoParts(400), 1.5, 2.5},
        {"closes the connection", [](FakeBenchPeer& p) { p.closeClient(); }, 1.5, 1.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        resetDmmLinkDefaults();
        int reads = 0;
        FakeBenchPeer meter(benchaddress::meterMisbehaving, dmmPort, [&](FakeBenchPeer& peer, const std::string& line) {
            if (line != "READ?") return;
            if (++reads == 1) peer.send("+1.50000000E+00\n");
            else if (reads == 2) c.answer(peer);
            else peer.send("+2.50000000E+00\n");
        });
        ASSERT_TRUE(meter.listening());
        ASSERT_TRUE(connectDmm(benchaddress::meterMisbehaving));
        readDmm("10V");
        ASSERT_DOUBLE_EQ(dmmLink.lastReading, 1.5);
        // The answer is waited for no longer than the settling wait and the polling window.
        EXPECT_LT(timedRead("10V"), pacedMs(500) + 200 + 150);
        EXPECT_DOUBLE_EQ(dmmLink.lastReading, c.reading);
        readDmm("10V");
        EXPECT_DOUBLE_EQ(dmmLink.lastReading, c.nextReading);
        EXPECT_TRUE(platform::recordedDialogs().empty());
    }
}

TEST_F(DmmLinkTest, WithoutConnectionTheUserIsToldAndNothingIsSent) {
    dmmLink.lastReading = 3.0;
    readDmm("10V");
    ASSERT_EQ(platform::recordedDialogs().size(), 1u);
    EXPECT_EQ(platform::recordedDialogs()[0].title, "Error");
    EXPECT_EQ(platform::recordedDialogs()[0].body, "DMM not connected");
    EXPECT_EQ(dmmLink.lastReading, 3.0);
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
