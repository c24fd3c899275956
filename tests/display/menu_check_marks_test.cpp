#include "display/menu_check_marks.h"

#include <gtest/gtest.h>

#include "app/program_defaults.h"
#include "base/gui_numbers.h"
#include "base/system_settings.h"
#include "sweep/sweep_parameters.h"
#include "ui/main_menu.h"
#include "platform/platform.h"

namespace {

TEST(MenuCheckMarks, MarksFollowTheSettingsAndUnknownValuesLeaveAGroupAlone) {
    platform::initPlatform();
    platform::resetPlatform();
    resetProgramDefaults();
    ASSERT_TRUE(platform::openWindow(1, 0, 0, 600, 400, "t", platform::WindowTitleBar));
    createMenuBar();
    refreshMenuCheckMarks();
    auto checked = [](int item) { return platform::menuItemChecked(1, item); };
    EXPECT_TRUE(checked(32));
    EXPECT_TRUE(checked(250));
    EXPECT_FALSE(checked(251));
    EXPECT_TRUE(checked(255));
    EXPECT_TRUE(checked(258));
    EXPECT_TRUE(checked(260));
    EXPECT_TRUE(checked(266));
    EXPECT_TRUE(checked(244));
    EXPECT_TRUE(checked(56));
    EXPECT_FALSE(checked(229));
    EXPECT_TRUE(checked(249));
    EXPECT_FALSE(checked(274));

    systemSettings.referenceGrey = "Yes";
    systemSettings.autoSave = "No";
    systemSettings.graticuleMode = "Major";
    systemSettings.keyDirection = "Sideways";
    refreshMenuCheckMarks();
    EXPECT_FALSE(checked(32));
    EXPECT_FALSE(checked(250));
    EXPECT_TRUE(checked(251));
    EXPECT_TRUE(checked(260));
    EXPECT_TRUE(checked(274));

    // Each sample rate ticks its own item and only that one.
    const std::int64_t rates[] = {10, 20, 30, 40, 50, 60, 80, 100};
    for (int i = 0; i < 8; ++i) {
        sweepParameters.sampleRate = rates[i];
        refreshMenuCheckMarks();
        for (int item = 0; item < 8; ++item)
            EXPECT_EQ(checked(gui::menuSampleRateFirst + item), item == i) << rates[i] << " Hz, item " << item;
    }
    platform::resetPlatform();
}

} // namespace
