#include "app/match_report.h"

#include <algorithm>

#include "app/json_values.h"
#include "base/unit_format.h"

namespace {

using Table = std::vector<std::vector<std::string>>;

// Columns padded to their widest cell, two spaces apart, no trailing blanks.
std::string tableText(const Table& rows) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
    }
    std::string text;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size()) line.append(widths[c] - row[c].size() + 2, ' ');
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        text += line + "\n";
    }
    return text;
}

bool byCurves(std::string_view by) { return by == "rms" || by == "rms0"; }

// The parameter's name as the parts' own rows give it ("hFE", "Vth"); the key when no part has it.
std::string parameterName(const std::vector<MatchPart>& parts, std::string_view key) {
    for (const MatchPart& part : parts)
        for (const ParameterRow& row : parameterRows(part.parameters))
            if (row.step < 0 && row.key == key) return row.name;
    return std::string(key);
}

std::string scoreMeaning(const std::vector<MatchPart>& parts, std::string_view by) {
    if (by == "rms") return "the RMS difference of their curves in % of full scale";
    if (by == "rms0") return "the RMS difference of their curves, each step's mean offset removed, in % of full scale";
    return "the difference of their " + parameterName(parts, by) + " in % of the pair's mean";
}

std::string scoreText(const MatchPair& pair) { return pair.available ? formatFixed(pair.score, 3) + " %" : "-"; }

std::size_t shownPairs(const PairsReport& report) { return std::min(report.top, report.ranked.size()); }

std::string binName(const BinsReport& report, int bin) {
    if (bin < 0) return "-";
    const auto k = static_cast<std::size_t>(bin);
    if (k == 0) return "< " + report.edgeTexts.front();
    if (k >= report.edgeTexts.size()) return ">= " + report.edgeTexts.back();
    return report.edgeTexts[k - 1] + ".." + report.edgeTexts[k];
}

} // namespace

std::string pairsReportText(const std::vector<MatchPart>& parts, const PairsReport& report) {
    std::string text = "Best " + std::to_string(shownPairs(report)) + " of " + std::to_string(report.ranked.size()) +
                       " pairs of " + std::to_string(parts.size()) + " parts by " + scoreMeaning(parts, report.by) +
                       ":\n";
    const bool curves = byCurves(report.by);
    const std::string name = curves ? std::string() : parameterName(parts, report.by);
    Table rows;
    rows.push_back({"rank", "first", "second", "score"});
    if (!curves) rows.front().insert(rows.front().end(), {name + " first", name + " second"});
    for (std::size_t k = 0; k < shownPairs(report); ++k) {
        const MatchPair& pair = report.ranked[k];
        const MatchPart& first = parts[static_cast<std::size_t>(pair.first)];
        const MatchPart& second = parts[static_cast<std::size_t>(pair.second)];
        rows.push_back({std::to_string(k + 1), first.name, second.name, scoreText(pair)});
        if (!curves)
            rows.back().insert(rows.back().end(), {formatParameter(runParameterByKey(first.parameters, report.by)),
                                                   formatParameter(runParameterByKey(second.parameters, report.by))});
    }
    return text + tableText(rows);
}

std::string pairsReportJson(const std::vector<MatchPart>& parts, const PairsReport& report) {
    std::string text;
    for (std::size_t k = 0; k < shownPairs(report); ++k) {
        const MatchPair& pair = report.ranked[k];
        const MatchPart& first = parts[static_cast<std::size_t>(pair.first)];
        const MatchPart& second = parts[static_cast<std::size_t>(pair.second)];
        Json json;
        json["rank"] = k + 1;
        json["first"] = first.name;
        json["second"] = second.name;
        json["by"] = report.by;
        json["score"] = pair.available ? Json(pair.score) : Json(nullptr);
        json["score_unit"] = byCurves(report.by) ? "% of full scale" : "% of the mean";
        if (!byCurves(report.by)) {
            const ParameterValue a = runParameterByKey(first.parameters, report.by);
            const ParameterValue b = runParameterByKey(second.parameters, report.by);
            json["first_value"] = jsonNumber(a);
            json["second_value"] = jsonNumber(b);
            json["unit"] = a.available ? a.unit : b.unit;
        }
        text += jsonLine(json);
    }
    return text;
}

std::string binsReportText(const std::vector<MatchPart>& parts, const BinsReport& report) {
    const std::string name = parameterName(parts, report.key);
    std::string text = std::to_string(parts.size()) + " parts in bins by " + name + ":\n";
    Table rows;
    rows.push_back({"file", name, "bin"});
    std::vector<int> counts(report.edges.size() + 1, 0);
    int without = 0;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        const int bin = report.binOfPart[k];
        rows.push_back({parts[k].name, formatParameter(runParameterByKey(parts[k].parameters, report.key)),
                        binName(report, bin)});
        if (bin < 0) ++without;
        else ++counts[static_cast<std::size_t>(bin)];
    }
    text += tableText(rows) + "Parts per bin:\n";
    rows.clear();
    for (std::size_t b = 0; b < counts.size(); ++b)
        rows.push_back({"  " + binName(report, static_cast<int>(b)), std::to_string(counts[b])});
    if (without > 0) rows.push_back({"  -", std::to_string(without)});
    return text + tableText(rows);
}

std::string binsReportJson(const std::vector<MatchPart>& parts, const BinsReport& report) {
    std::string text;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        const ParameterValue value = runParameterByKey(parts[k].parameters, report.key);
        const int bin = report.binOfPart[k];
        Json json;
        json["file"] = parts[k].name;
        json["key"] = report.key;
        json["value"] = jsonNumber(value);
        json["unit"] = value.unit;
        json["bin"] = bin < 0 ? Json(nullptr) : Json(bin);
        json["range"] = bin < 0 ? Json(nullptr) : Json(binName(report, bin));
        text += jsonLine(json);
    }
    return text;
}
