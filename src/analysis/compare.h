// Runs compared with each other: the RMS distance between two families, a reference's differences,
// and a batch of parts ranked into matched pairs or sorted into bins. Pure, like the rest of the layer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/curve_math.h"

// A run reduced to what comparing needs: each step's curve (sorted by voltage, the run's own signs) and
// its drive level. Small enough to keep hundreds of them where a run record would not fit.
struct RunCurves {
    char driveMode = 'I';
    std::vector<int> steps;       // step numbers with samples
    std::vector<double> levels;   // A or V, signed, per entry of `steps`
    std::vector<Curve> curves;    // per entry of `steps`
};
RunCurves runCurves(const RunRecord& record, const RunSettings& settings);

// How far two families lie apart where both have samples. Steps are paired by drive level; each pair's
// currents are interpolated on a common voltage grid over the range both cover.
struct RunComparison {
    bool available = false;
    int pairedSteps = 0;
    double rms = 0;              // A
    double rmsOffsetRemoved = 0; // A, each pair's mean difference taken out first
    double fullScale = 0;        // A, the largest |current| of either run over the common grid
    double rmsPercent() const { return fullScale > 0 ? 100.0 * rms / fullScale : 0; }
    double rmsOffsetRemovedPercent() const { return fullScale > 0 ? 100.0 * rmsOffsetRemoved / fullScale : 0; }
};
RunComparison compareRuns(const RunCurves& a, const RunCurves& b);

// The whole-run parameter of a kind that parts are usually matched by: "hfe", "vth", "vf", "r", "vbo".
const char* mainParameterKey(DeviceKind kind);
// A whole-run parameter by its key ("hfe", "vaf", "vth", ...); not available when the kind has none.
ParameterValue runParameterByKey(const RunParameters& parameters, std::string_view key);
// (a - b) / |b| in percent; not available unless both are and b is not 0.
ParameterValue percentDifference(const ParameterValue& a, const ParameterValue& b);

// One part of a batch.
struct MatchPart {
    std::string name;
    RunCurves curves;
    RunParameters parameters;
};
struct MatchPair {
    int first = 0, second = 0; // indexes into the parts
    bool available = false;
    double score = 0;          // % of full scale for "rms" and "rms0"; % difference for a parameter
};
// Every pair scored by "rms", "rms0" (offset removed) or a parameter key, best (lowest) first, pairs
// without a score last. False with an empty list when `by` names nothing known.
bool rankPairs(const std::vector<MatchPart>& parts, std::string_view by, std::vector<MatchPair>& ranked);

// Parts sorted into the bins between ascending edges: bin 0 below edges[0], bin k in [edges[k-1], edges[k]),
// the last at or above the last edge; -1 for a part without the parameter.
std::vector<int> binParts(const std::vector<MatchPart>& parts, std::string_view key, const std::vector<double>& edges);
