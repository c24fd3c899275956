#include "app/crash_report.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>

#include "app/crash_report_box.h"
#include "app/crash_report_text.h"

extern char** environ;

namespace {

constexpr int faultSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};

// Everything the handler touches is set up beforehand or lives here, so it needs no heap.
struct CrashHandlerStore {
    std::atomic_flag reporting = ATOMIC_FLAG_INIT;
    // Local time offset read at installation: the C library's time-zone conversion takes a lock.
    long utcOffsetSeconds = 0;
    // A stack overflow leaves no room for the handler on the faulting stack.
    alignas(16) char alternateStack[64 * 1024];
    // "KRV_CRASH_REPORT_BOX=" followed by the report: the fresh process's environment entry.
    char boxEntry[8192];
    // Banner, report and the closing CR LF, written in one piece.
    char fileText[8448];
    char* boxEnvironment[1024];
    // Zero by default: a fault during static initialisation, before any constructor ran, still shows the box.
    bool withoutBox = false;
    int exitCode = 0;
};

CrashHandlerStore store;

#if defined(__x86_64__)
constexpr const char* registerNames[8] = {"RAX", "RBX", "RCX", "RDX", "RBP", "RSI", "RDI", "RSP"};

void readRegisters(const ucontext_t& context, FaultDetails& fault) {
    const greg_t* g = context.uc_mcontext.gregs;
    const int order[8] = {REG_RAX, REG_RBX, REG_RCX, REG_RDX, REG_RBP, REG_RSI, REG_RDI, REG_RSP};
    for (int i = 0; i < 8; ++i) fault.registers[i] = static_cast<std::uint64_t>(g[order[i]]);
    fault.codeAddress = static_cast<std::uint64_t>(g[REG_RIP]);
}
#elif defined(__aarch64__)
// This processor has no RAX..RSP: the first six argument registers, the frame pointer and the stack
// pointer take their eight lines.
constexpr const char* registerNames[8] = {"X0", "X1", "X2", "X3", "X4", "X5", "FP", "SP"};

void readRegisters(const ucontext_t& context, FaultDetails& fault) {
    const auto& m = context.uc_mcontext;
    for (int i = 0; i < 6; ++i) fault.registers[i] = m.regs[i];
    fault.registers[6] = m.regs[29];
    fault.registers[7] = m.sp;
    fault.codeAddress = m.pc;
}
#else
// Other processors: the eight lines keep their names and show 0; the code address comes from the signal.
constexpr const char* registerNames[8] = {"RAX", "RBX", "RCX", "RDX", "RBP", "RSI", "RDI", "RSP"};

void readRegisters(const ucontext_t&, FaultDetails&) {}
#endif

FaultDetails describeFault(int signal, const siginfo_t* info, const void* context) {
    FaultDetails fault;
    const int subCode = info ? info->si_code : 0;
    fault.description = faultDescription(signal, subCode);
    fault.code = signal;
    for (int i = 0; i < 8; ++i) fault.registerNames[i] = registerNames[i];
    // For these two the kernel reports the faulting instruction; the processor context refines it below.
    if (info && (signal == SIGILL || signal == SIGFPE)) fault.codeAddress = reinterpret_cast<std::uintptr_t>(info->si_addr);
    if (context) readRegisters(*static_cast<const ucontext_t*>(context), fault);
    // A segmentation fault is this platform's access violation; only the kernel's carries an address.
    if (info && signal == SIGSEGV && subCode > 0) {
        fault.accessViolation = true;
        fault.targetAddress = reinterpret_cast<std::uintptr_t>(info->si_addr);
    }
    return fault;
}

CrashTime localTimeNow() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return crashTimeFromSeconds(static_cast<std::int64_t>(now.tv_sec) + store.utcOffsetSeconds);
}

void writeAll(int fd, const char* text, std::size_t length) {
    while (length > 0) {
        const ssize_t written = write(fd, text, length);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        text += written;
        length -= static_cast<std::size_t>(written);
    }
}

void appendToBugReport(const char* text, std::size_t length) {
    const int fd = open("bugreport.txt", O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0) return; // no report file, but the box is still shown
    writeAll(fd, text, length);
    close(fd);
}

// The current environment with the box entry in place of any earlier one.
char** environmentWithBoxEntry() {
    constexpr std::size_t prefixLength = sizeof crashReportBoxVariable - 1;
    const std::size_t capacity = sizeof store.boxEnvironment / sizeof store.boxEnvironment[0];
    std::size_t count = 0;
    for (char** entry = environ; entry && *entry && count + 2 < capacity; ++entry) {
        if (std::strncmp(*entry, crashReportBoxVariable, prefixLength) == 0 && (*entry)[prefixLength] == '=') continue;
        store.boxEnvironment[count++] = *entry;
    }
    store.boxEnvironment[count++] = store.boxEntry;
    store.boxEnvironment[count] = nullptr;
    return store.boxEnvironment;
}

// Starts the program again in box-only mode and waits until the user has closed the box. Only calls
// that are safe in a signal handler: _Fork runs no fork handlers that could wait on a lock the fault holds.
void showBoxInFreshProcess() {
    char** environment = environmentWithBoxEntry();
    const pid_t child = _Fork();
    if (child == 0) {
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        // The box must not keep the instrument's port or any other file of the crashed program open.
        close_range(3, ~0u, 0);
        char name[] = "krv650";
        char* arguments[] = {name, nullptr};
        execve("/proc/self/exe", arguments, environment);
        _exit(0);
    }
    if (child < 0) return;
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

void crashHandler(int signal, siginfo_t* info, void* context) {
    // A second thread faulting meanwhile waits here; the first ends the whole process.
    if (store.reporting.test_and_set()) {
        for (;;) pause();
    }
    const FaultDetails fault = describeFault(signal, info, context);

    constexpr std::size_t prefixLength = sizeof crashReportBoxVariable - 1;
    std::memcpy(store.boxEntry, crashReportBoxVariable, prefixLength);
    store.boxEntry[prefixLength] = '=';
    char* report = store.boxEntry + prefixLength + 1;
    const std::size_t reportLength = buildCrashReport(fault, report, sizeof store.boxEntry - prefixLength - 1);

    std::size_t length = buildCrashBanner(localTimeNow(), store.fileText, sizeof store.fileText);
    const std::size_t room = sizeof store.fileText - length - 2;
    const std::size_t copied = reportLength < room ? reportLength : room;
    std::memcpy(store.fileText + length, report, copied);
    length += copied;
    store.fileText[length++] = '\r';
    store.fileText[length++] = '\n';
    appendToBugReport(store.fileText, length);

    if (!store.withoutBox) showBoxInFreshProcess();
    _exit(store.exitCode);
}

} // namespace

void installCrashHandler() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    store.utcOffsetSeconds = local.tm_gmtoff;

    // Covers the installing (GUI) thread, the one whose deep recursion could exhaust its stack.
    stack_t stack{};
    stack.ss_sp = store.alternateStack;
    stack.ss_size = sizeof store.alternateStack;
    sigaltstack(&stack, nullptr);

    struct sigaction action {};
    action.sa_sigaction = crashHandler;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    // A fault inside the handler then ends the process instead of entering it again.
    sigemptyset(&action.sa_mask);
    for (int s : faultSignals) sigaddset(&action.sa_mask, s);
    for (int s : faultSignals) sigaction(s, &action, nullptr);
}

void installCrashHandlerWithoutBox(int exitCode) {
    store.withoutBox = true;
    store.exitCode = exitCode;
    installCrashHandler();
}
