// Cursor steps and their direction, cursor positions on the graph, the key values at the X cursors
// and the key table in both directions.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "base/system_settings.h"
#include "base/unit_format.h"
#include "display/cursor_actions.h"
#include "display/cursor_drawing.h"
#include "display/graph.h"
#include "display/graph_axes.h"
#include "display/graph_layout.h"
#include "display/graph_mode.h"
#include "display/hot_regions.h"
#include "display/key_values.h"
#include "graph_fixture.h"

namespace {

using namespace graphtest;

TEST(CursorActions, OneStepIsATenthOneOrTenPercentOfTheFullScaleAwayFromZero) {
    struct Case {
        double fullScale, multiplier, step;
    } cases[] = {{12.0, 0.1, 0.012}, {12.0, 1.0, 0.12}, {12.0, 10.0, 1.2}, {-0.05, 1.0, -0.0005}, {-12.0, 10.0, -1.2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fullScale * c.multiplier);
        resetCursorDefaults();
        cursors.xFullScale = cursors.yFullScale = c.fullScale;
        cursors.cursorStepMultiplier = c.multiplier;
        graphRefresh.redrawRequested = 0;
        moveCursorXA(+1);
        moveCursorYB(-1);
        EXPECT_NEAR(cursors.cursorXA, c.step, 1e-12);
        EXPECT_NEAR(cursors.cursorYB, -c.step, 1e-12);
        EXPECT_EQ(cursors.cursorXB, 0.0);
        EXPECT_EQ(graphRefresh.redrawRequested, 1);
    }
}

TEST(CursorActions, SyncMovesThePartnerButZeroingKeepsToItsPair) {
    resetCursorDefaults();
    cursors.xFullScale = 10.0;
    toggleCursorSync();
    moveCursorXA(+1);
    EXPECT_DOUBLE_EQ(cursors.cursorXA, 0.1);
    EXPECT_DOUBLE_EQ(cursors.cursorXB, 0.1);
    cursors.cursorYA = cursors.cursorYB = 0.5;
    zeroCursorA();
    EXPECT_EQ(cursors.cursorXA, 0.0);
    EXPECT_EQ(cursors.cursorYA, 0.0);
    EXPECT_DOUBLE_EQ(cursors.cursorXB, 0.1);
    EXPECT_DOUBLE_EQ(cursors.cursorYB, 0.5);
    toggleCursorSync();
    moveCursorXB(+1);
    EXPECT_EQ(cursors.cursorXA, 0.0);
}

// A cursor on a negative axis moves to the right on the screen for a "plus" click.
TEST(CursorActions, PlusStepOnANegativeAxisMovesTheCursorRightOnTheGraph) {
    resetGraphWorld();
    useOutputCharacteristic();
    FamilySettings pnp;
    pnp.pnp = true;
    useBipolarSampleRun(pnp);
    refreshGraph();
    const PlotArea a = currentPlotArea();
    const int before = cursorPixels(a).xA;
    moveCursorXA(+1);
    EXPECT_LT(cursors.cursorXA, 0.0);
    EXPECT_EQ(cursorPixels(a).xA, before + static_cast<int>(std::lround(a.plotWidth() * 0.01)));
}

TEST(CursorDrawing, PositionsFollowTheFullScaleAndAreNotClamped) {
    resetGraphWorld(714, 772);
    useOutputCharacteristic();
    graphAxes.xScale.fullScale = 12.0;
    graphAxes.yScale.fullScale = -0.05;
    const PlotArea a = currentPlotArea(); // 564 x 652
    cursors.cursorXA = 6.0;
    cursors.cursorXB = 24.0;
    cursors.cursorYA = -0.025;
    cursors.cursorYB = 0.0;
    const CursorPixels p = cursorPixels(a);
    EXPECT_EQ(p.xA, a.left + 282);
    EXPECT_EQ(p.xB, a.left + 1128);
    EXPECT_EQ(p.yA, a.bottom - 326);
    EXPECT_EQ(p.yB, a.bottom);
}

TEST(CursorReadout, YaOnAFiftyMilliampereAxisReadsInMilliamperes) {
    resetGraphWorld();
    useOutputCharacteristic();
    useBipolarSampleRun({});
    sampleRun().IC[6][500] = 0.0442;
    refreshGraph();
    ASSERT_EQ(graphAxes.yScale.prefix, "m");
    ASSERT_DOUBLE_EQ(graphAxes.yScale.fullScale, 0.05);
    EXPECT_EQ(formatReadout(0.025, graphAxes.yScale, "A", 3), "25.000 mA");
}

// One step of X/Y pairs after the origin entry; the graph mode plots channel VC (X) against IC (Y).
void useStep(const std::vector<std::pair<double, double>>& samples) {
    resetGraphWorld();
    useOutputCharacteristic();
    readGraphMode();
    RunRecord& run = sampleRun();
    run.entryCount[0] = static_cast<std::int64_t>(samples.size());
    for (std::size_t e = 0; e < samples.size(); ++e) {
        run.VC[0][e + 1] = samples[e].first;
        run.IC[0][e + 1] = samples[e].second;
    }
}

TEST(KeyValues, ValueWhereTheCurveFirstCrossesTheCursor) {
    struct Case {
        const char* what;
        std::vector<std::pair<double, double>> samples;
        double cursor, expected;
    } cases[] = {
        {"interpolated between two entries", {{1, 10}, {3, 30}}, 2.0, 20.0},
        {"exactly on an entry", {{1, 10}, {3, 30}}, 3.0, 30.0},
        {"first crossing of a curve that turns back", {{2, 5}, {4, 7}, {1, 100}, {4, 200}}, 3.0, 6.0},
        {"a vertical curve on the cursor gives its first entry", {{1, 10}, {1, 12}, {1, 14}}, 1.0, 10.0},
        {"never reaching the cursor gives 0", {{1, 10}, {2, 20}}, 5.0, 0.0},
        {"a negative cursor searches downwards", {{-1, -10}, {-3, -30}}, -2.0, -20.0},
        {"cursor at the origin on a curve from the origin", {{1, 10}, {2, 20}}, 0.0, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        useStep(c.samples);
        EXPECT_DOUBLE_EQ(valueAtCursor(sampleRun(), 0, c.cursor), c.expected);
    }
}

TEST(KeyValues, TextsInTheYAxisUnitWithTheDifferenceCloseUp) {
    useStep({{1, 0.010}, {3, 0.030}});
    sampleRun().entryCount[1] = 2; // a second curve that stays below both cursors
    sampleRun().VC[1][1] = 0.5;
    sampleRun().VC[1][2] = 1.5;
    sampleRun().IC[1][1] = 0.020;
    sampleRun().IC[1][2] = 0.040;
    refreshGraph(); // Y axis: 50 mA
    cursors.cursorXA = 2.0;
    cursors.cursorXB = 2.5;
    computeKeyValues();
    EXPECT_EQ(keyValues.keyAtXA[0], "20.000 mA");
    EXPECT_EQ(keyValues.keyAtXB[0], "25.000 mA");
    EXPECT_EQ(keyValues.keyDifference[0], "-5.000mA");
    EXPECT_EQ(keyValues.keyAtXA[1], "0.000 mA");
    EXPECT_EQ(keyValues.keyDifference[1], "0.000mA");
    EXPECT_EQ(keyValues.keyAtXA[2], "");
}

TEST(KeyTable, ListsTheStepsFallingByDefaultAndRisingOnRequest) {
    resetGraphWorld();
    useOutputCharacteristic();
    FamilySettings six;
    six.steps = 6;
    useBipolarSampleRun(six);
    refreshGraph();
    const auto& table = keyValues.keyTable;
    EXPECT_EQ(table[0][0], "Step");
    EXPECT_EQ(table[4][0], "Difference");
    EXPECT_EQ(table[0][1], "5");
    EXPECT_EQ(table[1][1], "50.0 uA");
    EXPECT_EQ(table[0][6], "0");
    EXPECT_EQ(table[1][6], "0.0 uA");
    EXPECT_EQ(table[0][7], "");

    systemSettings.keyDirection = "Rising";
    refreshGraph();
    EXPECT_EQ(table[0][1], "0");
    EXPECT_EQ(table[0][6], "5");
    EXPECT_EQ(table[2][6], keyValues.keyAtXA[5]);
    EXPECT_EQ(table[0][7], "");
}

} // namespace

namespace {

// The panel's buttons answer where the panel is now, bounds inclusive.
TEST(PanelHotRegions, AreRegisteredAtThePanelsWindowPosition) {
    resetGraphWorld();
    graphLayout.panelX = 1002;
    graphLayout.panelY = 0;
    refreshGraph();
    const auto& r = hotRegions;
    EXPECT_EQ(r.hotRegionLeft[regionXaUp], 1002 + 174);
    EXPECT_EQ(r.hotRegionRight[regionXaUp], 1002 + 198);
    EXPECT_EQ(r.hotRegionTop[regionXaUp], 103);
    EXPECT_EQ(r.hotRegionBottom[regionXaUp], 127);
    EXPECT_EQ(r.hotRegionRight[regionCursorSlope], 1002 + 75);
    EXPECT_EQ(r.hotRegionTop[regionYbDown], 128);
    graphLayout.panelX = 800;
    refreshGraph();
    EXPECT_EQ(r.hotRegionLeft[regionXaUp], 800 + 174);
}

} // namespace
