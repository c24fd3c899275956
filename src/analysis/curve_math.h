// Shared tools of the analysis: one step's samples as a curve, straight-line fits and local fits.
// Curves are kept in the "n-type frame": voltages and currents multiplied by the run's polarity, so
// that every part's characteristics lie in the first quadrant.
#pragma once

#include <vector>

#include "sweep/run_record.h"

struct Curve {
    std::vector<double> v; // V, ascending
    std::vector<double> i; // A, the sample of the same index
    std::vector<double> drive; // V, measured base/gate voltage of the sample (VB), same frame
    bool empty() const { return v.empty(); }
    int size() const { return static_cast<int>(v.size()); }
};

// Entries 1..entryCount of one step, non-finite samples dropped, multiplied by `sign` and sorted by voltage.
Curve stepCurve(const RunRecord& record, int step, double sign);
// The same samples in the order they were measured (for shapes that fold back, such as a thyristor's).
Curve stepCurveInOrder(const RunRecord& record, int step, double sign);
Curve sortedByVoltage(const Curve& raw);

struct LineFit {
    bool ok = false;
    double intercept = 0; // y at x = 0
    double slope = 0;
    double r2 = 0;        // coefficient of determination; 1 when the data have no spread
    int count = 0;
};

// Least squares y = intercept + slope x over n points; needs two distinct x values.
LineFit fitLine(const double* x, const double* y, int n);
LineFit fitLine(const std::vector<double>& x, const std::vector<double>& y);
// The fit over the samples of a curve with lo <= v <= hi.
LineFit fitCurveRange(const Curve& curve, double lo, double hi);

// The straight line through the samples nearest to v0 (at least `minimum` samples and at least a
// `fraction` of the curve's voltage span around v0); not ok when v0 lies outside the curve.
LineFit fitAround(const Curve& curve, double v0, int minimum = 6, double fraction = 0.04);

// The first voltage (from low to high) at which the curve reaches `current`, interpolated; false if never.
bool voltageAtCurrent(const Curve& curve, double current, double& volts);

// The median of the values (0 for none).
double median(std::vector<double> values);

inline bool isFiniteNumber(double x) { return x - x == 0; }
