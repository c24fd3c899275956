// The virtual KRV650: a register-level peer of the program. It takes the host's byte stream, keeps the
// 32 registers and the calibration flash, runs collector ramps on a device model, and produces reports.
// Time is virtual: the owner advances it, so tests step it deterministically and the pty front end
// pumps it with real time.
#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "devices.h"
#include "wire.h"

inline constexpr int simRegisterCount = 32;
inline constexpr int simFlashSize = 1024;
inline constexpr uint32_t simFlashUnlockCode = 51093;

enum class SimFault {
    DropByte,    // the report loses its first byte
    InsertByte,  // a stray byte goes out before the report
    BadChecksum, // the report's checksum is wrong
    Silent,      // from this report on nothing is sent
    Vanish,      // the instrument disappears: nothing more in or out
};

// How the terminals are wired: to the part in the socket, or by the factory relay fixture to the
// bench multimeter or to one of the four calibration resistors.
enum class SimWiring {
    Device,                      // the part in the socket (no fixture relay closed yet)
    Open,                        // every relay open
    BaseToVoltmeter,             // base/gate across the voltmeter
    BaseAndCollectorToVoltmeter, // base/gate and collector tied together across the voltmeter
    BaseToAmmeter,               // base/gate through the ammeter to ground
    CollectorToBoard,            // collector through calibration resistor boardResistor to ground
};

struct SimInstrument {
    // What is connected to the terminals.
    SimDevice device = SimDevice::Npn;
    double resistorOhms = 1000.0;
    SimPart part;                 // the values of the part in the socket
    SimWiring wiring = SimWiring::Device;
    int boardResistor = 0;                                     // 0..3 while CollectorToBoard
    std::array<double, 4> boardOhms = {22000.0, 2700.0, 150.0, 33.0}; // the calibration resistor board

    // Written by the host; the flash survives resets.
    std::array<uint32_t, simRegisterCount> registers{};
    std::array<uint8_t, simFlashSize> flash{};

    // Operational state.
    int64_t nowNs = 0;
    int phase = 0;                 // 0 idle, 1 preparing, 2 ramping, 3 discharging
    int stopCode = 0;
    int hvState = 0;               // 0 off ... 3 on; 1 and 2 are the transitions
    int hvTarget = 0;
    int64_t hvNextStageNs = -1;    // when hvState moves one stage towards hvTarget; -1 none
    int64_t cycleEndNs = -1;       // end of the running timebase cycle while a run is active; -1 none
    int64_t phaseCycles = 0;       // cycles completed in the current phase
    double supplyVolts = 0;        // collector supply setpoint, signed
    bool thyristorLatched = false;
    int calibrationWordIndex = 0;  // next word of the flash stream, 0..511

    // The wire.
    std::vector<uint8_t> input;
    std::vector<uint8_t> output;
    FrameSync sync;
    uint64_t ignoredFrames = 0;    // good frames the instrument has no use for
    uint64_t reportsSent = 0;
    uint64_t readRequestsAbsorbed = 0; // polls met by the running report stream

    // Faults, each due at a report number (1 = the first report).
    std::vector<std::pair<uint64_t, SimFault>> pendingFaults;
    bool silent = false;
    bool vanished = false;
};

// Power-up state: registers 0, flash holding the nominal calibration text, idle, NPN connected.
void resetSimInstrumentDefaults(SimInstrument& sim);

// Host bytes arriving now.
void simReceive(SimInstrument& sim, const uint8_t* bytes, size_t count);
// Receives the bytes and returns whatever the instrument sends back at once.
std::vector<uint8_t> simExchange(SimInstrument& sim, const std::vector<uint8_t>& hostBytes);
// Lets virtual time pass, running every cycle and transition that falls due.
void simAdvance(SimInstrument& sim, int64_t microseconds);
// Virtual microseconds until the next thing happens by itself (rounded up); -1 when nothing is due.
int64_t simMicrosecondsToNextEvent(const SimInstrument& sim);
// Bytes sent since the last call.
std::vector<uint8_t> simTakeOutput(SimInstrument& sim);

// Applies the fault to the next report sent, or to report number `reportNumber`.
void simInjectFault(SimInstrument& sim, SimFault fault);
void simScheduleFault(SimInstrument& sim, SimFault fault, uint64_t reportNumber);

// The terminals as they stand now: what a meter connected to them would see.
struct SimTerminals {
    double baseVolts = 0;
    double baseAmps = 0;       // out of the step generator into the base/gate terminal
    double collectorVolts = 0;
    double collectorAmps = 0;  // through the series resistor into the collector terminal
};
SimTerminals simTerminals(const SimInstrument& sim);

// The 1024 bytes the flash holds from the factory.
std::array<uint8_t, simFlashSize> nominalFlashImage();
