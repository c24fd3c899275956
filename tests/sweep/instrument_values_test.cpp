#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "calibration/calibration_file.h"
#include "link/register_transfer.h"
#include "support/logic_defaults.h"
#include "sweep/instrument_values.h"
#include "sweep/sweep_parameters.h"

namespace {

void loadNominalCalibration() {
    fitCalibrationCoefficients(readCalibrationValues(calibrationFileContent(nominalCalibrationTexts())),
                               calibrationCoefficients);
}

std::uint64_t control() {
    return static_cast<std::uint64_t>(registerImage[regControl]);
}

class InstrumentValuesTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetLogicDefaults();
    }
};

TEST_F(InstrumentValuesTest, DefaultCurrentModeRun) {
    for (const std::int64_t step0 : {1, 0}) {
        SCOPED_TRACE(step0);
        sweepParameters.step0Enabled = step0;
        prepareRun();
        const InstrumentValues& v = instrumentValues;
        EXPECT_EQ(v.lastStepIndex, step0 ? 6 : 5);
        for (std::int64_t k = 0; k <= v.lastStepIndex; ++k) {
            const StepRow& row = v.stepTable[static_cast<std::size_t>(k)];
            EXPECT_DOUBLE_EQ(row.stepLevel, 10e-6 * static_cast<double>(step0 ? k : k + 1));
            EXPECT_EQ(row.offsetLevel, 0.0);
            EXPECT_EQ(row.isCurrent, 1.0);
        }
        EXPECT_DOUBLE_EQ(v.stepTable[static_cast<std::size_t>(v.lastStepIndex)].stepLevel, 60e-6);
        EXPECT_EQ(v.baseCurrentRange, 1);
        EXPECT_EQ(sweepParameters.clampMode, "ClampOnIdle");
        EXPECT_EQ(v.runCommand, "Run");
        EXPECT_EQ(v.startStopPulse, "Start");
        EXPECT_EQ(v.hvCommand, "On");
        // at 50 reports per second: one second of delay, ten of ramp
        EXPECT_EQ(v.rampStartDelay, 50);
        EXPECT_EQ(v.haltRunLength, 500);
    }
}

TEST_F(InstrumentValuesTest, BaseCurrentRangeThresholdsMustBeExceeded) {
    struct Case {
        double step;
        std::int64_t count;
        std::int64_t range;
    };
    const Case cases[] = {
        {10e-6, 2, 0}, {20e-6, 2, 1}, {1e-3, 2, 2}, {1e-3, 5, 3},     // 20 µA, 40 µA, 2 mA, 5 mA
        {30e-6, 1, 0}, {300e-6, 1, 1}, {3e-3, 1, 2}, {50e-9, 1, 0},   // exactly at a threshold
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.step) + " x " + std::to_string(c.count));
        sweepParameters.currentStepSize = c.step;
        sweepParameters.stepCount = c.count;
        prepareRun();
        EXPECT_EQ(instrumentValues.baseCurrentRange, c.range);
    }
    // the offset counts too, whatever the direction of the steps
    sweepParameters.currentOffsetRange = 4;
    sweepParameters.currentOffsetLevel = 20; // 2 mA
    sweepParameters.currentOffsetPolarity = "Negative";
    sweepParameters.currentStepSize = 100e-6;
    sweepParameters.stepCount = 10;
    prepareRun();
    EXPECT_EQ(instrumentValues.baseCurrentRange, 2);
    EXPECT_DOUBLE_EQ(instrumentValues.stepTable[10].stepLevel, -1e-3);
}

TEST_F(InstrumentValuesTest, ClampModeAtRunStart) {
    struct Case {
        const char* mode;
        std::int64_t offsetLevel;
        std::int64_t clampOption;
        const char* clamp;
    };
    const Case cases[] = {
        {"Current", 0, 1, "ClampOnIdle"},
        {"Current", 1, 1, "ClampOff"}, // 10 nA of offset releases the clamp
        {"Current", 0, 0, "ClampOff"},
        {"Voltage", 0, 1, "ClampOff"},
        {"Voltage", 8, 1, "ClampOff"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " " + std::to_string(c.offsetLevel));
        sweepParameters.baseGateMode = c.mode;
        sweepParameters.currentOffsetLevel = c.offsetLevel;
        sweepParameters.voltageOffsetLevel = c.offsetLevel;
        sweepParameters.baseClampInCurrentMode = c.clampOption;
        prepareRun();
        EXPECT_EQ(sweepParameters.clampMode, c.clamp);
        if (std::string(c.mode) == "Voltage") {
            EXPECT_EQ(instrumentValues.baseCurrentRange, 3);
        }
    }
}

