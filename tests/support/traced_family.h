// A family of curves traced with the virtual instrument's device models, written straight into a run
// record as the sweep would store it (no instrument, no timing).
#pragma once

#include "devices.h"
#include "sweep/run_record.h"

namespace testsupport {

struct TracedFamily {
    SimDevice device = SimDevice::Npn;
    bool currentDrive = true; // base current steps; false: gate voltage steps
    int steps = 7;            // steps 0..steps-1
    int samples = 500;        // entries 1..samples per step
    double stepLevel = 10e-6; // A or V per step, signed
    double stepOffset = 0;    // A or V
    double peakVolts = 13.0;  // collector supply peak, signed
    double seriesOhms = 270.0;
    double resistorOhms = 1000.0; // the resistor device's value
    SimPart part = {};        // the part in the socket: gain, threshold, Early voltage
};

inline void traceFamily(RunRecord& run, const TracedFamily& f) {
    for (auto& count : run.entryCount) count = 0;
    for (int s = 0; s < f.steps; ++s) {
        const double level = f.stepOffset + f.stepLevel * s;
        const TerminalDrive drive = solveStepGenerator(f.device, f.currentDrive, level, f.part);
        bool latched = false;
        for (int e = 1; e <= f.samples; ++e) {
            CollectorCircuit circuit;
            circuit.supplyVolts = f.peakVolts * e / f.samples;
            circuit.seriesOhms = f.seriesOhms;
            circuit.resistorOhms = f.resistorOhms;
            const CollectorPoint p = solveCollector(f.device, drive, circuit, latched, f.part);
            run.VC[s][e] = p.volts;
            run.IC[s][e] = p.measuredAmps;
            run.VR[s][e] = p.measuredAmps * f.seriesOhms;
            run.VB[s][e] = drive.volts;
            run.IB[s][e] = drive.amps;
            run.TIB[s][e] = f.currentDrive ? level : 0.0;
            run.TVB[s][e] = f.currentDrive ? 0.0 : level;
        }
        run.entryCount[s] = f.samples;
    }
}

} // namespace testsupport
