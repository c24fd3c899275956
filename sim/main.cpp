// krv650-sim: the virtual KRV650 on a pseudo-terminal, paced by real time.
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_server.h"
#include "instrument.h"
#include "pty_port.h"

namespace {

struct Options {
    int port = 1;
    std::string dir = ".";
    SimDevice device = SimDevice::Npn;
    double resistorOhms = 1000.0;
    double speed = 1.0;
    double spreadPercent = 0;   // --spread: how far a part may depart from the nominal model
    std::uint64_t seed = 1;     // --seed: which part of the tray
    double hfe = 0, earlyVolts = 0; // exact values when not 0
    bool thresholdSet = false;
    double thresholdVolts = 0;
    std::string meterAddress;  // empty: no virtual bench
    std::string calibrationFile; // --write-cal: where to write the calibration block, then exit
    double meterErrorPercent = 1.0;
    struct Fault {
        SimFault kind;
        bool afterMilliseconds; // else at a report number
        uint64_t when;
    };
    std::vector<Fault> faults;
};

volatile sig_atomic_t stopSignal = 0;

void onStopSignal(int) { stopSignal = 1; }

void printHelp() {
    std::printf(
        "Usage: krv650-sim [--port N] [--dir DIR] [--device NAME] [--resistance OHMS] [--speed X] [--fault KIND@WHEN]...\n"
        "                 [--spread PERCENT [--seed N]] [--hfe BETA] [--threshold VOLTS] [--early VOLTS]\n"
        "                 [--meter ADDRESS [--meter-error PERCENT]]\n"
        "\n"
        "A virtual KRV650 curve tracer on a pseudo-terminal, for working without the instrument.\n"
        "It links the pseudo-terminal as DIR/ports/COMN, prints its path and serves until it is\n"
        "stopped with SIGTERM or SIGINT, which also remove the link.\n"
        "\n"
        "Options:\n"
        "  --port N           link the port as COMN, N from 1 to 255 (default 1)\n"
        "  --dir DIR          working directory whose ports/ folder holds the link; created when missing\n"
        "                     (default: the current directory)\n"
        "  --device NAME      device connected to the terminals (default npn), one of the models below\n"
        "  --resistance OHMS  value of the resistor device (default 1000)\n"
        "  --speed X          run the instrument's timebase X times faster than real time (default 1)\n"
        "  --spread PERCENT   make the part differ from the nominal model, as one part of a tray does: its\n"
        "                     gain (hFE or channel gain), threshold, Early voltage and saturation current each\n"
        "                     move by a random share within +-PERCENT (default 0: the nominal part)\n"
        "  --seed N           which part of the tray (default 1); the same seed always gives the same part,\n"
        "                     so seeds 1..N simulate a tray of N parts\n"
        "  --hfe BETA         the bipolar part's forward current gain exactly (nominal 150)\n"
        "  --threshold VOLTS  the field-effect threshold (pinch-off) exactly, as an n-channel part has it\n"
        "                     (nominal 2.1 for enhancement, -2.5 for depletion and JFET; p-type parts mirror it)\n"
        "  --early VOLTS      the Early voltage exactly: the bipolar part's (nominal 80), and 1/lambda of the\n"
        "                     field-effect channels (nominal 50)\n"
        "  --write-cal FILE   write the instrument's calibration block (1024 bytes, what the program keeps\n"
        "                     in KRV_cal.txt) to FILE and exit\n"
        "  --fault KIND@WHEN  misbehave once, for tests; may be repeated. WHEN is a report number N (the\n"
        "                     Nth report sent, from 1) or Nms (N milliseconds after start). KIND is:\n"
        "                       drop      leave out the first byte of the report\n"
        "                       insert    send a stray byte before the report\n"
        "                       checksum  send the report with a wrong checksum\n"
        "                       silent    stop sending reports, but keep the port open\n"
        "                       vanish    close the port and exit, as if the cable were pulled\n"
        "  --meter ADDRESS    also serve the factory bench on that IPv4 address: a multimeter answering\n"
        "                     SCPI (CONFigure:VOLTage:DC, CONFigure:CURRent:DC, CONF:FRES, READ?) on TCP\n"
        "                     port 5025, measuring the terminals as the fixture wires them, and the relay\n"
        "                     fixture on TCP port 10002, which prints every command it receives\n"
        "  --meter-error PERCENT  the meter reads this much high (default 1; negative reads low)\n"
        "  --help             show this text\n"
        "\n"
        "Device models:\n");
    for (const SimDeviceName& d : simDeviceNames()) std::printf("  %-10s %s\n", d.name, d.description);
}

bool parseNumber(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0';
}

bool parseFault(const std::string& text, Options::Fault& fault) {
    static const struct {
        const char* name;
        SimFault kind;
    } kinds[] = {{"drop", SimFault::DropByte},       {"insert", SimFault::InsertByte}, {"checksum", SimFault::BadChecksum},
                 {"silent", SimFault::Silent},        {"vanish", SimFault::Vanish}};
    const size_t at = text.find('@');
    if (at == std::string::npos) return false;
    const std::string name = text.substr(0, at);
    std::string when = text.substr(at + 1);
    fault.afterMilliseconds = when.size() > 2 && when.compare(when.size() - 2, 2, "ms") == 0;
    if (fault.afterMilliseconds) when.resize(when.size() - 2);
    char* end = nullptr;
    const unsigned long long n = std::strtoull(when.c_str(), &end, 10);
    if (when.empty() || *end != '\0' || (!fault.afterMilliseconds && n == 0)) return false;
    fault.when = n;
    for (const auto& k : kinds) {
        if (name == k.name) {
            fault.kind = k.kind;
            return true;
        }
    }
    return false;
}

// Returns 0 to go on, else the exit code (+1) for a finished parse.
int parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            printHelp();
            return 1;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "krv650-sim: unknown option or missing value: %s (try --help)\n", arg.c_str());
            return 3;
        }
        const std::string value = argv[++i];
        double number = 0;
        bool ok = true;
        if (arg == "--port") {
            ok = parseNumber(value, number) && number >= 1 && number <= 255 && number == static_cast<int>(number);
            options.port = static_cast<int>(number);
        } else if (arg == "--dir") {
            options.dir = value;
        } else if (arg == "--device") {
            ok = simDeviceFromName(value, options.device);
        } else if (arg == "--resistance") {
            ok = parseNumber(value, options.resistorOhms) && options.resistorOhms > 0;
        } else if (arg == "--spread") {
            ok = parseNumber(value, options.spreadPercent) && options.spreadPercent >= 0 && options.spreadPercent < 100;
        } else if (arg == "--seed") {
            ok = parseNumber(value, number) && number >= 0 && number <= 9.0e15 && number == std::floor(number);
            options.seed = static_cast<std::uint64_t>(number);
        } else if (arg == "--hfe") {
            ok = parseNumber(value, options.hfe) && options.hfe > 0 && options.hfe < 1e5;
        } else if (arg == "--threshold") {
            ok = parseNumber(value, options.thresholdVolts) && std::fabs(options.thresholdVolts) < 15;
            options.thresholdSet = true;
        } else if (arg == "--early") {
            ok = parseNumber(value, options.earlyVolts) && options.earlyVolts > 0 && options.earlyVolts < 1e6;
        } else if (arg == "--speed") {
            ok = parseNumber(value, options.speed) && options.speed > 0 && options.speed <= 1e6;
        } else if (arg == "--write-cal") {
            options.calibrationFile = value;
        } else if (arg == "--meter") {
            options.meterAddress = value;
        } else if (arg == "--meter-error") {
            ok = parseNumber(value, options.meterErrorPercent) && std::fabs(options.meterErrorPercent) < 50;
        } else if (arg == "--fault") {
            Options::Fault fault{};
            ok = parseFault(value, fault);
            options.faults.push_back(fault);
        } else {
            std::fprintf(stderr, "krv650-sim: unknown option %s (try --help)\n", arg.c_str());
            return 3;
        }
        if (!ok) {
            std::fprintf(stderr, "krv650-sim: bad value for %s: %s (try --help)\n", arg.c_str(), value.c_str());
            return 3;
        }
    }
    return 0;
}