TEST_F(InstrumentValuesTest, VoltageModeTableAndStepValues) {
    loadNominalCalibration();
    sweepParameters.baseGateMode = "Voltage";
    sweepParameters.voltageOffsetRange = 0;
    sweepParameters.voltageOffsetLevel = 20;
    prepareRun();
    EXPECT_DOUBLE_EQ(instrumentValues.stepTable[0].offsetLevel, 0.2);
    EXPECT_EQ(instrumentValues.stepTable[0].isCurrent, 0.0);

    // NMOS enhancement: 2.0 V then 0.5 V steps; 258 counts per volt around 3230
    applyDutType("NMOS_ENH");
    prepareRun();
    prepareStep(2);
    const InstrumentValues& v = instrumentValues;
    EXPECT_EQ(v.idleDacCounts, 3746);   // 2.0 V
    EXPECT_EQ(v.activeDacCounts, 4004); // 3.0 V
    EXPECT_DOUBLE_EQ(v.targetBaseVoltage, 3.0);
    EXPECT_EQ(v.targetBaseCurrent, 0.0);
    EXPECT_EQ(v.stepModeLetter, "V");
    EXPECT_EQ(v.runCommand, "Run");
}

TEST_F(InstrumentValuesTest, CurrentModeStepValuesUseTheRunsRange) {
    loadNominalCalibration();
    prepareRun(); // range 1: 6 312 500 counts per ampere around 3227.5
    instrumentValues.runCommand = "Idle";
    prepareStep(3);
    const InstrumentValues& v = instrumentValues;
    EXPECT_EQ(v.idleDacCounts, 3228);   // 3227.5 to even
    EXPECT_EQ(v.activeDacCounts, 3417); // 30 µA: 3416.875
    EXPECT_DOUBLE_EQ(v.targetBaseCurrent, 30e-6);
    EXPECT_EQ(v.targetBaseVoltage, 0.0);
    EXPECT_EQ(v.stepModeLetter, "I");
    EXPECT_EQ(v.runCommand, "Run");
}

TEST_F(InstrumentValuesTest, HaltLimitsFromCalibration) {
    loadNominalCalibration();
    prepareRun(); // 13 V, 10 mA, resistor 0
    const InstrumentValues& v = instrumentValues;
    EXPECT_EQ(v.haltVoltageMax, 869293);
    EXPECT_EQ(v.haltVoltageMin, -869293);
    // 10 mA is far beyond the raw range of the 27 kΩ range
    EXPECT_EQ(v.haltCurrentMax, 8388607);
    EXPECT_EQ(v.haltCurrentMin, -8388607);

    sweepParameters.collectorResistor = 3;
    calibrationCoefficients.icAdc[3] = {1e-6, 0.0};
    prepareRun();
    EXPECT_EQ(v.haltCurrentMax, 10000);
    EXPECT_EQ(v.haltCurrentMin, -10000);

    fillRegisterImage();
    EXPECT_EQ(registerImage[regHaltCollectorVoltageMax], 869293);
    EXPECT_EQ(registerImage[regHaltCollectorVoltageMin], 4294967296LL - 869293);
    EXPECT_EQ(registerImage[regHaltCollectorCurrentMin], 4294967296LL - 10000);
}

TEST_F(InstrumentValuesTest, TimebaseForEachSampleRate) {
    const std::pair<std::int64_t, std::int64_t> cases[] = {{10, 2344}, {20, 1172}, {30, 781}, {40, 586},
                                                           {50, 469},  {60, 391},  {80, 293}, {100, 234}};
    for (const auto& [rate, units] : cases) {
        setSampleRate(rate);
        fillRegisterImage();
        EXPECT_EQ(registerImage[regTimebaseLength], units) << rate;
    }
    // a sample rate below 1 becomes 10 and stays so
    setSampleRate(0);
    fillRegisterImage();
    EXPECT_EQ(sweepParameters.sampleRate, 10);
    EXPECT_EQ(registerImage[regTimebaseLength], 2344);
}

