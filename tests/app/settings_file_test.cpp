#include "base/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "test_support.h"
#include "platform/platform.h"

using testsupport::readFile;
using testsupport::writeFile;

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::initPlatform();
        resetSettingsFileDefaults();
        settingsFile.separatorReadPauseMs = 0;
        platform::clearRecordedDialogs();
        platform::installDialogRecorder([](const platform::RecordedDialog&) { return std::string("ok"); });
    }
    void TearDown() override { platform::removeDialogRecorder(); }
    testsupport::ScratchDirectory dir;
};

TEST_F(SettingsFileTest, EmptyValueCountsAsMissingAndLastMatchWins) {
    writeFile("s.txt", "KRV_AutoSave=\r\nOther=1\r\n");
    readSettingText("s.txt", "Yes", "KRV_AutoSave");
    EXPECT_EQ(settingsFile.settingTextResult, "Yes");
    EXPECT_EQ(readFile("s.txt"), "KRV_AutoSave=\r\nOther=1\r\nKRV_AutoSave=Yes\r\n");
    EXPECT_EQ(readSettingWithSeparator("s.txt", "KRV_AutoSave", "=", "No"), "Yes");

    // Distinct values on every matching line: the last line decides, even when it is empty.
    struct Case {
        const char* file;
        const char* value;
    } cases[] = {
        {"K=first\r\nK=second\r\n", "second"},
        {"K=first\r\nK=\r\n", "default"},
        {"K=\r\nK=first\r\nX=1\r\nK=third\r\n", "third"},
    };
    for (const Case& c : cases) {
        writeFile("t.txt", c.file);
        readSettingText("t.txt", "default", "K");
        EXPECT_EQ(settingsFile.settingTextResult, c.value) << c.file;
    }
}

TEST_F(SettingsFileTest, KeysMatchAnyCaseAndTextBeforeTheKeyStaysInTheValue) {
    writeFile("s.txt", "krv_autosave=No\nx KRV_RunNumber=0007\n");
    readSettingText("s.txt", "Yes", "KRV_AutoSave");
    EXPECT_EQ(settingsFile.settingTextResult, "No");
    findSettingValue("s.txt", "KRV_RunNumber");
    EXPECT_EQ(settingsFile.settingFoundValue, "x 0007");
}

TEST_F(SettingsFileTest, WriterRewritesEveryMatchWithTheCallersSpellingAndKeepsOtherLines) {
    writeFile("s.txt", "krv_autosave=No\nA=1\n  old KRV_AUTOSAVE=Maybe\r\nB=2");
    writeSetting("s.txt", "KRV_AutoSave", "Yes");
    EXPECT_EQ(readFile("s.txt"), "KRV_AutoSave=Yes\r\nA=1\r\nKRV_AutoSave=Yes\r\nB=2\r\n");
    EXPECT_EQ(settingsFile.settingFoundValue, "  old Maybe");
    EXPECT_FALSE(std::filesystem::exists("tmp.txt"));
    EXPECT_TRUE(platform::recordedDialogs().empty());
}

TEST_F(SettingsFileTest, WriterNeverAddsAKeyNorCreatesAFile) {
    writeFile("s.txt", "A=1\r\n");
    writeSetting("s.txt", "KRV_AutoSave", "Yes");
    EXPECT_EQ(readFile("s.txt"), "A=1\r\n");
    writeSetting("missing.txt", "A", "2");
    EXPECT_FALSE(std::filesystem::exists("missing.txt"));
}

TEST_F(SettingsFileTest, FailedReplaceKeepsTheOriginalAndReportsError0009) {
    writeFile("s.txt", "A=1\r\n");
    std::filesystem::create_directory("tmp.txt"); // the temporary file cannot be created
    writeSetting("s.txt", "A", "2");
    EXPECT_EQ(readFile("s.txt"), "A=1\r\n");
    ASSERT_EQ(platform::recordedDialogs().size(), 1u);
    EXPECT_EQ(platform::recordedDialogs()[0].title, "Error #0009");
    EXPECT_EQ(platform::recordedDialogs()[0].body, "s.txt error whilst trying to rename 'tmp.txt' to s.txt");
}

TEST_F(SettingsFileTest, BackslashFoldersOpenAsFoldersAndNoBackslashFileIsMade) {
    std::filesystem::create_directory("setups");
    writeFile("setups/My.tsu", "A=1\r\n");
    writeSetting("setups\\My.tsu", "A", "2");
    EXPECT_EQ(readFile("setups/My.tsu"), "A=2\r\n");
    readSettingText("setups\\My.tsu", "x", "B");
    EXPECT_EQ(readFile("setups/My.tsu"), "A=2\r\nB=x\r\n");
    for (const auto& entry : std::filesystem::recursive_directory_iterator("."))
        EXPECT_EQ(entry.path().string().find('\\'), std::string::npos) << entry.path();
}

TEST_F(SettingsFileTest, NumbersParseLikeTheOriginalReaders) {
    struct Case {
        const char* text;
        long long integer;
        double real;
    } cases[] = {
        {"42", 42, 42.0},     {"  -7x", -7, -7.0}, {"+3", 3, 3.0},   {"abc", 0, 0.0},
        {"100.000", 100, 100.0}, {"1e3", 1, 1000.0}, {"", 0, 0.0},  {"99999999999999999999999", 9223372036854775807LL, 1e23},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseSettingInteger(c.text), c.integer) << c.text;
        EXPECT_DOUBLE_EQ(parseSettingReal(c.text), c.real) << c.text;
    }
    writeFile("s.txt", "N=12abc\r\nR=2.5\r\n");
    readSettingInteger("s.txt", 5, "N");
    EXPECT_EQ(settingsFile.settingIntResult, 12);
    readSettingReal("s.txt", 1.0, "R");
    EXPECT_EQ(settingsFile.settingRealResult, 2.5);
    readSettingReal("s.txt", 0.1, "Q");
    EXPECT_EQ(settingsFile.settingRealResult, 0.1);
    findSettingValue("s.txt", "Q");
    EXPECT_EQ(parseSettingReal(settingsFile.settingFoundValue), 0.1);
}

TEST_F(SettingsFileTest, MalformedFilesKeepEveryValidKey) {
    std::mt19937 random(7);
    std::string garbage(4096, '\0');
    for (auto& c : garbage) c = static_cast<char>(random() & 0xFF);
    for (auto& c : garbage)
        if (c == '\n' || c == '=') c = ' ';
    const std::string longLine(1 << 20, 'x');
    writeFile("s.txt", garbage + "\nA=1\n" + longLine + "\r\nB=2\nC=3");
    readSettingText("s.txt", "d", "A");
    EXPECT_EQ(settingsFile.settingTextResult, "1");
    EXPECT_EQ(readSettingWithSeparator("s.txt", "B", "=", "d"), "2");
    EXPECT_EQ(readSettingWithSeparator("s.txt", "C", "=", "d"), "3");
    // A key appended after an unterminated last line gets a line of its own.
    EXPECT_EQ(readSettingWithSeparator("s.txt", "D", "=", "4"), "4");
    EXPECT_EQ(readSettingWithSeparator("s.txt", "C", "=", "d"), "3");
    EXPECT_EQ(readSettingWithSeparator("s.txt", "D", "=", "x"), "4");
}

} // namespace
