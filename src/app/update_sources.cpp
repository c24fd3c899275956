#include "app/update_sources.h"

#include <charconv>
#include <cstdlib>
#include <string_view>

namespace {

struct DownloadRow {
    const char* model;
    int downloadId;
};

// The maker's instruments and the numbers of their program downloads.
constexpr DownloadRow downloadTable[] = {
    {"KRV650", 2650}, {"KRV640", 2640}, {"KRV600", 2600}, {"KRV550", 2550}, {"KRV500", 2500},
    {"KRD420", 2420}, {"KRD400", 2400}, {"KRS310", 2310}, {"KRS300", 2300},
};

// Digits with an optional sign and decimal point, read without the C locale, which may use a comma.
float leadingNumber(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && text[at] == ' ') ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    std::size_t end = at;
    bool digits = false;
    bool point = false;
    for (; end < text.size(); ++end) {
        const char c = text[end];
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return 0.0f;
    double value = 0.0;
    std::from_chars(text.data() + at, text.data() + end, value, std::chars_format::fixed);
    return static_cast<float>(negative ? -value : value);
}

} // namespace

std::string updateServerAddress() {
    const char* address = std::getenv("KRV_UPDATE_SERVER");
    return address && *address ? address : "http://www.halvane.com";
}

std::string versionListUrl() {
    return updateServerAddress() + "/wp-content/TALO_version.txt";
}

std::string downloadPageUrl() {
    return updateServerAddress() + "/software";
}

std::optional<std::string> downloadAddressFor(const std::string& model) {
    for (const DownloadRow& row : downloadTable) {
        if (model == row.model)
            return updateServerAddress() + "/?smd_process_download=1&download_id=" + std::to_string(row.downloadId);
    }
    return std::nullopt;
}

float latestVersionIn(const std::string& listText, const std::string& model) {
    float latest = 0.0f;
    // A blank model would match every line.
    if (model.empty()) return latest;
    std::string_view rest = listText;
    while (!rest.empty()) {
        const std::size_t end = rest.find_first_of("\r\n");
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        if (line.find(model) == std::string_view::npos) continue;
        const std::size_t equals = line.find('=');
        // A line without "=" names the model but carries no version.
        if (equals == std::string_view::npos) continue;
        latest = leadingNumber(line.substr(equals + 1, 6));
    }
    return latest;
}
