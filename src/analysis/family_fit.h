// The family of a transistor run fitted step by step: each step's active (saturation) region as a
// straight line, its knee and its linear region near the origin, in the n-type frame.
#pragma once

#include <array>

#include "analysis/analysis.h"
#include "analysis/curve_math.h"

struct StepFit {
    bool hasSamples = false;
    bool conducting = false;   // an active region carrying a share of the family's current
    double drive = 0;          // the step's base current (A) or gate voltage (V), n-type frame
    double gateVolts = 0;      // median measured base/gate voltage over the active region, V
    LineFit active;            // i = intercept + slope v over the active region
    bool kneeFound = false;
    double knee = 0;           // V where the step reaches 90 % of its active-region line
    LineFit linear;            // the region near the origin, below the knee
    double maxVolts = 0;       // highest voltage the step reached
};

struct FamilyFit {
    double sign = 1;           // +1 for n-type runs, -1 for p-type (negative collector supply)
    std::array<StepFit, runRecordSteps> steps;
    int firstStep = 0, lastStep = -1;
    double largestIntercept = 0; // A, the largest active-region current at v = 0
};

// The polarity of a run: the collector supply's sign, else the sign of most samples.
double runPolarity(const RunRecord& record, const RunSettings& settings);
FamilyFit fitFamily(const RunRecord& record, const RunSettings& settings);

// The step the whole-run figures are read at: the conducting step nearest the middle of the run.
int middleConductingStep(const FamilyFit& family);

// A straight line through the origin y = k x fitted to the points, as 1/k in `inverse` (Early voltage
// from intercepts and slopes); the quality is the R^2 of the slopes.
ParameterValue throughOriginRatio(const std::vector<double>& intercepts, const std::vector<double>& slopes,
                                  bool inverse, const char* unit);
