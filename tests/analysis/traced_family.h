// Families traced straight from the virtual instrument's device models, noise-free or with a
// reproducible noise, as run records with their recorded settings.
#pragma once

#include <memory>
#include <random>
#include <string>

#include "analysis/analysis.h"
#include "devices.h"
#include "../support/traced_family.h"



inline SimPart partWith(double hfe, double early, double thresholdScale) {
    SimPart part;
    part.forwardBeta = hfe;
    part.earlyVolts = early;
    part.channelEarlyVolts = early;
    part.thresholdScale = thresholdScale;
    return part;
}

struct Trace {
    SimDevice device;
    char mode;          // 'I' or 'V'
    double peakVolts;   // signed
    double seriesOhms;
    double stepSize, stepOffset; // signed, A or V
    int steps;
    double resistorOhms = 1000;
    SimPart part = {};
};

inline RunColumns columnsOf(const Trace& t) {
    RunColumns c{};
    c[12] = std::string(1, t.mode);
    c[13] = std::to_string(t.peakVolts);
    c[14] = std::to_string(t.seriesOhms);
    c[15] = t.peakVolts < 0 ? "-0.1" : "0.1";
    c[t.mode == 'I' ? 16 : 18] = std::to_string(t.stepSize);
    c[t.mode == 'I' ? 17 : 19] = std::to_string(t.stepOffset);
    c[20] = std::to_string(t.steps);
    return c;
}

// Each step: the supply ramps from 0 to the peak in 400 samples; `noiseAmps` adds a reproducible
// Gaussian noise of that size to every current reading.
inline std::unique_ptr<RunRecord> traceFamily(const Trace& t, double noiseAmps = 0, unsigned seed = 1) {
    auto record = std::make_unique<RunRecord>();
    testsupport::TracedFamily family;
    family.device = t.device;
    family.currentDrive = t.mode == 'I';
    family.steps = t.steps + 1;
    family.samples = 400;
    family.stepLevel = t.stepSize;
    family.stepOffset = t.stepOffset;
    family.peakVolts = t.peakVolts;
    family.seriesOhms = t.seriesOhms;
    family.resistorOhms = t.resistorOhms;
    family.part = t.part;
    testsupport::traceFamily(*record, family);
    std::mt19937 generator(seed);
    std::normal_distribution<double> noise(0.0, 1.0);
    for (int s = 0; s <= t.steps; ++s)
        for (int e = 1; e <= 400; ++e) record->IC[s][e] += noiseAmps * noise(generator);
    return record;
}
