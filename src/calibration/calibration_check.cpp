#include "calibration/calibration_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "calibration/calibration_file.h"

namespace {

// Component tolerances move a working instrument's slopes by a few percent; a factor of 1.5 also
// passes a meter that reads far off, and still refuses digits mangled or zeroed.
constexpr double slopeFactor = 1.5;
constexpr double dacCountsMax = 65535.0;

struct CheckedLine {
    std::string name;
    const LinearCal& found;
    const LinearCal& nominal;
    bool dac; // maps a level to DAC counts: its zero level must be a count the DAC can take
};

const CalibrationCoefficients& nominalCoefficients() {
    static const CalibrationCoefficients nominal = [] {
        CalibrationCoefficients c;
        fitCalibrationCoefficients(readCalibrationValues(calibrationFileContent(nominalCalibrationTexts())), c);
        return c;
    }();
    return nominal;
}

std::vector<CheckedLine> checkedLines(const CalibrationCoefficients& c) {
    const CalibrationCoefficients& n = nominalCoefficients();
    std::vector<CheckedLine> lines = {
        {"Vb DAC active", c.baseGateActiveDacV, n.baseGateActiveDacV, true},
        {"Vb DAC idle", c.baseGateIdleDacV, n.baseGateIdleDacV, true},
        {"Vc ADC", c.vcAdc, n.vcAdc, false},
        {"Vb ADC", c.vbAdc, n.vbAdc, false},
    };
    for (std::size_t k = 0; k < 4; ++k) {
        const std::string range = " range " + std::to_string(k);
        lines.push_back({"Ib DAC active" + range, c.baseGateActiveDacI[k], n.baseGateActiveDacI[k], true});
        lines.push_back({"Ib DAC idle" + range, c.baseGateIdleDacI[k], n.baseGateIdleDacI[k], true});
        lines.push_back({"Ic ADC" + range, c.icAdc[k], n.icAdc[k], false});
    }
    return lines;
}

std::string numberText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", value);
    return text;
}

bool wholeLineIsNumber(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    double value = 0.0;
    std::size_t length = 0;
    return parseLeadingNumber(line, value, length) && length == line.size() && std::isfinite(value);
}

bool linesAreNumbers(std::string_view content, std::string& reason) {
    std::size_t pos = 0;
    for (std::size_t n = 1; n <= calibrationLineCount; ++n) {
        const std::size_t end = content.find('\n', pos);
        const std::string_view line = content.substr(std::min(pos, content.size()), end == std::string_view::npos ? std::string_view::npos : end - pos);
        if (!wholeLineIsNumber(line)) {
            reason = "line " + std::to_string(n) + " is not a number";
            return false;
        }
        if (end == std::string_view::npos) {
            reason = "line " + std::to_string(n) + " has no line end";
            return false;
        }
        pos = end + 1;
    }
    return true;
}

bool slopeFits(double found, double nominal) {
    const double ratio = found / nominal;
    return std::isfinite(ratio) && ratio >= 1.0 / slopeFactor && ratio <= slopeFactor;
}

} // namespace

bool calibrationDataPlausible(std::string_view content, std::string& reason) {
    if (!linesAreNumbers(content, reason)) return false;
    // Unfittable pairs keep these defaults, which no working instrument comes near.
    CalibrationCoefficients fitted;
    fitCalibrationCoefficients(readCalibrationValues(content), fitted);
    for (const CheckedLine& line : checkedLines(fitted)) {
        if (!slopeFits(line.found.slope, line.nominal.slope)) {
            reason = line.name + " slope " + numberText(line.found.slope) + ", expected about " +
                     numberText(line.nominal.slope);
            return false;
        }
        if (line.dac && !(line.found.intercept >= 0.0 && line.found.intercept <= dacCountsMax)) {
            reason = line.name + " zero level at " + numberText(line.found.intercept) + " counts";
            return false;
        }
    }
    return true;
}
