#include "ui/com_port_window.h"

#include <string>

#include "base/colour_theme.h"
#include "base/elapsed_clock.h"
#include "base/gui_numbers.h"
#include "base/messages.h"
#include "base/settings_file.h"
#include "base/system_settings.h"
#include "link/serial_port.h"
#include "platform/platform.h"

namespace {

using namespace gui;

constexpr int rowHeight = 20;
constexpr int firstPort = 1;
constexpr int lastPort = 99;
// Events and the scan's pauses end the window's waits; this bounds a missed wake.
constexpr int longestWindowWaitMs = 1000;

// Set when the window lost the foreground; it closes once another of the program's windows has it.
bool deactivated = false;

std::string portText(int n) {
    return "COM " + std::to_string(n);
}

void label(int& next, int x, int y, int width, const std::string& text, bool sectionTitle) {
    const int control = next++;
    platform::createText(control, comPortWindow, 0, x, y, width, rowHeight, text);
    platform::setControlColours(control, sectionTitle ? colourTheme.accentTextColour : colourTheme.tileTextColour,
                                colourTheme.tileColour);
}

void field(int control, int x, int y, int width, const std::string& text) {
    platform::createTextField(control, comPortWindow, 0, x, y, width, rowHeight, true);
    platform::setControlText(control, text);
}

void setField(int control, const std::string& text) {
    platform::setControlText(control, text);
}

// Removes the first "COM " (any letter case) and reads the rest as a number.
int portNumberOf(const std::string& shown) {
    std::string text = shown;
    for (std::size_t i = 0; i + 4 <= text.size(); ++i) {
        const std::string four = text.substr(i, 4);
        if ((four[0] | 0x20) == 'c' && (four[1] | 0x20) == 'o' && (four[2] | 0x20) == 'm' && four[3] == ' ') {
            text.erase(i, 4);
            break;
        }
    }
    return static_cast<int>(parseSettingInteger(text));
}

void updateAndSave(int dropDown) {
    const int n = portNumberOf(platform::controlText(dropDown));
    comPortScan.scanStep = 0;
    if (n < firstPort || n > lastPort) return;
    systemSettings.comPortNumber = n;
    setField(controlComPortShownMethod1, portText(n));
    setField(controlComPortShownMethod2, portText(n));
    writeSetting(systemSettings.settingsFilePath, "KRV_ComPort", std::to_string(n));
}

bool probe(int port) {
    return probeSerialPort("COM" + std::to_string(port), 115200, 8, ParityNone, 1, HandshakeNone, 1024, 1024);
}

// A waiting step passes once its pause is over, so the window keeps answering meanwhile.
bool waited(int ms) {
    ComPortScan& s = comPortScan;
    const std::int64_t now = elapsedMilliseconds();
    if (s.waitUntilMs == 0) s.waitUntilMs = now + ms;
    if (now < s.waitUntilMs) return false;
    s.waitUntilMs = 0;
    return true;
}

void advanceScan() {
    ComPortScan& s = comPortScan;
    switch (s.scanStep) {
    case 1:
        setField(controlComPortScanStatus, "Setting up COM port scanning...");
        setField(controlComPortProbed, "");
        platform::clearControlItems(controlComPortFound);
        s.scanPort = firstPort;
        s.waitUntilMs = 0;
        s.scanStep = 2;
        break;
    case 2:
        if (waited(500)) s.scanStep = 3;
        break;
    case 3:
        setField(controlComPortScanStatus, "Attempting to open...");
        setField(controlComPortProbed, portText(s.scanPort));
        s.scanStep = 4;
        break;
    case 4:
        if (waited(50)) s.scanStep = 5;
        break;
    case 5:
        if (probe(s.scanPort)) {
            setField(controlComPortScanStatus, "...Successfully opened:");
            platform::addControlItem(controlComPortFound, portText(s.scanPort));
            platform::setControlState(controlComPortFound, 0);
        } else {
            setField(controlComPortScanStatus, "...Failed to open:");
        }
        setField(controlComPortProbed, portText(s.scanPort));
        s.scanStep = 6;
        break;
    case 6:
        if (!waited(50)) break;
        s.scanPort += 1;
        s.scanStep = s.scanPort <= lastPort ? 3 : 7;
        break;
    case 7:
        setField(controlComPortScanStatus, "...scanning now complete");
        setField(controlComPortProbed, "");
        s.scanStep = 0;
        break;
    default: break;
    }
}

// False when the event closes the window.
bool handleEvent(int event) {
    switch (event) {
    case platform::EventControl:
        if (platform::eventControl() == controlComPortScan) comPortScan = ComPortScan{1, 0, 0};
        if (platform::eventControl() == controlComPortUpdateMethod1) updateAndSave(controlComPortFound);
        if (platform::eventControl() == controlComPortUpdateMethod2) updateAndSave(controlComPortAll);
        return true;
    case platform::EventCloseWindow: return platform::eventWindow() != comPortWindow;
    case platform::EventDeactivateWindow:
        if (platform::eventWindow() == comPortWindow) deactivated = true;
        return true;
    case platform::EventActivateWindow:
        if (platform::eventWindow() == comPortWindow) deactivated = false;
        return true;
    default: return true;
    }
}

// The user clicked outside the window onto another of the program's windows.
bool clickedAway() {
    if (!deactivated) return false;
    const int active = platform::activeWindow();
    if (active == comPortWindow) deactivated = false;
    return active != 0 && active != comPortWindow;
}

} // namespace

