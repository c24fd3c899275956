// Every device model traced through the wire as a 7-step family, checked for its shape and drawn
// to build/sim-curves/<device>.png for a person to look at.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>

#include "instrument.h"
#include "sim_host.h"

namespace {

struct Point {
    double volts;
    double amps;
};
using Curve = std::vector<Point>;

struct Family {
    SimDevice device;
    bool currentMode;
    double offset;    // level of step 0, V or A
    double step;      // signed
    double peakVolts;
    double peakAmps;
    bool negative;
};

int automaticResistor(double peakVolts, double peakAmps) {
    const double f = 2.0 * peakVolts / peakAmps;
    return f < 256.5 ? 3 : f < 2422.5 ? 2 : f < 25650 ? 1 : 0;
}

int currentRangeFor(double largest) {
    return largest > 0.003 ? 3 : largest > 0.0003 ? 2 : largest > 0.00003 ? 1 : 0;
}

// Runs the 7 steps the way the program does and keeps the samples it would keep.
std::vector<Curve> traceFamily(const Family& f) {
    SimInstrument sim;
    startWithHighVoltage(sim, f.device);
    std::vector<Curve> curves;
    for (int k = 0; k < 7; ++k) {
        const double level = f.offset + f.step * k;
        RampSetup s;
        s.currentMode = f.currentMode;
        s.currentRange = f.currentMode ? currentRangeFor(std::max(std::fabs(f.offset), std::fabs(f.offset + 6 * f.step))) : 3;
        s.dacIdle = f.currentMode ? dacCountsForAmps(f.offset, s.currentRange) : dacCountsForVolts(f.offset);
        s.dacActive = f.currentMode ? dacCountsForAmps(level, s.currentRange) : dacCountsForVolts(level);
        s.peakVolts = f.peakVolts;
        s.peakAmps = f.peakAmps;
        s.negative = f.negative;
        s.resistorRange = automaticResistor(f.peakVolts, f.peakAmps);
        simReceive(sim, writeFrame(regControl, controlHvSupplyOn | controlClearStopCode).data(), 8);
        simReceive(sim, rampTransfer(s).data(), 256);
        std::vector<HostReport> reports = runUntilStopped(sim);
        if (!reports.empty() && reports.back().stopCode() >= 3 && reports.back().stopCode() <= 6) reports.pop_back();
        Curve curve;
        for (const HostReport& r : reports) {
            if (r.phase() == 2) curve.push_back({vcVolts(r.sumVc / 5.0), icAmps(r.sumIc / 5.0, s.resistorRange)});
        }
        curves.push_back(curve);
    }
    return curves;
}

// Current where the curve first reaches |volts|; NaN when it never does.
double currentAt(const Curve& c, double volts) {
    for (const Point& p : c) {
        if (std::fabs(p.volts) >= volts) return std::fabs(p.amps);
    }
    return NAN;
}

double largestVolts(const Curve& c) {
    double v = 0;
    for (const Point& p : c) v = std::max(v, std::fabs(p.volts));
    return v;
}

// ---- picture -------------------------------------------------------------------------------

struct Picture {
    int width = 720;
    int height = 540;
    std::vector<uint32_t> pixels = std::vector<uint32_t>(720 * 540, 0x101418);

