#include "measured_runs.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>

#include "app/main_loop.h"
#include "app/startup.h"
#include "base/unit_format.h"
#include "calibration/calibration_file.h"
#include "e2e/sim_process.h"
#include "link/comms_thread.h"
#include "link/instrument_link.h"
#include "nominal_cal.h"
#include "platform/platform.h"
#include "results/run_data_reader.h"
#include "results/sample_runs.h"
#include "sweep/sweep_parameters.h"
#include "sweep/sweep_state_machine.h"
#include "test_support.h"

namespace {

// 100 reports a second at twice real time: the program takes 250 a second or more off the ring, and a
// slower (sanitised) build stays well within the ring's 1000 over the longest ramp (1100 reports).
constexpr const char* simSpeed = "2";
constexpr int connectButton = 273;
constexpr int runButton = 278;
constexpr int runTimeoutMs = 180000;

// The virtual instrument's Vc measuring path (563.6 kohm) as a user enters it after an open-socket
// sweep, so that small currents are the device's own.
constexpr double parasiticTestVolts = 100.0;
constexpr double parasiticPathOhms = 563600.0;

void commonChoices(double peakVolts, double peakAmps) {
    sweepParameters.collectorPeakVoltage = peakVolts;
    sweepParameters.collectorPeakCurrent = peakAmps;
    sweepParameters.sampleRate = 100;
}

void bipolar(const char* code) {
    applyDutType(code);
    sweepParameters.currentOffsetLevel = 0;
    sweepParameters.currentStepSize = 5e-6; // 25 uA at the top keeps the finest base current range
    sweepParameters.stepCount = 5;
    commonChoices(20, 0.01);
}

void enhancement(const char* code) {
    applyDutType(code); // from 2.0 V, just below the threshold
    sweepParameters.voltageStepSize = 0.2;
    sweepParameters.stepCount = 8;
    commonChoices(13, 0.1);
}

void jfet(const char* code, const char* towardsPinchOff) {
    applyDutType(code); // from 0 V
    sweepParameters.stepPolarity = towardsPinchOff;
    sweepParameters.voltageStepSize = 0.2;
    sweepParameters.stepCount = 10;
    commonChoices(13, 0.02);
}

void twoTerminal(double peakVolts, double peakAmps) {
    applyDutType("DIODE");
    commonChoices(peakVolts, peakAmps);
}

const std::vector<PartSetup> setups = {
    {"npn", {"--device", "npn"}, DeviceKind::Npn, [] { bipolar("NPN"); }},
    {"pnp", {"--device", "pnp"}, DeviceKind::Pnp, [] { bipolar("PNP"); }},
    {"nmos-enh", {"--device", "nmos-enh"}, DeviceKind::NmosEnhancement, [] { enhancement("NMOS_ENH"); }},
    {"pmos-enh", {"--device", "pmos-enh"}, DeviceKind::PmosEnhancement, [] { enhancement("PMOS_ENH"); }},
    // The preset's -3.0 V to +1.0 V in 0.5 V steps crosses the -2.5 V threshold and passes 0 V.
    {"nmos-dep", {"--device", "nmos-dep"}, DeviceKind::NmosDepletion,
     [] {
         applyDutType("NMOS_DEP");
         commonChoices(13, 0.2);
     }},
    {"njfet", {"--device", "njfet"}, DeviceKind::Njfet, [] { jfet("NJFET", "Negative"); }},
    {"pjfet", {"--device", "pjfet"}, DeviceKind::Pjfet, [] { jfet("PJFET", "Positive"); }},
    // 27 kohm by hand: its range resolves 0.6 nA, so the exponential shows from tens of nA; the ramp
    // ends by its run length near 0.4 mA.
    {"diode", {"--device", "diode"}, DeviceKind::Diode,
     [] {
         twoTerminal(3, 0.001);
         sweepParameters.collectorResistorSelection = 0;
     }},
    {"1k", {"--device", "resistor", "--resistance", "1000"}, DeviceKind::Resistor, [] { twoTerminal(13, 0.02); }},
    {"100k", {"--device", "resistor", "--resistance", "100000"}, DeviceKind::Resistor,
     [] { twoTerminal(20, 0.001); }},
};

std::string describeSettings(const std::string& simDevice) {
    const SweepParameters& p = sweepParameters;
    const bool voltage = p.baseGateMode == "Voltage";
    const double offset = voltage ? p.voltageOffset : p.currentOffset;
    const double step = (voltage ? p.voltageStepSize : p.currentStepSize) * (p.stepPolarity == "Positive" ? 1 : -1);
    const char* unit = voltage ? "V" : "A";
    std::ostringstream text;
    text << "krv650-sim " << simDevice << " --speed " << simSpeed << "; DUT preset " << p.dutType << ", "
         << p.baseGateMode << " drive, steps " << formatTrimmed(offset) << " " << unit << " + k x "
         << formatTrimmed(step) << " " << unit << ", k = 0.." << p.stepCount << "; collector " << p.collectorPolarity
         << ", peak " << formatTrimmed(p.collectorPeakVoltage) << " V, " << formatTrimmed(p.collectorPeakCurrent)
         << " A, series " << collectorResistors[static_cast<std::size_t>(p.collectorResistor)].dataFileText
         << " ohm; " << p.sampleRate << " Hz; parasitic path compensation 1/" << formatTrimmed(parasiticPathOhms)
         << " S";
    return text.str();
}

bool runUntil(const std::function<bool()>& done, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        mainLoopPass();
    }
    return done();
}

