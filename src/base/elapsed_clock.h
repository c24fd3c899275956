// The program's monotonic clock: milliseconds since the program started.
#pragma once

#include <cstdint>

std::int64_t elapsedMilliseconds();
void sleepMilliseconds(int ms);
