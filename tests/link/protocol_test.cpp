#include <gtest/gtest.h>

#include <vector>

#include "link/protocol.h"

namespace {

std::vector<int> bytesOf(const Frame& f) {
    return {f.begin(), f.end()};
}

TEST(Frames, WriteAndReadRequestBytes) {
    struct Case {
        Frame frame;
        std::vector<int> bytes;
    };
    const Case cases[] = {
        {buildWriteFrame(1, 1), {0x80, 0x01, 0x00, 0x00, 0x00, 0x01, 0xD5, 0x57}},
        {buildReadRequestFrame(), {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x55, 0x55}},
        // a negative halt limit travels as 32-bit two's complement
        {buildWriteFrame(12, -1), {0x80, 0x0C, 0xFF, 0xFF, 0xFF, 0xFF, 0xD5, 0x5F}},
        // only the low 32 bits of an image entry are sent; the checksum wraps modulo 65536
        {buildWriteFrame(31, 0x1'FFFF'FFFFLL), {0x80, 0x1F, 0xFF, 0xFF, 0xFF, 0xFF, 0xD5, 0x72}},
        {buildWriteFrame(2, 469), {0x80, 0x02, 0x00, 0x00, 0x01, 0xD5, 0xD7, 0x2C}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(bytesOf(c.frame), c.bytes);
    }
}

TEST(Frames, ParseRoundTripsAndRejectsCorruption) {
    Frame f = buildWriteFrame(17, 0xDEADBEEF);
    ParsedFrame p = parseFrame(f.data());
    EXPECT_TRUE(p.checksumOk);
    EXPECT_TRUE(p.isWrite);
    EXPECT_EQ(p.reg, 17);
    EXPECT_EQ(p.value, 0xDEADBEEFu);

    f[4] ^= 0x01;
    EXPECT_FALSE(parseFrame(f.data()).checksumOk);

    const Frame request = buildReadRequestFrame();
    p = parseFrame(request.data());
    EXPECT_TRUE(p.checksumOk);
    EXPECT_FALSE(p.isWrite);
    EXPECT_EQ(p.reg, 0);
}

TEST(Reports, DecodeSignExtendsSumsAndChecksChecksum) {
    Report r;
    r.statusWord = 0x80F3;
    r.calibrationWord = 0xBEEF;
    r.rawIc = -1;
    r.rawVc = 662000;
    r.rawVr = -2147483648LL;
    r.rawVb = 2147483647LL;
    ReportBytes bytes = encodeReport(r);

    DecodedReport d = decodeReport(bytes.data());
    ASSERT_TRUE(d.checksumOk);
    EXPECT_EQ(d.report.statusWord, 0x80F3);
    EXPECT_EQ(d.report.calibrationWord, 0xBEEF);
    EXPECT_EQ(d.report.rawIc, -1);
    EXPECT_EQ(d.report.rawVc, 662000);
    EXPECT_EQ(d.report.rawVr, -2147483648LL);
    EXPECT_EQ(d.report.rawVb, 2147483647LL);

    // bytes 4..7 are the big-endian Ic sum
    EXPECT_EQ(bytes[4], 0xFF);
    EXPECT_EQ(bytes[11], static_cast<std::uint8_t>(662000 & 0xFF));
}

TEST(Reports, ReservedByteChangeIsRejectedWithReceivedChecksum) {
    ReportBytes bytes = encodeReport(Report{});
    // all-zero report: checksum is the seed alone
    EXPECT_EQ(bytes[30], 0x55);
    EXPECT_EQ(bytes[31], 0x55);
    bytes[25] = 0x01;
    DecodedReport d = decodeReport(bytes.data());
    EXPECT_FALSE(d.checksumOk);
    EXPECT_EQ(d.receivedChecksum, 0x5555);
    EXPECT_EQ(d.report.rawVc, 0);
}

TEST(Reports, ChecksumCoversEveryWordUpToByte29) {
    // Hand-built report: status 0x8001 and the last reserved word 0x1234 (bytes 28, 29).
    // 0x5555 + 0x8001 + 0x1234 = 0xE78A.
    ReportBytes bytes{};
    bytes[0] = 0x80;
    bytes[1] = 0x01;
    bytes[28] = 0x12;
    bytes[29] = 0x34;
    bytes[30] = 0xE7;
    bytes[31] = 0x8A;
    EXPECT_TRUE(decodeReport(bytes.data()).checksumOk);
    EXPECT_EQ(protocolChecksum(bytes.data(), 30), 0xE78A);

    for (int reserved : {20, 28, 29}) {
        ReportBytes changed = bytes;
        changed[reserved] ^= 0x40;
        EXPECT_FALSE(decodeReport(changed.data()).checksumOk) << "byte " << reserved;
    }
}

TEST(Reports, StopCodeTexts) {
    EXPECT_STREQ(stopCodeText(1), "MANUAL REQUEST");
    EXPECT_STREQ(stopCodeText(6), "+Ic LIMIT");
    EXPECT_STREQ(stopCodeText(15), "USB VOLTAGE (max) EXCEEDED");
    EXPECT_STREQ(stopCodeText(0), "");
    EXPECT_STREQ(stopCodeText(11), "");
}

} // namespace
