#include "results/save_options_window.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "base/gui_numbers.h"
#include "results/file_names.h"
#include "results_fixture.h"

using testsupport::writeFile;
using namespace gui;

namespace {

class SaveOptionsWindowTest : public ResultsTest {
protected:
    void SetUp() override {
        ResultsTest::SetUp();
        writeFile("settings/system_settings.txt", "KRV_SaveFileName=Sample\r\nKRV_RunNumber=0000\r\nKRV_UseUnderscores=Yes\r\n"
                                                  "KRV_DateFormat=YYYYMMDD\r\nKRV_PrependRunNumber=No\r\nKRV_UseSpaces=No\r\n"
                                                  "KRV_AppendRunNumber=Yes\r\nKRV_SaveImageFileLocation=old\\\r\n");
        ASSERT_TRUE(platform::openWindow(mainWindow, 0, 0, 1400, 830, "main", platform::WindowTitleBar));
    }
    void TearDown() override {
        platform::closeWindow(windowSaveOptions);
        platform::closeWindow(mainWindow);
        ResultsTest::TearDown();
    }
    static int box(int control) { return platform::controlState(control); }
    static void tick(int control, int state) {
        platform::setControlState(control, state);
        saveOptionsControlEvent(control);
    }
};

TEST_F(SaveOptionsWindowTest, OpensWithTheCurrentValuesAndNumberedRows) {
    systemSettings.dateDashs = "Yes";
    resultNaming.graphTitle = "2N3904 output";
    ASSERT_TRUE(buildSaveOptionsWindow());
    EXPECT_EQ(platform::windowTitle(windowSaveOptions), "Save Options");
    EXPECT_EQ(platform::windowWidth(windowSaveOptions), 1010);
    EXPECT_EQ(platform::windowHeight(windowSaveOptions), 450);
    EXPECT_EQ(platform::controlText(saveOptionsFirstText + 5), "1. Graph Title ->");
    EXPECT_EQ(platform::controlText(saveOptionsFirstText + 14), "10. File name will be ->");
    EXPECT_EQ(platform::controlText(controlSaveGraphTitle), "2N3904 output");
    EXPECT_EQ(platform::controlText(controlSaveFileName), "Sample");
    EXPECT_EQ(platform::controlText(controlSaveImageFolder), "savedimages\\");
    EXPECT_EQ(platform::controlText(controlSaveDataFolder), "saveddata\\");
    EXPECT_EQ(platform::controlText(controlSaveRunNumber), "0000");
    EXPECT_TRUE(std::regex_match(platform::controlText(controlSaveFileStem),
                                 std::regex("Sample_20[0-9]{2}-[0-9]{2}-[0-9]{2}_[0-9]{6}_0000")));
    const struct {
        int control;
        int ticked;
    } boxes[] = {{controlSaveUseGraphTitle, 0}, {controlSavePrependRunNumber, 0}, {controlSaveAppendRunNumber, 1},
                 {controlSaveDateFormat, 1},    {controlSaveDateDashes, 1},       {controlSaveAppendDate, 1},
                 {controlSaveIso8601Time, 0},   {controlSaveAppendTime, 1},       {controlSaveUseSpaces, 0},
                 {controlSaveUseUnderscores, 1}};
    for (const auto& b : boxes) EXPECT_EQ(box(b.control), b.ticked) << b.control;
    EXPECT_TRUE(platform::writePng(platform::grabWindow(windowSaveOptions), KRV_BINARY_DIR "/save_options_window.png"));
}

TEST_F(SaveOptionsWindowTest, PrependAndAppendExcludeEachOtherAndTheTitleIsTakenAtOnce) {
    ASSERT_TRUE(buildSaveOptionsWindow());
    tick(controlSavePrependRunNumber, 1);
    EXPECT_EQ(box(controlSaveAppendRunNumber), 0);
    tick(controlSaveAppendRunNumber, 1);
    EXPECT_EQ(box(controlSavePrependRunNumber), 0);
    tick(controlSaveAppendRunNumber, 0); // clearing one leaves the other alone
    EXPECT_EQ(box(controlSavePrependRunNumber), 0);
    platform::setControlText(controlSaveGraphTitle, "BC547 at 25 C");
    saveOptionsControlEvent(controlSaveGraphTitle);
    EXPECT_EQ(resultNaming.graphTitle, "BC547 at 25 C");
}

TEST_F(SaveOptionsWindowTest, UpdatePassStoresWhatChangedAndShowsTheNewName) {
    ASSERT_TRUE(buildSaveOptionsWindow());
    platform::setControlText(controlSaveRunNumber, "12");
    platform::setControlText(controlSaveFileName, "Probe");
    platform::setControlState(controlSaveUseUnderscores, 0);
    platform::setControlState(controlSaveUseSpaces, 1);
    platform::setControlState(controlSaveDateFormat, 0);
    updateSaveOptions();
    EXPECT_EQ(setting("KRV_RunNumber"), "12"); // as typed
    EXPECT_EQ(systemSettings.runNumber, "0012");
    EXPECT_EQ(setting("KRV_SaveFileName"), "Probe");
    EXPECT_EQ(setting("KRV_UseUnderscores"), "No");
    EXPECT_EQ(setting("KRV_UseSpaces"), "Yes");
    EXPECT_EQ(setting("KRV_DateFormat"), "YYYYDDMM");
    EXPECT_EQ(setting("KRV_SaveImageFileLocation"), "savedimages\\");
    const std::string shown = platform::controlText(controlSaveFileStem);
    EXPECT_TRUE(std::regex_match(shown, std::regex("Probe 20[0-9]{6} [0-9]{6} 0012"))) << shown;
    EXPECT_EQ(shown, resultNaming.fileStem);

    // Ticking the date-format box again goes back to year-month-day; other formats stay as they are.
    platform::setControlState(controlSaveDateFormat, 1);
    updateSaveOptions();
    EXPECT_EQ(setting("KRV_DateFormat"), "YYYYMMDD");
    systemSettings.dateFormat = "DDMMYYYY";
    platform::setControlState(controlSaveDateFormat, 0);
    updateSaveOptions();
    EXPECT_EQ(systemSettings.dateFormat, "DDMMYYYY");
    EXPECT_EQ(setting("KRV_DateFormat"), "YYYYMMDD");
}

TEST_F(SaveOptionsWindowTest, OwnLoopRunsUntilTheWindowIsClosedAndKeepsTheLastEdits) {
    platform::postControlEvent(controlSavePrependRunNumber);
    platform::postCloseEvent(windowSaveOptions);
    openSaveOptions();
    EXPECT_FALSE(platform::windowExists(windowSaveOptions));
    EXPECT_EQ(setting("KRV_SaveImageFileLocation"), "savedimages\\");
    EXPECT_TRUE(dialogs().empty());
}

} // namespace
