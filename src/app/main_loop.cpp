#include "app/main_loop.h"

#include "app/control_dispatch.h"
#include "app/shell_state.h"
#include "display/cursor_actions.h"
#include "sweep/sweep_state_machine.h"
#include "ui/platform/platform.h"

namespace {

constexpr int mainWindow = 1;
constexpr int firstHotRegion = 525;
constexpr int lastHotRegion = 549;

// A click that arrives together with the move that led to it must hit where the pointer is now.
void takeClickPosition() {
    shell.mouseX = platform::mouseX(mainWindow);
    shell.mouseY = platform::mouseY(mainWindow);
}

void classifyEvent(int event) {
    switch (event) {
    case platform::EventLeftDoubleClick:
        shell.doubleClicked = 1;
        takeClickPosition();
        break;
    case platform::EventLeftButtonDown:
        shell.leftButtonDown = 1;
        takeClickPosition();
        break;
    case platform::EventLeftButtonUp: shell.leftButtonDown = 0; break;
    case platform::EventControl:
        if (platform::eventWindow() == mainWindow || platform::eventWindow() == 0)
            dispatchControlEvent(platform::eventControl());
        break;
    case platform::EventCloseWindow:
        // Secondary windows handle their own close; only the foreground main window ends the program.
        if (platform::activeWindow() == mainWindow) shell.quitRequested = 1;
        break;
    case platform::EventMoveWindow:
    case platform::EventSizeWindow:
        if (platform::eventWindow() == mainWindow && !platform::windowMaximized(mainWindow))
            shell.windowGeometryChanged = 1;
        break;
    default: break;
    }
}

} // namespace

int hotRegionAt(int x, int y) {
    int hit = 0;
    for (int r = firstHotRegion; r <= lastHotRegion; ++r) {
        if (shell.hotRegionLeft[r] <= x && x <= shell.hotRegionRight[r] && shell.hotRegionTop[r] <= y &&
            y <= shell.hotRegionBottom[r])
            hit = r;
    }
    return hit;
}

void runHotRegionAction(int region) {
    switch (region) {
    case 526: shell.cursorStepMultiplier = 0.1; break;
    case 527: shell.cursorStepMultiplier = 1.0; break;
    case 528: shell.cursorStepMultiplier = 10.0; break;
    case 529: toggleCursorSync(); break;
    case 530: toggleCursorSlope(); break;
    case 531: zeroCursorA(); break;
    case 532: zeroCursorB(); break;
    case 534: moveCursorXA(-1); break;
    case 535: moveCursorXA(+1); break;
    case 538: moveCursorYA(+1); break;
    case 539: moveCursorYA(-1); break;
    case 542: moveCursorXB(-1); break;
    case 543: moveCursorXB(+1); break;
    case 546: moveCursorYB(+1); break;
    case 547: moveCursorYB(-1); break;
    default: break;
    }
}

void mainLoopPass() {
    shell.lastEvent = platform::waitEvent(1);
    classifyEvent(shell.lastEvent);

    if ((shell.leftButtonDown == 1 && shell.leftButtonWasDown == 0) || shell.doubleClicked == 1)
        shell.hotRegionHit = hotRegionAt(shell.mouseX, shell.mouseY);
    shell.leftButtonWasDown = shell.leftButtonDown;
    shell.doubleClicked = 0;

    runHotRegionAction(shell.hotRegionHit);
    shell.hotRegionHit = 0;

    loopTick();
}

void runMainEventLoop() {
    while (shell.quitRequested != 1) mainLoopPass();
}
