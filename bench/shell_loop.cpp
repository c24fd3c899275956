// The main loop's idle pass and the start-up time to the first shown window.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "offscreen_main.h"
#include "app/main_loop.h"
#include "bench_window.h"
#include "app/program_defaults.h"
#include "base/settings_file.h"
#include "app/startup.h"
#include "platform/platform.h"

namespace {

std::filesystem::path freshInstallation() {
    std::string pattern = (std::filesystem::temp_directory_path() / "krv650-bench-XXXXXX").string();
    const std::filesystem::path dir = mkdtemp(pattern.data());
    std::filesystem::copy(KRV_SOURCE_DIR "/install", dir, std::filesystem::copy_options::recursive);
    // Start-up without the update check, which would reach for the maker's server.
    std::FILE* settings = std::fopen((dir / "settings/system_settings.txt").c_str(), "wb");
    std::fputs("CheckWebsiteForUpdate=0\r\n", settings);
    std::fclose(settings);
    return dir;
}

void idleMainLoopPass(benchmark::State& state) {
    openBenchMainWindow();
    for (auto _ : state) mainLoopPass();
    platform::resetPlatform();
}
BENCHMARK(idleMainLoopPass)->Unit(benchmark::kMicrosecond);

// Includes the settings file's 29 pauses of 50 ms, as the program does on every start.
void startupToFirstWindow(benchmark::State& state) {
    const auto previous = std::filesystem::current_path();
    platform::initPlatform();
    for (auto _ : state) {
        state.PauseTiming();
        platform::resetPlatform();
        const auto dir = freshInstallation();
        std::filesystem::current_path(dir);
        state.ResumeTiming();
        startProgram();
        state.PauseTiming();
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(dir);
        state.ResumeTiming();
    }
    platform::resetPlatform();
}
BENCHMARK(startupToFirstWindow)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    return runBenchmarksOffscreen(argc, argv);
}
