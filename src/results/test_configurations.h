// The test configurations table: the graph set-ups the test configuration tile steps through, read
// from "settings/TestConfigurations.CSV" and selected by the sweep's testConfigurationId.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

constexpr int testConfigurationRows = 2001;   // ids 0..2000
constexpr int testConfigurationColumns = 26;  // column 0 holds the id text

struct TestConfigurationTable {
    std::string cell[testConfigurationRows][testConfigurationColumns];
};

inline TestConfigurationTable testConfigurations;

void resetTestConfigurationDefaults();

// Reads the table file; when it cannot be opened, says so in a box and leaves the table empty.
bool loadTestConfigurations();
// Fills the table from the text of a table file (every cell emptied first).
void readTestConfigurationText(std::string_view content);
// A cell, or the empty text for an id or column outside the table.
const std::string& testConfigurationCell(std::int64_t id, int column);

// Controls 356 and 358: the neighbouring id within its hundred, and the graph type one down or up.
void previousTestConfiguration();
void nextTestConfiguration();
