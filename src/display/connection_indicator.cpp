#include "display/connection_indicator.h"

#include <string>

#include "base/gui_numbers.h"
#include "link/comms_thread.h"
#include "link/instrument_link.h"
#include "platform/platform.h"

void resetConnectionIndicatorDefaults() {
    connectionIndicator = ConnectionIndicator{};
}

void forceConnectionIndicatorRedraw() {
    connectionIndicator.shownState = 99;
}

void refreshConnectionIndicator() {
    const int connected = instrumentLink.linkConnected.load(std::memory_order_acquire);
    if (connected == connectionIndicator.shownState) return;
    connectionIndicator.shownState = connected;
    const platform::Image* picture =
        platform::numberedImage(connected == 1 ? gui::imageConnected : gui::imageDisconnected);
    if (picture && platform::controlExists(gui::controlConnectionImage))
        platform::setControlImage(gui::controlConnectionImage, *picture);
    if (connected != 1 && platform::controlExists(gui::controlCommsStatusText))
        platform::setControlText(gui::controlCommsStatusText, " USB disconnected");
}

void checkForLostLink() {
    const std::string error = takeChecksumErrorText();
    if (!error.empty() && platform::controlExists(gui::controlCommsStatusText))
        platform::setControlText(gui::controlCommsStatusText, error);
    refreshConnectionIndicator();
}
