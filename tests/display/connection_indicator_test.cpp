#include "display/connection_indicator.h"

#include <gtest/gtest.h>

#include "base/gui_numbers.h"
#include "link/comms_thread.h"
#include "link/instrument_link.h"
#include "platform/platform.h"

namespace {

constexpr platform::Rgb green = 0x00C000;
constexpr platform::Rgb red = 0xC00000;

class ConnectionIndicatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::initPlatform();
        platform::resetPlatform();
        resetInstrumentLinkDefaults();
        resetCommsDefaults();
        resetConnectionIndicatorDefaults();
        platform::setNumberedImage(gui::imageConnected, platform::Image(4, 4, green));
        platform::setNumberedImage(gui::imageDisconnected, platform::Image(4, 4, red));
        ASSERT_TRUE(platform::openWindow(gui::mainWindow, 0, 0, 400, 300, "t", platform::WindowTitleBar));
        ASSERT_TRUE(platform::createPicture(gui::controlConnectionImage, gui::mainWindow, 0, 0, 0,
                                            platform::Image(4, 4, 0)));
        ASSERT_TRUE(platform::createText(gui::controlCommsStatusText, gui::mainWindow, 0, 10, 0, 200, 20, " OK"));
    }
    void TearDown() override {
        resetInstrumentLinkDefaults();
        platform::resetPlatform();
    }
    static platform::Rgb shownColour() { return platform::controlImage(gui::controlConnectionImage).pixel(1, 1); }
};

TEST_F(ConnectionIndicatorTest, ShowsTheLinkStateAndSaysWhenItIsLost) {
    instrumentLink.linkConnected.store(0);
    checkForLostLink();
    EXPECT_EQ(shownColour(), red);
    EXPECT_EQ(platform::controlText(gui::controlCommsStatusText), " USB disconnected");

    platform::setControlText(gui::controlCommsStatusText, " OK");
    instrumentLink.linkConnected.store(1);
    checkForLostLink();
    EXPECT_EQ(shownColour(), green);
    EXPECT_EQ(platform::controlText(gui::controlCommsStatusText), " OK");

    // Only a change is drawn, unless a redraw is forced.
    platform::setControlImage(gui::controlConnectionImage, platform::Image(4, 4, 0));
    refreshConnectionIndicator();
    EXPECT_EQ(shownColour(), 0u);
    forceConnectionIndicatorRedraw();
    refreshConnectionIndicator();
    EXPECT_EQ(shownColour(), green);
}

} // namespace
