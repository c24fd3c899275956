// The program's side of the wire for the simulator tests, built on the program's own frame encoder,
// report decoder and calibration fit: frames, decoded reports, the nominal conversions, and one full
// register transfer for a ramp.
#pragma once

#include <cstdint>
#include <vector>

#include "instrument.h"
#include "link/protocol.h"

std::vector<uint8_t> writeFrame(int registerNumber, uint32_t value);
std::vector<uint8_t> readRequest();

struct HostReport {
    bool checksumGood = false;
    uint16_t status = 0;
    uint16_t calibrationWord = 0;
    int64_t sumIc = 0;
    int64_t sumVc = 0;
    int64_t rawVr = 0;
    int64_t sumVb = 0;
    int phase() const { return status & statusPhaseMask; }
    int hvState() const { return (status >> statusHvStateShift) & 3; }
    int stopCode() const { return (status >> statusStopCodeShift) & 15; }
    bool calibrationSync() const { return (status & statusCalibrationSync) != 0; }
};

HostReport decodeHostReport(const uint8_t* bytes);
// Splits a byte stream of whole reports; fails the running test when the length is not a multiple of 32.
std::vector<HostReport> decodeHostReports(const std::vector<uint8_t>& bytes);

// Conversions with the coefficients the program fits from the nominal calibration file.
double vcVolts(double raw);
double vbVolts(double raw);
double icAmps(double raw, int resistorRange);
int64_t rawVcFor(double volts);
int64_t rawIcFor(double amps, int resistorRange);
int64_t dacCountsForVolts(double volts);
int64_t dacCountsForAmps(double amps, int currentRange);

// What one settings transfer of a ramp carries.
struct RampSetup {
    uint32_t timebaseUnits = 234; // 100 reports per second
    uint32_t startDelay = 2;
    uint32_t runLength = 1000;
    bool shortPulse = false;      // sampler windows of 1 unit instead of 5
    double peakVolts = 13.0;
    double peakAmps = 0.01;
    int resistorRange = 1;
    bool negative = false;
    bool currentMode = true;
    int currentRange = 3;
    int64_t dacIdle = 3230;
    int64_t dacActive = 3230;
    bool run = true;
    bool hvStart = true;
};

// All 32 registers, register 31 first and the control register last.
std::vector<uint8_t> rampTransfer(const RampSetup& setup);

// A fresh instrument with the device connected and the high voltage already on.
void startWithHighVoltage(SimInstrument& sim, SimDevice device);

// Advances in steps of one millisecond until a report carries a stop code (or `limitMs` passes);
// returns every report sent meanwhile.
std::vector<HostReport> runUntilStopped(SimInstrument& sim, int limitMs = 60000);
