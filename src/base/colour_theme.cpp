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

// ---- Graph ----
void applyGraphColours(bool light) {
    ColourTheme& c = colourTheme;
    c.graphBackgroundColour = light ? rgb(255, 255, 255) : rgb(0, 0, 0);
    c.graphTextColour = light ? rgb(0, 0, 0) : rgb(255, 255, 255);
    c.plotAreaColour = light ? rgb(163, 172, 160) : rgb(46, 54, 46);
    c.graticuleMajorColour = rgb(0, 255, 0);
    c.graticuleMinorColour = rgb(0, 136, 0);
    c.stepColours = graphStepColourTable();
}
// ---- End of the graph ----

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
    applyGraphColours(light);
}

// ---- Graph ----
void applyGraphDisplaySettings() {
    ColourTheme& c = colourTheme;
    const std::string& background = systemSettings.backgroundColour;
    if (background == "White") c.plotAreaColour = rgb(255, 255, 255);
    if (background == "DarkGrey") c.plotAreaColour = rgb(46, 54, 46);
    if (background == "Black") c.plotAreaColour = rgb(0, 0, 0);

    const std::string& graticule = systemSettings.graticuleColour;
    if (graticule == "White") {
        c.graticuleMajorColour = rgb(255, 255, 255);
        c.graticuleMinorColour = rgb(115, 124, 112);
    } else if (graticule == "LightGreen") {
        c.graticuleMajorColour = rgb(0, 255, 0);
        c.graticuleMinorColour = rgb(0, 136, 0);
    } else if (graticule == "DarkGreen") {
        c.graticuleMajorColour = rgb(0, 136, 0);
        c.graticuleMinorColour = rgb(0, 51, 0);
    }

    const std::string& mode = systemSettings.graticuleMode;
    if (mode == "Both") c.majorGridLines = c.minorGridLines = 1;
    if (mode == "Major") {
        c.majorGridLines = 1;
        c.minorGridLines = 0;
    }
    if (mode == "Off") c.majorGridLines = c.minorGridLines = 0;
}
// ---- End of the graph ----
