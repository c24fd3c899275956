// The samples of one run: per step the stored count and, per entry 1..10000, the readings and targets.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <iterator>

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

// Every count and sample back to 0, in place: the record is far too large for a temporary on the stack.
inline void clearRunRecord(RunRecord& record) {
    std::fill(std::begin(record.entryCount), std::end(record.entryCount), 0);
    using Table = double[runRecordSteps][runRecordEntries + 1];
    for (Table* table : {&record.VR, &record.VB, &record.VC, &record.IR, &record.IB, &record.IC, &record.TIB, &record.TVB})
        std::fill(&(*table)[0][0], &(*table)[0][0] + runRecordSteps * (runRecordEntries + 1), 0.0);
}

// The run being measured (the graph shows it while a run is active).
inline RunRecord runRecord;
