// A full settings transfer: filling the register image and building the 32 write frames.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>

#include "calibration/calibration_file.h"
#include "link/register_transfer.h"
#include "sweep/instrument_values.h"
#include "sweep/sweep_parameters.h"

namespace {

void setUpRun() {
    resetSweepParametersDefaults();
    resetInstrumentValuesDefaults();
    resetRegisterTransferDefaults();
    fitCalibrationCoefficients(readCalibrationValues(calibrationFileContent(nominalCalibrationTexts())),
                               calibrationCoefficients);
    prepareRun();
    prepareStep(3);
}

void BM_FillRegisterImage(benchmark::State& state) {
    setUpRun();
    for (auto _ : state) {
        fillRegisterImage();
        benchmark::DoNotOptimize(registerImage.data());
    }
}
BENCHMARK(BM_FillRegisterImage);

void BM_FillAndBuildFullTransfer(benchmark::State& state) {
    setUpRun();
    std::size_t bytesSent = 0;
    frameSender = [&bytesSent](const std::uint8_t* bytes, std::size_t length) {
        benchmark::DoNotOptimize(bytes);
        bytesSent += length;
    };
    for (auto _ : state) {
        instrumentValues.runCommand = "Run";
        fillRegisterImage();
        writeRegisters(0, -registerCount);
        finishRegisterTransfer();
    }
    frameSender = nullptr;
    state.SetBytesProcessed(static_cast<std::int64_t>(bytesSent));
}
BENCHMARK(BM_FillAndBuildFullTransfer);

} // namespace

BENCHMARK_MAIN();
