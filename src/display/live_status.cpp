#include "display/live_status.h"

#include "base/gui_numbers.h"
#include "base/system_settings.h"
#include "base/unit_format.h"
#include "display/status_strips.h"
#include "link/comms_thread.h"
#include "link/instrument_link.h"
#include "sweep/instrument_values.h"
#include "sweep/sweep_state_machine.h"
#include "platform/platform.h"

namespace {

std::string volts(double v) {
    return formatFixed(v, 3) + " V";
}
std::string milliamps(double a) {
    return formatFixed(a * 1000, 3) + " mA";
}

// Raw sums are divided by their sample counts, truncating towards zero; the texts have no unit.
std::string rawMean(std::int64_t sum, std::int64_t count) {
    return std::to_string(sum / (count > 0 ? count : 1));
}

// The ±1.5 V warning follows the instantaneous Vb in both calibrated modes.
void markVbBeyondRange(LiveReadings& live) {
    if (sweepReadings.vb > 1.5) live.liveVb = ">+1.50 V";
    if (sweepReadings.vb < -1.5) live.liveVb = "<-1.50 V";
}

void computeLiveTexts(LiveReadings& live) {
    const std::string& mode = systemSettings.liveReadings;
    const SweepReadings& r = sweepReadings;
    if (mode == "Realtime") {
        live = {volts(r.vc), volts(r.vr), milliamps(r.ic), volts(r.vb)};
        markVbBeyondRange(live);
    } else if (mode == "Smoothed") {
        live = {volts(r.smoothedVc), volts(r.smoothedVr), milliamps(r.smoothedIc), volts(r.smoothedVb)};
        markVbBeyondRange(live);
    } else if (mode == "Raw") {
        const SampleCounts& counts = instrumentValues.sampleCounts;
        live = {rawMean(currentReport.rawVc, counts.vcIc), rawMean(currentReport.rawVr, 1),
                rawMean(currentReport.rawIc, counts.vcIc), rawMean(currentReport.rawVb, counts.vb)};
    }
}

void showImage(int control, int image) {
    const platform::Image* picture = platform::numberedImage(image);
    if (picture && platform::controlExists(control)) platform::setControlImage(control, *picture);
}

bool menuBarExists() {
    return platform::menuItemExists(gui::mainWindow, gui::menuConnect);
}

void showConnection(int connected) {
    if (connected == 0) {
        instrumentLink.commsStatusText = "Disconnected";
        showImage(gui::controlConnectButton, gui::imageConnectOff);
    } else {
        showImage(gui::controlConnectButton, gui::imageConnectOn);
    }
    if (!menuBarExists()) return;
    platform::setMenuItemChecked(gui::mainWindow, gui::menuConnect, connected == 1);
    platform::setMenuItemChecked(gui::mainWindow, gui::menuDisconnect, connected == 0);
}

void refreshIndicators() {
    const std::int64_t hv = decodedStatus.hvState;
    if (hv != 0 && hv != 3) return; // switching: both keep their pictures
    const int link = instrumentLinkConnected() ? 1 : 0;
    const int connection = link;
    const int highVoltage = hv == 3 ? link : 0;
    if (connection != shownStatus.connectionIndicator) {
        shownStatus.connectionIndicator = connection;
        showConnection(connection);
    }
    if (highVoltage != shownStatus.highVoltageIndicator) {
        shownStatus.highVoltageIndicator = highVoltage;
        showImage(gui::controlHighVoltageButton, highVoltage == 1 ? gui::imageHvOn : gui::imageHvOff);
    }
}

void refreshRunButtons() {
    const auto state = static_cast<std::int64_t>(sweepControl.sweepState);
    if (state == shownStatus.sweepState) return;
    shownStatus.sweepState = state;
    const bool idle = state == 0;
    showImage(gui::controlRunButton, idle ? gui::imageRunIdle : gui::imageRunBusy);
    showImage(gui::controlStopButton, idle ? gui::imageStopIdle : gui::imageStopBusy);
}

void refreshCommsStrip() {
    if (instrumentLink.commsStatusText == shownStatus.commsStatusText) return;
    shownStatus.commsStatusText = instrumentLink.commsStatusText;
    if (platform::controlExists(gui::controlCommsStatusStrip))
        platform::setControlImage(gui::controlCommsStatusStrip, drawCommsStatusStrip());
}

} // namespace

bool operator==(const LiveReadings& a, const LiveReadings& b) {
    return a.liveVc == b.liveVc && a.liveVr == b.liveVr && a.liveIc == b.liveIc && a.liveVb == b.liveVb;
}

void resetLiveStatusDefaults() {
    liveReadings = LiveReadings{};
    shownStatus = ShownStatus{};
}

void refreshLiveReadings() {
    // Without readings to show the texts are "-" whatever the mode, so nothing is formatted.
    if (instrumentLinkConnected() && decodedStatus.hvState == 3)
        computeLiveTexts(liveReadings);
    else
        liveReadings = LiveReadings{};
    if (liveReadings == shownStatus.readings) return;
    shownStatus.readings = liveReadings;
    if (platform::controlExists(gui::controlRunStatusStrip))
        platform::setControlImage(gui::controlRunStatusStrip, drawRunStatusStrip());
}

void refreshStatus() {
    refreshIndicators();
    refreshRunButtons();
    refreshCommsStrip();
}
