// Where the lower layers leave a line about a failure they cannot show themselves (a port that would
// not open and why, a short write, a resynchronisation, a dump that could not be written). Safe to call
// from the comms thread.
#pragma once

#include <string>

using FailureSink = void (*)(const std::string& line);

// Replaces where failure lines go (tests capture them); nullptr restores the default, standard error.
void setFailureSink(FailureSink sink);
void logFailure(const std::string& line);
