#include "platform_fixture.h"

#include <QWidget>

#include "platform/platform_internal.h"

using namespace platform;

class Controls : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ASSERT_TRUE(openWindow(1, 0, 0, 800, 600, "Main", WindowTitleBar));
    }
};

TEST_F(Controls, PictureTakesTheImageSizeAndShowsACopy) {
    Image image(24, 72, rgb(43, 144, 220));
    ASSERT_TRUE(createPicture(318, 1, 0, 1, 227, image));
    EXPECT_EQ(controlWidth(318), 24);
    EXPECT_EQ(controlHeight(318), 72);
    EXPECT_EQ(controlX(318), 1);
    EXPECT_EQ(controlY(318), 227);

    // Redrawing the same image for another control leaves the first one as it was.
    fillRect(image, 0, 0, 24, 72, rgb(255, 0, 0));
    EXPECT_EQ(controlImage(318).pixel(5, 5), rgb(43, 144, 220));

    setControlImage(318, Image(119, 18, rgb(21, 51, 80)));
    EXPECT_EQ(controlWidth(318), 119);
    EXPECT_EQ(controlHeight(318), 18);
    EXPECT_EQ(controlImage(318).pixel(100, 10), rgb(21, 51, 80));

    // The screen shows the picture too.
    Image shot = grabWindow(1);
    EXPECT_EQ(shot.pixel(1 + 50, 227 + 5), rgb(21, 51, 80));
}

TEST_F(Controls, ContainersHoldControlsAndTakeThemAlongWhenFreed) {
    ASSERT_TRUE(createContainer(60, 1, 0, 100, 50, 400, 300, rgb(0, 0, 0)));
    ASSERT_TRUE(createPicture(513, 1, 60, 0, 0, Image(10, 10)));
    EXPECT_FALSE(createPicture(514, 1, 999, 0, 0, Image(10, 10))) << "unknown container";
    EXPECT_FALSE(createText(515, 7, 0, 0, 0, 10, 10, "no window"));
    moveControl(60, 120, 50, 500, -1);
    EXPECT_EQ(controlX(60), 120);
    EXPECT_EQ(controlWidth(60), 500);
    EXPECT_EQ(controlHeight(60), 300);
    freeControl(60);
    EXPECT_FALSE(controlExists(60));
    EXPECT_FALSE(controlExists(513));
}

TEST_F(Controls, ReusingANumberReplacesTheControl) {
    ASSERT_TRUE(createText(400, 1, 0, 0, 0, 100, 20, "first"));
    ASSERT_TRUE(createButton(400, 1, 0, 0, 0, 100, 20, "Update + Save"));
    EXPECT_EQ(controlText(400), "Update + Save");
    setControlText(400, "Fish & Chips");
    EXPECT_EQ(controlText(400), "Fish & Chips");
}

TEST_F(Controls, TextFieldsCheckBoxesCombosListsAndProgressBars) {
    ASSERT_TRUE(createTextField(286, 1, 0, 310, 48, 100, 20, true));
    setControlText(286, "COM 3");
    EXPECT_EQ(controlText(286), "COM 3");

    ASSERT_TRUE(createCheckBox(10, 1, 0, 0, 0, 100, 20, "Prepend?"));
    EXPECT_EQ(controlState(10), 0);
    setControlState(10, 1);
    EXPECT_EQ(controlState(10), 1);
    EXPECT_EQ(controlText(10), "Prepend?");

    ASSERT_TRUE(createComboBox(295, 1, 0, 310, 261, 300, 20, false));
    for (int n = 1; n <= 99; ++n) addControlItem(295, "COM " + std::to_string(n));
    EXPECT_EQ(controlItemCount(295), 99);
    EXPECT_EQ(controlItemText(295, 98), "COM 99");
    EXPECT_EQ(controlItemText(295, 99), "");
    setControlState(295, 98);
    EXPECT_EQ(controlText(295), "COM 99");
    setControlText(295, "COM 7");
    EXPECT_EQ(controlState(295), 6);
    clearControlItems(295);
    EXPECT_EQ(controlItemCount(295), 0);
    EXPECT_EQ(controlText(295), "");

    ASSERT_TRUE(createList(20, 1, 0, 0, 100, 200, 200));
    addControlItem(20, "line one");
    addControlItem(20, "line two");
    setControlState(20, 1);
    EXPECT_EQ(controlText(20), "line two");

    ASSERT_TRUE(createProgressBar(30, 1, 0, 0, 400, 200, 20, 0, 1024));
    setControlState(30, 512);
    EXPECT_EQ(controlState(30), 512);

    auto hidden = [](int control) { return detail::state().controls.at(control).widget->isHidden(); };
    EXPECT_FALSE(hidden(30));
    showControl(30, false);
    EXPECT_TRUE(hidden(30));
    showControl(30, true);
    EXPECT_FALSE(hidden(30));
    showControl(30, false);
    disableControl(10, true);
    setControlColours(286, rgb(255, 255, 0), rgb(0, 0, 0));
    setControlFont(286, Font("Arial", 9, true, true));
    setControlRightAligned(286, true);
    EXPECT_TRUE(controlExists(30));
}
