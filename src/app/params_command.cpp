// The "params" subcommand: the device parameters and the model card of a saved run, without a window.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/analysis.h"
#include "app/command_line.h"
#include "app/command_support.h"
#include "app/params_report.h"
#include "results/run_data_reader.h"

namespace {

constexpr int exitUnreadable = 3;
constexpr int exitNotRunData = 4;

struct ParamsOptions {
    std::string file;
    std::string device;
    std::string at;
    int step = -1; // -1: the middle measured step
    bool json = false;
};

// "VC" or "VC,IC", plain numbers in volts and amperes.
bool parseAt(std::string_view text, OperatingPoint& point) {
    const auto comma = text.find(',');
    if (!parsePlainNumber(text.substr(0, comma), point.collectorVoltage)) return false;
    point.byCurrent = comma != std::string_view::npos;
    return !point.byCurrent || parsePlainNumber(text.substr(comma + 1), point.collectorCurrent);
}

// The middle of the measured steps, at half the largest collector voltage reached (with its sign).
OperatingPoint defaultPoint(const RunRecord& record) {
    OperatingPoint point;
    int lastStep = 0;
    double largest = 0;
    for (int s = 0; s < runRecordSteps; ++s) {
        const auto count = std::clamp<std::int64_t>(record.entryCount[s], 0, runRecordEntries);
        if (count > 0) lastStep = s;
        for (std::int64_t e = 1; e <= count; ++e) {
            const double vc = record.VC[s][e];
            if (std::isfinite(vc) && std::fabs(vc) > std::fabs(largest)) largest = vc;
        }
    }
    point.step = lastStep / 2;
    point.collectorVoltage = largest / 2;
    return point;
}

int runParams(const ParamsOptions& options) {
    auto record = std::make_unique<RunRecord>();
    RunDataColumns columns;
    const RunDataLoad load = loadRunDataFile(options.file, *record, columns);
    if (load != RunDataLoad::Loaded) {
        std::fputs(runDataLoadProblem("params", options.file, load).c_str(), stderr);
        return load == RunDataLoad::Unreadable ? exitUnreadable : exitNotRunData;
    }
    const RunSettings settings = parseRunSettings(columns);
    ParamsReport report;
    report.file = options.file;
    report.kindInferred = options.device.empty();
    report.kind = report.kindInferred ? inferDeviceKind(*record, settings) : DeviceKind::Unknown;
    if (!report.kindInferred) parseDeviceKind(options.device, report.kind);
    report.point = defaultPoint(*record);
    if (!options.at.empty()) parseAt(options.at, report.point);
    if (options.step >= 0) report.point.step = options.step;
    report.run = analyseRun(*record, settings, report.kind);
    report.atPoint = parametersAtPoint(*record, settings, report.kind, report.point);
    report.modelCard = modelCardLine(report.run, std::filesystem::path(options.file).stem().string());
    const std::string out = options.json ? paramsReportJson(report) : paramsReportText(report);
    return writeStandardOutput(out) ? 0 : exitOutputFailed;
}

} // namespace

void addParamsCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<ParamsOptions>();
    auto* command = app.add_subcommand(
        "params", "Prints the device parameters and the .model line of a saved run data file. Needs no display.");
    command->add_option("FILE", options->file, "The run data file (.csv) to read")->required();
    const std::vector<std::string> names = deviceKindNames();
    command->add_option("--device", options->device, "The device kind instead of the one inferred")
        ->check(CLI::IsMember(names));
    command->add_option("--at", options->at,
                        "The operating point: the collector voltage VC in volts, or with IC the point where the step "
                        "reaches the collector current IC in amperes (default: half the largest Vc reached)")
        ->type_name("VC[,IC]")
        ->check(CLI::Validator(
            [](std::string& text) {
                OperatingPoint point;
                return parseAt(text, point) ? std::string() : "expected VC or VC,IC as plain numbers, got '" + text + "'";
            },
            ""));
    command->add_option("--step", options->step, "The step of the operating point (default: the middle measured step)")
        ->check(CLI::Range(0, runRecordSteps - 1));
    command->add_flag("--json", options->json, "Print one JSON object (unavailable values as null) instead of text");
    command->footer("Exit codes: 0 printed; 1 the output could not be written; 2 bad arguments; " +
                    std::to_string(exitUnreadable) +
                    " the file is missing or cannot be read; " + std::to_string(exitNotRunData) +
                    " the file is not a run data file.");
    command->callback([options, &exitCode] { exitCode = runParams(*options); });
}
