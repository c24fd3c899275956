// Live readings, status indicators, run buttons and menu check marks, refreshed on every loop tick.
#pragma once

void refreshLiveReadings();
void refreshStatus();
