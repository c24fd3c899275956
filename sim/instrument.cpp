#include "instrument.h"

#include <algorithm>
#include <cmath>

#include "nominal_cal.h"

namespace {

// Control register bits the instrument acts on.
constexpr uint32_t runBit = 1u << 0;
constexpr uint32_t stopBit = 1u << 1;
constexpr uint32_t hvStartBit = 1u << 2;
constexpr uint32_t hvStopBit = 1u << 3;
constexpr uint32_t clearStopBit = 1u << 4;
constexpr uint32_t forceActiveBit = 1u << 5;
constexpr uint32_t forceIdleBit = 1u << 6;
constexpr uint32_t clampForceOnBit = 1u << 8;
constexpr uint32_t clampForceOffBit = 1u << 9;
constexpr uint32_t clampOnIdleBit = 1u << 10;
constexpr uint32_t initialiseBit = 1u << 13;
constexpr uint32_t eraseBit = 1u << 14;
constexpr uint32_t writeWordBit = 1u << 15;
constexpr uint32_t supplyOnBit = 1u << 16;
constexpr uint32_t hardwareResetCommand = 0x96;

enum Register {
    ControlRegister = 1,
    TimebaseLength = 2,
    RampStartDelay = 3,
    VbSamplerStop = 4,
    HaltRunLength = 5,
    SamplerStart = 10,
    SamplerStop = 11,
    HaltVcMin = 12,
    HaltVcMax = 13,
    HaltIcMin = 14,
    HaltIcMax = 15,
    DacIdle = 16,
    DacActive = 17,
    ResistorSelected = 23,
    CurrentRange = 24,
    CollectorPolarity = 25,
    BaseGateMode = 26,
    VbSamplerStart = 29,
    FlashAddress = 30,
    FlashData = 31,
};

enum StopCode { StopManual = 1, StopTimeout = 2, StopVcMin = 3, StopVcMax = 4, StopIcMin = 5, StopIcMax = 6,
                StopIcExceptionMin = 7, StopIcExceptionMax = 8 };

constexpr int64_t hvStageNs = 50'000'000;
constexpr int64_t dischargeCycleCount = 5;
constexpr double dischargeFactor = 0.3;
constexpr double supplyLimitVolts = 150.0;
constexpr double adcFullScale = 8388607.0;
constexpr uint32_t powerUpTimebaseUnits = 469;
constexpr double seriesResistorOhms[4] = {27000.0, 2550.0, 270.0, 24.0};

int32_t asSigned(uint32_t v) { return static_cast<int32_t>(v); }

int64_t cyclePeriodNs(const SimInstrument& sim) {
    uint32_t units = sim.registers[TimebaseLength];
    // A cycle must hold the sampler windows (up to unit 108); anything else runs at the power-up timebase.
    if (units < 110 || units > 65535) units = powerUpTimebaseUnits;
    return (int64_t{units} * 128000 + 1) / 3; // one unit is 128/3 microseconds
}

// Sums over a window stay inside 32 bits for 24-bit samples.
int64_t windowLength(uint32_t start, uint32_t stop) {
    return std::clamp<int64_t>(int64_t{stop} - int64_t{start}, 0, 255);
}

int resistorRange(const SimInstrument& sim) { return static_cast<int>(std::min<uint32_t>(sim.registers[ResistorSelected], 3)); }

bool negativePolarity(const SimInstrument& sim) { return sim.registers[CollectorPolarity] == 1; }

struct Sample {
    double rawVc = 0; // unclamped, per sample
    double rawIc = 0;
    double rawVb = 0;
    double rawVr = 0;
};

// The step generator as the registers set it: its mode and level, or clamped to 0 V.
struct StepOutput {
    bool currentMode = false;
    bool clamped = false;
    double level = 0; // volts or amperes
};

StepOutput stepOutput(const SimInstrument& sim) {
    const uint32_t control = sim.registers[ControlRegister];
    StepOutput out;
    out.currentMode = (sim.registers[BaseGateMode] & 1) != 0;
    const bool idleLevel = (control & forceActiveBit) == 0 && (control & forceIdleBit) != 0;
    out.clamped = (control & clampForceOffBit) == 0 &&
                  ((control & clampForceOnBit) != 0 || ((control & clampOnIdleBit) != 0 && idleLevel));
    if (!out.clamped) {
        const int64_t counts = std::clamp<int64_t>(asSigned(sim.registers[idleLevel ? DacIdle : DacActive]), 0, 65535);
        const int range = static_cast<int>(std::min<uint32_t>(sim.registers[CurrentRange], 3));
        out.level = out.currentMode ? dacCountsToAmps(counts, range, idleLevel) : dacCountsToVolts(counts, idleLevel);
    }
    return out;
}

CollectorCircuit collectorCircuit(const SimInstrument& sim) {
    CollectorCircuit circuit;
    circuit.supplyVolts = sim.hvState == 3 ? sim.supplyVolts : 0.0;
    circuit.seriesOhms = seriesResistorOhms[resistorRange(sim)];
    circuit.measuringPathOhms = vcMeasuringPathOhms();
    circuit.resistorOhms = sim.resistorOhms;
    return circuit;
}

// A base/gate terminal with nothing drawing current from it.
TerminalDrive openBase(const StepOutput& out) {
    return out.clamped ? TerminalDrive{} : solveStepGenerator(SimDevice::Resistor, out.currentMode, out.level);
}

constexpr double openOhms = 1e15;

// The collector into a plain resistor to ground (a calibration resistor, or nothing at all).
CollectorPoint resistorCollector(CollectorCircuit circuit, double ohms) {
    circuit.resistorOhms = ohms;
    bool unused = false;
    return solveCollector(SimDevice::Resistor, TerminalDrive{}, circuit, unused);
}

// Base/gate and collector tied together: one node fed by the step generator and by the collector
// supply through the series resistor, loaded by the Vc measuring path.
SimTerminals tiedTerminals(const StepOutput& out, const CollectorCircuit& c) {
    const double gSeries = 1.0 / c.seriesOhms;
    const double gPath = 1.0 / c.measuringPathOhms;
    double volts = 0;
    if (out.currentMode && !out.clamped) {
        volts = (out.level + c.supplyVolts * gSeries) / (gSeries + gPath);
    } else {
        const double gSource = 1.0 / simStepGeneratorOhms;
        volts = (out.level * gSource + c.supplyVolts * gSeries) / (gSource + gSeries + gPath);
    }
    volts = std::clamp(volts, -simStepGeneratorRailVolts, simStepGeneratorRailVolts);
    SimTerminals t;
    t.baseVolts = t.collectorVolts = volts;
    t.collectorAmps = (c.supplyVolts - volts) * gSeries;
    t.baseAmps = volts * gPath - t.collectorAmps;
    return t;
}

SimTerminals solveTerminals(const SimInstrument& sim, bool& latched) {
    const StepOutput out = stepOutput(sim);
    const CollectorCircuit circuit = collectorCircuit(sim);
    SimTerminals t;
    TerminalDrive drive;
    CollectorPoint point;
    switch (sim.wiring) {
    case SimWiring::Device:
        if (!out.clamped) drive = solveStepGenerator(sim.device, out.currentMode, out.level, sim.part);
        point = solveCollector(sim.device, drive, circuit, latched, sim.part);
        break;
    case SimWiring::BaseAndCollectorToVoltmeter: return tiedTerminals(out, circuit);
    case SimWiring::BaseToAmmeter:
        // The meter holds the terminal at ground; a voltage source drives it through its output resistance.
        if (!out.clamped) drive.amps = out.currentMode ? out.level : out.level / simStepGeneratorOhms;
        point = resistorCollector(circuit, openOhms);
        break;
    case SimWiring::CollectorToBoard:
        drive = openBase(out);
        point = resistorCollector(circuit, sim.boardOhms[static_cast<size_t>(std::clamp(sim.boardResistor, 0, 3))]);
        break;
    case SimWiring::Open:
    case SimWiring::BaseToVoltmeter:
        drive = openBase(out);
        point = resistorCollector(circuit, openOhms);
        break;
    }
    t.baseVolts = drive.volts;
    t.baseAmps = drive.amps;
    t.collectorVolts = point.volts;
    t.collectorAmps = point.measuredAmps;
    return t;
}

Sample measure(SimInstrument& sim) {
    const SimTerminals t = solveTerminals(sim, sim.thyristorLatched);
    Sample s;
    s.rawVc = voltsToRawVc(t.collectorVolts);
    s.rawIc = ampsToRawIc(t.collectorAmps, resistorRange(sim));
    s.rawVb = voltsToRawVb(t.baseVolts);
    s.rawVr = voltsToRawVc(sim.hvState == 3 ? sim.supplyVolts : 0.0);
    return s;
}

int32_t adcReading(double raw) { return static_cast<int32_t>(std::llround(std::clamp(raw, -adcFullScale, adcFullScale))); }

int haltCode(const SimInstrument& sim, const Sample& s) {
    if (s.rawIc > adcFullScale) return StopIcExceptionMax;
    if (s.rawIc < -adcFullScale) return StopIcExceptionMin;
    const int32_t vc = adcReading(s.rawVc);
    const int32_t ic = adcReading(s.rawIc);
    if (vc <= asSigned(sim.registers[HaltVcMin])) return StopVcMin;
    if (vc >= asSigned(sim.registers[HaltVcMax])) return StopVcMax;
    if (ic <= asSigned(sim.registers[HaltIcMin])) return StopIcMin;
    if (ic >= asSigned(sim.registers[HaltIcMax])) return StopIcMax;
    return 0;
}

void sendReport(SimInstrument& sim, const Sample& s, int reportPhase) {
    bool dropByte = false;
    bool insertByte = false;
    bool badChecksum = false;
    const uint64_t number = sim.reportsSent + 1;
    auto due = [&](const std::pair<uint64_t, SimFault>& f) { return f.first <= number; };
    for (const auto& [at, fault] : sim.pendingFaults) {
        if (at > number) continue;
        switch (fault) {
        case SimFault::DropByte: dropByte = true; break;
        case SimFault::InsertByte: insertByte = true; break;
        case SimFault::BadChecksum: badChecksum = true; break;
        case SimFault::Silent: sim.silent = true; break;
        case SimFault::Vanish: sim.vanished = true; break;
        }
    }
    sim.pendingFaults.erase(std::remove_if(sim.pendingFaults.begin(), sim.pendingFaults.end(), due),
                            sim.pendingFaults.end());
    if (sim.silent || sim.vanished) return;

    const int word = sim.calibrationWordIndex;
    const int64_t vcIcCount = windowLength(sim.registers[SamplerStart], sim.registers[SamplerStop]);
    const int64_t vbCount = windowLength(sim.registers[VbSamplerStart], sim.registers[VbSamplerStop]);
    ReportFields f;
    f.statusWord = static_cast<uint16_t>((reportPhase & 3) | (sim.hvState & 3) << 2 | (sim.stopCode & 15) << 4 |
                                         (word == 0 ? 0x8000 : 0));
    f.calibrationWord = static_cast<uint16_t>(sim.flash[2 * word] | sim.flash[2 * word + 1] << 8);
    f.sumIc = static_cast<int32_t>(adcReading(s.rawIc) * vcIcCount);
    f.sumVc = static_cast<int32_t>(adcReading(s.rawVc) * vcIcCount);
    f.rawVr = adcReading(s.rawVr);
    f.sumVb = static_cast<int32_t>(adcReading(s.rawVb) * vbCount);
    std::array<uint8_t, 32> bytes = encodeInstrumentReport(f);
    if (badChecksum) bytes[31] ^= 0xFF;
    if (insertByte) sim.output.push_back(0xA5);
    sim.output.insert(sim.output.end(), bytes.begin() + (dropByte ? 1 : 0), bytes.end());
    ++sim.reportsSent;
    sim.calibrationWordIndex = (word + 1) % (simFlashSize / 2);
}

void scheduleHighVoltage(SimInstrument& sim) {
    if (sim.hvState == sim.hvTarget) {
        sim.hvNextStageNs = -1;
    } else if (sim.hvNextStageNs < 0) {
        sim.hvNextStageNs = sim.nowNs + hvStageNs;
    }
}

void stepHighVoltage(SimInstrument& sim) {
    sim.hvState += sim.hvTarget > sim.hvState ? 1 : -1;
    sim.hvNextStageNs = -1;
    scheduleHighVoltage(sim);
}

void enterDischarge(SimInstrument& sim) {
    sim.phase = 3;
    sim.phaseCycles = 0;
}

void startRamp(SimInstrument& sim) {
    if (sim.phase == 1 || sim.phase == 2) return; // one ramp at a time
    sim.phase = sim.registers[RampStartDelay] > 0 ? 1 : 2;
    sim.phaseCycles = 0;
    sim.stopCode = 0;
    sim.supplyVolts = 0;
    sim.thyristorLatched = false;
    sim.cycleEndNs = sim.nowNs + cyclePeriodNs(sim);
}

void stopRamp(SimInstrument& sim) {
    if (sim.phase != 1 && sim.phase != 2) return;
    sim.stopCode = StopManual;
    enterDischarge(sim);
}

// Abandons any run and switches the high voltage off; registers, flash and calibration stream stay.
void initialise(SimInstrument& sim) {
    sim.phase = 0;
    sim.stopCode = 0;
    sim.cycleEndNs = -1;
    sim.supplyVolts = 0;
    sim.thyristorLatched = false;
    sim.hvTarget = 0;
    scheduleHighVoltage(sim);
}

// As after power-up, except that the flash keeps its contents.
void hardwareReset(SimInstrument& sim) {
    sim.registers.fill(0);
    initialise(sim);
    sim.hvState = 0;
    sim.hvNextStageNs = -1;
    sim.calibrationWordIndex = 0;
}

void writeFlashWord(SimInstrument& sim) {
    const uint32_t address = sim.registers[FlashAddress];
    if (address % 4 != 0 || address > simFlashSize - 4) return;
    // Programming flash can only clear bits; an erase sets them all.
    for (uint32_t i = 0; i < 4; ++i) sim.flash[address + i] &= static_cast<uint8_t>(sim.registers[FlashData] >> (8 * i));
}

void actOnControl(SimInstrument& sim, uint32_t control) {
    if ((control >> 24) == hardwareResetCommand) {
        hardwareReset(sim);
        return;
    }
    if (control & initialiseBit) initialise(sim);
    if (control & clearStopBit) sim.stopCode = 0;
    if ((control & eraseBit) && sim.registers[FlashAddress] == simFlashUnlockCode) sim.flash.fill(0xFF);
    if (control & writeWordBit) writeFlashWord(sim);

    if ((control & supplyOnBit) == 0 || (control & hvStopBit)) {
        sim.hvTarget = 0;
    } else if (control & hvStartBit) {
        sim.hvTarget = 3;
    }
    scheduleHighVoltage(sim);

    const uint32_t run = control & (runBit | stopBit);
    if (run == runBit) startRamp(sim);
    if (run == stopBit) stopRamp(sim);
}

void handleFrame(SimInstrument& sim, const HostFrame& frame) {
    if (frame.registerNumber >= simRegisterCount || (!frame.write && frame.registerNumber != 0)) {
        ++sim.ignoredFrames;
        return;
    }
    if (frame.write) {
        sim.registers[frame.registerNumber] = frame.value;
        if (frame.registerNumber == ControlRegister) actOnControl(sim, frame.value);
    } else if (sim.phase == 0) {
        sendReport(sim, measure(sim), 0);
    } else {
        // While a run streams a report every cycle, a poll gets no extra one: it would be a false sample.
        ++sim.readRequestsAbsorbed;
    }
}

double rampStepVolts(const SimInstrument& sim) {
    const bool negative = negativePolarity(sim);
    const double limit = rawVcToVolts(asSigned(sim.registers[negative ? HaltVcMin : HaltVcMax]));
    // Reach the voltage limit in about a quarter of the run length, so a ramp has tens to hundreds of samples.
    const double cycles = std::clamp<double>(sim.registers[HaltRunLength] / 4, 20, 250);
    const double step = std::max(std::fabs(limit), 1.0) / cycles;
    return negative ? -step : step;
}

void runCycle(SimInstrument& sim) {
    const int cyclePhase = sim.phase;
    ++sim.phaseCycles;
    Sample s;
    if (cyclePhase == 1) {
        s = measure(sim);
        if (sim.phaseCycles >= sim.registers[RampStartDelay]) {
            sim.phase = 2;
            sim.phaseCycles = 0;
        }
    } else if (cyclePhase == 2) {
        if (sim.hvState == 3) {
            sim.supplyVolts = std::clamp(sim.supplyVolts + rampStepVolts(sim), -supplyLimitVolts, supplyLimitVolts);
        }
        s = measure(sim);
        int code = haltCode(sim, s);
        if (code == 0 && sim.phaseCycles >= std::max<uint32_t>(sim.registers[HaltRunLength], 1)) code = StopTimeout;
        if (code != 0) {
            sim.stopCode = code;
            enterDischarge(sim);
        }
    } else {
        sim.supplyVolts *= dischargeFactor;
        s = measure(sim);
        if (sim.phaseCycles >= dischargeCycleCount) {
            sim.phase = 0;
            sim.supplyVolts = 0;
            sim.thyristorLatched = false;
        }
    }
    sendReport(sim, s, cyclePhase);
    sim.cycleEndNs = sim.phase == 0 ? -1 : sim.cycleEndNs + cyclePeriodNs(sim);
}

int64_t nextEventNs(const SimInstrument& sim) {
    if (sim.cycleEndNs < 0) return sim.hvNextStageNs;
    if (sim.hvNextStageNs < 0) return sim.cycleEndNs;
    return std::min(sim.cycleEndNs, sim.hvNextStageNs);
}

} // namespace

