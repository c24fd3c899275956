// The program's register image and its transfer to the instrument as write frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "link/protocol.h"

// All registers as last composed; starts at zeros and persists between transfers.
inline RegisterImage registerImage{};

// Carries the concatenated frames of one transfer (possibly none) to the instrument. The serial link
// sets it: it pauses the comms thread around the write and writes only while connected. Unset, a
// transfer goes nowhere.
using FrameSender = std::function<void(const std::uint8_t* bytes, std::size_t length)>;
inline FrameSender frameSender;

inline constexpr std::size_t transmitBufferSize = 16384;

// One-shot requests that the next full transfer carries in control bits 13 to 15, then clears.
struct TransferRequests {
    std::int64_t connectInitPending = 0; // set by connect
    std::int64_t calibrationErasePending = 0;
    std::int64_t calibrationWordWritePending = 0;
    std::int64_t calibrationWordAddress = 0; // byte address 0, 4, ... 1020
    std::uint32_t calibrationWord = 0;       // four block bytes, little-endian
};

inline TransferRequests transferRequests;

// Zeros the image and drops pending requests; the sender stays as set.
void resetRegisterTransferDefaults();

void requestCalibrationErase();
void requestCalibrationWordWrite(std::int64_t byteAddress, const std::uint8_t bytes[4]);

// Frames for registers first .. first + count - 1 (count > 0), or first + |count| - 1 down to first
// (count < 0), sent in one write.
void writeRegisters(int first, int count);
void writeRegister(int reg);

// Sends the image as it stands, registers 31 down to 0 (the control register last), then writes the
// register dump.
void transmitRegisterImage();

// Sends the control register once with the hardware reset command byte.
void sendHardwareReset();
