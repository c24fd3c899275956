#include "results/test_setups.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "base/messages.h"
#include "base/settings_file.h"
#include "base/system_settings.h"
#include "base/unit_format.h"
#include "base/safe_file.h"
#include "sweep/sweep_parameters.h"
#include "platform/platform.h"

namespace {

constexpr const char* defaultTestSetup = "default.tsu";
constexpr const char* dialogPattern = "Test Setup (*.tsu)|*.tsu";

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

struct SavedValue {
    const char* key;
    std::string text;
};

// The four keys in file order with the texts a save writes.
std::array<SavedValue, 4> savedValues() {
    const SweepParameters& p = sweepParameters;
    return {{
        {"KRV_CollectorPeakVoltage", formatTrimmed(p.collectorPeakVoltage)},
        {"KRV_CollectorPeakCurrent", formatTrimmed(p.collectorPeakCurrent)},
        {"KRV_CollectorPolarity", p.collectorPolarity},
        {"KRV_CollectorPulseMode", p.collectorPulseMode},
    }};
}

void refuseProtectedName() {
    platform::messageBox("File Not Saved",
                         "You are not allowed to write to 'default.tsu' or any variant ending in 'default.tsu' - "
                         "please use 'Save As' function to choose another name to save your 'setup' file.",
                         platform::IconWarning, platform::ButtonsOk);
}

void useTestSetupFile(const std::string& path) {
    systemSettings.fileTestSetup = path;
    writeSetting(systemSettings.settingsFilePath, "KRV_FileTestSetup", path);
}

// The save dialog does not add the extension on every system.
std::string withTsuExtension(const std::string& path) {
    const std::string lower = lowerCase(path);
    if (lower.size() >= 4 && lower.compare(lower.size() - 4, 4, ".tsu") == 0) return path;
    return path + ".tsu";
}

} // namespace

bool isProtectedTestSetup(const std::string& path) {
    return lowerCase(path).find(defaultTestSetup) != std::string::npos;
}

void loadTestSetup(const std::string& path) {
    SweepParameters& p = sweepParameters;
    readSettingReal(path, p.collectorPeakVoltage, "KRV_CollectorPeakVoltage");
    p.collectorPeakVoltage = settingsFile.settingRealResult;
    readSettingReal(path, p.collectorPeakCurrent, "KRV_CollectorPeakCurrent");
    p.collectorPeakCurrent = settingsFile.settingRealResult;
    readSettingText(path, p.collectorPolarity, "KRV_CollectorPolarity");
    p.collectorPolarity = settingsFile.settingTextResult;
    readSettingText(path, p.collectorPulseMode, "KRV_CollectorPulseMode");
    p.collectorPulseMode = settingsFile.settingTextResult;
}

void loadStartupTestSetup() {
    const SystemSettings& s = systemSettings;
    loadTestSetup(s.defaultTestSetupOnStart == "Yes" ? std::string(defaultTestSetup) : s.fileTestSetup);
}

std::string testSetupFileText() {
    std::string text;
    for (const auto& value : savedValues()) text += std::string(value.key) + "=" + value.text + "\r\n";
    return text;
}

void saveTestSetup() {
    const std::string& path = systemSettings.fileTestSetup;
    if (isProtectedTestSetup(path)) {
        refuseProtectedName();
        return;
    }
    for (const auto& value : savedValues()) writeSetting(path, value.key, value.text);
}

void openTestSetup() {
    SystemSettings& s = systemSettings;
    readSettingText(s.settingsFilePath, s.fileTestSetup, "KRV_FileTestSetup");
    s.fileTestSetup = settingsFile.settingTextResult;
    const std::string chosen = platform::openFileDialog("Please choose file to load", s.fileTestSetup, dialogPattern);
    if (chosen.empty()) return;
    useTestSetupFile(chosen);
    loadTestSetup(chosen);
}

void saveTestSetupAs() {
    const std::string chosen =
        platform::saveFileDialog("Save Test Setup As", systemSettings.fileTestSetup, dialogPattern);
    if (chosen.empty()) return;
    const std::string path = withTsuExtension(chosen);
    if (isProtectedTestSetup(path)) {
        refuseProtectedName();
        return;
    }
    const FileWriteOutcome outcome = replaceFile(path, testSetupFileText());
    if (!outcome.written) {
        showMessage("Warning #xxxx Test setup not saved: " + path + " (" + outcome.failure +
                    "). Any older file of the same name is unchanged.");
        return;
    }
    useTestSetupFile(path);
}
