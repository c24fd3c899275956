#include "results/sample_runs.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <filesystem>
#include <optional>

#include "results/text_fields.h"

namespace {

constexpr const char* sampleRunFolder = "sampleruns/";
// The header and every line of a full record; anything after cannot belong to a run.
constexpr std::size_t maximumLines = 1 + static_cast<std::size_t>(runRecordSteps) * (runRecordEntries + 1);
constexpr int firstParameterColumn = 12;
constexpr int lastParameterColumn = 27;

bool hasCsvExtension(const std::string& name) {
    if (name.size() < 4) return false;
    std::string extension = name.substr(name.size() - 4);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".csv";
}

void takeParameters(std::string_view line) {
    auto& parameters = sampleRuns.sampleRunParameters;
    for (int column = 1; column < firstParameterColumn; ++column) takeField(line);
    // The last field has no comma after it, so Notes2 never arrives.
    for (int column = firstParameterColumn; column < lastParameterColumn; ++column) {
        const bool followedByComma = line.find(',') != std::string_view::npos;
        const std::string_view field = takeField(line);
        parameters[static_cast<std::size_t>(column)] = followedByComma ? std::string(field) : std::string();
    }
    parameters[lastParameterColumn].clear();
}

// One data line; a line whose step or entry is not a number or lies outside the record is skipped.
void takeSample(std::string_view line) {
    const std::optional<std::int64_t> step = leadingInteger(takeField(line));
    const std::optional<std::int64_t> entry = leadingInteger(takeField(line));
    const std::optional<std::int64_t> count = leadingInteger(takeField(line));
    if (!step || !entry || !count) return;
    if (*step < 0 || *step >= runRecordSteps || *entry < 0 || *entry > runRecordEntries) return;
    const auto s = static_cast<std::size_t>(*step);
    const auto e = static_cast<std::size_t>(*entry);
    RunRecord& r = sampleRunRecord;
    r.entryCount[s] = std::clamp<std::int64_t>(*count, 0, runRecordEntries);
    for (double* channel : {&r.VR[s][e], &r.VB[s][e], &r.VC[s][e], &r.IR[s][e], &r.IB[s][e], &r.IC[s][e],
                            &r.TIB[s][e], &r.TVB[s][e]})
        *channel = decimalValue(takeField(line));
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
    std::string_view rest = content;
    std::string_view line;
    takeLine(rest, line); // the header
    std::string_view peek = rest;
    std::string_view firstDataLine;
    takeLine(peek, firstDataLine);
    takeParameters(firstDataLine);
    std::fill(std::begin(sampleRunRecord.entryCount), std::end(sampleRunRecord.entryCount), 0);
    for (std::size_t lineNumber = 2; lineNumber <= maximumLines && takeLine(rest, line) && !line.empty();
         ++lineNumber)
        takeSample(line);
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
