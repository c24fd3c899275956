// The window-system and drawing adapter. Windows, controls, menu items and images are addressed by
// small integers; events are polled with a short time-out. This header is free of toolkit types so
// that the rest of the program never sees them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// 24-bit colour as 0xRRGGBB.
using Rgb = std::uint32_t;
constexpr Rgb rgb(int r, int g, int b) {
    return (static_cast<Rgb>(r & 255) << 16) | (static_cast<Rgb>(g & 255) << 8) | static_cast<Rgb>(b & 255);
}
constexpr int red(Rgb c) { return static_cast<int>((c >> 16) & 255); }
constexpr int green(Rgb c) { return static_cast<int>((c >> 8) & 255); }
constexpr int blue(Rgb c) { return static_cast<int>(c & 255); }

// ---------------------------------------------------------------------------------------------
// Start-up

// Creates the toolkit application object. Safe to call more than once; later calls do nothing.
// Honours QT_QPA_PLATFORM (offscreen in tests).
bool initPlatform();
// True when initPlatform found a usable display (or the offscreen platform).
bool platformReady();
// Why initPlatform found no display ("DISPLAY is not set", ...); empty when it did.
std::string platformUnavailableReason();
// Destroys every window, control, menu, numbered image and pending event, removes the dialog
// recorder and forgets its records (tests call it between cases).
void resetPlatform();

// ---------------------------------------------------------------------------------------------
// Events

enum EventCode : int {
    EventNone = 0,
    EventControl = 1001,     // a control was clicked / changed: eventControl()
    EventMenu = 1002,        // a menu item was chosen: eventMenuItem()
    EventCloseWindow = 1003, // close request for eventWindow()
    EventMoveWindow = 1004,
    EventSizeWindow = 1005,
    EventMaximizeWindow = 1006,
    EventActivateWindow = 1007,
    EventDeactivateWindow = 1008,
    EventLeftButtonDown = 513,
    EventLeftButtonUp = 514,
    EventLeftDoubleClick = 515,
};

// Sub-kinds of a control event, from eventType().
enum ControlEventType : int {
    ControlLeftClick = 0,
    ControlChange = 1,      // text field edited, combo box selection changed
    ControlFocus = 2,
    ControlLostFocus = 3,
};

// Waits at most `timeoutMs` milliseconds (0 = just poll) for the next event and returns its code.
// The wait also ends early, returning EventNone, on wakeWaitEvent and when the pointer moves over one of
// the program's windows with the left button held (a drag that the loop follows).
int waitEvent(int timeoutMs);
// Any thread: ends the GUI thread's current waitEvent, or the next one when it is not waiting.
void wakeWaitEvent();
// Details of the event returned by the last waitEvent.
int eventControl();
int eventMenuItem();
int eventWindow();
int eventType();

// Mouse position in client coordinates of `window`, as last seen by the toolkit. The origin is the
// top-left corner of the area below the menu bar, where controls at (0, 0) sit.
int mouseX(int window);
int mouseY(int window);

// Test hook: queue events as if the user had caused them. They are returned by waitEvent in order,
// before any real event. Control, menu, close and window events may be posted from any thread (a post
// ends a wait); postMouseEvent belongs to the GUI thread.
void postControlEvent(int control, int type = ControlLeftClick);
void postMenuEvent(int menuItem, int window = 1);
void postCloseEvent(int window);
void postWindowEvent(int code, int window);
// Posts a left-button event (513/514/515) at (x, y) in the client area of `window`; the position is
// what mouseX/mouseY report from then on.
void postMouseEvent(int code, int window, int x, int y);

// ---------------------------------------------------------------------------------------------
// Windows

enum WindowFlags : unsigned {
    WindowTitleBar = 1u << 0,
    WindowSystemMenu = 1u << 1,
    WindowMinimizeGadget = 1u << 2,
    WindowMaximizeGadget = 1u << 3,
    WindowSizeGadget = 1u << 4,
    WindowScreenCentered = 1u << 5,
    WindowInvisible = 1u << 6,
    WindowTool = 1u << 7,
};

bool openWindow(int window, int x, int y, int width, int height, const std::string& title, unsigned flags,
                int parentWindow = 0);
