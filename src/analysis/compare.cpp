// Comparing runs: RMS distance of families, parameter differences, matched pairs and bins.
#include "analysis/compare.h"

#include <algorithm>
#include <cmath>

#include "analysis/kind_traits.h"

namespace {

constexpr int gridPoints = 64;

// Linear interpolation of a voltage-sorted curve at v (inside its range).
double currentAt(const Curve& c, double v) {
    const auto upper = std::lower_bound(c.v.begin(), c.v.end(), v);
    if (upper == c.v.begin()) return c.i.front();
    if (upper == c.v.end()) return c.i.back();
    const auto k = static_cast<std::size_t>(upper - c.v.begin());
    const double dv = c.v[k] - c.v[k - 1];
    const double h = dv > 0 ? (v - c.v[k - 1]) / dv : 1.0;
    return c.i[k - 1] + h * (c.i[k] - c.i[k - 1]);
}

// The entry of `b` whose level matches `level` within a small share of the larger level.
int pairedEntry(const RunCurves& b, double level, double scale) {
    for (std::size_t k = 0; k < b.levels.size(); ++k)
        if (std::fabs(b.levels[k] - level) <= 1e-3 * scale + 1e-15) return static_cast<int>(k);
    return -1;
}

double largestMagnitude(const std::vector<double>& values) {
    double m = 0;
    for (double x : values) m = std::max(m, std::fabs(x));
    return m;
}

} // namespace

RunCurves runCurves(const RunRecord& record, const RunSettings& settings) {
    RunCurves out;
    if (!settings.valid) return out;
    out.driveMode = settings.driveMode;
    for (int s = 0; s <= std::min(settings.stepCount, runRecordSteps - 1); ++s) {
        Curve c = stepCurve(record, s, 1.0);
        if (c.size() < 2) continue;
        out.steps.push_back(s);
        out.levels.push_back(stepDriveLevel(settings, s));
        out.curves.push_back(std::move(c));
    }
    return out;
}

RunComparison compareRuns(const RunCurves& a, const RunCurves& b) {
    RunComparison result;
    if (a.driveMode != b.driveMode) return result;
    const double scale = std::max(largestMagnitude(a.levels), largestMagnitude(b.levels));
    double sumSquares = 0, sumSquaresCentred = 0, fullScale = 0;
    int points = 0;
    for (std::size_t k = 0; k < a.levels.size(); ++k) {
        const int j = pairedEntry(b, a.levels[k], scale);
        if (j < 0) continue;
        const Curve& ca = a.curves[k];
        const Curve& cb = b.curves[static_cast<std::size_t>(j)];
        const double lo = std::max(ca.v.front(), cb.v.front());
        const double hi = std::min(ca.v.back(), cb.v.back());
        if (!(hi > lo)) continue;
        double differences[gridPoints];
        double mean = 0;
        for (int g = 0; g < gridPoints; ++g) {
            const double v = lo + (hi - lo) * g / (gridPoints - 1);
            const double ia = currentAt(ca, v), ib = currentAt(cb, v);
            differences[g] = ia - ib;
            mean += differences[g];
            fullScale = std::max({fullScale, std::fabs(ia), std::fabs(ib)});
        }
        mean /= gridPoints;
        for (double d : differences) {
            sumSquares += d * d;
            sumSquaresCentred += (d - mean) * (d - mean);
        }
        points += gridPoints;
        ++result.pairedSteps;
    }
    if (points == 0 || !isFiniteNumber(sumSquares)) return result;
    result.available = true;
    result.rms = std::sqrt(sumSquares / points);
    result.rmsOffsetRemoved = std::sqrt(sumSquaresCentred / points);
    result.fullScale = fullScale;
    return result;
}

const char* mainParameterKey(DeviceKind kind) {
    if (isBipolar(kind)) return "hfe";
    if (isFieldEffect(kind)) return "vth";
    if (kind == DeviceKind::Diode) return "vf";
    if (kind == DeviceKind::Resistor) return "r";
    if (kind == DeviceKind::Thyristor) return "vbo";
    return "";
}

ParameterValue runParameterByKey(const RunParameters& parameters, std::string_view key) {
    for (const ParameterRow& row : parameterRows(parameters))
        if (row.step < 0 && row.key == key) return row.value;
    return {};
}

ParameterValue percentDifference(const ParameterValue& a, const ParameterValue& b) {
    ParameterValue d;
    d.unit = "%";
    if (!a.available || !b.available || b.value == 0) return d;
    d.value = 100.0 * (a.value - b.value) / std::fabs(b.value);
    d.available = isFiniteNumber(d.value);
    return d;
}

bool rankPairs(const std::vector<MatchPart>& parts, std::string_view by, std::vector<MatchPair>& ranked) {
    ranked.clear();
    const bool byCurves = by == "rms" || by == "rms0";
    if (!byCurves) {
        // A parameter key is known when some kind offers it.
        bool known = false;
        for (DeviceKind kind : {DeviceKind::Npn, DeviceKind::NmosEnhancement, DeviceKind::Njfet, DeviceKind::NmosDepletion,
                                DeviceKind::Diode, DeviceKind::Resistor, DeviceKind::Thyristor}) {
            RunParameters empty;
            empty.kind = kind;
            for (const ParameterRow& row : parameterRows(empty)) known = known || row.key == by;
        }
        if (!known) return false;
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        for (std::size_t j = i + 1; j < parts.size(); ++j) {
            MatchPair pair;
            pair.first = static_cast<int>(i);
            pair.second = static_cast<int>(j);
            if (byCurves) {
                const RunComparison c = compareRuns(parts[i].curves, parts[j].curves);
                pair.available = c.available && c.fullScale > 0;
                pair.score = by == "rms" ? c.rmsPercent() : c.rmsOffsetRemovedPercent();
            } else {
                const ParameterValue a = runParameterByKey(parts[i].parameters, by);
                const ParameterValue b = runParameterByKey(parts[j].parameters, by);
                const double mean = 0.5 * (std::fabs(a.value) + std::fabs(b.value));
                pair.available = a.available && b.available && mean > 0;
                pair.score = pair.available ? 100.0 * std::fabs(a.value - b.value) / mean : 0;
            }
            ranked.push_back(pair);
        }
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const MatchPair& x, const MatchPair& y) {
        if (x.available != y.available) return x.available;
        return x.score < y.score;
    });
    return true;
}

std::vector<int> binParts(const std::vector<MatchPart>& parts, std::string_view key, const std::vector<double>& edges) {
    std::vector<int> bins;
    for (const MatchPart& part : parts) {
        const ParameterValue v = runParameterByKey(part.parameters, key);
        if (!v.available) {
            bins.push_back(-1);
            continue;
        }
        bins.push_back(static_cast<int>(std::upper_bound(edges.begin(), edges.end(), v.value) - edges.begin()));
    }
    return bins;
}
