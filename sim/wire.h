// The instrument's side of the wire: 8-byte host frames in, 32-byte reports out.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

struct HostFrame {
    bool write = false;
    int registerNumber = 0; // 0..32767 as the frame spells it
    uint32_t value = 0;
};

// Bytes that did not form a good frame, counted as frames when the stream finds a good frame again.
struct FrameSync {
    uint64_t goodFrames = 0;
    uint64_t badFrames = 0;
    uint64_t discardedBytes = 0;
    uint64_t garbageSinceSync = 0;
};

// Takes the next good frame off the front of `input`; false when no complete good frame is there yet.
// Bytes in front of a good frame are discarded; a tail that may still become a frame is kept.
bool takeHostFrame(std::vector<uint8_t>& input, FrameSync& sync, HostFrame& frame);

struct ReportFields {
    uint16_t statusWord = 0;
    uint16_t calibrationWord = 0;
    int32_t sumIc = 0;
    int32_t sumVc = 0;
    int32_t rawVr = 0;
    int32_t sumVb = 0;
};

std::array<uint8_t, 32> encodeReport(const ReportFields& fields);
