// Collector ramps: timing, phases, sums, halt limits and stop codes, high voltage, control bits.
#include <gtest/gtest.h>

#include <cmath>

#include "instrument.h"
#include "sim_host.h"

namespace {

constexpr int64_t period469Us = 20'011; // 469 units of 128/3 us, rounded up

struct Ramp : ::testing::Test {
    SimInstrument sim;

    void SetUp() override {
        startWithHighVoltage(sim, SimDevice::Resistor);
        sim.resistorOhms = 1000;
    }
    void send(const std::vector<uint8_t>& bytes) { simReceive(sim, bytes.data(), bytes.size()); }
    std::vector<HostReport> advanceUs(int64_t us) {
        simAdvance(sim, us);
        return decodeHostReports(simTakeOutput(sim));
    }
    HostReport poll() {
        const std::vector<HostReport> r = decodeHostReports(simExchange(sim, readRequest()));
        EXPECT_EQ(r.size(), 1u);
        return r.empty() ? HostReport{} : r[0];
    }
    // A ramp into the resistor device.
    RampSetup resistorRamp(double ohms, int range, bool negative, double peakVolts, double peakAmps) {
        sim.resistorOhms = ohms;
        RampSetup s;
        s.resistorRange = range;
        s.negative = negative;
        s.peakVolts = peakVolts;
        s.peakAmps = peakAmps;
        return s;
    }
    std::vector<HostReport> ramp(const RampSetup& setup) {
        send(rampTransfer(setup));
        return runUntilStopped(sim);
    }
};

TEST_F(Ramp, PhasesFollowTheTimebaseOneReportPerCycle) {
    RampSetup s;
    s.timebaseUnits = 469;
    s.startDelay = 3;
    s.runLength = 500;
    send(rampTransfer(s));
    EXPECT_TRUE(advanceUs(period469Us - 1).empty());
    std::vector<HostReport> reports = advanceUs(1);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].phase(), 1);
    reports = advanceUs(2 * period469Us);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1].phase(), 1);
    reports = advanceUs(period469Us);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].phase(), 2);

    // 1 kOhm behind 2.55 kOhm reaches 10 mA before 13 V.
    reports = runUntilStopped(sim);
    const HostReport& last = reports.back();
    EXPECT_EQ(last.stopCode(), 6);
    EXPECT_GE(last.sumIc / 5, static_cast<int32_t>(sim.registers[15]));
    ASSERT_GE(reports.size(), 2u);
    EXPECT_LT(reports[reports.size() - 2].sumIc / 5, static_cast<int32_t>(sim.registers[15]));
    for (size_t i = 0; i + 1 < reports.size(); ++i) EXPECT_EQ(reports[i].stopCode(), 0);

    // Discharging streams on for a few cycles, then the instrument falls idle and quiet.
    const std::vector<HostReport> discharge = advanceUs(10 * period469Us);
    ASSERT_EQ(discharge.size(), 5u);
    for (const HostReport& r : discharge) {
        EXPECT_EQ(r.phase(), 3);
        EXPECT_EQ(r.stopCode(), 6);
    }
    const HostReport idle = poll();
    EXPECT_EQ(idle.phase(), 0);
    EXPECT_EQ(idle.stopCode(), 6);
    send(writeFrame(regControl, controlHvSupplyOn | controlClearStopCode));
    EXPECT_EQ(poll().stopCode(), 0);
}

TEST_F(Ramp, SumsAreTheSampleCountTimesTheRawValue) {
    sim.device = SimDevice::Npn;
    RampSetup s;
    s.currentRange = 1;
    s.dacActive = dacCountsForAmps(30e-6, 1);
    const std::vector<HostReport> fiveSamples = ramp(s);
    s.shortPulse = true;
    const std::vector<HostReport> oneSample = ramp(s);
    ASSERT_EQ(fiveSamples.size(), oneSample.size());
    ASSERT_GT(fiveSamples.size(), 50u);
    for (size_t i = 0; i < oneSample.size(); ++i) {
        EXPECT_EQ(fiveSamples[i].sumVc, 5 * oneSample[i].sumVc) << i;
        EXPECT_EQ(fiveSamples[i].sumIc, 5 * oneSample[i].sumIc) << i;
        EXPECT_EQ(fiveSamples[i].sumVb, 5 * oneSample[i].sumVb) << i;
        EXPECT_EQ(fiveSamples[i].rawVr, oneSample[i].rawVr) << i;
    }
    // 30 uA into a base: a forward-biased junction, read back through the Vb calibration.
    EXPECT_NEAR(vbVolts(oneSample.back().sumVb), 0.69, 0.03);
}

