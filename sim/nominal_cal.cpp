#include "nominal_cal.h"

#include <cstdlib>
#include <vector>

namespace {

struct Line {
    double slope = 1.0;
    double intercept = 0.0;
};

// y = slope * x + intercept through two points.
Line lineThrough(double x1, double y1, double x2, double y2) {
    Line line;
    line.slope = (y1 - y2) / (x1 - x2);
    line.intercept = y1 - x1 * line.slope;
    return line;
}

// x for a given y on the line.
double inverse(const Line& line, double y) { return (y - line.intercept) / line.slope; }

const char* const nominalLines[71] = {
    "10.000", "5810", "10.000", "5810", "-10.000", "650", "-10.000", "650",
    "1.250", "3555", "-1500", "-1.250", "2905", "1500",
    "20.00", "4630", "20.00", "4630", "-20.00", "1845", "-20.00", "1845",
    "2.000", "4595", "2.000", "4595", "-2.000", "1870", "-2.000", "1870",
    "200.0", "4490", "200.0", "4490", "-200.0", "1965", "-200.0", "1965",
    "20.00", "4610", "20.00", "4610", "-20.00", "1855", "-20.00", "1855",
    "9.90", "662000", "-9.90", "-662000",
    "563600", "22000", "1650000", "1350000", "-1650000", "-1350000",
    "2700", "1220000", "1350000", "-1220000", "-1350000",
    "150", "2360000", "1350000", "-2360000", "-1350000",
    "33", "900000", "1350000", "-900000", "-1350000",
};

// The fitted hardware lines. DAC lines map level -> counts, ADC lines map raw -> physical.
struct NominalLines {
    Line dacVoltsActive, dacVoltsIdle;
    Line dacAmpsActive[4], dacAmpsIdle[4];
    Line vc, vb;
    Line ic[4];
    double vcPathOhms = 0;
};

NominalLines fitNominalLines() {
    double v[72] = {};
    for (int i = 0; i < 71; ++i) v[i + 1] = std::strtod(nominalLines[i], nullptr);
    NominalLines n;
    n.dacVoltsActive = lineThrough(v[1], v[2], v[5], v[6]);
    n.dacVoltsIdle = lineThrough(v[3], v[4], v[7], v[8]);
    // Current rows: range 3 at lines 15.., range 2 at 23.., range 1 at 31.., range 0 at 39..; mA or uA.
    const int firstLine[4] = {39, 31, 23, 15};
    const double toAmps[4] = {1e-6, 1e-6, 1e-3, 1e-3};
    for (int r = 0; r < 4; ++r) {
        const int f = firstLine[r];
        const double k = toAmps[r];
        n.dacAmpsActive[r] = lineThrough(v[f] * k, v[f + 1], v[f + 4] * k, v[f + 5]);
        n.dacAmpsIdle[r] = lineThrough(v[f + 2] * k, v[f + 3], v[f + 6] * k, v[f + 7]);
    }
    n.vc = lineThrough(v[48], v[47], v[50], v[49]);
    n.vb = lineThrough(v[11], v[9], v[14], v[12]);
    n.vcPathOhms = v[51];
    for (int r = 0; r < 4; ++r) {
        const int f = 52 + 5 * r;
        const double parallel = 1.0 / (1.0 / v[51] + 1.0 / v[f]);
        const double i1 = (v[f + 2] * n.vc.slope + n.vc.intercept) / parallel;
        const double i2 = (v[f + 4] * n.vc.slope + n.vc.intercept) / parallel;
        n.ic[r] = lineThrough(v[f + 1], i1, v[f + 3], i2);
    }
    return n;
}

const NominalLines& nominal() {
    static const NominalLines lines = fitNominalLines();
    return lines;
}

int rangeIndex(int range) { return range < 0 ? 0 : (range > 3 ? 3 : range); }

} // namespace

const std::string& nominalCalibrationText() {
    static const std::string text = [] {
        std::string t;
        for (const char* line : nominalLines) {
            t += line;
            t += "\r\n";
        }
        return t;
    }();
    return text;
}

double dacCountsToVolts(int64_t counts, bool idle) {
    const NominalLines& n = nominal();
    return inverse(idle ? n.dacVoltsIdle : n.dacVoltsActive, static_cast<double>(counts));
}

double dacCountsToAmps(int64_t counts, int currentRange, bool idle) {
    const NominalLines& n = nominal();
    const int r = rangeIndex(currentRange);
    return inverse(idle ? n.dacAmpsIdle[r] : n.dacAmpsActive[r], static_cast<double>(counts));
}

double voltsToRawVc(double volts) { return inverse(nominal().vc, volts); }
double rawVcToVolts(double raw) { return raw * nominal().vc.slope + nominal().vc.intercept; }
double voltsToRawVb(double volts) { return inverse(nominal().vb, volts); }
double ampsToRawIc(double amps, int resistorRange) { return inverse(nominal().ic[rangeIndex(resistorRange)], amps); }
double vcMeasuringPathOhms() { return nominal().vcPathOhms; }
