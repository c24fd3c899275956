// Test fixture: a scratch working directory with ports/COM<n> linked to a pseudo-terminal whose
// master side the test drives as the instrument.
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

// Runs a test in a fresh working directory with a ports/ folder; restores the old one afterwards.
struct ScratchDirectory {
    std::filesystem::path old;
    std::filesystem::path dir;

    explicit ScratchDirectory(const std::string& name) {
        old = std::filesystem::current_path();
        dir = std::filesystem::temp_directory_path() / ("krv_" + name + "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir / "ports");
        std::filesystem::current_path(dir);
    }
    ~ScratchDirectory() {
        std::filesystem::current_path(old);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    void link(int port, const std::string& target) const {
        std::filesystem::path l = dir / "ports" / ("COM" + std::to_string(port));
        std::error_code ec;
        std::filesystem::remove(l, ec);
        std::filesystem::create_symlink(target, l);
    }
};
