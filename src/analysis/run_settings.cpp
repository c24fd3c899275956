// The recorded settings of a run as the analysis reads them, and values as text.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "analysis/analysis.h"
#include "base/unit_format.h"
#include "results/text_fields.h"

RunSettings parseRunSettings(const RunColumns& columns) {
    RunSettings settings;
    const std::string& mode = columns[12];
    const auto steps = leadingInteger(columns[20]);
    if ((mode != "I" && mode != "V") || !steps || *steps < 0 || *steps >= runRecordSteps) return settings;
    settings.valid = true;
    settings.driveMode = mode[0];
    settings.peakVoltage = decimalValue(columns[13]);
    settings.seriesResistance = decimalValue(columns[14]);
    settings.peakCurrent = decimalValue(columns[15]);
    settings.stepSize = decimalValue(columns[settings.driveMode == 'I' ? 16 : 18]);
    settings.stepOffset = decimalValue(columns[settings.driveMode == 'I' ? 17 : 19]);
    settings.stepCount = static_cast<int>(*steps);
    settings.graphType = static_cast<int>(leadingInteger(columns[25]).value_or(0));
    for (double* value : {&settings.peakVoltage, &settings.seriesResistance, &settings.peakCurrent, &settings.stepSize,
                          &settings.stepOffset})
        if (!std::isfinite(*value)) *value = 0;
    return settings;
}

double stepDriveLevel(const RunSettings& settings, int step) { return settings.stepOffset + settings.stepSize * step; }

ParameterValue parameterValue(double value, const char* unit, double quality, bool fitted) {
    ParameterValue result;
    result.available = std::isfinite(value);
    result.value = result.available ? value : 0;
    result.unit = unit;
    result.fitted = fitted && result.available;
    result.quality = std::isfinite(quality) ? std::clamp(quality, 0.0, 1.0) : 0.0;
    return result;
}

std::string formatParameter(const ParameterValue& value) {
    if (!value.available || !std::isfinite(value.value)) return "-";
    const std::string unit = std::strcmp(value.unit, "ohm") == 0 ? "R" : value.unit;
    // Ratios and reciprocal volts read better without a prefix.
    const bool prefixed = !unit.empty() && unit != "1/V";
    return formatEngineering(value.value, unit, prefixed);
}
