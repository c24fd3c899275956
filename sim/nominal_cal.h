// The scale factors of a nominal KRV650: how DAC counts become step generator levels and how terminal
// voltages and currents become raw ADC values. The same numbers, as text, fill the calibration block.
#pragma once

#include <cstdint>
#include <string>

// The nominal calibration text: 71 CR LF terminated lines, as the program's "Default Values" write them.
const std::string& nominalCalibrationText();

// Step generator output for a DAC value: volts in voltage mode, amperes in current range 0..3.
double dacCountsToVolts(int64_t counts, bool idle);
double dacCountsToAmps(int64_t counts, int currentRange, bool idle);

// Raw (per-sample, unclamped) ADC values for physical quantities, and back.
double voltsToRawVc(double volts);
double rawVcToVolts(double raw);
double voltsToRawVb(double volts);
double ampsToRawIc(double amps, int resistorRange);

// Resistance of the Vc measuring path across the terminals (its current passes the series resistor).
double vcMeasuringPathOhms();
