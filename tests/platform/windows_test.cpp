#include "platform_fixture.h"

using namespace platform;

TEST_F(PlatformTest, WindowSizeIncludesTheMenuBarAndControlsSitBelowIt) {
    ASSERT_TRUE(openWindow(1, 0, 0, 500, 500, "Main", WindowTitleBar | WindowSystemMenu | WindowSizeGadget));
    EXPECT_EQ(menuBarHeight(1), 0);
    ASSERT_TRUE(createMenuBar(1));
    addMenuItem(1, addMenu(1, 0, "File"), 28, "Save");
    int m = menuBarHeight(1);
    EXPECT_GT(m, 10);
    EXPECT_LT(m, 50);

    resizeWindow(1, 1402, 832);
    EXPECT_EQ(windowWidth(1), 1402);
    EXPECT_EQ(windowHeight(1), 832);
    ASSERT_TRUE(createContainer(59, 1, 0, 0, 0, 288, 832 - m, rgb(0, 0, 0)));
    setWindowColour(1, rgb(0, 0, 128));

    Image shot = grabWindow(1);
    ASSERT_EQ(shot.width(), 1402);
    ASSERT_EQ(shot.height(), 832);
    // The black column starts right under the menu bar and reaches the bottom edge.
    EXPECT_EQ(shot.pixel(10, m), rgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(287, 831), rgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(288, 400), rgb(0, 0, 128));
    // The menu bar keeps its own colours whatever the window's background.
    EXPECT_NE(shot.pixel(10, m - 1), rgb(0, 0, 0));
    EXPECT_NE(shot.pixel(700, m / 2), rgb(0, 0, 128));
}

TEST_F(PlatformTest, WindowPropertiesAndClosing) {
    ASSERT_TRUE(openWindow(1, 30, 40, 300, 200, "One", WindowTitleBar));
    ASSERT_TRUE(openWindow(223, 200, 10, 635, 320, "COM port select", WindowTitleBar, 1));
    ASSERT_TRUE(createButton(293, 223, 0, 310, 73, 300, 20, "Scan"));
    EXPECT_EQ(windowTitle(223), "COM port select");
    setWindowTitle(1, "Renamed");
    EXPECT_EQ(windowTitle(1), "Renamed");
    EXPECT_EQ(windowX(1), 30);
    EXPECT_EQ(windowY(1), 40);
    moveWindow(1, 5, 6);
    EXPECT_EQ(windowX(1), 5);
    EXPECT_EQ(activeWindow(), 223);

    closeWindow(223);
    EXPECT_FALSE(windowExists(223));
    EXPECT_FALSE(controlExists(293)) << "controls go with their window";
    EXPECT_EQ(activeWindow(), 1);

    ASSERT_TRUE(openWindow(2, 0, 0, 100, 100, "child", WindowTitleBar, 1));
    closeWindow(1);
    EXPECT_FALSE(windowExists(1));
    EXPECT_FALSE(windowExists(2)) << "a window's own windows close with it";
    EXPECT_EQ(activeWindow(), 0);
}

TEST_F(PlatformTest, ActiveWindowOverride) {
    ASSERT_TRUE(openWindow(1, 0, 0, 100, 100, "a", WindowTitleBar));
    ASSERT_TRUE(openWindow(2, 0, 0, 100, 100, "b", WindowTitleBar));
    EXPECT_EQ(activeWindow(), 2);
    setActiveWindow(1);
    EXPECT_EQ(activeWindow(), 1);
    overrideActiveWindow(0);
    EXPECT_EQ(activeWindow(), 0);
    overrideActiveWindow(-1);
    EXPECT_EQ(activeWindow(), 1);
}

TEST_F(PlatformTest, InvisibleAndFixedSizeWindows) {
    ASSERT_TRUE(openWindow(5, 0, 0, 320, 240, "hidden", WindowTitleBar | WindowInvisible));
    EXPECT_TRUE(windowExists(5));
    EXPECT_EQ(activeWindow(), 0);
    resizeWindow(5, 400, 250);
    EXPECT_EQ(windowWidth(5), 400);
    EXPECT_EQ(windowHeight(5), 250);
    EXPECT_EQ(grabWindow(5).width(), 400);
}
