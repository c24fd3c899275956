#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "calibration/calibration_coefficients.h"
#include "link/protocol.h"

namespace {

class ConversionsTest : public ::testing::Test {
protected:
    void SetUp() override { resetCalibrationDefaults(); }
};

TEST_F(ConversionsTest, SmallCurrentCompensation) {
    calibrationCoefficients.icAdc[2] = {1e-6, 1e-4};
    struct Case {
        double offset;
        double volts;
        double amps;
        double expected;
    };
    const Case cases[] = {
        {0.0, 0.0, 0.0, 1000 * 1e-6 + 1e-4},
        {5e-6, 0.0, 0.0, 1000 * 1e-6 + 1e-4 - 5e-6},     // no slope correction without a measured voltage
        {5e-6, 0.0, 2e-6, 1000 * 1e-6 + 1e-4 - 5e-6},
        {5e-6, 10.0, 2e-6, 1000 * 1e-6 + 1e-4 - 5e-6 - 20.0 * 2e-7}, // 0.2 µS at 20 V
        {5e-6, 1e-320, 2e-6, 1000 * 1e-6 + 1e-4 - 5e-6},               // no finite slope: none applied
    };
    for (const Case& c : cases) {
        smallCurrentCompensation = {c.offset, c.volts, c.amps};
        EXPECT_DOUBLE_EQ(rawToAmps(1000, 2, 20.0), c.expected);
    }
    // a stray range reads a valid entry instead of past the table
    smallCurrentCompensation = {};
    calibrationCoefficients.icAdc[3] = {2.0, 0.0};
    calibrationCoefficients.icAdc[0] = {3.0, 0.0};
    EXPECT_EQ(rawToAmps(1, 9, 0), 2.0);
    EXPECT_EQ(rawToAmps(1, -1, 0), 3.0);
}

TEST_F(ConversionsTest, HaltLimitsRoundToEvenAndClamp) {
    struct Case {
        LinearCal cal;
        double limit;
        std::int64_t raw;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {{1.0, 0.5}, 3.0, 2},          // 2.5 to even
        {{1.0, 0.5}, -3.0, -4},        // -3.5 to even
        {{1.0, 0.0}, 4.5, 4},
        {{1.0, 0.0}, 5.5, 6},
        {{19.8 / 1324000.0, 0.0}, 13.0, 869293},
        {{1e-9, 0.0}, 100.0, 8388607}, // beyond the ADC range
        {{1e-9, 0.0}, -100.0, -8388607},
        {{0.0, 0.0}, 1.0, 8388607},    // no slope: never halts on that side
        {{0.0, 1.0}, 1.0, 0},          // 0/0 has no raw value
        {{1.0, 0.0}, nan, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(physicalToRawLimit(c.limit, c.cal), c.raw) << c.cal.slope << " " << c.cal.intercept << " " << c.limit;
    }
}

TEST_F(ConversionsTest, DacCountsRoundAwayInVoltageAndToEvenInCurrentMode) {
    CalibrationCoefficients& c = calibrationCoefficients;
    c.baseGateIdleDacV = {1.0, 0.0};
    c.baseGateActiveDacV = {2.0, 0.0};
    c.baseGateIdleDacI[1] = {1.0, 0.0};
    c.baseGateActiveDacI[1] = {1000.0, 0.0};
    struct Case {
        double level;
        DriveMode mode;
        DacLevel which;
        std::int64_t counts;
    };
    const Case cases[] = {
        {2.5, DriveMode::Voltage, DacLevel::Idle, 3},     {-2.5, DriveMode::Voltage, DacLevel::Idle, -3},
        {3.5, DriveMode::Voltage, DacLevel::Idle, 4},     {1.25, DriveMode::Voltage, DacLevel::Active, 3},
        {2.5, DriveMode::Current, DacLevel::Idle, 2},     {-2.5, DriveMode::Current, DacLevel::Idle, -2},
        {3.5, DriveMode::Current, DacLevel::Idle, 4},     {0.0035, DriveMode::Current, DacLevel::Active, 4},
        {70000.0, DriveMode::Voltage, DacLevel::Idle, 70000}, // not clamped here
    };
    for (const Case& k : cases) {
        EXPECT_EQ(levelToDacCounts(k.level, k.mode, 1, k.which), k.counts) << k.level;
    }
    // an overflowing line gives a bounded count rather than an undefined conversion
    c.baseGateIdleDacV = {1e300, 0.0};
    EXPECT_GT(levelToDacCounts(1e300, DriveMode::Voltage, 0, DacLevel::Idle), 65535);
    EXPECT_LT(levelToDacCounts(-1e300, DriveMode::Voltage, 0, DacLevel::Idle), 0);
}

TEST_F(ConversionsTest, ReportReadingsDivideOutTheSampleCounts) {
    calibrationCoefficients.vcAdc = {19.8 / 1324000.0, 0.0};
    calibrationCoefficients.vbAdc = {0.001, 0.0};
    calibrationCoefficients.icAdc[1] = {1e-9, 0.0};
    Report r;
    r.rawVc = 5 * 662000;
    r.rawVr = 662000;
    r.rawIc = 5 * 1000000;
    r.rawVb = 5 * 700;
    const Readings x = convertReport(r, SampleCounts{5, 5}, 1);
    EXPECT_NEAR(x.vc, 9.9, 1e-12);
    EXPECT_NEAR(x.vr, 9.9, 1e-12); // Vr is one sample, on the Vc line
    EXPECT_NEAR(x.ic, 1e-3, 1e-15);
    EXPECT_NEAR(x.vb, 0.7, 1e-12);

    // compensation uses this report's calibrated Vc
    smallCurrentCompensation = {0.0, 10.0, 1e-6};
    EXPECT_NEAR(convertReport(r, SampleCounts{5, 5}, 1).ic, 1e-3 - 9.9e-7, 1e-15);

    // a window without samples does not divide by zero
    const Readings zero = convertReport(r, SampleCounts{0, 0}, 1);
    EXPECT_TRUE(std::isfinite(zero.vc));
    EXPECT_TRUE(std::isfinite(zero.vb));
}

} // namespace
