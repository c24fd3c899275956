#include "platform_fixture.h"

using namespace platform;

TEST_F(PlatformTest, MenuOutlineCaptionsAndCheckMarks) {
    ASSERT_TRUE(openWindow(1, 0, 0, 600, 400, "Main", WindowTitleBar));
    ASSERT_TRUE(createMenuBar(1));
    int file = addMenu(1, 0, "File");
    addMenuItem(1, file, 28, "Save Image / Save Data");
    addMenuSeparator(1, file);
    addMenuItem(1, file, 33, "Use 'default.tsu' setup on start-up");
    int sampling = addMenu(1, 0, "Sampling");
    int rate = addMenu(1, sampling, "Sample Rate");
    addMenuItem(1, rate, 240, "10 Hz");
    addMenuItem(1, rate, 244, "50 Hz (default)");
    addMenuItem(1, sampling, 99, "Salt & Pepper");
    EXPECT_GT(file, 0);
    EXPECT_NE(rate, sampling);

    EXPECT_EQ(menuBarOutline(1),
              (std::vector<std::string>{"File", "28:Save Image / Save Data", "-",
                                        "33:Use 'default.tsu' setup on start-up", "Sampling", ">Sample Rate",
                                        "240:10 Hz", "244:50 Hz (default)", "<", "99:Salt & Pepper"}));
    EXPECT_EQ(menuItemCaption(1, 99), "Salt & Pepper");
    EXPECT_TRUE(menuItemExists(1, 244));
    EXPECT_FALSE(menuItemExists(1, 245));
    EXPECT_FALSE(menuItemExists(2, 244));

    EXPECT_FALSE(menuItemChecked(1, 244));
    setMenuItemChecked(1, 244, true);
    EXPECT_TRUE(menuItemChecked(1, 244));
    setMenuItemChecked(1, 244, false);
    EXPECT_FALSE(menuItemChecked(1, 244));
    setMenuItemChecked(1, 12345, true); // unknown items are ignored
    EXPECT_FALSE(menuItemChecked(1, 12345));

    EXPECT_EQ(addMenu(1, 777, "orphan"), 0) << "an unknown parent menu gives no handle";
    EXPECT_EQ(addMenu(2, 0, "no window"), 0);
}
