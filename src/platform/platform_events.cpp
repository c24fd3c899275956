// The event queue: test events, events translated from the toolkit, and the wait with a time-out.
#include "platform/platform_internal.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDeadlineTimer>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>

namespace platform {
namespace detail {

void queueEvent(const Event& event) {
    state().real.push_back(event);
}

int windowOfControl(int control) {
    auto& s = state();
    auto found = s.controls.find(control);
    return found == s.controls.end() ? 0 : found->second.window;
}

namespace {
std::atomic<QAbstractEventDispatcher*> guiDispatcher{nullptr};

void post(const Event& event) {
    auto& s = state();
    {
        std::lock_guard<std::mutex> lock(s.postedMutex);
        s.posted.push_back(event);
    }
    wakeWaitEvent();
}
} // namespace

void rememberEventDispatcher() {
    guiDispatcher.store(QCoreApplication::eventDispatcher(), std::memory_order_release);
}

void clearPostedEvents() {
    auto& s = state();
    std::lock_guard<std::mutex> lock(s.postedMutex);
    s.posted.clear();
}

void queueControlEvent(int control, int type) {
    queueEvent({EventControl, windowOfControl(control), control, 0, type});
}

namespace {

// Turns left-button presses, releases and double-clicks on the program's windows into 513/514/515,
// and follows the pointer for mouseX/mouseY. Seen once per event at the native window.
class MouseWatcher : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            break;
        default:
            return false;
        }
        auto* handle = qobject_cast<QWindow*>(watched);
        if (!handle) return false;
        int window = windowNumberOf(handle);
        if (window == 0) return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        auto& s = state();
        s.mouseGlobal = mouse->globalPosition().toPoint();
        if (event->type() == QEvent::MouseMove && (mouse->buttons() & Qt::LeftButton)) s.draggedSinceWait = true;
        if (event->type() == QEvent::MouseMove || mouse->button() != Qt::LeftButton) return false;
        WindowRecord* record = findWindow(window);
        if (record && record->menuBar && record->menuBar->isVisible() &&
            record->menuBar->geometry().contains(mouse->position().toPoint()))
            return false; // the menu bar is the window's frame as far as the program is concerned
        if (event->type() == QEvent::MouseButtonDblClick) {
            // The toolkit reports the second press and then the double-click; the program expects
            // the double-click in place of that press.
            for (auto it = s.real.rbegin(); it != s.real.rend(); ++it) {
                if (it->window != window || it->code == EventLeftButtonUp) break;
                if (it->code == EventLeftButtonDown) {
                    s.real.erase(std::next(it).base());
                    break;
                }
            }
            queueEvent({EventLeftDoubleClick, window, 0, 0, 0});
        } else {
            queueEvent({event->type() == QEvent::MouseButtonPress ? EventLeftButtonDown : EventLeftButtonUp, window,
                        0, 0, 0});
        }
        return false;
    }
};

bool take(std::deque<Event>& queue) {
    if (queue.empty()) return false;
    state().current = queue.front();
    queue.pop_front();
    return true;
}

bool takePosted() {
    auto& s = state();
    std::lock_guard<std::mutex> lock(s.postedMutex);
    return take(s.posted);
}

// A wake or a drag ends the wait without an event of its own.
bool interrupted() {
    auto& s = state();
    const bool dragged = s.draggedSinceWait;
    s.draggedSinceWait = false;
    return s.wakeRequested.exchange(false, std::memory_order_acq_rel) || dragged;
}

} // namespace

void installEventFilter() {
    qApp->installEventFilter(new MouseWatcher(qApp));
}

} // namespace detail

void wakeWaitEvent() {
    detail::state().wakeRequested.store(true, std::memory_order_release);
    if (QAbstractEventDispatcher* dispatcher = detail::guiDispatcher.load(std::memory_order_acquire))
        dispatcher->wakeUp();
}

int waitEvent(int timeoutMs) {
    auto& s = detail::state();
    s.current = {};
    if (detail::takePosted()) return s.current.code;
    if (!QApplication::instance()) return EventNone;
    if (timeoutMs <= 0) {
        QApplication::processEvents(QEventLoop::AllEvents);
        detail::take(s.real);
        return s.current.code;
    }

    // A timer wakes the blocking wait when nothing else arrives in time.
    static QTimer* wake = [] {
        auto* timer = new QTimer(qApp);
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer);
        return timer;
    }();
    // The blocking pass also handles whatever is already pending, so an idle pass costs one dispatch.
    QDeadlineTimer deadline(timeoutMs, Qt::PreciseTimer);
    if (detail::take(s.real) || detail::interrupted()) return s.current.code;
    while (!deadline.hasExpired()) {
        wake->start(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        if (detail::takePosted() || detail::take(s.real) || detail::interrupted()) break;
    }
    wake->stop();
    return s.current.code;
}

int eventControl() {
    return detail::state().current.control;
}

int eventMenuItem() {
    return detail::state().current.menuItem;
}

int eventWindow() {
    return detail::state().current.window;
}

int eventType() {
    return detail::state().current.type;
}

int mouseX(int window) {
    auto* record = detail::findWindow(window);
    if (!record || !record->client) return detail::state().mouseGlobal.x();
    return record->client->mapFromGlobal(detail::state().mouseGlobal).x();
}

int mouseY(int window) {
    auto* record = detail::findWindow(window);
    if (!record || !record->client) return detail::state().mouseGlobal.y();
    return record->client->mapFromGlobal(detail::state().mouseGlobal).y();
}

void postControlEvent(int control, int type) {
    detail::post({EventControl, detail::windowOfControl(control), control, 0, type});
}

void postMenuEvent(int menuItem, int window) {
    detail::post({EventMenu, window, 0, menuItem, 0});
}

void postCloseEvent(int window) {
    detail::post({EventCloseWindow, window, 0, 0, 0});
}

void postWindowEvent(int code, int window) {
    detail::post({code, window, 0, 0, 0});
}

void postMouseEvent(int code, int window, int x, int y) {
    auto& s = detail::state();
    auto* record = detail::findWindow(window);
    s.mouseGlobal = record && record->client ? record->client->mapToGlobal(QPoint(x, y)) : QPoint(x, y);
    detail::post({code, window, 0, 0, 0});
}

} // namespace platform
