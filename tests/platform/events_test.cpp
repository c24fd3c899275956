#include "platform_fixture.h"

#include <chrono>

using namespace platform;

TEST_F(PlatformTest, PostedEventsComeOutInOrderWithTheirDetails) {
    ASSERT_TRUE(openWindow(1, 0, 0, 300, 200, "main", WindowTitleBar));
    ASSERT_TRUE(createPicture(273, 1, 0, 0, 0, Image(10, 10)));
    drain();
    postControlEvent(273);
    postMenuEvent(245, 1);
    postMouseEvent(EventLeftButtonDown, 1, 40, 50);
    postMouseEvent(EventLeftDoubleClick, 1, 40, 50);
    postCloseEvent(1);
    postWindowEvent(EventDeactivateWindow, 223);
    postControlEvent(290, ControlChange);

    EXPECT_EQ(waitEvent(0), EventControl);
    EXPECT_EQ(eventControl(), 273);
    EXPECT_EQ(eventWindow(), 1);
    EXPECT_EQ(eventType(), ControlLeftClick);
    EXPECT_EQ(waitEvent(1), EventMenu);
    EXPECT_EQ(eventMenuItem(), 245);
    EXPECT_EQ(waitEvent(1), EventLeftButtonDown);
    EXPECT_EQ(mouseX(1), 40);
    EXPECT_EQ(mouseY(1), 50);
    EXPECT_EQ(waitEvent(1), EventLeftDoubleClick);
    EXPECT_EQ(waitEvent(1), EventCloseWindow);
    EXPECT_EQ(eventWindow(), 1);
    EXPECT_TRUE(windowExists(1)) << "a close request must not close the window by itself";
    EXPECT_EQ(waitEvent(1), EventDeactivateWindow);
    EXPECT_EQ(eventWindow(), 223);
    EXPECT_EQ(waitEvent(1), EventControl);
    EXPECT_EQ(eventControl(), 290);
    EXPECT_EQ(eventType(), ControlChange);
    EXPECT_EQ(waitEvent(0), EventNone);
    EXPECT_EQ(eventControl(), 0) << "details belong to the last event only";
}

TEST_F(PlatformTest, IdleWaitReturnsWithinItsTimeOut) {
    ASSERT_TRUE(openWindow(1, 0, 0, 300, 200, "main", WindowTitleBar));
    drain();
    using Clock = std::chrono::steady_clock;
    auto worst = Clock::duration::zero();
    for (int i = 0; i < 50; ++i) {
        auto start = Clock::now();
        EXPECT_EQ(waitEvent(1), EventNone);
        worst = std::max(worst, Clock::now() - start);
    }
    // Generous bound for a loaded machine: the point is that it does not block on the toolkit.
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(worst).count(), 50);
    auto start = Clock::now();
    EXPECT_EQ(waitEvent(30), EventNone);
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(), 25)
        << "a longer time-out is waited out";
}

TEST_F(PlatformTest, ResetDropsPendingEvents) {
    postControlEvent(1);
    postCloseEvent(1);
    resetPlatform();
    EXPECT_EQ(waitEvent(0), EventNone);
}
