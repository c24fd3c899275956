#include "app/crash_report_text.h"

#include <csignal>

#include "app/about_boxes.h"

namespace {

// Appends to a fixed buffer and silently stops at its end; nothing here may allocate.
struct TextBuffer {
    char* out;
    std::size_t capacity;
    std::size_t length = 0;

    void put(char c) {
        if (length + 1 < capacity) out[length++] = c;
    }
    void text(const char* s) {
        while (*s) put(*s++);
    }
    void decimal(std::uint64_t value) {
        char digits[20];
        int count = 0;
        do {
            digits[count++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        while (count > 0) put(digits[--count]);
    }
    void signedDecimal(std::int64_t value) {
        if (value < 0) {
            put('-');
            decimal(0 - static_cast<std::uint64_t>(value));
        } else {
            decimal(static_cast<std::uint64_t>(value));
        }
    }
    void twoDigits(int value) {
        put(static_cast<char>('0' + value / 10 % 10));
        put(static_cast<char>('0' + value % 10));
    }
    void line(const char* s) {
        text(s);
        put('\r');
    }
    std::size_t finish() {
        if (capacity > 0) out[length] = '\0';
        return length;
    }
};

} // namespace

const char* faultDescription(int signal, int subCode) {
    // Sub-codes only mean something when the kernel raised the signal for a fault (si_code > 0).
    const bool fromFault = subCode > 0;
    switch (signal) {
    case SIGSEGV:
        if (fromFault && subCode == SEGV_MAPERR) return "Access violation (address not mapped)";
        if (fromFault && subCode == SEGV_ACCERR) return "Access violation (access not permitted)";
        return "Access violation";
    case SIGBUS:
        if (fromFault && subCode == BUS_ADRALN) return "Bus error (misaligned address)";
        if (fromFault && subCode == BUS_ADRERR) return "Bus error (no memory behind the address)";
        return "Bus error";
    case SIGILL:
        if (fromFault && subCode == ILL_PRVOPC) return "Privileged instruction";
        return "Illegal instruction";
    case SIGFPE:
        if (fromFault && subCode == FPE_INTDIV) return "Integer division by zero";
        if (fromFault && subCode == FPE_INTOVF) return "Integer overflow";
        if (fromFault && subCode == FPE_FLTDIV) return "Floating-point division by zero";
        if (fromFault && subCode == FPE_FLTOVF) return "Floating-point overflow";
        if (fromFault && subCode == FPE_FLTUND) return "Floating-point underflow";
        if (fromFault && subCode == FPE_FLTINV) return "Invalid floating-point operation";
        return "Floating-point exception";
    case SIGABRT: return "Program aborted";
    default: return "Fatal signal";
    }
}

CrashTime crashTimeFromSeconds(std::int64_t seconds) {
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    // Days since 1970-01-01 to a proleptic Gregorian date, in 400-year eras starting on 1 March.
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    CrashTime when;
    when.day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    when.month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    when.year = static_cast<int>(yearOfEra + era * 400 + (when.month <= 2 ? 1 : 0));
    when.hour = static_cast<int>(rest / 3600);
    when.minute = static_cast<int>(rest / 60 % 60);
    when.second = static_cast<int>(rest % 60);
    return when;
}

std::size_t buildCrashReport(const FaultDetails& fault, char* out, std::size_t capacity) {
    TextBuffer b{out, capacity};
    b.line("Sorry! A program error was detected:");
    b.line("");
    b.text("Error Message:   ");
    b.line(fault.description);
    b.text("Error Code:      ");
    b.signedDecimal(fault.code);
    b.put('\r');
    b.text("Code Address:    ");
    b.decimal(fault.codeAddress);
    b.put('\r');
    if (fault.accessViolation) {
        b.text("Target Address:  ");
        b.decimal(fault.targetAddress);
        b.put('\r');
    }
    b.line("Sourcecode line: Enable OnError lines support to get code line information.");
    b.line("");
    b.line("Register content:");
    for (int i = 0; i < 8; ++i) {
        b.text(fault.registerNames[i] ? fault.registerNames[i] : "?");
        b.text(" = ");
        b.decimal(fault.registers[i]);
        b.put('\r');
    }
    b.line("Display of registers R8-R15 skipped.");
    b.line("");
    b.text("Please email both 'bugreport.txt' and 'log.txt' to ");
    b.line(supportEmailAddress);
    b.line("We will attempt to fix this bug ASAP. Thank you again for your help!");
    return b.finish();
}

std::size_t buildCrashBanner(const CrashTime& when, char* out, std::size_t capacity) {
    TextBuffer b{out, capacity};
    b.text("***************************\r\n*** ");
    b.twoDigits(when.day);
    b.put('/');
    b.twoDigits(when.month);
    b.put('/');
    b.decimal(static_cast<std::uint64_t>(when.year));
    b.put(' ');
    b.twoDigits(when.hour);
    b.put(':');
    b.twoDigits(when.minute);
    b.put(':');
    b.twoDigits(when.second);
    b.text(" ***\r\n");
    return b.finish();
}
