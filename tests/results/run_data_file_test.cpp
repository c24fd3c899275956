#include "results/run_data_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/unit_format.h"
#include "results/sample_runs.h"
#include "results/text_fields.h"
#include "results_fixture.h"

using testsupport::readFile;
using testsupport::writeFile;

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::string_view rest = text, line;
    while (takeLine(rest, line)) out.emplace_back(line);
    return out;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    for (std::size_t start = 0;;) {
        const auto comma = line.find(',', start);
        out.push_back(line.substr(start, comma - start));
        if (comma == std::string::npos) return out;
        start = comma + 1;
    }
}

std::string parameterPart(const std::string& firstDataLine) {
    std::string_view rest = firstDataLine;
    for (int i = 0; i < 11; ++i) takeField(rest);
    return std::string(rest);
}

using RunDataFileTest = ResultsTest;

TEST_F(RunDataFileTest, DefaultsGiveTheHeaderAndTheParameterFieldsOfTheFirstLine) {
    ASSERT_TRUE(writeRunDataFile("saveddata\\run.csv").written);
    const std::string text = readFile("saveddata/run.csv");
    const auto all = lines(text);
    ASSERT_EQ(all.size(), 26u); // header and entry 0 of each of the 25 steps
    EXPECT_EQ(all[0], "Step,Entry,Entries,VR,VB,VC,IR,IB,IC,TIB,TVB,BGmode,VCmax,VCres,ICmax,IBstep,IBoffset,VBstep,"
                      "VBoffset,StepQty,Cpulse,BGpulse,SampleRate,BaseClamping,GraphType,Notes1,Notes2");
    EXPECT_EQ(all[1], "0,0,0,0,0,0,0,0,0,0,0,I,13,27000,0.01,0.00001,0,0.1,0,6,0,0,50,ClampOnIdle,0,Note1...,Note1...");
    EXPECT_EQ(all[2], "1,0,0,0,0,0,0,0,0,0,0,,,,,,,,,,,,,,,,");
    EXPECT_EQ(text.substr(0, 4), "Step"); // no byte-order mark
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), std::count(text.begin(), text.end(), '\r'));
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    for (const auto& line : all) EXPECT_EQ(std::count(line.begin(), line.end(), ','), 26) << line;
}

TEST_F(RunDataFileTest, ParameterFieldsFollowPolaritiesModesAndResistor) {
    struct Case {
        const char* collectorPolarity;
        const char* stepPolarity;
        const char* collectorPulse;
        const char* baseGatePulse;
        std::int64_t resistor;
        const char* expected; // fields 12 to 27
    };
    const Case cases[] = {
        {"Negative", "Negative", "Continuous", "Continuous", 1,
         "I,-13,2550,-0.01,-0.00001,0,-0.1,0,6,0,0,50,ClampOnIdle,0,Note1...,Note1..."},
        // A polarity text that is neither value: VCmax takes the minus, ICmax does not.
        {"positive", "Positive", "Pulsed", "Pulsed", 2,
         "I,-13,270,0.01,0.00001,0,0.1,0,6,300,300,50,ClampOnIdle,0,Note1...,Note1..."},
        {"Positive", "Positive", "Continuous", "ForceActive", 3,
         "I,13,24,0.01,0.00001,0,0.1,0,6,0,,50,ClampOnIdle,0,Note1...,Note1..."},
    };
    for (const Case& c : cases) {
        sweepParameters.collectorPolarity = c.collectorPolarity;
        sweepParameters.stepPolarity = c.stepPolarity;
        sweepParameters.collectorPulseMode = c.collectorPulse;
        sweepParameters.baseGatePulseMode = c.baseGatePulse;
        sweepParameters.collectorResistor = c.resistor;
        EXPECT_EQ(parameterPart(lines(runDataFileText(runRecord))[1]), c.expected) << c.collectorPolarity;
    }
}

TEST_F(RunDataFileTest, VoltageModeWritesBothStepSetsAndAHandEditedNegativePeakHasOneMinus) {
    applyDutType("NMOS_DEP");
    updateDerivedLevels();
    instrumentValues.stepModeLetter = "V";
    sweepParameters.collectorPolarity = "Negative";
    sweepParameters.collectorPeakVoltage = -20; // loaded unvalidated from a test setup
    sweepParameters.graphType = 3;
    EXPECT_EQ(parameterPart(lines(runDataFileText(runRecord))[1]),
              "V,20,27000,-0.01,0.00001,0,0.5,-3,8,0,0,50,ClampOnIdle,3,Note1...,Note1...");
}

