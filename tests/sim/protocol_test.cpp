// The simulator on the wire: frames in, reports out, calibration flash, bad input.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "calibration/calibration_file.h"
#include "instrument.h"
#include "sim_host.h"

namespace {

struct Protocol : ::testing::Test {
    SimInstrument sim;
    void SetUp() override { resetSimInstrumentDefaults(sim); }

    HostReport poll() {
        const std::vector<HostReport> r = decodeHostReports(simExchange(sim, readRequest()));
        EXPECT_EQ(r.size(), 1u);
        return r.empty() ? HostReport{} : r[0];
    }

    // Reads the calibration stream from the next sync flag on: the whole block, low byte first.
    std::vector<uint8_t> readFlashByStream() {
        HostReport r = poll();
        for (int i = 0; i < 512 && !r.calibrationSync(); ++i) r = poll();
        EXPECT_TRUE(r.calibrationSync());
        std::vector<uint8_t> block;
        for (int word = 0; word < 512; ++word) {
            if (word > 0) r = poll();
            EXPECT_EQ(r.calibrationSync(), word == 0) << "word " << word;
            block.push_back(static_cast<uint8_t>(r.calibrationWord & 0xFF));
            block.push_back(static_cast<uint8_t>(r.calibrationWord >> 8));
        }
        return block;
    }

