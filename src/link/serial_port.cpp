#include "link/serial_port.h"

#include <chrono>
#include <cstdlib>
#include <mutex>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace {

// A write waits at most this long for room in the driver's buffer, then gives up on the rest.
constexpr int writeTimeoutMs = 100;

// Parses "COM" + decimal n; 0 when the name is anything else.
int comNumber(const std::string& name) {
    if (name.size() < 4 || name.size() > 9 || name.compare(0, 3, "COM") != 0) return 0;
    int n = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return 0;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

// Guards the slot so that a close on one thread never races a read or write on the other.
std::mutex portMutex;
// Why the last open failed, for the log; guarded by portMutex.
std::string lastOpenError;

// Records why an open failed and reports the failure.
bool openFailed(const std::string& why) {
    lastOpenError = why;
    return false;
}

} // namespace

std::string serialPortLastError() {
    std::lock_guard<std::mutex> lock(portMutex);
    return lastOpenError;
}

#ifdef _WIN32

namespace {
HANDLE portHandle = INVALID_HANDLE_VALUE;
bool portLost = false;

void closeLocked() {
    if (portHandle != INVALID_HANDLE_VALUE) CloseHandle(portHandle);
    portHandle = INVALID_HANDLE_VALUE;
    portLost = false;
}
} // namespace

std::string resolveSerialPortPath(const std::string& name) {
    int n = comNumber(name);
    return n > 0 ? "\\\\.\\COM" + std::to_string(n) : std::string();
}

namespace {
// A configured handle for the port, or INVALID_HANDLE_VALUE; share mode 0 makes a held port fail.
HANDLE openConfigured(const std::string& name, int baud, int dataBits, int parity, int stopBits, int handshake,
                      int receiveBufferSize, int transmitBufferSize) {
    std::string path = resolveSerialPortPath(name);
    if (path.empty()) return INVALID_HANDLE_VALUE;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return h;
    SetupComm(h, static_cast<DWORD>(receiveBufferSize), static_cast<DWORD>(transmitBufferSize));
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    if (!GetCommState(h, &dcb)) {
        CloseHandle(h);
        return INVALID_HANDLE_VALUE;
    }
    dcb.BaudRate = static_cast<DWORD>(baud);
    dcb.ByteSize = static_cast<BYTE>(dataBits);
    dcb.fBinary = TRUE;
    dcb.fParity = parity != ParityNone;
    dcb.Parity = parity == ParityOdd ? ODDPARITY : parity == ParityEven ? EVENPARITY : NOPARITY;
    dcb.StopBits = stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
    dcb.fOutxCtsFlow = handshake == HandshakeRtsCts;
    dcb.fRtsControl = handshake == HandshakeRtsCts ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;
    dcb.fOutX = dcb.fInX = handshake == HandshakeXonXoff;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fOutxDsrFlow = FALSE;
    if (!SetCommState(h, &dcb)) {
        CloseHandle(h);
        return INVALID_HANDLE_VALUE;
    }
    return h;
}
} // namespace

bool openSerialPort(const std::string& name, int baud, int dataBits, int parity, int stopBits, int handshake,
                    int receiveBufferSize, int transmitBufferSize) {
    std::lock_guard<std::mutex> lock(portMutex);
    closeLocked();
    HANDLE h = openConfigured(name, baud, dataBits, parity, stopBits, handshake, receiveBufferSize, transmitBufferSize);
    if (h == INVALID_HANDLE_VALUE) return false;
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD; // reads return at once with what is there
    timeouts.WriteTotalTimeoutConstant = writeTimeoutMs;
    SetCommTimeouts(h, &timeouts);
    portHandle = h;
    return true;
}

