#include "ui/main_window.h"

#include "app/shell_state.h"
#include "results/result_actions.h"
#include "sweep/parameter_panel.h"
#include "ui/main_menu.h"
#include "ui/platform/platform.h"
#include "ui/theme.h"

namespace {
constexpr int mainWindow = 1;
}

void loadInterfaceImages() {
    platform::Image image;
    if (platform::readPng("graphics/tick_green.png", image)) platform::setNumberedImage(452, image);
    if (platform::readPng("graphics/clock_black_19x19.png", image)) platform::setNumberedImage(453, image);
}

void buildMainWindow() {
    platform::resizeWindow(mainWindow, 1402, 832);
    loadStartupTestSetup();
    applyColourTheme();
    loadTestConfigurationsAndSampleRuns();
    loadInterfaceImages();
    createMenuBar();
    platform::setWindowColour(mainWindow, platform::rgb(0, 0, 0));
    refreshParameterPanel();
    shell.windowGeometryChanged = 1;
}

// Filled in later with the window layout.
void layoutMainWindow() {}
