// The system settings that no lower subsystem owns: their program variables and defaults, and the
// menu toggles that write one key at once.
#pragma once

#include <cstdint>
#include <string>

// Settings without another owner; the sweep parameters and the calibration hold the rest.
struct SystemSettings {
    std::string settingsFilePath = "settings/system_settings.txt";
    std::string activeInstrument = "KRV650";   // ActiveInstrument
    int updateCheckEnabled = 1;                // CheckWebsiteForUpdate
    std::string lastUpdateCheckDate = "1/1/2025"; // DateOfLastUpdateCheck, "%dd/%mm/%yyyy"
    int comPortNumber = 0;                     // KRV_ComPort: the port is "COM" + n
    int mainWindowX = 0;
    int mainWindowY = 0;
    int mainWindowWidth = 1531;
    int mainWindowHeight = 710;
    std::string hvAutoOff = "Off";             // KRV_HVAutoOff
    std::string liveReadings = "Smoothed";     // KRV_LiveReadings
    std::string autoSave = "Yes";              // KRV_AutoSave
    std::string saveFileName = "Sample";       // KRV_SaveFileName
    std::string saveImageFileLocation = "savedimages\\";
    std::string saveDataFileLocation = "saveddata\\";
    std::string keyDirection = "Falling";      // KRV_Scope1KeyDirection
    std::string graticuleMode = "Both";        // KRV_Scope1GraticuleMode
    std::string graticuleColour = "DarkGreen"; // KRV_Scope1GraticuleColour
    std::string backgroundColour = "Black";    // KRV_Scope1BackgroundColour
    std::string defaultTestSetupOnStart = "Yes";
    std::string fileTestSetup = "default.tsu";
    std::string runNumber = "0000";
    std::string prependRunNumber = "No";
    std::string appendRunNumber = "Yes";
    std::string dateFormat = "YYYYMMDD";
    std::string appendDate = "Yes";
    std::string appendTime = "Yes";
    std::string useSpaces = "No";
    std::string useUnderscores = "Yes";
    std::string dateDashs = "No";
    std::string iso8601 = "No";
    std::string useGraphTitle = "No";
    std::string alternateDisplayColours = "No";
    // Read at start-up without adding a line; written from the first time the user sets them.
    std::string referenceRunPath;              // KRV_ReferenceRun: "" without a reference
    std::string referenceGrey = "No";          // KRV_ReferenceGrey
};

inline SystemSettings systemSettings;

void resetSystemSettingsDefaults();
// Menu toggles: flip the value and write the key at once.
void toggleTextSetting(std::string& value, const std::string& key);
void toggleIntegerSetting(std::int64_t& value, const std::string& key);
void toggleIntegerSetting(int& value, const std::string& key);
void setTextSetting(std::string& value, const std::string& key, const std::string& newValue);