// The block as a new instrument holds it, so that a working directory can start with the matching file.
bool writeCalibrationBlock(const std::string& path) {
    const std::array<uint8_t, simFlashSize> block = nominalFlashImage();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "krv650-sim: cannot write %s\n", path.c_str());
        return false;
    }
    const bool written = std::fwrite(block.data(), 1, block.size(), file) == block.size();
    return std::fclose(file) == 0 && written;
}

// Writes what the pty takes now; the rest waits until it is writable again, so reports stay whole.
void flushOutput(const SimPort& port, std::vector<uint8_t>& pending) {
    while (!pending.empty()) {
        const ssize_t n = write(port.master, pending.data(), pending.size());
        if (n <= 0) break;
        pending.erase(pending.begin(), pending.begin() + n);
    }
}

// The nominal part, spread by the seed, then the values given exactly.
SimPart partOf(const Options& options) {
    SimPart part = spreadSimPart(SimPart{}, options.spreadPercent, options.seed);
    if (options.hfe > 0) part.forwardBeta = options.hfe;
    if (options.thresholdSet) {
        part.thresholdSet = true;
        part.thresholdVolts = options.thresholdVolts;
    }
    if (options.earlyVolts > 0) part.earlyVolts = part.channelEarlyVolts = options.earlyVolts;
    return part;
}

