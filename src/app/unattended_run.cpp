#include "app/unattended_run.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "analysis/analysis.h"
#include "app/link_actions.h"
#include "app/main_loop.h"
#include "app/shell_state.h"
#include "app/startup.h"
#include "app/unattended_report.h"
#include "base/elapsed_clock.h"
#include "base/file_paths.h"
#include "base/system_settings.h"
#include "link/instrument_link.h"
#include "results/file_names.h"
#include "results/run_data_reader.h"
#include "results/safe_file.h"
#include "results/test_setups.h"
#include "sweep/calibration_transfer.h"
#include "sweep/instrument_connection.h"
#include "sweep/instrument_values.h"
#include "sweep/run_control.h"
#include "sweep/sweep_state_machine.h"
#include "ui/parameter_panel_view.h"

namespace {

// Set by Ctrl-C (or SIGTERM); the series ends at the next safe point.
volatile sig_atomic_t interruptRequested = 0;

void onInterrupt(int) { interruptRequested = 1; }

void catchInterrupts() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: the wait for Enter must wake up.
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

constexpr std::int64_t firstReportWaitMs = 5000;
constexpr std::int64_t stopWaitMs = 5000;
constexpr int idlePollMs = 50;        // between loop passes while no run is active: reports come every 250 ms
constexpr std::int64_t progressEveryMs = 100;

struct Series {
    const UnattendedOptions& options;
    bool terminal = isatty(STDERR_FILENO) == 1;
    bool progressShown = false;
    std::vector<PartResult> parts = {};
};

void clearProgress(Series& series) {
    if (!series.progressShown) return;
    std::fputs("\r\033[K", stderr);
    series.progressShown = false;
}

void showProgress(Series& series, const std::string& id) {
    const std::int64_t steps = instrumentValues.lastStepIndex + 1;
    const std::int64_t step = std::min(sweepControl.currentStep, steps - 1);
    std::fprintf(stderr, "\r\033[K%s  step %lld/%lld  %s  %d%%", id.c_str(), static_cast<long long>(step + 1),
                 static_cast<long long>(steps), sweepControl.statusText.c_str(), static_cast<int>(100 * step / steps));
    series.progressShown = true;
}

bool linkLost() { return !instrumentLinkConnected(); }

// Loop passes without a run: the link keeps being served (reports taken, the watchdog checked), and the
// process sleeps between them. Returns false when the link was lost.
bool idlePass(int sleepMs) {
    mainLoopPass();
    if (sleepMs > 0) sleepMilliseconds(sleepMs);
    return !linkLost();
}

enum class WaitOutcome { Next, Interrupted, InputEnded, LinkLost };

WaitOutcome waitForInterval(double seconds) {
    const std::int64_t end = elapsedMilliseconds() + static_cast<std::int64_t>(seconds * 1000);
    while (elapsedMilliseconds() < end) {
        if (interruptRequested) return WaitOutcome::Interrupted;
        if (!idlePass(idlePollMs)) return WaitOutcome::LinkLost;
    }
    return WaitOutcome::Next;
}

WaitOutcome waitForEnter(const std::string& nextId) {
    std::fprintf(stderr, "Put in part %s and press Enter (Ctrl-C ends the series): ", nextId.c_str());
    std::fflush(stderr);
    for (;;) {
        if (interruptRequested) return WaitOutcome::Interrupted;
        if (!idlePass(0)) return WaitOutcome::LinkLost;
        pollfd input{STDIN_FILENO, POLLIN, 0};
        if (poll(&input, 1, idlePollMs) <= 0) continue;
        char byte = 0;
        const ssize_t n = read(STDIN_FILENO, &byte, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return WaitOutcome::InputEnded;
        if (byte == '\n') return WaitOutcome::Next;
    }
}

bool copyInto(const std::string& from, const std::filesystem::path& to) {
    std::ifstream in(from, std::ios::binary);
    if (!in) return false;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return replaceFile(to.string(), bytes).written;
}

void analyseSavedRun(PartResult& part, const std::string& dataPath) {
    auto record = std::make_unique<RunRecord>();
    RunDataColumns columns;
    if (loadRunDataFile(dataPath, *record, columns) != RunDataLoad::Loaded) return;
    const RunSettings settings = parseRunSettings(columns);
    part.kind = inferDeviceKind(*record, settings);
    for (ParameterRow& row : parameterRows(analyseRun(*record, settings, part.kind)))
        if (row.step < 0) part.parameters.push_back(std::move(row));
    part.analysed = true;
}

enum class RunOutcome {
    Completed,
    Interrupted,
    LinkLost,          // before the run started, or after Ctrl-C: nothing saved
    EndedByLostLink,   // the run ended when the link went and its automatic save kept what it measured
    StoppedByInstrument,
};

// A step's end other than its halt limits or its run length: the instrument stopped the sweep itself.
bool stoppedByInstrument(const std::string& reason, bool stopSent) {
    if (reason == "MANUAL REQUEST") return !stopSent;
    return reason.find("EXCEPTION") != std::string::npos || reason.find("USB VOLTAGE") != std::string::npos;
}

// One sweep as the RUN button makes it. Ctrl-C sends STOP the way the STOP button does; that run is then
// not saved, so an interrupted part leaves no files.
RunOutcome runOnePart(Series& series, PartResult& part) {
    const std::int64_t start = elapsedMilliseconds();
    if (!startRun()) return RunOutcome::LinkLost;
    bool started = false, interruptSeen = false, stopSent = false, stoppedByTheInstrument = false;
    std::int64_t stopDeadline = 0, lastProgress = 0;
    SweepState before = sweepControl.sweepState;
    for (;;) {
        if (interruptRequested && !interruptSeen) {
            interruptSeen = true;
            // The run's end must not save what was measured so far.
            systemSettings.autoSave = "No";
            stopDeadline = elapsedMilliseconds() + stopWaitMs;
        }
        // STOP only ends a ramp that is running; between ramps the next step would start again.
        if (interruptRequested && sweepControl.sweepState == SweepState::Sweeping && !stopSent) {
            stopRun();
            stopSent = true;
        }
        mainLoopPass();
        const SweepState now = sweepControl.sweepState;
        if (now != SweepState::Idle) started = true;
        if (before == SweepState::Sweeping && now != SweepState::Sweeping) {
            stoppedByTheInstrument = stoppedByTheInstrument || stoppedByInstrument(sweepControl.lastStopReason, stopSent);
            if (!series.terminal) {
                std::fprintf(stderr, "%s: step %lld/%lld ended by %s\n", part.id.c_str(),
                             static_cast<long long>(sweepControl.currentStep + 1),
                             static_cast<long long>(instrumentValues.lastStepIndex + 1),
                             sweepControl.lastStopReason.c_str());
            }
        }
        before = now;
        if (linkLost()) {
            // The loop tick ends a run whose link is gone, once its last reports are taken, and saves it.
            if (now != SweepState::Idle) continue;
            if (started && !interruptSeen) break;
            abandonRun();
            return RunOutcome::LinkLost;
        }
        if (started && now == SweepState::Idle) break;
        if (interruptSeen && elapsedMilliseconds() > stopDeadline) {
            abandonRun();
            break;
        }
        if (series.terminal && elapsedMilliseconds() >= lastProgress + progressEveryMs) {
            lastProgress = elapsedMilliseconds();
            showProgress(series, part.id);
        }
    }
    clearProgress(series);
    part.seconds = static_cast<double>(elapsedMilliseconds() - start) / 1000.0;
    part.endedBy = sweepControl.lastStopReason;
    if (interruptSeen) return RunOutcome::Interrupted;
    if (linkLost()) return RunOutcome::EndedByLostLink;
    return stoppedByTheInstrument ? RunOutcome::StoppedByInstrument : RunOutcome::Completed;
}

// The files the run's automatic save wrote, their copies in the output folder and the analysis.
bool collectResults(const Series& series, PartResult& part) {
    const std::string stem = resultNaming.fileStem;
    const std::string data = hostPath(systemSettings.saveDataFileLocation + stem + ".csv");
    const std::string picture = hostPath(systemSettings.saveImageFileLocation + stem + ".png");
    bool copied = true;
    for (const std::string& file : {data, picture}) {
        if (!std::filesystem::exists(file)) continue;
        part.files.push_back(file);
        const std::filesystem::path copy =
            std::filesystem::path(series.options.outDir) / (part.id + std::filesystem::path(file).extension().string());
        if (copyInto(file, copy)) {
            part.files.push_back(copy.lexically_normal().string());
        } else {
            std::fprintf(stderr, "krv650 run: cannot write %s\n", copy.string().c_str());
            copied = false;
        }
    }
    if (std::filesystem::exists(data)) analyseSavedRun(part, data);
    return copied;
}

bool report(Series& series, const PartResult& part) {
    const std::string text = series.options.json ? partJson(part, series.options.params)
                                                 : partLine(part, series.options.params);
    std::fwrite(text.data(), 1, text.size(), stdout);
    const bool printed = std::fflush(stdout) == 0 && !std::ferror(stdout);
    // Rewritten whole after each part, so that an interrupted series still leaves a complete file.
    const std::filesystem::path summary = std::filesystem::path(series.options.outDir) / "summary.csv";
    const bool filed = replaceFile(summary.string(), summaryCsv(series.parts)).written;
    if (!filed) std::fprintf(stderr, "krv650 run: cannot write %s\n", summary.string().c_str());
    return printed && filed;
}

int finish(Series& series, int code) {
    clearProgress(series);
    if (!series.parts.empty()) {
        const std::string table = summaryTable(series.parts);
        std::fwrite(table.data(), 1, table.size(), series.options.json ? stderr : stdout);
    }
    const char* why = nullptr;
    switch (code) {
    case unattendedLinkLost: why = "the link to the instrument was lost"; break;
    case unattendedStoppedByInstrument: why = "the instrument stopped the sweep"; break;
    case unattendedInterrupted: why = "stopped before the series was complete"; break;
    default: break;
    }
    if (why) std::fprintf(stderr, "krv650 run: %s\n", why);
    std::fflush(stdout);
    return code;
}

// Until the instrument has answered the connect transfer: its first report loads the calibration file,
// which the run's levels are computed with. False when it never answers.
bool waitUntilReady() {
    const std::int64_t end = elapsedMilliseconds() + firstReportWaitMs;
    while (calibrationTransfer.state == 0) {
        if (interruptRequested || elapsedMilliseconds() > end || !idlePass(1)) return false;
    }
    return true;
}

int runSeries(Series& series) {
    const UnattendedOptions& options = series.options;
    for (int number = 1; number <= options.repeat; ++number) {
        PartResult part;
        part.id = partId(options.idPrefix, number);
        if (number > 1) {
            WaitOutcome wait = options.intervalSeconds >= 0 ? waitForInterval(options.intervalSeconds)
                                                            : waitForEnter(part.id);
            if (options.intervalSeconds < 0 && wait != WaitOutcome::Next) std::fputs("\n", stderr);
            if (wait == WaitOutcome::LinkLost) return unattendedLinkLost;
            if (wait != WaitOutcome::Next) return unattendedInterrupted;
        }
        const RunOutcome outcome = runOnePart(series, part);
        if (outcome == RunOutcome::LinkLost) return unattendedLinkLost;
        if (outcome == RunOutcome::Interrupted) return unattendedInterrupted;
        bool written = collectResults(series, part);
        series.parts.push_back(std::move(part));
        written = report(series, series.parts.back()) && written;
        if (outcome == RunOutcome::EndedByLostLink) return unattendedLinkLost;
        if (outcome == RunOutcome::StoppedByInstrument) return unattendedStoppedByInstrument;
        if (!written) return unattendedOutputFailed;
    }
    return unattendedCompleted;
}

} // namespace

std::string partId(const std::string& prefix, int number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03d", number);
    return prefix + "-" + digits;
}

int runUnattended(const UnattendedOptions& options) {
    // Drawn by the same code as in the window, but never shown: no display is needed.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    catchInterrupts();
    Series series{options};
    std::error_code error;
    std::filesystem::create_directories(options.outDir, error);

    startProgram();
    // Only in memory: the settings file stays as the window program left it.
    if (options.port > 0) systemSettings.comPortNumber = options.port;
    systemSettings.autoSave = "Yes";
    if (!options.setupFile.empty()) {
        loadTestSetup(options.setupFile);
        refreshParameterPanel();
    }
    connectToInstrument();
    if (!instrumentLinkConnected()) {
        std::fprintf(stderr, "krv650 run: the port %s will not open\n", instrumentPortName().c_str());
        return unattendedPortFailed;
    }
    if (!waitUntilReady()) return finish(series, interruptRequested ? unattendedInterrupted : unattendedLinkLost);
    return finish(series, runSeries(series));
}
