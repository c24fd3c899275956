#include "app/unattended_report.h"

#include <algorithm>
#include <cstdio>

#include <nlohmann/json.hpp>

#include "analysis/compare.h"
#include "app/params_report.h"

namespace {

using Json = nlohmann::ordered_json;

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

// A number for a spreadsheet: enough digits for the smallest saturation currents.
std::string plainNumber(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.7g", value);
    return text;
}

// Quoted when it holds a separator or a quote, so a part id or a stop reason cannot shift columns.
std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

const ParameterRow* findRow(const PartResult& part, const std::string& key) {
    for (const ParameterRow& row : part.parameters)
        if (row.key == key) return &row;
    return nullptr;
}

std::string mainParameterText(const PartResult& part) {
    if (!part.analysed) return "-";
    const ParameterRow* row = findRow(part, mainParameterKey(part.kind));
    return row ? row->name + " " + formatParameter(row->value) : std::string("-");
}

} // namespace

std::string partLine(const PartResult& part, bool withParameters) {
    std::string line = part.id + " ";
    for (const std::string& file : part.files) line += " " + file;
    line += "  ended by " + part.endedBy + "  " + seconds(part.seconds) + " s";
    if (withParameters) {
        line += "  device " + std::string(part.analysed ? deviceKindName(part.kind) : "-");
        for (const ParameterRow& row : part.parameters) line += "  " + row.name + " " + formatParameter(row.value);
    }
    return line + "\n";
}

std::string partJson(const PartResult& part, bool withParameters) {
    Json json;
    json["part"] = part.id;
    json["files"] = part.files;
    json["ended_by"] = part.endedBy;
    json["seconds"] = part.seconds;
    if (withParameters) {
        json["device"] = part.analysed ? Json(deviceKindName(part.kind)) : Json(nullptr);
        Json parameters = Json::object();
        for (const ParameterRow& row : part.parameters) {
            Json entry;
            entry["name"] = row.name;
            entry.update(parameterValueJson(row.value));
            parameters[row.key] = std::move(entry);
        }
        json["parameters"] = std::move(parameters);
    }
    return json.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string summaryTable(const std::vector<PartResult>& parts) {
    std::size_t idWidth = 4, endWidth = 8;
    for (const PartResult& part : parts) {
        idWidth = std::max(idWidth, part.id.size());
        endWidth = std::max(endWidth, part.endedBy.size());
    }
    const auto row = [&](const std::string& id, const std::string& ended, const std::string& time,
                         const std::string& device, const std::string& main) {
        char line[512];
        std::snprintf(line, sizeof line, "%-*s  %-*s  %8s  %-9s  %s", static_cast<int>(idWidth), id.c_str(),
                      static_cast<int>(endWidth), ended.c_str(), time.c_str(), device.c_str(), main.c_str());
        std::string text = line;
        while (!text.empty() && text.back() == ' ') text.pop_back();
        return text + "\n";
    };
    std::string table = row("Part", "Ended by", "Seconds", "Device", "Main parameter");
    for (const PartResult& part : parts)
        table += row(part.id, part.endedBy, seconds(part.seconds), part.analysed ? deviceKindName(part.kind) : "-",
                     mainParameterText(part));
    return table;
}

std::string summaryCsv(const std::vector<PartResult>& parts) {
    std::vector<std::string> keys;
    for (const PartResult& part : parts)
        for (const ParameterRow& row : part.parameters)
            if (std::find(keys.begin(), keys.end(), row.key) == keys.end()) keys.push_back(row.key);
    std::string text = "part,ended_by,seconds,device,data_file,picture_file";
    for (const std::string& key : keys) text += "," + key;
    text += "\r\n";
    for (const PartResult& part : parts) {
        text += csvField(part.id) + "," + csvField(part.endedBy) + "," + seconds(part.seconds) + "," +
                (part.analysed ? deviceKindName(part.kind) : "");
        std::string data, picture;
        for (const std::string& file : part.files) {
            if (data.empty() && file.ends_with(".csv")) data = file;
            if (picture.empty() && file.ends_with(".png")) picture = file;
        }
        text += "," + csvField(data) + "," + csvField(picture);
        for (const std::string& key : keys) {
            const ParameterRow* row = findRow(part, key);
            text += ",";
            if (row && row->value.available) text += plainNumber(row->value.value);
        }
        text += "\r\n";
    }
    return text;
}
