// Parameters read off noise-free families traced straight from the virtual instrument's device models,
// whose true values are known: the fits themselves, without the instrument's resolution.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/analysis.h"
#include "traced_family.h"

namespace {

struct Expected {
    const char* name;
    Trace trace;
    DeviceKind kind;
    const char* key;
    double value;
    double tolerance; // relative
};

const Expected cases[] = {
    {"npn hFE", {SimDevice::Npn, 'I', 20, 270, 10e-6, 0, 6}, DeviceKind::Npn, "hfe", 150, 0.01},
    {"npn VA", {SimDevice::Npn, 'I', 20, 270, 10e-6, 0, 6}, DeviceKind::Npn, "vaf", 80, 0.02},
    {"pnp hFE", {SimDevice::Pnp, 'I', -20, 270, -10e-6, 0, 6}, DeviceKind::Pnp, "hfe", 150, 0.01},
    {"pnp VA", {SimDevice::Pnp, 'I', -20, 270, -10e-6, 0, 6}, DeviceKind::Pnp, "vaf", 80, 0.02},
    {"nmos Vth", {SimDevice::NmosEnhancement, 'V', 15, 24, 0.5, 2.0, 6}, DeviceKind::NmosEnhancement, "vth", 2.1, 0.01},
    {"nmos KP", {SimDevice::NmosEnhancement, 'V', 15, 24, 0.5, 2.0, 6}, DeviceKind::NmosEnhancement, "kp", 0.04, 0.02},
    {"nmos lambda", {SimDevice::NmosEnhancement, 'V', 15, 24, 0.5, 2.0, 6}, DeviceKind::NmosEnhancement, "lambda", 0.02, 0.05},
    {"pmos Vth", {SimDevice::PmosEnhancement, 'V', -15, 24, -0.5, -2.0, 6}, DeviceKind::PmosEnhancement, "vth", -2.1, 0.01},
    {"njfet Vp", {SimDevice::Njfet, 'V', 15, 270, 0.25, -2.5, 10}, DeviceKind::Njfet, "vth", -2.5, 0.01},
    {"njfet IDSS", {SimDevice::Njfet, 'V', 15, 270, 0.25, -2.5, 10}, DeviceKind::Njfet, "idss", 0.012, 0.02},
    {"pjfet Vp", {SimDevice::Pjfet, 'V', -15, 270, -0.25, 2.5, 10}, DeviceKind::Pjfet, "vth", 2.5, 0.01},
    {"pjfet IDSS", {SimDevice::Pjfet, 'V', -15, 270, -0.25, 2.5, 10}, DeviceKind::Pjfet, "idss", -0.012, 0.02},
    {"nmos-dep Vp", {SimDevice::NmosDepletion, 'V', 15, 24, 0.5, -3.0, 8}, DeviceKind::NmosDepletion, "vth", -2.5, 0.01},
    {"diode N", {SimDevice::Diode, 'V', 5, 270, 0, 0, 1}, DeviceKind::Diode, "n", 1.8, 0.03},
    {"diode IS", {SimDevice::Diode, 'V', 5, 270, 0, 0, 1}, DeviceKind::Diode, "is", 2.5e-9, 0.15},
    {"diode BV", {SimDevice::Diode, 'V', -90, 27000, 0, 0, 1}, DeviceKind::Diode, "bv", 76.0, 0.02},
    // Parts that differ from the nominal model: the fits follow the part, not the model's constants.
    {"npn hFE 165", {SimDevice::Npn, 'I', 20, 270, 10e-6, 0, 6, 1000, partWith(165, 40, 1)}, DeviceKind::Npn, "hfe", 165, 0.01},
    {"npn VA 40", {SimDevice::Npn, 'I', 20, 270, 10e-6, 0, 6, 1000, partWith(165, 40, 1)}, DeviceKind::Npn, "vaf", 40, 0.02},
    {"nmos Vth 1.68", {SimDevice::NmosEnhancement, 'V', 15, 24, 0.5, 2.0, 6, 1000, partWith(150, 25, 0.8)},
     DeviceKind::NmosEnhancement, "vth", 1.68, 0.01},
    {"nmos lambda 0.04", {SimDevice::NmosEnhancement, 'V', 15, 24, 0.5, 2.0, 6, 1000, partWith(150, 25, 0.8)},
     DeviceKind::NmosEnhancement, "lambda", 0.04, 0.05},
    {"1k", {SimDevice::Resistor, 'V', 10, 270, 0, 0, 0, 1000}, DeviceKind::Resistor, "r", 1000, 0.001},
    {"100k", {SimDevice::Resistor, 'V', 10, 270, 0, 0, 0, 100000}, DeviceKind::Resistor, "r", 100000, 0.001},
};

TEST(DeviceModels, KindAndParametersRecovered) {
    for (const Expected& c : cases) {
        SCOPED_TRACE(c.name);
        const auto record = traceFamily(c.trace);
        const RunSettings settings = parseRunSettings(columnsOf(c.trace));
        ASSERT_TRUE(settings.valid);
        EXPECT_STREQ(deviceKindName(inferDeviceKind(*record, settings)), deviceKindName(c.kind));
        const RunParameters p = analyseRun(*record, settings, c.kind);
        bool found = false;
        for (const ParameterRow& row : parameterRows(p)) {
            if (row.key != c.key || row.step >= 0) continue;
            found = true;
            ASSERT_TRUE(row.value.available) << c.key;
            EXPECT_NEAR(row.value.value, c.value, std::fabs(c.value) * c.tolerance) << formatParameter(row.value);
        }
        EXPECT_TRUE(found) << c.key;
    }
}

} // namespace
