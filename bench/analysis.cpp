// Every parameter of a run (the whole-run fits, the cursor's operating point and the model card), as
// the Device Parameters window and the command line ask for them: a full record and a typical run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "analysis/analysis.h"
#include "sweep/run_record.h"

namespace {

// Bipolar: 150 Ib (1 + Vc / 80) above a knee; MOSFET: 0.02 (Vgs - 2.1)^2 (1 + 0.02 Vds) with its linear
// region. Readings carry a little ripple, as measured ones do.
void fillFamily(RunRecord& r, DeviceKind kind, int steps, int samples) {
    clearRunRecord(r);
    const bool bipolar = kind == DeviceKind::Npn;
    for (int s = 0; s < steps; ++s) {
        r.entryCount[s] = samples;
        const double drive = bipolar ? 5e-6 * s : 2.0 + 0.2 * s;
        for (int e = 1; e <= samples; ++e) {
            const double vc = 20.0 * e / samples;
            double ic = 0;
            if (bipolar) {
                ic = 150 * drive * (1 + vc / 80) * (1 - std::exp(-vc / 0.1));
            } else {
                const double overdrive = std::max(0.0, drive - 2.1);
                const double vds = std::min(vc, overdrive);
                ic = 0.02 * (2 * overdrive * vds - vds * vds) * (1 + 0.02 * vc);
            }
            r.VR[s][e] = vc + 270 * ic;
            r.VC[s][e] = vc;
            r.IC[s][e] = ic * (1 + 1e-4 * std::sin(e));
            r.VB[s][e] = bipolar ? 0.65 : drive;
            (bipolar ? r.TIB : r.TVB)[s][e] = drive;
        }
    }
}

RunColumns columnsFor(DeviceKind kind, int steps) {
    const bool bipolar = kind == DeviceKind::Npn;
    RunColumns c;
    c[12] = bipolar ? "I" : "V";
    c[13] = "20";
    c[14] = "270";
    c[15] = "0.1";
    c[16] = "0.000005";
    c[17] = "0";
    c[18] = "0.2";
    c[19] = bipolar ? "0" : "2";
    c[20] = std::to_string(steps - 1);
    c[21] = "0";
    c[22] = "0";
    c[23] = "100";
    c[24] = "ClampOff";
    c[25] = "0";
    return c;
}

// Arguments: steps, samples per step, 0 bipolar or 1 MOSFET.
void BM_AllParameters(benchmark::State& state) {
    const int steps = static_cast<int>(state.range(0));
    const int samples = static_cast<int>(state.range(1));
    const DeviceKind kind = state.range(2) == 0 ? DeviceKind::Npn : DeviceKind::NmosEnhancement;
    auto record = std::make_unique<RunRecord>();
    fillFamily(*record, kind, steps, samples);
    const RunSettings settings = parseRunSettings(columnsFor(kind, steps));
    const OperatingPoint cursor{steps / 2, 10.0, false, 0};
    for (auto _ : state) {
        const RunParameters run = analyseRun(*record, settings, kind);
        benchmark::DoNotOptimize(parametersAtPoint(*record, settings, kind, cursor));
        benchmark::DoNotOptimize(modelCardLine(run, "DUT"));
    }
    state.SetLabel(deviceKindName(kind));
}
BENCHMARK(BM_AllParameters)
    ->Args({runRecordSteps, runRecordEntries, 0})
    ->Args({runRecordSteps, runRecordEntries, 1})
    ->Args({7, 500, 0})
    ->Args({7, 500, 1})
    ->Unit(benchmark::kMillisecond);

// The panel's box: the operating point alone, on every cursor move and every live redraw.
void BM_PointParameters(benchmark::State& state) {
    const int steps = static_cast<int>(state.range(0));
    const int samples = static_cast<int>(state.range(1));
    auto record = std::make_unique<RunRecord>();
    fillFamily(*record, DeviceKind::Npn, steps, samples);
    const RunSettings settings = parseRunSettings(columnsFor(DeviceKind::Npn, steps));
    const OperatingPoint cursor{steps / 2, 10.0, false, 0};
    for (auto _ : state) benchmark::DoNotOptimize(parametersAtPoint(*record, settings, DeviceKind::Npn, cursor));
}
BENCHMARK(BM_PointParameters)->Args({runRecordSteps, runRecordEntries})->Args({7, 500})->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
