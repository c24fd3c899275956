// The two pairs of graph cursors and the actions of the cursor panel's clickable regions.
#pragma once

struct CursorState {
    double cursorXA = 0.0;
    double cursorXB = 0.0;
    double cursorYA = 0.0;
    double cursorYB = 0.0;
    int cursorSync = 0;      // "AB Sync": moving one cursor of an axis moves its partner too
    int cursorSlopeLine = 0; // "AB Slope"
    // Full scale of the graph's axes (negative when the axis is drawn on its negative side); the graph
    // sets them whenever it scales its axes.
    double xFullScale = 1.0;
    double yFullScale = 1.0;
    double cursorStepMultiplier = 1.0; // 0.1, 1 or 10: scales one click of a cursor arrow
};

inline CursorState cursors;

void resetCursorDefaults();

void toggleCursorSync();
void toggleCursorSlope();
void zeroCursorA();
void zeroCursorB();
// Moves one cursor by `steps` cursor steps (sign gives the direction); with AB Sync its partner too.
void moveCursorXA(int steps);
void moveCursorYA(int steps);
void moveCursorXB(int steps);
void moveCursorYB(int steps);
