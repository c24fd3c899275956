// Runs the real program's "params" subcommand with no display at all and reads what it prints.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <initializer_list>
#include <string>

#include "program_run.h"

using testsupport::writeFile;

namespace {

const std::string header = "Step,Entry,Entries,VR,VB,VC,IR,IB,IC,TIB,TVB,BGmode,VCmax,VCres,ICmax,IBstep,IBoffset,"
                           "VBstep,VBoffset,StepQty,Cpulse,BGpulse,SampleRate,BaseClamping,GraphType,Notes1,Notes2\r\n";

// An NPN family as the program writes it: steps 0..2 of 10 samples up to 5 V, the other steps empty.
std::string npnRun() {
    std::string text = header;
    for (int s = 0; s < 25; ++s) {
        const int count = s < 3 ? 10 : 0;
        for (int e = 0; e <= count; ++e) {
            const double vc = e * 0.5;
            const double ic = e == 0 ? 0 : (s + 1) * 0.001 * (1 + vc / 80);
            text += std::to_string(s) + "," + std::to_string(e) + "," + std::to_string(count) + ",0,0," +
                    std::to_string(vc) + ",0,0," + std::to_string(ic) + ",0,0";
            text += s == 0 && e == 0 ? ",I,5,270,0.01,0.00001,0,0.1,0,2,0,0,50,ClampOnIdle,0,Note1...,Note1...\r\n"
                                     : ",,,,,,,,,,,,,,,,\r\n";
        }
    }
    return text;
}

using Outcome = ProgramOutcome;

Outcome params(std::initializer_list<std::string> arguments) { return runKrv650(arguments); }

class ParamsCommandTest : public ::testing::Test {
protected:
    testsupport::ScratchDirectory dir;
    void SetUp() override { writeFile("Q1 run.csv", npnRun()); }
};

TEST_F(ParamsCommandTest, TextNamesTheKindEveryRowThePointAndTheModelCard) {
    const Outcome o = params({"params", "Q1 run.csv"});
    ASSERT_EQ(o.code, 0) << o.err;
    EXPECT_EQ(o.err, "");
    EXPECT_NE(o.out.find("Device: npn (inferred)\n"), std::string::npos) << o.out;
    // The middle of steps 0..2 (the voltage is checked in the JSON below).
    EXPECT_NE(o.out.find("At the operating point (step 1, Vc "), std::string::npos) << o.out;
    for (const char* row : {"Whole run:\n", "  Vc ", "  Ic ", "  hFE ", "  VA ", "Model card:\n.model Q1_run NPN("})
        EXPECT_NE(o.out.find(row), std::string::npos) << row << " in\n" << o.out;
    EXPECT_EQ(o.out.find("  gm "), std::string::npos) << "a FET's row on a bipolar part with no value";
}

TEST_F(ParamsCommandTest, JsonHasNumbersOrNullAndFollowsTheOptions) {
    const auto valueShape = [](const nlohmann::json& row) {
        EXPECT_TRUE(row.at("value").is_null() || row.at("value").is_number()) << row;
        EXPECT_TRUE(row.at("quality").is_null() || row.at("quality").is_number()) << row;
        EXPECT_TRUE(row.at("text").is_string()) << row;
    };
    Outcome o = params({"params", "Q1 run.csv", "--json"});
    ASSERT_EQ(o.code, 0) << o.err;
    ASSERT_EQ(o.out.find('\n'), o.out.size() - 1) << "one line";
    nlohmann::json json = nlohmann::json::parse(o.out);
    EXPECT_EQ(json.at("file"), "Q1 run.csv");
    EXPECT_EQ(json.at("device"), "npn");
    EXPECT_EQ(json.at("device_inferred"), true);
    EXPECT_EQ(json.at("point").at("step"), 1);
    EXPECT_EQ(json.at("point").at("collector_voltage"), 2.5);
    EXPECT_TRUE(json.at("point").at("collector_current").is_null());
    for (const char* key : {"vc", "ic", "hfe", "beta_ac", "gm", "go", "ro", "vaf", "lambda"})
        valueShape(json.at("point").at("parameters").at(key));
    for (const auto& row : json.at("run")) {
        EXPECT_TRUE(row.at("key").is_string());
        EXPECT_TRUE(row.at("step").is_null() || row.at("step").is_number_integer());
        valueShape(row);
    }
    EXPECT_EQ(json.at("model").get<std::string>().rfind(".model Q1_run NPN(", 0), 0u) << json.at("model");

    o = params({"params", "Q1 run.csv", "--json", "--device", "njfet", "--at", "3,2e-3", "--step", "2"});
    ASSERT_EQ(o.code, 0) << o.err;
    json = nlohmann::json::parse(o.out);
    EXPECT_EQ(json.at("device"), "njfet");
    EXPECT_EQ(json.at("device_inferred"), false);
    EXPECT_EQ(json.at("point").at("step"), 2);
    EXPECT_EQ(json.at("point").at("collector_voltage"), 3.0);
    EXPECT_EQ(json.at("point").at("collector_current"), 0.002);
}

TEST_F(ParamsCommandTest, FilesThatCannotBeReadFailWithOneLineOnStandardError) {
    writeFile("table.csv", "ID,Description\r\n100,NPN\r\n");
    writeFile("almost.csv", header.substr(0, header.size() - 4) + "\r\n0,0,0\r\n"); // Notes2 cut short
    writeFile("empty.csv", "");
    std::filesystem::create_directory("folder.csv");
    const struct {
        const char* file;
        int code;
    } cases[] = {{"missing.csv", 3}, {"folder.csv", 3}, {"table.csv", 4}, {"almost.csv", 4}, {"empty.csv", 4}};
    for (const auto& c : cases) {
        for (const char* format : {"", "--json"}) {
            const Outcome o = format[0] ? params({"params", c.file, format}) : params({"params", c.file});
            EXPECT_EQ(o.code, c.code) << c.file;
            EXPECT_EQ(o.out, "") << c.file;
            EXPECT_NE(o.err.find(c.file), std::string::npos) << o.err;
            EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << o.err;
        }
    }
}

TEST_F(ParamsCommandTest, BadArgumentsExitWithTwo) {
    const std::initializer_list<std::string> cases[] = {
        {"params"},
        {"params", "Q1 run.csv", "--device", "triode"},
        {"params", "Q1 run.csv", "--at", "five"},
        {"params", "Q1 run.csv", "--at", "5,"},
        {"params", "Q1 run.csv", "--at", "5,1mA"},
        {"params", "Q1 run.csv", "--at", "inf"},
        {"params", "Q1 run.csv", "--step", "25"},
        {"params", "Q1 run.csv", "--step", "-1"},
        {"params", "Q1 run.csv", "--colour"},
        {"parameters", "Q1 run.csv"},
    };
    for (const auto& arguments : cases) {
        const Outcome o = params(arguments);
        EXPECT_EQ(o.code, 2) << *(arguments.begin() + 1);
        EXPECT_NE(o.err, "") << *(arguments.begin() + 1);
    }
}

TEST_F(ParamsCommandTest, HelpListsEveryOptionAndTheExitCodesAndVersionPrintsTheVersion) {
    Outcome o = params({"--help"});
    EXPECT_EQ(o.code, 0);
    for (const char* text : {"params", "match", "run", "--version", "Exit codes", "not a run data file"})
        EXPECT_NE(o.out.find(text), std::string::npos) << text << " in\n" << o.out;
    o = params({"params", "--help"});
    EXPECT_EQ(o.code, 0);
    for (const char* text : {"FILE", "--device", "nmos-enh", "--at", "VC[,IC]", "--step", "--json", "Exit codes", "4 the file is not"})
        EXPECT_NE(o.out.find(text), std::string::npos) << text << " in\n" << o.out;
    o = params({"--version"});
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(o.out, "krv650 25.004\n");
}

} // namespace

// The window program where no window can open says why, leaves no crash report and fails.
TEST(WindowProgramWithoutDisplay, SaysWhyAndExitsNonZero) {
    testsupport::ScratchDirectory scratch;
    for (const char* display : {"", ":87"}) {
        SCOPED_TRACE(display);
        const std::string command = std::string("env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ") +
                                    (*display ? std::string("DISPLAY=") + display : std::string("-u DISPLAY")) +
                                    " '" KRV_BINARY_DIR "/krv650' >out.txt 2>err.txt";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 1);
        const std::string err = testsupport::readFile("err.txt");
        EXPECT_NE(err.find(*display ? "no X server answers at DISPLAY=:87" : "DISPLAY is not set"), std::string::npos) << err;
        EXPECT_FALSE(std::filesystem::exists("bugreport.txt"));
    }
}
