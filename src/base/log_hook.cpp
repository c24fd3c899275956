#include "base/log_hook.h"

#include <atomic>
#include <cstdio>

namespace {

// Diagnostics, not user messages: they stay out of log.txt, whose lines are the messages shown.
void writeToStandardError(const std::string& line) {
    std::fprintf(stderr, "krv650: %s\n", line.c_str());
}

std::atomic<FailureSink> failureSink{writeToStandardError};

} // namespace

void setFailureSink(FailureSink sink) {
    failureSink.store(sink ? sink : writeToStandardError, std::memory_order_release);
}

void logFailure(const std::string& line) {
    failureSink.load(std::memory_order_acquire)(line);
}
