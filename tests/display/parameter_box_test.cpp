// The PARAMETERS box in the panel: where it goes for short and long keys, that everything else of the
// panel stays as it was, and choosing its step by the key rows.
#include <gtest/gtest.h>

#include <string>

#include "base/colour_theme.h"
#include "display/cursor_actions.h"
#include "display/graph.h"
#include "display/graph_images.h"
#include "display/graph_layout.h"
#include "display/hot_regions.h"
#include "display/parameter_box.h"
#include "display/run_analysis.h"
#include "graph_fixture.h"

namespace {

using namespace graphtest;

// The panel height of the main window at its built size (client height less the menu bar).
constexpr int panelHeight = 808;
constexpr int keyTop = 185; // heading row of the key
constexpr int rowPitch = 19;

struct PanelDrawing {
    platform::Image image;
    HotRegions regions;
};

PanelDrawing drawPanel(bool withBox) {
    parameterBox.shown = withBox;
    refreshGraph();
    return {graphImages.panel, hotRegions};
}

bool sameRow(const platform::Image& a, const platform::Image& b, int y) {
    for (int x = 0; x < a.width(); ++x)
        if (a.pixel(x, y) != b.pixel(x, y)) return false;
    return true;
}

int keyBottomFor(int steps) {
    return keyTop + rowPitch * steps + 17;
}

// Row of the key (counted from the heading) showing `step` in the default falling direction.
int keyRowY(int steps, int step) {
    return keyTop + rowPitch * (steps - step);
}

class ParameterBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetGraphWorld(714, panelHeight, 400);
        useOutputCharacteristic();
        cursors.cursorXA = 5.0;
    }
};

TEST_F(ParameterBoxTest, FitsBetweenTheKeyAndSweepSettingsAndLeavesTheRestOfThePanelAlone) {
    const int sweepY = panelHeight - 200;
    struct Case {
        int steps;
        bool header;    // whether the header fits at all
        int fieldRows;  // rows of two parameter lines that fit
    } cases[] = {{7, true, 4}, {16, true, 3}, {19, true, 0}, {20, false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.steps);
        FamilySettings family;
        family.steps = c.steps;
        family.samples = 100;
        useBipolarSampleRun(family);
        const PanelDrawing without = drawPanel(false);
        const PanelDrawing with = drawPanel(true);
        ASSERT_EQ(with.image.height(), panelHeight);
        savePicture(with.image, "panel-box-" + std::to_string(c.steps) + "-steps");

        for (int r = firstHotRegion; r <= lastHotRegion; ++r) {
            EXPECT_EQ(with.regions.hotRegionLeft[r], without.regions.hotRegionLeft[r]) << r;
            EXPECT_EQ(with.regions.hotRegionTop[r], without.regions.hotRegionTop[r]) << r;
            EXPECT_EQ(with.regions.hotRegionRight[r], without.regions.hotRegionRight[r]) << r;
            EXPECT_EQ(with.regions.hotRegionBottom[r], without.regions.hotRegionBottom[r]) << r;
        }
        // Outside the free space only the two lines marking the selected key row may differ.
        const int keyBottom = keyBottomFor(c.steps);
        const int marked = keyRowY(c.steps, (c.steps - 1) / 2);
        for (int y = 0; y < panelHeight; ++y) {
            if ((y > keyBottom && y < sweepY - 1) || y == marked - 1 || y == marked + 18) continue;
            EXPECT_TRUE(sameRow(with.image, without.image, y)) << "row " << y;
        }
        EXPECT_EQ(with.image.pixel(0, marked - 1), colourTheme.accentColour);
        EXPECT_EQ(with.image.pixel(0, marked + 18), colourTheme.accentColour);

        const int boxTop = keyBottom + 10;
        EXPECT_EQ(with.image.pixel(1, boxTop + 1) == platform::rgb(255, 255, 255), c.header);
        for (int row = 0; row < 5; ++row) {
            const int fieldY = boxTop + 17 + row * rowPitch;
            if (fieldY + 18 > sweepY) break;
            const bool drawn = with.image.pixel(1, fieldY + 9) == platform::rgb(30, 30, 30);
            EXPECT_EQ(drawn, row < c.fieldRows) << "field row " << row;
        }
    }
}

TEST_F(ParameterBoxTest, KeyRowsChooseTheStepAndTheMiddleStepIsTheDefault) {
    useBipolarSampleRun({});
    refreshGraph();
    EXPECT_EQ(readDisplayedOperatingPoint().step, 3);
    for (int step = 0; step < 7; ++step) {
        const auto r = static_cast<std::size_t>(firstKeyStepRegion + step);
        EXPECT_EQ(hotRegions.hotRegionTop[r], graphLayout.panelY + keyRowY(7, step)) << step;
        EXPECT_EQ(hotRegions.hotRegionBottom[r] - hotRegions.hotRegionTop[r], 18);
    }
    // Rows the key does not show answer no click.
    const auto unused = static_cast<std::size_t>(firstKeyStepRegion + 7);
    EXPECT_GT(hotRegions.hotRegionLeft[unused], hotRegions.hotRegionRight[unused]);

    graphRefresh.redrawRequested = 0;
    selectParameterStep(5);
    EXPECT_EQ(graphRefresh.redrawRequested, 1);
    refreshGraph();
    EXPECT_EQ(readDisplayedOperatingPoint().step, 5);
    EXPECT_EQ(graphImages.panel.pixel(10, keyRowY(7, 5) - 1), colourTheme.accentColour);
    EXPECT_NE(graphImages.panel.pixel(10, keyRowY(7, 3) - 1), colourTheme.accentColour);

    // A run with fewer steps than the chosen one falls back to its middle step.
    FamilySettings three;
    three.steps = 3;
    useBipolarSampleRun(three);
    refreshGraph();
    EXPECT_EQ(readDisplayedOperatingPoint().step, 1);
}

TEST_F(ParameterBoxTest, KindFollowsTheOverrideAndTheXAxis) {
    useBipolarSampleRun({});
    refreshGraph();
    OperatingPointReading reading = readDisplayedOperatingPoint();
    EXPECT_EQ(reading.inferredKind, DeviceKind::Npn);
    EXPECT_EQ(reading.kind, DeviceKind::Npn);
    EXPECT_TRUE(reading.onCollectorVoltage);
    EXPECT_DOUBLE_EQ(reading.point.collectorVoltage, 5.0);
    EXPECT_EQ(pointParameterLines(reading.kind, reading.parameters).size(), 7u);

    runAnalysisChoice.kindOverride = DeviceKind::NmosEnhancement;
    reading = readDisplayedOperatingPoint();
    EXPECT_EQ(reading.inferredKind, DeviceKind::Npn);
    EXPECT_EQ(reading.kind, DeviceKind::NmosEnhancement);
    EXPECT_EQ(chosenKindText(reading.kind), "NMOS-ENH (set)");
    EXPECT_EQ(std::string(pointParameterLines(reading.kind, reading.parameters)[2].label), "gm");

    // With the base voltage on X the cursor is no collector voltage: nothing is read there.
    setGraphRow(100, 4, "V", "V", "BE", "Base-Emitter", 8, "A", "I", "C", "Collector Current");
    refreshGraph();
    reading = readDisplayedOperatingPoint();
    EXPECT_FALSE(reading.onCollectorVoltage);
    for (const PointParameterLine& line : pointParameterLines(reading.kind, reading.parameters))
        EXPECT_FALSE(line.value.available) << line.label;
}

} // namespace
