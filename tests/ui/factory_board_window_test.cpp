// The factory resistor board window against a scripted four-wire meter: the CSV file's numbering,
// restarts and hand-typed values.
#include <filesystem>

#include "support/bench_addresses.h"
#include "support/fake_bench_peer.h"
#include "ui/calibration_window_numbers.h"
#include "ui/calibration_windows.h"
#include "calibration_window_fixture.h"

namespace {

constexpr int first = calwin::factoryFirstControl;
constexpr int addressField = first;
constexpr int connectButton = first + 1;
constexpr int readingField = first + 4;
constexpr int createCsvButton = first + 5;
constexpr int saveButton = first + 6;
constexpr int contentsList = first + 7;
constexpr int measureRange = first + 8; // + k
constexpr int valueField = first + 16;  // + k

class FactoryBoardWindowTest : public CalibrationWindowTest {
protected:
    // Four-wire readings of the board, one per READ?.
    std::vector<std::string> answers = {"+2.20123456E+04\n", "+2.74012345E+03\n", "+1.50250000E+02\n",
                                        "+3.30125000E+01\n"};
    std::size_t answered = 0;
    const std::string meterAddress = benchaddress::forThisTest();
    FakeBenchPeer meter{meterAddress.c_str(), dmmPort, [this](FakeBenchPeer& peer, const std::string& line) {
                            if (line == "READ?") peer.send(answers[answered++ % answers.size()]);
                        }};

    void SetUp() override {
        CalibrationWindowTest::SetUp();
        window = calwin::factoryBoardWindow;
        std::filesystem::create_directory("factory");
    }
    std::vector<std::function<bool()>> measureBoard() {
        std::vector<std::function<bool()>> steps;
        for (int k = 0; k < 4; ++k) steps.push_back(press(measureRange + k));
        return steps;
    }
    static std::vector<std::string> listed() {
        std::vector<std::string> lines;
        for (int i = 0; i < platform::controlItemCount(contentsList); ++i)
            lines.push_back(platform::controlItemText(contentsList, i));
        return lines;
    }
};

TEST_F(FactoryBoardWindowTest, BoardsAreNumberedFromTheCreatedFile) {
    ASSERT_TRUE(meter.listening());
    script = {type(addressField, meterAddress), press(connectButton), press(createCsvButton)};
    for (auto& s : measureBoard()) script.push_back(s);
    script.push_back(check([] {
        EXPECT_EQ(platform::controlText(readingField), "33.0125");
        EXPECT_EQ(platform::controlText(valueField + 0), "22.012 kR");
        EXPECT_EQ(platform::controlText(valueField + 1), "2.740 kR");
        EXPECT_EQ(platform::controlText(valueField + 2), "150.250 R");
        EXPECT_EQ(platform::controlText(valueField + 3), "33.013 R");
    }));
    script.push_back(press(saveButton));
    // A value typed by hand is saved as it stands.
    script.push_back(type(valueField + 2, "149.9 R (hand)"));
    script.push_back(press(saveButton));
    script.push_back(check([this] {
        EXPECT_EQ(platform::controlText(valueField + 0), "-");
        const std::vector<std::string> expected = {"ID,Range 1, Range 2, Range 3, Range 4",
                                                   "1,22.012 kR,2.740 kR,150.250 R,33.013 R",
                                                   "2,-,-,149.9 R (hand),-"};
        EXPECT_EQ(listed(), expected);
    }));
    openFactoryFixtureWindow();
    EXPECT_EQ(testsupport::readFile("factory/640815-3.csv"),
              "ID,Range 1, Range 2, Range 3, Range 4\r\n1,22.012 kR,2.740 kR,150.250 R,33.013 R\r\n"
              "2,-,-,149.9 R (hand),-\r\n");
}

TEST_F(FactoryBoardWindowTest, WithoutCreateCsvTheCounterRestartsAtZeroAndAppends) {
    testsupport::writeFile("factory/640815-3.csv", "ID,Range 1, Range 2, Range 3, Range 4\r\n1,a,b,c,d\r\n");
    script = {press(saveButton)};
    openFactoryFixtureWindow();
    script = {}; // reopened and closed at once: the counter starts at 0 again
    scriptStep = 0;
    openFactoryFixtureWindow();
    EXPECT_EQ(testsupport::readFile("factory/640815-3.csv"),
              "ID,Range 1, Range 2, Range 3, Range 4\r\n1,a,b,c,d\r\n"
              "0,22.000 K,2.740 K,150.000 R,33.000 R\r\n");
    EXPECT_TRUE(platform::recordedDialogs().empty());
}

TEST_F(FactoryBoardWindowTest, MissingFolderAndMissingMeterAreReported) {
    std::filesystem::remove_all("factory");
    script = {press(createCsvButton), press(measureRange + 1),
              check([] { EXPECT_EQ(platform::controlText(valueField + 1), "0.000 kR"); })};
    openFactoryFixtureWindow();
    const std::vector<std::string> titles = {"640815-3.csv cannot be created", "Error"};
    EXPECT_EQ(dialogTitles(), titles);
    EXPECT_EQ(platform::recordedDialogs()[1].body, "DMM not connected");
}

} // namespace
