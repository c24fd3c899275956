// Writing and reading back a full run record (25 steps x 10000 entries, about 250 000 lines): both run
// on the GUI thread, at the end of a run or on a click.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "results/run_data_file.h"
#include "results/sample_runs.h"
#include "sweep/run_record.h"
#include "sweep/sweep_parameters.h"

namespace {

// Readings with full ten-decimal texts, as real measurements have.
void fillFullRecord() {
    resetSweepParametersDefaults();
    for (int s = 0; s < runRecordSteps; ++s) {
        runRecord.entryCount[s] = runRecordEntries;
        for (int e = 1; e <= runRecordEntries; ++e) {
            const double x = e / 10000.0;
            runRecord.VR[s][e] = 0.01 * std::sin(x * 7 + s);
            runRecord.VB[s][e] = 0.6 + 0.01 * std::log1p(x * (s + 1));
            runRecord.VC[s][e] = 13.0 * x + 1e-4 * std::cos(e);
            runRecord.IC[s][e] = 1e-3 * (s + 1) * (1 - std::exp(-5 * x));
            runRecord.TIB[s][e] = 1e-5 * s;
            runRecord.TVB[s][e] = 0.5 * s;
        }
    }
}

// A folder of its own under the system's temporary folder, the working directory while it lives.
struct BenchFolder {
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("krv650-bench-runfiles-" + std::to_string(::getpid()));
    BenchFolder() {
        std::filesystem::create_directories(path / "sampleruns");
        std::filesystem::current_path(path);
    }
    ~BenchFolder() {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(path);
    }
};

void BM_RunDataFileText(benchmark::State& state) {
    fillFullRecord();
    for (auto _ : state) benchmark::DoNotOptimize(runDataFileText(runRecord));
}
BENCHMARK(BM_RunDataFileText)->Unit(benchmark::kMillisecond);

void BM_WriteRunDataFile(benchmark::State& state) {
    BenchFolder folder;
    fillFullRecord();
    for (auto _ : state) benchmark::DoNotOptimize(writeRunDataFile("sampleruns/0001.csv"));
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size("sampleruns/0001.csv"));
}
BENCHMARK(BM_WriteRunDataFile)->Unit(benchmark::kMillisecond);

void BM_LoadSampleRun(benchmark::State& state) {
    BenchFolder folder;
    fillFullRecord();
    writeRunDataFile("sampleruns/0001.csv");
    sampleRuns.sampleRunIndex = 1;
    for (auto _ : state) benchmark::DoNotOptimize(loadSampleRun());
}
BENCHMARK(BM_LoadSampleRun)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
