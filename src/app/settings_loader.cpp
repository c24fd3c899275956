#include "app/settings_loader.h"

#include "base/settings_file.h"
#include "base/system_settings.h"
#include "calibration/calibration_coefficients.h"
#include "sweep/sweep_parameters.h"
#include "base/program_fonts.h"

namespace {

std::string readText(const std::string& path, const char* key, const char* defaultText) {
    readSettingText(path, defaultText, key);
    return settingsFile.settingTextResult;
}

int readInteger(const std::string& path, const char* key, int defaultValue) {
    readSettingInteger(path, defaultValue, key);
    return static_cast<int>(settingsFile.settingIntResult);
}

std::string readSeparated(const std::string& path, const char* key, const char* defaultText) {
    return readSettingWithSeparator(path, key, "=", defaultText);
}

platform::Font readFont(const std::string& path, const char* faceKey, const char* defaultFace, const char* sizeKey,
                        int defaultSize) {
    const std::string face = readText(path, faceKey, defaultFace);
    const int size = readInteger(path, sizeKey, defaultSize);
    return makeProgramFont(face, size);
}

} // namespace

void loadSystemSettings(const std::string& path) {
    SystemSettings& s = systemSettings;
    ProgramFonts& f = programFonts;

    systemSettings.activeInstrument = readText(path, "ActiveInstrument", "KRV650");
    systemSettings.updateCheckEnabled = readInteger(path, "CheckWebsiteForUpdate", 1);
    systemSettings.lastUpdateCheckDate = readText(path, "DateOfLastUpdateCheck", "1/1/2025");
    s.mainWindowX = readInteger(path, "MainWindowX", 0);
    s.mainWindowY = readInteger(path, "MainWindowY", 0);
    s.mainWindowWidth = readInteger(path, "MainWindowWidth", 1531);
    s.mainWindowHeight = readInteger(path, "MainWindowHeight", 710);

    f.localText = readFont(path, "ALL_LocalTextFont", "Arial Bold", "ALL_LocalTextSize", 10);
    f.controlStatusNormal =
        readFont(path, "ALL_ControlStatusNormalTextFont", "Calibri", "ALL_ControlStatusNormalTextSize", 10);
    f.controlButtonNormal =
        readFont(path, "ALL_ControlButtonNormalTextFont", "Calibri", "ALL_ControlButtonNormalTextSize", 13);
    f.buttonTopSection = readFont(path, "ALL_ButtonTopSectionTextFont", "Arial", "ALL_ButtonTopSectionTextSize", 9);
    f.buttonMiddleSection =
        readFont(path, "ALL_ButtonMiddleSectionTextFont", "Arial", "ALL_ButtonMiddleSectionTextSize", 15);
    f.buttonBottomSection =
        readFont(path, "ALL_ButtonBottomSectionTextFont", "Arial", "ALL_ButtonBottomSectionTextSize", 9);
    f.graphKeySection = readFont(path, "ALL_GraphKeySectionTextFont", "Arial", "ALL_GraphKeySectionTextSize", 9);
    f.graphKeySectionSecond =
        readFont(path, "ALL_GraphKeySectionTextFont", "Arial", "ALL_GraphKeySectionTextSize", 10);
    f.graphSettingsSection =
        readFont(path, "ALL_GraphSettingsSectionTextFont", "Arial", "ALL_GraphSettingsSectionTextSize", 9);
    f.graphTitleSection =
        readFont(path, "ALL_GraphTitleSectionTextFont", "Arial", "ALL_GraphTitleSectionTextSize", 9);

    systemSettings.comPortNumber = readInteger(path, "KRV_ComPort", 0);
    s.hvAutoOff = readText(path, "KRV_HVAutoOff", "Off");
    SweepParameters& sweep = sweepParameters;
    SmallCurrentCompensation& compensation = smallCurrentCompensation;
    sweep.baseClampInCurrentMode = readInteger(path, "KRV_BaseGate_ClampMenuOption", 1);
    sweep.step0Enabled = parseSettingInteger(readSeparated(path, "KRV_Step0Enabled", "1"));
    compensation.smallCurrentOffset = parseSettingReal(readSeparated(path, "KRV_SmallCurrentOffset", "0"));
    compensation.slopeOffsetMeasuredVoltage =
        parseSettingReal(readSeparated(path, "KRV_SlopeOffsetMeasuredVoltage", "0"));
    compensation.slopeOffsetMeasuredCurrent =
        parseSettingReal(readSeparated(path, "KRV_SlopeOffsetMeasuredCurrent", "0"));
    s.liveReadings = readSeparated(path, "KRV_LiveReadings", "Smoothed");
    s.autoSave = readSeparated(path, "KRV_AutoSave", "Yes");
    s.saveFileName = readSeparated(path, "KRV_SaveFileName", "Sample");
    s.saveImageFileLocation = readSeparated(path, "KRV_SaveImageFileLocation", "savedimages\\");
    s.saveDataFileLocation = readSeparated(path, "KRV_SaveDataFileLocation", "saveddata\\");
    s.keyDirection = readSeparated(path, "KRV_Scope1KeyDirection", "Falling");
    s.graticuleMode = readSeparated(path, "KRV_Scope1GraticuleMode", "Both");
    s.graticuleColour = readSeparated(path, "KRV_Scope1GraticuleColour", "DarkGreen");
    s.backgroundColour = readSeparated(path, "KRV_Scope1BackgroundColour", "Black");
    s.defaultTestSetupOnStart = readSeparated(path, "KRV_DefaultTestSetupOnStart", "Yes");
    s.fileTestSetup = readSeparated(path, "KRV_FileTestSetup", "default.tsu");
    s.runNumber = readSeparated(path, "KRV_RunNumber", "0000");
    s.prependRunNumber = readSeparated(path, "KRV_PrependRunNumber", "No");
    s.appendRunNumber = readSeparated(path, "KRV_AppendRunNumber", "Yes");
    s.dateFormat = readSeparated(path, "KRV_DateFormat", "YYYYMMDD");
    s.appendDate = readSeparated(path, "KRV_AppendDate", "Yes");
    s.appendTime = readSeparated(path, "KRV_AppendTime", "Yes");
    s.useSpaces = readSeparated(path, "KRV_UseSpaces", "No");
    s.useUnderscores = readSeparated(path, "KRV_UseUnderscores", "Yes");
    s.dateDashs = readSeparated(path, "KRV_DateDashs", "No");
    s.iso8601 = readSeparated(path, "KRV_ISO8601", "No");
    s.useGraphTitle = readSeparated(path, "KRV_UseGraphTitle", "No");
    s.alternateDisplayColours = readSeparated(path, "KRV_AlternateDisplayColours", "No");
    sweep.safetyMaximumVoltage = parseSettingReal(readSeparated(path, "KRV_SafetyMaximumVoltage", "100.000"));
    sweep.safetyMaximumCurrent = parseSettingReal(readSeparated(path, "KRV_SafetyMaximumCurrent", "3.000"));
    // Keys of the reference run are left out of a fresh file until the user first sets them.
    findSettingValue(path, "KRV_ReferenceRun");
    s.referenceRunPath = settingsFile.settingFoundValue;
    findSettingValue(path, "KRV_ReferenceGrey");
    if (settingsFile.settingFoundValue == "Yes" || settingsFile.settingFoundValue == "No")
        s.referenceGrey = settingsFile.settingFoundValue;
}
