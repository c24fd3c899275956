// The "match" subcommand: a batch of saved runs ranked into matched pairs, or sorted into bins.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "analysis/compare.h"
#include "app/command_line.h"
#include "app/command_support.h"
#include "app/match_report.h"
#include "results/run_data_reader.h"

namespace {

constexpr int exitTooFewParts = 3;

struct MatchOptions {
    std::vector<std::string> inputs;
    std::string by = "rms";
    std::size_t top = 10;
    std::string bins; // "KEY:E1,E2,..."; empty: rank pairs
    std::string device;
    bool json = false;
};

bool knownScore(std::string_view by) {
    std::vector<MatchPair> none;
    return rankPairs({}, by, none);
}

bool knownParameterKey(std::string_view key) { return key != "rms" && key != "rms0" && knownScore(key); }

// "KEY:E1,E2,..." with at least one edge, strictly ascending.
bool parseBins(std::string_view text, BinsReport& bins) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || !knownParameterKey(text.substr(0, colon))) return false;
    bins.key = std::string(text.substr(0, colon));
    std::string_view rest = text.substr(colon + 1);
    while (true) {
        const auto comma = rest.find(',');
        const std::string_view field = rest.substr(0, comma);
        double edge = 0;
        if (!parsePlainNumber(field, edge) || (!bins.edges.empty() && edge <= bins.edges.back())) return false;
        bins.edges.push_back(edge);
        bins.edgeTexts.emplace_back(field);
        if (comma == std::string_view::npos) return true;
        rest.remove_prefix(comma + 1);
    }
}

bool hasCsvExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".csv";
}

// A folder's "*.csv" entries in name order, so that the same folder always lists the same way.
std::vector<std::string> csvFilesIn(const std::string& folder) {
    std::vector<std::filesystem::path> found;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (hasCsvExtension(it->path())) found.push_back(it->path());
    if (error) std::fputs(runDataLoadProblem("match", folder, RunDataLoad::Unreadable).c_str(), stderr);
    else if (found.empty()) std::fprintf(stderr, "krv650 match: no .csv files in '%s'\n", folder.c_str());
    std::sort(found.begin(), found.end());
    std::vector<std::string> files;
    for (const auto& path : found) files.push_back(path.string());
    return files;
}

// The files named by the inputs, each once: a part paired with itself would rank first with a score of 0.
std::vector<std::string> runFiles(const std::vector<std::string>& inputs) {
    std::vector<std::string> files;
    std::set<std::filesystem::path> seen;
    for (const std::string& input : inputs) {
        std::error_code error;
        const std::vector<std::string> named =
            std::filesystem::is_directory(input, error) ? csvFilesIn(input) : std::vector<std::string>{input};
        for (const std::string& file : named) {
            const std::filesystem::path identity = std::filesystem::weakly_canonical(file, error);
            if (!seen.insert(error ? std::filesystem::path(file) : identity).second) {
                std::fprintf(stderr, "krv650 match: '%s' is named more than once; it is read once\n", file.c_str());
                continue;
            }
            files.push_back(file);
        }
    }
    return files;
}

// One record on the heap for every file in turn; a part keeps only its curves and parameters.
std::vector<MatchPart> loadParts(const std::vector<std::string>& files, const std::string& device) {
    std::vector<MatchPart> parts;
    auto record = std::make_unique<RunRecord>();
    DeviceKind given = DeviceKind::Unknown;
    parseDeviceKind(device, given);
    for (const std::string& file : files) {
        RunDataColumns columns;
        const RunDataLoad load = loadRunDataFile(file, *record, columns);
        if (load != RunDataLoad::Loaded) {
            std::fputs(runDataLoadProblem("match", file, load).c_str(), stderr);
            continue;
        }
        const RunSettings settings = parseRunSettings(columns);
        const DeviceKind kind = device.empty() ? inferDeviceKind(*record, settings) : given;
        parts.push_back({file, runCurves(*record, settings), analyseRun(*record, settings, kind)});
    }
    return parts;
}

int runMatch(const MatchOptions& options) {
    const std::vector<MatchPart> parts = loadParts(runFiles(options.inputs), options.device);
    if (parts.size() < 2) {
        std::fprintf(stderr, "krv650 match: fewer than two readable run data files (%zu)\n", parts.size());
        return exitTooFewParts;
    }
    std::string out;
    if (!options.bins.empty()) {
        BinsReport bins;
        parseBins(options.bins, bins);
        bins.binOfPart = binParts(parts, bins.key, bins.edges);
        out = options.json ? binsReportJson(parts, bins) : binsReportText(parts, bins);
    } else {
        PairsReport pairs;
        pairs.by = options.by;
        pairs.top = options.top;
        rankPairs(parts, pairs.by, pairs.ranked);
        out = options.json ? pairsReportJson(parts, pairs) : pairsReportText(parts, pairs);
    }
    return writeStandardOutput(out) ? 0 : exitOutputFailed;
}

} // namespace

void addMatchCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<MatchOptions>();
    auto* command = app.add_subcommand(
        "match", "Ranks saved runs of a batch of parts into matched pairs, or sorts them into bins. Needs no display.");
    command
        ->add_option("FILES", options->inputs,
                     "Run data files (.csv), or folders whose .csv files are all read (such as sampleruns)")
        ->required();
    auto* by = command
                   ->add_option("--by", options->by,
                                "What pairs are ranked by: rms (the RMS difference of the curves), rms0 (the same "
                                "with each step's offset removed) or a whole-run parameter: hfe, vaf, vth, kp, beta, "
                                "lambda, idss, vf, is, n, rs, bv, r, vbo")
                   ->type_name("KEY")
                   ->capture_default_str()
                   ->check(CLI::Validator(
                       [](std::string& text) { return knownScore(text) ? std::string() : "unknown score '" + text + "'"; },
                       ""));
    auto* top = command->add_option("--top", options->top, "How many of the best pairs to print")
                    ->type_name("N")
                    ->capture_default_str()
                    ->check(CLI::PositiveNumber);
    command
        ->add_option("--bins", options->bins,
                     "Instead of pairs, sort the parts into bins by a whole-run parameter between ascending edges, "
                     "for example hfe:130,150,170")
        ->type_name("PARAM:E1,E2,...")
        ->check(CLI::Validator(
            [](std::string& text) {
                BinsReport bins;
                return parseBins(text, bins) ? std::string()
                                             : "expected a parameter key, a colon and ascending plain numbers, got '" +
                                                   text + "'";
            },
            ""))
        ->excludes(by)
        ->excludes(top);
    const std::vector<std::string> names = deviceKindNames();
    command->add_option("--device", options->device, "The device kind of every part instead of the one inferred")
        ->check(CLI::IsMember(names));
    command->add_flag("--json", options->json,
                      "Print one JSON object per pair (per part with --bins), unavailable values as null");
    command->footer("Exit codes: 0 printed; 1 the output could not be written; 2 bad arguments; " +
                    std::to_string(exitTooFewParts) + " fewer than two readable run data files.");
    command->callback([options, &exitCode] { exitCode = runMatch(*options); });
}