bool buildComPortWindow() {
    const unsigned flags = platform::WindowTitleBar | platform::WindowSystemMenu;
    if (!platform::openWindow(comPortWindow, 200, 10, 635, 320, "COM port select", flags, mainWindow)) return false;
    platform::setWindowColour(comPortWindow, colourTheme.tileColour);
    const std::string current = portText(systemSettings.comPortNumber);
    int next = controlComPortLabelFirst;
    label(next, 10, 13, 600, "Scan for available COM ports, select from drop-down menu and update (Method 1)", true);
    label(next, 10, 51, 300, "COM port is currently set to --->", false);
    field(controlComPortShownMethod1, 310, 48, 100, current);
    label(next, 10, 76, 300, "1. Press button to scan for available COM ports --->", false);
    platform::createButton(controlComPortScan, comPortWindow, 0, 310, 73, 300, rowHeight, "Scan");
    field(controlComPortScanStatus, 310, 98, 200, "");
    field(controlComPortProbed, 510, 98, 100, "");
    label(next, 10, 126, 300, "2. Available COM ports found (drop-down) --->", false);
    platform::createComboBox(controlComPortFound, comPortWindow, 0, 310, 123, 300, rowHeight, false);
    platform::addControlItem(controlComPortFound, "nothing selected - scan first");
    label(next, 10, 151, 500, "3. Select COM port from list above, then press --->", false);
    platform::createButton(controlComPortUpdateMethod1, comPortWindow, 0, 310, 148, 300, rowHeight, "Update + Save");
    label(next, 10, 201, 600, "...or manually select COM port and update (Method 2)", true);
    label(next, 10, 239, 300, "COM port is currently set to --->", false);
    field(controlComPortShownMethod2, 310, 236, 100, current);
    label(next, 10, 264, 300, "1. COM ports (drop-down) --->", false);
    platform::createComboBox(controlComPortAll, comPortWindow, 0, 310, 261, 300, rowHeight, false);
    for (int n = firstPort; n <= lastPort; ++n) platform::addControlItem(controlComPortAll, portText(n));
    label(next, 10, 289, 500, "2. Select COM port from list above, then press --->", false);
    platform::createButton(controlComPortUpdateMethod2, comPortWindow, 0, 310, 286, 300, rowHeight, "Update + Save");
    comPortScan = ComPortScan{};
    deactivated = false;
    return true;
}

namespace {

// A running scan's next step: at once, or when its pause ends.
std::int64_t scanDueMs() {
    const ComPortScan& s = comPortScan;
    if (s.scanStep == 0) return notDueMs;
    return s.waitUntilMs != 0 ? s.waitUntilMs : nextPassMs();
}

} // namespace

bool comPortWindowPass() {
    const bool open = handleEvent(platform::waitEvent(millisecondsUntil(scanDueMs(), longestWindowWaitMs)));
    advanceScan();
    return open && !clickedAway();
}

void openComPortWindow() {
    if (!buildComPortWindow()) {
        showMessage("Error #xxxx Manage Com Port window won't start");
        return;
    }
    while (comPortWindowPass()) {
    }
    sleepMilliseconds(500);
    platform::closeWindow(comPortWindow);
}
