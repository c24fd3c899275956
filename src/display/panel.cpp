#include "display/panel.h"

#include <algorithm>

#include "base/colour_theme.h"
#include "base/gui_numbers.h"
#include "base/program_fonts.h"
#include "base/settings_file.h"
#include "base/unit_format.h"
#include "display/cursor_actions.h"
#include "display/graph_axes.h"
#include "display/graph_images.h"
#include "display/hot_regions.h"
#include "display/key_values.h"
#include "display/panel_drawing.h"
#include "display/panel_texts.h"
#include "display/parameter_box.h"
#include "display/plot_area.h"

namespace {

struct KeyColumn {
    int x;
    int width;
};
constexpr KeyColumn keyColumnsDrawn[5] = {{0, 42}, {43, 68}, {112, 100}, {213, 100}, {314, 108}};
constexpr int readoutWidth = 100;

void drawReadout(platform::Image& image, int x, int y, const std::string& text) {
    const platform::Font& font = programFonts.controlStatusNormal;
    drawField(image, x, y, readoutWidth, font, x + 5, panelTextOffset(font, text), text);
}

void drawCursorSection(platform::Image& image) {
    drawPanelHeader(image, 10, "CURSORS");
    const CursorState& c = cursors;
    const AxisScale& y = graphAxes.yScale;
    drawReadout(image, keyColumnsDrawn[2].x, 28, "XA: " + formatFixed(c.cursorXA, 3) + " V");
    drawReadout(image, keyColumnsDrawn[3].x, 28, "XB: " + formatFixed(c.cursorXB, 3) + " V");
    drawReadout(image, keyColumnsDrawn[2].x, 47, "YA: " + formatReadout(c.cursorYA, y, "A", 3));
    drawReadout(image, keyColumnsDrawn[3].x, 47, "YB: " + formatReadout(c.cursorYB, y, "A", 3));

    drawTextButton(image, regionStepMultiplierTenth, 1, 27, 24, 24, "0.1", c.cursorStepMultiplier == 0.1);
    drawTextButton(image, regionStepMultiplierOne, 26, 27, 24, 24, "1", c.cursorStepMultiplier == 1.0);
    drawTextButton(image, regionStepMultiplierTen, 51, 27, 24, 24, "10", c.cursorStepMultiplier == 10.0);
    drawTextButton(image, regionCursorSync, 1, 52, 74, 24, "AB Sync", c.cursorSync == 1);
    drawTextButton(image, regionCursorSlope, 1, 77, 74, 24, "AB Slope", c.cursorSlopeLine == 1);
    drawTextButton(image, regionZeroA, 1, 102, 74, 24, "A Zero", false);
    drawTextButton(image, regionZeroB, 1, 127, 74, 24, "B Zero", false);

    drawArrowButton(image, regionXaDown, 124, 103, Arrow::Left);
    drawArrowButton(image, regionXaUp, 174, 103, Arrow::Right);
    drawArrowButton(image, regionYaUp, 149, 78, Arrow::Up);
    drawArrowButton(image, regionYaDown, 149, 128, Arrow::Down);
    drawArrowButton(image, regionXbDown, 226, 103, Arrow::Left);
    drawArrowButton(image, regionXbUp, 276, 103, Arrow::Right);
    drawArrowButton(image, regionYbUp, 251, 78, Arrow::Up);
    drawArrowButton(image, regionYbDown, 251, 128, Arrow::Down);
}

// The step a key row shows, from its step cell.
int keyRowStep(const std::string& stepText) {
    return static_cast<int>(std::clamp<std::int64_t>(parseSettingInteger(stepText), 0, runRecordSteps - 1));
}

void drawKeyRow(platform::Image& image, int y, int row) {
    const platform::Font& font = programFonts.controlStatusNormal;
    const auto& table = keyValues.keyTable;
    const auto r = static_cast<std::size_t>(row);
    const std::string& stepText = table[0][r];
    const auto step = static_cast<std::size_t>(keyRowStep(stepText));
    platform::fillRect(image, 0, y + 2, 16, 16, colourTheme.stepColours[step]);
    drawField(image, 18, y, 24, font, 24, 1, stepText);
    for (int c = 1; c < 5; ++c) {
        const KeyColumn& k = keyColumnsDrawn[c];
        drawField(image, k.x, y, k.width, font, k.x + 5, 1, table[static_cast<std::size_t>(c)][r]);
    }
}

// A thin accent line above and below the row, in the gaps between rows, so no key text or colour changes.
void markSelectedRow(platform::Image& image, int y) {
    platform::drawLine(image, 0, y - 1, image.width() - 1, y - 1, colourTheme.accentColour);
    platform::drawLine(image, 0, y + panelRowHeight, image.width() - 1, y + panelRowHeight, colourTheme.accentColour);
}

// Returns the bottom pixel row of the key. `selectedStep` < 0: no row is marked or clickable.
int drawKeySection(platform::Image& image, int selectedStep) {
    drawPanelHeader(image, 168, "KEY / MEASUREMENT");
    const platform::Font& font = programFonts.controlStatusNormal;
    int y = 185;
    for (int c = 0; c < 5; ++c) {
        const KeyColumn& k = keyColumnsDrawn[c];
        drawField(image, k.x, y, k.width, font, k.x + 5, 1, keyValues.keyTable[static_cast<std::size_t>(c)][0]);
    }
    clearKeyStepRegions();
    for (int row = 1; row <= runRecordSteps; ++row) {
        const std::string& stepText = keyValues.keyTable[0][static_cast<std::size_t>(row)];
        if (stepText.empty()) continue;
        y += panelRowPitch;
        drawKeyRow(image, y, row);
        if (selectedStep < 0) continue;
        const int step = keyRowStep(stepText);
        registerHotRegion(firstKeyStepRegion + step, 0, y, image.width() - 1, panelRowHeight);
        if (step == selectedStep) markSelectedRow(image, y);
    }
    return y + panelRowHeight - 1;
}

int sweepSettingsHeaderY(const platform::Image& image) {
    return image.height() - 200;
}

void drawSweepSettingsSection(platform::Image& image) {
    const int headerY = sweepSettingsHeaderY(image);
    drawPanelHeader(image, headerY, "SWEEP SETTINGS");
    const platform::Font& font = programFonts.graphKeySection;
    int y = headerY + 17;
    for (std::size_t i = 0; i < sweepSettingsLabels.size(); ++i, y += panelRowPitch) {
        const std::string label = sweepSettingsLabels[i];
        drawField(image, 0, y, 120, font, 115 - platform::textWidth(font, label), 1, label);
        drawField(image, 121, y, image.width() - 121, font, 126, 1, panelTexts.sweepSettings[i]);
    }
}

} // namespace

void drawPanel() {
    graphImages.panel = platform::Image(panelImageWidth(), panelImageHeight(), panelBlack);
    platform::Image& image = graphImages.panel;
    drawCursorSection(image);
    if (parameterBox.shown) {
        const OperatingPointReading reading = readDisplayedOperatingPoint(false);
        const int keyBottom = drawKeySection(image, reading.step);
        drawParameterBox(image, reading, keyBottom, sweepSettingsHeaderY(image));
    } else {
        drawKeySection(image, -1);
    }
    drawSweepSettingsSection(image);
    publishImage(gui::imagePanel, gui::controlPanelImage, image);
}
