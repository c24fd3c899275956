// The program-wide colours of the main window and the graph, dark (default) or light theme.
#pragma once

#include <array>

#include "platform/platform.h"

constexpr int graphStepColourCount = 25;

// The eight curve colours, repeated over the 25 step slots; the same in both themes.
constexpr std::array<platform::Rgb, graphStepColourCount> graphStepColourTable() {
    constexpr platform::Rgb eight[8] = {
        platform::rgb(255, 255, 255), platform::rgb(255, 0, 0),     platform::rgb(0, 255, 0),
        platform::rgb(0, 0, 255),     platform::rgb(115, 124, 112), platform::rgb(255, 192, 203),
        platform::rgb(255, 255, 0),   platform::rgb(0, 136, 0)};
    std::array<platform::Rgb, graphStepColourCount> table{};
    for (int s = 0; s < graphStepColourCount; ++s) table[static_cast<std::size_t>(s)] = eight[s % 8];
    return table;
}

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

    // ---- Graph: the theme column, then the display settings override the plot area and the
    // graticule at every drawing (a value they do not know leaves what was in force) ----
    platform::Rgb graphBackgroundColour = platform::rgb(0, 0, 0); // image outside the plot area
    platform::Rgb graphTextColour = platform::rgb(255, 255, 255); // axis numbers and titles
    platform::Rgb plotAreaColour = platform::rgb(46, 54, 46);
    platform::Rgb graticuleMajorColour = platform::rgb(0, 255, 0); // frame, major ticks, major grid
    platform::Rgb graticuleMinorColour = platform::rgb(0, 136, 0); // minor ticks, minor grid
    int majorGridLines = 0; // off until a known graticule mode has been applied
    int minorGridLines = 0;
    std::array<platform::Rgb, graphStepColourCount> stepColours = graphStepColourTable();
    // ---- End of the graph's colours ----
};

inline ColourTheme colourTheme;

void resetColourThemeDefaults();
// True when KRV_AlternateDisplayColours asks for the light theme ("Light" or "Yes").
bool lightThemeChosen();
// Chooses the dark or light column from KRV_AlternateDisplayColours and fills the step colours.
void applyColourTheme();
// Graticule colour and mode and the plot area fill from the display settings; the graph applies
// them before every drawing.
void applyGraphDisplaySettings();
