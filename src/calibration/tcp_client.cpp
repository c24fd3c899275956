#include "base/thread_signal_stack.h"
#include "calibration/tcp_client.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
using Socket = SOCKET;
constexpr Socket noSocket = INVALID_SOCKET;
constexpr int sendFlags = 0;

void closeSocket(Socket s) { closesocket(s); }

bool startNetwork() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

void setBlocking(Socket s, bool blocking) {
    u_long nonBlocking = blocking ? 0 : 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
}

bool connectInProgress() { return WSAGetLastError() == WSAEWOULDBLOCK; }

// Readable, or writable for a connect in progress, within `timeoutMs`.
bool waitFor(Socket s, bool forWrite, int timeoutMs) {
    WSAPOLLFD fd{s, static_cast<SHORT>(forWrite ? POLLOUT : POLLIN), 0};
    // A failed or hung-up connection counts as ready: the call that follows tells what happened.
    return WSAPoll(&fd, 1, timeoutMs) > 0 && (fd.revents & ((forWrite ? POLLOUT : POLLIN) | POLLERR | POLLHUP)) != 0;
}
#else
using Socket = int;
constexpr Socket noSocket = -1;
// A peer that has closed must not end the program with SIGPIPE.
constexpr int sendFlags = MSG_NOSIGNAL;

void closeSocket(Socket s) { close(s); }
bool startNetwork() { return true; }

void setBlocking(Socket s, bool blocking) {
    const int flags = fcntl(s, F_GETFL, 0);
    fcntl(s, F_SETFL, blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK));
}

bool connectInProgress() { return errno == EINPROGRESS; }

bool waitFor(Socket s, bool forWrite, int timeoutMs) {
    pollfd fd{s, static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
    // A failed or hung-up connection counts as ready: the call that follows tells what happened.
    return poll(&fd, 1, timeoutMs) > 0 && (fd.revents & ((forWrite ? POLLOUT : POLLIN) | POLLERR | POLLHUP)) != 0;
}
#endif

Socket socketOf(TcpHandle handle) { return static_cast<Socket>(handle - 1); }
TcpHandle handleOf(Socket s) { return static_cast<TcpHandle>(s) + 1; }

bool connectedWithin(Socket s, int timeoutMs) {
    if (!waitFor(s, true, timeoutMs)) return false;
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0) return false;
    return error == 0;
}

// One address tried within what is left of the time-out.
Socket connectTo(const addrinfo& address, int timeoutMs) {
    Socket s = socket(address.ai_family, address.ai_socktype, address.ai_protocol);
    if (s == noSocket) return noSocket;
    setBlocking(s, false);
    const bool done = connect(s, address.ai_addr, static_cast<socklen_t>(address.ai_addrlen)) == 0;
    if (!done && !(connectInProgress() && connectedWithin(s, timeoutMs))) {
        closeSocket(s);
        return noSocket;
    }
    setBlocking(s, true);
    return s;
}

struct FreeAddresses {
    void operator()(addrinfo* a) const {
        if (a) freeaddrinfo(a);
    }
};
using AddressList = std::unique_ptr<addrinfo, FreeAddresses>;

AddressList lookUp(const std::string& host, int port, bool numericOnly) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV | (numericOnly ? AI_NUMERICHOST : 0);
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return nullptr;
    return AddressList(found);
}

// A name lookup that may outlive the caller's wait: whoever finishes last frees it.
struct PendingLookup {
    std::mutex lock;
    std::condition_variable finished;
    bool done = false;
    AddressList found;
};

// A numeric address at once; a name on a thread of its own, given up at the deadline, since the
// system's lookup has no time-out of its own and a dead name server would hold the window for minutes.
AddressList resolveWithin(const std::string& host, int port, std::chrono::steady_clock::time_point deadline) {
    if (AddressList numeric = lookUp(host, port, true)) return numeric;
    auto pending = std::make_shared<PendingLookup>();
    const auto nameLookup = tcpNameLookupForTests;
    std::thread([pending, host, port, nameLookup] {
        useAlternateSignalStack();
        const std::string name = nameLookup ? nameLookup(host) : host;
        AddressList found = name.empty() ? nullptr : lookUp(name, port, false);
        std::lock_guard<std::mutex> hold(pending->lock);
        pending->found = std::move(found);
        pending->done = true;
        pending->finished.notify_all();
    }).detach();
    std::unique_lock<std::mutex> hold(pending->lock);
    if (!pending->finished.wait_until(hold, deadline, [&] { return pending->done; })) return nullptr;
    return std::move(pending->found);
}

} // namespace

TcpHandle tcpConnect(const std::string& host, int port, int timeoutMs) {
    if (host.empty() || !startNetwork()) return 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    AddressList found = resolveWithin(host, port, deadline);
    Socket s = noSocket;
    for (addrinfo* a = found.get(); a && s == noSocket; a = a->ai_next) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        s = connectTo(*a, static_cast<int>(left.count()));
    }
    return s == noSocket ? 0 : handleOf(s);
}

bool tcpSend(TcpHandle handle, const std::string& text) {
    if (handle == 0) return false;
    std::size_t sent = 0;
    while (sent < text.size()) {
        const auto n = send(socketOf(handle), text.data() + sent, static_cast<int>(text.size() - sent), sendFlags);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

bool tcpDataWaiting(TcpHandle handle) {
    if (handle == 0 || !waitFor(socketOf(handle), false, 0)) return false;
    // Readable also means closed; only bytes count.
    char byte = 0;
    return recv(socketOf(handle), &byte, 1, MSG_PEEK) > 0;
}

bool tcpPeerGone(TcpHandle handle) {
    if (handle == 0) return true;
    if (!waitFor(socketOf(handle), false, 0)) return false;
    char byte = 0;
    return recv(socketOf(handle), &byte, 1, MSG_PEEK) <= 0;
}

int tcpReceive(TcpHandle handle, char* buffer, int size) {
    if (handle == 0 || size <= 0) return 0;
    if (!waitFor(socketOf(handle), false, 0)) return 0;
    const auto n = recv(socketOf(handle), buffer, size, 0);
    return n > 0 ? static_cast<int>(n) : tcpConnectionLost;
}

void tcpClose(TcpHandle handle) {
    if (handle != 0) closeSocket(socketOf(handle));
}
