// The loop tick's hot paths and a long soak of the report link over a real pty.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "offscreen_main.h"
#include "../tests/link/fake_instrument.h"
#include "bench_window.h"
#include "app/loop_tick.h"
#include "base/system_settings.h"
#include "link/comms_thread.h"
#include "link/instrument_link.h"
#include "sweep/instrument_connection.h"
#include "sweep/sweep_state_machine.h"
#include "platform/platform.h"

namespace {

void loopTickWithNothingToDo(benchmark::State& state) {
    openBenchMainWindow();
    for (auto _ : state) loopTick();
    platform::resetPlatform();
}
BENCHMARK(loopTickWithNothingToDo)->Unit(benchmark::kMicrosecond);

void takeAndDecodeOneReport(benchmark::State& state) {
    resetCommsDefaults();
    resetSweepStateMachineDefaults();
    reportRing.ringWriterAck.store(1); // no comms thread: a standing acknowledgement
    Report r;
    r.statusWord = 0x002E;
    r.rawIc = 123456;
    r.rawVc = -765432;
    r.rawVb = 4321;
    for (auto _ : state) {
        storeReportInRing(r);
        takeReport();
        decodeCurrentReport();
        benchmark::DoNotOptimize(sweepReadings.smoothedIc);
    }
}
BENCHMARK(takeAndDecodeOneReport)->Unit(benchmark::kNanosecond);

// Set when the soak loses or repeats a report, so that the run fails as well as reporting it.
bool soakFoundAFault = false;

// Numbered reports at a steady rate from the pty's far side, taken by the GUI side as the loop
// tick does; counts what was sent, taken, lost and repeated.
void soakAtHundredReportsPerSecond(benchmark::State& state) {
    const int seconds = static_cast<int>(state.range(0));
    std::int64_t sent = 0, taken = 0, lost = 0, repeated = 0;
    for (auto _ : state) {
        char dir[] = "/tmp/krv650-soak-XXXXXX";
        const std::filesystem::path previous = std::filesystem::current_path();
        std::filesystem::current_path(mkdtemp(dir));
        resetInstrumentLinkDefaults();
        resetCommsDefaults();
        FakeInstrument instrument;
        instrument.answerPolls = false;
        instrument.start();
        linkComPort(3, instrument.pty.slavePath);
        systemSettings.comPortNumber = 3;
        connectInstrument();
        std::atomic<bool> done{false};
        std::thread sender([&] {
            auto next = std::chrono::steady_clock::now();
            for (std::int64_t n = 1; n <= seconds * 100; ++n) {
                instrument.sendReport(n);
                next += std::chrono::milliseconds(10);
                std::this_thread::sleep_until(next);
            }
            done = true;
        });
        std::int64_t last = 0;
        auto drainUntil = std::chrono::steady_clock::now() + std::chrono::seconds(seconds + 5);
        while ((!done || last < seconds * 100) && std::chrono::steady_clock::now() < drainUntil) {
            if (!takeReport()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            ++taken;
            std::int64_t n = currentReport.rawIc;
            if (n <= last) ++repeated;
            else lost += n - last - 1;
            last = std::max(last, n);
        }
        sender.join();
        lost += seconds * 100 - last;
        sent += instrument.reportsSent.load();
        resetInstrumentLinkDefaults();
        instrument.finish();
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(dir);
    }
    state.counters["sent"] = static_cast<double>(sent);
    state.counters["taken"] = static_cast<double>(taken);
    state.counters["lost"] = static_cast<double>(lost);
    state.counters["repeated"] = static_cast<double>(repeated);
    if (lost != 0 || repeated != 0) {
        soakFoundAFault = true;
        state.SkipWithError("reports were lost or repeated");
    }
}
BENCHMARK(soakAtHundredReportsPerSecond)->Arg(600)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    const int status = runBenchmarksOffscreen(argc, argv);
    return soakFoundAFault ? 1 : status;
}
