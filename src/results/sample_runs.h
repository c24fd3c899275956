// Numbered sample runs: the copies of completed runs in "sampleruns/", one of which is loaded into a
// second run record for the graph.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "results/run_data_reader.h"
#include "sweep/run_record.h"

struct SampleRuns {
    std::int64_t sampleRunCount = 0; // highest sample-run number found or written
    std::int64_t sampleRunIndex = 0; // number of the sample run displayed
    // Columns 12..27 (BGmode ... Notes2) of the displayed run's first data line, by column number.
    RunDataColumns sampleRunParameters;
};

inline SampleRuns sampleRuns;
// The displayed sample run's samples.
inline RunRecord sampleRunRecord;

void resetSampleRunDefaults();

// "0007.csv": the number with leading zeros to four digits (longer numbers in full).
std::string sampleRunFileName(std::int64_t number);
// "sampleruns/0007.csv"
std::string sampleRunPath(std::int64_t number);

// Sets sampleRunCount to the largest leading number of the "*.csv" names in "sampleruns/" (0 without any).
void findSampleRuns();
// Loads sample run sampleRunIndex; when its file cannot be opened the displayed run stays as it was.
// True when a file was read.
bool loadSampleRun();
// Reads the text of a run data file into the sample-run record and parameters.
void readSampleRunText(std::string_view content);

// Controls 353 and 355: the previous or next number, within 0..sampleRunCount, then loaded.
void previousSampleRun();
void nextSampleRun();
