#include "bench_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
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
        if (fd >= 0) fds.push_back(pollfd{fd, POLLIN, 0});
    }
}

void serviceSimBench(SimBench& bench, SimInstrument& sim) {
    SimBenchConnection& meter = bench.meterConnection;
    serviceConnection(meter, '\n', [&](const std::string& line) {
        if (const auto answer = simMeterCommand(bench.meter, sim, line)) sendText(meter.client, *answer);
    });
    serviceConnection(bench.fixtureConnection, '\r', [&](const std::string& command) {
        simFixtureCommand(bench.fixture, sim, command);
        std::fprintf(stderr, "krv650-sim: fixture received %s\n", command.c_str());
    });
}
