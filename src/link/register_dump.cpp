#include "link/register_dump.h"

#include <array>
#include <cstdio>
#include <fstream>

#include "base/local_time.h"
#include "base/log_hook.h"
#include "link/register_transfer.h"

namespace {

constexpr std::array<const char*, registerCount> registerNames = {
    "unused",
    "control (see protocol manual QSP1.07)",
    "timebase length (in 42.6667us units)",
    "KRV_RampStartDelay (in whole timebase units)",
    "KRV_VbSamplerStop (in 42.6667us units)",
    "KRV_HaltRunLength (in whole timebase units)",
    "KRV_BaseGatePulseStart (in 42.6667us units, absolute)",
    "KRV_BaseGatePulseStop (in 42.6667us units, absolute)",
    "KRV_QuietTimeStart - HV PWM surpression (in 42.6667us units, absolute)",
    "KRV_QuietTimeStop - HV PWM surpression (in 42.6667us units, absolute)",
    "KRV_SamplerStart (in 42.6667us units, absolute)",
    "KRV_SamplerStop (in 42.6667us units, absolute)",
    "KRV_HaltCollectorVoltageMin",
    "KRV_HaltCollectorVoltageMax",
    "KRV_HaltCollectorCurrentMin",
    "KRV_HaltCollectorCurrentMax",
    "KRV_BaseGate_DACIdleRaw",
    "KRV_BaseGate_DACActiveRaw",
    "KRV_BaseGateClampOn (in 42.6667us units, absolute)",
    "KRV_BaseGateClampOff (in 42.6667us units, absolute)",
    "KRV_CollectorPulseStart (in 42.6667us units, absolute)",
    "KRV_CollectorPulseStop (in 42.6667us units, absolute)",
    "KRV_RampMeasurePoint (in 42.6667us units, absolute)",
    "KRV_CollectorResistorSelected",
    "?",
    "?",
    "base/gate mode: 0=voltage, 1=current",
    "current measurement point for normal stopping of ramp (in 42.6667us units, absolute)",
    "current measurement point for safety protection of device (in 42.6667us units, absolute)",
    "KRV_VbSamplerStart (in 42.6667us units)",
    "Flash CAL Lock/Unlock",
    "?",
};

constexpr std::size_t lineWidth = 170;

std::string padRight(std::string text, std::size_t width) {
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text;
}

std::string binary32(std::uint32_t v) {
    std::string bits(32, '0');
    for (int i = 0; i < 32; ++i) {
        if ((v >> (31 - i)) & 1u) {
            bits[static_cast<std::size_t>(i)] = '1';
        }
    }
    return bits;
}

std::string registerLine(int reg, std::uint32_t value) {
    char address[8];
    std::snprintf(address, sizeof address, "0x%02X", static_cast<unsigned>(reg));
    char decimal[16];
    std::snprintf(decimal, sizeof decimal, "%10u", static_cast<unsigned>(value));
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(value));
    return std::string(address) + " : " + padRight(registerName(reg), 100) + " : " + decimal + " : " + hex +
           " : 0b" + binary32(value);
}

std::string headerLine() {
    std::string line(lineWidth, ' ');
    // Column numbers count from 1.
    auto put = [&line](std::size_t column, const std::string& text) { line.replace(column - 1, text.size(), text); };
    put(1, "Addr");
    put(8, "Function");
    put(114, "Decimal");
    put(131, "Hex");
    put(154, "Binary (b31...b0)");
    return line;
}


std::string formatTime(const char* format, const std::tm& now) {
    char text[32];
    const std::size_t n = std::strftime(text, sizeof text, format, &now);
    return std::string(text, n);
}

} // namespace

const char* registerName(int reg) {
    return reg >= 0 && reg < registerCount ? registerNames[static_cast<std::size_t>(reg)] : "";
}

std::string registerDumpText(const RegisterImage& image, const std::tm& now) {
    const std::string eol = "\r\n";
    std::string text;
    text += "Time: " + formatTime("%H:%M:%S", now) + eol;
    text += "Date: " + formatTime("%d/%m/%Y", now) + eol;
    text += std::string(16, '-') + eol;
    text += headerLine() + eol;
    text += std::string(lineWidth, '-') + eol;
    for (int reg = 0; reg < registerCount; ++reg) {
        // What went out on the wire: the entry's low 32 bits.
        text += registerLine(reg, static_cast<std::uint32_t>(image[static_cast<std::size_t>(reg)])) + eol;
    }
    return text;
}

std::string registerDumpFileName(const std::tm& now) {
    return "debug/debug_" + formatTime("%H%M%S", now) + ".txt";
}

void writeRegisterDump() {
    const std::tm now = localNow();
    std::ofstream out(registerDumpFileName(now), std::ios::binary | std::ios::trunc);
    if (!out) {
        logFailure("Register dump not written: cannot create " + registerDumpFileName(now));
        return;
    }
    const std::string text = registerDumpText(registerImage, now);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out) logFailure("Register dump cut short: " + registerDumpFileName(now));
}
