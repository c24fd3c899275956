#include "app/link_actions_pending.h"

#include "app/menu_dispatch.h"
#include "app/shell_state.h"
#include "display/menu_check_marks.h"
#include "ui/platform/platform.h"

// Replaced by the instrument link and the sweep loop tick.
void openInstrumentLink() {}
void closeInstrumentLink() {}
void toggleInstrumentLink() {}
void toggleHighVoltage() {}
void startRun() {}
void stopRun() {}
void sendHardwareReset() {}

void loopTick() {
    shell.mouseX = platform::mouseX(1);
    shell.mouseY = platform::mouseY(1);
    if (shell.lastEvent == platform::EventMenu) dispatchMenuEvent(platform::eventMenuItem());
    refreshMenuCheckMarks();
}
