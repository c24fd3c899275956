// The whole program connected to an idle virtual instrument for a fixed time, for whole-process CPU
// figures (/usr/bin/time -v build/bench_idle_connected [seconds]) and the longest loop pass once
// connected and settled.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "../tests/e2e/sim_process.h"
#include "app/main_loop.h"
#include "base/settings_file.h"
#include "app/shell_state.h"
#include "app/startup.h"
#include "link/comms_thread.h"
#include "link/instrument_link.h"
#include "platform/platform.h"

namespace {

double threadCpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
    char dir[] = "/tmp/krv650-idle-XXXXXX";
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(mkdtemp(dir));
    std::filesystem::copy(KRV_SOURCE_DIR "/install", ".", std::filesystem::copy_options::recursive);
    std::FILE* settings = std::fopen("settings/system_settings.txt", "wb");
    std::fprintf(settings, "KRV_ComPort=%d\r\nCheckWebsiteForUpdate=0\r\n", simPort);
    std::fclose(settings);

    SimProcess sim;
    if (!sim.start({})) return 1;
    startProgram();
    platform::postControlEvent(273);
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto settled = start + std::chrono::seconds(1); // the connect transfer is behind us
    const auto end = start + std::chrono::seconds(seconds);
    long long passes = 0, passesOver2ms = 0;
    Clock::duration longest{};
    double longestCpuMs = 0; // what the pass itself cost, free of time spent descheduled on a busy machine
    for (auto now = start; now < end;) {
        const double cpuBefore = threadCpuMilliseconds();
        mainLoopPass();
        ++passes;
        const auto after = Clock::now();
        if (now >= settled) {
            longest = std::max(longest, after - now);
            longestCpuMs = std::max(longestCpuMs, threadCpuMilliseconds() - cpuBefore);
            if (after - now > std::chrono::milliseconds(2)) ++passesOver2ms;
        }
        now = after;
    }
    std::printf("connected %d, loop passes %lld (%.0f per second), reports taken %d\n",
                instrumentLink.linkConnected.load(), passes, static_cast<double>(passes) / seconds,
                reportRing.ringReadIndex.load());
    std::printf("longest pass once settled %.3f ms wall (%.3f ms on the CPU), passes over 2 ms wall %lld\n",
                std::chrono::duration<double, std::milli>(longest).count(), longestCpuMs, passesOver2ms);
    resetInstrumentLinkDefaults();
    sim.stop();
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);
    return 0;
}