TEST_F(Ramp, ResistorReadsBackThroughTheNominalCalibration) {
    struct Case {
        int range;
        double ohms;
        double peakVolts;
        double peakAmps;
    };
    const double seriesOhms[4] = {27000, 2550, 270, 24};
    const Case cases[] = {{0, 100e3, 80, 0.003}, {1, 1000, 13, 0.01}, {2, 100, 6.5, 0.1}, {3, 10, 3, 1.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ohms);
        const std::vector<HostReport> reports = ramp(resistorRamp(c.ohms, c.range, false, c.peakVolts, c.peakAmps));
        EXPECT_GE(reports.back().stopCode(), 3);
        EXPECT_LE(reports.back().stopCode(), 6);
        const double measuredOhms = 1.0 / (1.0 / c.ohms + 1.0 / 563600.0);
        int ramping = 0;
        for (const HostReport& r : reports) {
            if (r.phase() != 2 || r.sumVc < 5 * 20000) continue;
            ++ramping;
            const double volts = vcVolts(r.sumVc / 5.0);
            const double amps = icAmps(r.sumIc / 5.0, c.range);
            EXPECT_NEAR(volts / amps, measuredOhms, measuredOhms * 0.005);
            EXPECT_NEAR(vcVolts(r.rawVr), volts + amps * seriesOhms[c.range], 0.01 * volts + 0.01);
        }
        EXPECT_GT(ramping, 10);
    }
}

