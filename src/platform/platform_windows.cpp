// Numbered top-level windows: a menu bar on top and, below it, the client widget that holds controls.
#include "platform/platform_internal.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QScreen>
#include <QWindow>

#include <vector>

namespace platform {
namespace detail {
namespace {

// Geometry events arrive in bursts while the user drags; one pending event per kind is enough.
void queueWindowEventOnce(int code, int window) {
    auto& queue = state().real;
    if (!queue.empty() && queue.back().code == code && queue.back().window == window) return;
    queueEvent({code, window, 0, 0, 0});
}

class WindowWidget : public QWidget {
public:
    WindowWidget(int number, QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags), number_(number) {}

protected:
    // The program decides whether a window closes; the close button only asks.
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        queueEvent({EventCloseWindow, number_, 0, 0, 0});
    }
    void moveEvent(QMoveEvent*) override {
        if (isVisible()) queueWindowEventOnce(EventMoveWindow, number_);
    }
    void resizeEvent(QResizeEvent*) override {
        if (auto* record = findWindow(number_)) layoutWindow(*record);
        if (isVisible()) queueWindowEventOnce(EventSizeWindow, number_);
    }
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::ActivationChange) {
            if (isActiveWindow()) {
                state().lastActivatedWindow = number_;
                queueEvent({EventActivateWindow, number_, 0, 0, 0});
            } else {
                queueEvent({EventDeactivateWindow, number_, 0, 0, 0});
            }
        } else if (event->type() == QEvent::WindowStateChange && isMaximized()) {
            queueEvent({EventMaximizeWindow, number_, 0, 0, 0});
        }
        QWidget::changeEvent(event);
    }

private:
    int number_;
};

Qt::WindowFlags qtWindowFlags(unsigned flags) {
    Qt::WindowFlags result = (flags & WindowTool) ? Qt::Tool : Qt::Window;
    const unsigned decorations =
        WindowTitleBar | WindowSystemMenu | WindowMinimizeGadget | WindowMaximizeGadget | WindowSizeGadget;
    if ((flags & decorations) == 0) return result;
    result |= Qt::CustomizeWindowHint;
    if (flags & (WindowTitleBar | WindowSystemMenu)) result |= Qt::WindowTitleHint;
    if (flags & WindowSystemMenu) result |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (flags & WindowMinimizeGadget) result |= Qt::WindowMinimizeButtonHint;
    if (flags & WindowMaximizeGadget) result |= Qt::WindowMaximizeButtonHint;
    return result;
}

int menuHeight(const WindowRecord& record, int width) {
    if (!record.menuBar) return 0;
    int height = record.menuBar->heightForWidth(width);
    return height > 0 ? height : record.menuBar->sizeHint().height();
}

void setWindowSize(WindowRecord& record, int width, int height) {
    width = std::max(1, width);
    height = std::max(1, height);
    if (record.flags & WindowSizeGadget)
        record.widget->resize(width, height);
    else
        record.widget->setFixedSize(width, height);
    layoutWindow(record);
}

} // namespace

WindowRecord* findWindow(int window) {
    auto& windows = state().windows;
    auto found = windows.find(window);
    if (found == windows.end() || !found->second.widget) return nullptr;
    return &found->second;
}

int windowNumberOf(const QWindow* handle) {
    for (auto& [number, record] : state().windows)
        if (record.widget && record.widget->windowHandle() == handle) return number;
    return 0;
}

void layoutWindow(WindowRecord& record) {
    if (!record.widget || !record.client) return;
    int width = record.widget->width();
    int height = record.widget->height();
    int menu = menuHeight(record, width);
    if (record.menuBar) record.menuBar->setGeometry(0, 0, width, menu);
    record.client->setGeometry(0, menu, width, std::max(0, height - menu));
}

void closeAllWindows() {
    std::vector<int> numbers;
    for (auto& entry : state().windows) numbers.push_back(entry.first);
    for (int number : numbers) closeWindow(number);
    state().windows.clear();
}

} // namespace detail

