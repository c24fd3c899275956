#include "base/unit_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(UnitFormat, FixedRoundsFromTheExactValueAndNamesTheSpecialValues) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double value;
        int decimals;
        const char* text;
    } cases[] = {
        {-0.0, 3, "0.000"},      {0.0005, 0, "0"},       {2.5, 0, "2"},          {3.5, 0, "4"},
        {-0.0001, 3, "-0.000"},  {0.125, 2, "0.12"},     {0.375, 2, "0.38"},     {1.005, 2, "1.00"}, // 1.005 is 1.00499...
        {-12.0, 0, "-12"},       {1e21, 0, "1000000000000000000000"},            {0.1, 20, "0.10000000000000000555"},
        {5.0, -3, "5"},          {1.0, 600, nullptr},    {inf, 2, "+Infinity"},  {-inf, 2, "-Infinity"},
        {std::nan(""), 2, "NaN"}, {123456.789, 1, "123456.8"},
    };
    for (const Case& c : cases) {
        if (c.text)
            EXPECT_EQ(formatFixed(c.value, c.decimals), c.text) << c.value << " " << c.decimals;
        else
            EXPECT_EQ(formatFixed(c.value, c.decimals), "1." + std::string(512, '0'));
    }
    EXPECT_EQ(formatFixed(std::numeric_limits<double>::max(), 512).size(), 309u + 1 + 512);
}

TEST(UnitFormat, TrimmedAndTrailingZeros) {
    EXPECT_EQ(formatTrimmed(2.5), "2.5");
    EXPECT_EQ(formatTrimmed(3), "3");
    EXPECT_EQ(formatTrimmed(0.1 + 0.2), "0.3");
    EXPECT_EQ(formatTrimmed(-12.0), "-12");
    EXPECT_EQ(formatTrimmed(1.5e-9), "0.0000000015");
    EXPECT_EQ(formatTrimmed(1.23e-12), "0");
    EXPECT_EQ(formatTrimmed(-1.23e-12), "-0"); // rounds to zero but keeps its sign, as formatFixed does
    EXPECT_EQ(formatTrimmed(std::numeric_limits<double>::infinity()), "+Infinity");
    EXPECT_EQ(trimTrailingZeros("12.500"), "12.5");
    EXPECT_EQ(trimTrailingZeros("40.000"), "40");
    EXPECT_EQ(trimTrailingZeros("100"), "100");
}

TEST(UnitFormat, AxisScaleRowsLadderAndCarriedMantissa) {
    resetAxisScaleCarry();
    AxisScale zero = chooseAxisScale(0.0);
    EXPECT_EQ(zero.prefix, "f");
    EXPECT_EQ(zero.multiplier, 1e15);
    EXPECT_EQ(zero.decadeFactor, 1);
    EXPECT_EQ(zero.fullScaleMantissa, 0.0);

    struct Case {
        double magnitude;
        const char* prefix;
        double multiplier, decadeFactor, mantissa;
    } cases[] = {
        {1000, "K", 1e-3, 1, 1.2},   {0.1, "m", 10, 100, 1.2},  {999.9, "", 0.01, 100, 10},
        {11.3, "", 0.1, 10, 1.2},    {0.0442, "m", 100, 10, 5}, {2e6, "M", 1e-6, 1, 2.5},
        {5e7, "M", 1e-6, 1, 10},     {3e-12, "p", 1e12, 1, 4},  {0.05, "m", 100, 10, 6},
        {1.2, "", 1, 1, 1.25},       {7.4, "", 1, 1, 7.5},      {2e-14, "f", 1e14, 10, 2.5},
    };
    for (const Case& c : cases) {
        AxisScale s = chooseAxisScale(c.magnitude);
        EXPECT_EQ(s.prefix, c.prefix) << c.magnitude;
        EXPECT_DOUBLE_EQ(s.multiplier, c.multiplier) << c.magnitude;
        EXPECT_EQ(s.decadeFactor, c.decadeFactor) << c.magnitude;
        EXPECT_EQ(s.fullScaleMantissa, c.mantissa) << c.magnitude;
    }
    // Too small for the ladder: the previous call's mantissa is kept.
    EXPECT_EQ(chooseAxisScale(0.0).fullScaleMantissa, 2.5);
    EXPECT_EQ(chooseAxisScale(1e-16).fullScaleMantissa, 2.5);
}