TEST_F(Ramp, HaltLimitsAndTimeoutGiveTheirStopCodes) {
    struct Case {
        const char* name;
        double ohms;
        int range;
        bool negative;
        double peakVolts;
        double peakAmps;
        uint32_t runLength;
        int code;
    };
    const Case cases[] = {
        {"+Vc", 1000, 1, false, 5, 0.05, 1000, 4},
        {"-Vc", 1000, 1, true, 5, 0.05, 1000, 3},
        {"+Ic", 1000, 1, false, 13, 0.002, 1000, 6},
        {"-Ic", 1000, 1, true, 13, 0.002, 1000, 5},
        {"timeout", 1000, 1, false, 100, 1.0, 40, 2},
        {"+Ic beyond the ADC", 1, 3, false, 100, 10.0, 1000, 8},
        {"-Ic beyond the ADC", 1, 3, true, 100, 10.0, 1000, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RampSetup s = resistorRamp(c.ohms, c.range, c.negative, c.peakVolts, c.peakAmps);
        s.runLength = c.runLength;
        const std::vector<HostReport> reports = ramp(s);
        ASSERT_GE(reports.size(), 3u);
        const HostReport& crossing = reports.back();
        const HostReport& before = reports[reports.size() - 2];
        EXPECT_EQ(crossing.stopCode(), c.code);
        EXPECT_EQ(crossing.phase(), 2);
        const int32_t vcLimit = static_cast<int32_t>(sim.registers[c.negative ? 12 : 13]);
        const int32_t icLimit = static_cast<int32_t>(sim.registers[c.negative ? 14 : 15]);
        const int sign = c.negative ? -1 : 1;
        if (c.code == 3 || c.code == 4) {
            EXPECT_GE(sign * crossing.sumVc / 5, sign * vcLimit);
            EXPECT_LT(sign * before.sumVc / 5, sign * vcLimit);
        }
        if (c.code == 5 || c.code == 6) {
            EXPECT_GE(sign * crossing.sumIc / 5, sign * icLimit);
            EXPECT_LT(sign * before.sumIc / 5, sign * icLimit);
        }
        if (c.code == 2) {
            int ramping = 0;
            for (const HostReport& r : reports) ramping += r.phase() == 2;
            EXPECT_EQ(ramping, 40);
        }
        advanceUs(10 * period469Us);
    }
}

TEST_F(Ramp, StopCommandEndsTheRampWithCodeOne) {
    send(writeFrame(regControl, controlHvSupplyOn | controlStop)); // stop while idle does nothing
    EXPECT_EQ(poll().stopCode(), 0);

    RampSetup s;
    s.peakVolts = 100;
    send(rampTransfer(s));
    std::vector<HostReport> reports = advanceUs(30'000);
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().phase(), 2);
    send(writeFrame(regControl, controlHvSupplyOn | controlStop));
    reports = advanceUs(10'000);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].stopCode(), 1);
    EXPECT_EQ(reports[0].phase(), 3);
}

TEST_F(Ramp, PollsDuringARunGetNoExtraReport) {
    RampSetup s;
    s.startDelay = 20;
    send(rampTransfer(s));
    int64_t elapsedUs = 0;
    size_t streamed = 0;
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(simExchange(sim, readRequest()).empty()); // the program polls every 250 ms
        streamed += advanceUs(25'000).size();
        elapsedUs += 25'000;
    }
    EXPECT_EQ(streamed, static_cast<size_t>(elapsedUs * 3 / (234 * 128)));
    EXPECT_EQ(sim.readRequestsAbsorbed, 8u);
    runUntilStopped(sim);
    advanceUs(100'000);
    EXPECT_EQ(poll().phase(), 0);
}

TEST_F(Ramp, HighVoltagePassesThroughTheTransitionStates) {
    resetSimInstrumentDefaults(sim);
    auto pollsEvery50ms = [&](int count) {
        std::vector<int> states;
        for (int i = 0; i < count; ++i) {
            states.push_back(poll().hvState());
            advanceUs(50'000);
        }
        return states;
    };
    send(writeFrame(regControl, controlHvStartRequest)); // a start request without the supply bit does nothing
    EXPECT_EQ(pollsEvery50ms(2), (std::vector<int>{0, 0}));
    send(writeFrame(regControl, controlHvSupplyOn | controlHvStartRequest));
    EXPECT_EQ(pollsEvery50ms(5), (std::vector<int>{0, 1, 2, 3, 3}));
    send(writeFrame(regControl, controlHvSupplyOn | controlHvStopRequest));
    EXPECT_EQ(pollsEvery50ms(5), (std::vector<int>{3, 2, 1, 0, 0}));
    send(writeFrame(regControl, controlHvSupplyOn | controlHvStartRequest));
    advanceUs(200'000);
    send(writeFrame(1, 0)); // the supply bit cleared switches it off as well
    EXPECT_EQ(pollsEvery50ms(4), (std::vector<int>{3, 2, 1, 0}));
}

TEST_F(Ramp, WithoutHighVoltageTheRampTimesOutAtZeroVolts) {
    send(writeFrame(regControl, controlHvSupplyOn | controlHvStopRequest));
    advanceUs(200'000);
    RampSetup s;
    s.hvStart = false;
    s.runLength = 60;
    const std::vector<HostReport> reports = ramp(s);
    EXPECT_EQ(reports.back().stopCode(), 2);
    for (const HostReport& r : reports) EXPECT_EQ(r.sumVc, 0);
}

TEST_F(Ramp, ClearAndRunWhileDischargingStartsTheNextRamp) {
    RampSetup s;
    ramp(s);
    // What the program does right after a limit: clear the stop code, then send the next step.
    send(writeFrame(regControl, controlHvSupplyOn | controlClearStopCode));
    std::vector<HostReport> reports = advanceUs(period469Us);
    ASSERT_EQ(reports.size(), 2u); // 100 reports per second
    EXPECT_EQ(reports[0].phase(), 3);
    EXPECT_EQ(reports[0].stopCode(), 0);
    send(rampTransfer(s));
    reports = runUntilStopped(sim);
    EXPECT_EQ(reports[0].phase(), 1);
    EXPECT_EQ(reports[1].phase(), 1);
    EXPECT_EQ(reports[2].phase(), 2);
    EXPECT_EQ(reports.back().stopCode(), 6);
}

TEST_F(Ramp, SecondRunCommandDoesNotRestartARamp) {
    RampSetup s;
    s.startDelay = 10;
    send(rampTransfer(s));
    advanceUs(50'000);
    send(rampTransfer(s));
    int preparing = 0;
    for (const HostReport& r : runUntilStopped(sim)) preparing += r.phase() == 1;
    EXPECT_EQ(preparing, 10 - 5);
}

TEST_F(Ramp, InitialiseAbandonsTheRunAndSwitchesTheHighVoltageOff) {
    const uint16_t firstWord = poll().calibrationWord;
    RampSetup s;
    s.startDelay = 50;
    send(rampTransfer(s));
    advanceUs(100'000);
    send(writeFrame(regControl, controlHvSupplyOn | controlInitialiseAfterConnect));
    EXPECT_TRUE(advanceUs(100'000).empty());
    const HostReport r = poll();
    EXPECT_EQ(r.phase(), 0);
    EXPECT_EQ(r.stopCode(), 0);
    EXPECT_EQ(r.hvState(), 1);
    EXPECT_FALSE(r.calibrationSync()); // the calibration stream runs on undisturbed
    EXPECT_NE(r.calibrationWord, firstWord);
    advanceUs(100'000);
    EXPECT_EQ(poll().hvState(), 0);
}

TEST_F(Ramp, UnusableTimebaseFallsBackToThePowerUpOne) {
    for (uint32_t units : {0u, 50u, 70000u}) {
        SCOPED_TRACE(units);
        RampSetup s;
        s.timebaseUnits = units;
        s.startDelay = 5;
        send(rampTransfer(s));
        EXPECT_EQ(advanceUs(period469Us - 1).size(), 0u);
        EXPECT_EQ(advanceUs(1).size(), 1u);
        send(writeFrame(regControl, controlHvSupplyOn | controlStop));
        advanceUs(10 * period469Us);
    }
}

} // namespace
