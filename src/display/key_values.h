// The key: each curve's value at the two X cursors and their difference, and the table the panel
// lists in the chosen key direction.
#pragma once

#include <array>
#include <string>

#include "sweep/run_record.h"

constexpr int keyColumns = 11;
constexpr int keyRows = 31;

struct KeyValues {
    std::array<std::string, runRecordSteps> keyAtXA;
    std::array<std::string, runRecordSteps> keyAtXB;
    std::array<std::string, runRecordSteps> keyDifference;
    // [column][row]; row 0 holds the headings, rows 1..25 one curve each
    std::array<std::array<std::string, keyRows>, keyColumns> keyTable;
};

inline KeyValues keyValues;

// The Y value of one step of `run` where its X first crosses `cursorX` (linear interpolation; 0 when
// it never does).
double valueAtCursor(const RunRecord& run, int step, double cursorX);
// Fills the key values from the displayed sample run (also during a run).
void computeKeyValues();
void buildKeyTable();
