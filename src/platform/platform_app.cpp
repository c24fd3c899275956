// Start-up and tear-down of the toolkit application object.
#include "platform/platform_internal.h"

#include <QApplication>
#include <QFontDatabase>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>

namespace platform {
namespace detail {

PlatformState& state() {
    static PlatformState instance;
    return instance;
}

} // namespace detail

namespace {

std::string unavailableReason;

// A display on this machine (":N", "unix:N") listens on its socket; a refused one would make the toolkit
// abort. Displays on other hosts are left to the toolkit.
bool localXServerAnswers(const std::string& display) {
    const auto colon = display.rfind(':');
    if (colon == std::string::npos) return false;
    const std::string host = display.substr(0, colon);
    if (!host.empty() && host != "unix") return true;
    const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) return false;
    const std::string path = "/tmp/.X11-unix/X" + number;
    for (const bool abstract : {true, false}) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return true; // cannot tell: let the toolkit try
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::size_t offset = abstract ? 1 : 0; // the abstract name starts with a NUL byte
        std::memcpy(address.sun_path + offset, path.data(), std::min(path.size(), sizeof address.sun_path - 1 - offset));
        const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
        const bool answered = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
        ::close(fd);
        if (answered) return true;
    }
    return false;
}

// Without this check the toolkit aborts the process when no display can be reached.
bool displayReachable() {
    const char* requested = std::getenv("QT_QPA_PLATFORM");
    std::string platformName = requested ? requested : "";
    if (platformName.rfind("offscreen", 0) == 0 || platformName.rfind("minimal", 0) == 0) return true;
    if (platformName.rfind("wayland", 0) == 0) {
        if (std::getenv("WAYLAND_DISPLAY")) return true;
        unavailableReason = "WAYLAND_DISPLAY is not set";
        return false;
    }
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        unavailableReason = "DISPLAY is not set";
        return false;
    }
    if (!localXServerAnswers(display)) {
        unavailableReason = std::string("no X server answers at DISPLAY=") + display;
        return false;
    }
    return true;
}

QtMessageHandler defaultHandler = nullptr;

// The offscreen platform complains about every window-manager request it cannot honour.
void quietOffscreenHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) return;
    if (defaultHandler) defaultHandler(type, context, message);
}

} // namespace

bool initPlatform() {
    auto& s = detail::state();
    if (QApplication::instance()) return s.ready;
    if (!displayReachable()) return false;
    static int argc = 1;
    static char name[] = "krv650";
    static char* argv[] = {name, nullptr};
    QApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    new QApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    s.offscreen = QGuiApplication::platformName() == QLatin1String("offscreen");
    if (s.offscreen) defaultHandler = qInstallMessageHandler(quietOffscreenHandler);
    detail::installEventFilter();
    detail::rememberEventDispatcher();
    s.ready = true;
    return true;
}

std::string platformUnavailableReason() {
    return unavailableReason;
}

bool platformReady() {
    return detail::state().ready;
}

void resetPlatform() {
    auto& s = detail::state();
    detail::closeAllWindows();
    s.controls.clear();
    detail::clearPostedEvents();
    s.real.clear();
    s.current = {};
    s.mouseGlobal = {};
    s.lastActivatedWindow = 0;
    s.activeOverride = -1;
    s.numberedImages.clear();
    removeDialogRecorder();
    clearRecordedDialogs();
    if (QApplication::instance()) {
        // Deliver what the closed windows left behind, then drop the events they caused.
        QApplication::sendPostedEvents();
        QApplication::processEvents();
        s.real.clear();
    }
}

void useSystemDefaultControlFont() {
    if (!QApplication::instance()) return;
    QApplication::setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
}

} // namespace platform
