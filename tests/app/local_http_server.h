// A tiny HTTP server on the loopback interface for the update check tests: canned replies chosen per
// request path, served one connection at a time on its own thread.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

struct HttpReply {
    enum Kind {
        Page,       // `status` with `body` and its length
        Redirect,   // 302 to `body`
        Silent,     // reads the request and never answers
        Endless,    // 200 with `size` bytes of filler, no length announced: ends when the client leaves
        Announced,  // as Endless but with the length announced up front
    };
    Kind kind = Page;
    int status = 200;
    std::string body;
    std::int64_t size = 0;

    static HttpReply page(int status, std::string body) { return {Page, status, std::move(body), 0}; }
    static HttpReply redirect(std::string location) { return {Redirect, 302, std::move(location), 0}; }
    static HttpReply silent() { return {Silent, 0, "", 0}; }
    static HttpReply endless(std::int64_t size) { return {Endless, 200, "", size}; }
    static HttpReply announced(std::int64_t size) { return {Announced, 200, "", size}; }
};

class LocalHttpServer {
public:
    using Handler = std::function<HttpReply(const std::string& path)>;

    explicit LocalHttpServer(Handler handler) : handler_(std::move(handler)) {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listener_, 16);
        socklen_t length = sizeof address;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~LocalHttpServer() {
        stop_ = true;
        thread_.join();
        for (int fd : held_) close(fd);
        close(listener_);
    }
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    std::string address() const { return "http://127.0.0.1:" + std::to_string(port_); }
    std::vector<std::string> requests() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }
    // Body bytes the server got out before the client went away.
    std::int64_t bodyBytesSent() const { return bodyBytesSent_; }

private:
    Handler handler_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::vector<int> held_;
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::atomic<std::int64_t> bodyBytesSent_{0};

    void serve() {
        while (!stop_) {
            pollfd p{listener_, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0) continue;
            const int client = accept(listener_, nullptr, nullptr);
            if (client >= 0) answer(client);
        }
    }

    static std::string readRequestPath(int client) {
        std::string request;
        char chunk[1024];
        while (request.find("\r\n\r\n") == std::string::npos) {
            pollfd p{client, POLLIN, 0};
            if (poll(&p, 1, 2000) <= 0) break;
            const ssize_t got = recv(client, chunk, sizeof chunk, 0);
            if (got <= 0) break;
            request.append(chunk, static_cast<std::size_t>(got));
        }
        const std::size_t start = request.find(' ');
        const std::size_t end = request.find(' ', start + 1);
        return start == std::string::npos || end == std::string::npos ? "" : request.substr(start + 1, end - start - 1);
    }

    static bool sendAll(int client, const char* data, std::size_t length) {
        while (length > 0) {
            const ssize_t sent = send(client, data, length, MSG_NOSIGNAL);
            if (sent <= 0) return false;
            data += sent;
            length -= static_cast<std::size_t>(sent);
        }
        return true;
    }

    void answer(int client) {
        const std::string path = readRequestPath(client);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back(path);
        }
        const HttpReply reply = handler_(path);
        if (reply.kind == HttpReply::Silent) {
            held_.push_back(client);
            return;
        }
        std::string head;
        if (reply.kind == HttpReply::Redirect) {
            head = "HTTP/1.1 302 Found\r\nLocation: " + reply.body + "\r\nContent-Length: 0\r\n";
        } else if (reply.kind == HttpReply::Page) {
            head = "HTTP/1.1 " + std::to_string(reply.status) + " Canned\r\nContent-Type: text/plain\r\nContent-Length: " +
                   std::to_string(reply.body.size()) + "\r\n";
        } else {
            head = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n";
            if (reply.kind == HttpReply::Announced) head += "Content-Length: " + std::to_string(reply.size) + "\r\n";
        }
        head += "Connection: close\r\n\r\n";
        if (sendAll(client, head.data(), head.size())) {
            if (reply.kind == HttpReply::Page) {
                sendAll(client, reply.body.data(), reply.body.size());
            } else if (reply.kind == HttpReply::Endless || reply.kind == HttpReply::Announced) {
                const std::string filler(64 * 1024, 'x');
                for (std::int64_t left = reply.size; left > 0 && !stop_;) {
                    const std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(left, filler.size()));
                    if (!sendAll(client, filler.data(), n)) break;
                    bodyBytesSent_ += static_cast<std::int64_t>(n);
                    left -= static_cast<std::int64_t>(n);
                }
            }
        }
        close(client);
    }
};

// An address on the loopback interface where nothing listens: connections are refused at once.
inline std::string refusingAddress() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    close(probe);
    return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
}

} // namespace testsupport
