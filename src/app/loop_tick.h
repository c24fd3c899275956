// The loop tick: the work of every main-loop pass after the event and hot-region handling. It conducts
// the subsystems: menu dispatch, re-layout, one instrument report, the sweep, redraws and refreshes.
#pragma once

void loopTick();
