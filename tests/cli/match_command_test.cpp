// Runs the real program's "match" subcommand on a tray of simulated NPN parts saved by the program's
// own run data writer.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/traced_family.h"
#include "program_run.h"
#include "results/run_data_file.h"
#include "sweep/instrument_values.h"
#include "sweep/sweep_parameters.h"

using testsupport::writeFile;

namespace {

// Gains of the tray's parts q1..q8: q5 and q6 are the closest pair (4 %); the next closest differ by 5 %.
const std::vector<double> trayGains = {120, 131, 142, 150, 165, 158.5, 176, 190};

// The sweep the program would have recorded for these traces: 20 V through 270 ohm, 7 steps of 10 uA.
void setRecordedSweep() {
    resetSweepParametersDefaults();
    resetInstrumentValuesDefaults();
    sweepParameters.collectorPeakVoltage = 20;
    sweepParameters.collectorResistor = 2;
}

// 10 uA of noise on every reading, far above the instrument's resolution, with each part's own seed.
void writeNpnRun(const std::filesystem::path& file, double hfe, unsigned seed) {
    Trace trace{SimDevice::Npn, 'I', 20, 270, 10e-6, 0, 6};
    trace.part.forwardBeta = hfe;
    writeFile(file, runDataFileText(*traceFamily(trace, 10e-6, seed)));
}

std::vector<nlohmann::json> jsonLines(const std::string& text) {
    std::vector<nlohmann::json> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
    return lines;
}

std::vector<std::string> textLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The cells of a text table's row.
std::vector<std::string> cells(const std::string& row) {
    std::vector<std::string> words;
    std::istringstream in(row);
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

class MatchCommandTest : public ::testing::Test {
protected:
    testsupport::ScratchDirectory dir;
    void SetUp() override {
        setRecordedSweep();
        std::filesystem::create_directory("tray");
        for (std::size_t k = 0; k < trayGains.size(); ++k)
            writeNpnRun("tray/q" + std::to_string(k + 1) + ".csv", trayGains[k], static_cast<unsigned>(k + 1));
    }
};

TEST_F(MatchCommandTest, ClosestGainsRankFirstByHfeAndByCurves) {
    for (const char* by : {"hfe", "rms", "rms0"}) {
        SCOPED_TRACE(by);
        const ProgramOutcome o = runKrv650({"match", "tray", "--by", by, "--top", "3", "--json"});
        ASSERT_EQ(o.code, 0) << o.err;
        EXPECT_EQ(o.err, "");
        const std::vector<nlohmann::json> pairs = jsonLines(o.out);
        ASSERT_EQ(pairs.size(), 3u);
        const std::string first = pairs[0].at("first"), second = pairs[0].at("second");
        EXPECT_EQ(std::min(first, second), "tray/q5.csv");
        EXPECT_EQ(std::max(first, second), "tray/q6.csv");
        for (std::size_t k = 0; k < pairs.size(); ++k) {
            EXPECT_EQ(pairs[k].at("rank"), k + 1);
            EXPECT_EQ(pairs[k].at("by"), by);
            if (k > 0) {
                EXPECT_LE(pairs[k - 1].at("score").get<double>(), pairs[k].at("score").get<double>());
            }
        }
    }
    // The parameter's values come along, and the score is their difference against the pair's mean.
    const ProgramOutcome o = runKrv650({"match", "tray", "--by", "hfe", "--json", "--top", "1"});
    const nlohmann::json best = jsonLines(o.out).at(0);
    const double a = best.at("first_value"), b = best.at("second_value");
    EXPECT_NEAR(std::max(a, b), 165, 2);
    EXPECT_NEAR(std::min(a, b), 158.5, 2);
    EXPECT_NEAR(best.at("score").get<double>(), 200 * (std::max(a, b) - std::min(a, b)) / (a + b), 1e-9);
}

TEST_F(MatchCommandTest, TextListsTheBestPairsWithTheScoresMeaning) {
    ProgramOutcome o = runKrv650({"match", "tray"});
    ASSERT_EQ(o.code, 0) << o.err;
    std::vector<std::string> lines = textLines(o.out);
    ASSERT_EQ(lines.size(), 12u) << o.out; // the meaning, the column names and the default ten pairs
    EXPECT_EQ(lines[0], "Best 10 of 28 pairs of 8 parts by the RMS difference of their curves in % of full scale:");
    EXPECT_EQ(lines[1].rfind("rank  first", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2].rfind("1     tray/q", 0), 0u) << lines[2];
    EXPECT_EQ(lines[2].back(), '%') << lines[2];

    o = runKrv650({"match", "tray/q1.csv", "tray/q5.csv", "tray/q6.csv", "--by", "hfe"});
    ASSERT_EQ(o.code, 0) << o.err;
    lines = textLines(o.out);
    ASSERT_EQ(lines.size(), 5u) << o.out;
    EXPECT_NE(lines[0].find("hFE in % of the pair's mean"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("hFE first  hFE second"), std::string::npos) << lines[1];
    const std::vector<std::string> best = cells(lines[2]);
    ASSERT_EQ(best.size(), 7u) << lines[2];
    EXPECT_EQ(std::vector<std::string>(best.begin(), best.begin() + 3),
              (std::vector<std::string>{"1", "tray/q5.csv", "tray/q6.csv"}));
    EXPECT_EQ(best[4], "%");
    EXPECT_EQ(best[5].rfind("16", 0), 0u) << lines[2];
    EXPECT_EQ(best[6].rfind("15", 0), 0u) << lines[2];
}

TEST_F(MatchCommandTest, PairsWithoutAScoreComeLastAsADash) {
    // A run whose recorded drive mode is neither current nor voltage yields neither curves nor parameters.
    std::string broken = testsupport::readFile("tray/q1.csv");
    broken.replace(broken.find(",I,20,"), 6, ",X,20,");
    writeFile("broken.csv", broken);
    for (const char* by : {"hfe", "rms"}) {
        SCOPED_TRACE(by);
        ProgramOutcome o = runKrv650({"match", "tray/q5.csv", "broken.csv", "tray/q6.csv", "--by", by});
        ASSERT_EQ(o.code, 0) << o.err;
        const std::vector<std::string> lines = textLines(o.out);
        ASSERT_EQ(lines.size(), 5u) << o.out;
        EXPECT_EQ(cells(lines[2])[1], "tray/q5.csv");
        EXPECT_NE(cells(lines[2])[3], "-");
        for (const std::string& row : {lines[3], lines[4]}) {
            EXPECT_NE(row.find("broken.csv"), std::string::npos) << row;
            EXPECT_EQ(cells(row)[3], "-") << row;
        }
        o = runKrv650({"match", "tray/q5.csv", "broken.csv", "tray/q6.csv", "--by", by, "--json"});
        const std::vector<nlohmann::json> pairs = jsonLines(o.out);
        ASSERT_EQ(pairs.size(), 3u);
        EXPECT_TRUE(pairs[0].at("score").is_number());
        EXPECT_TRUE(pairs[2].at("score").is_null());
    }
    const ProgramOutcome o = runKrv650({"match", "tray/q1.csv", "broken.csv", "--by", "hfe", "--json"});
    const nlohmann::json pair = jsonLines(o.out).at(0);
    EXPECT_TRUE(pair.at("first_value").is_number());
    EXPECT_TRUE(pair.at("second_value").is_null());
}

TEST_F(MatchCommandTest, BinsSortEveryPartAndCountThem) {
    ProgramOutcome o = runKrv650({"match", "tray", "--bins", "hfe:135,155,170.0"});
    ASSERT_EQ(o.code, 0) << o.err;
    for (const char* line : {"tray/q1.csv  12", "< 135\n", "tray/q4.csv  1", "135..155\n", "tray/q6.csv  15",
                             "155..170.0\n", "tray/q8.csv  19", ">= 170.0\n", "Parts per bin:\n  < 135       2\n",
                             "  135..155    2\n", "  155..170.0  2\n", "  >= 170.0    2\n"})
        EXPECT_NE(o.out.find(line), std::string::npos) << line << " in\n" << o.out;

    o = runKrv650({"match", "tray", "--bins", "hfe:135,155,170", "--json"});
    ASSERT_EQ(o.code, 0) << o.err;
    const std::vector<nlohmann::json> parts = jsonLines(o.out);
    ASSERT_EQ(parts.size(), 8u);
    const int expected[] = {0, 0, 1, 1, 2, 2, 3, 3};
    for (std::size_t k = 0; k < parts.size(); ++k) {
        EXPECT_EQ(parts[k].at("file"), "tray/q" + std::to_string(k + 1) + ".csv");
        EXPECT_EQ(parts[k].at("key"), "hfe");
        EXPECT_NEAR(parts[k].at("value").get<double>(), trayGains[k], 2);
        EXPECT_EQ(parts[k].at("bin"), expected[k]) << parts[k];
    }
    EXPECT_EQ(parts[2].at("range"), "135..155");

    // A parameter the parts do not have puts them in no bin.
    o = runKrv650({"match", "tray", "--bins", "vth:1"});
    ASSERT_EQ(o.code, 0) << o.err;
    EXPECT_NE(o.out.find("tray/q3.csv  -    -\n"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("  < 1   0\n  >= 1  0\n  -     8\n"), std::string::npos) << o.out;
}

TEST_F(MatchCommandTest, FilesThatAreNotRunsAreSkippedWithALineEach) {
    writeFile("tray/notes.csv", "ID,Description\r\n100,NPN\r\n");
    writeFile("tray/readme.txt", "not a csv, so not looked at");
    std::filesystem::create_directory("tray/old.csv");
    const ProgramOutcome o = runKrv650({"match", "tray", "tray/q1.csv", "missing.csv", "--json", "--top", "100"});
    ASSERT_EQ(o.code, 0) << o.err;
    EXPECT_EQ(jsonLines(o.out).size(), 28u) << "the eight parts, each once";
    for (const char* problem : {"'tray/notes.csv' is not a run data file", "cannot read 'tray/old.csv'",
                                "cannot read 'missing.csv'", "'tray/q1.csv' is named more than once"})
        EXPECT_NE(o.err.find(problem), std::string::npos) << problem << " in\n" << o.err;
    EXPECT_EQ(o.err.find("readme"), std::string::npos) << o.err;
    EXPECT_EQ(textLines(o.err).size(), 4u) << o.err;
}

TEST_F(MatchCommandTest, FewerThanTwoReadableRunsExitWithThree) {
    writeFile("notes.csv", "ID,Description\r\n");
    std::filesystem::create_directory("empty");
    const std::vector<std::string> cases[] = {
        {"match", "tray/q1.csv"},
        {"match", "tray/q1.csv", "notes.csv", "missing.csv"},
        {"match", "tray/q1.csv", "tray/../tray/q1.csv"},
        {"match", "empty", "--json"},
    };
    for (const auto& arguments : cases) {
        const ProgramOutcome o = runKrv650(arguments);
        EXPECT_EQ(o.code, 3) << arguments[1];
        EXPECT_EQ(o.out, "") << arguments[1];
        EXPECT_NE(o.err.find("fewer than two readable run data files"), std::string::npos) << o.err;
    }
}

TEST_F(MatchCommandTest, BadArgumentsExitWithTwoBeforeReadingAnything) {
    const std::vector<std::string> cases[] = {
        {"match"},
        {"match", "tray", "--by", "colour"},
        {"match", "tray", "--by", "HFE"},
        {"match", "tray", "--top", "0"},
        {"match", "tray", "--top", "-3"},
        {"match", "tray", "--bins", "hfe"},
        {"match", "tray", "--bins", "hfe:"},
        {"match", "tray", "--bins", "hfe:150,130"},
        {"match", "tray", "--bins", "hfe:130,130"},
        {"match", "tray", "--bins", "hfe:130,,150"},
        {"match", "tray", "--bins", "hfe:1k"},
        {"match", "tray", "--bins", "rms:1"},
        {"match", "tray", "--bins", "colour:1"},
        {"match", "tray", "--bins", "hfe:130", "--by", "hfe"},
        {"match", "tray", "--device", "triode"},
    };
    for (const auto& arguments : cases) {
        const ProgramOutcome o = runKrv650(arguments);
        EXPECT_EQ(o.code, 2) << arguments.back();
        EXPECT_EQ(o.out, "") << arguments.back();
        EXPECT_NE(o.err, "") << arguments.back();
    }
}

TEST_F(MatchCommandTest, HelpListsTheExitCodes) {
    ProgramOutcome o = runKrv650({"--help"});
    EXPECT_EQ(o.code, 0);
    EXPECT_NE(o.out.find("match: 0 printed; 1 the output could not be written; 2 bad arguments; 3 fewer than two "
                         "readable run data files."),
              std::string::npos)
        << o.out;
    o = runKrv650({"match", "--help"});
    EXPECT_EQ(o.code, 0);
    for (const char* text : {"FILES", "--by", "rms0", "--top", "--bins", "PARAM:E1,E2,...", "--device", "--json"})
        EXPECT_NE(o.out.find(text), std::string::npos) << text << " in\n" << o.out;
}

} // namespace
