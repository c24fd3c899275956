// The COM port selection window: scan ports 1 to 99 for ones that open, or pick any number, then
// store the choice in KRV_ComPort. It does not connect.
#pragma once

#include <cstdint>

struct ComPortScan {
    int scanStep = 0;            // 0 idle, 1 ... 7 while scanning
    int scanPort = 0;            // port being probed
    std::int64_t waitUntilMs = 0; // end of the pause of a waiting step
};

inline ComPortScan comPortScan;

// Opens window 223 and runs its own event loop until the window closes.
void openComPortWindow();

// One pass of the window's loop, for the loop itself and for tests: takes at most one event, advances
// the scan by one step. False once the window should close.
bool comPortWindowPass();
// Builds the window's controls; false when the window could not be opened.
bool buildComPortWindow();
