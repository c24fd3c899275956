#include "ui/main_window.h"

#include "base/colour_theme.h"
#include "base/gui_numbers.h"
#include "display/cursor_actions.h"
#include "display/graph.h"
#include "display/graph_layout.h"
#include "results/result_actions.h"
#include "ui/left_column.h"
#include "ui/left_column_images.h"
#include "ui/main_menu.h"
#include "ui/parameter_panel_view.h"
#include "platform/platform.h"
#include "ui/status_panel.h"

namespace {

using gui::mainWindow;

constexpr int leftColumnWidth = 288;
constexpr int panelWidth = 400;

int pixels(std::int64_t value) {
    return static_cast<int>(value);
}

void createGraphControl() {
    platform::createPicture(gui::controlGraph, mainWindow, 0, pixels(graphLayout.graphX), pixels(graphLayout.graphY),
                            platform::Image(100, 100, colourTheme.windowBackgroundColour));
    graphLayout.graphWidth = 200;
    graphLayout.graphHeight = 200;
}

void createPanelContainer() {
    const GraphLayout& g = graphLayout;
    platform::createContainer(gui::controlPanelContainer, mainWindow, 0, pixels(g.panelX), pixels(g.panelY),
                              pixels(g.panelWidth), pixels(g.panelHeight), colourTheme.windowBackgroundColour);
    platform::createPicture(gui::controlPanelImage, mainWindow, gui::controlPanelContainer, 0, 0, placeholderImage());
}

void zeroCursors() {
    cursors.cursorXA = 0;
    cursors.cursorXB = 0;
    cursors.cursorYA = 0;
    cursors.cursorYB = 0;
}

} // namespace

void resetMainWindowLayoutDefaults() {
    mainWindowLayout = MainWindowLayout{};
    resetGraphLayoutDefaults();
}

void loadInterfaceImages() {
    platform::Image image;
    if (platform::readPng("graphics/tick_green.png", image)) platform::setNumberedImage(gui::imageGreenTick, image);
    if (platform::readPng("graphics/clock_black_19x19.png", image)) platform::setNumberedImage(gui::imageClock, image);
}

bool buildMainWindow() {
    platform::resizeWindow(mainWindow, 1402, 832);
    loadStartupTestSetup();
    applyColourTheme();
    loadTestConfigurationsAndSampleRuns();
    loadInterfaceImages();
    // The status pictures exist before the controls that show them.
    drawStatusButtons();
    layoutMainWindow();
    const bool menuBarBuilt = createMenuBar();
    buildLeftColumn();
    createGraphControl();
    createPanelContainer();
    platform::setWindowColour(mainWindow, colourTheme.windowBackgroundColour);
    refreshParameterPanel();
    layoutMainWindow();
    requestGraphRedraw();
    zeroCursors();
    return menuBarBuilt;
}

void layoutMainWindow() {
    const std::int64_t cw = platform::windowWidth(mainWindow);
    const std::int64_t ch = platform::windowHeight(mainWindow);
    const std::int64_t below = ch - platform::menuBarHeight(mainWindow);
    mainWindowLayout = {0, 0, leftColumnWidth, below};
    GraphLayout& g = graphLayout;
    g.panelWidth = panelWidth;
    g.panelHeight = below;
    g.panelX = cw - panelWidth;
    g.panelY = 0;
    g.graphWidth = cw - leftColumnWidth - panelWidth;
    g.graphHeight = below;
    g.graphX = leftColumnWidth;
    g.graphY = 0;

    const MainWindowLayout& l = mainWindowLayout;
    platform::moveControl(gui::controlLeftColumn, pixels(l.leftColumnX), pixels(l.leftColumnY),
                          pixels(l.leftColumnWidth), pixels(l.leftColumnHeight));
    // The next graph refresh draws the graph at its new size.
    if (platform::controlExists(gui::controlGraph)) {
        platform::moveControl(gui::controlGraph, pixels(g.graphX), pixels(g.graphY), -1, -1);
        platform::setControlImage(gui::controlGraph, platform::Image(1, 1, platform::rgb(0, 0, 0)));
    }
    platform::moveControl(gui::controlPanelContainer, pixels(g.panelX), pixels(g.panelY), pixels(g.panelWidth),
                          pixels(g.panelHeight));
}
