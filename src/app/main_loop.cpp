#include "app/main_loop.h"

#include "app/control_dispatch.h"
#include "app/shell_state.h"
#include "display/cursor_actions.h"
#include "display/hot_regions.h"
#include "display/parameter_box.h"
#include "app/loop_tick.h"
#include "base/gui_numbers.h"
#include "platform/platform.h"

namespace {

using gui::mainWindow;

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
    auto scan = [&](int first, int last) {
        for (int r = first; r <= last; ++r) {
            if (hotRegions.hotRegionLeft[r] <= x && x <= hotRegions.hotRegionRight[r] &&
                hotRegions.hotRegionTop[r] <= y && y <= hotRegions.hotRegionBottom[r])
                hit = r;
        }
    };
    scan(firstHotRegion, lastHotRegion);
    scan(firstKeyStepRegion, lastKeyStepRegion);
    return hit;
}

void runHotRegionAction(int region) {
    if (region >= firstKeyStepRegion && region <= lastKeyStepRegion) {
        selectParameterStep(region - firstKeyStepRegion);
        return;
    }
    switch (region) {
    case regionStepMultiplierTenth: cursors.cursorStepMultiplier = 0.1; break;
    case regionStepMultiplierOne: cursors.cursorStepMultiplier = 1.0; break;
    case regionStepMultiplierTen: cursors.cursorStepMultiplier = 10.0; break;
    case regionCursorSync: toggleCursorSync(); break;
    case regionCursorSlope: toggleCursorSlope(); break;
    case regionZeroA: zeroCursorA(); break;
    case regionZeroB: zeroCursorB(); break;
    case regionXaDown: moveCursorXA(-1); break;
    case regionXaUp: moveCursorXA(+1); break;
    case regionYaUp: moveCursorYA(+1); break;
    case regionYaDown: moveCursorYA(-1); break;
    case regionXbDown: moveCursorXB(-1); break;
    case regionXbUp: moveCursorXB(+1); break;
    case regionYbUp: moveCursorYB(+1); break;
    case regionYbDown: moveCursorYB(-1); break;
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

// A start-up that already asked to quit still runs one pass, so that pending work is done orderly.
void runMainEventLoop() {
    do {
        mainLoopPass();
    } while (shell.quitRequested != 1);
}