TEST_F(InstrumentValuesTest, TimingSetFollowsPulseWidth) {
    struct Reg {
        int reg;
        std::int64_t at80;
        std::int64_t at300;
    };
    const Reg regs[] = {
        {regQuietTimeStart, 92, 92},        {regRampMeasurePoint, 98, 98},   {regBaseGateClampOff, 100, 100},
        {regBaseGatePulseStart, 100, 100},  {regCollectorPulseStart, 100, 100}, {regBaseGatePulseStop, 102, 107},
        {regCollectorPulseStop, 102, 107},  {regSamplerStart, 103, 103},    {regVbSamplerStart, 103, 103},
        {regBaseGateClampOn, 103, 108},     {regQuietTimeStop, 103, 108},   {regSamplerStop, 104, 108},
        {regVbSamplerStop, 104, 108},       {regNormalStopMeasurePoint, 104, 104}, {regProtectionMeasurePoint, 96, 96},
    };
    sweepParameters.baseGatePulseMode = "Pulsed";
    for (const std::int64_t width : {80, 300}) {
        sweepParameters.pulseWidthUs = width;
        fillRegisterImage();
        for (const Reg& r : regs) {
            EXPECT_EQ(registerImage[static_cast<std::size_t>(r.reg)], width == 80 ? r.at80 : r.at300)
                << "register " << r.reg << " at " << width << " us";
        }
        EXPECT_EQ(instrumentValues.sampleCounts.vcIc, width == 80 ? 1 : 5);
        EXPECT_EQ(instrumentValues.sampleCounts.vb, width == 80 ? 1 : 5);
    }

    // continuous drive keeps the clamp released for the whole cycle, at either width
    sweepParameters.baseGatePulseMode = "Continuous";
    for (const std::int64_t width : {80, 300}) {
        sweepParameters.pulseWidthUs = width;
        fillRegisterImage();
        EXPECT_EQ(registerImage[regBaseGateClampOff], 1);
        EXPECT_EQ(registerImage[regBaseGateClampOn], 65535);
    }

    // a pulsed collector measures the ramp just after the sampler start
    sweepParameters.collectorPulseMode = "Pulsed";
    sweepParameters.pulseWidthUs = 300;
    fillRegisterImage();
    EXPECT_EQ(registerImage[regRampMeasurePoint], 104);
}

TEST_F(InstrumentValuesTest, PulseWidthZeroOrUnknownKeepsTheTiming) {
    sweepParameters.baseGatePulseMode = "Pulsed";
    sweepParameters.pulseWidthUs = 80;
    fillRegisterImage();
    const RegisterImage after80 = registerImage;

    for (const std::int64_t width : {0, 120}) {
        SCOPED_TRACE(width);
        sweepParameters.pulseWidthUs = width;
        fillRegisterImage();
        for (const int reg : {4, 6, 7, 8, 9, 10, 11, 18, 19, 20, 21, 22, 27, 28, 29}) {
            EXPECT_EQ(registerImage[static_cast<std::size_t>(reg)], after80[static_cast<std::size_t>(reg)]) << reg;
        }
        EXPECT_EQ(instrumentValues.sampleCounts.vcIc, 1);
    }
    EXPECT_EQ(sweepParameters.pulseWidthUs, 300);
    fillRegisterImage();
    EXPECT_EQ(registerImage[regSamplerStop], 108);
}

TEST_F(InstrumentValuesTest, ControlWordFromModeTexts) {
    struct Case {
        const char* clamp;
        const char* baseGatePulse;
        const char* collectorPulse;
        const char* run;
        const char* startStop;
        const char* hv;
        std::uint64_t expected;
    };
    const Case cases[] = {
        {"ClampOff", "Continuous", "Continuous", "Idle", "Off", "Off", 0},
        {"ClampOnIdle", "Pulsed", "Pulsed", "Run", "Start", "On", (1u << 10) | (1u << 7) | (1u << 11) | 1u | 4u | (1u << 16)},
        {"ForceOn", "ForceActive", "Continuous", "Stop", "Stop", "On", (1u << 8) | (1u << 5) | 2u | 8u | (1u << 16)},
        {"ForceOff", "ForceIdle", "Continuous", "Idle", "", "on", (1u << 9) | (1u << 6)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.clamp) + "/" + c.baseGatePulse + "/" + c.run);
        registerImage[regControl] = 0;
        sweepParameters.clampMode = c.clamp;
        sweepParameters.baseGatePulseMode = c.baseGatePulse;
        sweepParameters.collectorPulseMode = c.collectorPulse;
        instrumentValues.runCommand = c.run;
        instrumentValues.startStopPulse = c.startStop;
        instrumentValues.hvCommand = c.hv;
        fillRegisterImage();
        EXPECT_EQ(control(), c.expected);
        if (std::string(c.startStop) == "Start" || std::string(c.startStop) == "Stop") {
            EXPECT_EQ(instrumentValues.startStopPulse, "");
        }
    }
}

