#include "bench_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int listenAt(const std::string& address, int port, std::string& error) {
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(static_cast<uint16_t>(port));
    if (inet_pton(AF_INET, address.c_str(), &where.sin_addr) != 1) {
        error = "not a numeric IPv4 address: " + address;
        return -1;
    }
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0 || listen(fd, 4) != 0) {
        error = "cannot listen on " + address + ":" + std::to_string(port) + ": " + std::strerror(errno);
        if (fd >= 0) close(fd);
        return -1;
    }
    return fd;
}

void closeFd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

void sendText(int fd, const std::string& text) {
    if (fd >= 0) send(fd, text.data(), text.size(), MSG_NOSIGNAL);
}

// Takes what the client sent; false when it has gone.
bool receiveInto(SimBenchConnection& c) {
    char buffer[4096];
    for (;;) {
        const ssize_t n = recv(c.client, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0) {
            c.pending.append(buffer, static_cast<size_t>(n));
            continue;
        }
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
}

long long nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The meter's answer to a READ?, as its fault has it.
void answerBadly(SimBench& bench, const std::string& answer) {
    SimBenchConnection& c = bench.meterConnection;
    switch (bench.meterFault) {
    case SimMeterFault::None: sendText(c.client, answer); break;
    case SimMeterFault::Garbage: sendText(c.client, "#$%&GARBAGE\n"); break;
    case SimMeterFault::Half: sendText(c.client, answer.substr(0, answer.size() / 2)); break;
    case SimMeterFault::Silent: break;
    case SimMeterFault::Drip: bench.drip += answer; break;
    case SimMeterFault::Stream: bench.streaming = true; break;
    case SimMeterFault::Reset: {
        const linger abort{1, 0};
        setsockopt(c.client, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        closeFd(c.client);
        break;
    }
    case SimMeterFault::Close: closeFd(c.client); break;
    }
}

// What a dripping or streaming meter sends between questions.
void keepSending(SimBench& bench, const SimInstrument& sim) {
    const int client = bench.meterConnection.client;
    if (client < 0) {
        bench.drip.clear();
        bench.streaming = false;
        return;
    }
    if (!bench.drip.empty() && nowMs() - bench.lastDripMs >= 100) {
        sendText(client, bench.drip.substr(0, 1));
        bench.drip.erase(0, 1);
        bench.lastDripMs = nowMs();
    }
    if (!bench.streaming) return;
    std::string lines;
    for (int i = 0; i < 256; ++i) lines += simMeterReplyText(simMeterReading(bench.meter, sim));
    send(client, lines.data(), lines.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

template <typename OnLine>
void serviceConnection(SimBenchConnection& c, char lineEnd, OnLine onLine) {
    if (c.client < 0 && c.listener >= 0) {
        c.client = accept4(c.listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        c.pending.clear();
    }
    if (c.client < 0) return;
    const bool open = receiveInto(c);
    for (size_t end = c.pending.find(lineEnd); end != std::string::npos; end = c.pending.find(lineEnd)) {
        const std::string line = c.pending.substr(0, end);
        c.pending.erase(0, end + 1);
        onLine(line);
    }
    if (!open) closeFd(c.client);
}

} // namespace

bool openSimBench(SimBench& bench, const std::string& address, std::string& error) {
    bench.meterConnection.listener = listenAt(address, simMeterPort, error);
    if (bench.meterConnection.listener < 0) return false;
    bench.fixtureConnection.listener = listenAt(address, simFixturePort, error);
    if (bench.fixtureConnection.listener >= 0) return true;
    closeSimBench(bench);
    return false;
}

void closeSimBench(SimBench& bench) {
    for (SimBenchConnection* c : {&bench.meterConnection, &bench.fixtureConnection}) {
        closeFd(c->client);
        closeFd(c->listener);
    }
}

void addSimBenchPollFds(const SimBench& bench, std::vector<pollfd>& fds) {
    for (const SimBenchConnection* c : {&bench.meterConnection, &bench.fixtureConnection}) {
        const int fd = c->client >= 0 ? c->client : c->listener;
        // A streaming meter is woken whenever its client can take more.
        const bool streams = c == &bench.meterConnection && bench.streaming && c->client >= 0;
        if (fd >= 0) fds.push_back(pollfd{fd, static_cast<short>(POLLIN | (streams ? POLLOUT : 0)), 0});
    }
}

bool parseSimMeterFault(const std::string& text, SimBench& bench) {
    static const struct {
        const char* name;
        SimMeterFault kind;
    } kinds[] = {{"garbage", SimMeterFault::Garbage}, {"half", SimMeterFault::Half},   {"silent", SimMeterFault::Silent},
                 {"drip", SimMeterFault::Drip},       {"stream", SimMeterFault::Stream}, {"close", SimMeterFault::Close},
                 {"reset", SimMeterFault::Reset}};
    const size_t at = text.find('@');
    if (at == std::string::npos) return false;
    char* end = nullptr;
    const long n = std::strtol(text.c_str() + at + 1, &end, 10);
    if (n < 1 || *end != '\0') return false;
    for (const auto& k : kinds) {
        if (text.compare(0, at, k.name) != 0 || std::strlen(k.name) != at) continue;
        bench.meterFault = k.kind;
        bench.meterFaultAtRead = static_cast<int>(n);
        return true;
    }
    return false;
}

void serviceSimBench(SimBench& bench, SimInstrument& sim) {
    SimBenchConnection& meter = bench.meterConnection;
    serviceConnection(meter, '\n', [&](const std::string& line) {
        const auto answer = simMeterCommand(bench.meter, sim, line);
        if (!answer || meter.client < 0) return;
        const bool bad = line == "READ?" && bench.meterFault != SimMeterFault::None && ++bench.reads >= bench.meterFaultAtRead;
        if (bad) answerBadly(bench, *answer);
        else sendText(meter.client, *answer);
    });
    keepSending(bench, sim);
    serviceConnection(bench.fixtureConnection, '\r', [&](const std::string& command) {
        simFixtureCommand(bench.fixture, sim, command);
        std::fprintf(stderr, "krv650-sim: fixture received %s\n", command.c_str());
    });
}
