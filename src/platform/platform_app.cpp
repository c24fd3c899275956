// Start-up and tear-down of the toolkit application object.
#include "platform/platform_internal.h"

#include <QApplication>
#include <QFontDatabase>

#include <cstdlib>
#include <string>

namespace platform {
namespace detail {

PlatformState& state() {
    static PlatformState instance;
    return instance;
}

} // namespace detail

namespace {

// Without this check the toolkit aborts the process when no display can be reached.
bool displayReachable() {
    const char* requested = std::getenv("QT_QPA_PLATFORM");
    std::string platformName = requested ? requested : "";
    if (platformName.rfind("offscreen", 0) == 0 || platformName.rfind("minimal", 0) == 0) return true;
    if (platformName.rfind("wayland", 0) == 0) return std::getenv("WAYLAND_DISPLAY") != nullptr;
    const char* display = std::getenv("DISPLAY");
    return display && *display;
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
