#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "link/register_dump.h"
#include "link/register_transfer.h"

namespace {

std::vector<std::string> splitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find("\r\n", pos);
        EXPECT_NE(end, std::string::npos) << "line without CR LF";
        if (end == std::string::npos) {
            break;
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

std::tm timeOf(int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = 2025 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 7;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

TEST(RegisterDump, LayoutOfAllLines) {
    RegisterImage image{};
    image[1] = 65536;
    image[2] = 469;
    image[12] = 4294967295LL;
    const std::vector<std::string> lines = splitCrLf(registerDumpText(image, timeOf(14, 5, 9)));
    ASSERT_EQ(lines.size(), 37u);
    EXPECT_EQ(lines[0], "Time: 14:05:09");
    EXPECT_EQ(lines[1], "Date: 07/03/2025");
    EXPECT_EQ(lines[2], std::string(16, '-'));
    EXPECT_EQ(lines[4], std::string(170, '-'));
    for (std::size_t i = 3; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].size(), 170u) << "line " << i + 1;
    }
    const std::string& header = lines[3];
    EXPECT_EQ(header.substr(0, 4), "Addr");
    EXPECT_EQ(header.substr(7, 8), "Function");
    EXPECT_EQ(header.substr(113, 7), "Decimal");
    EXPECT_EQ(header.substr(130, 3), "Hex");
    EXPECT_EQ(header.substr(153), "Binary (b31...b0)");

    const std::string name1 = "control (see protocol manual QSP1.07)";
    EXPECT_EQ(lines[6], "0x01 : " + name1 + std::string(100 - name1.size(), ' ') + " :      65536 : 0x00010000 : 0b" +
                            std::string(15, '0') + "1" + std::string(16, '0'));
    EXPECT_EQ(lines[5].substr(0, 13), "0x00 : unused");
    EXPECT_EQ(lines[17].substr(0, 34), "0x0C : KRV_HaltCollectorVoltageMin");
    EXPECT_EQ(lines[17].substr(110), "4294967295 : 0xFFFFFFFF : 0b" + std::string(32, '1'));
    EXPECT_EQ(lines[36].substr(0, 8), "0x1F : ?");
    EXPECT_EQ(lines[33].substr(0, 95),
              "0x1C : current measurement point for safety protection of device (in 42.6667us units, absolute)");
}

TEST(RegisterDump, FileNameFromTimeOfDay) {
    EXPECT_EQ(registerDumpFileName(timeOf(14, 5, 9)), "debug/debug_140509.txt");
    EXPECT_EQ(registerDumpFileName(timeOf(0, 0, 0)), "debug/debug_000000.txt");
}

class RegisterDumpFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        dir = std::filesystem::temp_directory_path() / ("krv_dump_" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
        resetRegisterTransferDefaults();
    }
    void TearDown() override {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(dir);
    }
    std::filesystem::path previous;
    std::filesystem::path dir;
};

TEST_F(RegisterDumpFileTest, WritesIntoDebugFolderAndSkipsWithoutIt) {
    writeRegisterDump(); // no debug folder: nothing, silently
    EXPECT_TRUE(std::filesystem::is_empty(dir));

    std::filesystem::create_directory("debug");
    registerImage[1] = 65536;
    writeRegisterDump();
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator("debug")) {
        files.push_back(entry.path());
    }
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].filename().string().substr(0, 6), "debug_");
    std::ifstream in(files[0], std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.size(), 16 + 18 + 18 + 34 * 172u);
    EXPECT_NE(text.find(" :      65536 : 0x00010000 : "), std::string::npos);
}

} // namespace
