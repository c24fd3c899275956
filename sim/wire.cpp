#include "wire.h"

#include <cstddef>


namespace {

// 0x5555 plus the big-endian 16-bit words of `bytes`, modulo 65536.
uint16_t wordSum(const uint8_t* bytes, size_t wordCount) {
    uint32_t sum = 0x5555;
    for (size_t i = 0; i < wordCount; ++i) sum += (uint32_t{bytes[2 * i]} << 8) | bytes[2 * i + 1];
    return static_cast<uint16_t>(sum);
}

bool frameIsGood(const uint8_t* f) {
    return wordSum(f, 3) == ((uint16_t{f[6]} << 8) | f[7]);
}

void putBigEndian(uint8_t* at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<uint8_t>(value >> (8 * (bytes - 1 - i)));
}

} // namespace

bool takeHostFrame(std::vector<uint8_t>& input, FrameSync& sync, HostFrame& frame) {
    constexpr size_t frameSize = 8;
    if (input.size() < frameSize) return false;
    size_t start = 0;
    while (start + frameSize <= input.size() && !frameIsGood(input.data() + start)) ++start;
    if (start + frameSize > input.size()) {
        // No good frame yet: keep the last 7 bytes, which may begin one.
        const size_t drop = input.size() - (frameSize - 1);
        sync.garbageSinceSync += drop;
        sync.discardedBytes += drop;
        input.erase(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(drop));
        return false;
    }
    sync.garbageSinceSync += start;
    sync.discardedBytes += start;
    sync.badFrames += (sync.garbageSinceSync + frameSize - 1) / frameSize;
    sync.garbageSinceSync = 0;
    const uint8_t* f = input.data() + start;
    frame.write = (f[0] & 0x80) != 0;
    frame.registerNumber = ((f[0] & 0x7F) << 8) | f[1];
    frame.value = (uint32_t{f[2]} << 24) | (uint32_t{f[3]} << 16) | (uint32_t{f[4]} << 8) | f[5];
    ++sync.goodFrames;
    input.erase(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(start + frameSize));
    return true;
}

std::array<uint8_t, 32> encodeReport(const ReportFields& fields) {
    std::array<uint8_t, 32> r{};
    putBigEndian(&r[0], fields.statusWord, 2);
    putBigEndian(&r[2], fields.calibrationWord, 2);
    putBigEndian(&r[4], static_cast<uint32_t>(fields.sumIc), 4);
    putBigEndian(&r[8], static_cast<uint32_t>(fields.sumVc), 4);
    putBigEndian(&r[12], static_cast<uint32_t>(fields.rawVr), 4);
    putBigEndian(&r[16], static_cast<uint32_t>(fields.sumVb), 4);
    putBigEndian(&r[30], wordSum(r.data(), 15), 2);
    return r;
}
