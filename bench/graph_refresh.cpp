// The whole graph refresh (copy, scaling, graph, cursors, title, key and panel) for a typical run and
// for a full record, at the default window size and at 1600 x 900.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>

#include "bench_window.h"
#include "base/colour_theme.h"
#include "base/program_fonts.h"
#include "display/cursor_actions.h"
#include "display/graph.h"
#include "display/graph_drawing.h"
#include "display/graph_layout.h"
#include "display/graph_sources.h"
#include "display/reference_run.h"
#include "sweep/sweep_parameters.h"

namespace {

// A bipolar family: saturation knee, Early slope and a little measurement noise, so that dense
// steps wander over neighbouring pixels as real readings do.
void fillFamily(int steps, int samples) {
    RunRecord& run = sampleRunRecord;
    std::uint32_t noise = 12345;
    auto jitter = [&noise] {
        noise = noise * 1664525u + 1013904223u;
        return (static_cast<double>(noise >> 8) / 16777216.0 - 0.5);
    };
    for (auto& count : run.entryCount) count = 0;
    for (int s = 0; s < steps; ++s) {
        const double base = 10e-6 * s;
        for (int e = 1; e <= samples; ++e) {
            const double vc = 12.0 * e / samples + 0.01 * jitter();
            const double ic = 150.0 * base * (1.0 + vc / 80.0) * (1.0 - std::exp(-vc / 0.08)) + 20e-6 * jitter();
            run.VC[s][e] = vc;
            run.IC[s][e] = ic;
            run.TIB[s][e] = base;
        }
        run.entryCount[s] = samples;
    }
    auto& h = sampleRuns.sampleRunParameters;
    h[12] = "I";
    h[13] = "13";
    h[14] = "270";
    h[15] = "0.05";
    h[16] = "0.00001";
    h[17] = "0";
    h[20] = std::to_string(steps - 1);
    h[21] = "0";
    h[22] = "300";
    h[23] = "50";
}

// The graph and panel sizes the main window gives a client area of width x height.
void layoutFor(int width, int height) {
    const int menuBar = platform::menuBarHeight(1);
    graphLayout.graphWidth = width - 288 - 400;
    graphLayout.graphHeight = height - menuBar;
    graphLayout.panelX = width - 400;
    graphLayout.panelWidth = 400;
    graphLayout.panelHeight = height - menuBar;
}

void setUpGraph(int steps, int samples, int width, int height) {
    openBenchMainWindow();
    platform::createMenuBar(1);
    platform::addMenu(1, 0, "File");
    programFonts.localText = makeProgramFont("Arial Bold", 10);
    programFonts.controlStatusNormal = makeProgramFont("Calibri", 10);
    programFonts.graphKeySection = makeProgramFont("Arial", 9);
    applyColourTheme();
    std::array<std::string, testConfigurationColumns> row{};
    row[7] = "5";
    row[8] = "V";
    row[9] = "V";
    row[10] = "CE";
    row[11] = "Collector-Emitter";
    row[12] = "8";
    row[13] = "A";
    row[14] = "I";
    row[15] = "C";
    row[16] = "Collector Current";
    for (int c = 0; c < testConfigurationColumns; ++c) testConfigurations.cell[100][c] = row[static_cast<std::size_t>(c)];
    sweepParameters.testConfigurationId = 100;
    fillFamily(steps, samples);
    layoutFor(width, height);
    cursors.cursorXA = 2.0;
    cursors.cursorXB = 8.0;
    cursors.cursorYA = 0.002;
    cursors.cursorYB = 0.006;
    cursors.cursorSlopeLine = 1;
}

void refreshGraphBench(benchmark::State& state) {
    setUpGraph(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), static_cast<int>(state.range(2)),
               static_cast<int>(state.range(3)));
    for (auto _ : state) refreshGraph();
    state.counters["points"] = static_cast<double>(state.range(0) * state.range(1));
    platform::resetPlatform();
}
// The same with a reference run behind the family: the displayed run with 10 % more current, so that
// its curves are drawn beside the family's rather than under it.
void refreshGraphWithReferenceBench(benchmark::State& state) {
    setUpGraph(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), static_cast<int>(state.range(2)),
               static_cast<int>(state.range(3)));
    auto reference = std::make_unique<RunRecord>(sampleRunRecord);
    for (auto& step : reference->IC)
        for (double& ic : step) ic *= 1.1;
    adoptReferenceRun(std::move(reference), sampleRuns.sampleRunParameters, "");
    for (auto _ : state) refreshGraph();
    clearReferenceRun();
    platform::resetPlatform();
}

// The curves alone, drawn leaving out segments that add no pixel (0) and segment by segment (1).
void curvesBench(benchmark::State& state) {
    setUpGraph(25, 10000, 1600, 900);
    refreshGraph();
    const PlotArea area = currentPlotArea();
    platform::Image image(area.width, area.height, 0);
    for (auto _ : state) {
        if (state.range(0) == 0)
            drawCurves(image, area);
        else
            drawCurvesEverySegment(image, area);
    }
    platform::resetPlatform();
}
BENCHMARK(curvesBench)->Arg(0)->Arg(1)->ArgName("everySegment")->Unit(benchmark::kMillisecond);

// Default client area 1402 x 832, then 1600 x 900.
BENCHMARK(refreshGraphBench)
    ->Args({7, 500, 1402, 832})
    ->Args({25, 10000, 1402, 832})
    ->Args({7, 500, 1600, 900})
    ->Args({25, 10000, 1600, 900})
    ->ArgNames({"steps", "samples", "width", "height"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(refreshGraphWithReferenceBench)
    ->Args({7, 500, 1402, 832})
    ->Args({25, 10000, 1402, 832})
    ->ArgNames({"steps", "samples", "width", "height"})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
