// The small-current offset and parasitic resistance window driven through its own loop.
#include "base/settings_file.h"
#include "base/system_settings.h"
#include "calibration/calibration_coefficients.h"
#include "ui/calibration_window_numbers.h"
#include "ui/calibration_windows.h"
#include "calibration_window_fixture.h"

namespace {

constexpr int defaultValues = calwin::offsetFirstControl;
constexpr int offsetField = defaultValues + 1;
constexpr int voltageField = defaultValues + 2;
constexpr int currentField = defaultValues + 3;
constexpr int slopeField = defaultValues + 4;
constexpr int saveButton = defaultValues + 5;

class OffsetWindowTest : public CalibrationWindowTest {
protected:
    const std::string seeded = "KRV_ComPort=3\r\nKRV_SmallCurrentOffset=0\r\nKRV_SlopeOffsetMeasuredVoltage=0\r\n"
                               "KRV_SlopeOffsetMeasuredCurrent=0\r\n";
    void SetUp() override {
        CalibrationWindowTest::SetUp();
        window = calwin::offsetWindow;
        resetSystemSettingsDefaults();
        std::filesystem::create_directory("settings");
        // As the settings loader leaves the file: every key present.
        testsupport::writeFile(systemSettings.settingsFilePath, seeded);
    }
};

TEST_F(OffsetWindowTest, DefaultValuesSavedAsTheirTrimmedNumbers) {
    smallCurrentCompensation = {0.0000015, 50.0, 0.00001};
    script = {
        check([] {
            EXPECT_EQ(platform::controlText(offsetField), "1.500");
            EXPECT_EQ(platform::controlText(voltageField), "50.000");
            EXPECT_EQ(platform::controlText(currentField), "10.000");
            EXPECT_EQ(platform::controlText(slopeField), "0.200");
        }),
        press(defaultValues),
        check([] { EXPECT_EQ(platform::controlText(slopeField), "1.800"); }),
        press(saveButton),
        check([] {}),
    };
    openOffsetParasiticsWindow();
    const std::string settings = testsupport::readFile(systemSettings.settingsFilePath);
    EXPECT_NE(settings.find("KRV_SmallCurrentOffset=0.000002\r\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("KRV_SlopeOffsetMeasuredVoltage=100\r\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("KRV_SlopeOffsetMeasuredCurrent=0.00018\r\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("KRV_ComPort=3"), std::string::npos);
    EXPECT_FALSE(platform::windowExists(calwin::offsetWindow));
}

TEST_F(OffsetWindowTest, TypedValuesAreInForceAtOnceButNotSaved) {
    script = {
        type(currentField, "50"),
        type(voltageField, "2"),
        check([] { EXPECT_EQ(platform::controlText(slopeField), "25.000"); }),
        type(voltageField, "25"),
        check([] { EXPECT_EQ(platform::controlText(slopeField), "2.000"); }),
        // A voltage that is not a number counts as 0, and so does the slope.
        type(voltageField, "abc"),
        check([] { EXPECT_EQ(platform::controlText(slopeField), "0.000"); }),
        type(offsetField, "-3.5"),
    };
    openOffsetParasiticsWindow();
    EXPECT_DOUBLE_EQ(smallCurrentCompensation.smallCurrentOffset, -0.0000035);
    EXPECT_DOUBLE_EQ(smallCurrentCompensation.slopeOffsetMeasuredVoltage, 0.0);
    EXPECT_DOUBLE_EQ(smallCurrentCompensation.slopeOffsetMeasuredCurrent, 0.00005);
    EXPECT_EQ(testsupport::readFile(systemSettings.settingsFilePath), seeded);
}

TEST_F(OffsetWindowTest, ActivatingAnotherWindowClosesIt) {
    passLimit = 1000;
    script = {
        check([] { platform::postWindowEvent(platform::EventActivateWindow, 1); }),
        waitFor([] { return false; }), // never closes by itself
    };
    openOffsetParasiticsWindow();
    EXPECT_LT(passes, 10);
    EXPECT_FALSE(platform::windowExists(calwin::offsetWindow));
}

} // namespace
