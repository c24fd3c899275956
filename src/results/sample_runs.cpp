#include "results/sample_runs.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <filesystem>
#include <optional>

#include "results/text_fields.h"

namespace {

constexpr const char* sampleRunFolder = "sampleruns/";

bool hasCsvExtension(const std::string& name) {
    if (name.size() < 4) return false;
    std::string extension = name.substr(name.size() - 4);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".csv";
}

} // namespace

void resetSampleRunDefaults() {
    sampleRuns = SampleRuns{};
    clearRunRecord(sampleRunRecord);
}

std::string sampleRunFileName(std::int64_t number) {
    std::string digits = std::to_string(number);
    if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
    return digits + ".csv";
}

std::string sampleRunPath(std::int64_t number) {
    return sampleRunFolder + sampleRunFileName(number);
}

void findSampleRuns() {
    sampleRuns.sampleRunCount = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator it(sampleRunFolder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (!hasCsvExtension(name)) continue;
        const std::int64_t number = leadingInteger(name).value_or(0);
        sampleRuns.sampleRunCount = std::max(sampleRuns.sampleRunCount, number);
    }
}

void readSampleRunText(std::string_view content) {
    readRunDataText(content, sampleRunRecord, sampleRuns.sampleRunParameters);
}

bool loadSampleRun() {
    std::string content;
    if (!readWholeFile(sampleRunPath(sampleRuns.sampleRunIndex), content)) return false;
    readSampleRunText(content);
    return true;
}

void previousSampleRun() {
    sampleRuns.sampleRunIndex = std::max<std::int64_t>(sampleRuns.sampleRunIndex - 1, 0);
    loadSampleRun();
}

void nextSampleRun() {
    sampleRuns.sampleRunIndex = std::min(sampleRuns.sampleRunIndex + 1, sampleRuns.sampleRunCount);
    loadSampleRun();
}
