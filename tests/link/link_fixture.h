// Fixture: the program's link connected through ports/COM7 to a FakeInstrument.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "fake_instrument.h"
#include "link/comms_thread.h"
#include "link/register_transfer.h"
#include "link/instrument_link.h"
#include "base/elapsed_clock.h"
#include "base/system_settings.h"
#include "sweep/instrument_connection.h"
#include "sweep/instrument_values.h"
#include "link/serial_port.h"
#include "test_support.h"

inline bool waitFor(const std::function<bool()>& condition, int ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return condition();
}

inline bool linkUp() {
    return instrumentLink.linkConnected.load() == 1;
}

inline int ringWriteIndex() {
    return reportRing.ringWriteIndex.load();
}

class LinkTest : public ::testing::Test {
protected:
    std::unique_ptr<testsupport::ScratchDirectory> scratch;
    std::unique_ptr<FakeInstrument> instrument;

    void SetUp() override {
        scratch = std::make_unique<testsupport::ScratchDirectory>();
        std::filesystem::create_directories("debug");
        resetInstrumentLinkDefaults();
        resetCommsDefaults();
        instrument = std::make_unique<FakeInstrument>();
        ASSERT_TRUE(instrument->start());
        linkComPort(7, instrument->pty.slavePath);
        systemSettings.comPortNumber = 7;
    }
    void TearDown() override {
        resetInstrumentLinkDefaults();
        instrument.reset();
        scratch.reset();
    }
    // Replaces the instrument with a new one on the same port name (a re-plugged device).
    void replaceInstrument() {
        instrument = std::make_unique<FakeInstrument>();
        ASSERT_TRUE(instrument->start());
        linkComPort(7, instrument->pty.slavePath);
    }
    // Takes every report the ring holds, waiting up to `ms` for `count` of them.
    std::vector<Report> takeReports(int count, int ms) {
        std::vector<Report> out;
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (static_cast<int>(out.size()) < count && std::chrono::steady_clock::now() < end) {
            if (takeReport()) out.push_back(currentReport);
            else std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return out;
    }
};
