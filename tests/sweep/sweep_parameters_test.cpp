#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "sweep/sweep_parameters.h"

namespace {

class SweepParametersTest : public ::testing::Test {
protected:
    void SetUp() override { resetSweepParametersDefaults(); }
};

TEST_F(SweepParametersTest, DutPresetsSetPolarityModeOffsetAndId) {
    struct Case {
        const char* code;
        std::int64_t id; // from 104
        const char* polarity;
        const char* mode;
        std::int64_t offsetLevel;
        const char* offsetPolarity;
        double stepSize;
        std::int64_t stepCount;
    };
    // Untouched members keep the defaults: offset level 0 "Positive", step 0.1 V, 6 steps.
    const Case cases[] = {
        {"NPN", 104, "Positive", "Current", 0, "Positive", 0.1, 6},
        {"PNP", 104, "Negative", "Current", 0, "Positive", 0.1, 6},
        {"NMOS_ENH", 304, "Positive", "Voltage", 8, "Positive", 0.5, 6},
        {"NFET", 304, "Positive", "Voltage", 8, "Positive", 0.5, 6},
        {"PMOS_ENH", 304, "Negative", "Voltage", 8, "Negative", 0.5, 6},
        {"PFET", 304, "Negative", "Voltage", 8, "Negative", 0.5, 6},
        {"NMOS_DEP", 304, "Positive", "Voltage", 12, "Negative", 0.5, 8},
        {"PMOS_DEP", 304, "Negative", "Voltage", 12, "Positive", 0.5, 8},
        {"NJFET", 304, "Positive", "Voltage", 0, "Negative", 0.5, 8},
        {"PJFET", 304, "Negative", "Voltage", 0, "Positive", 0.5, 8},
        {"DIODE", 500, "Positive", "Voltage", 0, "Positive", 0.1, 1},
        {"SCR", 600, "Positive", "Voltage", 0, "Positive", 0.1, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        resetSweepParametersDefaults();
        sweepParameters.testConfigurationId = 104;
        applyDutType(c.code);
        const SweepParameters& p = sweepParameters;
        EXPECT_EQ(p.dutType, c.code);
        EXPECT_EQ(p.testConfigurationId, c.id);
        EXPECT_EQ(p.collectorPolarity, c.polarity);
        EXPECT_EQ(p.stepPolarity, c.polarity);
        EXPECT_EQ(p.baseGateMode, c.mode);
        EXPECT_EQ(p.voltageOffsetLevel, c.offsetLevel);
        EXPECT_EQ(p.voltageOffsetPolarity, c.offsetPolarity);
        EXPECT_EQ(p.voltageStepSize, c.stepSize);
        EXPECT_EQ(p.stepCount, c.stepCount);
        EXPECT_EQ(p.voltageOffsetRange, c.offsetLevel == 0 && c.stepSize == 0.1 ? 0 : 4);
        // presets never touch the collector supply or sampling
        EXPECT_EQ(p.collectorPeakVoltage, 13.0);
        EXPECT_EQ(p.collectorPulseMode, "Continuous");
        EXPECT_EQ(p.sampleRate, 50);
    }
}

TEST_F(SweepParametersTest, DiodeAfterNpnDropsTheClassDigits) {
    sweepParameters.testConfigurationId = 104;
    applyDutType("NPN");
    EXPECT_EQ(sweepParameters.testConfigurationId, 104);
    applyDutType("DIODE");
    EXPECT_EQ(sweepParameters.testConfigurationId, 500);
    applyDutType("NPN");
    EXPECT_EQ(sweepParameters.testConfigurationId, 100);
}

TEST_F(SweepParametersTest, ShortFetCodesMatchTheirLongForms) {
    const std::pair<const char*, const char*> pairs[] = {{"NFET", "NMOS_ENH"}, {"PFET", "PMOS_ENH"}};
    for (const auto& [shortCode, longCode] : pairs) {
        SCOPED_TRACE(shortCode);
        resetSweepParametersDefaults();
        sweepParameters.testConfigurationId = 102;
        applyDutType(longCode);
        updateDerivedLevels();
        const SweepParameters viaLong = sweepParameters;
        resetSweepParametersDefaults();
        sweepParameters.testConfigurationId = 102;
        applyDutType(shortCode);
        updateDerivedLevels();
        const SweepParameters& p = sweepParameters;
        EXPECT_EQ(p.testConfigurationId, viaLong.testConfigurationId);
        EXPECT_EQ(p.collectorPolarity, viaLong.collectorPolarity);
        EXPECT_EQ(p.baseGateMode, viaLong.baseGateMode);
        EXPECT_EQ(p.voltageOffsetPolarity, viaLong.voltageOffsetPolarity);
        EXPECT_EQ(p.voltageOffset, viaLong.voltageOffset);
        EXPECT_EQ(p.voltageMaximum, viaLong.voltageMaximum);
        EXPECT_NE(p.dutType, viaLong.dutType);
    }
}

TEST_F(SweepParametersTest, UnknownCodeOnlySetsTheCode) {
    sweepParameters.testConfigurationId = 307;
    applyDutType("TRIAC");
    EXPECT_EQ(sweepParameters.dutType, "TRIAC");
    EXPECT_EQ(sweepParameters.testConfigurationId, 307);
    EXPECT_EQ(sweepParameters.baseGateMode, "Current");
}

TEST_F(SweepParametersTest, DerivedLevels) {
    // defaults: current mode, offset 0, 10 µA steps, 6 steps, positive
    updateDerivedLevels();
    EXPECT_DOUBLE_EQ(sweepParameters.currentOffset, 0.0);
    EXPECT_DOUBLE_EQ(sweepParameters.currentMaximum, 60e-6);

    // depletion MOSFET: starts at -3.0 V and steps 8 × 0.5 V towards and past zero
    applyDutType("NMOS_DEP");
    sweepParameters.currentOffset = 7.0;
    updateDerivedLevels();
    EXPECT_DOUBLE_EQ(sweepParameters.voltageOffset, -3.0);
    EXPECT_DOUBLE_EQ(sweepParameters.voltageMaximum, 1.0);
    EXPECT_EQ(sweepParameters.currentOffset, 7.0); // the mode not in force is left alone

    resetSweepParametersDefaults();
    applyDutType("PMOS_ENH");
    updateDerivedLevels();
    EXPECT_DOUBLE_EQ(sweepParameters.voltageOffset, -2.0);
    EXPECT_DOUBLE_EQ(sweepParameters.voltageMaximum, -5.0);

    // current range 1, level 15, negative: -1.5 µA, then 6 steps of 10 µA downwards
    resetSweepParametersDefaults();
    sweepParameters.currentOffsetRange = 1;
    sweepParameters.currentOffsetLevel = 15;
    sweepParameters.currentOffsetPolarity = "Negative";
    sweepParameters.stepPolarity = "Negative";
    updateDerivedLevels();
    EXPECT_DOUBLE_EQ(sweepParameters.currentOffset, -1.5e-6);
    EXPECT_DOUBLE_EQ(sweepParameters.currentMaximum, -61.5e-6);
}

TEST_F(SweepParametersTest, OffsetUnitsAndRangeTexts) {
    struct Case {
        const char* mode;
        std::int64_t range;
        double unit;
        const char* text;
    };
    const Case cases[] = {
        {"Voltage", 0, 0.01, "0-200 mV"}, {"Voltage", 1, 0.025, "0-500 mV"}, {"Voltage", 2, 0.05, "0-1 V"},
        {"Voltage", 3, 0.1, "0-2 V"},     {"Voltage", 4, 0.25, "0-5 V"},     {"Voltage", 5, 0.5, "0-10 V"},
        {"Current", 0, 10e-9, "0-200 nA"}, {"Current", 1, 100e-9, "0-2 uA"},  {"Current", 2, 1e-6, "0-20 uA"},
        {"Current", 3, 10e-6, "0-200 uA"}, {"Current", 4, 100e-6, "0-2 mA"},  {"Current", 5, 1e-3, "0-20 mA"},
        {"Current", 6, 0.0, ""},           {"Voltage", -1, 0.0, ""},          {"voltage", 2, 0.0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " " + std::to_string(c.range));
        EXPECT_DOUBLE_EQ(offsetUnit(c.mode, c.range), c.unit);
        EXPECT_STREQ(offsetRangeText(c.mode, c.range), c.text);
    }
    // level 20 is the top of each range
    EXPECT_DOUBLE_EQ(20 * offsetUnit("Voltage", 0), 0.2);
}

TEST_F(SweepParametersTest, AutomaticResistorFollowsPeakRatio) {
    struct Case {
        double volts;
        double amps;
        std::int64_t resistor;
    };
    // F = 2 × V / I against 256.5, 2422.5 and 25650 Ω
    const Case cases[] = {
        {13, 0.01, 1},   // 2600 Ω
        {100, 0.003, 0}, // 66 667 Ω
        {3, 3.0, 3},     // 2 Ω
        {13, 0.1, 2},    // 260 Ω
        {3, 0.025, 3},   // 240 Ω
        {3, 0.02, 2},    // 300 Ω
        {30, 0.002, 0},  // 30 000 Ω
        {20, 0.002, 1},  // 20 000 Ω
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.volts) + " V " + std::to_string(c.amps) + " A");
        sweepParameters.collectorPeakVoltage = c.volts;
        sweepParameters.collectorPeakCurrent = c.amps;
        updateAutomaticResistor();
        EXPECT_EQ(sweepParameters.collectorResistor, c.resistor);
    }
}

TEST_F(SweepParametersTest, ManualSelectionAndReturnToAutomatic) {
    updateAutomaticResistor(); // 13 V / 10 mA
    EXPECT_EQ(sweepParameters.collectorResistor, 1);

    sweepParameters.collectorResistorSelection = 2;
    updateAutomaticResistor();
    EXPECT_EQ(sweepParameters.collectorResistor, 2);

    // back to automatic with unchanged peaks: the rule runs again
    sweepParameters.collectorResistorSelection = 99;
    updateAutomaticResistor();
    EXPECT_EQ(sweepParameters.collectorResistor, 1);

    // while automatic and unchanged, a hand-set value is not overwritten
    sweepParameters.collectorResistor = 3;
    updateAutomaticResistor();
    EXPECT_EQ(sweepParameters.collectorResistor, 3);

    // a selection that is neither automatic nor a resistor changes nothing
    sweepParameters.collectorResistorSelection = 7;
    sweepParameters.collectorPeakVoltage = 100;
    updateAutomaticResistor();
    EXPECT_EQ(sweepParameters.collectorResistor, 3);
}

} // namespace
