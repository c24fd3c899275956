// How quickly the idle program reacts: from a click on a tile's plus button to the redrawn tile, and
// from a report arriving on the pty to the sample stored in the run record. The whole program runs
// offscreen beside a stand-in instrument; each iteration first leaves the loop idle for a while.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "../tests/link/fake_instrument.h"
#include "offscreen_main.h"
#include "app/main_loop.h"
#include "app/startup.h"
#include "base/gui_numbers.h"
#include "base/system_settings.h"
#include "link/instrument_link.h"
#include "sweep/run_record.h"
#include "sweep/sweep_state_machine.h"
#include "platform/platform.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Installation {
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::path dir;
    FakeInstrument instrument;

    bool start() {
        char pattern[] = "/tmp/krv650-latency-XXXXXX";
        dir = mkdtemp(pattern);
        std::filesystem::current_path(dir);
        std::filesystem::copy(KRV_SOURCE_DIR "/install", ".", std::filesystem::copy_options::recursive);
        std::FILE* settings = std::fopen("settings/system_settings.txt", "wb");
        std::fputs("KRV_ComPort=3\r\nCheckWebsiteForUpdate=0\r\n", settings);
        std::fclose(settings);
        if (!instrument.start()) return false;
        linkComPort(3, instrument.pty.slavePath);
        platform::initPlatform();
        platform::resetPlatform();
        startProgram();
        platform::postControlEvent(gui::controlConnectButton);
        runFor(std::chrono::milliseconds(1500));
        return instrumentLink.linkConnected.load() == 1;
    }
    ~Installation() {
        resetInstrumentLinkDefaults();
        instrument.finish();
        platform::resetPlatform();
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(dir);
    }
    static void runFor(Clock::duration d) {
        const auto end = Clock::now() + d;
        while (Clock::now() < end) mainLoopPass();
    }
};

std::uint64_t imageHash(const platform::Image& image) {
    std::uint64_t h = 1469598103934665603ull;
    for (int y = 0; y < image.height(); ++y) {
        const std::uint32_t* row = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x) h = (h ^ row[x]) * 1099511628211ull;
    }
    return h;
}

void reportLatencies(benchmark::State& state, std::vector<double>& us) {
    if (us.empty()) return;
    std::sort(us.begin(), us.end());
    state.counters["median_us"] = us[us.size() / 2];
    state.counters["p90_us"] = us[us.size() * 9 / 10];
    state.counters["max_us"] = us.back();
}

// The plus and minus buttons of the peak voltage tile in turn, so that its value keeps changing.
void clickToRedrawnTile(benchmark::State& state) {
    Installation installation;
    if (!installation.start()) {
        state.SkipWithError("the stand-in instrument did not connect");
        return;
    }
    const int valueControl = gui::tileCollectorVoltage + 3;
    std::vector<double> us;
    int n = 0;
    for (auto _ : state) {
        Installation::runFor(std::chrono::milliseconds(30));
        const std::uint64_t shown = imageHash(platform::controlImage(valueControl));
        const auto start = Clock::now();
        platform::postControlEvent(n++ % 2 == 0 ? gui::controlCollectorVoltageUp : gui::controlCollectorVoltageDown);
        while (imageHash(platform::controlImage(valueControl)) == shown && Clock::now() - start < std::chrono::seconds(1))
            mainLoopPass();
        const double took = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        us.push_back(took);
        state.SetIterationTime(took / 1e6);
    }
    reportLatencies(state, us);
}
BENCHMARK(clickToRedrawnTile)->UseManualTime()->Iterations(100)->Unit(benchmark::kMicrosecond);

// A sweep that waits for its samples: each report written on the instrument's side of the pty is
// timed until the loop has stored it.
void reportOnPtyToSampleStored(benchmark::State& state) {
    Installation installation;
    if (!installation.start()) {
        state.SkipWithError("the stand-in instrument did not connect");
        return;
    }
    installation.instrument.answerPolls = false;
    sweepControl.sweepState = SweepState::Sweeping;
    sweepControl.currentStep = 0;
    std::vector<double> us;
    std::int64_t n = 1;
    for (auto _ : state) {
        Installation::runFor(std::chrono::milliseconds(30));
        sweepControl.currentEntry = 0;
        runRecord.entryCount[0] = 0;
        const auto start = Clock::now();
        installation.instrument.sendReport(n++);
        while (runRecord.entryCount[0] == 0 && Clock::now() - start < std::chrono::seconds(1)) mainLoopPass();
        const double took = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        us.push_back(took);
        state.SetIterationTime(took / 1e6);
    }
    sweepControl.sweepState = SweepState::Idle;
    reportLatencies(state, us);
}
BENCHMARK(reportOnPtyToSampleStored)->UseManualTime()->Iterations(100)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return runBenchmarksOffscreen(argc, argv);
}