    void send(const std::vector<uint8_t>& bytes) { simReceive(sim, bytes.data(), bytes.size()); }
};

TEST_F(Protocol, ReadRequestGetsOneIdleReportAtOnce) {
    const std::vector<uint8_t> bytes = simExchange(sim, {0, 0, 0, 0, 0, 0, 0x55, 0x55});
    ASSERT_EQ(bytes.size(), 32u);
    const HostReport r = decodeHostReport(bytes.data());
    EXPECT_TRUE(r.checksumGood);
    EXPECT_EQ(r.phase(), 0);
    EXPECT_EQ(r.hvState(), 0);
    EXPECT_EQ(r.stopCode(), 0);
    EXPECT_TRUE(r.calibrationSync()); // the stream starts with the first report
    for (int i = 20; i < 30; ++i) EXPECT_EQ(bytes[i], 0) << "reserved byte " << i;
    EXPECT_FALSE(poll().calibrationSync());
    // Nothing comes unasked while idle.
    simAdvance(sim, 2'000'000);
    EXPECT_TRUE(simTakeOutput(sim).empty());
}

TEST_F(Protocol, WritesLandInTheirRegisters) {
    for (int r = 2; r < 32; ++r) send(writeFrame(r, 0x01000000u * static_cast<uint32_t>(r) + 7));
    for (int r = 2; r < 32; ++r) EXPECT_EQ(sim.registers[r], 0x01000000u * static_cast<uint32_t>(r) + 7) << r;
    EXPECT_EQ(sim.sync.goodFrames, 30u);
    EXPECT_EQ(sim.sync.badFrames, 0u);
}

TEST_F(Protocol, CalibrationStreamCarriesTheNominalFileContinuously) {
    // The block as the program's "Default Values" and CREATE would write the file.
    const std::string nominal = calibrationFileContent(nominalCalibrationTexts());
    EXPECT_EQ(readFlashByStream(), std::vector<uint8_t>(nominal.begin(), nominal.end()));
    // After 512 words the stream starts over with the sync flag.
    EXPECT_TRUE(poll().calibrationSync());
}

TEST_F(Protocol, EraseNeedsTheUnlockCodeAndWordWritesAreLittleEndian) {
    const std::array<uint8_t, 1024> nominal = nominalFlashImage();
    // Erase bit with a wrong code, then an address-only word: nothing changes.
    send(writeFrame(30, 51092));
    send(writeFrame(regControl, controlEraseCalibration));
    EXPECT_EQ(sim.flash, nominal);

    send(writeFrame(30, 51093));
    send(writeFrame(regControl, controlEraseCalibration));
    for (uint8_t b : sim.flash) ASSERT_EQ(b, 0xFF);

    struct Case {
        uint32_t address;
        uint32_t word;
    };
    const Case cases[] = {{8, 0x44332211}, {1020, 0x0A0D3930}, {6, 0}, {1024, 0}, {0xFFFFFFFC, 0}};
    for (const Case& c : cases) {
        send(writeFrame(31, c.word));
        send(writeFrame(30, c.address));
        send(writeFrame(regControl, controlWriteCalibrationWord));
    }
    std::vector<uint8_t> expected(1024, 0xFF);
    expected[8] = 0x11, expected[9] = 0x22, expected[10] = 0x33, expected[11] = 0x44;
    expected[1020] = 0x30, expected[1021] = 0x39, expected[1022] = 0x0D, expected[1023] = 0x0A;
    EXPECT_EQ(readFlashByStream(), expected);

    // Without a fresh erase a write can only clear bits, as in real flash.
    send(writeFrame(31, 0x000000FF));
    send(writeFrame(30, 8));
    send(writeFrame(regControl, controlWriteCalibrationWord));
    EXPECT_EQ(sim.flash[8], 0x11);
    EXPECT_EQ(sim.flash[9], 0x00);
}

TEST_F(Protocol, UploadByWholeTransfersReadsBackByteForByte) {
    std::vector<uint8_t> file(1024, 0);
    const std::string text = "9.95\r\n5800\r\n-1\r\n";
    std::copy(text.begin(), text.end(), file.begin());
    file[1000] = 0xC3;
    // As the program does it: each request rides on a transfer of all registers, control register last.
    auto transfer = [&](uint32_t control, uint32_t r30, uint32_t r31) {
        for (int r = 31; r >= 0; --r) send(writeFrame(r, r == 1 ? control : r == 30 ? r30 : r == 31 ? r31 : 0));
    };
    transfer(controlHvSupplyOn | controlEraseCalibration, 51093, 0);
    for (uint32_t address = 0; address < 1024; address += 4) {
        const uint32_t word = file[address] | file[address + 1] << 8 | file[address + 2] << 16 |
                              static_cast<uint32_t>(file[address + 3]) << 24;
        transfer(controlHvSupplyOn | controlWriteCalibrationWord, address, word);
    }
    EXPECT_EQ(readFlashByStream(), file);
}

TEST_F(Protocol, HardwareResetClearsRegistersButKeepsTheFlash) {
    send(writeFrame(2, 469));
    send(writeFrame(regControl, controlHvSupplyOn | controlHvStartRequest));
    simAdvance(sim, 200'000);
    ASSERT_EQ(poll().hvState(), 3);
    send(writeFrame(regControl, controlHardwareReset | controlHvSupplyOn));
    for (uint32_t r : sim.registers) EXPECT_EQ(r, 0u);
    const HostReport r = poll();
    EXPECT_EQ(r.hvState(), 0);
    EXPECT_TRUE(r.calibrationSync());
    EXPECT_EQ(sim.flash, nominalFlashImage());
}

TEST_F(Protocol, BadInputIsDroppedAndTheNextGoodFrameIsObeyed) {
    auto join = [](std::vector<std::vector<uint8_t>> parts) {
        std::vector<uint8_t> all;
        for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
        return all;
    };
    std::vector<uint8_t> badChecksum = writeFrame(20, 5);
    badChecksum[7] ^= 1;
    std::vector<uint8_t> lostByte = writeFrame(20, 6);
    lostByte.erase(lostByte.begin() + 3);
    std::vector<uint8_t> half = writeFrame(20, 7);
    half.resize(4);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        uint64_t badFrames;
        uint64_t ignoredFrames;
    };
    const Case cases[] = {
        {"bad checksum", badChecksum, 1, 0},
        {"frame missing a byte", lostByte, 1, 0},
        {"half frame", half, 1, 0},
        {"stray byte", {0x42}, 1, 0},
        {"two bad frames", join({badChecksum, badChecksum}), 2, 0},
        {"write to register 32", writeFrame(32, 9), 0, 1},
        {"write to register 0x7FFF", writeFrame(0x7FFF, 9), 0, 1},
        {"read of register 40", {0x00, 40, 0, 0, 0, 0, 0x55, 0x7D}, 0, 1},
        {"read of register 5", {0x00, 5, 0, 0, 0, 0, 0x55, 0x5A}, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        resetSimInstrumentDefaults(sim);
        const std::vector<uint8_t> after = simExchange(sim, join({c.bytes, writeFrame(20, 1234), readRequest()}));
        EXPECT_EQ(sim.registers[20], 1234u);
        EXPECT_EQ(sim.sync.badFrames, c.badFrames);
        EXPECT_EQ(sim.ignoredFrames, c.ignoredFrames);
        ASSERT_EQ(after.size(), 32u);
        EXPECT_TRUE(decodeHostReport(after.data()).checksumGood);
    }
}

TEST_F(Protocol, RandomBytesNeverBreakIt) {
    std::mt19937 random(650);
    for (int round = 0; round < 300; ++round) {
        resetSimInstrumentDefaults(sim);
        std::vector<uint8_t> junk(random() % 300);
        for (uint8_t& b : junk) b = static_cast<uint8_t>(random());
        // Split into arbitrary pieces with time passing between them.
        for (size_t at = 0; at < junk.size();) {
            const size_t n = std::min<size_t>(junk.size() - at, 1 + random() % 20);
            simReceive(sim, junk.data() + at, n);
            simAdvance(sim, static_cast<int64_t>(random() % 50000));
            at += n;
        }
        // A hardware reset then a poll always brings the instrument back.
        send(writeFrame(regControl, controlHardwareReset));
        simTakeOutput(sim);
        const std::vector<uint8_t> reply = simExchange(sim, readRequest());
        ASSERT_EQ(reply.size(), 32u) << "round " << round;
        EXPECT_TRUE(decodeHostReport(reply.data()).checksumGood);
    }
}

} // namespace
