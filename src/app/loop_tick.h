// The loop tick: the work of every main-loop pass after the event and hot-region handling. It conducts
// the subsystems: menu dispatch, re-layout, one instrument report, the sweep, redraws and refreshes.
#pragma once

#include <cstdint>

void loopTick();
// When the loop tick next has work of its own (a redraw, a re-layout, a sweep transition, a report to
// take), in elapsed milliseconds; notDueMs when only an event or a report can give it some.
std::int64_t nextLoopTickDueMs();
