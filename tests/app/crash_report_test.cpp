#include "app/crash_report.h"

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "app/crash_report_box.h"
#include "base/thread_signal_stack.h"
#include "app/crash_report_text.h"
#include "test_support.h"

extern char** environ;

namespace {

volatile int recursionLimit = 1 << 30;

// Deep enough to run off any thread's stack; the frame is kept live so no call becomes a jump.
int recurseWithoutEnd(int depth) {
    volatile char frame[512];
    frame[depth % 512] = static_cast<char>(depth);
    if (depth >= recursionLimit) return frame[0];
    return recurseWithoutEnd(depth + 1) + frame[depth % 512];
}

// The fault kinds, provoked for real so that the handler sees the kernel's own signal information.
[[noreturn]] void provokeFault(const std::string& kind) {
    if (kind == "segv") {
        volatile std::uintptr_t unmapped = 16;
        *reinterpret_cast<volatile int*>(unmapped) = 1;
    } else if (kind == "bus") {
        // A page of an empty file has nothing behind it.
        std::FILE* file = std::tmpfile();
        void* page = mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_SHARED, fileno(file), 0);
        *static_cast<volatile char*>(page) = 1;
    } else if (kind == "ill") {
#if defined(__x86_64__)
        asm volatile("ud2");
#else
        std::raise(SIGILL);
#endif
    } else if (kind == "fpe") {
#if defined(__x86_64__)
        // In assembler so that the sanitizers' division check cannot step in first.
        int dividend = 1;
        const int divisor = 0;
        asm volatile("cltd\n\tidivl %1" : "+a"(dividend) : "r"(divisor) : "edx", "cc");
#else
        std::raise(SIGFPE);
#endif
    } else if (kind == "abort") {
        std::abort();
    } else if (kind == "overflow-thread") {
        // A thread of the program that exhausts its stack, as runaway recursion on the comms thread would.
        std::thread([] {
            useAlternateSignalStack();
            recurseWithoutEnd(0);
        }).join();
    } else if (kind == "segv-thread") {
        // The comms thread can fault too; the handler runs there and still ends the whole process.
        std::thread([] { provokeFault("segv"); }).join();
    }
    std::_Exit(99);
}

// This test program doubles as the crashing program: started with KRV_TEST_FAULT it installs the crash
// handler and faults; started by the handler it only shows the box, as the real program does.
const bool childRoleDone = [] {
    if (crashReportBoxRequested()) std::_Exit(showCrashReportBox());
    if (const char* kind = std::getenv("KRV_TEST_FAULT")) {
        installCrashHandler();
        provokeFault(kind);
    }
    return true;
}();

struct ChildResult {
    int exitCode = -1;
    std::string output; // standard output and error, the box's text included
};

ChildResult runFaultingChild(const std::string& kind) {
    std::vector<std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        const std::string e = *entry;
        if (e.rfind("QT_QPA_PLATFORM=", 0) != 0 && e.rfind("KRV_", 0) != 0) variables.push_back(e);
    }
    // Nobody could answer a real box; the offscreen platform writes it to standard error instead.
    variables.push_back("QT_QPA_PLATFORM=offscreen");
    variables.push_back("KRV_TEST_FAULT=" + kind);
    std::vector<char*> environment;
    for (auto& v : variables) environment.push_back(v.data());
    environment.push_back(nullptr);

    int pipeEnds[2];
    EXPECT_EQ(pipe(pipeEnds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 2);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    char name[] = "tests_app";
    char* arguments[] = {name, nullptr};
    pid_t child = -1;
    EXPECT_EQ(posix_spawn(&child, "/proc/self/exe", &actions, nullptr, arguments, environment.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);

    ChildResult result;
    char chunk[4096];
    for (ssize_t got; (got = read(pipeEnds[0], chunk, sizeof chunk)) > 0;) result.output.append(chunk, static_cast<std::size_t>(got));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    return result;
}

std::vector<std::string> splitAt(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(separator, from)) != std::string::npos; from = at + separator.size())
        parts.push_back(text.substr(from, at - from));
    parts.push_back(text.substr(from));
    return parts;
}

struct FaultCase {
    const char* kind;
    int signal;
    const char* description;
    bool targetLine;
};

// One report as the box showed it: every line ended by CR, the fixed lines in place.
void expectReportLayout(const std::string& report, const FaultCase& c) {
    EXPECT_EQ(report.find('\n'), std::string::npos);
    ASSERT_FALSE(report.empty());
    EXPECT_EQ(report.back(), '\r');
    std::vector<std::string> lines = splitAt(report.substr(0, report.size() - 1), "\r");
    std::vector<std::string> expected = {
        "Sorry! A program error was detected:",
        "",
        std::string("Error Message:   ") + c.description,
        "Error Code:      " + std::to_string(c.signal),
        "Code Address:    #",
    };
    if (c.targetLine) expected.push_back("Target Address:  16");
    for (const char* line : {"Sourcecode line: Enable OnError lines support to get code line information.", "",
                             "Register content:", "RAX = #", "RBX = #", "RCX = #", "RDX = #", "RBP = #", "RSI = #",
                             "RDI = #", "RSP = #", "Display of registers R8-R15 skipped.", "",
                             "Please email both 'bugreport.txt' and 'log.txt' to support@halvane.com",
                             "We will attempt to fix this bug ASAP. Thank you again for your help!"})
        expected.push_back(line);
    ASSERT_EQ(lines.size(), expected.size()) << report;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& want = expected[i];
        if (!want.empty() && want.back() == '#') {
            // A decimal number where the layout has "#"; the code address and stack pointer are never 0.
            const std::string head = want.substr(0, want.size() - 1);
            const std::string number = lines[i].substr(0, head.size()) == head ? lines[i].substr(head.size()) : "";
            EXPECT_TRUE(!number.empty() && number.find_first_not_of("0123456789") == std::string::npos) << lines[i];
            if (head == "Code Address:    " || head == "RSP = ") {
                EXPECT_NE(number, "0") << lines[i];
            }
        } else {
            EXPECT_EQ(lines[i], want);
        }
    }
}

