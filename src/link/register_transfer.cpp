#include "link/register_transfer.h"

#include <array>
#include <cstring>

#include "link/register_dump.h"

void resetRegisterTransferDefaults() {
    registerImage.fill(0);
    transferRequests = TransferRequests{};
}

void requestCalibrationErase() {
    transferRequests.calibrationErasePending = 1;
}

void requestCalibrationWordWrite(std::int64_t byteAddress, const std::uint8_t bytes[4]) {
    transferRequests.calibrationWordWritePending = 1;
    transferRequests.calibrationWordAddress = byteAddress;
    transferRequests.calibrationWord = static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
                                       (static_cast<std::uint32_t>(bytes[2]) << 16) |
                                       (static_cast<std::uint32_t>(bytes[3]) << 24);
}

void writeRegisters(int first, int count) {
    std::array<std::uint8_t, transmitBufferSize> buffer; // only the first `length` bytes are sent
    std::size_t length = 0;
    const long long n = count < 0 ? -static_cast<long long>(count) : count;
    for (long long i = 0; i < n; ++i) {
        const long long reg = count > 0 ? first + i : first + n - 1 - i;
        if (reg < 0 || reg >= registerCount) {
            continue;
        }
        const Frame frame = buildWriteFrame(static_cast<int>(reg), registerImage[static_cast<std::size_t>(reg)]);
        std::memcpy(buffer.data() + length, frame.data(), frame.size());
        length += frame.size();
    }
    if (frameSender) {
        frameSender(buffer.data(), length);
    }
}

void writeRegister(int reg) {
    writeRegisters(reg, 1);
}

void transmitRegisterImage() {
    writeRegisters(0, -registerCount);
    writeRegisterDump();
}

void sendHardwareReset() {
    registerImage[regControl] |= controlHardwareReset;
    writeRegister(regControl);
    registerImage[regControl] &= 0x00FFFFFF;
}