int serve(const Options& options, SimPort& port, SimBench& bench) {
    bench.meter.gainError = options.meterErrorPercent / 100.0;
    SimInstrument sim;
    resetSimInstrumentDefaults(sim);
    sim.device = options.device;
    sim.resistorOhms = options.resistorOhms;
    sim.part = partOf(options);
    std::vector<Options::Fault> timedFaults;
    for (const Options::Fault& f : options.faults) {
        if (f.afterMilliseconds) {
            timedFaults.push_back(f);
        } else {
            simScheduleFault(sim, f.kind, f.when);
        }
    }

    sigset_t blocked, waitMask;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGINT);
    sigaddset(&blocked, SIGHUP);
    sigprocmask(SIG_BLOCK, &blocked, &waitMask);

    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    int64_t virtualMicros = 0;
    std::vector<uint8_t> pending;
    uint8_t buffer[4096];
    while (!stopSignal && !sim.vanished) {
        const int64_t realMicros = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
        const int64_t dueMicros = static_cast<int64_t>(static_cast<double>(realMicros) * options.speed);
        simAdvance(sim, dueMicros - virtualMicros);
        virtualMicros = std::max(virtualMicros, dueMicros);
        for (auto f = timedFaults.begin(); f != timedFaults.end();) {
            if (static_cast<uint64_t>(realMicros) >= f->when * 1000) {
                simInjectFault(sim, f->kind);
                f = timedFaults.erase(f);
            } else {
                ++f;
            }
        }
        if (sim.vanished) break;
        const std::vector<uint8_t> out = simTakeOutput(sim);
        pending.insert(pending.end(), out.begin(), out.end());
        flushOutput(port, pending);

        // Sleep until input, the next instrument event, or the next timed fault.
        int64_t waitMicros = 100000;
        const int64_t next = simMicrosecondsToNextEvent(sim);
        if (next >= 0) waitMicros = std::min<int64_t>(waitMicros, static_cast<int64_t>(static_cast<double>(next) / options.speed) + 1);
        for (const Options::Fault& f : timedFaults) waitMicros = std::min<int64_t>(waitMicros, static_cast<int64_t>(f.when * 1000) - realMicros);
        waitMicros = std::max<int64_t>(waitMicros, 0);
        std::vector<pollfd> fds{pollfd{port.master, static_cast<short>(POLLIN | (pending.empty() ? 0 : POLLOUT)), 0}};
        addSimBenchPollFds(bench, fds);
        const timespec timeout{static_cast<time_t>(waitMicros / 1000000), static_cast<long>(waitMicros % 1000000) * 1000};
        const int ready = ppoll(fds.data(), fds.size(), &timeout, &waitMask);
        if (ready > 0) serviceSimBench(bench, sim);
        if (ready > 0 && (fds[0].revents & POLLIN)) {
            for (;;) {
                const ssize_t n = read(port.master, buffer, sizeof buffer);
                if (n <= 0) break;
                const int64_t nowMicros = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
                const int64_t nowVirtual = static_cast<int64_t>(static_cast<double>(nowMicros) * options.speed);
                simAdvance(sim, nowVirtual - virtualMicros);
                virtualMicros = std::max(virtualMicros, nowVirtual);
                simReceive(sim, buffer, static_cast<size_t>(n));
            }
        }
    }
    if (sim.vanished) std::fprintf(stderr, "krv650-sim: vanished from %s\n", port.ptyPath.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (const int done = parseOptions(argc, argv, options)) return done - 1;
    if (!options.calibrationFile.empty()) return writeCalibrationBlock(options.calibrationFile) ? 0 : 1;

    struct sigaction action{};
    action.sa_handler = onStopSignal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);

    SimPort port;
    std::string error;
    if (!openSimPort(port, options.dir, options.port, error)) {
        std::fprintf(stderr, "krv650-sim: %s\n", error.c_str());
        return 1;
    }
    SimBench bench;
    if (!options.meterAddress.empty() && !openSimBench(bench, options.meterAddress, error)) {
        std::fprintf(stderr, "krv650-sim: %s\n", error.c_str());
        closeSimPort(port);
        return 1;
    }
    std::printf("%s\n", port.ptyPath.c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "krv650-sim: %s on %s -> %s\n", simDeviceName(options.device), port.linkPath.c_str(),
                 port.ptyPath.c_str());
    const SimPart part = partOf(options);
    std::fprintf(stderr, "krv650-sim: part hFE %.4g, Early voltage %.4g V, threshold x%.4g%s, channel gain x%.4g, "
                         "saturation current x%.4g\n",
                 part.forwardBeta, part.earlyVolts, part.thresholdScale,
                 part.thresholdSet ? (" (set to " + std::to_string(part.thresholdVolts) + " V)").c_str() : "",
                 part.channelGainScale, part.saturationScale);
    const int code = serve(options, port, bench);
    closeSimBench(bench);
    closeSimPort(port);
    return code;
}
