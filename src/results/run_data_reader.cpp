#include "results/run_data_reader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

#include "results/run_data_file.h"
#include "results/text_fields.h"

namespace {

// The header and every line of a full record; anything after cannot belong to a run.
constexpr std::size_t maximumLines = 1 + static_cast<std::size_t>(runRecordSteps) * (runRecordEntries + 1);
constexpr int firstParameterColumn = 12;
constexpr int lastParameterColumn = 27;

void takeParameters(std::string_view line, RunDataColumns& columns) {
    for (int column = 1; column < firstParameterColumn; ++column) takeField(line);
    // The last field has no comma after it, so Notes2 never arrives.
    for (int column = firstParameterColumn; column < lastParameterColumn; ++column) {
        const bool followedByComma = line.find(',') != std::string_view::npos;
        const std::string_view field = takeField(line);
        columns[static_cast<std::size_t>(column)] = followedByComma ? std::string(field) : std::string();
    }
    columns[lastParameterColumn].clear();
}

// One data line; a line whose step or entry is not a number or lies outside the record is skipped.
void takeSample(std::string_view line, RunRecord& r) {
    const std::optional<std::int64_t> step = leadingInteger(takeField(line));
    const std::optional<std::int64_t> entry = leadingInteger(takeField(line));
    const std::optional<std::int64_t> count = leadingInteger(takeField(line));
    if (!step || !entry || !count) return;
    if (*step < 0 || *step >= runRecordSteps || *entry < 0 || *entry > runRecordEntries) return;
    const auto s = static_cast<std::size_t>(*step);
    const auto e = static_cast<std::size_t>(*entry);
    r.entryCount[s] = std::clamp<std::int64_t>(*count, 0, runRecordEntries);
    for (double* channel : {&r.VR[s][e], &r.VB[s][e], &r.VC[s][e], &r.IR[s][e], &r.IB[s][e], &r.IC[s][e],
                            &r.TIB[s][e], &r.TVB[s][e]})
        *channel = decimalValue(takeField(line));
}

} // namespace

void readRunDataText(std::string_view content, RunRecord& record, RunDataColumns& columns) {
    std::string_view rest = content;
    std::string_view line;
    takeLine(rest, line); // the header
    std::string_view peek = rest;
    std::string_view firstDataLine;
    takeLine(peek, firstDataLine);
    takeParameters(firstDataLine, columns);
    std::fill(std::begin(record.entryCount), std::end(record.entryCount), 0);
    for (std::size_t lineNumber = 2; lineNumber <= maximumLines && takeLine(rest, line) && !line.empty();
         ++lineNumber)
        takeSample(line, record);
}

RunDataLoad loadRunDataFile(const std::filesystem::path& file, RunRecord& record, RunDataColumns& columns) {
    std::error_code error;
    if (std::filesystem::is_directory(file, error)) return RunDataLoad::Unreadable;
    std::ifstream in(file, std::ios::binary);
    if (!in) return RunDataLoad::Unreadable;
    // The header decides before the rest is read, so a large file of another kind is not read whole.
    std::string content(runDataFileHeader.size() + 2, '\0');
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    if (in.bad()) return RunDataLoad::Unreadable;
    content.resize(static_cast<std::size_t>(in.gcount()));
    std::string_view start = content;
    std::string_view firstLine;
    if (!takeLine(start, firstLine) || firstLine != runDataFileHeader) return RunDataLoad::NotRunData;
    content.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) return RunDataLoad::Unreadable;
    readRunDataText(content, record, columns);
    return RunDataLoad::Loaded;
}
