// The factory sequence "Auto (1-93)" from start to end on the in-process virtual instrument, with the
// virtual meter (reading 1 % high) and the relay fixture served on the LAN: the coefficients it leaves
// convert the instrument as the meter sees it.
#include <cmath>

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

constexpr double meterGain = 1.01;

class FactorySequenceTest : public CalibrationWindowTest {
protected:
    InProcessInstrument instrument;
    SimMeter meterModel;
    SimFixture fixtureModel;
    FakeBenchPeer meter{benchaddress::factorySequenceBench, dmmPort, [this](FakeBenchPeer& peer, const std::string& line) {
                            std::lock_guard<std::mutex> hold(instrument.lock);
                            if (const auto answer = simMeterCommand(meterModel, instrument.sim, line)) peer.send(*answer);
                        }};
    FakeBenchPeer fixture{benchaddress::factorySequenceBench, fixturePort,
                          [this](FakeBenchPeer&, const std::string& command) {
                              std::lock_guard<std::mutex> hold(instrument.lock);
                              simFixtureCommand(fixtureModel, instrument.sim, command);
                          },
                          '\r'};

    void SetUp() override {
        CalibrationWindowTest::SetUp();
        calibrationPacing.waitScale = 0.05; // each level settles for over 100 reports, as on the bench
        meterModel.gainError = meterGain - 1.0;
        useInstrument(instrument);
        testsupport::writeFile("prep.txt", "563600\r\n22000\r\n2700\r\n150\r\n33\r\n");
    }
    void everyPass() override { instrument.pump(); }
};

// Relative difference.
double off(double value, double expected) {
    return std::fabs(value / expected - 1.0);
}

TEST_F(FactorySequenceTest, AutoOneToNinetyThreeCalibratesAgainstTheMeter) {
    ASSERT_TRUE(meter.listening());
    ASSERT_TRUE(fixture.listening());
    script = {
        type(dmmAddress, benchaddress::factorySequenceBench),
        press(dmmConnect),
        type(fixtureAddress, benchaddress::factorySequenceBench),
        press(fixtureConnect),
        press(goButton),
        check([] { EXPECT_EQ(platform::controlText(goButton), "Stop!"); }),
        waitFor([] { return platform::controlText(goButton) == "Go!"; }),
        check([] { EXPECT_EQ(platform::controlText(stepField), "94"); }),
    };
    openAdcDacCalibrationWindow();
    ASSERT_EQ(scriptStep, script.size() + 1);
    EXPECT_TRUE(platform::recordedDialogs().empty());

    // The file was written, loaded and uploaded.
    const std::string file = testsupport::readFile(calibrationFileName);
    ASSERT_EQ(file.size(), 1024u);
    EXPECT_EQ(std::string(instrument.sim.flash.begin(), instrument.sim.flash.end()), file);

    // Readings converted with the new coefficients agree with the meter within 0.5 %.
    const CalibrationCoefficients& c = calibrationCoefficients;
    for (double volts : {-9.0, 4.0, 12.0}) {
        SCOPED_TRACE(volts);
        EXPECT_LT(off(rawToVolts(voltsToRawVc(volts), c.vcAdc), meterGain * volts), 0.005);
        EXPECT_LT(off(rawToVolts(voltsToRawVb(volts / 8.0), c.vbAdc), meterGain * volts / 8.0), 0.005);
    }
    const double boardOhms[4] = {22000.0, 2700.0, 150.0, 33.0};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        const double amps = 15.0 / boardOhms[k];
        const LinearCal& ic = c.icAdc[static_cast<std::size_t>(k)];
        EXPECT_LT(off(ampsToRawIc(amps, k) * ic.slope + ic.intercept, meterGain * amps), 0.005);
        EXPECT_LT(off(ampsToRawIc(-amps, k) * ic.slope + ic.intercept, -meterGain * amps), 0.005);
    }
    // The step generator, set with the new coefficients, gives what the meter reads as the level asked for.
    for (double volts : {-7.5, 5.0}) {
        for (bool idle : {false, true}) {
            const std::int64_t counts = levelToDacCounts(volts, DriveMode::Voltage, 3, idle ? DacLevel::Idle : DacLevel::Active);
            EXPECT_LT(off(meterGain * dacCountsToVolts(counts, idle), volts), 0.005) << volts << " idle " << idle;
        }
    }
    const double rangeAmps[4] = {15e-6, 150e-6, 1.5e-3, 15e-3};
    for (int range = 0; range < 4; ++range) {
        for (double sign : {-1.0, 1.0}) {
            const double amps = sign * rangeAmps[range];
            const std::int64_t counts = levelToDacCounts(amps, DriveMode::Current, range, DacLevel::Active);
            EXPECT_LT(off(meterGain * dacCountsToAmps(counts, range, false), amps), 0.005) << amps;
        }
    }

    // The fixture went through the sections in order and ended with every relay open.
    std::vector<std::string> expected;
    for (const char* relays : {"01", "04", "03", "10", "20", "40", "80", "00"}) {
        expected.push_back(std::string("#010A") + relays);
        expected.push_back("#010B00");
    }
    std::lock_guard<std::mutex> hold(instrument.lock);
    EXPECT_EQ(fixtureModel.received, expected);
}

} // namespace
