#include "app/settings_loader.h"
#include "base/system_settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/menu_dispatch.h"
#include "app/program_defaults.h"
#include "base/settings_file.h"
#include "app/shell_state.h"
#include "sweep/sweep_parameters.h"
#include "test_support.h"
#include "platform/platform.h"

using testsupport::readFile;
using testsupport::writeFile;

namespace {

const char* const defaultSettingsFile =
    "ActiveInstrument=KRV650\r\n"
    "CheckWebsiteForUpdate=1\r\n"
    "DateOfLastUpdateCheck=1/1/2025\r\n"
    "MainWindowX=0\r\n"
    "MainWindowY=0\r\n"
    "MainWindowWidth=1531\r\n"
    "MainWindowHeight=710\r\n"
    "ALL_LocalTextFont=Arial Bold\r\n"
    "ALL_LocalTextSize=10\r\n"
    "ALL_ControlStatusNormalTextFont=Calibri\r\n"
    "ALL_ControlStatusNormalTextSize=10\r\n"
    "ALL_ControlButtonNormalTextFont=Calibri\r\n"
    "ALL_ControlButtonNormalTextSize=13\r\n"
    "ALL_ButtonTopSectionTextFont=Arial\r\n"
    "ALL_ButtonTopSectionTextSize=9\r\n"
    "ALL_ButtonMiddleSectionTextFont=Arial\r\n"
    "ALL_ButtonMiddleSectionTextSize=15\r\n"
    "ALL_ButtonBottomSectionTextFont=Arial\r\n"
    "ALL_ButtonBottomSectionTextSize=9\r\n"
    "ALL_GraphKeySectionTextFont=Arial\r\n"
    "ALL_GraphKeySectionTextSize=9\r\n"
    "ALL_GraphSettingsSectionTextFont=Arial\r\n"
    "ALL_GraphSettingsSectionTextSize=9\r\n"
    "ALL_GraphTitleSectionTextFont=Arial\r\n"
    "ALL_GraphTitleSectionTextSize=9\r\n"
    "KRV_ComPort=0\r\n"
    "KRV_HVAutoOff=Off\r\n"
    "KRV_BaseGate_ClampMenuOption=1\r\n"
    "KRV_Step0Enabled=1\r\n"
    "KRV_SmallCurrentOffset=0\r\n"
    "KRV_SlopeOffsetMeasuredVoltage=0\r\n"
    "KRV_SlopeOffsetMeasuredCurrent=0\r\n"
    "KRV_LiveReadings=Smoothed\r\n"
    "KRV_AutoSave=Yes\r\n"
    "KRV_SaveFileName=Sample\r\n"
    "KRV_SaveImageFileLocation=savedimages\\\r\n"
    "KRV_SaveDataFileLocation=saveddata\\\r\n"
    "KRV_Scope1KeyDirection=Falling\r\n"
    "KRV_Scope1GraticuleMode=Both\r\n"
    "KRV_Scope1GraticuleColour=DarkGreen\r\n"
    "KRV_Scope1BackgroundColour=Black\r\n"
    "KRV_DefaultTestSetupOnStart=Yes\r\n"
    "KRV_FileTestSetup=default.tsu\r\n"
    "KRV_RunNumber=0000\r\n"
    "KRV_PrependRunNumber=No\r\n"
    "KRV_AppendRunNumber=Yes\r\n"
    "KRV_DateFormat=YYYYMMDD\r\n"
    "KRV_AppendDate=Yes\r\n"
    "KRV_AppendTime=Yes\r\n"
    "KRV_UseSpaces=No\r\n"
    "KRV_UseUnderscores=Yes\r\n"
    "KRV_DateDashs=No\r\n"
    "KRV_ISO8601=No\r\n"
    "KRV_UseGraphTitle=No\r\n"
    "KRV_AlternateDisplayColours=No\r\n"
    "KRV_SafetyMaximumVoltage=100.000\r\n"
    "KRV_SafetyMaximumCurrent=3.000\r\n";

class SystemSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::initPlatform();
        resetProgramDefaults();
        settingsFile.separatorReadPauseMs = 0;
        std::filesystem::create_directory("settings");
        platform::installDialogRecorder([](const platform::RecordedDialog&) { return std::string("ok"); });
    }
    void TearDown() override { platform::removeDialogRecorder(); }
    testsupport::ScratchDirectory dir;
    const std::string path = "settings/system_settings.txt";
};