void closeWindow(int window);
bool windowExists(int window);
void setWindowTitle(int window, const std::string& title);
std::string windowTitle(int window);
// Sizes refer to the client area below the menu bar's top (the menu bar is inside the client area).
// Maximizing a window queues EventMaximizeWindow and, as any size change, EventSizeWindow.
void resizeWindow(int window, int width, int height);
void moveWindow(int window, int x, int y);
int windowWidth(int window);
int windowHeight(int window);
int windowX(int window);
int windowY(int window);
bool windowMaximized(int window);
void setWindowColour(int window, Rgb colour);
// The program's window that has the input focus (0 when another program's window is active). On the
// offscreen platform: the window opened or activated last.
int activeWindow();
void setActiveWindow(int window);
// Test hook: pretend that `window` is the foreground window (-1 = ask the toolkit again).
void overrideActiveWindow(int window);

// ---------------------------------------------------------------------------------------------
// Menus (one menu bar per window)

bool createMenuBar(int window);
// Adds a top-level menu (parentMenu = 0) or a submenu of `parentMenu`; returns its handle (> 0).
int addMenu(int window, int parentMenu, const std::string& title);
void addMenuItem(int window, int menu, int item, const std::string& caption);
void addMenuSeparator(int window, int menu);
void setMenuItemChecked(int window, int item, bool checked);
bool menuItemChecked(int window, int item);
bool menuItemExists(int window, int item);
std::string menuItemCaption(int window, int item);
// Height of the window's menu bar in pixels (0 without one).
int menuBarHeight(int window);
// Layout of a menu bar for tests: for every top-level menu its title and, depth-first, the entries
// ("-" for a separator, ">Title" opening a submenu, "<" closing it, "N:caption" for an item).
std::vector<std::string> menuBarOutline(int window);

// ---------------------------------------------------------------------------------------------
// Images and fonts

struct ImageData;
struct FontData;

// A 32-bit RGB image drawn in memory. Copies share nothing: assigning copies the pixels lazily.
class Image {
public:
    Image();
    Image(int width, int height, Rgb fill = 0);
    Image(const Image& other);
    Image& operator=(const Image& other);
    Image(Image&&) noexcept;
    Image& operator=(Image&&) noexcept;
    ~Image();

    bool valid() const;
    int width() const;
    int height() const;
    Rgb pixel(int x, int y) const;
    // Raw 0xAARRGGBB rows, top to bottom, for the PNG writer and comparisons.
    const std::uint32_t* scanLine(int y) const;

    ImageData* data() const { return data_.get(); }

private:
    std::shared_ptr<ImageData> data_;
    void detach();
    friend struct ImageAccess;
};

class Font {
public:
    Font();
    // `face` may carry a style word: "Arial Bold" is the family "Arial" in bold. `points` map to
    // pixels at 96 dpi whatever the screen says.
    Font(const std::string& face, double points, bool bold, bool antialiased);
    bool valid() const;
    std::string face() const;
    double points() const;
    FontData* data() const { return data_.get(); }

private:
    std::shared_ptr<FontData> data_;
};

// Drawing on an image; coordinates in pixels, all clipped to the image.
void fillRect(Image& image, int x, int y, int width, int height, Rgb colour);
void drawLine(Image& image, int x1, int y1, int x2, int y2, Rgb colour);
void setPixel(Image& image, int x, int y, Rgb colour);
// Single pixels (xs[i], ys[i]) in one colour, for many at once; those outside the image are skipped.
void setPixels(Image& image, const int* xs, const int* ys, std::size_t count, Rgb colour);
// Repaints the 4-connected area of pixels that have the colour of (x, y).
void floodFill(Image& image, int x, int y, Rgb colour);
// Text with its top-left corner at (x, y), transparent background.
void drawText(Image& image, const Font& font, int x, int y, const std::string& text, Rgb colour);
// Text turned 90 degrees counter-clockwise (reads bottom to top); (x, y) is the bottom-left corner
// of the rotated text's box, so the text runs upwards from y.
void drawTextVertical(Image& image, const Font& font, int x, int y, const std::string& text, Rgb colour);
// Advance width of the text and line height (ascent + descent) of the font; 0 for an invalid font.
int textWidth(const Font& font, const std::string& text);
int textHeight(const Font& font, const std::string& text);
// Copies `source` onto `target` at (x, y).
void blit(Image& target, const Image& source, int x, int y);
// The sub-rectangle of `source`; parts outside the source are black.
Image copyImage(const Image& source, int x, int y, int width, int height);

// PNG through libpng. writePng writes 8-bit RGB and returns false (and leaves no partial file behind)
// on failure. readPng accepts palette, grey, 16-bit and alpha PNGs; transparent pixels are
// composited over black. On failure `image` is left as it was.
bool writePng(const Image& image, const std::string& path);
bool readPng(const std::string& path, Image& image);

