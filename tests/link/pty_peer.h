// Test fixture: a pseudo-terminal whose master side the test drives as the instrument, and the
// ports/COM<n> link that names its other side.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

struct PtyPeer {
    int master = -1;
    int slave = -1;
    std::string slavePath;

    bool open() {
        termios raw{};
        cfmakeraw(&raw);
        if (openpty(&master, &slave, nullptr, &raw, nullptr) != 0) return false;
        slavePath = ttyname(slave);
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
        return true;
    }
    void close() {
        if (slave >= 0) ::close(slave);
        if (master >= 0) ::close(master);
        master = slave = -1;
    }
    void send(const std::vector<std::uint8_t>& bytes) const {
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::write(master, bytes.data() + done, bytes.size() - done);
            if (n > 0) done += static_cast<std::size_t>(n);
            else std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    // Collects what the program wrote, waiting up to `ms` for at least `atLeast` bytes.
    std::vector<std::uint8_t> receive(std::size_t atLeast, int ms) const {
        std::vector<std::uint8_t> out;
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            std::uint8_t buf[4096];
            ssize_t n = ::read(master, buf, sizeof buf);
            if (n > 0) out.insert(out.end(), buf, buf + n);
            else if (out.size() >= atLeast) break;
            else std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return out;
    }
};

// Points ports/COM<n> of the working directory at `target`, as the virtual instrument does.
inline void linkComPort(int port, const std::string& target) {
    std::filesystem::create_directories("ports");
    std::filesystem::path l = std::filesystem::path("ports") / ("COM" + std::to_string(port));
    std::error_code ec;
    std::filesystem::remove(l, ec);
    std::filesystem::create_symlink(target, l);
}
