// Live readings, status indicators, run buttons and the communication strip, refreshed on every loop
// tick; each draws only when what it would show differs from what it showed last.
#pragma once

#include <cstdint>
#include <string>

// The four live reading texts shown by the run status strip.
struct LiveReadings {
    std::string liveVc = "-";
    std::string liveVr = "-";
    std::string liveIc = "-";
    std::string liveVb = "-";
};

bool operator==(const LiveReadings& a, const LiveReadings& b);

// What the status panel shows now; compared on every pass.
struct ShownStatus {
    LiveReadings readings;             // as last drawn into the run status strip
    int connectionIndicator = 0;       // 0/1
    int highVoltageIndicator = 0;      // 0/1
    std::int64_t sweepState = -99;     // no state has this value, so the first pass draws the buttons
    std::string commsStatusText = "x"; // forces the first drawing of the communication strip
};

inline LiveReadings liveReadings;
inline ShownStatus shownStatus;

void resetLiveStatusDefaults();
// Loop tick, first: the four live texts by KRV_LiveReadings, "-" unless connected with the high voltage on.
void refreshLiveReadings();
// Loop tick, last: connection and high-voltage buttons, RUN/STOP, the Connect/Disconnect marks and
// the communication strip.
void refreshStatus();
