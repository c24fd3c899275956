// The main of the benchmarks that touch the window system: offscreen unless a platform is chosen.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>

inline int runBenchmarksOffscreen(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
