#include "base/messages.h"

#include <cstdio>
#include <fstream>

#include "base/local_time.h"
#include "platform/platform.h"

namespace {

const char* const monthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};


MessageParts partsAfter(const std::string& text, std::size_t titleLength, int icon) {
    MessageParts parts;
    parts.icon = icon;
    parts.title = text.substr(0, titleLength);
    parts.body = text.size() > titleLength + 1 ? text.substr(titleLength + 1) : std::string();
    return parts;
}

} // namespace

MessageParts splitMessage(const std::string& text) {
    if (text.compare(0, 4, "Info") == 0) return partsAfter(text, 10, platform::IconInformation);
    if (text.compare(0, 7, "Warning") == 0) return partsAfter(text, 13, platform::IconWarning);
    if (text.compare(0, 5, "Error") == 0) return partsAfter(text, 11, platform::IconError);
    return {};
}

std::string formatLogLine(const std::string& text, const std::tm& when) {
    const int month = (when.tm_mon >= 0 && when.tm_mon < 12) ? when.tm_mon : 0;
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "[%02d-%s-%04d %02d:%02d:%02d] ", when.tm_mday, monthNames[month],
                  when.tm_year + 1900, when.tm_hour, when.tm_min, when.tm_sec);
    return stamp + text;
}

void appendLogLine(const std::string& text) {
    // One reading of the clock for the whole stamp, so a line written at midnight cannot mix two days.
    const std::string line = formatLogLine(text, localNow()) + "\r\n";
    std::ofstream log("log.txt", std::ios::binary | std::ios::app);
    if (log) log.write(line.data(), static_cast<std::streamsize>(line.size()));
    if (!log) platform::messageBox("Warning #xxxx", "cannot write to log.txt", platform::IconWarning, platform::ButtonsOk);
}

void showMessage(const std::string& text) {
    appendLogLine(text);
    const MessageParts parts = splitMessage(text);
    if (parts.title.empty()) return;
    platform::messageBox(parts.title, parts.body, parts.icon, platform::ButtonsOk);
}
