// The local date and time, read once.
#pragma once

#include <ctime>

std::tm localNow();
