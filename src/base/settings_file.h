// Key/value text files: the system settings file and test setup files share this format.
// One "key=value" per line; keys match case-insensitively anywhere in a line; the last match wins.
#pragma once

#include <cstdint>
#include <string>

// Results of the most recent lookup, shared by all readers (overwritten by every read).
struct SettingsFileResults {
    std::string settingFoundValue;
    std::string settingTextResult;
    std::int64_t settingIntResult = 0;
    double settingRealResult = 0.0;
    // Pause after each readSettingWithSeparator; tests set it to 0.
    int separatorReadPauseMs = 50;
};
inline SettingsFileResults settingsFile;

void resetSettingsFileDefaults();

// Sets settingFoundValue to the value of the last line matching `key` (empty when none).
void findSettingValue(const std::string& path, const std::string& key);
// Each reader appends key=default when the key is missing or empty, and stores its result.
void readSettingText(const std::string& path, const std::string& defaultText, const std::string& key);
void readSettingInteger(const std::string& path, std::int64_t defaultValue, const std::string& key);
void readSettingReal(const std::string& path, double defaultValue, const std::string& key);
std::string readSettingWithSeparator(const std::string& path, const std::string& key, const std::string& separator,
                                     const std::string& defaultText);
// Replaces the value of every line matching `key`; never adds a key and never creates the file.
void writeSetting(const std::string& path, const std::string& key, const std::string& value);
// As writeSetting, but a key without a line gets one at the end: for keys that the start-up load leaves
// out of the file until they are first set. Never creates the file.
void writeOrAddSetting(const std::string& path, const std::string& key, const std::string& value);

// Number parsing used for setting values: leading blanks and a sign accepted, 0 when nothing parses.
std::int64_t parseSettingInteger(const std::string& text);
double parseSettingReal(const std::string& text);
