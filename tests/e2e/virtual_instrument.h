// Fixture: the whole program, started in a scratch installation, talking over a real pty to the
// virtual instrument running as its own process; the test drives it with posted events.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/main_loop.h"
#include "base/settings_file.h"
#include "app/shell_state.h"
#include "base/system_settings.h"
#include "app/startup.h"
#include "calibration/calibration_file.h"
#include "link/instrument_link.h"
#include "nominal_cal.h"
#include "sim_process.h"
#include "sweep/sweep_parameters.h"
#include "sweep/sweep_state_machine.h"
#include "test_support.h"
#include "platform/platform.h"

class ProgramOnSim : public ::testing::Test {
protected:
    testsupport::ScratchDirectory scratch;
    SimProcess sim;

    void SetUp() override {
        std::filesystem::copy(KRV_SOURCE_DIR "/install", scratch.path(), std::filesystem::copy_options::recursive);
        testsupport::writeFile("settings/system_settings.txt",
                               "KRV_ComPort=" + std::to_string(simPort) + "\r\nCheckWebsiteForUpdate=0\r\n");
        testsupport::writeFile("KRV_cal.txt", nominalCalibrationText());
        platform::initPlatform();
        platform::resetPlatform();
        platform::installDialogRecorder([](const platform::RecordedDialog&) { return std::string("ok"); });
        platform::clearRecordedDialogs();
        startProgram();
        resetSweepParametersDefaults();
        ASSERT_TRUE(loadCalibrationFileFrom("KRV_cal.txt"));
    }
    void TearDown() override {
        resetInstrumentLinkDefaults();
        sim.stop();
        platform::removeDialogRecorder();
        platform::resetPlatform();
    }

    // Runs main loop passes until `done` holds; false on time-out.
    static bool runUntil(const std::function<bool()>& done, int ms,
                         const std::function<void()>& afterPass = [] {}) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            if (done()) return true;
            mainLoopPass();
            afterPass();
        }
        return done();
    }
    static bool connected() { return instrumentLink.linkConnected.load() == 1; }
    static void press(int control) { platform::postControlEvent(control); }

    // A quick sweep on a resistor: few steps, fast reports.
    void useShortSweep(int steps) {
        sweepParameters.sampleRate = 10;
        sweepParameters.stepCount = steps;
        sweepParameters.collectorPeakVoltage = 6.5;
        sweepParameters.collectorPeakCurrent = 0.005;
    }
    void connect() {
        press(273);
        ASSERT_TRUE(runUntil(connected, 2000));
    }
};
