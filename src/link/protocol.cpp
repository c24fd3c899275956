#include "link/protocol.h"

namespace {

void putBigEndian32(std::uint8_t* out, std::uint32_t v) {
    out[0] = static_cast<std::uint8_t>(v >> 24);
    out[1] = static_cast<std::uint8_t>(v >> 16);
    out[2] = static_cast<std::uint8_t>(v >> 8);
    out[3] = static_cast<std::uint8_t>(v);
}

std::uint32_t getBigEndian32(const std::uint8_t* in) {
    return (static_cast<std::uint32_t>(in[0]) << 24) | (static_cast<std::uint32_t>(in[1]) << 16) |
           (static_cast<std::uint32_t>(in[2]) << 8) | static_cast<std::uint32_t>(in[3]);
}

std::uint16_t getBigEndian16(const std::uint8_t* in) {
    return static_cast<std::uint16_t>((in[0] << 8) | in[1]);
}

void putBigEndian16(std::uint8_t* out, std::uint16_t v) {
    out[0] = static_cast<std::uint8_t>(v >> 8);
    out[1] = static_cast<std::uint8_t>(v);
}

std::int64_t signExtend32(std::uint32_t v) {
    return v >= 0x80000000u ? static_cast<std::int64_t>(v) - 0x100000000LL : static_cast<std::int64_t>(v);
}

Frame buildFrame(bool write, int reg, std::uint32_t value) {
    Frame f{};
    const auto r = static_cast<unsigned>(reg);
    f[0] = static_cast<std::uint8_t>(((r >> 8) & 0x7F) | (write ? 0x80 : 0x00));
    f[1] = static_cast<std::uint8_t>(r & 0xFF);
    putBigEndian32(&f[2], value);
    putBigEndian16(&f[6], protocolChecksum(f.data(), 6));
    return f;
}

} // namespace

std::uint16_t protocolChecksum(const std::uint8_t* bytes, std::size_t length) {
    std::uint32_t sum = checksumSeed;
    for (std::size_t i = 0; i + 1 < length; i += 2) {
        sum += getBigEndian16(bytes + i);
    }
    return static_cast<std::uint16_t>(sum);
}

Frame buildWriteFrame(int reg, std::int64_t value) {
    return buildFrame(true, reg, static_cast<std::uint32_t>(value));
}

Frame buildReadRequestFrame(int reg) {
    return buildFrame(false, reg, 0);
}

ParsedFrame parseFrame(const std::uint8_t* bytes) {
    ParsedFrame p;
    p.checksumOk = protocolChecksum(bytes, 6) == getBigEndian16(bytes + 6);
    p.isWrite = (bytes[0] & 0x80) != 0;
    p.reg = ((bytes[0] & 0x7F) << 8) | bytes[1];
    p.value = getBigEndian32(bytes + 2);
    return p;
}

DecodedReport decodeReport(const std::uint8_t* bytes) {
    DecodedReport d;
    d.receivedChecksum = getBigEndian16(bytes + 30);
    d.checksumOk = protocolChecksum(bytes, 30) == d.receivedChecksum;
    if (!d.checksumOk) {
        return d;
    }
    d.report.statusWord = getBigEndian16(bytes);
    d.report.calibrationWord = getBigEndian16(bytes + 2);
    d.report.rawIc = signExtend32(getBigEndian32(bytes + 4));
    d.report.rawVc = signExtend32(getBigEndian32(bytes + 8));
    d.report.rawVr = signExtend32(getBigEndian32(bytes + 12));
    d.report.rawVb = signExtend32(getBigEndian32(bytes + 16));
    return d;
}

ReportBytes encodeReport(const Report& report) {
    ReportBytes b{};
    putBigEndian16(&b[0], static_cast<std::uint16_t>(report.statusWord));
    putBigEndian16(&b[2], static_cast<std::uint16_t>(report.calibrationWord));
    putBigEndian32(&b[4], static_cast<std::uint32_t>(report.rawIc));
    putBigEndian32(&b[8], static_cast<std::uint32_t>(report.rawVc));
    putBigEndian32(&b[12], static_cast<std::uint32_t>(report.rawVr));
    putBigEndian32(&b[16], static_cast<std::uint32_t>(report.rawVb));
    putBigEndian16(&b[30], protocolChecksum(b.data(), 30));
    return b;
}

const char* stopCodeText(int code) {
    switch (code) {
    case 1: return "MANUAL REQUEST";
    case 2: return "TIMEOUT";
    case 3: return "-Vc LIMIT";
    case 4: return "+Vc LIMIT";
    case 5: return "-Ic LIMIT";
    case 6: return "+Ic LIMIT";
    case 7: return "-Ic EXCEPTION";
    case 8: return "+Ic EXCEPTION";
    case 14: return "USB VOLTAGE (min) EXCEEDED";
    case 15: return "USB VOLTAGE (max) EXCEEDED";
    default: return "";
    }
}
