// Program-wide state held by the shell: start-up values, the main loop's event and mouse state,
// and the hot regions of the cursor panel.
#pragma once

#include <array>
#include <cstdint>
#include <string>

constexpr int hotRegionCount = 10001;

struct ShellState {
    float programVersion = 25.004f;
    std::string activeInstrument = "KRV650";
    std::string settingsFilePath = "settings/system_settings.txt";
    std::string mainWindowTitle = "Halvane - KRV650 Curve Tracer";
    int updateCheckEnabled = 1;
    std::string lastUpdateCheckDate = "1/1/2025";
    std::string todayText;
    int comPortNumber = 0;

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

    std::array<std::int64_t, hotRegionCount> hotRegionLeft{};
    std::array<std::int64_t, hotRegionCount> hotRegionRight{};
    std::array<std::int64_t, hotRegionCount> hotRegionTop{};
    std::array<std::int64_t, hotRegionCount> hotRegionBottom{};
    double cursorStepMultiplier = 1.0;
};

inline ShellState shell;

void resetShellDefaults();
// "Halvane - KRV650 Curve Tracer V25.004"
std::string mainWindowFullTitle();
