// Reads arbitrary bytes as a sample-run file and reads every parameter of it as every device kind:
// nothing crashes, and every number that is given is finite.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "analysis/analysis.h"
#include "results/sample_runs.h"

namespace {

void requireFinite(const ParameterValue& value) {
    if (value.available && !std::isfinite(value.value)) std::abort();
    if (value.fitted && !std::isfinite(value.quality)) std::abort();
}

void requirePoint(const PointParameters& p) {
    for (const ParameterValue* v : {&p.collectorVoltage, &p.collectorCurrent, &p.hfe, &p.beta, &p.gm, &p.go, &p.ro,
                                    &p.earlyVoltage, &p.lambda})
        requireFinite(*v);
}

constexpr DeviceKind everyKind[] = {DeviceKind::Unknown,         DeviceKind::Npn,           DeviceKind::Pnp,
                                    DeviceKind::NmosEnhancement, DeviceKind::PmosEnhancement, DeviceKind::NmosDepletion,
                                    DeviceKind::PmosDepletion,   DeviceKind::Njfet,         DeviceKind::Pjfet,
                                    DeviceKind::Diode,           DeviceKind::Thyristor,     DeviceKind::Resistor};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    readSampleRunText(std::string_view(reinterpret_cast<const char*>(data), size));
    const RunSettings settings = parseRunSettings(sampleRuns.sampleRunParameters);
    if (deviceKindName(inferDeviceKind(sampleRunRecord, settings)) == nullptr) std::abort();
    // Operating points from the input's first bytes, so the fuzzer steers them too.
    const int step = size > 0 ? data[0] % (runRecordSteps + 2) - 1 : 0;
    const double volts = size > 1 ? (data[1] - 128) * 0.25 : 5.0;
    const double amps = size > 2 ? (data[2] - 128) * 1e-4 : 1e-3;
    for (DeviceKind kind : everyKind) {
        const RunParameters run = analyseRun(sampleRunRecord, settings, kind);
        for (const ParameterRow& row : parameterRows(run)) requireFinite(row.value);
        const std::string card = modelCardLine(run, "DUT");
        if (card.find("nan") != std::string::npos || card.find("inf") != std::string::npos) std::abort();
        requirePoint(parametersAtPoint(sampleRunRecord, settings, kind, {step, volts, false, 0}));
        requirePoint(parametersAtPoint(sampleRunRecord, settings, kind, {step, 0, true, amps}));
    }
    return 0;
}
