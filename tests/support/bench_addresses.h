// Loopback addresses of the tests that listen at the bench's fixed ports (meter 5025, fixture 10002).
// Test cases run in parallel, so each one that listens has an address of its own.
#pragma once

namespace benchaddress {

constexpr const char* meterCommands = "127.0.0.2";
constexpr const char* meterMisbehaving = "127.0.0.3";
constexpr const char* nobodyListening = "127.0.0.4";
constexpr const char* meterNeverAccepts = "127.0.0.5";
constexpr const char* fixtureCommands = "127.0.0.6";
constexpr const char* factoryWindowMeter = "127.0.0.7";
constexpr const char* adcDacWindowBench = "127.0.0.8";
constexpr const char* factorySequenceBench = "127.0.0.9";
constexpr const char* simMeter = "127.0.0.10";
constexpr const char* programOnSimBench = "127.0.0.11";

} // namespace benchaddress