bool openWindow(int window, int x, int y, int width, int height, const std::string& title, unsigned flags,
                int parentWindow) {
    if (!initPlatform()) return false;
    closeWindow(window);
    auto* parentRecord = detail::findWindow(parentWindow);
    auto* widget = new detail::WindowWidget(window, parentRecord ? parentRecord->widget.data() : nullptr,
                                            detail::qtWindowFlags(flags));
    widget->setWindowTitle(QString::fromStdString(title));
    widget->setAttribute(Qt::WA_DeleteOnClose, false);
    widget->setMouseTracking(true);
    auto& record = detail::state().windows[window];
    record = {};
    record.widget = widget;
    record.client = new QWidget(widget);
    record.client->setMouseTracking(true);
    record.parentWindow = parentWindow;
    record.flags = flags;
    detail::setWindowSize(record, width, height);
    if (flags & WindowScreenCentered) {
        QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        x = screen.x() + (screen.width() - widget->width()) / 2;
        y = screen.y() + (screen.height() - widget->height()) / 2;
    }
    widget->move(x, y);
    widget->winId(); // the native window must exist for the mouse watcher to recognise it
    if (!(flags & WindowInvisible)) {
        widget->show();
        widget->raise();
        widget->activateWindow();
        detail::state().lastActivatedWindow = window;
    }
    return true;
}

void closeWindow(int window) {
    auto& s = detail::state();
    auto found = s.windows.find(window);
    if (found == s.windows.end()) return;
    std::vector<int> children;
    for (auto& [number, record] : s.windows)
        if (record.parentWindow == window && number != window) children.push_back(number);
    for (int child : children) closeWindow(child);
    found = s.windows.find(window);
    QPointer<QWidget> widget = found->second.widget;
    detail::forgetControlsOfWindow(window);
    s.windows.erase(found);
    delete widget.data();
    if (s.lastActivatedWindow == window) {
        s.lastActivatedWindow = 0;
        for (auto& [number, record] : s.windows)
            if (record.widget && record.widget->isVisible()) s.lastActivatedWindow = number;
        // The foreground passes on, as it does when a window closes; without a window manager nobody else would.
        if (auto* next = detail::findWindow(s.lastActivatedWindow); next && !s.offscreen) next->widget->activateWindow();
    }
}

bool windowExists(int window) {
    return detail::findWindow(window) != nullptr;
}

void setWindowTitle(int window, const std::string& title) {
    if (auto* record = detail::findWindow(window)) record->widget->setWindowTitle(QString::fromStdString(title));
}

std::string windowTitle(int window) {
    auto* record = detail::findWindow(window);
    return record ? record->widget->windowTitle().toStdString() : std::string();
}

void resizeWindow(int window, int width, int height) {
    if (auto* record = detail::findWindow(window)) detail::setWindowSize(*record, width, height);
}

void moveWindow(int window, int x, int y) {
    if (auto* record = detail::findWindow(window)) record->widget->move(x, y);
}

int windowWidth(int window) {
    auto* record = detail::findWindow(window);
    return record ? record->widget->width() : 0;
}

int windowHeight(int window) {
    auto* record = detail::findWindow(window);
    return record ? record->widget->height() : 0;
}

int windowX(int window) {
    auto* record = detail::findWindow(window);
    return record ? record->widget->x() : 0;
}

int windowY(int window) {
    auto* record = detail::findWindow(window);
    return record ? record->widget->y() : 0;
}

bool windowMaximized(int window) {
    auto* record = detail::findWindow(window);
    return record && record->widget->isMaximized();
}

void setWindowColour(int window, Rgb colour) {
    auto* record = detail::findWindow(window);
    if (!record) return;
    // Only the client area: the menu bar keeps the toolkit's colours so that its text stays readable.
    QPalette palette = record->client->palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(colour));
    record->client->setPalette(palette);
    record->client->setAutoFillBackground(true);
}

int activeWindow() {
    auto& s = detail::state();
    if (s.activeOverride >= 0) return s.activeOverride;
    if (!QApplication::instance()) return 0;
    // The offscreen platform has no notion of a foreground window of its own.
    if (s.offscreen) return windowExists(s.lastActivatedWindow) ? s.lastActivatedWindow : 0;
    QWidget* active = QApplication::activeWindow();
    for (auto& [number, record] : s.windows)
        if (active && record.widget == active) return number;
    return 0;
}

void setActiveWindow(int window) {
    auto* record = detail::findWindow(window);
    if (!record) return;
    record->widget->raise();
    record->widget->activateWindow();
    detail::state().lastActivatedWindow = window;
}

void overrideActiveWindow(int window) {
    detail::state().activeOverride = window;
}

Image grabWindow(int window) {
    auto* record = detail::findWindow(window);
    if (!record) return Image();
    QImage shot = record->widget->grab().toImage();
    return ImageAccess::fromQImage(shot.scaled(record->widget->size()));
}

} // namespace platform
