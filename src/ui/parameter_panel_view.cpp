#include "ui/parameter_panel_view.h"

#include <array>
#include <string>

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

// Columns 2 to 5 of the selected row of the test configurations table; all empty until the results
// layer reads the table.
std::array<std::string, 4> selectedTestConfigurationTexts() {
    return {};
}

// Title = column 3, value = column 2, bottom texts = columns 4 and 5.
TileTexts testConfigurationTileTexts() {
    const auto column = selectedTestConfigurationTexts();
    return {blankWhenEmpty(column[1]), "[" + std::to_string(sweepParameters.testConfigurationId) + "]",
            blankWhenEmpty(column[0]), blankWhenEmpty(column[2]), blankWhenEmpty(column[3])};
}

// The displayed sample run's file name; sample run 0 until the results layer finds the sample runs.
std::string displayedSampleRunName() {
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

    view.sampleRunName = displayedSampleRunName();
    showInControl(gui::controlSampleRunName, drawNameTile(view.sampleRunName));
}
