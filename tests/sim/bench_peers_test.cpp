// The virtual bench: what the meter reads for each fixture wiring, and how relay commands rewire.
#include <gtest/gtest.h>

#include "bench_peers.h"
#include "calibration/dmm_link.h"
#include "nominal_cal.h"

namespace {

struct Bench {
    SimInstrument sim;
    SimMeter meter;
    SimFixture fixture;
    Bench() {
        resetSimInstrumentDefaults(sim);
        meter.gainError = 0.0;
    }
    void relays(const char* pattern) {
        simFixtureCommand(fixture, sim, std::string("#010A") + pattern);
        simFixtureCommand(fixture, sim, "#010B00");
    }
    double read(const char* configure) {
        EXPECT_FALSE(simMeterCommand(meter, sim, configure).has_value());
        const std::optional<std::string> answer = simMeterCommand(meter, sim, "READ?");
        double value = 0;
        EXPECT_TRUE(answer && parseDmmReply(*answer, value)) << (answer ? *answer : "no answer");
        return value;
    }
};

TEST(SimBench, RelaysTakeEffectOnTheApplyCommandOnly) {
    const struct {
        const char* pattern;
        SimWiring wiring;
        int board;
    } cases[] = {
        {"01", SimWiring::BaseToVoltmeter, 0},   {"03", SimWiring::BaseAndCollectorToVoltmeter, 0},
        {"04", SimWiring::BaseToAmmeter, 0},     {"10", SimWiring::CollectorToBoard, 0},
        {"20", SimWiring::CollectorToBoard, 1},  {"40", SimWiring::CollectorToBoard, 2},
        {"80", SimWiring::CollectorToBoard, 3},  {"00", SimWiring::Open, 0},
    };
    for (const auto& c : cases) {
        Bench b;
        simFixtureCommand(b.fixture, b.sim, std::string("#010A") + c.pattern);
        EXPECT_EQ(b.sim.wiring, SimWiring::Device) << c.pattern;
        simFixtureCommand(b.fixture, b.sim, "#010B00");
        EXPECT_EQ(b.sim.wiring, c.wiring) << c.pattern;
        if (c.wiring == SimWiring::CollectorToBoard) {
            EXPECT_EQ(b.sim.boardResistor, c.board);
        }
        EXPECT_EQ(b.fixture.received.size(), 2u);
    }
    Bench b;
    simFixtureCommand(b.fixture, b.sim, "hello");
    EXPECT_EQ(b.sim.wiring, SimWiring::Device);
    EXPECT_EQ(b.fixture.received.back(), "hello");
}

TEST(SimBench, MeterReadsTheTerminalsTheFixtureConnects) {
    Bench b;
    // Step generator forced active at a DAC value, unclamped, in voltage mode.
    b.sim.registers[1] = (1u << 5) | (1u << 9);
    b.sim.registers[17] = 5810;
    b.relays("01");
    const double base = b.read("CONFigure:VOLTage:DC");
    EXPECT_NEAR(base, dacCountsToVolts(5810, false), 1e-6);
    EXPECT_NEAR(base, 10.0, 0.05);
    b.relays("03"); // tied to the collector, which loads it a little
    const double tied = b.read("CONFigure:VOLTage:DC");
    EXPECT_LT(tied, base);
    EXPECT_GT(tied, 0.99 * base);
    EXPECT_NEAR(b.read("CONFigure:CURRent:DC"), 0.0, 1e-12); // no ammeter in circuit
    b.sim.registers[26] = 1;  // current mode, range 3
    b.sim.registers[24] = 3;
    b.sim.registers[17] = 4630;
    b.relays("04");
    EXPECT_NEAR(b.read("CONFigure:CURRent:DC"), 0.020, 0.0005);
    b.relays("40");
    EXPECT_DOUBLE_EQ(b.read("CONF:FRES"), 150.0);
    b.relays("00");
    EXPECT_GT(b.read("CONF:FRES"), 1e30); // overload: nothing across the leads
    // The settable error scales every reading.
    b.meter.gainError = 0.02;
    b.relays("80");
    EXPECT_NEAR(b.read("CONF:FRES"), 33.66, 1e-9);
}

TEST(SimBench, MeterTakesRangesOfItsFunctionAndOverloadsBeyondThem) {
    Bench b;
    b.sim.registers[1] = (1u << 5) | (1u << 9); // step generator forced active, unclamped
    const struct {
        const char* configure;
        const char* range;
        bool currentMode; // the step generator drives 20 mA into the ammeter, else 10 V into the voltmeter
        bool overload;
        bool refused;
    } cases[] = {
        {"CONFigure:VOLTage:DC", "VOLTage:DC:RANGe 10V", false, false, false},
        {"CONFigure:VOLTage:DC", "VOLTage:DC:RANGe 1V", false, true, false},
        {"CONFigure:VOLTage:DC", "VOLTage:DC:RANGe 100mV", false, true, false},
        {"CONFigure:VOLTage:DC", "VOLTage:DC:RANGe 100V", false, false, false},
        {"CONFigure:CURRent:DC", "CURRent:DC:RANGe 100mA", true, false, false},
        {"CONFigure:CURRent:DC", "CURRent:DC:RANGe 10mA", true, true, false},
        {"CONFigure:CURRent:DC", "CURRent:DC:RANGe 100uA", true, true, false},
        {"CONFigure:CURRent:DC", "VOLTage:DC:RANGe 10mV", true, false, true}, // another function's range
        {"CONFigure:CURRent:DC", "CURRent:DC:RANGe 7 bananas", true, false, true},
        {"CONFigure:VOLTage:DC", "VOLTage:DC:RANGe 10A", false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.range);
        b.meter.refused.clear();
        b.sim.registers[26] = c.currentMode ? 1 : 0;
        b.sim.registers[24] = 3;
        b.sim.registers[17] = c.currentMode ? 4630 : 5810;
        b.relays(c.currentMode ? "04" : "01");
        EXPECT_FALSE(simMeterCommand(b.meter, b.sim, c.configure).has_value());
        EXPECT_FALSE(simMeterCommand(b.meter, b.sim, c.range).has_value());
        const std::optional<std::string> answer = simMeterCommand(b.meter, b.sim, "READ?");
        double value = 0;
        ASSERT_TRUE(answer && parseDmmReply(*answer, value));
        if (c.overload) {
            EXPECT_EQ(*answer, "+9.90000000E+37\n");
        } else {
            EXPECT_NEAR(value, c.currentMode ? 0.020 : 10.0, c.currentMode ? 0.0005 : 0.05);
        }
        EXPECT_EQ(b.meter.refused, c.refused ? std::vector<std::string>{c.range} : std::vector<std::string>{});
    }
}

} // namespace
