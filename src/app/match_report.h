// What "krv650 match" prints: the best pairs of a batch of parts, or the parts sorted into bins, as
// text for a person or as one JSON object per line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/compare.h"

struct PairsReport {
    std::string by;                 // "rms", "rms0" or a whole-run parameter key
    std::vector<MatchPair> ranked;  // every pair, best first
    std::size_t top = 10;           // how many of them to print
};
std::string pairsReportText(const std::vector<MatchPart>& parts, const PairsReport& report);
std::string pairsReportJson(const std::vector<MatchPart>& parts, const PairsReport& report);

struct BinsReport {
    std::string key;                    // a whole-run parameter key
    std::vector<double> edges;          // ascending
    std::vector<std::string> edgeTexts; // as typed, for the bins' names
    std::vector<int> binOfPart;         // binParts: 0..edges.size(), -1 without the parameter
};
std::string binsReportText(const std::vector<MatchPart>& parts, const BinsReport& report);
std::string binsReportJson(const std::vector<MatchPart>& parts, const BinsReport& report);
