#include "results/text_fields.h"

#include <charconv>
#include <fstream>
#include <limits>
#include <sstream>

#include "base/file_paths.h"

bool readWholeFile(const std::string& path, std::string& content) {
    std::ifstream in(hostPath(path), std::ios::binary);
    if (!in) return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    content = std::move(bytes).str();
    return true;
}

bool takeLine(std::string_view& rest, std::string_view& line) {
    if (rest.empty()) return false;
    const auto end = rest.find('\n');
    line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return true;
}

std::string_view takeField(std::string_view& rest) {
    const auto comma = rest.find(',');
    const std::string_view field = rest.substr(0, comma);
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    return field;
}

std::optional<std::int64_t> leadingInteger(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t firstDigit = i;
    constexpr std::int64_t limit = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
    }
    if (i == firstDigit) return std::nullopt;
    return negative ? -value : value;
}

double decimalValue(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() ? value : 0.0;
}
