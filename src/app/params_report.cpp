#include "app/params_report.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "analysis/kind_traits.h"
#include "app/json_values.h"
#include "base/unit_format.h"

namespace {

struct PointRow {
    const char* name;
    const char* key;
    ParameterValue PointParameters::*member;
    bool (*appliesTo)(DeviceKind); // null: every kind; text output hides a row that does not apply and has no value
};

constexpr std::array<PointRow, 9> pointRows = {{
    {"Vc", "vc", &PointParameters::collectorVoltage, nullptr},
    {"Ic", "ic", &PointParameters::collectorCurrent, nullptr},
    {"hFE", "hfe", &PointParameters::hfe, isBipolar},
    {"beta", "beta_ac", &PointParameters::beta, isBipolar},
    {"gm", "gm", &PointParameters::gm, isFieldEffect},
    {"go", "go", &PointParameters::go, nullptr},
    {"ro", "ro", &PointParameters::ro, nullptr},
    {"VA", "vaf", &PointParameters::earlyVoltage, isBipolar},
    {"lambda", "lambda", &PointParameters::lambda, isFieldEffect},
}};

bool shown(const PointRow& row, DeviceKind kind, const ParameterValue& value) {
    return value.available || !row.appliesTo || kind == DeviceKind::Unknown || row.appliesTo(kind);
}

bool usable(const ParameterValue& value) { return value.available && std::isfinite(value.value); }
bool hasQuality(const ParameterValue& value) { return usable(value) && value.fitted && std::isfinite(value.quality); }

std::string textRow(const std::string& name, const ParameterValue& value) {
    char line[160];
    std::snprintf(line, sizeof line, "  %-22s %-18s", name.c_str(), formatParameter(value).c_str());
    std::string text = line;
    if (hasQuality(value)) text += "R^2 " + formatFixed(value.quality, 4);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text + "\n";
}

std::string pointText(const OperatingPoint& point) {
    const ParameterValue voltage{true, point.collectorVoltage, "V"};
    const ParameterValue current{true, point.collectorCurrent, "A"};
    std::string text = "step " + std::to_string(point.step);
    if (point.byCurrent) return text + ", Ic " + formatParameter(current) + " (from Vc " + formatParameter(voltage) + ")";
    return text + ", Vc " + formatParameter(voltage);
}

Json valueJson(const ParameterValue& value) {
    Json json;
    json["value"] = jsonNumber(value);
    json["unit"] = value.unit;
    json["text"] = formatParameter(value);
    json["quality"] = hasQuality(value) ? Json(value.quality) : Json(nullptr);
    return json;
}

} // namespace

std::string paramsReportText(const ParamsReport& report) {
    std::string text = "File: " + report.file + "\n";
    text += std::string("Device: ") + deviceKindName(report.kind) + (report.kindInferred ? " (inferred)" : " (given)") + "\n";
    text += "Whole run:\n";
    const std::vector<ParameterRow> rows = parameterRows(report.run);
    if (rows.empty()) text += "  -\n";
    for (const ParameterRow& row : rows)
        text += textRow(row.step < 0 ? row.name : row.name + " step " + std::to_string(row.step), row.value);
    text += "At the operating point (" + pointText(report.point) + "):\n";
    for (const PointRow& row : pointRows) {
        const ParameterValue& value = report.atPoint.*row.member;
        if (shown(row, report.kind, value)) text += textRow(row.name, value);
    }
    text += "Model card:\n";
    text += report.modelCard.empty() ? std::string("-") : report.modelCard;
    text += "\n";
    return text;
}

std::string paramsReportJson(const ParamsReport& report) {
    Json json;
    json["file"] = report.file;
    json["device"] = deviceKindName(report.kind);
    json["device_inferred"] = report.kindInferred;
    Json run = Json::array();
    for (const ParameterRow& row : parameterRows(report.run)) {
        Json entry;
        entry["name"] = row.name;
        entry["key"] = row.key;
        entry["step"] = row.step < 0 ? Json(nullptr) : Json(row.step);
        entry.update(valueJson(row.value));
        run.push_back(std::move(entry));
    }
    json["run"] = std::move(run);
    Json point;
    point["step"] = report.point.step;
    point["collector_voltage"] = report.point.collectorVoltage;
    point["collector_current"] = report.point.byCurrent ? Json(report.point.collectorCurrent) : Json(nullptr);
    Json parameters = Json::object();
    for (const PointRow& row : pointRows) {
        Json entry;
        entry["name"] = row.name;
        entry.update(valueJson(report.atPoint.*row.member));
        parameters[row.key] = std::move(entry);
    }
    point["parameters"] = std::move(parameters);
    json["point"] = std::move(point);
    json["model"] = report.modelCard.empty() ? Json(nullptr) : Json(report.modelCard);
    return jsonLine(json);
}
