// The connection indicator of the status panel: picture 61 and the communication status text 62.
#pragma once

struct ConnectionIndicator {
    int shownState = 1; // value of linkConnected the indicator shows; 99 forces a redraw
};

inline ConnectionIndicator connectionIndicator;

void resetConnectionIndicatorDefaults();
// After every connect attempt: the next refresh redraws whatever the link state.
void forceConnectionIndicatorRedraw();
// Shows the connected / disconnected picture and text when linkConnected changed.
void refreshConnectionIndicator();
// Loop tick: shows a checksum error handed over by the comms thread, then refreshes the indicator.
void checkForLostLink();
