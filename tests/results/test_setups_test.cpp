#include "results/test_setups.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/file_paths.h"
#include "results_fixture.h"

using testsupport::readFile;
using testsupport::writeFile;
using namespace std::string_literals;

namespace {

class TestSetupsTest : public ResultsTest {
protected:
    void SetUp() override {
        ResultsTest::SetUp();
        writeFile("settings/system_settings.txt", "KRV_FileTestSetup=default.tsu\r\n");
        std::filesystem::create_directory("setups");
    }
};

TEST_F(TestSetupsTest, MissingKeysAreAppendedWithTheValuesInForce) {
    writeFile("a.tsu", "krv_collectorpeakvoltage=25\r\n");
    sweepParameters.collectorPeakCurrent = 0.05;
    loadTestSetup("a.tsu");
    EXPECT_EQ(sweepParameters.collectorPeakVoltage, 25.0);
    EXPECT_EQ(sweepParameters.collectorPeakCurrent, 0.05);
    EXPECT_EQ(readFile("a.tsu"), "krv_collectorpeakvoltage=25\r\nKRV_CollectorPeakCurrent=0.050000000000000003\r\n"
                                 "KRV_CollectorPolarity=Positive\r\nKRV_CollectorPulseMode=Continuous\r\n");
}

TEST_F(TestSetupsTest, StartUpCreatesDefaultTsuOrLoadsTheCurrentFile) {
    loadStartupTestSetup();
    EXPECT_EQ(readFile("default.tsu"), "KRV_CollectorPeakVoltage=13.000000000000000000\r\n"
                                       "KRV_CollectorPeakCurrent=0.010000000000000000\r\n"
                                       "KRV_CollectorPolarity=Positive\r\nKRV_CollectorPulseMode=Continuous\r\n");
    writeFile("setups/mine.tsu", "KRV_CollectorPeakVoltage=50\r\nKRV_CollectorPolarity=positive\r\n"
                                 "KRV_CollectorPulseMode=Pulsed\r\nKRV_CollectorPeakCurrent=0.2\r\n");
    systemSettings.defaultTestSetupOnStart = "No";
    systemSettings.fileTestSetup = "setups\\mine.tsu";
    loadStartupTestSetup();
    EXPECT_EQ(sweepParameters.collectorPeakVoltage, 50.0);
    EXPECT_EQ(sweepParameters.collectorPeakCurrent, 0.2);
    EXPECT_EQ(sweepParameters.collectorPolarity, "positive"); // taken over unvalidated
    EXPECT_EQ(sweepParameters.collectorPulseMode, "Pulsed");
}

TEST_F(TestSetupsTest, GarbageLoadsWhatItCanAndNeverCrashes) {
    writeFile("g.tsu", "\x00\xff\xfe garbage\r\nKRV_CollectorPolarity=Negative\r\n=\r\n\r\n"s + std::string(5000, 'x') +
                           "\nKRV_CollectorPeakVoltage=abc\r\nKRV_CollectorPeakCurrent=1e999\r\n");
    loadTestSetup("g.tsu");
    EXPECT_EQ(sweepParameters.collectorPolarity, "Negative");
    EXPECT_EQ(sweepParameters.collectorPeakVoltage, 0.0);
    EXPECT_EQ(sweepParameters.collectorPeakCurrent, 0.0);
    EXPECT_EQ(sweepParameters.collectorPulseMode, "Continuous");
    EXPECT_NE(readFile("g.tsu").find("\r\nKRV_CollectorPulseMode=Continuous\r\n"), std::string::npos);
}

TEST_F(TestSetupsTest, SavingIsRefusedForAnyNameContainingDefaultTsu) {
    struct Case {
        const char* name;
        bool refused;
    };
    const Case cases[] = {{"default.tsu", true}, {"setups\\MyDefault.TSU", true}, {"DEFAULT.TSU.old", true},
                          {"defaults.tsu", false}, {"setups\\default.ts", false}};
    const std::string content = "KRV_CollectorPeakVoltage=1\r\nKRV_CollectorPeakCurrent=1\r\n"
                                "KRV_CollectorPolarity=x\r\nKRV_CollectorPulseMode=x\r\n";
    sweepParameters.collectorPeakVoltage = 30;
    for (const Case& c : cases) {
        platform::clearRecordedDialogs();
        writeFile(hostPath(c.name), content);
        systemSettings.fileTestSetup = c.name;
        saveTestSetup();
        EXPECT_EQ(dialogs().size(), c.refused ? 1u : 0u) << c.name;
        EXPECT_EQ(readFile(hostPath(c.name)) == content, c.refused) << c.name;
    }
    saveTestSetup(); // the last name again
    systemSettings.fileTestSetup = "default.tsu";
    saveTestSetup();
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(dialogs()[0].title, "File Not Saved");
    EXPECT_EQ(dialogs()[0].body, "You are not allowed to write to 'default.tsu' or any variant ending in 'default.tsu' "
                                 "- please use 'Save As' function to choose another name to save your 'setup' file.");
    EXPECT_EQ(dialogs()[0].icon, platform::IconWarning);
    EXPECT_EQ(readFile("defaults.tsu"), "KRV_CollectorPeakVoltage=30\r\nKRV_CollectorPeakCurrent=0.01\r\n"
                                        "KRV_CollectorPolarity=Positive\r\nKRV_CollectorPulseMode=Continuous\r\n");
}

TEST_F(TestSetupsTest, SaveRewritesOnlyTheLinesThatAreThereAndOpeningAppendsTheLostOne) {
    writeFile("lost.tsu", "KRV_CollectorPeakVoltage=1\r\nKRV_CollectorPolarity=x\r\nKRV_CollectorPulseMode=x\r\n");
    systemSettings.fileTestSetup = "lost.tsu";
    saveTestSetup();
    EXPECT_EQ(readFile("lost.tsu"), "KRV_CollectorPeakVoltage=13\r\nKRV_CollectorPolarity=Positive\r\n"
                                    "KRV_CollectorPulseMode=Continuous\r\n");
    systemSettings.fileTestSetup = "nothere.tsu";
    saveTestSetup();
    EXPECT_FALSE(std::filesystem::exists("nothere.tsu"));
    loadTestSetup("lost.tsu");
    EXPECT_NE(readFile("lost.tsu").find("KRV_CollectorPeakCurrent=0.010000000000000000\r\n"), std::string::npos);
}

TEST_F(TestSetupsTest, OpenLoadsTheChosenFileAndRemembersIt) {
    writeFile("setups/x.tsu", "KRV_CollectorPeakVoltage=70\r\n");
    dialogAnswer = "";
    openTestSetup();
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(dialogs()[0].kind, "open");
    EXPECT_EQ(dialogs()[0].title, "Please choose file to load");
    EXPECT_EQ(dialogs()[0].body, "default.tsu");
    EXPECT_EQ(sweepParameters.collectorPeakVoltage, 13.0); // cancelled: nothing changes
    dialogAnswer = "setups/x.tsu";
    openTestSetup();
    EXPECT_EQ(sweepParameters.collectorPeakVoltage, 70.0);
    EXPECT_EQ(systemSettings.fileTestSetup, "setups/x.tsu");
    EXPECT_EQ(setting("KRV_FileTestSetup"), "setups/x.tsu");
}

TEST_F(TestSetupsTest, SaveAsWritesAllFourKeysIntoANewFileThatBecomesCurrent) {
    sweepParameters.collectorPeakCurrent = 0.075;
    sweepParameters.collectorPulseMode = "Pulsed";
    dialogAnswer = "setups/new";
    saveTestSetupAs();
    EXPECT_EQ(readFile("setups/new.tsu"), "KRV_CollectorPeakVoltage=13\r\nKRV_CollectorPeakCurrent=0.075\r\n"
                                          "KRV_CollectorPolarity=Positive\r\nKRV_CollectorPulseMode=Pulsed\r\n");
    EXPECT_EQ(systemSettings.fileTestSetup, "setups/new.tsu");
    EXPECT_EQ(setting("KRV_FileTestSetup"), "setups/new.tsu");
    EXPECT_EQ(dialogs()[0].kind, "save");

    platform::clearRecordedDialogs();
    dialogAnswer = "setups/Default.tsu";
    saveTestSetupAs();
    EXPECT_EQ(dialogs().back().title, "File Not Saved");
    EXPECT_FALSE(std::filesystem::exists("setups/Default.tsu"));

    writeFile("blocker", "");
    dialogAnswer = "blocker/mine.tsu";
    saveTestSetupAs();
    EXPECT_EQ(dialogs().back().title, "Warning #xxxx");
    EXPECT_EQ(dialogs().back().body, "Test setup not saved: blocker/mine.tsu (Not a directory). Any older file of the "
                                     "same name is unchanged.");
    EXPECT_EQ(systemSettings.fileTestSetup, "setups/new.tsu");
}

TEST_F(TestSetupsTest, SaveAsAddsTheExtensionOnlyWhenTheNameHasNone) {
    const struct {
        const char* chosen;
        const char* saved;
    } cases[] = {{"setups/a", "setups/a.tsu"},
                 {"setups/b.tsu", "setups/b.tsu"},
                 {"setups/c.TSU", "setups/c.TSU"},
                 {"setups/d.Tsu", "setups/d.Tsu"},
                 {"setups/e.tsu.txt", "setups/e.tsu.txt.tsu"},
                 {"setups/ftsu", "setups/ftsu.tsu"}};
    for (const auto& c : cases) {
        dialogAnswer = c.chosen;
        saveTestSetupAs();
        EXPECT_TRUE(std::filesystem::exists(c.saved)) << c.chosen;
        EXPECT_EQ(systemSettings.fileTestSetup, c.saved) << c.chosen;
    }
    EXPECT_FALSE(std::filesystem::exists("setups/c.TSU.tsu"));
}

} // namespace