TEST_F(SystemSettingsTest, FreshFileHoldsEveryKeyInTableOrderAndIsStableOnReload) {
    loadSystemSettings(path);
    const std::string first = readFile(path);
    EXPECT_EQ(first, defaultSettingsFile);
    int lines = 0;
    for (char c : first) lines += c == '\n';
    EXPECT_EQ(lines, 57);

    loadSystemSettings(path);
    EXPECT_EQ(readFile(path), first);
}

TEST_F(SystemSettingsTest, StoredValuesReachTheProgramVariables) {
    writeFile(path, "KRV_ComPort=7\r\nkrv_autosave=No\r\nKRV_SafetyMaximumVoltage=50.5\r\nKRV_Step0Enabled=0\r\n"
                    "ALL_ControlButtonNormalTextSize=20\r\n");
    loadSystemSettings(path);
    EXPECT_EQ(systemSettings.comPortNumber, 7);
    EXPECT_EQ(systemSettings.autoSave, "No");
    EXPECT_EQ(sweepParameters.safetyMaximumVoltage, 50.5);
    EXPECT_EQ(sweepParameters.step0Enabled, 0);
    EXPECT_EQ(systemSettings.saveImageFileLocation, "savedimages\\");
}

TEST_F(SystemSettingsTest, MissingSettingsFolderUsesDefaultsAndCreatesNothing) {
    std::filesystem::remove("settings");
    loadSystemSettings(path);
    EXPECT_FALSE(std::filesystem::exists("settings"));
    EXPECT_EQ(systemSettings.autoSave, "Yes");
    EXPECT_EQ(systemSettings.activeInstrument, "KRV650");
}

TEST_F(SystemSettingsTest, MenuTogglesFlipTheValueAndWriteTheKeyAtOnce) {
    loadSystemSettings(path);
    struct Case {
        int menuItem;
        const char* line;
    } cases[] = {
        {32, "KRV_AutoSave=No"},
        {32, "KRV_AutoSave=Yes"},
        {33, "KRV_DefaultTestSetupOnStart=No"},
        {229, "KRV_HVAutoOff=On"},
        {229, "KRV_HVAutoOff=Off"},
        {248, "KRV_BaseGate_ClampMenuOption=0"},
        {249, "KRV_Step0Enabled=0"},
        {249, "KRV_Step0Enabled=1"},
        {251, "KRV_Scope1GraticuleMode=Major"},
        {252, "KRV_Scope1GraticuleMode=Off"},
        {253, "KRV_Scope1GraticuleColour=White"},
        {254, "KRV_Scope1GraticuleColour=LightGreen"},
        {257, "KRV_Scope1BackgroundColour=DarkGrey"},
        {256, "KRV_Scope1BackgroundColour=White"},
        {259, "KRV_Scope1KeyDirection=Rising"},
        {261, "KRV_AlternateDisplayColours=Yes"},
        {267, "KRV_LiveReadings=Realtime"},
        {268, "KRV_LiveReadings=Raw"},
        {266, "KRV_LiveReadings=Smoothed"},
        {56, "CheckWebsiteForUpdate=0"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(dispatchMenuEvent(c.menuItem));
        EXPECT_NE(readFile(path).find(std::string("\r\n") + c.line + "\r\n"), std::string::npos)
            << "menu " << c.menuItem << " should leave " << c.line;
    }
    EXPECT_EQ(systemSettings.liveReadings, "Smoothed");
    EXPECT_EQ(sweepParameters.step0Enabled, 1);
    EXPECT_EQ(sweepParameters.baseClampInCurrentMode, 0);
    // The sampling and DUT menus act on the sweep parameters.
    EXPECT_TRUE(dispatchMenuEvent(245));
    EXPECT_EQ(sweepParameters.sampleRate, 60);
    EXPECT_TRUE(dispatchMenuEvent(246));
    EXPECT_EQ(sweepParameters.sampleRate, 80);
    EXPECT_TRUE(dispatchMenuEvent(238));
    EXPECT_EQ(sweepParameters.dutType, "DIODE");
    EXPECT_EQ(systemSettings.updateCheckEnabled, 0);
    EXPECT_FALSE(dispatchMenuEvent(9999));
}

} // namespace
