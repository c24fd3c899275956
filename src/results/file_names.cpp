#include "results/file_names.h"

#include <algorithm>
#include <cstdio>

#include "base/local_time.h"
#include "base/settings_file.h"
#include "base/system_settings.h"

namespace {

constexpr std::int64_t runNumberMaximum = 9999;

bool yes(const std::string& option) {
    return option == "Yes";
}

std::string twoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

// The date in the chosen order, or empty for an order or dash setting the program does not know.
std::string formattedDate(const std::tm& when) {
    const SystemSettings& s = systemSettings;
    std::string dash;
    if (s.dateDashs == "Yes") {
        dash = "-";
    } else if (s.dateDashs != "No") {
        return "";
    }
    char yearText[16];
    std::snprintf(yearText, sizeof yearText, "%04d", when.tm_year + 1900);
    const std::string year = yearText, month = twoDigits(when.tm_mon + 1), day = twoDigits(when.tm_mday);
    if (s.dateFormat == "DDMMYYYY") return day + dash + month + dash + year;
    if (s.dateFormat == "MMDDYYYY") return month + dash + day + dash + year;
    if (s.dateFormat == "YYYYDDMM") return year + dash + day + dash + month;
    if (s.dateFormat == "YYYYMMDD") return year + dash + month + dash + day;
    return "";
}

void appendPart(std::string& name, const std::string& separator, const std::string& part) {
    name = name.empty() ? part : name + separator + part;
}

} // namespace

void resetResultNamingDefaults() {
    resultNaming = ResultNaming{};
}

std::string withoutForbiddenCharacters(const std::string& name) {
    std::string kept;
    for (const char c : name)
        if (std::string_view("<>:\"/\\|?*").find(c) == std::string_view::npos) kept += c;
    return kept;
}

std::string normalisedRunNumber(const std::string& text) {
    const std::int64_t value = std::clamp<std::int64_t>(parseSettingInteger(text), 0, runNumberMaximum);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04lld", static_cast<long long>(value));
    return digits;
}

std::string generateFileStem() {
    return generateFileStem(localNow());
}

std::string generateFileStem(const std::tm& when) {
    const SystemSettings& s = systemSettings;
    std::string separator;
    if (yes(s.useSpaces)) separator += " ";
    if (yes(s.useUnderscores)) separator += "_";
    // The run number goes into a file name too, so it loses the same characters as the name.
    const std::string runNumber = withoutForbiddenCharacters(s.runNumber);

    std::string name = withoutForbiddenCharacters(yes(s.useGraphTitle) ? resultNaming.graphTitle : s.saveFileName);
    if (yes(s.prependRunNumber)) appendPart(name, separator, runNumber);
    if (yes(s.appendDate)) {
        const std::string date = formattedDate(when);
        if (!date.empty()) appendPart(name, separator, date);
    }
    if (yes(s.appendTime) && !name.empty()) {
        const std::string time = twoDigits(when.tm_hour) + twoDigits(when.tm_min) + twoDigits(when.tm_sec);
        name += separator + (yes(s.iso8601) ? "T" : "") + time;
    }
    if (yes(s.appendRunNumber)) appendPart(name, separator, runNumber);
    if (name.empty()) name = "Sample";
    resultNaming.fileStem = name;
    return name;
}

void advanceRunNumber() {
    SystemSettings& s = systemSettings;
    if (!yes(s.appendRunNumber) && !yes(s.prependRunNumber)) return;
    const std::int64_t current = std::clamp<std::int64_t>(parseSettingInteger(s.runNumber), -1, runNumberMaximum);
    s.runNumber = normalisedRunNumber(std::to_string(current + 1));
    writeSetting(s.settingsFilePath, "KRV_RunNumber", s.runNumber);
}
