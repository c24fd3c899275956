// The crash report's text and its file banner. Built into caller buffers without the heap, locks or
// library formatting, so the fault handler can use them whatever state the program is in.
#pragma once

#include <cstddef>
#include <cstdint>

// What the fault handler learnt about one fault.
struct FaultDetails {
    const char* description = "";
    std::int64_t code = 0;            // the signal number
    std::uint64_t codeAddress = 0;    // the faulting instruction
    bool accessViolation = false;     // only then is targetAddress meaningful
    std::uint64_t targetAddress = 0;
    const char* registerNames[8] = {};
    std::uint64_t registers[8] = {};
};

// Local date and time as the banner shows it.
struct CrashTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Short description of a fault kind: signal number and the kernel's sub-code (si_code).
const char* faultDescription(int signal, int subCode);
// Calendar date and time of a count of seconds since 1970-01-01 00:00:00 (local seconds in, local time out).
CrashTime crashTimeFromSeconds(std::int64_t seconds);

// The report, every line ended by CR. Returns its length; the text is cut at capacity - 1 and always
// ends with a NUL.
std::size_t buildCrashReport(const FaultDetails& fault, char* out, std::size_t capacity);
// The asterisk line and the date line, each ended by CR LF.
std::size_t buildCrashBanner(const CrashTime& when, char* out, std::size_t capacity);
