// "krv650 run" as a script runs it: the real program as a child process with no display, against the
// virtual instrument over a real pty.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "e2e/sim_process.h"
#include "nominal_cal.h"
#include "test_support.h"

using testsupport::readFile;
using testsupport::writeFile;

namespace {

namespace fs = std::filesystem;

// The program started in the working directory, its output going to out.txt and err.txt.
struct RunProcess {
    pid_t pid = -1;

    bool start(const std::vector<std::string>& arguments) {
        std::vector<std::string> args = {KRV_BINARY_DIR "/krv650", "run"};
        args.insert(args.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        // No display and no platform chosen: the subcommand must manage by itself.
        std::vector<std::string> environment;
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            if (entry.rfind("DISPLAY=", 0) == 0 || entry.rfind("WAYLAND_DISPLAY=", 0) == 0 ||
                entry.rfind("QT_QPA_PLATFORM=", 0) == 0)
                continue;
            environment.push_back(entry);
        }
        std::vector<char*> envp;
        for (auto& e : environment) envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "out.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, "err.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        return rc == 0;
    }
    // The exit code, or -1 when it did not end in time (it is then killed).
    int wait(int seconds) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        int status = 0;
        while (std::chrono::steady_clock::now() < end) {
            if (waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        pid = -1;
        return -1;
    }
    ~RunProcess() {
        if (pid > 0) wait(0);
    }
};

bool waitForText(const std::string& file, const std::string& text, int seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (readFile(file).find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) result.push_back(line);
    }
    return result;
}

// Without the installation's hidden placeholders.
std::vector<std::string> filesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().front() != '.') names.push_back(entry.path().filename().string());
    return names;
}

// Whether the instrument was sent the control register with the stop bit.
bool stopFrameReceived(const std::string& frameLog) {
    for (const std::string& line : lines(frameLog)) {
        unsigned reg = 0, value = 0;
        if (std::sscanf(line.c_str(), "%u %u", &reg, &value) == 2 && reg == 1 && (value & 2u) != 0) return true;
    }
    return false;
}

class RunCommandTest : public ::testing::Test {
protected:
    testsupport::ScratchDirectory scratch;
    SimProcess sim;
    RunProcess program;

    void SetUp() override {
        fs::copy(KRV_SOURCE_DIR "/install", scratch.path(), fs::copy_options::recursive);
        writeFile("settings/system_settings.txt",
                  "KRV_ComPort=" + std::to_string(simPort) + "\r\nCheckWebsiteForUpdate=0\r\n");
        writeFile("KRV_cal.txt", nominalCalibrationText());
    }
};

TEST_F(RunCommandTest, ThreePartsOfATrayGiveTheirFilesLinesAndSummary) {
    // Seven ramps a run (steps 0..6 of the default NPN family): each run sweeps the tray's next part.
    ASSERT_TRUE(sim.start({"--device", "npn", "--speed", "25", "--spread", "20", "--seed", "1", "--swap-every", "7"}));
    writeFile("lab.tsu", "KRV_CollectorPeakVoltage=10\r\nKRV_CollectorPeakCurrent=0.01\r\n"
                         "KRV_CollectorPolarity=Positive\r\nKRV_CollectorPulseMode=Continuous\r\n");
    ASSERT_TRUE(program.start({"--setup", "lab.tsu", "--repeat", "3", "--interval", "0", "--params", "--json", "--id",
                               "Q", "--out", "tray"}));
    ASSERT_EQ(program.wait(120), 0) << readFile("err.txt");

    const std::vector<std::string> out = lines(readFile("out.txt"));
    ASSERT_EQ(out.size(), 3u) << readFile("out.txt");
    std::set<double> gains;
    for (int i = 0; i < 3; ++i) {
        const nlohmann::json part = nlohmann::json::parse(out[i]);
        const std::string id = "Q-00" + std::to_string(i + 1);
        EXPECT_EQ(part.at("part"), id);
        EXPECT_TRUE(part.at("ended_by") == "+Vc LIMIT" || part.at("ended_by") == "+Ic LIMIT") << part;
        EXPECT_GT(part.at("seconds").get<double>(), 0);
        EXPECT_EQ(part.at("device"), "npn");
        const auto& files = part.at("files");
        ASSERT_EQ(files.size(), 4u) << part;
        EXPECT_EQ(files[1], "tray/" + id + ".csv");
        EXPECT_EQ(files[3], "tray/" + id + ".png");
        const std::string data = readFile(files[0].get<std::string>());
        // The saved run is the whole family with the setup's 10 V, and its copy is the same file.
        EXPECT_NE(data.find(",I,10,"), std::string::npos) << data.substr(0, 400);
        EXPECT_EQ(data, readFile(files[1].get<std::string>()));
        EXPECT_EQ(readFile(files[2].get<std::string>()).substr(1, 3), "PNG");
        EXPECT_EQ(readFile(files[3].get<std::string>()), readFile(files[2].get<std::string>()));
        gains.insert(part.at("parameters").at("hfe").at("value").get<double>());
    }
    EXPECT_EQ(gains.size(), 3u) << "three different parts";
    // Each part's data file has its model card beside it.
    const std::vector<std::string> saved = filesIn("saveddata");
    EXPECT_EQ(saved.size(), 6u);
    EXPECT_EQ(std::count_if(saved.begin(), saved.end(), [](const std::string& f) { return f.ends_with(".model"); }), 3);
    EXPECT_EQ(filesIn("savedimages").size(), 3u);

    const std::vector<std::string> summary = lines(readFile("tray/summary.csv"));
    ASSERT_EQ(summary.size(), 4u) << readFile("tray/summary.csv");
    EXPECT_EQ(summary[0].rfind("part,ended_by,seconds,device,data_file,picture_file,hfe,", 0), 0u) << summary[0];
    for (int i = 0; i < 3; ++i) EXPECT_EQ(summary[i + 1].rfind("Q-00" + std::to_string(i + 1) + ",", 0), 0u);
    // The table for a person goes to stderr, so that stdout holds only the JSON lines.
    EXPECT_NE(readFile("err.txt").find("Q-003"), std::string::npos);
}

