// The factory bench around the virtual KRV650: a multimeter answering SCPI text and the relay fixture
// that wires the instrument's terminals to the meter or to the calibration resistor board. Both are
// pure models here; the executable serves them on TCP ports 5025 and 10002.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "instrument.h"

enum class SimMeterFunction { DcVolts, DcAmps, FourWireOhms };

struct SimMeter {
    SimMeterFunction function = SimMeterFunction::DcVolts;
    // Relative error of every reading (0.01 reads 1 % high), so that a calibration against this meter
    // has something to correct.
    double gainError = 0.01;
    // The range set by "VOLTage:DC:RANGe 10V" and the like, in the function's unit; 0 ranges
    // automatically. A reading beyond 120 % of it is the overload value, as on a real meter.
    double range = 0.0;
    std::vector<std::string> refused; // commands the meter did not understand, or ranges for another function
};

// One command line (without its line end). A query gets its answer, with "\n"; settings get nothing.
std::optional<std::string> simMeterCommand(SimMeter& meter, const SimInstrument& sim, const std::string& line);
// What the meter reads now, in its unit (volts, amperes or ohms).
double simMeterReading(const SimMeter& meter, const SimInstrument& sim);
// A reading as the meter sends it: "+1.23456789E+00\n".
std::string simMeterReplyText(double value);

struct SimFixture {
    std::vector<std::string> received; // every command, in order, without its "\r"
    int pendingRelays = 0;             // set by "#010Axx", switched by "#010B00"
};

// One command (without its "\r"): relay patterns take effect on the apply command.
void simFixtureCommand(SimFixture& fixture, SimInstrument& sim, const std::string& command);
