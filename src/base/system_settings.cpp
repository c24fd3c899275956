#include "base/system_settings.h"

#include "base/settings_file.h"

void resetSystemSettingsDefaults() {
    systemSettings = SystemSettings{};
}

void toggleTextSetting(std::string& value, const std::string& key) {
    value = (value == "Yes") ? "No" : "Yes";
    writeSetting(systemSettings.settingsFilePath, key, value);
}

void toggleIntegerSetting(std::int64_t& value, const std::string& key) {
    value = (value == 0) ? 1 : 0;
    writeSetting(systemSettings.settingsFilePath, key, std::to_string(value));
}

void toggleIntegerSetting(int& value, const std::string& key) {
    std::int64_t wide = value;
    toggleIntegerSetting(wide, key);
    value = static_cast<int>(wide);
}

void setTextSetting(std::string& value, const std::string& key, const std::string& newValue) {
    value = newValue;
    writeSetting(systemSettings.settingsFilePath, key, value);
}
