#include <string>

#include "base/gui_numbers.h"
#include "base/system_settings.h"
#include "display/live_status.h"
#include "display/status_strips.h"
#include "link/comms_thread.h"
#include "link/instrument_link.h"
#include "main_window_fixture.h"
#include "sweep/instrument_values.h"
#include "sweep/sweep_state_machine.h"

namespace {

using namespace gui;

// The link counts as open without a port or a comms thread behind it.
void setLink(int open, std::int64_t hvState) {
    instrumentLink.linkConnected.store(open);
    decodedStatus.hvState = hvState;
}

bool shows(int control, int image) {
    return sameImage(platform::controlImage(control), *platform::numberedImage(image));
}

std::string texts() {
    const LiveReadings& l = liveReadings;
    return l.liveVc + "|" + l.liveVr + "|" + l.liveIc + "|" + l.liveVb;
}

TEST_F(MainWindowTest, LiveReadingsFollowTheModeAndShowDashesUnlessConnectedWithHighVoltageOn) {
    SweepReadings& r = sweepReadings;
    r.vc = 12.3456;
    r.vr = 0.5;
    r.ic = 0.0123456;
    r.vb = 2.0;
    r.smoothedVc = 12.0;
    r.smoothedVr = 0.25;
    r.smoothedIc = 0.001;
    r.smoothedVb = 1.0;
    currentReport.rawVc = -7;
    currentReport.rawVr = 9;
    currentReport.rawIc = 26;
    currentReport.rawVb = 11;
    instrumentValues.sampleCounts = {5, 1};
    const struct {
        int link;
        std::int64_t hv;
        const char* mode;
        double vb;
        const char* expected;
    } cases[] = {
        {1, 0, "Smoothed", 2.0, "-|-|-|-"},
        {0, 3, "Smoothed", 2.0, "-|-|-|-"},
        // The Vb warning follows the instantaneous Vb while the smoothed one is still 1.0.
        {1, 3, "Smoothed", 2.0, "12.000 V|0.250 V|1.000 mA|>+1.50 V"},
        {1, 3, "Smoothed", 0.5, "12.000 V|0.250 V|1.000 mA|1.000 V"},
        {1, 3, "Realtime", -1.6, "12.346 V|0.500 V|12.346 mA|<-1.50 V"},
        {1, 3, "Raw", 2.0, "-1|9|5|11"},
        {1, 3, "Sideways", 0.5, "-1|9|5|11"}, // an unknown mode keeps the texts
        {1, 1, "Raw", 2.0, "-|-|-|-"},
    };
    for (const auto& c : cases) {
        setLink(c.link, c.hv);
        systemSettings.liveReadings = c.mode;
        r.vb = c.vb;
        passes(1);
        EXPECT_EQ(texts(), c.expected) << c.mode << " link " << c.link << " hv " << c.hv;
        EXPECT_TRUE(sameImage(platform::controlImage(controlRunStatusStrip), drawRunStatusStrip())) << c.mode;
    }
}

// A control that is not redrawn keeps a picture put there by the test.
TEST_F(MainWindowTest, StatusIsDrawnOnlyOnADifference) {
    passes(2);
    const platform::Image marker(5, 5, platform::rgb(1, 2, 3));
    const int controls[] = {controlConnectButton, controlHighVoltageButton, controlCommsStatusStrip,
                            controlRunStatusStrip, controlRunButton,         controlStopButton};
    for (int control : controls) platform::setControlImage(control, marker);
    sweepControl.statusText = "Run completed"; // live values stay "-": the row is not redrawn
    passes(20);
    for (int control : controls) EXPECT_TRUE(sameImage(platform::controlImage(control), marker)) << control;

    setLink(1, 3);
    passes(1);
    EXPECT_TRUE(shows(controlConnectButton, imageConnectOn));
    EXPECT_TRUE(shows(controlHighVoltageButton, imageHvOn));
    EXPECT_TRUE(sameImage(platform::controlImage(controlRunStatusStrip), drawRunStatusStrip()));
    EXPECT_TRUE(sameImage(platform::controlImage(controlRunButton), marker));
}

TEST_F(MainWindowTest, IndicatorsHoldWhileTheHighVoltageSwitches) {
    passes(1);
    setLink(1, 3);
    passes(1);
    EXPECT_TRUE(shows(controlConnectButton, imageConnectOn));
    EXPECT_TRUE(shows(controlHighVoltageButton, imageHvOn));
    EXPECT_TRUE(platform::menuItemChecked(1, menuConnect));
    EXPECT_FALSE(platform::menuItemChecked(1, menuDisconnect));

    for (std::int64_t switching : {1, 2}) {
        setLink(0, switching);
        passes(1);
        EXPECT_TRUE(shows(controlConnectButton, imageConnectOn)) << switching;
        EXPECT_TRUE(shows(controlHighVoltageButton, imageHvOn)) << switching;
    }

    setLink(0, 0);
    passes(1);
    EXPECT_TRUE(shows(controlConnectButton, imageConnectOff));
    EXPECT_TRUE(shows(controlHighVoltageButton, imageHvOff));
    EXPECT_FALSE(platform::menuItemChecked(1, menuConnect));
    EXPECT_TRUE(platform::menuItemChecked(1, menuDisconnect));
    EXPECT_EQ(instrumentLink.commsStatusText, "Disconnected");
    EXPECT_TRUE(sameImage(platform::controlImage(controlCommsStatusStrip), drawCommsStatusStrip()));

    // Link open, high voltage off: connected, HV ENABLE.
    setLink(1, 0);
    passes(1);
    EXPECT_TRUE(shows(controlConnectButton, imageConnectOn));
    EXPECT_TRUE(shows(controlHighVoltageButton, imageHvOff));
}

TEST_F(MainWindowTest, RunButtonsFollowTheSweepState) {
    passes(1);
    EXPECT_TRUE(shows(controlRunButton, imageRunIdle));
    EXPECT_TRUE(shows(controlStopButton, imageStopIdle));
    // A run goes on only while its link is up.
    setLink(1, 3);
    sweepControl.sweepState = SweepState::Sweeping;
    passes(1);
    EXPECT_TRUE(shows(controlRunButton, imageRunBusy));
    EXPECT_TRUE(shows(controlStopButton, imageStopBusy));
    abandonRun();
    passes(1);
    EXPECT_TRUE(shows(controlRunButton, imageRunIdle));
    EXPECT_TRUE(shows(controlStopButton, imageStopIdle));
}

} // namespace
