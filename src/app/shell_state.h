// Program-wide state held by the shell: start-up values and the main loop's event and mouse state.
#pragma once

#include <cstdint>
#include <string>

struct ShellState {
    float programVersion = 25.004f;
    std::string mainWindowTitle = "Halvane - KRV650 Curve Tracer";
    std::string todayText;

    // Main event loop
    int lastEvent = 0;
    int quitRequested = 0;
    int leftButtonDown = 0;
    int leftButtonWasDown = 0;
    int doubleClicked = 0;
    int windowGeometryChanged = 0;
    int hotRegionHit = 0;
    // Mouse position in the main window's client area, stored by the loop tick.
    int mouseX = 0;
    int mouseY = 0;

    // Loop tick
    int pressedMouseX = 0; // pointer position last seen with the left button down
    int pressedMouseY = 0;
    std::int64_t lastRelayoutSecond = 0;
    std::int64_t shownTestConfigurationId = -1;
};

inline ShellState shell;

void resetShellDefaults();
// "Halvane - KRV650 Curve Tracer V25.004"
std::string mainWindowFullTitle();
