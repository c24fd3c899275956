#include "base/colour_theme.h"

#include "base/system_settings.h"

namespace {

using platform::rgb;

// ---- Main window ----
void applyMainWindowColours(bool light) {
    ColourTheme& c = colourTheme;
    c.accentColour = rgb(43, 144, 220);
    c.tileColour = light ? rgb(75, 176, 255) : rgb(21, 51, 80);
    c.tileTextColour = light ? rgb(0, 0, 0) : rgb(255, 255, 255);
    c.confirmTextColour = rgb(0, 255, 0);
    c.warningTextColour = rgb(255, 0, 0);
    c.plainTextColour = rgb(255, 255, 255);
    c.accentTextColour = rgb(255, 255, 0);
    c.highlightColour = rgb(173, 216, 230);
}
// ---- End of the main window ----

} // namespace

void resetColourThemeDefaults() {
    colourTheme = ColourTheme{};
}

bool lightThemeChosen() {
    const std::string& choice = systemSettings.alternateDisplayColours;
    return choice == "Light" || choice == "Yes";
}

void applyColourTheme() {
    const bool light = lightThemeChosen();
    applyMainWindowColours(light);
}
