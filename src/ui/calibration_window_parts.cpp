#include "ui/calibration_window_parts.h"

#include <algorithm>

#include "base/calibration_window_colours.h"
#include "base/elapsed_clock.h"
#include "base/messages.h"
#include "link/comms_thread.h"
#include "base/unit_format.h"

namespace {

// Events, reports and due times end the windows' waits; this bounds a missed wake.
constexpr int longestWindowWaitMs = 1000;
constexpr int labelHeight = 20;
constexpr int tickSize = 23;
constexpr int busySize = 19;

const platform::Font& headingFont() {
    static const platform::Font font("Arial Bold", 9, true, true);
    return font;
}

// The installation's picture, or a drawn stand-in when the graphics folder was not loaded.
platform::Image numberedOr(int number, int size, platform::Rgb colour) {
    if (const platform::Image* image = platform::numberedImage(number)) return *image;
    platform::Image drawn(size, size, calibrationWindowBackground);
    for (int t = 0; t < 3; ++t) {
        platform::drawLine(drawn, size / 6, size / 2 + t, size * 2 / 5, size * 3 / 4 + t, colour);
        platform::drawLine(drawn, size * 2 / 5, size * 3 / 4 + t, size * 5 / 6, size / 4 + t, colour);
    }
    return drawn;
}

} // namespace

int addLabel(LabelNumbers& numbers, int window, int x, int y, int width, const std::string& text, bool rightAligned) {
    const int control = numbers.next++;
    platform::createText(control, window, 0, x, y + 3, width, labelHeight, text);
    if (rightAligned) platform::setControlRightAligned(control, true);
    return control;
}

void addHeading(int control, int window, int x, int y, int width, const std::string& text) {
    platform::Image strip(width, gridRow - 3, calibrationHeadingBackground);
    const platform::Font& font = headingFont();
    const int textX = (width - platform::textWidth(font, text)) / 2;
    const int textY = (strip.height() - platform::textHeight(font, text)) / 2;
    platform::drawText(strip, font, textX < 2 ? 2 : textX, textY, text, calibrationHeadingText);
    platform::createPicture(control, window, 0, x, y, strip);
}

void addTick(int control, int window, int x, int y) {
    platform::createPicture(control, window, 0, x, y, numberedOr(452, tickSize, platform::rgb(0, 160, 0)));
    platform::showControl(control, false);
}

void addBusyImage(int control, int window, int x, int y) {
    platform::createPicture(control, window, 0, x, y, numberedOr(453, busySize, platform::rgb(0, 0, 0)));
    platform::showControl(control, false);
}

void pressBenchConnect(int button, bool connected, const std::function<bool()>& connect, const std::string& failure) {
    if (connected) return;
    platform::setControlText(button, "Connecting...");
    if (connect()) {
        platform::setControlText(button, "Connected");
        return;
    }
    platform::setControlText(button, "Connect");
    platform::messageBox("Error", failure, platform::IconError, platform::ButtonsOk);
}

void showBenchConnection(int button, bool connected) {
    if (!connected && platform::controlText(button) == "Connected") platform::setControlText(button, "Connect");
}

void reportBenchFailure(const std::string& text) {
    appendLogLine(text);
    platform::messageBox("Error", text, platform::IconError, platform::ButtonsOk);
}

void runWindowLoop(const std::function<bool(int event)>& pass, const std::function<std::int64_t()>& dueMs) {
    for (;;) {
        // A report waiting in the ring is for the window to take; a watcher of every pass keeps the old pace.
        std::int64_t due = dueMs ? dueMs() : notDueMs;
        if (reportWaiting() || calibrationWindowPassHook) due = std::min(due, nextPassMs());
        const bool goOn = pass(platform::waitEvent(millisecondsUntil(due, longestWindowWaitMs)));
        if (calibrationWindowPassHook) calibrationWindowPassHook();
        if (!goOn) return;
    }
}

std::string readingText(double value) {
    return formatTrimmed(value);
}