TEST(CrashReport, EachFaultKindAppendsItsReportShowsTheBoxAndExitsWithZero) {
    testsupport::ScratchDirectory dir;
    const FaultCase cases[] = {
        {"segv", SIGSEGV, "Access violation (address not mapped)", true},
        {"bus", SIGBUS, "Bus error (no memory behind the address)", false},
        {"ill", SIGILL, "Illegal instruction", false},
        {"fpe", SIGFPE, "Integer division by zero", false},
        {"abort", SIGABRT, "Program aborted", false},
        {"segv-thread", SIGSEGV, "Access violation (address not mapped)", true},
    };
    const std::string dayBefore = testsupport::todayDayMonthYear();
    std::vector<std::string> shownReports;
    for (const FaultCase& c : cases) {
        const ChildResult child = runFaultingChild(c.kind);
        EXPECT_EQ(child.exitCode, 0) << c.kind << "\n" << child.output;
        // The offscreen box prints "title: body" and a line end.
        const std::string title = "OnError Handler: ";
        const std::size_t at = child.output.find(title);
        ASSERT_NE(at, std::string::npos) << c.kind << "\n" << child.output;
        const std::size_t end = child.output.find('\n', at);
        shownReports.push_back(child.output.substr(at + title.size(), end - at - title.size()));
        expectReportLayout(shownReports.back(), c);
    }
    const std::string dayAfter = testsupport::todayDayMonthYear();

    // The file holds the five reports in the order of the crashes, each behind its own banner.
    const std::string file = testsupport::readFile("bugreport.txt");
    const std::vector<std::string> pieces = splitAt(file, "***************************\r\n");
    ASSERT_EQ(pieces.size(), std::size(cases) + 1) << file;
    EXPECT_EQ(pieces[0], "");
    const std::regex dateLine(R"(\*\*\* (\d\d/\d\d/\d{4}) \d\d:\d\d:\d\d \*\*\*\r\n)");
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::string& piece = pieces[i + 1];
        std::smatch match;
        ASSERT_TRUE(std::regex_search(piece, match, dateLine, std::regex_constants::match_continuous)) << piece;
        EXPECT_TRUE(match[1] == dayBefore || match[1] == dayAfter) << match[1];
        EXPECT_EQ(piece.substr(match.length()), shownReports[i] + "\r\n") << cases[i].kind;
    }
}

TEST(CrashReport, ThreadThatExhaustsItsStackStillLeavesItsReport) {
    testsupport::ScratchDirectory dir;
    const ChildResult child = runFaultingChild("overflow-thread");
    EXPECT_EQ(child.exitCode, 0) << child.output;
    EXPECT_NE(child.output.find("OnError Handler: "), std::string::npos) << child.output;
    EXPECT_NE(testsupport::readFile("bugreport.txt").find("***************************\r\n"), std::string::npos);
}

TEST(CrashReport, BoxIsShownWhenTheReportFileCannotBeWritten) {
    testsupport::ScratchDirectory dir;
    std::filesystem::create_directory("bugreport.txt");
    const ChildResult child = runFaultingChild("abort");
    EXPECT_EQ(child.exitCode, 0);
    EXPECT_NE(child.output.find("OnError Handler: Sorry! A program error was detected:\r\r"), std::string::npos)
        << child.output;
    EXPECT_TRUE(std::filesystem::is_directory("bugreport.txt"));
}

TEST(CrashReport, BannerDatesMatchTheCalendar) {
    for (std::int64_t seconds : {0LL, 951782400LL, 951868799LL, 1709164800LL, 1709251199LL, 1735689599LL, 4107542400LL,
                                 -86400LL, 253402300799LL}) {
        const std::time_t t = static_cast<std::time_t>(seconds);
        std::tm utc{};
        gmtime_r(&t, &utc);
        char expected[64];
        std::strftime(expected, sizeof expected, "***************************\r\n*** %d/%m/%Y %H:%M:%S ***\r\n", &utc);
        char banner[64];
        buildCrashBanner(crashTimeFromSeconds(seconds), banner, sizeof banner);
        EXPECT_STREQ(banner, expected) << seconds;
    }
}

TEST(CrashReport, ReportIsCutAtTheBufferEnd) {
    FaultDetails fault;
    fault.description = "Access violation";
    char small[40];
    const std::size_t length = buildCrashReport(fault, small, sizeof small);
    EXPECT_EQ(length, sizeof small - 1);
    EXPECT_EQ(std::string(small), std::string("Sorry! A program error was detected:\r\rE"));
}

} // namespace
