#include "ui/parameter_panel_view.h"

#include <cstdio>

#include "base/gui_numbers.h"
#include "sweep/sweep_parameters.h"
#include "ui/left_column.h"
#include "ui/left_column_images.h"
#include "ui/platform/platform.h"

namespace {

const char* const dutButtonLabels[dutButtonCount] = {"NPN", "PNP", "NFET", "PFET", "DIODE", "SCR"};

// The five text images go to `first` ... `first` + 4.
void showTileTexts(int first, const TileTexts& texts) {
    const TileImages images = drawTileTexts(texts);
    for (int k = 0; k < 5; ++k) showInControl(first + k, images[static_cast<std::size_t>(k)]);
}

std::string blankWhenEmpty(const std::string& text) {
    return text.empty() ? "BLANK" : text;
}

// Description lines 1 to 4 of the selected row of the test configurations table.
std::array<std::string, 4> testConfigurationDescriptions() {
    return {};
}

TileTexts testConfigurationTileTexts() {
    const auto lines = testConfigurationDescriptions();
    return {blankWhenEmpty(lines[1]), "[" + std::to_string(sweepParameters.testConfigurationId) + "]",
            blankWhenEmpty(lines[0]), blankWhenEmpty(lines[2]), blankWhenEmpty(lines[3])};
}

std::string sampleRunFileName() {
    return "0000.csv";
}

} // namespace

void resetParameterPanelViewDefaults() {
    parameterPanelView = ParameterPanelView{};
}

void refreshParameterPanel() {
    ParameterPanelView& view = parameterPanelView;
    updateDerivedLevels();
    view.tiles = parameterTileTexts();
    for (std::size_t t = 0; t < view.tiles.size(); ++t) showTileTexts(parameterTileFirstControls[t] + 1, view.tiles[t]);

    view.selectedDutButton = selectedDutButton(sweepParameters.dutType);
    for (int k = 0; k < dutButtonCount; ++k)
        showInControl(gui::controlDutNpn + k, drawDutButton(dutButtonLabels[k], k == view.selectedDutButton));

    view.testConfiguration = testConfigurationTileTexts();
    showTileTexts(gui::controlTestConfigurationFirstText, view.testConfiguration);

    view.sampleRunName = sampleRunFileName();
    showInControl(gui::controlSampleRunName, drawNameTile(view.sampleRunName));
}
