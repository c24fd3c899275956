#include "results/sample_runs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "results/result_saving.h"
#include "results_fixture.h"

using testsupport::readFile;
using testsupport::writeFile;

using namespace std::string_literals;

namespace {

const std::string header = "Step,Entry,Entries,VR,VB,VC,IR,IB,IC,TIB,TVB,BGmode\r\n";
const std::string firstLine = "0,0,2,0,0,0,0,0,0,0,0,V,-13,270,0.01,0.00001,0,0.1,0,6,0,0,50,ClampOff,4,Note1...,Note1...\r\n";

class SampleRunsTest : public ResultsTest {
protected:
    // Loads `content` as sample run 5.
    void load(const std::string& content) {
        writeFile("sampleruns/0005.csv", content);
        sampleRuns.sampleRunIndex = 5;
        ASSERT_TRUE(loadSampleRun());
    }
    static std::int64_t count(int step) { return sampleRunRecord.entryCount[step]; }
};

TEST_F(SampleRunsTest, CountIsTheHighestLeadingNumberOfTheCsvFiles) {
    findSampleRuns();
    EXPECT_EQ(sampleRuns.sampleRunCount, 0);
    for (const char* name : {"0003.csv", "0010.csv", "notes.csv", "0099.txt", "7.CSV"}) writeFile(std::string("sampleruns/") + name, "");
    findSampleRuns();
    EXPECT_EQ(sampleRuns.sampleRunCount, 10);
    std::filesystem::remove_all("sampleruns");
    findSampleRuns();
    EXPECT_EQ(sampleRuns.sampleRunCount, 0);
    EXPECT_FALSE(loadSampleRun()); // 0000.csv: no file, no message
    EXPECT_TRUE(dialogs().empty());
    EXPECT_EQ(sampleRunFileName(7), "0007.csv");
    EXPECT_EQ(sampleRunFileName(12345), "12345.csv");
}

TEST_F(SampleRunsTest, ParametersComeFromTheFirstDataLineWithoutTheLastField) {
    load(header + firstLine + "0,1,2,0.1,0.2,0.3,0,0,0.004,0.00001,0.5\r\n0,2,2,1,2,3,0,0,4,5,6\r\n");
    const auto& p = sampleRuns.sampleRunParameters;
    EXPECT_EQ(p[12], "V");
    EXPECT_EQ(p[13], "-13");
    EXPECT_EQ(p[24], "ClampOff");
    EXPECT_EQ(p[25], "4");
    EXPECT_EQ(p[26], "Note1...");
    EXPECT_EQ(p[27], "");
    EXPECT_EQ(count(0), 2);
    EXPECT_EQ(sampleRunRecord.IC[0][1], 0.004);
    EXPECT_EQ(sampleRunRecord.TVB[0][2], 6.0);
}

TEST_F(SampleRunsTest, AFileThatCannotBeOpenedKeepsTheDisplayedRun) {
    load(header + firstLine + "0,1,2,0.1,0.2,0.3,0,0,0.004,0.00001,0.5\r\n");
    sampleRuns.sampleRunIndex = 6;
    EXPECT_FALSE(loadSampleRun());
    EXPECT_EQ(count(0), 2);
    EXPECT_EQ(sampleRuns.sampleRunParameters[12], "V");
}

TEST_F(SampleRunsTest, BadLinesAreSkippedAndTheRestLoads) {
    struct Case {
        const char* why;
        std::string body; // after the header and the first data line
        std::int64_t step0Count;
        std::int64_t step1Count;
        double ic01;
    };
    const Case cases[] = {
        {"step out of range", "25,1,9,1,1,1,1,1,1,1,1\r\n-1,1,9,1,1,1,1,1,1,1,1\r\n0,1,3,0,0,0,0,0,7,0,0\r\n", 3, 0, 7},
        {"entry out of range", "1,10001,9,1,1,1,1,1,1,1,1\r\n1,-1,9,1\r\n0,1,3,0,0,0,0,0,7,0,0\r\n", 3, 0, 7},
        {"step not a number", "x,1,9,1,1,1,1,1,1,1,1\r\n,,,\r\n0,1,3,0,0,0,0,0,7,0,0\r\n", 3, 0, 7},
        {"value not a number", "0,1,3,0,0,0,0,0,seven,0,0\r\n1,1,4,0,0,0\r\n", 3, 4, 0},
        {"count out of range", "0,1,99999,0,0,0,0,0,7,0,0\r\n1,1,-4,0,0,0,0,0,0,0,0\r\n", 10000, 0, 7},
        {"empty line ends the data", "0,1,3,0,0,0,0,0,7,0,0\r\n\r\n1,1,4,0,0,0,0,0,0,0,0\r\n", 3, 0, 7},
        {"bare line feeds", "0,1,3,0,0,0,0,0,7,0,0\n1,1,4,0,0,0,0,0,0,0,0\n", 3, 4, 7},
        {"binary bytes", "\x00\xff,\x01\r\n0,1,3,0,0,0,0,0,7\x00,0,0\r\n"s, 3, 0, 7},
        {"huge numbers", "99999999999999999999,1,3,0\r\n0,99999999999999999999,3\r\n0,1,3,0,0,0,0,0,1e999,0,0\r\n", 3, 0, 0},
    };
    for (const Case& c : cases) {
        sampleRunRecord.IC[0][1] = -1;
        load(header + firstLine + c.body);
        EXPECT_EQ(count(0), c.step0Count) << c.why;
        EXPECT_EQ(count(1), c.step1Count) << c.why;
        EXPECT_EQ(sampleRunRecord.IC[0][1], c.ic01) << c.why;
    }
}

TEST_F(SampleRunsTest, EmptyOrHeaderlessFilesLoadWhatIsThere) {
    load("");
    EXPECT_EQ(count(0), 0);
    EXPECT_EQ(sampleRuns.sampleRunParameters[12], "");
    // Without a header the first line is taken for one.
    load("0,1,3,0,0,0,0,0,7,0,0\r\n1,1,4,0,0,0,0,0,0,0,0\r\n");
    EXPECT_EQ(count(0), 0);
    EXPECT_EQ(count(1), 4);
}

TEST_F(SampleRunsTest, LongFilesLoadUpToAFullRecordAndNoFurther) {
    std::string text = header;
    for (int s = 0; s < 4; ++s)
        for (int e = 0; e <= 10000; ++e) text += std::to_string(s) + "," + std::to_string(e) + ",10000,0,0,0,0,0," + std::to_string(e) + ",0,0\r\n";
    load(text); // 40 005 lines
    EXPECT_EQ(count(3), 10000);
    EXPECT_EQ(sampleRunRecord.IC[3][10000], 10000.0);
    for (int s = 4; s < runRecordSteps; ++s)
        for (int e = 0; e <= 10000; ++e) text += std::to_string(s) + "," + std::to_string(e) + ",10000\r\n";
    text += "0,1,5,0,0,0,0,0,0,0,0\r\n"; // one line past a full record
    load(text);
    EXPECT_EQ(count(24), 10000);
    EXPECT_EQ(count(0), 10000);
}

TEST_F(SampleRunsTest, PagingStaysWithinZeroAndTheCount) {
    writeFile("sampleruns/0001.csv", header + "0,0,1,0,0,0,0,0,0,0,0\r\n");
    writeFile("sampleruns/0002.csv", header + "0,0,2,0,0,0,0,0,0,0,0\r\n");
    findSampleRuns();
    sampleRuns.sampleRunIndex = sampleRuns.sampleRunCount;
    nextSampleRun();
    EXPECT_EQ(sampleRuns.sampleRunIndex, 2);
    EXPECT_EQ(count(0), 2);
    previousSampleRun();
    EXPECT_EQ(count(0), 1);
    previousSampleRun();
    previousSampleRun();
    EXPECT_EQ(sampleRuns.sampleRunIndex, 0);
    EXPECT_EQ(count(0), 1); // 0000.csv does not exist
}

TEST_F(SampleRunsTest, AutoSaveAddsTheNextNumberAndShowsIt) {
    autoSaveRun();
    EXPECT_TRUE(std::filesystem::exists("sampleruns/0001.csv"));
    EXPECT_EQ(sampleRuns.sampleRunIndex, 1);
    writeFile("sampleruns/0037.csv", "");
    findSampleRuns();
    runRecord.entryCount[0] = 3;
    autoSaveRun();
    EXPECT_EQ(sampleRuns.sampleRunCount, 38);
    EXPECT_EQ(sampleRuns.sampleRunIndex, 38);
    ASSERT_TRUE(loadSampleRun());
    EXPECT_EQ(count(0), 3);
    // Past 9999 the numbers grow a digit instead of overwriting run 1000.
    writeFile("sampleruns/1000.csv", "run one thousand");
    sampleRuns.sampleRunCount = 9999;
    autoSaveRun();
    EXPECT_TRUE(std::filesystem::exists("sampleruns/10000.csv"));
    EXPECT_EQ(readFile("sampleruns/1000.csv"), "run one thousand");
    ASSERT_TRUE(loadSampleRun());
    EXPECT_TRUE(dialogs().empty());
}

} // namespace
