#include "ui/main_window.h"

#include "base/gui_numbers.h"
#include "results/result_actions.h"
#include "ui/parameter_panel_view.h"
#include "ui/main_menu.h"
#include "ui/platform/platform.h"
#include "base/colour_theme.h"
#include "ui/status_panel.h"

namespace {
using gui::mainWindow;
}

void loadInterfaceImages() {
    platform::Image image;
    if (platform::readPng("graphics/tick_green.png", image)) platform::setNumberedImage(452, image);
    if (platform::readPng("graphics/clock_black_19x19.png", image)) platform::setNumberedImage(453, image);
}

bool buildMainWindow() {
    platform::resizeWindow(mainWindow, 1402, 832);
    loadStartupTestSetup();
    applyColourTheme();
    loadTestConfigurationsAndSampleRuns();
    loadInterfaceImages();
    const bool menuBarBuilt = createMenuBar();
    platform::setWindowColour(mainWindow, platform::rgb(0, 0, 0));
    refreshParameterPanel();
    return menuBarBuilt;
}

// Filled in later with the window layout.
void layoutMainWindow() {}
