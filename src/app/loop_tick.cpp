#include "app/loop_tick.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "app/menu_dispatch.h"
#include "app/run_completion.h"
#include "app/shell_state.h"
#include "base/elapsed_clock.h"
#include "base/gui_numbers.h"
#include "display/connection_indicator.h"
#include "display/graph.h"
#include "display/live_status.h"
#include "display/menu_check_marks.h"
#include "link/comms_thread.h"
#include "sweep/calibration_transfer.h"
#include "sweep/sweep_parameters.h"
#include "sweep/sweep_state_machine.h"
#include "ui/main_window.h"
#include "ui/parameter_panel_view.h"
#include "platform/platform.h"

namespace {

constexpr std::int64_t sweepingRedrawMs = 100;
constexpr std::int64_t idleRedrawMs = 10000;

// The pointer position serves the hot-region test; a press or drag at a position other than the last
// pressed one asks for a redraw, so a click on the panel shows at once even after hovering there.
void trackMouse() {
    const int x = platform::mouseX(gui::mainWindow);
    const int y = platform::mouseY(gui::mainWindow);
    shell.mouseX = x;
    shell.mouseY = y;
    if (shell.leftButtonDown != 1 || (x == shell.pressedMouseX && y == shell.pressedMouseY)) return;
    shell.pressedMouseX = x;
    shell.pressedMouseY = y;
    requestGraphRedraw();
}

void relayoutAfterWindowChange() {
    if (shell.windowGeometryChanged != 1) return;
    const std::time_t second = std::time(nullptr);
    if (second < shell.lastRelayoutSecond + 1) return;
    shell.lastRelayoutSecond = second;
    shell.windowGeometryChanged = 0;
    layoutMainWindow();
    requestGraphRedraw();
    refreshParameterPanel();
}

// The re-layout waits for the calendar second after the last one to begin.
std::int64_t relayoutDueMs() {
    if (shell.windowGeometryChanged != 1) return notDueMs;
    const std::int64_t now = elapsedMilliseconds();
    if (std::time(nullptr) >= shell.lastRelayoutSecond + 1) return nextPassMs();
    using namespace std::chrono;
    const auto sinceEpoch = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    return now + 1000 - sinceEpoch % 1000;
}

void takeOneReport() {
    if (!takeReport()) return;
    decodeCurrentReport();
    storeSampleWhileSweeping();
    sweepControl.statusText = sweepStatusText();
    calibrationTransferStep();
}

// The periodic redraw falls due once the interval has fully passed.
std::int64_t periodicRedrawDueMs() {
    const std::int64_t interval = sweepControl.sweepState == SweepState::Sweeping ? sweepingRedrawMs : idleRedrawMs;
    return graphRefresh.lastRedrawTime + interval + 1;
}

std::int64_t redrawDueMs() {
    return graphRefresh.redrawRequested == 1 ? nextPassMs() : periodicRedrawDueMs();
}

void redrawWhenDue() {
    const std::int64_t now = elapsedMilliseconds();
    if (now < periodicRedrawDueMs() && graphRefresh.redrawRequested != 1) return;
    graphRefresh.redrawRequested = 0;
    graphRefresh.lastRedrawTime = now;
    refreshGraph();
}

void refreshPanelOnNewTestConfiguration() {
    if (sweepParameters.testConfigurationId == shell.shownTestConfigurationId) return;
    refreshParameterPanel();
    shell.shownTestConfigurationId = sweepParameters.testConfigurationId;
}

} // namespace

std::int64_t nextLoopTickDueMs() {
    if (reportWaiting() || sweepStateMachineWantsPass() || linkLostDuringRun()) return nextPassMs();
    return std::min(redrawDueMs(), relayoutDueMs());
}

void loopTick() {
    trackMouse();
    refreshLiveReadings();
    if (shell.lastEvent == platform::EventMenu) dispatchMenuEvent(platform::eventMenuItem());
    relayoutAfterWindowChange();
    takeOneReport();
    endRunOnLostLink();
    if (advanceSweepStateMachine() == SweepOutcome::RunCompleted) finishCompletedRun();
    redrawWhenDue();
    if (updateAutomaticResistor()) refreshParameterPanel();
    refreshPanelOnNewTestConfiguration();
    checkForLostLink();
    refreshStatus();
    refreshMenuCheckMarks();
}
