#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "link/register_transfer.h"
#include "support/logic_defaults.h"
#include "sweep/instrument_values.h"
#include "sweep/sweep_parameters.h"

namespace {

// Every write handed to the serial link, as parsed frames.
struct SentWrites {
    std::vector<std::vector<ParsedFrame>> writes;

    std::vector<int> registers(std::size_t write) const {
        std::vector<int> regs;
        for (const ParsedFrame& f : writes.at(write)) {
            regs.push_back(f.reg);
        }
        return regs;
    }
    std::uint32_t valueOf(std::size_t write, int reg) const {
        for (const ParsedFrame& f : writes.at(write)) {
            if (f.reg == reg) {
                return f.value;
            }
        }
        ADD_FAILURE() << "register " << reg << " not sent";
        return 0;
    }
};

class RegisterTransferTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetLogicDefaults();
        frameSender = [this](const std::uint8_t* bytes, std::size_t length) {
            ASSERT_EQ(length % frameSize, 0u);
            std::vector<ParsedFrame> frames;
            for (std::size_t i = 0; i < length; i += frameSize) {
                frames.push_back(parseFrame(bytes + i));
                EXPECT_TRUE(frames.back().checksumOk);
                EXPECT_TRUE(frames.back().isWrite);
            }
            sent.writes.push_back(frames);
        };
    }
    void TearDown() override { frameSender = nullptr; }

    SentWrites sent;
};

TEST_F(RegisterTransferTest, FrameOrderOfWriteRegisters) {
    struct Case {
        int first;
        int count;
        std::vector<int> regs;
    };
    std::vector<int> fullDescending;
    for (int r = 31; r >= 0; --r) {
        fullDescending.push_back(r);
    }
    const Case cases[] = {
        {0, -32, fullDescending},
        {5, 0, {}},
        {5, 3, {5, 6, 7}},
        {5, -3, {7, 6, 5}},
        {30, 4, {30, 31}}, // registers past 31 do not exist
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.first) + "," + std::to_string(c.count));
        sent.writes.clear();
        writeRegisters(c.first, c.count);
        ASSERT_EQ(sent.writes.size(), 1u); // one serial write per transfer
        EXPECT_EQ(sent.registers(0), c.regs);
    }
}

TEST_F(RegisterTransferTest, HaltLimitsTravelAsTwosComplement) {
    instrumentValues.haltVoltageMin = -1;
    instrumentValues.haltVoltageMax = 8388607;
    instrumentValues.haltCurrentMin = -8388607;
    sendRegisterImage();
    EXPECT_EQ(sent.valueOf(0, 12), 0xFFFFFFFFu);
    EXPECT_EQ(sent.valueOf(0, 13), 0x007FFFFFu);
    EXPECT_EQ(sent.valueOf(0, 14), 0xFF800001u);
    EXPECT_EQ(sent.valueOf(0, 15), 0u);
}

TEST_F(RegisterTransferTest, FullTransferSendsOneShotsOnce) {
    prepareRun();
    sendRegisterImage();
    ASSERT_EQ(sent.writes.size(), 1u);
    EXPECT_EQ(sent.writes[0].size(), 32u);
    EXPECT_EQ(sent.writes[0].front().reg, 31);
    EXPECT_EQ(sent.writes[0].back().reg, 0);
    // the control register arrives after every value it acts on
    const std::uint32_t firstControl = sent.valueOf(0, 1);
    EXPECT_EQ(firstControl & 0x3u, 1u);      // run
    EXPECT_NE(firstControl & 0x4u, 0u);      // high-voltage start
    EXPECT_NE(firstControl & (1u << 16), 0u); // high voltage on
    EXPECT_EQ(instrumentValues.runCommand, "Idle");
    EXPECT_EQ(instrumentValues.startStopPulse, "");
    EXPECT_EQ(static_cast<std::uint64_t>(registerImage[regControl]) & 0xFu, 0u);

    sendRegisterImage();
    const std::uint32_t secondControl = sent.valueOf(1, 1);
    EXPECT_EQ(secondControl & 0xFu, 0u);
    EXPECT_NE(secondControl & (1u << 16), 0u);
    EXPECT_NE(secondControl & (1u << 10), 0u); // clamp on idle persists

    prepareStep(1);
    sendRegisterImage();
    EXPECT_EQ(sent.valueOf(2, 1) & 0x3u, 1u);
}

TEST_F(RegisterTransferTest, ConnectAndCalibrationRequestsLastOneTransfer) {
    transferRequests.connectInitPending = 1;
    requestCalibrationErase();
    sendRegisterImage();
    EXPECT_NE(sent.valueOf(0, 1) & (1u << 13), 0u);
    EXPECT_NE(sent.valueOf(0, 1) & (1u << 14), 0u);
    EXPECT_EQ(sent.valueOf(0, 30), 51093u);
    EXPECT_EQ(registerImage[regFlashCalLock], 0);

    const std::uint8_t word[4] = {0x31, 0x30, 0x2E, 0x30};
    requestCalibrationWordWrite(1020, word);
    sendRegisterImage();
    EXPECT_EQ(sent.valueOf(1, 1) & (7u << 13), 1u << 15);
    EXPECT_EQ(sent.valueOf(1, 30), 1020u);
    EXPECT_EQ(sent.valueOf(1, 31), 0x302E3031u); // byte 0 in bits 0-7
    EXPECT_EQ(static_cast<std::uint64_t>(registerImage[regControl]) & (1u << 15), 0u);

    sendRegisterImage();
    EXPECT_EQ(sent.valueOf(2, 1) & (7u << 13), 0u);
}

TEST_F(RegisterTransferTest, HardwareResetSendsOnlyTheControlRegister) {
    registerImage[regControl] = (1 << 16) | (1 << 10);
    sendHardwareReset();
    ASSERT_EQ(sent.writes.size(), 1u);
    EXPECT_EQ(sent.registers(0), std::vector<int>{1});
    EXPECT_EQ(sent.valueOf(0, 1), 0x96000000u | (1u << 16) | (1u << 10));
    EXPECT_EQ(registerImage[regControl], (1 << 16) | (1 << 10));
}

TEST_F(RegisterTransferTest, NoSenderMeansNothingIsSent) {
    frameSender = nullptr;
    sendRegisterImage(); // not connected: composes, dumps and clears all the same
    EXPECT_TRUE(sent.writes.empty());
    EXPECT_EQ(registerImage[regTimebaseLength], 469);
}

} // namespace
