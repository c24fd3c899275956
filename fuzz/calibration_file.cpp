// Reads arbitrary bytes as a calibration file: the fit must never leave a coefficient infinite or NaN.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "calibration/calibration_file.h"

namespace {

void requireFinite(const LinearCal& cal) {
    if (!std::isfinite(cal.slope) || !std::isfinite(cal.intercept)) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    CalibrationCoefficients c;
    fitCalibrationCoefficients(readCalibrationValues(content), c);
    requireFinite(c.baseGateActiveDacV);
    requireFinite(c.baseGateIdleDacV);
    requireFinite(c.vcAdc);
    requireFinite(c.vbAdc);
    for (std::size_t i = 0; i < 4; ++i) {
        requireFinite(c.baseGateActiveDacI[i]);
        requireFinite(c.baseGateIdleDacI[i]);
        requireFinite(c.icAdc[i]);
    }
    calibrationCoefficients = c;
    (void)physicalToRawLimit(100.0, c.vcAdc);
    (void)levelToDacCounts(0.02, DriveMode::Current, 3, DacLevel::Active);
    (void)levelToDacCounts(-10.0, DriveMode::Voltage, 0, DacLevel::Idle);
    return 0;
}
