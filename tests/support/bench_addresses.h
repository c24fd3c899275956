// Loopback addresses of the tests that listen at the bench's fixed ports (meter 5025, fixture 10002).
// Test cases run in parallel, so each one that listens has an address of its own.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace benchaddress {

// An address in 127.100.0.0 … 127.199.255.255 drawn from the running test's full name, for fixtures
// whose cases all listen: ctest runs the cases of one fixture side by side.
inline std::string forThisTest() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "";
    std::uint32_t hash = 2166136261u; // FNV-1a
    for (unsigned char c : name) hash = (hash ^ c) * 16777619u;
    return "127." + std::to_string(100 + hash % 100) + "." + std::to_string(hash / 100 % 256) + "." +
           std::to_string(1 + hash / 25600 % 254);
}

constexpr const char* meterCommands = "127.0.0.2";
constexpr const char* nobodyListening = "127.0.0.4";
constexpr const char* meterNeverAccepts = "127.0.0.5";
constexpr const char* fixtureCommands = "127.0.0.6";
constexpr const char* adcDacWindowBench = "127.0.0.8";
constexpr const char* factorySequenceBench = "127.0.0.9";
constexpr const char* simMeter = "127.0.0.10";
constexpr const char* programOnSimBench = "127.0.0.11";
constexpr const char* simMeterMisbehaving = "127.0.0.12";

} // namespace benchaddress
