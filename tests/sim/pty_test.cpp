// The krv650-sim executable over a real pseudo-terminal.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "sim_host.h"
#include "support/bench_addresses.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct SimProcess {
    pid_t pid = -1;
    int stdoutPipe = -1;
    std::string ptyPath;

    ~SimProcess() { stop(SIGKILL); }

    bool start(const std::vector<std::string>& args) {
        int fds[2];
        if (pipe(fds) != 0) return false;
        pid = fork();
        if (pid == 0) {
            dup2(fds[1], STDOUT_FILENO);
            close(fds[0]);
            close(fds[1]);
            std::vector<char*> argv;
            const std::string program = std::string(KRV_BINARY_DIR) + "/krv650-sim";
            argv.push_back(const_cast<char*>(program.c_str()));
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        close(fds[1]);
        stdoutPipe = fds[0];
        return pid > 0;
    }

    // The first line the simulator prints is its pty path.
    bool readPtyPath() {
        std::string line;
        const Clock::time_point until = Clock::now() + std::chrono::seconds(10);
        char c = 0;
        while (Clock::now() < until) {
            pollfd p{stdoutPipe, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            if (read(stdoutPipe, &c, 1) != 1) return false;
            if (c == '\n') {
                ptyPath = line;
                return true;
            }
            line += c;
        }
        return false;
    }

    // Returns the exit status, or -1 when it did not end in time.
    int stop(int signal) {
        if (pid <= 0) return -1;
        kill(pid, signal);
        return wait();
    }

    int wait() {
        int status = 0;
        for (int i = 0; i < 500; ++i) {
            if (waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                if (stdoutPipe >= 0) close(stdoutPipe);
                stdoutPipe = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            usleep(10000);
        }
        return -1;
    }
};

struct TempDir {
    fs::path path;
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "krvsimXXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

int openPort(const fs::path& link) {
    const int fd = open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return fd;
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    cfsetspeed(&tio, B115200);
    tcsetattr(fd, TCSANOW, &tio);
    return fd;
}

// Reads exactly n bytes or gives up after the time-out.
std::vector<uint8_t> readBytes(int fd, size_t n, int timeoutMs) {
    std::vector<uint8_t> bytes;
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (bytes.size() < n && Clock::now() < until) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 1) <= 0) continue;
        uint8_t buffer[256];
        const ssize_t got = read(fd, buffer, std::min(sizeof buffer, n - bytes.size()));
        if (got <= 0) break;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

void writeAll(int fd, const std::vector<uint8_t>& bytes) {
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

// Starts the simulator and opens the port through its link; -1 when either fails.
int startAndOpen(SimProcess& sim, const std::vector<std::string>& args, const fs::path& link) {
    if (!sim.start(args) || !sim.readPtyPath()) return -1;
    return openPort(link);
}

// Closes the port, stops the simulator with the signal and checks that it took its link with it.
void expectCleanStop(SimProcess& sim, int fd, int signal, const fs::path& link) {
    close(fd);
    EXPECT_EQ(sim.stop(signal), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

size_t pollOnce(int fd) {
    writeAll(fd, readRequest());
    return readBytes(fd, 32, 1000).size();
}

TEST(SimExecutable, AnswersReadRequestsWithinFiveMilliseconds) {
    TempDir dir;
    SimProcess sim;
    const fs::path link = dir.path / "ports" / "COM7";
    const int fd = startAndOpen(sim, {"--dir", dir.path.string(), "--port", "7"}, link);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(fs::read_symlink(link).string(), sim.ptyPath);

    std::vector<double> latenciesMs;
    for (int i = 0; i < 21; ++i) {
        const Clock::time_point sent = Clock::now();
        writeAll(fd, readRequest());
        const std::vector<uint8_t> bytes = readBytes(fd, 32, 1000);
        latenciesMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
        ASSERT_EQ(bytes.size(), 32u);
        const HostReport r = decodeHostReport(bytes.data());
        EXPECT_TRUE(r.checksumGood);
        EXPECT_EQ(r.calibrationSync(), i == 0);
    }
    // The median, so one scheduling hiccup on a busy machine does not decide it.
    std::nth_element(latenciesMs.begin(), latenciesMs.begin() + 10, latenciesMs.end());
    EXPECT_LT(latenciesMs[10], 5.0);
    expectCleanStop(sim, fd, SIGTERM, link);
}

TEST(SimExecutable, StreamsARampWithoutPollsAtTheChosenSpeed) {
    TempDir dir;
    SimProcess sim;
    const int fd = startAndOpen(sim, {"--dir", dir.path.string(), "--device", "resistor", "--speed", "20"},
                                dir.path / "ports" / "COM1");
    ASSERT_GE(fd, 0);
    RampSetup s;
    s.runLength = 200;
    writeAll(fd, rampTransfer(s));
    // 100 cycles a second, 20 times faster: a report every half millisecond of real time.
    const Clock::time_point start = Clock::now();
    std::vector<HostReport> reports;
    while (reports.empty() || reports.back().stopCode() == 0) {
        const std::vector<uint8_t> bytes = readBytes(fd, 32, 2000);
        ASSERT_EQ(bytes.size(), 32u) << "after " << reports.size() << " reports";
        reports.push_back(decodeHostReport(bytes.data()));
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_EQ(reports.back().stopCode(), 6);
    EXPECT_GT(reports.size(), 40u);
    // Paced, not free-running; and well ahead of the 10 ms per report of real time.
    const double pacedSeconds = static_cast<double>(reports.size()) * 0.0005;
    EXPECT_GT(seconds, 0.9 * pacedSeconds);
    EXPECT_LT(seconds, 10 * pacedSeconds);
    close(fd);
}

TEST(SimExecutable, CreatesThePortsFolderAndReplacesAStaleLink) {
    TempDir dir;
    fs::create_directories(dir.path / "stale" / "ports");
    fs::create_symlink("/dev/pts/no-such-pty", dir.path / "stale" / "ports" / "COM3");
    for (const char* work : {"fresh", "stale"}) {
        SCOPED_TRACE(work);
        SimProcess sim;
        const fs::path link = dir.path / work / "ports" / "COM3";
        const int fd = startAndOpen(sim, {"--dir", (dir.path / work).string(), "--port", "3"}, link);
        ASSERT_GE(fd, 0);
        EXPECT_EQ(fs::read_symlink(link).string(), sim.ptyPath);
        EXPECT_EQ(pollOnce(fd), 32u);
        expectCleanStop(sim, fd, SIGINT, link);
    }
}

TEST(SimExecutable, VanishingClosesThePortUnderTheProgram) {
    TempDir dir;
    SimProcess sim;
    const fs::path link = dir.path / "ports" / "COM1";
    const int fd = startAndOpen(sim, {"--dir", dir.path.string(), "--fault", "vanish@3"}, link);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(pollOnce(fd), 32u);
    EXPECT_EQ(pollOnce(fd), 32u);
    writeAll(fd, readRequest());
    EXPECT_EQ(sim.wait(), 0);
    pollfd p{fd, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 1000), 1);
    EXPECT_TRUE(p.revents & (POLLHUP | POLLERR));
    uint8_t byte = 0;
    EXPECT_LE(read(fd, &byte, 1), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    close(fd);
}

TEST(SimExecutable, RejectsBadOptionsAndExplainsTheGoodOnes) {
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    const Case cases[] = {
        {{"--help"}, 0},
        {{"--device", "triode"}, 2},
        {{"--speed", "0"}, 2},
        {{"--port", "0"}, 2},
        {{"--fault", "melt@3"}, 2},
        {{"--fault", "drop"}, 2},
        {{"--port"}, 2},
        {{"--meter-error", "abc"}, 2},
        {{"--meter-fault", "melt@2"}, 2},
        {{"--meter-fault", "drip"}, 2},
        {{"--meter-fault", "drip@0"}, 2},
        {{"--port", "42", "--dir", fs::temp_directory_path().string(), "--cal-block", "/no/such/file"}, 1},
        {{"--port", "42", "--dir", fs::temp_directory_path().string(), "--meter", "300.1.2.3"}, 1},
    };
    for (const Case& c : cases) {
        SimProcess sim;
        ASSERT_TRUE(sim.start(c.args));
        EXPECT_EQ(sim.wait(), c.status) << c.args[0];
    }
    SimProcess help;
    ASSERT_TRUE(help.start({"--help"}));
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(help.stdoutPipe, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
    for (const SimDeviceName& d : simDeviceNames()) EXPECT_NE(text.find(std::string("  ") + d.name + " "), std::string::npos) << d.name;
    for (const char* option : {"--port", "--dir", "--device", "--resistance", "--speed", "--fault", "--meter", "--meter-error",
                               "--meter-fault", "--cal-block"}) {
        EXPECT_NE(text.find(option), std::string::npos) << option;
    }
}

// Everything that arrives on `fd` within `ms`.
std::string takeFor(int fd, int ms) {
    std::string text;
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(ms);
    char buffer[65536];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (left <= 0) break;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
        const ssize_t n = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n <= 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

// A TCP connection to the virtual bench; the answer to `send` is read up to its line end.
struct BenchClient {
    int fd = -1;
    BenchClient(const char* address, int port) {
        fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in where{};
        where.sin_family = AF_INET;
        where.sin_port = htons(static_cast<uint16_t>(port));
        inet_pton(AF_INET, address, &where.sin_addr);
        if (connect(fd, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0) {
            close(fd);
            fd = -1;
        }
    }
    ~BenchClient() {
        if (fd >= 0) close(fd);
    }
    void send(const std::string& text) const { ::send(fd, text.data(), text.size(), MSG_NOSIGNAL); }
    std::string answer() const {
        std::string text;
        const Clock::time_point until = Clock::now() + std::chrono::seconds(5);
        char c = 0;
        while (Clock::now() < until && (text.empty() || text.back() != '\n')) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            if (read(fd, &c, 1) != 1) break;
            text += c;
        }
        return text;
    }
};

TEST(SimExecutable, ServesTheBenchMeterAndFixtureOnItsAddress) {
    TempDir dir;
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--port", "43", "--dir", dir.path.string(), "--meter", benchaddress::simMeter, "--meter-error", "2"}));
    ASSERT_TRUE(sim.readPtyPath());
    BenchClient meter(benchaddress::simMeter, 5025);
    BenchClient fixture(benchaddress::simMeter, 10002);
    ASSERT_GE(meter.fd, 0);
    ASSERT_GE(fixture.fd, 0);
    meter.send("CONFigure:VOLTage:DC\nREAD?\n");
    EXPECT_EQ(meter.answer(), "+0.00000000E+00\n"); // the part in the socket, nothing driven
    fixture.send("#010A20\r#010B00\r");
    meter.send("CONF:FRES\n");
    meter.send("FRES:NPLC 10\n");
    // The fixture has switched once the meter sees the board's 'RANGE2' resistor, 2 % high.
    std::string answer;
    for (int i = 0; i < 50 && answer != "+2.75400000E+03\n"; ++i) {
        meter.send("READ?\n");
        answer = meter.answer();
    }
    EXPECT_EQ(answer, "+2.75400000E+03\n");
    EXPECT_EQ(sim.stop(SIGTERM), 0);
}

TEST(SimExecutable, MeterMisbehavesFromTheReadingAskedFor) {
    const struct {
        const char* fault;
        std::function<void(int fd)> check; // what the second READ? gets
    } cases[] = {
        {"garbage@2", [](int fd) { EXPECT_EQ(takeFor(fd, 300), "#$%&GARBAGE\n"); }},
        {"half@2", [](int fd) { EXPECT_EQ(takeFor(fd, 300), "+0.00000"); }},
        {"silent@2", [](int fd) { EXPECT_EQ(takeFor(fd, 300), ""); }},
        {"drip@2", [](int fd) {
             const std::size_t got = takeFor(fd, 350).size();
             EXPECT_GE(got, 2u);
             EXPECT_LE(got, 5u);
         }},
        {"stream@2", [](int fd) { EXPECT_GT(takeFor(fd, 300).size(), 10000u); }},
        {"close@2", [](int fd) {
             takeFor(fd, 300);
             char c = 0;
             EXPECT_EQ(recv(fd, &c, 1, MSG_DONTWAIT), 0);
         }},
        {"reset@2", [](int fd) {
             pollfd p{fd, POLLIN, 0};
             EXPECT_EQ(poll(&p, 1, 1000), 1);
             char c = 0;
             EXPECT_EQ(recv(fd, &c, 1, MSG_DONTWAIT), -1);
             EXPECT_EQ(errno, ECONNRESET);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        TempDir dir;
        SimProcess sim;
        ASSERT_TRUE(sim.start({"--port", "44", "--dir", dir.path.string(), "--meter", benchaddress::simMeterMisbehaving,
                               "--meter-error", "0", "--meter-fault", c.fault}));
        ASSERT_TRUE(sim.readPtyPath());
        BenchClient meter(benchaddress::simMeterMisbehaving, 5025);
        ASSERT_GE(meter.fd, 0);
        meter.send("CONFigure:VOLTage:DC\nREAD?\n");
        EXPECT_EQ(meter.answer(), "+0.00000000E+00\n");
        meter.send("READ?\n");
        c.check(meter.fd);
        EXPECT_EQ(sim.stop(SIGTERM), 0);
    }
}

} // namespace
