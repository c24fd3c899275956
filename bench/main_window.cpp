// The whole main window in the real loop: a tile click until its tile is redrawn, the longest idle
// loop pass (alone and connected to the idle virtual instrument), and whether the GUI thread keeps up
// with a run at the fastest sample rate. Runs offscreen, or on a real display with QT_QPA_PLATFORM=xcb.
#include <benchmark/benchmark.h>

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "offscreen_main.h"
#include "../tests/e2e/sim_process.h"
#include "app/main_loop.h"
#include "app/startup.h"
#include "base/gui_numbers.h"
#include "link/comms_thread.h"
#include "link/instrument_link.h"
#include "sweep/sweep_parameters.h"
#include "sweep/sweep_state_machine.h"
#include "platform/platform.h"

namespace {

using Clock = std::chrono::steady_clock;

// The program started in a fresh copy of the installation, its settings pointing at the virtual
// instrument's port; removed again at the end of the benchmark.
struct Installation {
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::path dir;

    Installation() {
        std::string pattern = (std::filesystem::temp_directory_path() / "krv650-window-XXXXXX").string();
        dir = mkdtemp(pattern.data());
        std::filesystem::copy(KRV_SOURCE_DIR "/install", dir, std::filesystem::copy_options::recursive);
        std::filesystem::current_path(dir);
        std::FILE* settings = std::fopen("settings/system_settings.txt", "wb");
        std::fprintf(settings, "KRV_ComPort=%d\r\nCheckWebsiteForUpdate=0\r\n", simPort);
        std::fclose(settings);
        platform::initPlatform();
        platform::resetPlatform();
        startProgram();
        for (int i = 0; i < 50; ++i) mainLoopPass();
    }
    ~Installation() {
        resetInstrumentLinkDefaults();
        platform::resetPlatform();
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(dir);
    }
};

double microseconds(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

// CPU time of the calling thread: a pass's own work, without the time the scheduler gave others.
double threadMicroseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

// The pass that handles the click draws the tile; the next one lets the window system show it.
void tileClickToRedrawnTile(benchmark::State& state) {
    Installation program;
    bool up = true;
    for (auto _ : state) {
        platform::postControlEvent(up ? gui::controlStepCountUp : gui::controlStepCountDown);
        mainLoopPass();
        mainLoopPass();
        up = !up;
    }
}
BENCHMARK(tileClickToRedrawnTile)->Unit(benchmark::kMillisecond);

// Passes for two seconds, without and with the idle instrument: passes per second and the longest
// pass, by the clock and by the GUI thread's own CPU time (a busy machine stretches the first).
void idleLoopPasses(benchmark::State& state) {
    Installation program;
    SimProcess sim;
    if (state.range(0) == 1) {
        if (!sim.start({})) {
            state.SkipWithError("the virtual instrument did not start");
            return;
        }
        platform::postControlEvent(gui::controlConnectButton);
        for (int i = 0; i < 1000; ++i) mainLoopPass();
        if (!instrumentLinkConnected()) {
            state.SkipWithError("the link did not open");
            return;
        }
    }
    double longest = 0, longestCpu = 0;
    std::int64_t passes = 0;
    constexpr int seconds = 2;
    for (auto _ : state) {
        const auto end = Clock::now() + std::chrono::seconds(seconds);
        while (Clock::now() < end) {
            const auto start = Clock::now();
            const double cpuStart = threadMicroseconds();
            mainLoopPass();
            longestCpu = std::max(longestCpu, threadMicroseconds() - cpuStart);
            longest = std::max(longest, microseconds(Clock::now() - start));
            ++passes;
        }
    }
    state.counters["passes_per_s"] = static_cast<double>(passes) / seconds;
    state.counters["longest_us"] = longest;
    state.counters["longest_cpu_us"] = longestCpu;
    resetInstrumentLinkDefaults();
}
BENCHMARK(idleLoopPasses)->Arg(0)->Arg(1)->ArgName("connected")->Unit(benchmark::kSecond)->Iterations(1);

// RUN at 100 Hz with the default six steps on the virtual instrument in real time: how far the ring
// runs ahead of the GUI thread, and whether every stored report was taken.
void runAtFastestSampleRate(benchmark::State& state) {
    Installation program;
    SimProcess sim;
    if (!sim.start({})) {
        state.SkipWithError("the virtual instrument did not start");
        return;
    }
    platform::postMenuEvent(gui::menuSampleRateLast);
    mainLoopPass();
    platform::postControlEvent(gui::controlConnectButton);
    for (int i = 0; i < 1000; ++i) mainLoopPass();
    if (!instrumentLinkConnected() || sweepParameters.sampleRate != 100) {
        state.SkipWithError("not connected at 100 Hz");
        return;
    }
    int mostBehind = 0;
    double longest = 0;
    std::int64_t taken = 0, storedAtStart = 0, storedAtEnd = 0;
    for (auto _ : state) {
        storedAtStart = commsState.reportsStored.load();
        const int readAtStart = reportRing.ringReadIndex.load();
        platform::postControlEvent(gui::controlRunButton);
        mainLoopPass();
        int lastRead = readAtStart;
        const auto deadline = Clock::now() + std::chrono::seconds(60);
        while (sweepControl.sweepState != SweepState::Idle && Clock::now() < deadline) {
            const auto start = Clock::now();
            mainLoopPass();
            longest = std::max(longest, microseconds(Clock::now() - start));
            const int read = reportRing.ringReadIndex.load();
            taken += (read - lastRead + reportRingSize) % reportRingSize;
            lastRead = read;
            const int behind = (reportRing.ringWriteIndex.load() - read + reportRingSize) % reportRingSize;
            mostBehind = std::max(mostBehind, behind);
        }
        storedAtEnd = commsState.reportsStored.load();
        const int behind = (reportRing.ringWriteIndex.load() - lastRead + reportRingSize) % reportRingSize;
        state.counters["left_in_ring"] = behind;
    }
    state.counters["reports_stored"] = static_cast<double>(storedAtEnd - storedAtStart);
    state.counters["reports_taken"] = static_cast<double>(taken);
    state.counters["most_slots_behind"] = mostBehind;
    state.counters["longest_pass_us"] = longest;
    resetInstrumentLinkDefaults();
}
BENCHMARK(runAtFastestSampleRate)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    return runBenchmarksOffscreen(argc, argv);
}
