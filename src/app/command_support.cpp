#include "app/command_support.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "analysis/analysis.h"

bool parsePlainNumber(std::string_view text, double& value) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() && std::isfinite(value);
}

std::vector<std::string> deviceKindNames() {
    std::vector<std::string> names;
    for (DeviceKind kind = DeviceKind::Npn; kind <= DeviceKind::Resistor;
         kind = static_cast<DeviceKind>(static_cast<int>(kind) + 1))
        names.emplace_back(deviceKindName(kind));
    return names;
}

std::string runDataLoadProblem(std::string_view command, const std::string& file, RunDataLoad load) {
    const std::string lead = "krv650 " + std::string(command) + ": ";
    if (load == RunDataLoad::Unreadable) return lead + "cannot read '" + file + "'\n";
    if (load == RunDataLoad::NotRunData)
        return lead + "'" + file + "' is not a run data file (its first line is not the run data header)\n";
    return {};
}

bool writeStandardOutput(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}
