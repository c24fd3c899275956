// Step curves and straight-line fits (least squares through Eigen's QR solver).
#include "analysis/curve_math.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <numeric>

Curve stepCurveInOrder(const RunRecord& record, int step, double sign) {
    Curve curve;
    if (step < 0 || step >= runRecordSteps) return curve;
    const auto count = std::clamp<std::int64_t>(record.entryCount[step], 0, runRecordEntries);
    curve.v.reserve(count);
    curve.i.reserve(count);
    curve.drive.reserve(count);
    for (std::int64_t e = 1; e <= count; ++e) {
        const double v = record.VC[step][e], i = record.IC[step][e], b = record.VB[step][e];
        if (!isFiniteNumber(v) || !isFiniteNumber(i)) continue;
        curve.v.push_back(sign * v);
        curve.i.push_back(sign * i);
        curve.drive.push_back(isFiniteNumber(b) ? sign * b : 0.0);
    }
    return curve;
}

Curve stepCurve(const RunRecord& record, int step, double sign) { return sortedByVoltage(stepCurveInOrder(record, step, sign)); }

Curve sortedByVoltage(const Curve& raw) {
    std::vector<int> order(raw.v.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return raw.v[a] < raw.v[b]; });
    Curve curve;
    curve.v.reserve(order.size());
    curve.i.reserve(order.size());
    curve.drive.reserve(order.size());
    for (int k : order) {
        curve.v.push_back(raw.v[k]);
        curve.i.push_back(raw.i[k]);
        curve.drive.push_back(raw.drive[k]);
    }
    return curve;
}

LineFit fitLine(const double* x, const double* y, int n) {
    LineFit fit;
    if (n < 2) return fit;
    // Centred coordinates keep the normal equations well conditioned far from the origin.
    double mx = 0, my = 0;
    for (int k = 0; k < n; ++k) {
        mx += x[k];
        my += y[k];
    }
    mx /= n;
    my /= n;
    Eigen::MatrixXd a(n, 2);
    Eigen::VectorXd b(n);
    for (int k = 0; k < n; ++k) {
        a(k, 0) = 1.0;
        a(k, 1) = x[k] - mx;
        b(k) = y[k] - my;
    }
    if (a.col(1).squaredNorm() <= 0) return fit;
    const Eigen::Vector2d p = a.colPivHouseholderQr().solve(b);
    fit.slope = p(1);
    fit.intercept = my + p(0) - p(1) * mx;
    const double total = b.squaredNorm();
    const double residual = (a * p - b).squaredNorm();
    fit.r2 = total > 0 ? std::clamp(1.0 - residual / total, 0.0, 1.0) : 1.0;
    fit.count = n;
    fit.ok = isFiniteNumber(fit.slope) && isFiniteNumber(fit.intercept);
    return fit;
}

LineFit fitLine(const std::vector<double>& x, const std::vector<double>& y) {
    return fitLine(x.data(), y.data(), static_cast<int>(std::min(x.size(), y.size())));
}

LineFit fitCurveRange(const Curve& curve, double lo, double hi) {
    const auto first = std::lower_bound(curve.v.begin(), curve.v.end(), lo) - curve.v.begin();
    const auto last = std::upper_bound(curve.v.begin(), curve.v.end(), hi) - curve.v.begin();
    if (last - first < 2) return {};
    return fitLine(curve.v.data() + first, curve.i.data() + first, static_cast<int>(last - first));
}

LineFit fitAround(const Curve& curve, double v0, int minimum, double fraction) {
    const int n = curve.size();
    if (n < 3 || v0 < curve.v.front() || v0 > curve.v.back()) return {};
    const double halfWidth = 0.5 * fraction * (curve.v.back() - curve.v.front());
    int lo = static_cast<int>(std::lower_bound(curve.v.begin(), curve.v.end(), v0) - curve.v.begin());
    int hi = lo; // window [lo, hi)
    const int wanted = std::min(n, std::max(minimum, 3));
    while (hi - lo < n) {
        const bool canLeft = lo > 0, canRight = hi < n;
        const bool enough = hi - lo >= wanted && (lo == 0 || v0 - curve.v[lo - 1] > halfWidth) &&
                            (hi == n || curve.v[hi] - v0 > halfWidth);
        if (enough) break;
        if (canLeft && (!canRight || v0 - curve.v[lo - 1] <= curve.v[hi] - v0)) {
            --lo;
        } else {
            ++hi;
        }
    }
    return fitLine(curve.v.data() + lo, curve.i.data() + lo, hi - lo);
}

bool voltageAtCurrent(const Curve& curve, double current, double& volts) {
    for (int k = 0; k < curve.size(); ++k) {
        if (curve.i[k] < current) continue;
        if (k == 0) {
            volts = curve.v[0];
            return curve.i[0] == current;
        }
        const double di = curve.i[k] - curve.i[k - 1];
        const double h = di != 0 ? (current - curve.i[k - 1]) / di : 1.0;
        volts = curve.v[k - 1] + h * (curve.v[k] - curve.v[k - 1]);
        return true;
    }
    return false;
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    const auto mid = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), mid, values.end());
    return *mid;
}
