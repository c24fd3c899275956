// Fixture for the calibration windows: a scratch working directory, recorded dialogs, shortened waits,
// and a script of steps that the window's loop runs one by one after its passes. The ADC/DAC window
// also gets the virtual instrument in-process: every settings transfer goes to it, and every pass lets
// its time run on and puts what it reports into the report ring.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "calibration/calibration_file.h"
#include "calibration/calibration_pacing.h"
#include "calibration/dmm_link.h"
#include "calibration/fixture_link.h"
#include "instrument.h"
#include "link/comms_thread.h"
#include "nominal_cal.h"
#include "link/instrument_link.h"
#include "link/protocol.h"
#include "link/register_transfer.h"
#include "support/logic_defaults.h"
#include "sweep/calibration_transfer.h"
#include "sweep/sweep_state_machine.h"
#include "test_support.h"
#include "ui/calibration_window_parts.h"
#include "ui/calibration_windows.h"
#include "platform/platform.h"

// The virtual instrument on the GUI thread; the bench peers' threads read it under the lock.
struct InProcessInstrument {
    SimInstrument sim;
    std::mutex lock;
    std::int64_t microsecondsPerPass = 50000;
    std::vector<std::vector<std::uint8_t>> transfers; // every settings transfer, as sent

    void attach() {
        resetSimInstrumentDefaults(sim);
        frameSender = [this](const std::uint8_t* bytes, std::size_t length) {
            std::lock_guard<std::mutex> hold(lock);
            transfers.emplace_back(bytes, bytes + length);
            simReceive(sim, bytes, length);
        };
    }
    // One pass of the comms thread: a poll while idle (a running ramp streams by itself), then the reports.
    void pump() {
        std::vector<std::uint8_t> out;
        {
            std::lock_guard<std::mutex> hold(lock);
            simAdvance(sim, microsecondsPerPass);
            if (sim.phase == 0) {
                const Frame poll = buildReadRequestFrame();
                simReceive(sim, poll.data(), poll.size());
            }
            out = simTakeOutput(sim);
        }
        for (std::size_t at = 0; at + reportSize <= out.size(); at += reportSize) {
            const DecodedReport decoded = decodeReport(out.data() + at);
            if (decoded.checksumOk) storeReportInRing(decoded.report);
        }
    }
};

class CalibrationWindowTest : public ::testing::Test {
protected:
    testsupport::ScratchDirectory scratch;
    std::vector<std::function<bool()>> script; // each step runs until it returns true
    std::size_t scriptStep = 0;
    long passes = 0;
    long passLimit = 200000;
    int window = 0; // closed when the script has run out or the pass limit is reached

    void SetUp() override {
        std::filesystem::create_directory("debug"); // the register dumps of the settings transfers
        platform::initPlatform();
        platform::resetPlatform();
        platform::installDialogRecorder([](const platform::RecordedDialog&) { return std::string("ok"); });
        platform::clearRecordedDialogs();
        resetLogicDefaults();
        resetDmmLinkDefaults();
        resetFixtureLinkDefaults();
        resetCommsDefaults();
        resetSweepStateMachineDefaults();
        resetCalibrationTransferDefaults();
        calibrationPacing.waitScale = 0.01;
        reportRing.ringWriterAck.store(1); // no comms thread: the test stands in for it
        calibrationWindowPassHook = [this] { runScript(); };
    }
    void TearDown() override {
        calibrationWindowPassHook = nullptr;
        resetDmmLinkDefaults();
        resetFixtureLinkDefaults();
        resetInstrumentLinkDefaults();
        resetLogicDefaults();
        resetCalibrationPacingDefaults();
        platform::removeDialogRecorder();
        platform::resetPlatform();
    }

    virtual void everyPass() {}

    // The ADC/DAC window on `instrument`, connected, with the nominal KRV_cal.txt loaded.
    void useInstrument(InProcessInstrument& instrument) {
        window = calwin::adcDacWindow;
        instrument.attach();
        instrumentLink.linkConnected.store(1);
        testsupport::writeFile(calibrationFileName, nominalCalibrationText());
        ASSERT_TRUE(loadCalibrationFileFrom(calibrationFileName));
    }

    void runScript() {
        everyPass();
        ++passes;
        if (scriptStep < script.size() && script[scriptStep]()) ++scriptStep;
        if (scriptStep == script.size() || passes == passLimit) {
            if (passes == passLimit) ADD_FAILURE() << "window still open at script step " << scriptStep;
            scriptStep = script.size() + 1; // close once
            platform::postCloseEvent(window);
        }
    }

    // Script steps.
    static std::function<bool()> press(int control) {
        return [control] {
            platform::postControlEvent(control);
            return true;
        };
    }
    static std::function<bool()> type(int control, const std::string& text) {
        return [control, text] {
            platform::setControlText(control, text);
            platform::postControlEvent(control, platform::ControlChange);
            return true;
        };
    }
    static std::function<bool()> check(std::function<void()> checks) {
        return [checks] {
            checks();
            return true;
        };
    }
    static std::function<bool()> waitFor(std::function<bool()> condition) { return condition; }

    static std::vector<std::string> dialogTitles() {
        std::vector<std::string> titles;
        for (const platform::RecordedDialog& d : platform::recordedDialogs()) titles.push_back(d.title);
        return titles;
    }
};
