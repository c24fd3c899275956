#include "results/run_data_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

#include "results/run_data_file.h"
#include "test_support.h"

using testsupport::writeFile;

namespace {

const std::string header = std::string(runDataFileHeader) + "\r\n";
const std::string firstLine = "0,0,2,0,0,0,0,0,0,0,0,I,13,27000,0.01,0.00001,0,0.1,0,6,0,0,50,ClampOnIdle,0,Note1...,Note1...\r\n";

class RunDataReaderTest : public ::testing::Test {
protected:
    testsupport::ScratchDirectory dir;
    std::unique_ptr<RunRecord> record = std::make_unique<RunRecord>();
    RunDataColumns columns;
};

TEST_F(RunDataReaderTest, LoadsAnyPathIntoTheCallersRecordAndSkipsWhatDoesNotFit) {
    writeFile("run.csv", header + firstLine +
                             "0,1,2,0.1,0.2,0.3,0,0,0.004,0.00001,0.5\r\n"
                             "0,2,2,1,2,x3,0,0,4e-3,5,6\r\n"     // a field that is not a number reads 0
                             "25,1,1,9,9,9,9,9,9,9,9\r\n"        // beyond the last step
                             "1,10001,1,9,9,9,9,9,9,9,9\r\n"     // beyond the last entry
                             "-1,1,1,9,9,9,9,9,9,9,9\r\n"
                             "x,1,1,9,9,9,9,9,9,9,9\r\n"
                             "2,1,99999999999999999999,7\r\n"     // a count beyond the record, a short line
                             "3,1,1,1e999,nan,-inf\r\n");
    ASSERT_EQ(loadRunDataFile("run.csv", *record, columns), RunDataLoad::Loaded);
    EXPECT_EQ(columns[12], "I");
    EXPECT_EQ(columns[20], "6");
    EXPECT_EQ(columns[27], "");
    EXPECT_EQ(record->entryCount[0], 2);
    EXPECT_EQ(record->IC[0][1], 0.004);
    EXPECT_EQ(record->VC[0][2], 0.0);
    EXPECT_EQ(record->IC[0][2], 0.004);
    EXPECT_EQ(record->entryCount[1], 0);
    EXPECT_EQ(record->entryCount[2], runRecordEntries);
    EXPECT_EQ(record->VR[2][1], 7.0);
    EXPECT_EQ(record->VB[2][1], 0.0);
    EXPECT_EQ(record->VR[3][1], 0.0); // out of range of a double
    EXPECT_TRUE(std::isnan(record->VB[3][1]));
    EXPECT_TRUE(std::isinf(record->VC[3][1]));
}

TEST_F(RunDataReaderTest, TellsAMissingFileFromOneOfAnotherKindAndLeavesTheRecordAlone) {
    writeFile("table.csv", "ID,Description\r\n0,1,2,0.1,0.2,0.3,0,0,0.004,0.00001,0.5\r\n");
    writeFile("bom.csv", "\xEF\xBB\xBF" + header + firstLine);
    writeFile("longer.csv", std::string(runDataFileHeader) + ",Notes3\r\n" + firstLine);
    writeFile("empty.csv", "");
    std::filesystem::create_directory("folder.csv");
    record->entryCount[4] = 3;
    columns[12] = "V";
    const struct {
        const char* file;
        RunDataLoad outcome;
    } cases[] = {{"missing.csv", RunDataLoad::Unreadable}, {"folder.csv", RunDataLoad::Unreadable},
                 {"table.csv", RunDataLoad::NotRunData},   {"bom.csv", RunDataLoad::NotRunData},
                 {"longer.csv", RunDataLoad::NotRunData},  {"empty.csv", RunDataLoad::NotRunData}};
    for (const auto& c : cases) {
        EXPECT_EQ(loadRunDataFile(c.file, *record, columns), c.outcome) << c.file;
        EXPECT_EQ(record->entryCount[4], 3) << c.file;
        EXPECT_EQ(columns[12], "V") << c.file;
    }
    // The header alone, without a line end or with a bare LF, is a run without samples.
    for (const std::string& text : {std::string(runDataFileHeader), std::string(runDataFileHeader) + "\n"}) {
        writeFile("bare.csv", text);
        EXPECT_EQ(loadRunDataFile("bare.csv", *record, columns), RunDataLoad::Loaded);
        EXPECT_EQ(record->entryCount[4], 0);
        EXPECT_EQ(columns[12], "");
    }
}

TEST_F(RunDataReaderTest, ReadsBackWhatTheProgramWrites) {
    record->entryCount[0] = 2;
    record->VC[0][1] = 1.5;
    record->IC[0][2] = 0.0000000015;
    record->entryCount[6] = 1;
    record->TVB[6][1] = -2.25;
    writeFile("written.csv", runDataFileText(*record));
    auto back = std::make_unique<RunRecord>();
    ASSERT_EQ(loadRunDataFile("written.csv", *back, columns), RunDataLoad::Loaded);
    for (int s = 0; s < runRecordSteps; ++s) EXPECT_EQ(back->entryCount[s], record->entryCount[s]) << s;
    EXPECT_EQ(back->VC[0][1], 1.5);
    EXPECT_EQ(back->IC[0][2], 0.0000000015);
    EXPECT_EQ(back->TVB[6][1], -2.25);
}

} // namespace
