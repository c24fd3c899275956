// Pieces shared by the calibration windows: labels on a grid, centred section headings, the tick and
// busy pictures, and the "Connect" buttons of the bench instruments on the LAN.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/platform.h"

// Rows of 25 pixels and column units of 100 pixels.
inline constexpr int gridRow = 25;
inline constexpr int gridColumn = 100;

// Hands out control numbers for a window's plain labels from `first` upwards.
struct LabelNumbers {
    int next;
};

// A label; `rightAligned` for the texts that lead to a control. Returns its control number.
int addLabel(LabelNumbers& numbers, int window, int x, int y, int width, const std::string& text,
             bool rightAligned = false);
// A heading: the text centred on a coloured strip `width` wide and one row high.
void addHeading(int control, int window, int x, int y, int width, const std::string& text);
// The green tick (23 x 23) and the busy clock (19 x 19), hidden.
void addTick(int control, int window, int x, int y);
void addBusyImage(int control, int window, int x, int y);

// "Connect" of a bench instrument: when not yet connected, shows "Connecting...", tries, and shows
// "Connected", or "Connect" and the error message.
void pressBenchConnect(int button, bool connected, const std::function<bool()>& connect, const std::string& failure);

// A bench instrument's connection that was lost shows "Connect" again, so that pressing it reconnects.
void showBenchConnection(int button, bool connected);
// Tells the user why a bench measurement or command failed, in a box and in the log.
void reportBenchFailure(const std::string& text);
// What a reading field shows when the meter gave no reading.
inline constexpr const char* noReadingText = "no reading";

// Called after every pass of a calibration window's loop; tests watch and drive the window with it.
inline std::function<void()> calibrationWindowPassHook;

// Runs `pass` once per loop pass until it returns false. Each pass first waits for an event, a report
// from the comms thread or the time `dueMs` names (elapsed milliseconds; none: only events and reports).
// The pass sees the event code; control events name their control through platform::eventControl().
void runWindowLoop(const std::function<bool(int event)>& pass, const std::function<std::int64_t()>& dueMs = {});

// "0.0100000000" -> "0.01"; "5.0000000000" -> "5": ten decimals with trailing zeros and point removed.
std::string readingText(double value);
