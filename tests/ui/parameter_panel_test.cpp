#include <functional>
#include <string>
#include <vector>

#include "base/colour_theme.h"
#include "base/gui_numbers.h"
#include "main_window_fixture.h"
#include "sweep/sweep_parameters.h"
#include "ui/left_column_images.h"
#include "ui/parameter_panel_view.h"

namespace {

using namespace gui;

enum Tile { PeakVoltage, PeakCurrent, StepSize, Offset, Steps };

const TileTexts& tile(Tile t) {
    return parameterPanelView.tiles[static_cast<std::size_t>(t)];
}

SweepParameters& p = sweepParameters;

struct ClickCase {
    const char* name;
    std::function<void()> setUp;
    std::vector<int> clicks;
    std::function<bool()> parameterAfter;
    Tile tile;
    std::string valueText;      // expected value text, or
    std::string bottomLeftText; // expected bottom-left text when not empty
};

TEST_F(MainWindowTest, TileClicksFollowTheLaddersAndLimits) {
    const std::vector<ClickCase> cases = {
        {"0.01 V step down gives 0 V", [] { p.baseGateMode = "Voltage"; p.voltageStepSize = 0.01; },
         {controlStepSizeDown}, [] { return p.voltageStepSize == 0; }, StepSize, "0 mV", ""},
        {"0 V step up gives 0.01 V", [] { p.baseGateMode = "Voltage"; p.voltageStepSize = 0; },
         {controlStepSizeUp}, [] { return p.voltageStepSize == 0.01; }, StepSize, "10 mV", ""},
        {"50 V up to a 60 V limit", [] { p.safetyMaximumVoltage = 60; p.collectorPeakVoltage = 50; },
         {controlCollectorVoltageUp}, [] { return p.collectorPeakVoltage == 60; }, PeakVoltage, "60 V", ""},
        {"60 V up steps back once", [] { p.safetyMaximumVoltage = 60; p.collectorPeakVoltage = 60; },
         {controlCollectorVoltageUp}, [] { return p.collectorPeakVoltage == 60; }, PeakVoltage, "60 V", ""},
        {"100 V up steps back once only", [] { p.safetyMaximumVoltage = 60; p.collectorPeakVoltage = 100; },
         {controlCollectorVoltageUp}, [] { return p.collectorPeakVoltage == 90; }, PeakVoltage, "90 V", ""},
        {"negative polarity shows the sign", [] { p.collectorPolarity = "Positive"; p.collectorPeakVoltage = 20; },
         {controlCollectorPolarity}, [] { return p.collectorPolarity == "Negative" && p.dutType.empty(); },
         PeakVoltage, "-20 V", ""},
        {"off-ladder 12 mA up", [] { p.collectorPeakCurrent = 0.012; },
         {controlCollectorCurrentUp}, [] { return p.collectorPeakCurrent == 0.012; }, PeakCurrent, "12 mA", ""},
        {"off-ladder 12 mA down", [] { p.collectorPeakCurrent = 0.012; },
         {controlCollectorCurrentDown}, [] { return p.collectorPeakCurrent == 0.012; }, PeakCurrent, "12 mA", ""},
        {"3.5 A up gives 3 A", [] { p.collectorPeakCurrent = 3.5; },
         {controlCollectorCurrentUp}, [] { return p.collectorPeakCurrent == 3; }, PeakCurrent, "3.00 A", ""},
        {"3.5 A down stays", [] { p.collectorPeakCurrent = 3.5; },
         {controlCollectorCurrentDown}, [] { return p.collectorPeakCurrent == 3.5; }, PeakCurrent, "3.50 A", ""},
        {"current offset range 1 level 15",
         [] { p.baseGateMode = "Current"; p.currentOffsetRange = 1; p.currentOffsetLevel = 14; },
         {controlOffsetUp}, [] { return p.currentOffsetLevel == 15; }, Offset, "1.5 uA", ""},
        {"voltage offset range 0 level 20 stays at 20",
         [] { p.baseGateMode = "Voltage"; p.voltageOffsetRange = 0; p.voltageOffsetLevel = 19; },
         {controlOffsetUp, controlOffsetUp}, [] { return p.voltageOffsetLevel == 20; }, Offset, "200 mV", ""},
        {"offset range after 5 comes 0",
         [] { p.baseGateMode = "Voltage"; p.voltageOffsetRange = 5; p.voltageOffsetLevel = 3; },
         {controlOffsetRange}, [] { return p.voltageOffsetRange == 0; }, Offset, "30 mV", ""},
        {"maximum of exactly 30 mA",
         [] { p.baseGateMode = "Current"; p.currentStepSize = 0.005; p.stepCount = 5; p.currentOffsetLevel = 0; },
         {controlStepCountUp}, [] { return p.stepCount == 6; }, Steps, "6", "Max: 30 mA"},
        {"maximum of 30.1 mA warns",
         [] {
             p.baseGateMode = "Current"; p.currentStepSize = 0.005; p.stepCount = 5;
             p.currentOffsetRange = 4; p.currentOffsetLevel = 1;
         },
         {controlStepCountUp}, [] { return p.stepCount == 6; }, Steps, "6", "Max: 30 mA *LIMIT"},
        {"maximum of -15 mA",
         [] { p.baseGateMode = "Current"; p.stepPolarity = "Negative"; p.currentStepSize = 0.005; p.stepCount = 2; },
         {controlStepCountUp}, [] { return p.stepCount == 3; }, Steps, "3", "Max: -15 mA"},
        {"steps stop at 1",
         [] { p.stepCount = 1; }, {controlStepCountDown}, [] { return p.stepCount == 1; }, Steps, "1", ""},
    };
    for (const ClickCase& c : cases) {
        resetSweepParametersDefaults();
        c.setUp();
        for (int control : c.clicks) click(control);
        EXPECT_TRUE(c.parameterAfter()) << c.name;
        EXPECT_EQ(tile(c.tile).value, c.valueText) << c.name;
        if (!c.bottomLeftText.empty()) {
            EXPECT_EQ(tile(c.tile).bottomLeft, c.bottomLeftText) << c.name;
        }
        // The value control shows the redrawn tile.
        const int valueControl = tileCollectorVoltage + 7 * c.tile + 3;
        EXPECT_TRUE(sameImage(platform::controlImage(valueControl), drawTileTexts(tile(c.tile))[2])) << c.name;
    }
}

TEST_F(MainWindowTest, DriveModeToggleClearsTheDutHighlightAndOffsetPolarityDoesNot) {
    click(controlDutNpn);
    EXPECT_EQ(p.dutType, "NPN");
    EXPECT_EQ(parameterPanelView.selectedDutButton, 0);
    EXPECT_EQ(platform::controlImage(controlDutNpn).pixel(1, 1), colourTheme.accentColour);
    EXPECT_EQ(platform::controlImage(controlDutNpn + 1).pixel(1, 1), colourTheme.tileColour);

    click(controlOffsetPolarity);
    EXPECT_EQ(p.dutType, "NPN");
    EXPECT_EQ(tile(Offset).value, "-0 nA");
    EXPECT_EQ(platform::controlImage(controlDutNpn).pixel(1, 1), colourTheme.accentColour);

    click(controlBaseGateMode);
    EXPECT_EQ(p.baseGateMode, "Voltage");
    EXPECT_EQ(tile(StepSize).bottomRight, "Voltage Mode");
    EXPECT_EQ(parameterPanelView.selectedDutButton, -1);
    EXPECT_EQ(platform::controlImage(controlDutNpn).pixel(1, 1), colourTheme.tileColour);

    // MOSFET types light the FET buttons; JFETs light none.
    const struct {
        const char* type;
        int button;
    } selections[] = {{"NMOS_DEP", 2}, {"PMOS_ENH", 3}, {"NJFET", -1}, {"SCR", 5}};
    for (const auto& s : selections) {
        applyDutType(s.type);
        refreshParameterPanel();
        EXPECT_EQ(parameterPanelView.selectedDutButton, s.button) << s.type;
    }
}

TEST_F(MainWindowTest, CollectorPulseClickChangesBothPulseTexts) {
    p.collectorPulseMode = "Continuous";
    p.baseGatePulseMode = "Pulsed";
    p.pulseWidthUs = 300;
    click(controlBaseGatePulse); // refresh so the step tile shows the 300 us pulse first
    EXPECT_EQ(tile(Steps).bottomRight, "Continuous");
    click(controlBaseGatePulse);
    click(controlBaseGatePulse);
    EXPECT_EQ(tile(Steps).bottomRight, "Pulsed 300 us");

    click(controlCollectorPulse);
    EXPECT_EQ(p.collectorPulseMode, "Pulsed");
    EXPECT_EQ(p.pulseWidthUs, 80);
    EXPECT_EQ(tile(PeakCurrent).bottomRight, "Pulsed 80 us");
    EXPECT_EQ(tile(Steps).bottomRight, "Pulsed 80 us");
    // Continuous -> Pulsed 80 -> Pulsed 300 -> Continuous.
    click(controlCollectorPulse);
    EXPECT_EQ(tile(PeakCurrent).bottomRight, "Pulsed 300 us");
    click(controlCollectorPulse);
    EXPECT_EQ(tile(PeakCurrent).bottomRight, "Continuous");
    EXPECT_EQ(tile(Steps).bottomRight, "Pulsed 300 us");
}

TEST_F(MainWindowTest, ResistorTextCyclesThroughAutomaticAndTheFourResistors) {
    const char* const expected[] = {"Z=27 kR", "Z=2.55 kR", "Z=270 R", "Z=24 R", "Auto Z=2.55 kR"};
    passes(1); // the automatic choice is made by the loop tick
    EXPECT_EQ(tile(PeakVoltage).bottomRight, "Auto Z=2.55 kR"); // 13 V at 10 mA
    for (const char* text : expected) {
        click(controlCollectorResistor);
        EXPECT_EQ(tile(PeakVoltage).bottomRight, text);
    }
}

} // namespace
