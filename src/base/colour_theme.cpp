#include "base/colour_theme.h"

#include "base/system_settings.h"

void resetColourThemeDefaults() {
    colourTheme = ColourTheme{};
}

// Filled in with the main window and the graph.
void applyColourTheme() {}