bool probeSerialPort(const std::string& name, int baud, int dataBits, int parity, int stopBits, int handshake,
                     int receiveBufferSize, int transmitBufferSize) {
    HANDLE h = openConfigured(name, baud, dataBits, parity, stopBits, handshake, receiveBufferSize, transmitBufferSize);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

bool serialPortIsOpen() {
    std::lock_guard<std::mutex> lock(portMutex);
    if (portHandle == INVALID_HANDLE_VALUE || portLost) return false;
    DWORD errors = 0;
    COMSTAT stat{};
    if (!ClearCommError(portHandle, &errors, &stat)) portLost = true;
    return !portLost;
}

int serialBytesAvailable() {
    std::lock_guard<std::mutex> lock(portMutex);
    if (portHandle == INVALID_HANDLE_VALUE || portLost) return 0;
    DWORD errors = 0;
    COMSTAT stat{};
    if (!ClearCommError(portHandle, &errors, &stat)) {
        portLost = true;
        return 0;
    }
    return static_cast<int>(stat.cbInQue);
}

int readSerialPort(void* buffer, int n) {
    std::lock_guard<std::mutex> lock(portMutex);
    if (portHandle == INVALID_HANDLE_VALUE || portLost || n <= 0) return 0;
    DWORD got = 0;
    if (!ReadFile(portHandle, buffer, static_cast<DWORD>(n), &got, nullptr)) {
        portLost = true;
        return 0;
    }
    return static_cast<int>(got);
}

int writeSerialPort(const void* buffer, int n) {
    std::lock_guard<std::mutex> lock(portMutex);
    if (portHandle == INVALID_HANDLE_VALUE || portLost || n <= 0) return 0;
    DWORD put = 0;
    if (!WriteFile(portHandle, buffer, static_cast<DWORD>(n), &put, nullptr)) return 0;
    return static_cast<int>(put);
}

void closeSerialPort() {
    std::lock_guard<std::mutex> lock(portMutex);
    closeLocked();
}

namespace {
// Auto-reset: one wake ends one wait, and a wake given early is kept for the next.
HANDLE wakeEvent() {
    static HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    return event;
}
} // namespace

void wakeSerialPortWait() {
    SetEvent(wakeEvent());
}

// Received bytes do not signal anything here, so while the port is watched the wait is cut to 1 ms.
void waitSerialPortOrWake(int timeoutMs, bool watchPort) {
    DWORD ms = timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs);
    if (watchPort) {
        std::lock_guard<std::mutex> lock(portMutex);
        if (portHandle != INVALID_HANDLE_VALUE && !portLost && ms > 1) ms = 1;
    }
    if (wakeEvent() == nullptr) {
        Sleep(ms == INFINITE ? 1 : ms);
        return;
    }
    WaitForSingleObject(wakeEvent(), ms);
}

#else

namespace {
int portFd = -1;
bool portLost = false;

void closeLocked() {
    if (portFd >= 0) ::close(portFd);
    portFd = -1;
    portLost = false;
}

speed_t baudConstant(int baud) {
    switch (baud) {
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 921600: return B921600;
    default: return B0;
    }
}

// A hang-up or error on the descriptor means the device (or the pseudo-terminal's peer) is gone.
void notePollState() {
    pollfd p{portFd, 0, 0};
    if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) portLost = true;
}

bool usableLocked() {
    return portFd >= 0 && !portLost;
}

long long steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
} // namespace

std::string resolveSerialPortPath(const std::string& name) {
    int n = comNumber(name);
    if (n <= 0) return std::string();
    std::string link = "ports/COM" + std::to_string(n);
    struct stat st {};
    if (::lstat(link.c_str(), &st) == 0) return link;
    return "/dev/ttyUSB" + std::to_string(n - 1);
}

namespace {
// A descriptor configured for the line settings, or -1 with `why` set. The exclusive lock makes a port
// held elsewhere (by another program or by the slot) "in use", as on systems with exclusive ports.
int openConfigured(const std::string& name, int baud, int dataBits, int parity, int stopBits, int handshake,
                   std::string& why) {
    std::string path = resolveSerialPortPath(name);
    speed_t speed = baudConstant(baud);
    if (path.empty()) return why = "no device for the name " + name, -1;
    if (speed == B0 || dataBits < 5 || dataBits > 8) return why = "unsupported line settings", -1;
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return why = path + ": " + std::strerror(errno), -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        return why = path + ": in use by another program", -1;
    }
    termios tio {};
    if (::tcgetattr(fd, &tio) != 0) {
        ::close(fd);
        return why = path + ": not a serial device", -1;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    static const tcflag_t sizeFlags[] = {CS5, CS6, CS7, CS8};
    tio.c_cflag |= sizeFlags[dataBits - 5] | CLOCAL | CREAD;
    if (parity == ParityOdd) tio.c_cflag |= PARENB | PARODD;
    if (parity == ParityEven) tio.c_cflag |= PARENB;
    if (stopBits == 2) tio.c_cflag |= CSTOPB;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    if (handshake == HandshakeRtsCts) tio.c_cflag |= CRTSCTS;
    if (handshake == HandshakeXonXoff) tio.c_iflag |= IXON | IXOFF;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
        ::close(fd);
        return why = path + ": line settings refused", -1;
    }
    return fd;
}
} // namespace

