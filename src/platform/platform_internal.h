// State shared by the files of the platform layer; the only header here that names Qt types.
#pragma once

#include "platform/platform.h"

#include <QFont>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <atomic>
#include <deque>
#include <map>
#include <mutex>

class QAction;
class QMenu;
class QMenuBar;
class QWindow;

namespace platform {

struct ImageData {
    QImage image; // always Format_RGB32 while valid
};

struct FontData {
    QFont font;
    std::string face;
    double points = 0;
};

// Mutable pixels of an Image; the layer's drawing code goes through here.
struct ImageAccess {
    static QImage& pixels(Image& image);
    static Image fromQImage(const QImage& source);
};

namespace detail {

struct Event {
    int code = EventNone;
    int window = 0;
    int control = 0;
    int menuItem = 0;
    int type = 0;
};

struct MenuItemRecord {
    QPointer<QAction> action;
    std::string caption;
    bool checked = false;
};

struct WindowRecord {
    QPointer<QWidget> widget; // the top-level window
    QPointer<QWidget> client; // parent of the controls, just below the menu bar
    QPointer<QMenuBar> menuBar;
    std::map<int, QPointer<QMenu>> menus; // handle -> menu
    std::map<int, MenuItemRecord> items;  // item number -> action
    int nextMenuHandle = 1;
    int parentWindow = 0;
    unsigned flags = 0;
};

enum class ControlKind { Container, Picture, Text, Button, CheckBox, ComboBox, TextField, List, ProgressBar };

struct ControlRecord {
    ControlKind kind = ControlKind::Container;
    int window = 0;
    QPointer<QWidget> widget;
};

struct PlatformState {
    bool ready = false;
    bool offscreen = false;

    std::map<int, WindowRecord> windows;
    std::map<int, ControlRecord> controls;

    std::mutex postedMutex;   // test events may come from any thread
    std::deque<Event> posted; // test events, served first; guarded by postedMutex
    std::deque<Event> real;   // events caused by the toolkit
    Event current;

    std::atomic<bool> wakeRequested{false}; // set by wakeWaitEvent from any thread
    bool draggedSinceWait = false;          // the pointer moved with the left button held
    QPoint mouseGlobal;          // last pointer position seen, screen coordinates
    int lastActivatedWindow = 0; // stands in for the foreground window where the toolkit cannot tell
    int activeOverride = -1;

    std::map<int, Image> numberedImages;
};

PlatformState& state();

// Events
void queueEvent(const Event& event);
void clearPostedEvents();
// Remembers the GUI thread's event dispatcher so that other threads can wake it.
void rememberEventDispatcher();
void queueControlEvent(int control, int type);
int windowOfControl(int control);
void installEventFilter();

// Windows
WindowRecord* findWindow(int window);
int windowNumberOf(const QWindow* handle);
void layoutWindow(WindowRecord& record);
void closeAllWindows();

// Controls
void forgetControlsOfWindow(int window);

// Fonts
QFont qtFont(const Font& font);

} // namespace detail
} // namespace platform
