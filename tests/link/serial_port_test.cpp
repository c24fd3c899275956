#include <gtest/gtest.h>

#include <fstream>

#include "link/serial_port.h"
#include "pty_peer.h"
#include "test_support.h"

namespace {

bool openCom(int n) {
    return openSerialPort("COM" + std::to_string(n), 115200, 8, ParityNone, 1, HandshakeNone, 250000, 250000);
}

long long msSince(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t).count();
}

} // namespace

TEST(SerialPort, ResolvesPortNames) {
    testsupport::ScratchDirectory scratch;
    linkComPort(4, "/nonexistent/device"); // a dangling link still names the port to open
    struct Case {
        const char* name;
        const char* path;
    } cases[] = {
        {"COM0", ""},           {"COM", ""},          {"COMx", ""},    {"com3", ""}, {"COM3a", ""},
        {"COM3", "/dev/ttyUSB2"}, {"COM1", "/dev/ttyUSB0"}, {"COM4", "ports/COM4"}, {"COM04", "ports/COM4"},
    };
    for (const Case& c : cases) EXPECT_EQ(resolveSerialPortPath(c.name), c.path) << c.name;
}

TEST(SerialPort, CarriesBytesBothWaysThroughALinkedPty) {
    testsupport::ScratchDirectory scratch;
    PtyPeer peer;
    ASSERT_TRUE(peer.open());
    linkComPort(7, peer.slavePath);
    ASSERT_TRUE(openCom(7));
    EXPECT_TRUE(serialPortIsOpen());
    EXPECT_EQ(serialBytesAvailable(), 0);

    std::uint8_t frame[8] = {0x80, 0x01, 0, 0, 0, 1, 0xD5, 0x57};
    EXPECT_EQ(writeSerialPort(frame, 8), 8);
    EXPECT_EQ(peer.receive(8, 1000), std::vector<std::uint8_t>(frame, frame + 8));

    std::vector<std::uint8_t> report(40);
    for (std::size_t i = 0; i < report.size(); ++i) report[i] = static_cast<std::uint8_t>(i * 7); // includes CR, LF, XON
    peer.send(report);
    auto start = std::chrono::steady_clock::now();
    while (serialBytesAvailable() < 40 && msSince(start) < 1000) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(serialBytesAvailable(), 40);
    std::uint8_t got[64] = {};
    EXPECT_EQ(readSerialPort(got, 32), 32);
    EXPECT_EQ(serialBytesAvailable(), 8);
    EXPECT_EQ(readSerialPort(got + 32, 32), 8); // never waits for more than is there
    EXPECT_EQ(std::vector<std::uint8_t>(got, got + 40), report);
    EXPECT_EQ(readSerialPort(got, 8), 0);

    closeSerialPort();
    EXPECT_FALSE(serialPortIsOpen());
    EXPECT_EQ(serialBytesAvailable(), 0);
    EXPECT_EQ(writeSerialPort(frame, 8), 0);
    peer.close();
}

TEST(SerialPort, RefusesPortsThatCannotBeOpened) {
    testsupport::ScratchDirectory scratch;
    linkComPort(2, "/nonexistent/device");
    std::ofstream("plain.txt") << "not a terminal";
    linkComPort(3, (scratch.path() / "plain.txt").string());
    PtyPeer peer;
    ASSERT_TRUE(peer.open());
    linkComPort(5, peer.slavePath);
    ASSERT_TRUE(openCom(5));
    // A failed open leaves the slot empty rather than holding the previous port.
    for (int n : {0, 2, 3}) {
        EXPECT_FALSE(openCom(n)) << n;
        EXPECT_FALSE(serialPortIsOpen()) << n;
    }
    EXPECT_FALSE(openSerialPort("COM5", 115200, 9, ParityNone, 1, HandshakeNone, 0, 0));
    EXPECT_FALSE(openSerialPort("COM5", 12345, 8, ParityNone, 1, HandshakeNone, 0, 0));
    closeSerialPort();
    peer.close();
}

TEST(SerialPort, NoticesThePeerVanishingAndDoesNotHang) {
    testsupport::ScratchDirectory scratch;
    PtyPeer peer;
    ASSERT_TRUE(peer.open());
    linkComPort(6, peer.slavePath);
    ASSERT_TRUE(openCom(6));
    // Fill the line until the driver refuses more: the write gives up after its bounded wait.
    std::vector<std::uint8_t> block(65536, 0x55);
    auto start = std::chrono::steady_clock::now();
    int total = 0;
    for (int i = 0; i < 8 && total == i * 65536; ++i) total += writeSerialPort(block.data(), 65536);
    EXPECT_LT(total, 8 * 65536);
    EXPECT_LT(msSince(start), 500);
    EXPECT_TRUE(serialPortIsOpen());

    peer.close();
    EXPECT_FALSE(serialPortIsOpen());
    start = std::chrono::steady_clock::now();
    std::uint8_t b[32];
    EXPECT_EQ(readSerialPort(b, 32), 0);
    EXPECT_EQ(serialBytesAvailable(), 0);
    EXPECT_EQ(writeSerialPort(block.data(), 1024), 0);
    EXPECT_LT(msSince(start), 100);
    closeSerialPort();
}
