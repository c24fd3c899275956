#include "sim_host.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

uint16_t checksumOf(const uint8_t* bytes, int words) {
    uint32_t sum = 0x5555;
    for (int i = 0; i < words; ++i) sum += static_cast<uint32_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
    return static_cast<uint16_t>(sum);
}

int32_t bigEndian32(const uint8_t* b) {
    return static_cast<int32_t>(uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3]);
}

std::vector<uint8_t> frame(bool write, int registerNumber, uint32_t value) {
    std::vector<uint8_t> f = {static_cast<uint8_t>((write ? 0x80 : 0) | (registerNumber >> 8)),
                              static_cast<uint8_t>(registerNumber & 0xFF),
                              static_cast<uint8_t>(value >> 24),
                              static_cast<uint8_t>(value >> 16),
                              static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value),
                              0,
                              0};
    const uint16_t sum = checksumOf(f.data(), 3);
    f[6] = static_cast<uint8_t>(sum >> 8);
    f[7] = static_cast<uint8_t>(sum);
    return f;
}

// Default calibration text values, as "Default Values" fills them.
constexpr double vcPointVolts = 9.90, vcPointRaw = 662000;
constexpr double vbPointVolts = 1.25, vbPointRaw = -1500;
constexpr double parasiticOhms = 563600;
constexpr double rangeOhms[4] = {22000, 2700, 150, 33};
constexpr double rangeRawIc[4] = {1650000, 1220000, 2360000, 900000};
constexpr double rangeRawVc = 1350000;
// Current-mode DAC points per range 0..3: (+level amperes, counts), (-level, counts).
constexpr double dacAmpsPoint[4][4] = {{20e-6, 4610, -20e-6, 1855},
                                       {200e-6, 4490, -200e-6, 1965},
                                       {2e-3, 4595, -2e-3, 1870},
                                       {20e-3, 4630, -20e-3, 1845}};

double icAmpsPerCount(int range) {
    const double parallel = 1.0 / (1.0 / parasiticOhms + 1.0 / rangeOhms[range]);
    return vcVolts(rangeRawVc) / parallel / rangeRawIc[range];
}

} // namespace

std::vector<uint8_t> writeFrame(int registerNumber, uint32_t value) { return frame(true, registerNumber, value); }
std::vector<uint8_t> readRequest() { return frame(false, 0, 0); }

HostReport decodeHostReport(const uint8_t* b) {
    HostReport r;
    r.checksumGood = checksumOf(b, 15) == (b[30] << 8 | b[31]);
    r.status = static_cast<uint16_t>(b[0] << 8 | b[1]);
    r.calibrationWord = static_cast<uint16_t>(b[2] << 8 | b[3]);
    r.sumIc = bigEndian32(b + 4);
    r.sumVc = bigEndian32(b + 8);
    r.rawVr = bigEndian32(b + 12);
    r.sumVb = bigEndian32(b + 16);
    return r;
}

std::vector<HostReport> decodeHostReports(const std::vector<uint8_t>& bytes) {
    EXPECT_EQ(bytes.size() % 32, 0u) << "a partial report";
    std::vector<HostReport> reports;
    for (size_t i = 0; i + 32 <= bytes.size(); i += 32) reports.push_back(decodeHostReport(bytes.data() + i));
    return reports;
}

double vcVolts(double raw) { return raw * vcPointVolts / vcPointRaw; }
double vbVolts(double raw) { return raw * vbPointVolts / vbPointRaw; }
double icAmps(double raw, int resistorRange) { return raw * icAmpsPerCount(resistorRange); }
double rawVcFor(double volts) { return volts * vcPointRaw / vcPointVolts; }
double rawIcFor(double amps, int resistorRange) { return amps / icAmpsPerCount(resistorRange); }

int64_t dacCountsForVolts(double volts) {
    const double countsPerVolt = (5810.0 - 650.0) / 20.0;
    return std::llround(volts * countsPerVolt + (5810.0 - 10.0 * countsPerVolt));
}

int64_t dacCountsForAmps(double amps, int currentRange) {
    const double* p = dacAmpsPoint[currentRange];
    const double slope = (p[1] - p[3]) / (p[0] - p[2]);
    return std::llround(amps * slope + (p[1] - p[0] * slope));
}

uint32_t rampControlWord(const RampSetup& s) {
    uint32_t control = 1u << 16;       // high-voltage supply on
    if (s.run) control |= 1u << 0;
    if (s.hvStart) control |= 1u << 2;
    if (s.currentMode) control |= 1u << 10; // clamp while idle
    return control;
}

std::vector<uint8_t> rampTransfer(const RampSetup& s) {
    uint32_t reg[32] = {};
    reg[1] = rampControlWord(s);
    reg[2] = s.timebaseUnits;
    reg[3] = s.startDelay;
    reg[5] = s.runLength;
    // Timing set of the 300 us (or 80 us) pulse width.
    reg[8] = 92;
    reg[22] = 98;
    reg[6] = reg[20] = 100;
    reg[7] = reg[21] = s.shortPulse ? 102 : 107;
    reg[10] = reg[29] = 103;
    reg[9] = s.shortPulse ? 103 : 108;
    reg[11] = reg[4] = s.shortPulse ? 104 : 108;
    reg[18] = 65535;
    reg[19] = 1;
    reg[12] = static_cast<uint32_t>(std::llround(rawVcFor(-s.peakVolts)));
    reg[13] = static_cast<uint32_t>(std::llround(rawVcFor(s.peakVolts)));
    reg[14] = static_cast<uint32_t>(std::llround(rawIcFor(-s.peakAmps, s.resistorRange)));
    reg[15] = static_cast<uint32_t>(std::llround(rawIcFor(s.peakAmps, s.resistorRange)));
    reg[16] = static_cast<uint32_t>(s.dacIdle);
    reg[17] = static_cast<uint32_t>(s.dacActive);
    reg[23] = static_cast<uint32_t>(s.resistorRange);
    reg[24] = static_cast<uint32_t>(s.currentRange);
    reg[25] = s.negative ? 1 : 0;
    reg[26] = s.currentMode ? 1 : 0;
    reg[27] = 104;
    reg[28] = 96;
    std::vector<uint8_t> bytes;
    for (int r = 31; r >= 0; --r) {
        const std::vector<uint8_t> f = writeFrame(r, reg[r]);
        bytes.insert(bytes.end(), f.begin(), f.end());
    }
    return bytes;
}

void startWithHighVoltage(SimInstrument& sim, SimDevice device) {
    resetSimInstrumentDefaults(sim);
    sim.device = device;
    simReceive(sim, writeFrame(1, (1u << 16) | (1u << 2)).data(), 8);
    simAdvance(sim, 200000);
    ASSERT_EQ(sim.hvState, 3);
    simTakeOutput(sim);
}

std::vector<HostReport> runUntilStopped(SimInstrument& sim, int limitMs) {
    std::vector<HostReport> reports;
    for (int ms = 0; ms < limitMs; ++ms) {
        simAdvance(sim, 1000);
        for (const HostReport& r : decodeHostReports(simTakeOutput(sim))) {
            reports.push_back(r);
            if (r.stopCode() != 0) return reports;
        }
    }
    ADD_FAILURE() << "the ramp never stopped";
    return reports;
}
