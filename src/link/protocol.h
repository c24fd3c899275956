// Wire protocol of the instrument: 8-byte register write and read-request frames, 32-byte reports,
// the 16-bit additive checksum, and the register and bit map. Pure data handling, no port and no
// program state. The virtual instrument in sim/ deliberately keeps its own encoder and decoder, so that
// each side checks the other; the tests use both.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

constexpr int registerCount = 32;
constexpr std::size_t frameSize = 8;
constexpr std::size_t reportSize = 32;
constexpr std::uint16_t checksumSeed = 0x5555;

// The register image: entry r holds register r; only the low 32 bits of an entry are transmitted.
using RegisterImage = std::array<std::int64_t, registerCount>;

using Frame = std::array<std::uint8_t, frameSize>;
using ReportBytes = std::array<std::uint8_t, reportSize>;

// Register numbers.
enum RegisterIndex : int {
    regUnused = 0, // target of the read requests
    regControl = 1,
    regTimebaseLength = 2,
    regRampStartDelay = 3,
    regVbSamplerStop = 4,
    regHaltRunLength = 5,
    regBaseGatePulseStart = 6,
    regBaseGatePulseStop = 7,
    regQuietTimeStart = 8,
    regQuietTimeStop = 9,
    regSamplerStart = 10,
    regSamplerStop = 11,
    regHaltCollectorVoltageMin = 12,
    regHaltCollectorVoltageMax = 13,
    regHaltCollectorCurrentMin = 14,
    regHaltCollectorCurrentMax = 15,
    regBaseGateDacIdleRaw = 16,
    regBaseGateDacActiveRaw = 17,
    regBaseGateClampOn = 18,
    regBaseGateClampOff = 19,
    regCollectorPulseStart = 20,
    regCollectorPulseStop = 21,
    regRampMeasurePoint = 22,
    regCollectorResistorSelected = 23,
    regBaseCurrentRange = 24,
    regCollectorPolarity = 25,
    regBaseGateMode = 26,
    regNormalStopMeasurePoint = 27,
    regProtectionMeasurePoint = 28,
    regVbSamplerStart = 29,
    regFlashCalLock = 30,
    regCalibrationWord = 31,
};

// Control register (register 1) bits.
enum ControlBit : std::uint32_t {
    controlRun = 1u << 0,
    controlStop = 1u << 1,
    controlHvStartRequest = 1u << 2,
    controlHvStopRequest = 1u << 3,
    controlClearStopCode = 1u << 4,
    controlBaseGateForceActive = 1u << 5,
    controlBaseGateForceIdle = 1u << 6,
    controlBaseGatePulsed = 1u << 7,
    controlClampForceOn = 1u << 8,
    controlClampForceOff = 1u << 9,
    controlClampOnIdle = 1u << 10,
    controlCollectorPulsed = 1u << 11,
    controlInitialiseAfterConnect = 1u << 13,
    controlEraseCalibration = 1u << 14,
    controlWriteCalibrationWord = 1u << 15,
    controlHvSupplyOn = 1u << 16,
};
constexpr std::uint32_t controlCommandByteMask = 0xFF000000u;
constexpr std::uint32_t controlHardwareReset = 0x96000000u;

// Register 30 value that unlocks the calibration block for erasing.
constexpr std::int64_t calibrationUnlockCode = 51093;

// Status word fields.
constexpr std::uint32_t statusPhaseMask = 0x0003;  // 0 idle, 1 preparing, 2 ramping, 3 discharging
constexpr std::uint32_t statusHvStateShift = 2;    // two bits; bit 3 set: high voltage enabled
constexpr std::uint32_t statusStopCodeShift = 4;   // four bits; 0 = none
constexpr std::uint32_t statusCalibrationSync = 0x8000;

// One instrument report as decoded; the four sums are sign-extended 32-bit accumulations.
struct Report {
    std::int64_t statusWord = 0;
    std::int64_t calibrationWord = 0;
    std::int64_t rawIc = 0;
    std::int64_t rawVc = 0;
    std::int64_t rawVr = 0;
    std::int64_t rawVb = 0;
};

// (sum of the big-endian 16-bit words of `bytes` + 0x5555) mod 65536; `length` is even.
std::uint16_t protocolChecksum(const std::uint8_t* bytes, std::size_t length);

// Write frame for register `reg` carrying the low 32 bits of `value`.
Frame buildWriteFrame(int reg, std::int64_t value);
// Read-request frame; the program only ever asks for register 0.
Frame buildReadRequestFrame(int reg = regUnused);

// A frame as the instrument sees it.
struct ParsedFrame {
    bool checksumOk = false;
    bool isWrite = false;
    int reg = 0;
    std::uint32_t value = 0;
};
ParsedFrame parseFrame(const std::uint8_t* bytes);

// Result of decoding 32 report bytes: either a checksum failure with the received checksum, or the
// six fields.
struct DecodedReport {
    bool checksumOk = false;
    std::uint16_t receivedChecksum = 0;
    Report report;
};
DecodedReport decodeReport(const std::uint8_t* bytes);

// The 32 bytes of a report (reserved bytes zero), with its checksum; the inverse of decodeReport.
ReportBytes encodeReport(const Report& report);

// Text for a stop code of the status word; empty for codes without one.
const char* stopCodeText(int code);
