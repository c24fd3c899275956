// The instrument's calibration coefficients and the conversions built on them: raw ADC values to
// volts and amperes, halt limits to raw values, step generator levels to DAC counts.
#pragma once

#include <array>
#include <cstdint>

struct Report;

// Straight-line correction: x × slope + intercept.
struct LinearCal {
    double slope = 1.0;
    double intercept = 0.0;
};

struct CalibrationCoefficients {
    // Step generator: volts or amperes to DAC counts (current entries per base/gate current range)
    LinearCal baseGateActiveDacV;
    LinearCal baseGateIdleDacV;
    std::array<LinearCal, 4> baseGateActiveDacI;
    std::array<LinearCal, 4> baseGateIdleDacI;
    // ADC channels: raw value to volts (Vc also serves Vr) or amperes (per collector resistor range)
    LinearCal vcAdc;
    LinearCal vbAdc;
    std::array<LinearCal, 4> icAdc;
};

inline CalibrationCoefficients calibrationCoefficients;

// Small-current compensation from the settings file (assigned by the settings loader; 0 when absent).
struct SmallCurrentCompensation {
    double smallCurrentOffset = 0.0;         // A, KRV_SmallCurrentOffset
    double slopeOffsetMeasuredVoltage = 0.0; // V, KRV_SlopeOffsetMeasuredVoltage
    double slopeOffsetMeasuredCurrent = 0.0; // A, KRV_SlopeOffsetMeasuredCurrent
};

inline SmallCurrentCompensation smallCurrentCompensation;

// The parallel conductance the Ic readings are corrected with (A/V): current over voltage, 0 when the
// voltage is 0 or the quotient is not a finite number (a voltage typed as 1e-320).
double parallelConductance();

// Every coefficient back to slope 1, intercept 0; compensation values to 0.
void resetCalibrationDefaults();

// Largest magnitude of a raw (signed 24-bit) ADC value.
inline constexpr std::int64_t rawLimitMagnitude = 8388607;

double rawToVolts(double raw, const LinearCal& cal);

// Collector current of `raw` in collector resistor range `range` (0..3), less the small-current
// offset and the parallel conductance at the calibrated collector voltage `vc` of the same report.
double rawToAmps(double raw, std::int64_t range, double vc);

// Raw value at which the instrument halts for a physical `limit`: nearest integer, ties to even,
// clamped to ±8388607.
std::int64_t physicalToRawLimit(double limit, const LinearCal& cal);

enum class DriveMode { Voltage, Current };
enum class DacLevel { Idle, Active };

// DAC counts of a step generator level; not clamped to the DAC's 0..65535 here.
std::int64_t levelToDacCounts(double level, DriveMode mode, std::int64_t baseCurrentRange, DacLevel which);

// Number of ADC samples in each reported sum; raw value = sum / count.
struct SampleCounts {
    std::int64_t vcIc = 1;
    std::int64_t vb = 1;
};

// Calibrated readings of one report.
struct Readings {
    double vc = 0.0;
    double vr = 0.0;
    double ic = 0.0;
    double vb = 0.0;
};

Readings convertReport(const Report& report, const SampleCounts& counts, std::int64_t collectorResistorRange);
