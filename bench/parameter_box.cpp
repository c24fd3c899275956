// The live redraw during a run with and without the PARAMETERS box: the whole graph refresh that runs
// every 100 ms while a step sweeps, and the panel drawing alone, for a typical run, a long one whose
// box still fits, and the most steps a run can have (20 + step 0), where the key leaves it no room.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <utility>

#include "../tests/support/traced_family.h"
#include "bench_window.h"
#include "base/colour_theme.h"
#include "base/program_fonts.h"
#include "display/cursor_actions.h"
#include "display/graph.h"
#include "display/graph_layout.h"
#include "display/graph_sources.h"
#include "display/panel.h"
#include "display/parameter_box.h"
#include "sweep/instrument_values.h"
#include "sweep/sweep_parameters.h"
#include "sweep/sweep_state_machine.h"

namespace {

// The main window's default client area, 1402 x 832, with a menu bar as the program has.
void setUpLiveRun(int steps, int samples, bool withBox, bool fieldEffect) {
    openBenchMainWindow();
    platform::createMenuBar(1);
    platform::addMenu(1, 0, "File");
    programFonts.localText = makeProgramFont("Arial Bold", 10);
    programFonts.controlStatusNormal = makeProgramFont("Calibri", 10);
    programFonts.graphKeySection = makeProgramFont("Arial", 9);
    applyColourTheme();
    std::array<std::string, testConfigurationColumns> row{};
    row[7] = "5";
    row[12] = "8";
    for (int c = 0; c < testConfigurationColumns; ++c) testConfigurations.cell[100][c] = row[static_cast<std::size_t>(c)];
    sweepParameters.testConfigurationId = 100;
    sweepParameters.stepCount = steps - 1;
    instrumentValues.stepModeLetter = fieldEffect ? "V" : "I";
    // All but the last step measured; the run is on its last ramp.
    testsupport::TracedFamily family;
    family.steps = steps - 1;
    family.samples = samples;
    if (fieldEffect) {
        // The NFET preset: gate steps of 0.5 V from 2 V.
        family.device = SimDevice::NmosEnhancement;
        family.currentDrive = false;
        family.stepLevel = 0.5;
        family.stepOffset = 2.0;
        sweepParameters.voltageStepSize = 0.5;
        sweepParameters.voltageOffset = 2.0;
    }
    testsupport::traceFamily(runRecord, family);
    sweepControl.sweepState = SweepState::Sweeping;
    const int menuBar = platform::menuBarHeight(1);
    graphLayout.graphWidth = 1402 - 288 - 400;
    graphLayout.graphHeight = 832 - menuBar;
    graphLayout.panelX = 1402 - 400;
    graphLayout.panelHeight = 832 - menuBar;
    cursors.cursorXA = 5.0;
    parameterBox.shown = withBox;
}

void liveRedraw(benchmark::State& state) {
    setUpLiveRun(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), state.range(2) == 1,
                 state.range(3) == 1);
    for (auto _ : state) refreshGraph();
    platform::resetPlatform();
}

void panelOnly(benchmark::State& state) {
    setUpLiveRun(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), state.range(2) == 1,
                 state.range(3) == 1);
    refreshGraph();
    for (auto _ : state) drawPanel();
    platform::resetPlatform();
}

// Typical bipolar and NFET runs, long runs whose box still fits, and the most steps a run can have.
void runs(benchmark::internal::Benchmark* b) {
    for (const std::int64_t fet : {0, 1})
        for (const auto& [steps, samples] : {std::pair<std::int64_t, std::int64_t>{7, 500}, {11, 10000}, {21, 10000}})
            for (const std::int64_t box : {0, 1}) b->Args({steps, samples, box, fet});
    b->ArgNames({"steps", "samples", "box", "fet"})->Unit(benchmark::kMillisecond);
}

BENCHMARK(liveRedraw)->Apply(runs);
BENCHMARK(panelOnly)->Apply(runs);

} // namespace

BENCHMARK_MAIN();
