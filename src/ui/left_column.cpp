#include "ui/left_column.h"

#include <initializer_list>

#include "base/colour_theme.h"
#include "base/gui_numbers.h"
#include "display/status_strips.h"
#include "ui/left_column_images.h"
#include "ui/main_window.h"
#include "platform/platform.h"

namespace {

using gui::controlLeftColumn;
using gui::mainWindow;

constexpr int columnWidth = 288;
constexpr int dividerX = 143;
constexpr int tileTops[5] = {227, 300, 399, 472, 545};
constexpr int dutButtonX[6] = {1, 49, 96, 144, 191, 239};

struct Section {
    int headerY;
    const char* title;
    platform::Rgb ColourTheme::*colour;
    std::initializer_list<int> separators;
    int borderY, borderHeight;
    int dividerY; // 0 = none
};

const Section sections[] = {
    {10, "CONNECT STATUS", &ColourTheme::statusSectionColour, {25, 51, 77}, 26, 52, 26},
    {87, "TEST / GRAPH MODE", &ColourTheme::testSectionColour, {102, 128, 201}, 103, 99, 0},
    {211, "COLLECTOR SUPPLY", &ColourTheme::collectorSectionColour, {226, 299, 372}, 227, 146, 0},
    {383, "STEP GENERATOR", &ColourTheme::stepSectionColour, {398, 471, 544, 617}, 399, 219, 0},
    {628, "SWEEP / LIVE VALUES", &ColourTheme::statusSectionColour, {643, 668, 733}, 644, 90, 644},
    {743, "DISPLAYED RESULTS", &ColourTheme::statusSectionColour, {758, 784}, 759, 26, 0},
};

int nextDecoration = gui::controlLeftColumnDecorationFirst;

void picture(int control, int x, int y, const platform::Image& image) {
    platform::createPicture(control, mainWindow, controlLeftColumn, x, y, image);
}

void decoration(int x, int y, const platform::Image& image) {
    picture(nextDecoration++, x, y, image);
}

void buildSectionFrames() {
    nextDecoration = gui::controlLeftColumnDecorationFirst;
    for (const Section& s : sections) {
        const platform::Rgb colour = colourTheme.*s.colour;
        decoration(0, s.headerY, drawSectionHeader(s.title, colour));
        for (int y : s.separators) decoration(0, y, platform::Image(columnWidth, 1, colour));
        decoration(0, s.borderY, platform::Image(1, s.borderHeight, colour));
        decoration(columnWidth - 1, s.borderY, platform::Image(1, s.borderHeight, colour));
        if (s.dividerY != 0) decoration(dividerX, s.dividerY, platform::Image(2, 25, colour));
    }
}

// A tile placed at y: minus, title, top-right, value, bottom-left, bottom-right, plus.
void buildTile(int first, int y, const platform::Image& placeholder) {
    const int x[7] = {1, 25, 144, 25, 25, 144, 263};
    const int dy[7] = {0, 0, 0, 18, 54, 54, 0};
    for (int k = 0; k < gui::tileControlCount; ++k) picture(first + k, x[k], y + dy[k], placeholder);
}

const platform::Image& numberedOr(int number, const platform::Image& fallback) {
    const platform::Image* image = platform::numberedImage(number);
    return image ? *image : fallback;
}

void buildControls() {
    const platform::Image placeholder = placeholderImage();
    using namespace gui;
    picture(controlConnectButton, 1, 26, numberedOr(imageConnectOff, placeholder));
    picture(controlHighVoltageButton, 145, 26, numberedOr(imageHvOff, placeholder));
    picture(controlCommsStatusStrip, 1, 52, drawCommsStatusStrip());
    for (int k = 0; k < 6; ++k) picture(controlDutNpn + k, dutButtonX[k], 103, placeholder);
    picture(controlPreviousTestConfiguration, 1, 129, placeholder);
    picture(controlTestConfigurationFirstText + 0, 25, 129, placeholder);
    picture(controlTestConfigurationFirstText + 1, 144, 129, placeholder);
    picture(controlTestConfigurationFirstText + 2, 25, 147, placeholder);
    picture(controlTestConfigurationFirstText + 3, 25, 183, placeholder);
    picture(controlTestConfigurationFirstText + 4, 144, 183, placeholder);
    picture(controlNextTestConfiguration, 263, 129, placeholder);
    for (std::size_t t = 0; t < parameterTileFirstControls.size(); ++t)
        buildTile(parameterTileFirstControls[t], tileTops[t], placeholder);
    picture(controlRunButton, 1, 644, placeholder);
    picture(controlStopButton, 145, 644, placeholder);
    picture(controlRunStatusStrip, 1, 669, drawRunStatusStrip());
    picture(controlPreviousSampleRun, 1, 759, placeholder);
    picture(controlSampleRunName, 25, 759, placeholder);
    picture(controlNextSampleRun, 263, 759, placeholder);
}

} // namespace

void buildLeftColumn() {
    const MainWindowLayout& l = mainWindowLayout;
    platform::createContainer(controlLeftColumn, mainWindow, 0, static_cast<int>(l.leftColumnX),
                              static_cast<int>(l.leftColumnY), static_cast<int>(l.leftColumnWidth),
                              static_cast<int>(l.leftColumnHeight), colourTheme.windowBackgroundColour);
    buildSectionFrames();
    buildControls();
    showSmallButtons();
}

void showInControl(int control, const platform::Image& image) {
    if (platform::controlExists(control)) platform::setControlImage(control, image);
}

void showSmallButtons() {
    const platform::Image minus = drawMinusButton();
    const platform::Image plus = drawPlusButton();
    for (int first : parameterTileFirstControls) {
        showInControl(first, minus);
        showInControl(first + gui::tileControlCount - 1, plus);
    }
    showInControl(gui::controlPreviousTestConfiguration, drawChevronButton(Chevron::Left, 72));
    showInControl(gui::controlNextTestConfiguration, drawChevronButton(Chevron::Right, 72));
    showInControl(gui::controlPreviousSampleRun, drawChevronButton(Chevron::Left, 25));
    showInControl(gui::controlNextSampleRun, drawChevronButton(Chevron::Right, 25));
}
