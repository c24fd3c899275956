// The program-wide colours of the main window and the graph, dark (default) or light theme.
#pragma once

#include "ui/platform/platform.h"

struct ColourTheme {
    // ---- Main window: tiles, buttons, status strips and secondary-window titles ----
    platform::Rgb accentColour = platform::rgb(43, 144, 220);     // plus/minus, chevrons, status buttons, selected DUT
    platform::Rgb tileColour = platform::rgb(21, 51, 80);         // tile texts, unselected DUT, status strips
    platform::Rgb tileTextColour = platform::rgb(255, 255, 255);  // text and symbols on tiles, buttons, strips
    platform::Rgb confirmTextColour = platform::rgb(0, 255, 0);   // "CONNECTED", "RUNNING"
    platform::Rgb warningTextColour = platform::rgb(255, 0, 0);   // "HV ON", "STOP"
    platform::Rgb plainTextColour = platform::rgb(255, 255, 255); // "RUN", "STOPPED"
    platform::Rgb accentTextColour = platform::rgb(255, 255, 0);  // section titles of secondary windows
    platform::Rgb highlightColour = platform::rgb(173, 216, 230);  // highlighted calibration fields
    // Section headers keep their colours in both themes.
    platform::Rgb statusSectionColour = platform::rgb(117, 117, 117); // CONNECT STATUS, SWEEP / LIVE VALUES, DISPLAYED RESULTS
    platform::Rgb testSectionColour = platform::rgb(255, 165, 0);     // TEST / GRAPH MODE
    platform::Rgb collectorSectionColour = platform::rgb(255, 255, 0);
    platform::Rgb stepSectionColour = platform::rgb(0, 255, 0);
    platform::Rgb sectionTextColour = platform::rgb(0, 0, 0);
    platform::Rgb windowBackgroundColour = platform::rgb(0, 0, 0);
    // ---- End of the main window's colours ----
};

inline ColourTheme colourTheme;

void resetColourThemeDefaults();
// True when KRV_AlternateDisplayColours asks for the light theme ("Light" or "Yes").
bool lightThemeChosen();
// Chooses the dark or light column from KRV_AlternateDisplayColours and fills the step colours.
void applyColourTheme();
