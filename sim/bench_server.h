// The virtual bench on the LAN: the multimeter on TCP port 5025 and the relay fixture on port 10002 of
// one address, served without blocking from the virtual instrument's loop.
#pragma once

#include <poll.h>

#include <string>
#include <vector>

#include "bench_peers.h"

inline constexpr int simMeterPort = 5025;
inline constexpr int simFixturePort = 10002;

struct SimBenchConnection {
    int listener = -1;
    int client = -1; // one client at a time; a new one waits until the last has gone
    std::string pending;
};

// How the meter misbehaves from its Nth "READ?" on, for trying the program against a bad bench.
enum class SimMeterFault { None, Garbage, Half, Silent, Drip, Stream, Close, Reset };

struct SimBench {
    SimBenchConnection meterConnection;
    SimBenchConnection fixtureConnection;
    SimMeter meter;
    SimFixture fixture;
    SimMeterFault meterFault = SimMeterFault::None;
    int meterFaultAtRead = 0; // the first READ? answered badly, from 1
    int reads = 0;
    std::string drip;          // the rest of an answer sent one byte per 100 ms
    long long lastDripMs = 0;
    bool streaming = false;    // sending readings without end
};

// "KIND@N": KIND one of garbage, half, silent, drip, stream, close, reset; N the first READ? affected.
bool parseSimMeterFault(const std::string& text, SimBench& bench);

// Listens on `address` at both ports; false with `error` set when either cannot be bound.
bool openSimBench(SimBench& bench, const std::string& address, std::string& error);
void closeSimBench(SimBench& bench);
// The descriptors to wait on for input.
void addSimBenchPollFds(const SimBench& bench, std::vector<pollfd>& fds);
// Accepts, reads and answers whatever is waiting; never blocks.
void serviceSimBench(SimBench& bench, SimInstrument& sim);
