// Fixture: the whole program started in a scratch installation under the offscreen platform; tests
// drive its real main loop with posted events.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>

#include "app/main_loop.h"
#include "app/startup.h"
#include "link/instrument_link.h"
#include "test_support.h"
#include "platform/platform.h"

inline bool sameImage(const platform::Image& a, const platform::Image& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) return false;
    return true;
}

class MainWindowTest : public ::testing::Test {
protected:
    testsupport::ScratchDirectory scratch;

    // Extra settings lines (CR LF each) written before the start.
    virtual std::string extraSettings() { return ""; }

    void SetUp() override {
        std::filesystem::copy(KRV_SOURCE_DIR "/install", scratch.path(), std::filesystem::copy_options::recursive);
        // The update check is on but already done today, so nothing reaches for the network.
        testsupport::writeFile("settings/system_settings.txt",
                               "CheckWebsiteForUpdate=1\r\nDateOfLastUpdateCheck=" + testsupport::todayDayMonthYear() + "\r\n" +
                                   extraSettings());
        platform::initPlatform();
        platform::resetPlatform();
        platform::installDialogRecorder([](const platform::RecordedDialog&) { return std::string("ok"); });
        platform::clearRecordedDialogs();
        startProgram();
        platform::overrideActiveWindow(1);
    }
    void TearDown() override {
        resetInstrumentLinkDefaults();
        platform::removeDialogRecorder();
        platform::overrideActiveWindow(-1);
        platform::resetPlatform();
    }

    void passes(int n) {
        for (int i = 0; i < n; ++i) mainLoopPass();
    }
    void click(int control) {
        platform::postControlEvent(control);
        mainLoopPass();
    }
    bool runUntil(const std::function<bool()>& done, int timeoutMs) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < end) {
            mainLoopPass();
            if (done()) return true;
        }
        return false;
    }
};
