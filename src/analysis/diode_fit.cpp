// Diode equation fit (Eigen's Levenberg-Marquardt) and breakdown.
#include "analysis/diode_fit.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <unsupported/Eigen/NonLinearOptimization>

namespace {

// Residuals of v = N Vt ln(1 + i / IS) + i RS in volts; parameters ln(IS), N and (optionally) RS.
struct DiodeResiduals {
    using Scalar = double;
    const std::vector<double>& volts;
    const std::vector<double>& amps;
    bool withSeriesResistance;

    int inputs() const { return withSeriesResistance ? 3 : 2; }
    int values() const { return static_cast<int>(volts.size()); }

    int operator()(const Eigen::VectorXd& p, Eigen::VectorXd& f) const {
        const double is = std::exp(p(0));
        for (int k = 0; k < values(); ++k) {
            const double rs = withSeriesResistance ? p(2) * amps[k] : 0.0;
            f(k) = p(1) * thermalVoltage * std::log1p(amps[k] / is) + rs - volts[k];
        }
        return 0;
    }
    int df(const Eigen::VectorXd& p, Eigen::MatrixXd& j) const {
        const double is = std::exp(p(0));
        for (int k = 0; k < values(); ++k) {
            j(k, 0) = -p(1) * thermalVoltage * amps[k] / (is + amps[k]);
            j(k, 1) = thermalVoltage * std::log1p(amps[k] / is);
            if (withSeriesResistance) j(k, 2) = amps[k];
        }
        return 0;
    }
};

bool minimise(DiodeResiduals& residuals, Eigen::VectorXd& p) {
    Eigen::LevenbergMarquardt<DiodeResiduals> solver(residuals);
    solver.parameters.maxfev = 400;
    const auto status = solver.minimize(p);
    return status != Eigen::LevenbergMarquardtSpace::ImproperInputParameters && p.allFinite();
}

double rSquared(const DiodeResiduals& residuals, const Eigen::VectorXd& p) {
    Eigen::VectorXd f(residuals.values());
    residuals(p, f);
    const Eigen::Map<const Eigen::VectorXd> v(residuals.volts.data(), residuals.values());
    const double total = (v.array() - v.mean()).square().sum();
    return total > 0 ? std::clamp(1.0 - f.squaredNorm() / total, 0.0, 1.0) : 0.0;
}

} // namespace

DiodeFit fitDiodeForward(const Curve& forward) {
    DiodeFit fit;
    double largest = 0;
    for (int k = 0; k < forward.size(); ++k)
        if (forward.v[k] > 0) largest = std::max(largest, forward.i[k]);
    if (largest <= 0) return fit;
    // The noise floor: what flows well below any junction's turn-on, or four decades under the top.
    std::vector<double> low;
    for (int k = 0; k < forward.size(); ++k)
        if (forward.v[k] > 0 && forward.v[k] <= 0.1 * forward.v.back()) low.push_back(std::fabs(forward.i[k]));
    const double floor = std::max(largest * 1e-4, 10 * median(low));
    std::vector<double> volts, amps;
    for (int k = 0; k < forward.size(); ++k) {
        if (forward.v[k] > 0 && forward.i[k] >= floor) {
            volts.push_back(forward.v[k]);
            amps.push_back(forward.i[k]);
        }
    }
    if (volts.size() < 6 || largest / floor < 20) return fit;

    // Start: ln(i) against v over the lower half of the decades, where the series resistance is negligible.
    const double split = std::sqrt(floor * largest);
    std::vector<double> lowV, lowLog;
    for (std::size_t k = 0; k < volts.size(); ++k) {
        if (amps[k] <= split) {
            lowV.push_back(volts[k]);
            lowLog.push_back(std::log(amps[k]));
        }
    }
    const LineFit start = fitLine(lowV, lowLog);
    double n0 = start.ok && start.slope > 0 ? 1.0 / (start.slope * thermalVoltage) : 1.5;
    if (!(n0 > 0.5 && n0 < 10)) n0 = 1.5;
    double logIs0 = std::log(amps.front()) - volts.front() / (n0 * thermalVoltage);

    DiodeResiduals withRs{volts, amps, true};
    Eigen::VectorXd p(3);
    p << logIs0, n0, 0.0;
    bool ok = minimise(withRs, p);
    double quality = ok ? rSquared(withRs, p) : 0;
    double rs = ok ? p(2) : 0;
    if (!ok || rs < 0) {
        DiodeResiduals withoutRs{volts, amps, false};
        Eigen::VectorXd q(2);
        q << logIs0, n0;
        if (!minimise(withoutRs, q)) return fit;
        p = Eigen::Vector3d(q(0), q(1), 0.0);
        quality = rSquared(withoutRs, q);
        rs = 0;
    }
    if (!(p(1) > 0.3 && p(1) < 20)) return fit;
    fit.saturationCurrent = parameterValue(std::exp(p(0)), "A", quality, true);
    fit.ideality = parameterValue(p(1), "", quality, true);
    fit.seriesResistance = parameterValue(rs, "ohm", quality, true);
    return fit;
}

ParameterValue reverseBreakdown(const Curve& reverse, double& current) {
    ParameterValue value;
    value.unit = "V";
    if (reverse.size() < 8) return value;
    const double reach = reverse.v.back();
    double largest = 0;
    std::vector<double> leakage;
    for (int k = 0; k < reverse.size(); ++k) {
        largest = std::max(largest, reverse.i[k]);
        if (reverse.v[k] <= 0.5 * reach) leakage.push_back(std::fabs(reverse.i[k]));
    }
    // A breakdown is a sharp rise: two decades over the leakage, and at least a microampere.
    if (largest < 1e-6 || largest < 100 * median(leakage)) return value;
    current = std::min(1e-3, 0.5 * largest);
    double volts = 0;
    if (!voltageAtCurrent(reverse, current, volts) || volts <= 0.5 * reach) return value;
    value.available = true;
    value.value = volts;
    return value;
}
