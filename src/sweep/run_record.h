// The samples of one run: per step the stored count and, per entry 1..10000, the readings and targets.
#pragma once

#include <cstdint>

constexpr int runRecordSteps = 25;
constexpr int runRecordEntries = 10000; // entries 1..10000; entry 0 is never written

struct RunRecord {
    std::int64_t entryCount[runRecordSteps] = {};
    double VR[runRecordSteps][runRecordEntries + 1] = {};
    double VB[runRecordSteps][runRecordEntries + 1] = {};
    double VC[runRecordSteps][runRecordEntries + 1] = {};
    double IR[runRecordSteps][runRecordEntries + 1] = {};
    double IB[runRecordSteps][runRecordEntries + 1] = {};
    double IC[runRecordSteps][runRecordEntries + 1] = {};
    double TIB[runRecordSteps][runRecordEntries + 1] = {};
    double TVB[runRecordSteps][runRecordEntries + 1] = {};
};

// The run being measured (the graph shows it while a run is active).
inline RunRecord runRecord;