// Program-wide numbered images (for example 452 = the green tick).
void setNumberedImage(int number, const Image& image);
const Image* numberedImage(int number);

// ---------------------------------------------------------------------------------------------
// Controls (numbers are program-wide, whichever window holds them)

// parent = 0 places the control in the window's client area, otherwise inside container `parent`.
bool createContainer(int control, int window, int parent, int x, int y, int width, int height, Rgb background);
// A picture control shows a copy of `image` and takes its size.
bool createPicture(int control, int window, int parent, int x, int y, const Image& image);
bool createText(int control, int window, int parent, int x, int y, int width, int height, const std::string& text);
bool createButton(int control, int window, int parent, int x, int y, int width, int height, const std::string& text);
bool createCheckBox(int control, int window, int parent, int x, int y, int width, int height, const std::string& text);
bool createComboBox(int control, int window, int parent, int x, int y, int width, int height, bool editable);
bool createTextField(int control, int window, int parent, int x, int y, int width, int height, bool readOnly);
bool createList(int control, int window, int parent, int x, int y, int width, int height);
bool createProgressBar(int control, int window, int parent, int x, int y, int width, int height, int minimum,
                       int maximum);
void freeControl(int control);
bool controlExists(int control);

void setControlImage(int control, const Image& image);
// The picture currently shown by a picture control (tests and screenshots).
Image controlImage(int control);
void setControlText(int control, const std::string& text);
std::string controlText(int control);
void setControlState(int control, int state); // check box 0/1, progress bar value, combo/list selection
int controlState(int control);
void addControlItem(int control, const std::string& text); // combo box / list
void clearControlItems(int control);
int controlItemCount(int control);
std::string controlItemText(int control, int index);
void setControlColours(int control, Rgb foreground, Rgb background);
void setControlFont(int control, const Font& font);
// A negative width or height keeps the current one.
void moveControl(int control, int x, int y, int width, int height);
// Right-aligned text in a text field or label (left-aligned by default).
void setControlRightAligned(int control, bool right);
int controlX(int control);
int controlY(int control);
int controlWidth(int control);
int controlHeight(int control);
void showControl(int control, bool visible);
void disableControl(int control, bool disabled);

// Default font of controls (start-up step: the system's default GUI font).
void useSystemDefaultControlFont();

// ---------------------------------------------------------------------------------------------
// Dialogs

enum MessageIcon : int { IconNone = 0, IconInformation = 1, IconWarning = 2, IconError = 3 };
enum MessageButtons : int { ButtonsOk = 0, ButtonsYesNo = 1 };
enum MessageAnswer : int { AnswerOk = 1, AnswerYes = 6, AnswerNo = 7 };

// A modal message box; returns the button pressed. On the offscreen platform, where nobody could
// answer, and without a recorder, the box is written to stderr and answered OK / No.
int messageBox(const std::string& title, const std::string& body, int icon, int buttons);

// Modal file dialogs; return the chosen path or the empty text when cancelled (always empty on the
// offscreen platform without a recorder). `pattern` is "Label (*.ext)|*.ext" pairs joined by "|".
std::string openFileDialog(const std::string& title, const std::string& defaultPath, const std::string& pattern);
std::string saveFileDialog(const std::string& title, const std::string& defaultPath, const std::string& pattern);

// Test hook: while installed, message boxes and file dialogs are recorded and answered here instead
// of being shown.
struct RecordedDialog {
    std::string kind; // "message", "open", "save", "url"
    std::string title;
    std::string body;     // message text, default path or URL
    int icon = IconNone;
    int buttons = ButtonsOk;
};
using DialogResponder = std::function<std::string(const RecordedDialog&)>;
// The responder returns "yes"/"no"/"ok" for message boxes and the path for file dialogs.
void installDialogRecorder(DialogResponder responder);
void removeDialogRecorder();
const std::vector<RecordedDialog>& recordedDialogs();
void clearRecordedDialogs();

// Opens a URL in the default web browser; with a recorder installed it is recorded instead.
bool openUrl(const std::string& url);

// Plain text on the system clipboard; false (and empty text) when there is no clipboard to use.
bool setClipboardText(const std::string& text);
std::string clipboardText();

// Screenshot of a window's client area (menu bar included) as drawn by the toolkit.
Image grabWindow(int window);

} // namespace platform
