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
    static constexpr const char* closeConnection = "close";
    FakeBenchPeer meter{meterAddress.c_str(), dmmPort, [this](FakeBenchPeer& peer, const std::string& line) {
                            if (line != "READ?") return;
                            const std::string& answer = answers[answered++ % answers.size()];
                            if (answer == closeConnection) peer.closeClient();
                            else peer.send(answer);
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

TEST_F(FactoryBoardWindowTest, MissingFolderIsMadeAndABoardThatCannotBeSavedKeepsItsValuesAndID) {
    std::filesystem::remove_all("factory");
    script = {type(addressField, meterAddress), press(connectButton), press(createCsvButton)};
    for (auto& s : measureBoard()) script.push_back(s);
    // The folder becomes a file: the board cannot be written there.
    script.push_back(check([] {
        std::filesystem::remove_all("factory");
        testsupport::writeFile("factory", "");
    }));
    script.push_back(press(saveButton));
    script.push_back(check([] {
        EXPECT_EQ(platform::controlText(valueField + 0), "22.012 kR");
        std::filesystem::remove("factory");
    }));
    script.push_back(press(saveButton));
    openFactoryFixtureWindow();
    ASSERT_EQ(dialogTitles(), std::vector<std::string>{"640815-3.csv cannot be written"});
    EXPECT_EQ(testsupport::readFile("factory/640815-3.csv"), "1,22.012 kR,2.740 kR,150.250 R,33.013 R\r\n");
}

TEST_F(FactoryBoardWindowTest, FailedReadingLeavesNoValueToSaveAndADroppedMeterCanBeReconnected) {
    answers = {"+2.20123456E+04\n", "2.74 kOhm\n", closeConnection, "+3.30125000E+01\n"};
    script = {press(measureRange + 0),
              type(addressField, meterAddress),
              press(connectButton),
              press(measureRange + 0),
              press(measureRange + 1),
              check([] {
                  EXPECT_EQ(platform::controlText(readingField), "no reading");
                  EXPECT_EQ(platform::controlText(valueField + 1), "-");
              }),
              press(measureRange + 2),
              check([] { EXPECT_EQ(platform::controlText(connectButton), "Connect"); }),
              press(connectButton),
              press(measureRange + 3),
              press(saveButton)};
    openFactoryFixtureWindow();
    EXPECT_EQ(testsupport::readFile("factory/640815-3.csv"), "0,22.012 kR,-,-,33.013 R\r\n");
    EXPECT_EQ(meter.connections(), 2);
    std::vector<std::string> bodies;
    for (const platform::RecordedDialog& d : platform::recordedDialogs()) bodies.push_back(d.body);
    const std::vector<std::string> expected = {"DMM not connected",
                                               "No reading from DMM at " + meterAddress + ": answer is not a number",
                                               "No reading from DMM at " + meterAddress + ": connection lost"};
    EXPECT_EQ(bodies, expected);
}

} // namespace