TEST_F(RunDataFileTest, SevenStepsGiveEveryEntryOfTheirStepsAndEntryZeroOfTheRest) {
    fillRunRecord(runRecord, 7, 100, 10);
    runRecord.IC[0][1] = 1.5e-9;
    runRecord.IC[0][2] = 1.23e-12;
    const auto all = lines(runDataFileText(runRecord));
    EXPECT_EQ(all.size(), 1u + (101 + 111 + 121 + 131 + 141 + 151 + 161) + 18);
    EXPECT_EQ(fields(all[2])[8], "0.0000000015");
    EXPECT_EQ(fields(all[3])[8], "0");
    EXPECT_EQ(all[2].substr(0, 10), "0,1,100,0.");
    // Entry 0 holds zeros; the last line is entry 0 of step 24.
    EXPECT_EQ(all[102], "1,0,110,0,0,0,0,0,0,0,0,,,,,,,,,,,,,,,,");
    EXPECT_EQ(all.back(), "24,0,0,0,0,0,0,0,0,0,0,,,,,,,,,,,,,,,,");
}

// The value a run data file gives back for a sample: the double nearest to its ten-decimal text.
std::uint64_t writtenBits(double value) {
    return std::bit_cast<std::uint64_t>(decimalValue(formatTrimmed(value)));
}

TEST_F(RunDataFileTest, FullRecordReadsBackBitForBitAndWritesAgainByteForByte) {
    fillRunRecord(runRecord, runRecordSteps, runRecordEntries, 0);
    runRecord.VB[24][10000] = -1.2345678901234;
    runRecord.IC[3][7] = 123456.0000000001;
    ASSERT_TRUE(writeRunDataFile(sampleRunPath(1)).written);
    sampleRuns.sampleRunIndex = 1;
    ASSERT_TRUE(loadSampleRun());

    const RunRecord& back = sampleRunRecord;
    int mismatches = 0;
    for (int s = 0; s < runRecordSteps; ++s) {
        ASSERT_EQ(back.entryCount[s], runRecordEntries);
        for (int e = 0; e <= runRecordEntries; ++e) {
            const double* original[] = {&runRecord.VR[s][e], &runRecord.VB[s][e], &runRecord.VC[s][e],
                                        &runRecord.IR[s][e], &runRecord.IB[s][e], &runRecord.IC[s][e],
                                        &runRecord.TIB[s][e], &runRecord.TVB[s][e]};
            const double* loaded[] = {&back.VR[s][e], &back.VB[s][e], &back.VC[s][e], &back.IR[s][e],
                                      &back.IB[s][e], &back.IC[s][e], &back.TIB[s][e], &back.TVB[s][e]};
            for (int c = 0; c < 8; ++c)
                mismatches += std::bit_cast<std::uint64_t>(*loaded[c]) != writtenBits(*original[c]);
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(back.VB[24][10000], -1.2345678901);
    EXPECT_EQ(sampleRuns.sampleRunParameters[12], "I");
    EXPECT_EQ(sampleRuns.sampleRunParameters[26], "Note1...");

    const std::string first = readFile("sampleruns/0001.csv");
    runRecord = back;
    ASSERT_TRUE(writeRunDataFile(sampleRunPath(2)).written);
    EXPECT_TRUE(readFile("sampleruns/0002.csv") == first);
}

TEST_F(RunDataFileTest, UnwritableFolderFailsWithAReasonAndLeavesNothingBehind) {
    writeFile("blocker", "a file where a folder should be");
    const FileWriteOutcome outcome = writeRunDataFile("blocker\\run.csv");
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(outcome.failure, "Not a directory");
    const FileWriteOutcome missing = writeRunDataFile("nofolder/run.csv");
    EXPECT_FALSE(missing.written);
    EXPECT_EQ(missing.failure, "No such file or directory");
    EXPECT_EQ(readFile("blocker"), "a file where a folder should be");
}

TEST_F(RunDataFileTest, FullDiskKeepsTheOlderFileWholeAndNoTemporaryFile) {
    fillRunRecord(runRecord, 2, 100, 0);
    ASSERT_TRUE(writeRunDataFile("saveddata/run.csv").written);
    const std::string older = readFile("saveddata/run.csv");
    fillRunRecord(runRecord, 7, 500, 0);
    FileWriteOutcome outcome;
    {
        FileSizeLimit limit(older.size());
        outcome = writeRunDataFile("saveddata/run.csv");
    }
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(outcome.failure, "File too large");
    EXPECT_TRUE(readFile("saveddata/run.csv") == older);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("saveddata"), {}), 1);
}

} // namespace
