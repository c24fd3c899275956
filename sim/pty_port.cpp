#include "pty_port.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

bool fail(SimPort& port, std::string& error, const std::string& what) {
    error = what + ": " + std::strerror(errno);
    closeSimPort(port);
    return false;
}

std::string linkTarget(const std::string& path) {
    char buffer[PATH_MAX];
    const ssize_t n = readlink(path.c_str(), buffer, sizeof buffer - 1);
    return n < 0 ? std::string() : std::string(buffer, static_cast<size_t>(n));
}

} // namespace

bool openSimPort(SimPort& port, const std::string& dir, int number, std::string& error) {
    port = SimPort{};
    port.master = posix_openpt(O_RDWR | O_NOCTTY);
    if (port.master < 0) return fail(port, error, "cannot open a pseudo-terminal");
    if (grantpt(port.master) != 0 || unlockpt(port.master) != 0) return fail(port, error, "cannot unlock the pseudo-terminal");
    char name[PATH_MAX];
    if (ptsname_r(port.master, name, sizeof name) != 0) return fail(port, error, "cannot name the pseudo-terminal");
    port.ptyPath = name;
    port.slave = open(name, O_RDWR | O_NOCTTY);
    if (port.slave < 0) return fail(port, error, "cannot open " + port.ptyPath);
    termios tio{};
    if (tcgetattr(port.slave, &tio) != 0) return fail(port, error, "cannot read the line settings");
    cfmakeraw(&tio);
    cfsetispeed(&tio, B115200);
    cfsetospeed(&tio, B115200);
    if (tcsetattr(port.slave, TCSANOW, &tio) != 0) return fail(port, error, "cannot make the line raw");
    const int flags = fcntl(port.master, F_GETFL);
    if (flags < 0 || fcntl(port.master, F_SETFL, flags | O_NONBLOCK) != 0) return fail(port, error, "cannot make the pty non-blocking");

    const std::filesystem::path ports = std::filesystem::path(dir) / "ports";
    std::error_code ec;
    std::filesystem::create_directories(ports, ec);
    if (ec) {
        error = "cannot create " + ports.string() + ": " + ec.message();
        closeSimPort(port);
        return false;
    }
    const std::string link = (ports / ("COM" + std::to_string(number))).string();
    const std::string temporary = link + ".new" + std::to_string(getpid());
    unlink(temporary.c_str());
    if (symlink(port.ptyPath.c_str(), temporary.c_str()) != 0) return fail(port, error, "cannot create " + temporary);
    // Renaming over the old link replaces a stale one without a moment where the name is missing.
    if (rename(temporary.c_str(), link.c_str()) != 0) {
        unlink(temporary.c_str());
        return fail(port, error, "cannot create " + link);
    }
    port.linkPath = link;
    return true;
}

void closeSimPort(SimPort& port) {
    if (!port.linkPath.empty() && linkTarget(port.linkPath) == port.ptyPath) unlink(port.linkPath.c_str());
    if (port.slave >= 0) close(port.slave);
    if (port.master >= 0) close(port.master);
    port = SimPort{};
}
