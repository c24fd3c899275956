// The whole program connected to an idle virtual instrument for a fixed time, for whole-process CPU
// figures: /usr/bin/time -v build/bench_idle_connected [seconds]
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "../tests/e2e/sim_process.h"
#include "app/main_loop.h"
#include "base/settings_file.h"
#include "app/shell_state.h"
#include "app/startup.h"
#include "link/comms_thread.h"
#include "link/instrument_link.h"
#include "ui/platform/platform.h"

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
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    long long passes = 0;
    while (std::chrono::steady_clock::now() < end) {
        mainLoopPass();
        ++passes;
    }
    std::printf("connected %d, loop passes %lld (%.0f per second), reports taken %d\n",
                instrumentLink.linkConnected.load(), passes, static_cast<double>(passes) / seconds,
                reportRing.ringReadIndex.load());
    resetInstrumentLinkDefaults();
    sim.stop();
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);
    return 0;
}
