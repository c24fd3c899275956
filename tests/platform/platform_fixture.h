// Common set-up of the platform tests: the toolkit on the offscreen platform, a clean slate per test.
#pragma once

#include <gtest/gtest.h>

#include "platform/platform.h"

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(platform::initPlatform());
        platform::resetPlatform();
    }
    void TearDown() override { platform::resetPlatform(); }

    // Returns the next event, letting the toolkit run for up to `ms` milliseconds.
    static int next(int ms = 20) {
        for (int waited = 0; waited < ms; ++waited)
            if (int code = platform::waitEvent(1)) return code;
        return platform::EventNone;
    }
    // Drops whatever the toolkit queued while windows were set up.
    static void drain() {
        while (platform::waitEvent(0) != platform::EventNone) {
        }
    }
};