TEST_F(InstrumentValuesTest, ForceModesAndUnknownTextsKeepOtherBits) {
    // bits 7 and 10 survive the force modes; an unknown text touches nothing of its group
    registerImage[regControl] = (1 << 7) | (1 << 10) | (1 << 12) | (1 << 20);
    registerImage[regCollectorPolarity] = 1;
    registerImage[regBaseGateMode] = 0;
    sweepParameters.clampMode = "ForceOn";
    sweepParameters.baseGatePulseMode = "ForceActive";
    sweepParameters.collectorPolarity = "Neutral";
    sweepParameters.baseGateMode = "Both";
    sweepParameters.collectorPulseMode = "Burst";
    instrumentValues.runCommand = "Pause";
    instrumentValues.hvCommand = "Off";
    fillRegisterImage();
    EXPECT_EQ(control(), (1u << 7) | (1u << 10) | (1u << 12) | (1u << 20) | (1u << 8) | (1u << 5));
    EXPECT_EQ(registerImage[regCollectorPolarity], 1);
    EXPECT_EQ(registerImage[regBaseGateMode], 0);
}

TEST_F(InstrumentValuesTest, RegistersFromParameters) {
    sweepParameters.collectorPolarity = "Negative";
    sweepParameters.collectorResistor = 2;
    instrumentValues.baseCurrentRange = 1;
    instrumentValues.rampStartDelay = 50;
    instrumentValues.haltRunLength = 500;
    instrumentValues.idleDacCounts = 3228;
    instrumentValues.activeDacCounts = 3417;
    fillRegisterImage();
    EXPECT_EQ(registerImage[regCollectorPolarity], 1);
    EXPECT_EQ(registerImage[regBaseGateMode], 1);
    EXPECT_EQ(registerImage[regBaseCurrentRange], 1);
    EXPECT_EQ(registerImage[regCollectorResistorSelected], 2);
    EXPECT_EQ(registerImage[regRampStartDelay], 50);
    EXPECT_EQ(registerImage[regHaltRunLength], 500);
    EXPECT_EQ(registerImage[regBaseGateDacIdleRaw], 3228);
    EXPECT_EQ(registerImage[regBaseGateDacActiveRaw], 3417);

    sweepParameters.baseGateMode = "Voltage";
    sweepParameters.collectorPolarity = "Positive";
    fillRegisterImage();
    EXPECT_EQ(registerImage[regBaseGateMode], 0);
    EXPECT_EQ(registerImage[regCollectorPolarity], 0);
}

TEST_F(InstrumentValuesTest, DacCountsBeyondSixteenBitsAreClampedInTheRegister) {
    // a level outside the calibrated span must not wrap around in the 16-bit DAC register
    loadNominalCalibration();
    struct Case {
        double idleVolts;
        double activeVolts;
        std::int64_t idleRegister;
        std::int64_t activeRegister;
    };
    const Case cases[] = {
        {-20.0, 300.0, 0, 65535},          // -1930 and 80630 counts
        {-12.5, 241.5, 5, 65535},           // 5 and 65537 counts
        {0.0, 0.0, 3230, 3230},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.idleVolts);
        instrumentValues.idleDacCounts = levelToDacCounts(c.idleVolts, DriveMode::Voltage, 0, DacLevel::Idle);
        instrumentValues.activeDacCounts = levelToDacCounts(c.activeVolts, DriveMode::Voltage, 0, DacLevel::Active);
        fillRegisterImage();
        EXPECT_EQ(registerImage[regBaseGateDacIdleRaw], c.idleRegister);
        EXPECT_EQ(registerImage[regBaseGateDacActiveRaw], c.activeRegister);
    }
}

TEST_F(InstrumentValuesTest, StepCountBeyondTheTableIsBounded) {
    sweepParameters.stepCount = 40;
    prepareRun();
    EXPECT_EQ(instrumentValues.lastStepIndex, 24);
    prepareStep(99);
    EXPECT_DOUBLE_EQ(instrumentValues.targetBaseCurrent, 240e-6);
}

} // namespace