TEST_F(RunCommandTest, EachFailureHasItsOwnExitCodeAndSavesOnlyARunThatEnded) {
    struct Case {
        const char* name;
        std::vector<std::string> sim; // empty: no instrument on the port
        std::vector<std::string> arguments;
        int code;
        const char* message;
        const char* endedBy = nullptr; // a run that ended is saved with what it measured, and reported
    };
    const std::vector<Case> cases = {
        {"no instrument", {}, {}, 3, "the port COM5 will not open"},
        {"cable pulled", {"--speed", "20", "--fault", "vanish@40"}, {}, 4, "the link to the instrument was lost",
         "LINK LOST"},
        {"instrument's own stop", {"--speed", "20", "--fault", "halt@30"}, {}, 5, "the instrument stopped the sweep",
         "MANUAL REQUEST"},
        {"bad repeat", {}, {"--repeat", "0"}, 2, "--repeat"},
        {"both waits", {}, {"--interval", "1", "--wait-enter"}, 2, "excludes"},
        {"missing setup", {}, {"--setup", "nothing.tsu"}, 2, "nothing.tsu"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.sim.empty()) {
            ASSERT_TRUE(sim.start(c.sim));
        }
        ASSERT_TRUE(program.start(c.arguments));
        EXPECT_EQ(program.wait(60), c.code) << readFile("err.txt");
        EXPECT_NE(readFile("err.txt").find(c.message), std::string::npos) << readFile("err.txt");
        sim.stop();
        const std::vector<std::string> data = filesIn("saveddata");
        EXPECT_EQ(std::count_if(data.begin(), data.end(), [](const std::string& f) { return f.ends_with(".csv"); }),
                  c.endedBy ? 1 : 0);
        if (c.endedBy) {
            EXPECT_NE(readFile("out.txt").find(std::string("ended by ") + c.endedBy), std::string::npos)
                << readFile("out.txt");
            const std::vector<std::string> summary = lines(readFile("summary.csv"));
            ASSERT_EQ(summary.size(), 2u) << readFile("summary.csv");
            EXPECT_EQ(summary[1].rfind(std::string("part-001,") + c.endedBy + ",", 0), 0u) << summary[1];
            fs::remove("summary.csv");
            fs::remove("part-001.csv");
            fs::remove("part-001.png");
        }
        for (const char* folder : {"saveddata", "savedimages", "sampleruns"})
            for (const std::string& name : filesIn(folder)) fs::remove(fs::path(folder) / name);
    }
}

TEST_F(RunCommandTest, CtrlCDuringARampStopsTheInstrumentAndLeavesNoFiles) {
    ASSERT_TRUE(sim.start({"--speed", "10", "--log-frames", "frames.log"}));
    ASSERT_TRUE(program.start({"--repeat", "2", "--interval", "0", "--out", "tray"}));
    ASSERT_TRUE(waitForText("err.txt", "step 1/7 ended", 60)) << readFile("err.txt");
    kill(program.pid, SIGINT);
    EXPECT_EQ(program.wait(30), 130) << readFile("err.txt");
    sim.stop();
    EXPECT_TRUE(stopFrameReceived(readFile("frames.log")));
    for (const char* folder : {"saveddata", "savedimages", "sampleruns"}) EXPECT_TRUE(filesIn(folder).empty()) << folder;
    EXPECT_FALSE(fs::exists("tray/summary.csv"));
    EXPECT_EQ(readFile("out.txt"), "");
}

TEST_F(RunCommandTest, AFaultWritesTheCrashReportAndExitsWithoutABox) {
    ASSERT_TRUE(sim.start({"--speed", "20"}));
    // stdin is empty, so it would end the wait for Enter: the fault comes while the first part runs.
    ASSERT_TRUE(program.start({"--repeat", "2"}));
    ASSERT_TRUE(waitForText("err.txt", "step 1/7 ended", 60)) << readFile("err.txt");
    kill(program.pid, SIGSEGV);
    // A box would wait for someone to close it; the process ends by itself instead.
    EXPECT_EQ(program.wait(20), 6) << readFile("err.txt");
    const std::string report = readFile("bugreport.txt");
    EXPECT_NE(report.find("Sorry! A program error was detected:"), std::string::npos) << report;
}

} // namespace
