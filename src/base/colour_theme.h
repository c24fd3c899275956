// The program-wide colours of the main window and the graph, dark (default) or light theme.
#pragma once

#include <cstdint>

// Filled in with the main window and the graph: one 24-bit RGB member per named colour.
struct ColourTheme {};

inline ColourTheme colourTheme;

void resetColourThemeDefaults();
// Chooses the dark or light column from KRV_AlternateDisplayColours and fills the step colours.
void applyColourTheme();
