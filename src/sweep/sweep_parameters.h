// The sweep parameters: device under test, collector supply, step generator and sampling, with
// their defaults, ladders, DUT presets, derived levels and the automatic collector resistor rule.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct SweepParameters {
    // Device under test
    std::string dutType;                  // empty, or a code of dutTypeTable
    std::int64_t testConfigurationId = 100; // hundreds digit: device class
    std::int64_t graphType = 0;

    // Collector supply (peak values are magnitudes; the sign comes from the polarity)
    double collectorPeakVoltage = 13.0;
    double collectorPeakCurrent = 0.01;
    std::string collectorPolarity = "Positive";
    std::string collectorPulseMode = "Continuous";
    std::int64_t pulseWidthUs = 300;           // shared by both pulsed modes
    std::int64_t collectorResistorSelection = 99; // 99 automatic, else the resistor index
    std::int64_t collectorResistor = 0;         // resistor in use, 0..3

    // Step generator (the members of the drive mode not in force keep their values)
    std::string baseGateMode = "Current";
    std::string stepPolarity = "Positive";
    double voltageStepSize = 0.1;
    double currentStepSize = 0.00001;
    std::int64_t voltageOffsetRange = 0;
    std::int64_t voltageOffsetLevel = 0;
    std::string voltageOffsetPolarity = "Positive";
    std::int64_t currentOffsetRange = 0;
    std::int64_t currentOffsetLevel = 0;
    std::string currentOffsetPolarity = "Positive";
    std::int64_t stepCount = 6;
    std::string baseGatePulseMode = "Continuous";
    std::string clampMode = "ClampOnIdle";

    // Sampling and run options
    std::int64_t sampleRate = 50;
    std::int64_t step0Enabled = 1;
    std::int64_t baseClampInCurrentMode = 1;
    double safetyMaximumVoltage = 100.0;
    double safetyMaximumCurrent = 3.0;

    // Derived by updateDerivedLevels, signed
    double voltageOffset = 0.0;
    double voltageMaximum = 0.0;
    double currentOffset = 0.0;
    double currentMaximum = 0.0;
};

inline SweepParameters sweepParameters;

// Sets every member to its default and forgets the automatic resistor's remembered peak values.
void resetSweepParametersDefaults();

// Ladders of the values the controls step through.
inline constexpr std::array<double, 12> collectorPeakVoltageLadder = {3, 6.5, 13, 20, 30, 40, 50, 60, 70, 80, 90, 100};
inline constexpr std::array<double, 27> collectorPeakCurrentLadder = {
    0.001, 0.002, 0.003, 0.005, 0.01, 0.015, 0.02, 0.03, 0.04, 0.05, 0.075, 0.1, 0.15, 0.2,
    0.25,  0.3,   0.5,   0.75,  1.0,  1.25,  1.5,  1.75, 2.0,  2.25, 2.5,   2.75, 3.0};
inline constexpr std::array<double, 11> voltageStepSizeLadder = {0, 0.01, 0.02, 0.03, 0.05, 0.1, 0.2, 0.3, 0.5, 1.0, 2.0};
inline constexpr std::array<double, 22> currentStepSizeLadder = {
    0,      50e-9,  100e-9, 200e-9, 300e-9, 500e-9, 1e-6, 2e-6, 3e-6, 5e-6, 10e-6,
    20e-6,  30e-6,  50e-6,  100e-6, 200e-6, 300e-6, 500e-6, 1e-3, 2e-3, 3e-3, 5e-3};
inline constexpr std::array<std::int64_t, 2> pulseWidthLadder = {80, 300};
inline constexpr std::array<std::int64_t, 8> sampleRateLadder = {10, 20, 30, 40, 50, 60, 80, 100};
inline constexpr std::int64_t offsetRangeCount = 6;
inline constexpr std::int64_t offsetLevelMaximum = 20;
inline constexpr std::int64_t stepCountMinimum = 1;
inline constexpr std::int64_t stepCountMaximum = 20;
inline constexpr std::int64_t automaticResistorSelection = 99;

// The four series resistors of the collector supply, by index.
struct CollectorResistorInfo {
    double ohms;
    const char* panelText;    // "Z=27 kR"
    const char* dataFileText; // run data file VCres
};
inline constexpr std::array<CollectorResistorInfo, 4> collectorResistors = {{
    {27000.0, "Z=27 kR", "27000"},
    {2550.0, "Z=2.55 kR", "2550"},
    {270.0, "Z=270 R", "270"},
    {24.0, "Z=24 R", "24"},
}};

// Device type codes with their DUT menu label and picture button (empty when not offered there).
struct DutTypeInfo {
    const char* code;
    const char* menuLabel;
    const char* buttonLabel;
    int deviceClass; // hundreds digit of testConfigurationId
};
inline constexpr std::array<DutTypeInfo, 12> dutTypeTable = {{
    {"NPN", "NPN BJT", "NPN", 1},
    {"PNP", "PNP BJT", "PNP", 1},
    {"NMOS_ENH", "N MOSFET (Enhancement Mode)", "", 3},
    {"PMOS_ENH", "P MOSFET (Enhancement Mode)", "", 3},
    {"NMOS_DEP", "N MOSFET (Depletion Mode)", "", 3},
    {"PMOS_DEP", "P MOSFET (Depletion Mode)", "", 3},
    {"NJFET", "N JFET", "", 3},
    {"PJFET", "P JFET", "", 3},
    {"NFET", "", "NFET", 3},
    {"PFET", "", "PFET", 3},
    {"DIODE", "DIODE", "DIODE", 5},
    {"SCR", "SCR", "SCR", 6},
}};

// Sets dutType and applies the type's preset; an unknown code only sets dutType.
void applyDutType(const std::string& code);

// Recomputes the offset and maximum of the drive mode in force.
void updateDerivedLevels();

// Offset unit of a range for "Voltage" (volts) or "Current" (amperes); 0 for an unknown mode or range.
double offsetUnit(const std::string& mode, std::int64_t range);
// Panel text of an offset range, for example "0-200 mV" or "0-2 uA"; empty for an unknown one.
const char* offsetRangeText(const std::string& mode, std::int64_t range);

// The signed offset of the drive mode's members (level × unit, negated for "Negative").
double signedOffset(std::int64_t level, const std::string& mode, std::int64_t range, const std::string& polarity);

// The automatic resistor rule; called on every loop tick. True when it chose a new resistor, so that
// the caller refreshes the parameter panel.
bool updateAutomaticResistor();

void setSampleRate(std::int64_t rate);