bool sweeping() { return sweepControl.sweepState != SweepState::Idle; }

// Connect, RUN, and wait for the run to complete; the reason on failure.
std::string connectAndRun(MeasuredRun& run) {
    platform::postControlEvent(connectButton);
    if (!runUntil([] { return instrumentLink.linkConnected.load() == 1; }, 3000)) return "no link";
    platform::postControlEvent(runButton);
    if (!runUntil(sweeping, 5000)) return "the run did not start";
    const bool finished = runUntil([] { return !sweeping(); }, runTimeoutMs);
    run.stopReason = sweepControl.lastStopReason;
    if (!finished || sweepControl.statusText != "Run completed")
        return "the run did not complete: " + sweepControl.statusText + ", link " +
               std::to_string(instrumentLink.linkConnected.load()) + ", reports stored " +
               std::to_string(commsState.reportsStored.load()) + ", checksum errors " +
               std::to_string(commsState.checksumErrorCount.load());
    run.csv = testsupport::readFile(sampleRunPath(1));
    if (run.csv.empty()) return "no sample run was saved";
    std::string dialogs;
    for (const auto& d : platform::recordedDialogs()) dialogs += d.title + ": " + d.body + "; ";
    return dialogs;
}

// The whole program in a scratch installation, beside the simulator, through one run.
MeasuredRun measure(const PartSetup& part) {
    MeasuredRun run;
    testsupport::ScratchDirectory scratch;
    std::filesystem::copy(KRV_SOURCE_DIR "/install", scratch.path(), std::filesystem::copy_options::recursive);
    testsupport::writeFile("settings/system_settings.txt",
                           "KRV_ComPort=" + std::to_string(simPort) +
                               "\r\nCheckWebsiteForUpdate=0\r\nKRV_SlopeOffsetMeasuredVoltage=" +
                               formatTrimmed(parasiticTestVolts) + "\r\nKRV_SlopeOffsetMeasuredCurrent=" +
                               formatTrimmed(parasiticTestVolts / parasiticPathOhms) + "\r\n");
    testsupport::writeFile("KRV_cal.txt", nominalCalibrationText());
    platform::initPlatform();
    platform::resetPlatform();
    platform::installDialogRecorder([](const platform::RecordedDialog&) { return std::string("ok"); });
    platform::clearRecordedDialogs();
    startProgram();
    resetSweepParametersDefaults();
    part.chooseSettings();

    SimProcess sim;
    std::vector<std::string> arguments = part.simArguments;
    arguments.insert(arguments.end(), {"--speed", simSpeed});
    const auto started = std::chrono::steady_clock::now();
    if (!loadCalibrationFileFrom("KRV_cal.txt")) {
        run.failure = "the calibration file did not load";
    } else if (!sim.start(arguments)) {
        run.failure = "krv650-sim did not start";
    } else {
        run.failure = connectAndRun(run);
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    run.settingsText = describeSettings(part.simArguments[1]);
    if (!run.failure.empty()) run.csv.clear();
    resetInstrumentLinkDefaults();
    sim.stop();
    platform::removeDialogRecorder();
    platform::resetPlatform();
    return run;
}

// KRV_KEEP_RUNS=folder keeps a copy of every run made, with the settings of each in README.txt.
void keepCopy(const std::string& name, const MeasuredRun& run) {
    const char* folder = std::getenv("KRV_KEEP_RUNS");
    if (!folder || !*folder || run.csv.empty()) return;
    std::filesystem::create_directories(folder);
    testsupport::writeFile(std::filesystem::path(folder) / (name + ".csv"), run.csv);
    const std::filesystem::path readme = std::filesystem::path(folder) / "README.txt";
    std::istringstream old(testsupport::readFile(readme));
    std::string text, line;
    while (std::getline(old, line))
        if (line.rfind(name + ".csv:", 0) != 0) text += line + "\n";
    if (text.empty())
        text = "Runs saved by the program on the virtual instrument (sampleruns/0001.csv of each run).\n"
               "Steps are k = 0..StepQty with step 0 at the offset.\n\n";
    testsupport::writeFile(readme, text + name + ".csv: " + run.settingsText + "; stop: " + run.stopReason + "\n");
}

// ctest runs every test in a process of its own: the runs are kept in the build tree, valid while no
// newer program or simulator has been built.
std::filesystem::path cacheFolder() { return KRV_BINARY_DIR "/analysis-runs"; }

bool cacheIsFresh(const std::filesystem::path& file) {
    std::error_code error;
    const auto made = std::filesystem::last_write_time(file, error);
    if (error) return false;
    for (const std::filesystem::path& input : {std::filesystem::path(KRV_BINARY_DIR "/krv650"),
                                                std::filesystem::path(KRV_BINARY_DIR "/krv650-sim")}) {
        const auto built = std::filesystem::last_write_time(std::filesystem::canonical(input, error), error);
        if (error || built > made) return false;
    }
    return true;
}

// What the run of a part depends on besides the program: its simulator options and sweep settings.
std::string setupKey(const PartSetup& part) {
    resetSweepParametersDefaults();
    part.chooseSettings();
    const SweepParameters& p = sweepParameters;
    std::ostringstream key;
    for (const std::string& argument : part.simArguments) key << argument << " ";
    key << simSpeed << " " << p.baseGateMode << " " << p.stepPolarity << " " << p.voltageStepSize << " "
        << p.voltageOffsetRange << " " << p.voltageOffsetLevel << " " << p.voltageOffsetPolarity << " "
        << p.currentStepSize << " " << p.currentOffsetRange << " " << p.currentOffsetLevel << " "
        << p.currentOffsetPolarity << " " << p.stepCount << " " << p.collectorPolarity << " " << p.collectorPeakVoltage
        << " " << p.collectorPeakCurrent << " " << p.collectorResistorSelection << " " << p.sampleRate << " "
        << p.testConfigurationId;
    return key.str();
}

bool readCache(const std::string& name, MeasuredRun& run) {
    const std::filesystem::path about = cacheFolder() / (name + ".txt");
    if (!cacheIsFresh(about)) return false;
    std::istringstream lines(testsupport::readFile(about));
    std::string key, seconds;
    if (!std::getline(lines, key) || key != setupKey(partSetup(name))) return false;
    if (!std::getline(lines, run.settingsText) || !std::getline(lines, run.stopReason) || !std::getline(lines, seconds))
        return false;
    run.seconds = std::strtod(seconds.c_str(), nullptr);
    run.csv = testsupport::readFile(cacheFolder() / (name + ".csv"));
    return !run.csv.empty();
}

// Each file appears whole (written aside, then renamed), the description last.
void writeCache(const std::string& name, const MeasuredRun& run) {
    std::filesystem::create_directories(cacheFolder());
    auto put = [&](const std::string& file, const std::string& text) {
        const std::filesystem::path aside = cacheFolder() / (file + ".part" + std::to_string(::getpid()));
        testsupport::writeFile(aside, text);
        std::filesystem::rename(aside, cacheFolder() / file);
    };
    put(name + ".csv", run.csv);
    put(name + ".txt", setupKey(partSetup(name)) + "\n" + run.settingsText + "\n" + run.stopReason + "\n" + std::to_string(run.seconds) + "\n");
}

// Two test processes that want the same part: one measures, the other waits and reads its file.
struct PartLock {
    int fd = -1;
    explicit PartLock(const std::string& name) {
        std::filesystem::create_directories(cacheFolder());
        fd = ::open((cacheFolder() / (name + ".lock")).c_str(), O_RDWR | O_CREAT, 0644);
        if (fd >= 0) ::flock(fd, LOCK_EX);
    }
    ~PartLock() {
        if (fd >= 0) ::close(fd);
    }
    PartLock(const PartLock&) = delete;
    PartLock& operator=(const PartLock&) = delete;
};

MeasuredRun measureOnce(const std::string& name) {
    MeasuredRun run;
    if (readCache(name, run)) return run;
    PartLock lock(name);
    if (readCache(name, run)) return run;
    run = measure(partSetup(name));
    if (!run.failure.empty()) {
        // A stalled run is logged with the state of its link and measured once more.
        std::fprintf(stderr, "measuring %s again: %s\n", name.c_str(), run.failure.c_str());
        run = measure(partSetup(name));
    }
    if (!run.failure.empty()) return run;
    writeCache(name, run);
    keepCopy(name, run);
    return run;
}

} // namespace

const std::vector<PartSetup>& partSetups() { return setups; }

const PartSetup& partSetup(const std::string& name) {
    for (const PartSetup& p : setups)
        if (p.name == name) return p;
    std::abort(); // a test asked for a part nobody set up
}

const MeasuredRun& measuredRun(const std::string& name) {
    static std::map<std::string, MeasuredRun> runs;
    auto found = runs.find(name);
    if (found != runs.end()) return found->second;
    return runs.emplace(name, measureOnce(name)).first->second;
}

LoadedRun loadRunText(const std::string& csv) {
    LoadedRun run;
    run.record = std::make_unique<RunRecord>();
    readRunDataText(csv, *run.record, run.columns);
    run.settings = parseRunSettings(run.columns);
    return run;
}
