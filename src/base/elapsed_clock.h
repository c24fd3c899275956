// The program's monotonic clock: milliseconds since the program started.
#pragma once

#include <cstdint>
#include <limits>

std::int64_t elapsedMilliseconds();
void sleepMilliseconds(int ms);

// A due time that never comes: nothing needs a pass on the clock.
constexpr std::int64_t notDueMs = std::numeric_limits<std::int64_t>::max();
// The due time of work that wants the next pass: loops keep their 1 ms pace while work is pending.
std::int64_t nextPassMs();
// How long an event loop may wait for events before its pass due at `dueMs`: from 0 to `atMostMs`.
int millisecondsUntil(std::int64_t dueMs, int atMostMs);
