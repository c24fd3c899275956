// The whole program calibrating the virtual instrument through the menu: the ADC/DAC calibration
// window's factory sequence over the comms thread, with krv650-sim serving the meter (1 % high) and
// the relay fixture on the LAN.
#include <cmath>

#include "base/gui_numbers.h"
#include "calibration/calibration_pacing.h"
#include "calibration/dmm_link.h"
#include "calibration/fixture_link.h"
#include "support/bench_addresses.h"
#include "ui/adc_dac_window_layout.h"
#include "ui/calibration_window_parts.h"
#include "virtual_instrument.h"

namespace {

using namespace adcdac;

double off(double value, double expected) {
    return std::fabs(value / expected - 1.0);
}

TEST_F(ProgramOnSim, FactorySequenceFromTheMenuCalibratesAgainstTheVirtualMeter) {
    ASSERT_TRUE(sim.start({"--meter", benchaddress::programOnSimBench, "--speed", "10"}));
    connect();
    testsupport::writeFile("prep.txt", "563600\r\n22000\r\n2700\r\n150\r\n33\r\n");
    calibrationPacing.waitScale = 0.08;
    const char* bench = benchaddress::programOnSimBench;
    const std::vector<std::function<bool()>> steps = {
        [&] { platform::setControlText(dmmAddress, bench); platform::postControlEvent(dmmConnect); return true; },
        [&] { platform::setControlText(fixtureAddress, bench); platform::postControlEvent(fixtureConnect); return true; },
        [] { platform::postControlEvent(goButton); return true; },
        [] { return platform::controlText(goButton) == "Stop!"; },
        [] { return platform::controlText(goButton) == "Go!"; },
    };
    std::size_t step = 0;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(150);
    calibrationWindowPassHook = [&] {
        if (step < steps.size() && steps[step]()) ++step;
        if (step == steps.size() || std::chrono::steady_clock::now() > giveUp) {
            platform::postCloseEvent(calwin::adcDacWindow);
            step = steps.size() + 1;
        }
    };
    platform::postMenuEvent(gui::menuCalibrateAdcDac);
    runUntil([&] { return step > steps.size(); }, 1000);
    calibrationWindowPassHook = nullptr;
    resetCalibrationPacingDefaults();
    resetDmmLinkDefaults();
    resetFixtureLinkDefaults();
    ASSERT_LT(std::chrono::steady_clock::now(), giveUp) << "sequence did not end";
    for (const platform::RecordedDialog& d : platform::recordedDialogs()) ADD_FAILURE() << d.title << ": " << d.body;
    EXPECT_FALSE(connected()); // the window lets go of the instrument when it closes

    EXPECT_EQ(testsupport::readFile("KRV_cal.txt").size(), 1024u);
    const CalibrationCoefficients& c = calibrationCoefficients;
    const double gain = 1.01;
    EXPECT_LT(off(rawToVolts(voltsToRawVc(12.0), c.vcAdc), gain * 12.0), 0.005);
    EXPECT_LT(off(rawToVolts(voltsToRawVb(1.0), c.vbAdc), gain * 1.0), 0.005);
    const double boardOhms[4] = {22000.0, 2700.0, 150.0, 33.0};
    for (int k = 0; k < 4; ++k) {
        const double amps = 15.0 / boardOhms[k];
        const LinearCal& ic = c.icAdc[static_cast<std::size_t>(k)];
        EXPECT_LT(off(ampsToRawIc(amps, k) * ic.slope + ic.intercept, gain * amps), 0.005) << k;
    }
    const std::int64_t counts = levelToDacCounts(5.0, DriveMode::Voltage, 3, DacLevel::Active);
    EXPECT_LT(off(gain * dacCountsToVolts(counts, false), 5.0), 0.005);
    const std::int64_t microCounts = levelToDacCounts(-15e-6, DriveMode::Current, 0, DacLevel::Idle);
    EXPECT_LT(off(gain * dacCountsToAmps(microCounts, 0, true), -15e-6), 0.005);
}

} // namespace
