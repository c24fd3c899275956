// One instrument report: checksum check, field decoding and conversion to calibrated readings.
#include <benchmark/benchmark.h>

#include "calibration/calibration_file.h"
#include "link/protocol.h"

namespace {

void BM_DecodeAndConvertReport(benchmark::State& state) {
    fitCalibrationCoefficients(readCalibrationValues(calibrationFileContent(nominalCalibrationTexts())),
                               calibrationCoefficients);
    smallCurrentCompensation = {2e-9, 10.0, 1e-9};
    Report r;
    r.statusWord = 0x0042;
    r.rawIc = 5 * 123456;
    r.rawVc = 5 * 662000;
    r.rawVr = 661000;
    r.rawVb = 5 * -1400;
    const ReportBytes bytes = encodeReport(r);
    for (auto _ : state) {
        const DecodedReport d = decodeReport(bytes.data());
        const Readings x = convertReport(d.report, SampleCounts{5, 5}, 1);
        benchmark::DoNotOptimize(x);
    }
}
BENCHMARK(BM_DecodeAndConvertReport);

void BM_DecodeReportOnly(benchmark::State& state) {
    const ReportBytes bytes = encodeReport(Report{0x80F3, 0x1234, -5, 662000, 1, -2});
    for (auto _ : state) {
        benchmark::DoNotOptimize(decodeReport(bytes.data()));
    }
}
BENCHMARK(BM_DecodeReportOnly);

} // namespace

BENCHMARK_MAIN();
