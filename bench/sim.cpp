// Costs of the virtual instrument: answering a poll, one ramp cycle per device model, and the
// round trip of a read request through krv650-sim over a real pty.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "instrument.h"

namespace {

const std::vector<uint8_t> readRequestFrame = {0, 0, 0, 0, 0, 0, 0x55, 0x55};
const std::vector<uint8_t> runWithSupplyFrame = {0x80, 0x01, 0x00, 0x01, 0x00, 0x01, 0xD5, 0x58}; // register 1 = run | supply on

void BM_SimAnswersReadRequest(benchmark::State& state) {
    SimInstrument sim;
    resetSimInstrumentDefaults(sim);
    for (auto _ : state) benchmark::DoNotOptimize(simExchange(sim, readRequestFrame));
}
BENCHMARK(BM_SimAnswersReadRequest);

// One timebase cycle of a ramp: solving the device and the collector circuit, then the report.
void BM_SimRampCycle(benchmark::State& state) {
    SimInstrument sim;
    resetSimInstrumentDefaults(sim);
    sim.device = static_cast<SimDevice>(state.range(0));
    sim.hvState = sim.hvTarget = 3;
    sim.registers[2] = 234;
    sim.registers[5] = 1000;
    sim.registers[10] = sim.registers[29] = 103;
    sim.registers[11] = sim.registers[4] = 108;
    sim.registers[12] = static_cast<uint32_t>(-8388607);
    sim.registers[13] = 8388607;
    sim.registers[14] = static_cast<uint32_t>(-8388607);
    sim.registers[15] = 8388607;
    sim.registers[17] = 4600; // a mid-scale step
    sim.registers[23] = 1;
    sim.registers[24] = 1;
    sim.registers[26] = (sim.device == SimDevice::Npn || sim.device == SimDevice::Pnp) ? 1 : 0;
    for (auto _ : state) {
        if (sim.phase == 0) simReceive(sim, runWithSupplyFrame.data(), runWithSupplyFrame.size());
        simAdvance(sim, 9985);
        benchmark::DoNotOptimize(simTakeOutput(sim));
    }
    state.SetLabel(simDeviceName(sim.device));
}
BENCHMARK(BM_SimRampCycle)->DenseRange(static_cast<int>(SimDevice::Npn), static_cast<int>(SimDevice::Resistor));

// Write a read request to the pty, wait for the 32-byte report.
void BM_SimPtyRoundTrip(benchmark::State& state) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("krvsimbench" + std::to_string(getpid()));
    const std::string program = std::string(KRV_BINARY_DIR) + "/krv650-sim";
    const std::string dirText = dir.string();
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("--dir"), const_cast<char*>(dirText.c_str()),
                    const_cast<char*>("--port"), const_cast<char*>("9"), nullptr};
    pid_t pid = -1;
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawn(&pid, program.c_str(), &quiet, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0) {
        state.SkipWithError("cannot start krv650-sim");
        return;
    }
    const std::filesystem::path link = dir / "ports" / "COM9";
    int fd = -1;
    for (int i = 0; i < 500 && fd < 0; ++i) {
        usleep(10000);
        fd = open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    }
    if (fd >= 0) {
        termios tio{};
        tcgetattr(fd, &tio);
        cfmakeraw(&tio);
        tcsetattr(fd, TCSANOW, &tio);
        uint8_t buffer[64];
        for (auto _ : state) {
            if (write(fd, readRequestFrame.data(), 8) != 8) break;
            for (size_t got = 0; got < 32;) {
                pollfd p{fd, POLLIN, 0};
                if (poll(&p, 1, 1000) <= 0) break;
                const ssize_t n = read(fd, buffer, sizeof buffer);
                if (n <= 0) break;
                got += static_cast<size_t>(n);
            }
        }
        close(fd);
    } else {
        state.SkipWithError("krv650-sim did not link its port");
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}
BENCHMARK(BM_SimPtyRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
