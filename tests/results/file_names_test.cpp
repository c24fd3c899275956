#include "results/file_names.h"

#include <gtest/gtest.h>

#include "results_fixture.h"

using testsupport::writeFile;

namespace {

using FileNamesTest = ResultsTest;

struct StemCase {
    const char* why;
    void (*options)(SystemSettings&);
    const char* stem;
};

const StemCase stemCases[] = {
    {"defaults", [](SystemSettings&) {}, "Sample_20250314_153045_0000"},
    {"no separators", [](SystemSettings& s) { s.useUnderscores = "No"; }, "Sample202503141530450000"},
    {"space and underscore", [](SystemSettings& s) { s.useSpaces = "Yes"; }, "Sample _20250314 _153045 _0000"},
    {"no date", [](SystemSettings& s) { s.appendDate = "No"; }, "Sample_153045_0000"},
    {"time needs a name",
     [](SystemSettings& s) {
         s.saveFileName = "";
         s.appendDate = "No";
     },
     "0000"},
    {"forbidden characters", [](SystemSettings& s) { s.saveFileName = "X<Y>:Z"; }, "XYZ_20250314_153045_0000"},
    {"only forbidden characters",
     [](SystemSettings& s) {
         s.saveFileName = "<>:\"/\\|?*";
         s.appendDate = "No";
         s.appendRunNumber = "No";
     },
     "Sample"},
    {"graph title and prepend",
     [](SystemSettings& s) {
         s.useGraphTitle = "Yes";
         s.prependRunNumber = "Yes";
         s.appendRunNumber = "No";
     },
     "Set Title Here_0000_20250314_153045"},
    {"dashes, day first, ISO time",
     [](SystemSettings& s) {
         s.dateFormat = "DDMMYYYY";
         s.dateDashs = "Yes";
         s.iso8601 = "Yes";
     },
     "Sample_14-03-2025_T153045_0000"},
    {"month first", [](SystemSettings& s) { s.dateFormat = "MMDDYYYY"; }, "Sample_03142025_153045_0000"},
    {"year day month", [](SystemSettings& s) { s.dateFormat = "YYYYDDMM"; }, "Sample_20251403_153045_0000"},
    {"unknown format", [](SystemSettings& s) { s.dateFormat = "YYMMDD"; }, "Sample_153045_0000"},
    {"unknown dash setting", [](SystemSettings& s) { s.dateDashs = "yes"; }, "Sample_153045_0000"},
    {"date alone starts an empty name",
     [](SystemSettings& s) {
         s.saveFileName = "";
         s.appendTime = "No";
     },
     "20250314_0000"},
    {"a run number cannot name a folder", [](SystemSettings& s) { s.runNumber = "../12"; },
     "Sample_20250314_153045_..12"},
};

TEST_F(FileNamesTest, StemFollowsTheNamingOptions) {
    for (const StemCase& c : stemCases) {
        resetSystemSettingsDefaults();
        c.options(systemSettings);
        EXPECT_EQ(generateFileStem(exampleTime()), c.stem) << c.why;
        EXPECT_EQ(resultNaming.fileStem, c.stem) << c.why;
    }
}

TEST_F(FileNamesTest, RunNumberAdvancesOnlyWithANumberInTheNameAndStopsAt9999) {
    struct Case {
        const char* before;
        const char* prepend;
        const char* append;
        const char* after;
    };
    const Case cases[] = {
        {"0000", "No", "Yes", "0001"}, {"0041", "Yes", "No", "0042"}, {"0041", "No", "No", "0041"},
        {"9999", "No", "Yes", "9999"}, {"12", "No", "Yes", "0013"},   {"-5", "No", "Yes", "0000"},
        {"abc", "No", "Yes", "0001"},  {"99999999999999999999", "No", "Yes", "9999"},
    };
    for (const Case& c : cases) {
        writeFile("settings/system_settings.txt", std::string("KRV_RunNumber=") + c.before + "\r\n");
        systemSettings.runNumber = c.before;
        systemSettings.prependRunNumber = c.prepend;
        systemSettings.appendRunNumber = c.append;
        advanceRunNumber();
        EXPECT_EQ(systemSettings.runNumber, c.after) << c.before;
        EXPECT_EQ(setting("KRV_RunNumber"), c.after) << c.before;
    }
}

TEST_F(FileNamesTest, RunNumberTextsNormaliseToFourDigits) {
    EXPECT_EQ(normalisedRunNumber("12"), "0012");
    EXPECT_EQ(normalisedRunNumber("123456"), "9999");
    EXPECT_EQ(normalisedRunNumber(" 7x"), "0007");
    EXPECT_EQ(normalisedRunNumber(""), "0000");
}

} // namespace
