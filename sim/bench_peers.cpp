#include "bench_peers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The meter's overload answer.
constexpr double overload = 9.9e37;

double volts(const SimInstrument& sim) {
    const SimTerminals t = simTerminals(sim);
    switch (sim.wiring) {
    case SimWiring::BaseToVoltmeter: return t.baseVolts;
    case SimWiring::BaseAndCollectorToVoltmeter: return t.collectorVolts;
    default: return 0.0;
    }
}

double amps(const SimInstrument& sim) {
    return sim.wiring == SimWiring::BaseToAmmeter ? simTerminals(sim).baseAmps : 0.0;
}

// The four-wire leads sit on the resistor board the fixture has selected.
double ohms(const SimInstrument& sim) {
    if (sim.wiring != SimWiring::CollectorToBoard) return overload;
    return sim.boardOhms[static_cast<size_t>(std::clamp(sim.boardResistor, 0, 3))];
}

// "10V", "100mV", "3A", "100uA" ... in volts or amperes; 0 for a text that is no range of `unit`.
double rangeValue(const std::string& text, char unit) {
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    const std::string suffix = end ? std::string(end) : "";
    const double decades[] = {1.0, 1e-3, 1e-6};
    const char* prefixes[] = {"", "m", "u"};
    for (int i = 0; i < 3; ++i)
        if (number > 0 && suffix == std::string(prefixes[i]) + unit) return number * decades[i];
    return 0.0;
}

// "VOLTage:DC:RANGe 10V" or "CURRent:DC:RANGe 10mA": the meter takes a range of its present function only.
void setRange(SimMeter& meter, const std::string& command, SimMeterFunction function, char unit) {
    const double value = rangeValue(command.substr(command.find(' ') + 1), unit);
    if (meter.function != function || value == 0.0) {
        meter.refused.push_back(command);
        return;
    }
    meter.range = value;
}

// A new function ranges automatically until a range is set.
void configure(SimMeter& meter, SimMeterFunction function) {
    meter.function = function;
    meter.range = 0.0;
}

} // namespace

double simMeterReading(const SimMeter& meter, const SimInstrument& sim) {
    double value = 0.0;
    switch (meter.function) {
    case SimMeterFunction::DcVolts: value = volts(sim); break;
    case SimMeterFunction::DcAmps: value = amps(sim); break;
    case SimMeterFunction::FourWireOhms: value = ohms(sim); break;
    }
    if (value == overload) return value;
    value *= 1.0 + meter.gainError;
    return meter.range > 0.0 && std::fabs(value) > 1.2 * meter.range ? overload : value;
}

std::string simMeterReplyText(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%+.8E\n", value);
    return text;
}

std::optional<std::string> simMeterCommand(SimMeter& meter, const SimInstrument& sim, const std::string& line) {
    std::string command = line;
    while (!command.empty() && (command.back() == '\r' || command.back() == ' ')) command.pop_back();
    if (startsWith(command, "CONFigure:VOLTage:DC")) configure(meter, SimMeterFunction::DcVolts);
    else if (startsWith(command, "CONFigure:CURRent:DC")) configure(meter, SimMeterFunction::DcAmps);
    else if (startsWith(command, "CONF:FRES")) configure(meter, SimMeterFunction::FourWireOhms);
    else if (startsWith(command, "VOLTage:DC:RANGe ")) setRange(meter, command, SimMeterFunction::DcVolts, 'V');
    else if (startsWith(command, "CURRent:DC:RANGe ")) setRange(meter, command, SimMeterFunction::DcAmps, 'A');
    else if (command == "FRES:NPLC 10") {}
    else if (command == "READ?") return simMeterReplyText(simMeterReading(meter, sim));
    else if (command == "*IDN?") return std::string("KRV650-SIM,virtual multimeter,0,1\n");
    else meter.refused.push_back(command);
    return std::nullopt;
}

void simFixtureCommand(SimFixture& fixture, SimInstrument& sim, const std::string& command) {
    fixture.received.push_back(command);
    if (command.size() != 7 || !startsWith(command, "#010")) return;
    const int value = static_cast<int>(std::strtol(command.substr(5).c_str(), nullptr, 16));
    if (command[4] == 'A') {
        fixture.pendingRelays = value;
        return;
    }
    if (command[4] != 'B') return;
    const int relays = fixture.pendingRelays;
    if (relays == 0x00) sim.wiring = SimWiring::Open;
    else if (relays == 0x01) sim.wiring = SimWiring::BaseToVoltmeter;
    else if (relays == 0x03) sim.wiring = SimWiring::BaseAndCollectorToVoltmeter;
    else if (relays == 0x04) sim.wiring = SimWiring::BaseToAmmeter;
    for (int k = 0; k < 4; ++k) {
        if (relays != (0x10 << k)) continue;
        sim.wiring = SimWiring::CollectorToBoard;
        sim.boardResistor = k;
    }
}
