// A scripted stand-in for a bench instrument on the LAN: listens on one loopback address and port,
// takes one connection at a time, records every byte received and answers each received line as the
// test says.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class FakeBenchPeer {
public:
    // Answers one received line (without its "\n"); may send, sleep or close through the helpers.
    using LineHandler = std::function<void(FakeBenchPeer& peer, const std::string& line)>;

    // `lineEnd` ends a received line: "\n" for the meter, "\r" for the relay fixture.
    FakeBenchPeer(const char* address, int port, LineHandler handler = {}, char lineEnd = '\n')
        : handler_(std::move(handler)), lineEnd_(lineEnd) {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        int yes = 1;
        setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in where{};
        where.sin_family = AF_INET;
        where.sin_port = htons(static_cast<uint16_t>(port));
        inet_pton(AF_INET, address, &where.sin_addr);
        listening_ = bind(listener_, reinterpret_cast<sockaddr*>(&where), sizeof where) == 0 && listen(listener_, 4) == 0;
        if (listening_) thread_ = std::thread([this] { serve(); });
    }
    ~FakeBenchPeer() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        closeClient();
        close(listener_);
    }
    FakeBenchPeer(const FakeBenchPeer&) = delete;
    FakeBenchPeer& operator=(const FakeBenchPeer&) = delete;

    bool listening() const { return listening_; }
    std::string received() {
        std::lock_guard<std::mutex> lock(mutex_);
        return received_;
    }
    void clearReceived() {
        std::lock_guard<std::mutex> lock(mutex_);
        received_.clear();
    }
    int connections() const { return connections_; }

    // For handlers.
    void send(const std::string& text) {
        if (client_ >= 0) ::send(client_, text.data(), text.size(), MSG_NOSIGNAL);
    }
    void closeClient() {
        if (client_ >= 0) close(client_);
        client_ = -1;
    }
    // Closes with a reset instead of an orderly close, as a meter that restarts does.
    void resetClient() {
        if (client_ < 0) return;
        const linger abort{1, 0};
        setsockopt(client_, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        closeClient();
    }

private:
    void serve() {
        std::string pending;
        while (!stop_) {
            pollfd fd{client_ >= 0 ? client_ : listener_, POLLIN, 0};
            if (poll(&fd, 1, 5) <= 0) continue;
            if (client_ < 0) {
                client_ = accept(listener_, nullptr, nullptr);
                if (client_ >= 0) ++connections_;
                pending.clear();
                continue;
            }
            char buffer[4096];
            const ssize_t n = recv(client_, buffer, sizeof buffer, 0);
            if (n <= 0) {
                closeClient();
                continue;
            }
            {
                std::lock_guard<std::mutex> lock(mutex_);
                received_.append(buffer, static_cast<size_t>(n));
            }
            pending.append(buffer, static_cast<size_t>(n));
            for (size_t end = pending.find(lineEnd_); end != std::string::npos; end = pending.find(lineEnd_)) {
                const std::string line = pending.substr(0, end);
                pending.erase(0, end + 1);
                if (handler_) handler_(*this, line);
                if (client_ < 0) break;
            }
        }
    }

    LineHandler handler_;
    char lineEnd_;
    int listener_ = -1;
    int client_ = -1;
    bool listening_ = false;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    std::mutex mutex_;
    std::string received_;
    std::thread thread_;
};