bool openSerialPort(const std::string& name, int baud, int dataBits, int parity, int stopBits, int handshake,
                    int, int) {
    std::lock_guard<std::mutex> lock(portMutex);
    closeLocked();
    std::string why;
    int fd = openConfigured(name, baud, dataBits, parity, stopBits, handshake, why);
    if (fd < 0) return openFailed(why);
    ::tcflush(fd, TCIOFLUSH);
    lastOpenError.clear();
    portFd = fd;
    portLost = false;
    return true;
}

bool probeSerialPort(const std::string& name, int baud, int dataBits, int parity, int stopBits, int handshake,
                     int, int) {
    std::string why;
    int fd = openConfigured(name, baud, dataBits, parity, stopBits, handshake, why);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

bool serialPortIsOpen() {
    std::lock_guard<std::mutex> lock(portMutex);
    if (portFd < 0) return false;
    if (!portLost) notePollState();
    return !portLost;
}

int serialBytesAvailable() {
    std::lock_guard<std::mutex> lock(portMutex);
    if (!usableLocked()) return 0;
    int n = 0;
    if (::ioctl(portFd, FIONREAD, &n) != 0) {
        notePollState();
        return 0;
    }
    return n;
}

int readSerialPort(void* buffer, int n) {
    std::lock_guard<std::mutex> lock(portMutex);
    if (!usableLocked() || n <= 0) return 0;
    ssize_t got = ::read(portFd, buffer, static_cast<size_t>(n));
    if (got < 0) {
        if (errno != EAGAIN && errno != EINTR) portLost = true;
        return 0;
    }
    return static_cast<int>(got);
}

int writeSerialPort(const void* buffer, int n) {
    std::lock_guard<std::mutex> lock(portMutex);
    if (!usableLocked() || n <= 0) return 0;
    const char* bytes = static_cast<const char*>(buffer);
    int done = 0;
    long long deadline = steadyMs() + writeTimeoutMs;
    while (done < n) {
        ssize_t put = ::write(portFd, bytes + done, static_cast<size_t>(n - done));
        if (put > 0) {
            done += static_cast<int>(put);
            continue;
        }
        if (put < 0 && errno == EINTR) continue;
        if (put < 0 && errno != EAGAIN) {
            portLost = true;
            break;
        }
        long long left = deadline - steadyMs();
        if (left <= 0) break;
        pollfd p{portFd, POLLOUT, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0) break;
        if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
            portLost = true;
            break;
        }
    }
    return done;
}

void closeSerialPort() {
    std::lock_guard<std::mutex> lock(portMutex);
    closeLocked();
}

namespace {
// A pipe that wakes the waiting thread; the byte stays until a wait drains it, so no wake is lost.
struct WakePipe {
    int readEnd = -1;
    int writeEnd = -1;
    WakePipe() {
        int ends[2];
        if (::pipe(ends) != 0) return;
        for (int fd : ends) {
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
        readEnd = ends[0];
        writeEnd = ends[1];
    }
};

WakePipe& wakePipe() {
    static WakePipe pipe;
    return pipe;
}
} // namespace

void wakeSerialPortWait() {
    const char byte = 1;
    // A full pipe already holds a wake.
    if (::write(wakePipe().writeEnd, &byte, 1) < 0) return;
}

void waitSerialPortOrWake(int timeoutMs, bool watchPort) {
    const WakePipe& wake = wakePipe();
    pollfd fds[2] = {{wake.readEnd, POLLIN, 0}, {-1, POLLIN, 0}};
    if (watchPort) {
        std::lock_guard<std::mutex> lock(portMutex);
        if (usableLocked()) fds[1].fd = portFd;
    }
    // Without a pipe nothing could wake the wait, so it lasts no longer than the old 1 ms pass.
    if (wake.readEnd < 0 && (timeoutMs < 0 || timeoutMs > 1)) timeoutMs = 1;
    if (::poll(fds, 2, timeoutMs) <= 0 || (fds[0].revents & POLLIN) == 0) return;
    char drained[64];
    while (::read(wake.readEnd, drained, sizeof drained) > 0) {
    }
}

#endif