std::array<uint8_t, simFlashSize> nominalFlashImage() {
    std::array<uint8_t, simFlashSize> image{};
    const std::string& text = nominalCalibrationText();
    std::copy_n(text.begin(), std::min<size_t>(text.size(), image.size()), image.begin());
    return image;
}

SimTerminals simTerminals(const SimInstrument& sim) {
    bool latched = sim.thyristorLatched; // looking must not change the thyristor's state
    return solveTerminals(sim, latched);
}

void resetSimInstrumentDefaults(SimInstrument& sim) {
    sim = SimInstrument{};
    sim.flash = nominalFlashImage();
}

void simReceive(SimInstrument& sim, const uint8_t* bytes, size_t count) {
    if (sim.vanished) return;
    sim.input.insert(sim.input.end(), bytes, bytes + count);
    HostFrame frame;
    while (takeHostFrame(sim.input, sim.sync, frame)) handleFrame(sim, frame);
}

std::vector<uint8_t> simExchange(SimInstrument& sim, const std::vector<uint8_t>& hostBytes) {
    simReceive(sim, hostBytes.data(), hostBytes.size());
    return simTakeOutput(sim);
}

void simAdvance(SimInstrument& sim, int64_t microseconds) {
    const int64_t until = sim.nowNs + std::max<int64_t>(microseconds, 0) * 1000;
    for (int64_t next = nextEventNs(sim); next >= 0 && next <= until; next = nextEventNs(sim)) {
        sim.nowNs = next;
        if (next == sim.hvNextStageNs) {
            stepHighVoltage(sim);
        } else {
            runCycle(sim);
        }
    }
    sim.nowNs = until;
}

int64_t simMicrosecondsToNextEvent(const SimInstrument& sim) {
    const int64_t next = nextEventNs(sim);
    return next < 0 ? -1 : (next - sim.nowNs + 999) / 1000;
}

std::vector<uint8_t> simTakeOutput(SimInstrument& sim) {
    std::vector<uint8_t> out;
    out.swap(sim.output);
    if (sim.vanished) out.clear();
    return out;
}

void simInjectFault(SimInstrument& sim, SimFault fault) {
    if (fault == SimFault::Silent) sim.silent = true;
    if (fault == SimFault::Vanish) {
        sim.vanished = true;
        sim.output.clear();
    }
    if (fault != SimFault::Silent && fault != SimFault::Vanish) simScheduleFault(sim, fault, sim.reportsSent + 1);
}

void simScheduleFault(SimInstrument& sim, SimFault fault, uint64_t reportNumber) {
    sim.pendingFaults.emplace_back(reportNumber, fault);
}
