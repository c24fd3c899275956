// The factory sequence against a meter and a fixture that misbehave in every way a bench does: the
// sequence stops at the row whose reading failed, names the meter's address and the fault, keeps the
// rows measured before, and nothing wrong reaches KRV_cal.txt or the instrument's calibration block.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "base/elapsed_clock.h"
#include "bench_peers.h"
#include "calibration/calibration_file.h"
#include "nominal_cal.h"
#include "support/bench_addresses.h"
#include "support/fake_bench_peer.h"
#include "ui/adc_dac_window_layout.h"
#include "ui/calibration_windows.h"
#include "calibration_window_fixture.h"

namespace {

using namespace adcdac;

constexpr int autoTwoToTwenty = 2; // its place in the sequence list
constexpr int failingRow = 1;      // "+10V" idle: its reading is the meter's second
constexpr int failingRowStep = 8;  // that row's "Cal." step, which refuses the reading

class HostileBenchTest : public CalibrationWindowTest {
protected:
    InProcessInstrument instrument;
    SimMeter meterModel;
    SimFixture fixtureModel;
    const std::string address = benchaddress::forThisTest();
    std::int64_t lastPassMs = 0;
    std::int64_t longestPassMs = 0;

    void SetUp() override {
        CalibrationWindowTest::SetUp();
        calibrationPacing.waitScale = 0.05;
        useInstrument(instrument);
    }
    void everyPass() override {
        instrument.pump();
        const std::int64_t now = elapsedMilliseconds();
        if (lastPassMs != 0) longestPassMs = std::max(longestPassMs, now - lastPassMs);
        lastPassMs = now;
    }
    // A good answer from the virtual meter.
    void answerFromModel(FakeBenchPeer& peer, const std::string& line) {
        std::lock_guard<std::mutex> hold(instrument.lock);
        if (const auto answer = simMeterCommand(meterModel, instrument.sim, line)) peer.send(*answer);
    }
    std::unique_ptr<FakeBenchPeer> fixturePeer() {
        return std::make_unique<FakeBenchPeer>(
            address.c_str(), fixturePort,
            [this](FakeBenchPeer&, const std::string& command) {
                std::lock_guard<std::mutex> hold(instrument.lock);
                simFixtureCommand(fixtureModel, instrument.sim, command);
            },
            '\r');
    }
    std::vector<std::function<bool()>> connectAndGo() {
        return {
            type(dmmAddress, address),
            press(dmmConnect),
            type(fixtureAddress, address),
            press(fixtureConnect),
            press(defaultValuesButton),
            [] {
                platform::setControlState(sequenceList, autoTwoToTwenty);
                return true;
            },
        };
    }
    static std::vector<std::function<bool()>> goUntilStopped() {
        return {press(goButton), waitFor([] { return platform::controlText(goButton) == "Stop!"; }),
                waitFor([] { return platform::controlText(goButton) == "Go!"; })};
    }
    static std::string dmmField(int row) {
        return platform::controlText(coefficientField + calibrationRows()[static_cast<std::size_t>(row)].dmmField);
    }
};

TEST_F(HostileBenchTest, FailedReadingStopsTheSequenceAtItsRow) {
    struct Case {
        const char* name;
        std::function<void(FakeBenchPeer&)> answer; // to every READ? after the first
        const char* fault;
        bool staysConnected;
    };
    auto sending = [](const char* text) { return [text](FakeBenchPeer& p) { p.send(text); }; };
    auto drip = [](FakeBenchPeer& p) {
        for (char c : std::string("+1.00000000E+01\n")) {
            p.send(std::string(1, c));
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    };
    std::atomic<bool> streaming{true};
    auto stream = [&streaming](FakeBenchPeer& p) {
        std::string lines;
        for (int i = 0; i < 256; ++i) lines += "+1.00000000E+01\n";
        while (streaming) p.send(lines);
    };
    const Case cases[] = {
        {"no answer", [](FakeBenchPeer&) {}, "no answer", true},
        {"garbage", sending("#$%&GARBAGE\n"), "answer is not a number", true},
        {"half a line, then silence", sending("+1.00"), "answer cut short", true},
        {"one byte per 100 ms", drip, "answer cut short", true},
        {"overload", sending("+9.90000000E+37\n"), "overload", true},
        {"a stream that never stops", stream, "answer is not a number", true},
        {"closes after the question", [](FakeBenchPeer& p) { p.closeClient(); }, "connection lost", false},
        {"resets", [](FakeBenchPeer& p) { p.resetClient(); }, "connection lost", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        streaming = true;
        scriptStep = 0;
        passes = 0;
        lastPassMs = longestPassMs = 0;
        int reads = 0;
        FakeBenchPeer meter(address.c_str(), dmmPort, [&](FakeBenchPeer& peer, const std::string& line) {
            if (line == "READ?" && ++reads > 1) return c.answer(peer);
            answerFromModel(peer, line);
        });
        const auto fixture = fixturePeer();
        ASSERT_TRUE(meter.listening() && fixture->listening());
        const std::string fileBefore = testsupport::readFile(calibrationFileName);
        const std::string blockBefore(instrument.sim.flash.begin(), instrument.sim.flash.end());
        script = connectAndGo();
        for (auto& step : goUntilStopped()) script.push_back(step);
        script.push_back(check([&] {
            EXPECT_EQ(platform::controlText(stepField), std::to_string(failingRowStep));
            EXPECT_EQ(platform::controlText(dmmReading), "no reading");
            EXPECT_EQ(platform::controlText(dmmConnect), c.staysConnected ? "Connected" : "Connect");
            // The row before keeps its reading and its tick; the failing row was not calibrated.
            EXPECT_NEAR(readLeadingNumber(dmmField(0)), 10.1, 0.05);
            EXPECT_EQ(dmmField(failingRow), "10.000");
        }));
        openAdcDacCalibrationWindow();
        streaming = false;
        resetDmmLinkDefaults(); // ends a flood's blocked send

        ASSERT_EQ(scriptStep, script.size() + 1);
        ASSERT_EQ(platform::recordedDialogs().size(), 1u);
        EXPECT_EQ(platform::recordedDialogs()[0].title, "Error");
        EXPECT_EQ(platform::recordedDialogs()[0].body, "No reading from DMM at " + address + ": " + c.fault);
        EXPECT_EQ(testsupport::readFile(calibrationFileName), fileBefore);
        std::lock_guard<std::mutex> hold(instrument.lock);
        EXPECT_EQ(std::string(instrument.sim.flash.begin(), instrument.sim.flash.end()), blockBefore);
        std::printf("[ measured ] %s: longest loop pass %lld ms\n", c.name, static_cast<long long>(longestPassMs));
    }
}

TEST_F(HostileBenchTest, FloodingMeterHoldsTheWindowNoLongerThanOneReading) {
    calibrationPacing.waitScale = 1.0; // the meter's own waits, as on the bench
    std::atomic<bool> streaming{true};
    FakeBenchPeer meter(address.c_str(), dmmPort, [&](FakeBenchPeer& peer, const std::string& line) {
        if (line != "READ?") return;
        std::string lines;
        for (int i = 0; i < 256; ++i) lines += "+1.00000000E+01\n";
        while (streaming) peer.send(lines);
    });
    ASSERT_TRUE(meter.listening());
    script = {type(dmmAddress, address), press(dmmConnect), press(dmmMeasure), press(dmmMeasure),
              check([] { EXPECT_EQ(platform::controlText(dmmReading), "no reading"); })};
    openAdcDacCalibrationWindow();
    streaming = false;
    resetDmmLinkDefaults();
    const std::vector<std::string> expected = {"No reading from DMM at " + address + ": answer is not a number",
                                               "No reading from DMM at " + address + ": meter keeps sending"};
    std::vector<std::string> bodies;
    for (const platform::RecordedDialog& d : platform::recordedDialogs()) bodies.push_back(d.body);
    EXPECT_EQ(bodies, expected);
    // The first reading sets the range (500 ms), waits for the answer (500 ms) and polls (up to 200 ms);
    // the second is refused after the bounded clearing out of what keeps coming.
    EXPECT_LT(longestPassMs, 2500);
    std::printf("[ measured ] flooding meter, real waits: longest loop pass %lld ms\n", static_cast<long long>(longestPassMs));
}

TEST_F(HostileBenchTest, FixtureThatHasGoneStopsTheSequence) {
    FakeBenchPeer meter(address.c_str(), dmmPort, [this](FakeBenchPeer& peer, const std::string& line) { answerFromModel(peer, line); });
    auto fixture = fixturePeer();
    ASSERT_TRUE(meter.listening() && fixture->listening());
    script = connectAndGo();
    script.push_back([&fixture] {
        fixture.reset(); // the fixture is switched off after connecting
        return true;
    });
    for (auto& step : goUntilStopped()) script.push_back(step);
    script.push_back(check([] {
        EXPECT_EQ(platform::controlText(stepField), "2");
        EXPECT_EQ(platform::controlText(fixtureConnect), "Connect");
    }));
    openAdcDacCalibrationWindow();
    ASSERT_EQ(scriptStep, script.size() + 1);
    ASSERT_EQ(platform::recordedDialogs().size(), 1u);
    EXPECT_EQ(platform::recordedDialogs()[0].body, "Fixture at " + address + ": cannot switch to BG to V (connection lost)");
    EXPECT_TRUE(meterModel.refused.empty());
}

} // namespace
