#include "ui/parameter_panel_view.h"

#include <array>
#include <string>

#include "base/gui_numbers.h"
#include "results/sample_runs.h"
#include "results/test_configurations.h"
#include "sweep/sweep_parameters.h"
#include "ui/left_column.h"
#include "ui/left_column_images.h"
#include "platform/platform.h"

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

// Columns 2 to 5 of the selected row of the test configurations table.
std::array<std::string, 4> selectedTestConfigurationTexts() {
    const std::int64_t id = sweepParameters.testConfigurationId;
    return {testConfigurationCell(id, 2), testConfigurationCell(id, 3), testConfigurationCell(id, 4),
            testConfigurationCell(id, 5)};
}

// Title = column 3, value = column 2, bottom texts = columns 4 and 5.
TileTexts testConfigurationTileTexts() {
    const auto column = selectedTestConfigurationTexts();
    return {blankWhenEmpty(column[1]), "[" + std::to_string(sweepParameters.testConfigurationId) + "]",
            blankWhenEmpty(column[0]), blankWhenEmpty(column[2]), blankWhenEmpty(column[3])};
}

std::string displayedSampleRunName() {
    return sampleRunFileName(sampleRuns.sampleRunIndex);
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
