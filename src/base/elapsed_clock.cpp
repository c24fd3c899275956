#include "base/elapsed_clock.h"

#include <chrono>
#include <thread>

namespace {
const std::chrono::steady_clock::time_point programStart = std::chrono::steady_clock::now();
}

std::int64_t elapsedMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - programStart)
        .count();
}

std::int64_t nextPassMs() {
    return elapsedMilliseconds() + 1;
}

int millisecondsUntil(std::int64_t dueMs, int atMostMs) {
    const std::int64_t left = dueMs - elapsedMilliseconds();
    if (left <= 0) return 0;
    return left < atMostMs ? static_cast<int>(left) : atMostMs;
}

void sleepMilliseconds(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