TEST(UnitFormat, StepLevelsAndReadouts) {
    struct Case {
        double level, largest;
        const char* unit;
        const char* text;
    } cases[] = {
        {0, 500e-6, "A", "0 uA"},        {10e-6, 500e-6, "A", "10 uA"},   {50e-6, 50e-6, "A", "50.0 uA"},
        {0, 2.5, "V", "0.000 V"},        {2.5, 2.5, "V", "2.500 V"},      {-2e-3, 9e-3, "A", "-2.00 mA"},
        {-10e-3, 10e-3, "A", "-10.0 mA"}, {0.05, 0.1, "A", "50 mA"},     {0, 0, "A", "0.00 nA"},
        {1500, 2000, "V", "1.500 kV"},   {150, 200, "V", "150.0 V"},      {5e-8, 5e-8, "A", "50.0 nA"},
    };
    for (const Case& c : cases) EXPECT_EQ(formatStepLevel(c.level, c.largest, c.unit), c.text) << c.level;

    AxisScale milli = chooseAxisScale(0.05); // 50 mA axis
    EXPECT_EQ(formatReadout(0.025, milli, "A", 3), "25.000 mA");
}

TEST(UnitFormat, SweepSettingsSummary) {
    EXPECT_EQ(formatPeakVoltage("13"), "13 V");
    EXPECT_EQ(formatPeakVoltage(""), "--- V");
    EXPECT_EQ(formatCollectorResistance(2550), "2.55 kR");
    EXPECT_EQ(formatCollectorResistance(27000), "27.00 kR");
    EXPECT_EQ(formatCollectorResistance(270), "270 R");
    EXPECT_EQ(formatCollectorResistance(24), "24 R");
    EXPECT_EQ(formatPeakCurrent(-1.0), "-1.00 A");
    EXPECT_EQ(formatPeakCurrent(1.0), "1.00 A");
    EXPECT_EQ(formatPeakCurrent(3), "3.00 A");
    EXPECT_EQ(formatPeakCurrent(0.1), "100 mA");
    EXPECT_EQ(formatPeakCurrent(0.01), "10 mA");
    EXPECT_EQ(formatPeakCurrent(-0.5), "-500 mA");
    EXPECT_EQ(formatPeakCurrent(-0.001), "-1 mA");
    EXPECT_EQ(formatPeakCurrent(0.0005), "500 uA");
    EXPECT_EQ(formatPulseLength(300), "300 us");
    EXPECT_EQ(formatPulseLength(0), "Continous");
    EXPECT_EQ(formatSampleRate(50), "50 Hz");
}

TEST(UnitFormat, EngineeringKeepsFourSignificantDigits) {
    struct Case {
        double value;
        const char* unit;
        bool prefixed;
        const char* text;
    } cases[] = {
        {150.04, "", false, "150.0"},     {80.123, "V", true, "80.12 V"},     {18.5e-6, "S", true, "18.50 uS"},
        {1000, "R", true, "1.000 kR"},    {0.9999999e-3, "S", true, "1.000 mS"}, {-2.1, "V", true, "-2.100 V"},
        {0.02, "1/V", false, "0.02000 1/V"}, {2.5e-9, "A", true, "2.500 nA"}, {0, "A", true, "0.000 A"},
        {1.0e-14, "A", true, "10.00 fA"},  {999.96, "V", true, "1.000 kV"},  {std::nan(""), "V", true, "-"},
    };
    for (const Case& c : cases) EXPECT_EQ(formatEngineering(c.value, c.unit, c.prefixed), c.text) << c.value;
}
