#include "base/settings_file.h"

#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <thread>
#include <vector>

#include "base/file_paths.h"
#include "base/messages.h"

namespace {

bool readLines(const std::string& path, std::vector<std::string>& lines) {
    std::ifstream in(hostPath(path), std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    return true;
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::size_t findNoCase(const std::string& haystack, const std::string& needle) {
    if (needle.empty() || needle.size() > haystack.size()) return std::string::npos;
    for (std::size_t i = 0; i + needle.size() <= haystack.size(); ++i) {
        std::size_t j = 0;
        while (j < needle.size() && lowerAscii(haystack[i + j]) == lowerAscii(needle[j])) ++j;
        if (j == needle.size()) return i;
    }
    return std::string::npos;
}

// Value of the last line holding `pattern`: the line with the pattern's first occurrence cut out.
std::string lastMatchValue(const std::vector<std::string>& lines, const std::string& pattern) {
    std::string value;
    for (const auto& line : lines) {
        const auto at = findNoCase(line, pattern);
        if (at != std::string::npos) value = line.substr(0, at) + line.substr(at + pattern.size());
    }
    return value;
}

bool endsWithoutNewline(const std::string& hostFile) {
    std::ifstream in(hostFile, std::ios::binary | std::ios::ate);
    if (!in) return false;
    const auto size = static_cast<std::streamoff>(in.tellg());
    if (size <= 0) return false;
    in.seekg(size - 1);
    char last = 0;
    in.get(last);
    return last != '\n';
}

// Appends one CR LF line; an unterminated last line is closed first so the new key gets a line of its own.
bool appendLine(const std::string& path, const std::string& line) {
    const std::string file = hostPath(path);
    const bool needsBreak = endsWithoutNewline(file);
    std::ofstream out(file, std::ios::binary | std::ios::app);
    if (!out) return false;
    if (needsBreak) out << "\r\n";
    out << line << "\r\n";
    return static_cast<bool>(out);
}

std::string skipBlanks(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    return text.substr(i);
}

} // namespace

void resetSettingsFileDefaults() {
    settingsFile = SettingsFileResults{};
}

std::int64_t parseSettingInteger(const std::string& text) {
    const std::string s = skipBlanks(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    std::int64_t value = 0;
    constexpr std::int64_t limit = std::numeric_limits<std::int64_t>::max();
    for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i) {
        const int digit = s[i] - '0';
        value = (value > (limit - digit) / 10) ? limit : value * 10 + digit;
    }
    return negative ? -value : value;
}

double parseSettingReal(const std::string& text) {
    std::string s = skipBlanks(text);
    if (!s.empty() && s[0] == '+') s.erase(0, 1);
    double value = 0.0;
    const auto result = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(value)) return 0.0;
    return value;
}

void findSettingValue(const std::string& path, const std::string& key) {
    settingsFile.settingFoundValue.clear();
    std::vector<std::string> lines;
    if (!readLines(path, lines)) return;
    settingsFile.settingFoundValue = lastMatchValue(lines, key + "=");
}

void readSettingText(const std::string& path, const std::string& defaultText, const std::string& key) {
    findSettingValue(path, key);
    if (settingsFile.settingFoundValue.empty()) {
        appendLine(path, key + "=" + defaultText);
        settingsFile.settingTextResult = defaultText;
    } else {
        settingsFile.settingTextResult = settingsFile.settingFoundValue;
    }
}

void readSettingInteger(const std::string& path, std::int64_t defaultValue, const std::string& key) {
    findSettingValue(path, key);
    if (settingsFile.settingFoundValue.empty()) {
        appendLine(path, key + "=" + std::to_string(defaultValue));
        settingsFile.settingIntResult = defaultValue;
    } else {
        settingsFile.settingIntResult = parseSettingInteger(settingsFile.settingFoundValue);
    }
}

void readSettingReal(const std::string& path, double defaultValue, const std::string& key) {
    findSettingValue(path, key);
    if (settingsFile.settingFoundValue.empty()) {
        char text[512];
        std::snprintf(text, sizeof text, "%.18f", defaultValue);
        appendLine(path, key + "=" + text);
        settingsFile.settingRealResult = defaultValue;
    } else {
        settingsFile.settingRealResult = parseSettingReal(settingsFile.settingFoundValue);
    }
}

std::string readSettingWithSeparator(const std::string& path, const std::string& key, const std::string& separator,
                                     const std::string& defaultText) {
    std::vector<std::string> lines;
    std::string result;
    if (readLines(path, lines)) result = lastMatchValue(lines, key + separator);
    if (settingsFile.separatorReadPauseMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(settingsFile.separatorReadPauseMs));
    if (result.empty()) {
        appendLine(path, key + separator + defaultText);
        return defaultText;
    }
    return result;
}

void writeSetting(const std::string& path, const std::string& key, const std::string& value) {
    const std::string pattern = key + "=";
    const std::string target = hostPath(path);
    std::vector<std::string> lines;
    if (!readLines(path, lines)) return;

    std::ostringstream content;
    for (const auto& line : lines) {
        const auto at = findNoCase(line, pattern);
        if (at != std::string::npos) {
            settingsFile.settingFoundValue = line.substr(0, at) + line.substr(at + pattern.size());
            content << pattern << value << "\r\n";
        } else {
            content << line << "\r\n";
        }
    }

    // The new content goes to a temporary file beside the target, which a rename then replaces in one
    // step: whatever fails, either the old or the new file is complete on disk.
    const std::string temporary = folderOf(target) + "tmp.txt";
    bool written = false;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out) {
            const std::string bytes = content.str();
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            out.flush();
            written = static_cast<bool>(out);
        }
    }
    // std::filesystem::rename replaces an existing target on every platform (std::rename does not on Windows).
    std::error_code renameError;
    if (written) std::filesystem::rename(temporary, target, renameError);
    if (!written || renameError) {
        std::remove(temporary.c_str());
        showMessage("Error #0009 " + path + " error whilst trying to rename 'tmp.txt' to " + path);
    }
}

void writeOrAddSetting(const std::string& path, const std::string& key, const std::string& value) {
    std::vector<std::string> lines;
    if (!readLines(path, lines)) return;
    const std::string pattern = key + "=";
    for (const auto& line : lines) {
        if (findNoCase(line, pattern) != std::string::npos) {
            writeSetting(path, key, value);
            return;
        }
    }
    appendLine(path, pattern + value);
}