    void dot(int x, int y, uint32_t colour) {
        if (x >= 0 && y >= 0 && x < width && y < height) pixels[static_cast<size_t>(y * width + x)] = colour;
    }
    void line(double x0, double y0, double x1, double y1, uint32_t colour) {
        const int n = static_cast<int>(std::max(std::fabs(x1 - x0), std::fabs(y1 - y0))) + 1;
        for (int i = 0; i <= n; ++i) {
            const double t = static_cast<double>(i) / n;
            const int x = static_cast<int>(std::lround(x0 + (x1 - x0) * t));
            const int y = static_cast<int>(std::lround(y0 + (y1 - y0) * t));
            dot(x, y, colour);
            dot(x + 1, y, colour);
            dot(x, y + 1, colour);
        }
    }
};

bool savePng(const Picture& picture, const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(static_cast<size_t>(picture.width) * 3);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t c = picture.pixels[static_cast<size_t>(y * picture.width + x)];
            row[static_cast<size_t>(x) * 3] = static_cast<png_byte>(c >> 16);
            row[static_cast<size_t>(x) * 3 + 1] = static_cast<png_byte>(c >> 8);
            row[static_cast<size_t>(x) * 3 + 2] = static_cast<png_byte>(c);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

// A scope-like graticule of 10 x 8 divisions from the origin to the peak values, curves in step colours.
void drawFamily(const Family& f, const std::vector<Curve>& curves, const std::string& path) {
    Picture p;
    const int left = 40, top = 30, w = 640, h = 480;
    for (int i = 0; i <= 10; ++i) p.line(left + w * i / 10.0, top, left + w * i / 10.0, top + h, 0x2E3A40);
    for (int i = 0; i <= 8; ++i) p.line(left, top + h * i / 8.0, left + w, top + h * i / 8.0, 0x2E3A40);
    const double s = f.negative ? -1.0 : 1.0; // negative sweeps are drawn mirrored into the first quadrant
    const uint32_t colours[7] = {0xFF5050, 0xFFA030, 0xF0E040, 0x60E060, 0x40C0FF, 0x8080FF, 0xE070E0};
    for (size_t k = 0; k < curves.size(); ++k) {
        const Curve& c = curves[k];
        for (size_t i = 1; i < c.size(); ++i) {
            auto x = [&](const Point& q) { return left + w * (s * q.volts / f.peakVolts); };
            auto y = [&](const Point& q) { return top + h - h * (s * q.amps / f.peakAmps); };
            p.line(x(c[i - 1]), y(c[i - 1]), x(c[i]), y(c[i]), colours[k % 7]);
        }
    }
    EXPECT_TRUE(savePng(p, path)) << path;
}

struct Case {
    const char* name;
    Family family;
    int order;         // +1: |current| grows with the step, -1: it falls, 0: every step the same
    double probeVolts; // where the steps are compared
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class Curves : public ::testing::TestWithParam<Case> {};

TEST_P(Curves, FamilyHasTheDeviceShape) {
    const Case& c = GetParam();
    const std::vector<Curve> curves = traceFamily(c.family);
    const std::string folder = std::string(KRV_BINARY_DIR) + "/sim-curves";
    std::filesystem::create_directories(folder);
    drawFamily(c.family, curves, folder + "/" + c.name + ".png");

    ASSERT_EQ(curves.size(), 7u);
    for (const Curve& curve : curves) EXPECT_GT(curve.size(), 15u);
    if (c.family.device == SimDevice::Scr) return; // no fixed order: checked by its own test below
    const double probe = c.probeVolts;
    for (int k = 1; k < 7; ++k) {
        const double before = currentAt(curves[k - 1], probe);
        const double now = currentAt(curves[k], probe);
        SCOPED_TRACE(k);
        if (c.order > 0) {
            EXPECT_GT(now, before * 1.05 + 1e-6);
        } else if (c.order < 0) {
            EXPECT_LT(now * 1.05, before + 1e-6);
        } else {
            EXPECT_NEAR(now, before, before * 0.01 + 1e-6);
        }
    }
}

const Case cases[] = {
    {"npn", {SimDevice::Npn, true, 0, 10e-6, 13, 0.01, false}, +1, 6.5},
    {"pnp", {SimDevice::Pnp, true, 0, -10e-6, 13, 0.01, true}, +1, 6.5},
    {"nmos-enh", {SimDevice::NmosEnhancement, false, 2.0, 0.5, 13, 0.3, false}, +1, 6.5},
    {"pmos-enh", {SimDevice::PmosEnhancement, false, -2.0, -0.5, 13, 0.3, true}, +1, 6.5},
    {"nmos-dep", {SimDevice::NmosDepletion, false, -3.0, 0.5, 13, 0.1, false}, +1, 6.5},
    {"pmos-dep", {SimDevice::PmosDepletion, false, 3.0, -0.5, 13, 0.1, true}, +1, 6.5},
    {"njfet", {SimDevice::Njfet, false, 0, -0.5, 13, 0.02, false}, -1, 6.5},
    {"pjfet", {SimDevice::Pjfet, false, 0, 0.5, 13, 0.02, true}, -1, 6.5},
    {"diode", {SimDevice::Diode, false, 0, 0.1, 3, 0.05, false}, 0, 0.7},
    {"scr", {SimDevice::Scr, false, 0, 0.1, 30, 0.2, false}, 0, 0},
    {"resistor", {SimDevice::Resistor, false, 0, 0.1, 13, 0.03, false}, 0, 6.5},
};

INSTANTIATE_TEST_SUITE_P(Devices, Curves, ::testing::ValuesIn(cases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string n = info.param.name;
                             std::replace(n.begin(), n.end(), '-', '_');
                             return n;
                         });

TEST(CurveValues, DevicesLandOnTheirDataSheetNumbers) {
    // NPN: hFE near 150 at 5 V.
    const std::vector<Curve> npn = traceFamily(cases[0].family);
    EXPECT_NEAR(currentAt(npn[6], 5.0) / 60e-6, 150 * (1 + 5.0 / 80), 15);
    EXPECT_LT(currentAt(npn[0], 5.0), 1e-4);
    // Enhancement MOSFET is off at 2.0 V; depletion conducts at 0 V and is off at -3 V.
    EXPECT_LT(currentAt(traceFamily(cases[2].family)[0], 5.0), 0.002);
    const std::vector<Curve> dep = traceFamily(cases[4].family);
    EXPECT_GT(currentAt(dep[6], 5.0), 0.05);
    EXPECT_LT(currentAt(dep[0], 5.0), 0.001);
    // JFET: IDSS at 0 V, pinched off beyond -2.5 V.
    const std::vector<Curve> jfet = traceFamily(cases[6].family);
    EXPECT_NEAR(currentAt(jfet[0], 5.0), 0.012 * 1.1, 0.002);
    EXPECT_LT(currentAt(jfet[6], 5.0), 1e-4);
    // Diode: a silicon knee.
    const Curve diode = traceFamily(cases[8].family)[0];
    double kneeVolts = 0;
    for (const Point& p : diode) {
        if (p.amps >= 0.01) {
            kneeVolts = p.volts;
            break;
        }
    }
    EXPECT_GT(kneeVolts, 0.55);
    EXPECT_LT(kneeVolts, 0.9);
}

TEST(CurveValues, ThyristorBreaksOverEarlierWithMoreGateDriveAndLatches) {
    const std::vector<Curve> scr = traceFamily(cases[9].family);
    EXPECT_NEAR(largestVolts(scr[0]), 25, 1.5);
    for (int k = 4; k < 7; ++k) EXPECT_LT(largestVolts(scr[k]), largestVolts(scr[k - 1]) - 2) << k;
    for (const Curve& c : scr) {
        ASSERT_FALSE(c.empty());
        EXPECT_LT(c.back().volts, 2.0);   // ends latched on, at the on-state voltage
        EXPECT_GT(c.back().amps, 0.1);
    }
}

} // namespace
