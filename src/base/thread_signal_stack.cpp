#include "base/thread_signal_stack.h"

#ifndef _WIN32
#include <signal.h>

#include <cstdlib>
#endif

namespace {

#ifndef _WIN32
constexpr std::size_t alternateStackBytes = 64 * 1024;

// Turns the stack off before freeing it when the thread ends.
struct ThreadSignalStack {
    void* memory = nullptr;
    ~ThreadSignalStack() {
        if (!memory) return;
        stack_t off{};
        off.ss_flags = SS_DISABLE;
        sigaltstack(&off, nullptr);
        std::free(memory);
    }
};
thread_local ThreadSignalStack threadStack;
#endif

} // namespace

void useAlternateSignalStack() {
#ifndef _WIN32
    if (threadStack.memory) return;
    threadStack.memory = std::malloc(alternateStackBytes);
    if (!threadStack.memory) return;
    stack_t stack{};
    stack.ss_sp = threadStack.memory;
    stack.ss_size = alternateStackBytes;
    sigaltstack(&stack, nullptr);
#endif
}
