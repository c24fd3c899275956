// Devices under test for the virtual instrument: simple physical models, each wired with its
// collector/drain/anode to the collector terminal, emitter/source/cathode to ground and its
// base/gate to the step generator.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class SimDevice {
    Npn,
    Pnp,
    NmosEnhancement,
    PmosEnhancement,
    NmosDepletion,
    PmosDepletion,
    Njfet,
    Pjfet,
    Diode,
    Scr,
    Resistor,
};

struct SimDeviceName {
    SimDevice device;
    const char* name;
    const char* description;
};

const std::vector<SimDeviceName>& simDeviceNames();
// Accepts the names above and the program's DUT codes ("NMOS_ENH"), letter case ignored.
bool simDeviceFromName(const std::string& name, SimDevice& device);
const char* simDeviceName(SimDevice device);

// The values of the part in the socket. A tray of real parts differs part to part around the nominal
// model; these are what differs.
struct SimPart {
    double forwardBeta = 150.0;         // bipolar BF
    double earlyVolts = 80.0;           // bipolar Early voltage, V
    double saturationScale = 1.0;       // x the bipolar's and the diode's saturation current
    double thresholdScale = 1.0;        // x the model's field-effect threshold (2.1 V enhancement, -2.5 V
                                        //   depletion and JFET pinch-off, n-type frame)
    bool thresholdSet = false;          // true: thresholdVolts instead
    double thresholdVolts = 0.0;        // V, n-type frame
    double channelGainScale = 1.0;      // x the field-effect gain factor
    double channelEarlyVolts = 50.0;    // 1 / lambda of the field-effect channels, V
};

// Each value of `nominal` moved by its own reproducible random share within +-percent: forward beta and
// channel gain, threshold, both Early voltages, saturation current. The same seed gives the same part.
SimPart spreadSimPart(const SimPart& nominal, double percent, std::uint64_t seed);

// The step generator: a source behind a small output resistance, within its supply rails.
inline constexpr double simStepGeneratorRailVolts = 15.0;
inline constexpr double simStepGeneratorOhms = 100.0;

// The base/gate terminal as the step generator leaves it.
struct TerminalDrive {
    double volts = 0;
    double amps = 0; // into the base/gate
};

// Voltage mode: a source behind a small output resistance; current mode: a current source whose
// output voltage is limited to the supply rails.
TerminalDrive solveStepGenerator(SimDevice device, bool currentMode, double level, const SimPart& part = SimPart{});

// The collector circuit: a supply behind the series resistor, the device and the Vc measuring path.
struct CollectorCircuit {
    double supplyVolts = 0;
    double seriesOhms = 27000;
    double measuringPathOhms = 1e12;
    double resistorOhms = 1000; // the resistor device's value
};

struct CollectorPoint {
    double volts = 0;        // across the device
    double deviceAmps = 0;   // into the collector/drain/anode
    double measuredAmps = 0; // through the series resistor, measuring path included
};

// `latched` is the thyristor's memory from one solution to the next (unused by other devices).
CollectorPoint solveCollector(SimDevice device, const TerminalDrive& drive, const CollectorCircuit& circuit,
                              bool& latched, const SimPart& part = SimPart{});
