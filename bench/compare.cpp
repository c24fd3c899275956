// Comparing runs: two full records scored against each other, and a batch of 50 typical runs ranked
// into matched pairs (1225 pairs), as `krv650 match` and the reference line do.
#include <benchmark/benchmark.h>

#include <vector>

#include "../tests/analysis/traced_family.h"
#include "analysis/compare.h"

namespace {

// A family of `steps` NPN curves with `samples` readings each, the part's gain set by `hfe`.
RunCurves npnCurves(int steps, int samples, double hfe, unsigned seed) {
    Trace t{SimDevice::Npn, 'I', 20, 270, 10e-6 * 6 / (steps - 1), 0, steps - 1};
    t.part.forwardBeta = hfe;
    auto record = traceFamily(t, 1e-6, seed);
    // Stretch each step to the wanted number of samples by repeating the 400 traced ones with noise.
    for (int s = 0; s < steps; ++s) {
        for (int e = 401; e <= samples; ++e) {
            record->VC[s][e] = record->VC[s][(e - 1) % 400 + 1] + 1e-4 * (e % 7);
            record->IC[s][e] = record->IC[s][(e - 1) % 400 + 1];
        }
        record->entryCount[s] = samples;
    }
    return runCurves(*record, parseRunSettings(columnsOf(t)));
}

void BM_CompareFullRecords(benchmark::State& state) {
    const RunCurves a = npnCurves(25, 10000, 150, 1), b = npnCurves(25, 10000, 160, 2);
    for (auto _ : state) benchmark::DoNotOptimize(compareRuns(a, b));
}
BENCHMARK(BM_CompareFullRecords)->Unit(benchmark::kMillisecond);

void BM_RankFiftyTypicalRuns(benchmark::State& state) {
    std::vector<MatchPart> tray;
    for (int k = 0; k < 50; ++k) tray.push_back({std::to_string(k), npnCurves(7, 500, 130 + k, k + 1), {}});
    std::vector<MatchPair> ranked;
    for (auto _ : state) {
        rankPairs(tray, "rms", ranked);
        benchmark::DoNotOptimize(ranked.data());
    }
}
BENCHMARK(BM_RankFiftyTypicalRuns)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
