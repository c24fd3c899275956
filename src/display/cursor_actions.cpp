#include "display/cursor_actions.h"

#include "display/graph.h"

namespace {

double cursorStep(double fullScale) {
    return fullScale / 1000.0 * cursors.cursorStepMultiplier * 10.0;
}

// The graph shows the cursor at its new place at once, not at the next periodic redraw.
void moveCursor(double& cursor, double& partner, double delta) {
    cursor += delta;
    if (cursors.cursorSync == 1) partner += delta;
    requestGraphRedraw();
}

} // namespace

void resetCursorDefaults() {
    cursors = CursorState{};
}

void toggleCursorSync() {
    cursors.cursorSync = cursors.cursorSync == 1 ? 0 : 1;
}

void toggleCursorSlope() {
    cursors.cursorSlopeLine = cursors.cursorSlopeLine == 1 ? 0 : 1;
}

void zeroCursorA() {
    cursors.cursorXA = 0.0;
    cursors.cursorYA = 0.0;
}

void zeroCursorB() {
    cursors.cursorXB = 0.0;
    cursors.cursorYB = 0.0;
}

void moveCursorXA(int steps) {
    moveCursor(cursors.cursorXA, cursors.cursorXB, steps * cursorStep(cursors.xFullScale));
}
void moveCursorXB(int steps) {
    moveCursor(cursors.cursorXB, cursors.cursorXA, steps * cursorStep(cursors.xFullScale));
}
void moveCursorYA(int steps) {
    moveCursor(cursors.cursorYA, cursors.cursorYB, steps * cursorStep(cursors.yFullScale));
}
void moveCursorYB(int steps) {
    moveCursor(cursors.cursorYB, cursors.cursorYA, steps * cursorStep(cursors.yFullScale));
}
