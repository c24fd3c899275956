// Curves: the drawing that leaves out segments adding no pixel gives exactly the picture of drawing
// every segment, and samples that are out of range, not finite or degenerate are drawn onto the
// frame without harm.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

#include "base/colour_theme.h"
#include "results/result_picture.h"
#include "display/cursor_actions.h"
#include "display/curves.h"
#include "display/graph.h"
#include "display/graph_axes.h"
#include "display/graph_drawing.h"
#include "display/graph_images.h"
#include "display/graph_layout.h"
#include "graph_fixture.h"

namespace {

using namespace graphtest;

// Dense noisy steps that pile thousands of samples onto a few hundred pixels, sparse steps with long
// jumps, a step that doubles back, and a few readings that must be clamped onto the frame.
void useMixedFamily() {
    RunRecord& run = sampleRun();
    std::uint32_t noise = 2024;
    auto jitter = [&noise] {
        noise = noise * 1664525u + 1013904223u;
        return static_cast<double>(noise >> 8) / 16777216.0 - 0.5;
    };
    for (auto& count : run.entryCount) count = 0;
    for (int s = 0; s < 24; ++s) {
        const bool dense = s % 3 != 2;
        const int samples = dense ? 10000 : 6;
        for (int e = 1; e <= samples; ++e) {
            const double t = static_cast<double>(e) / samples;
            run.VC[s][e] = 12.0 * t + (dense ? 0.02 * jitter() : 0.0);
            run.IC[s][e] = 0.002 * s * (1.0 - std::exp(-t * 40.0)) + (dense ? 50e-6 * jitter() : 0.0);
        }
        if (s == 4) {
            for (int e = 5000; e <= 10000; ++e) run.VC[s][e] = 12.0 - run.VC[s][e]; // back towards the origin
        }
        run.entryCount[s] = samples;
    }
    run.VC[7][1300] = -3.0; // on the other side of zero
    run.IC[10][2000] = std::numeric_limits<double>::quiet_NaN();
    run.VC[13][3000] = std::numeric_limits<double>::infinity();
    run.IC[13][3001] = -std::numeric_limits<double>::infinity();
}

platform::Image plotBackground(const PlotArea& a) {
    platform::Image image(a.width, a.height, colourTheme.graphBackgroundColour);
    platform::fillRect(image, a.left, a.top, a.plotWidth(), a.plotHeight(), colourTheme.plotAreaColour);
    return image;
}

TEST(GraphCurves, LeavingOutSegmentsChangesNoPixel) {
    for (const auto& [width, height] : {std::pair{714, 772}, std::pair{912, 840}, std::pair{200, 130}, std::pair{120, 90}}) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        resetGraphWorld(width, height);
        useOutputCharacteristic();
        useMixedFamily();
        refreshGraph();
        const PlotArea a = currentPlotArea();
        platform::Image fast = plotBackground(a);
        platform::Image plain = plotBackground(a);
        drawCurves(fast, a);
        drawCurvesEverySegment(plain, a);
        EXPECT_EQ(differingPixels(fast, plain, 0), 0);
    }
}

// Every pixel outside the plot area (frame included) keeps the colour the curves found there.
int curvePixelsOutsideThePlotArea(const PlotArea& a) {
    platform::Image before = plotBackground(a);
    platform::Image after = before;
    drawCurves(after, a);
    int outside = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const bool inside = x >= a.left && x <= a.right && y >= a.top && y <= a.bottom;
            if (!inside && after.pixel(x, y) != before.pixel(x, y)) ++outside;
        }
    return outside;
}

TEST(GraphCurves, UnusableSamplesAreClampedOntoTheFrame) {
    resetGraphWorld();
    useOutputCharacteristic();
    useMixedFamily();
    refreshGraph();
    // Not-a-number and infinite readings do not decide the scale.
    EXPECT_DOUBLE_EQ(graphAxes.xScale.fullScale, 12.5);
    EXPECT_DOUBLE_EQ(graphAxes.yScale.fullScale, 0.05);
    const PlotArea a = currentPlotArea();
    EXPECT_EQ(curvePixelsOutsideThePlotArea(a), 0);
    // A reading that is not a number ends on the top of the frame, in its step's colour.
    const CurveMapping m = curveMapping(a);
    const CurvePixel lost = curvePixel(m, sampleRun().VC[10][2000], sampleRun().IC[10][2000]);
    EXPECT_EQ(lost.y, a.top);
    EXPECT_EQ(graphImages.graph.pixel(lost.x, lost.y), colourTheme.stepColours[10]);
}

TEST(GraphCurves, DegenerateStepsAreDrawnWithoutHarm) {
    resetGraphWorld();
    useOutputCharacteristic();
    RunRecord& run = sampleRun();
    // Step 0: 10000 entries on one X value; step 1: a single entry, which only scales the axes.
    run.entryCount[0] = 10000;
    for (int e = 1; e <= 10000; ++e) {
        run.VC[0][e] = 2.0;
        run.IC[0][e] = 0.001 * e / 10000.0;
    }
    run.entryCount[1] = 1;
    run.VC[1][1] = 9.0;
    run.IC[1][1] = 0.0;
    refreshGraph();
    EXPECT_DOUBLE_EQ(graphAxes.xScale.fullScale, 10.0);
    const PlotArea a = currentPlotArea();
    const CurveMapping m = curveMapping(a);
    const CurvePixel top = curvePixel(m, 2.0, 0.001);
    EXPECT_EQ(graphImages.graph.pixel(top.x, top.y), colourTheme.stepColours[0]);
    int red = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) red += graphImages.graph.pixel(x, y) == colourTheme.stepColours[1];
    EXPECT_EQ(red, 0);
    EXPECT_EQ(curvePixelsOutsideThePlotArea(a), 0);
}

// A window narrower than 688 pixels leaves the graph no width at all; the layout can ask for less.
TEST(GraphCurves, GraphWithoutRoomIsStillDrawn) {
    for (const auto& [width, height] : {std::pair{-14, 772}, std::pair{0, 0}, std::pair{1, 1}, std::pair{100, 100},
                                        std::pair{150, 120}, std::pair{151, 121}}) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        resetGraphWorld(width, height);
        useOutputCharacteristic();
        useBipolarSampleRun({});
        cursors.cursorXA = 5.0;
        cursors.cursorSlopeLine = 1;
        refreshGraph();
        EXPECT_EQ(graphImages.graph.width(), std::max(width, 1));
        EXPECT_EQ(graphImages.graph.height(), std::max(height, 1));
        EXPECT_EQ(graphImages.panel.height(), std::max(height, 1));
        const platform::Image picture = composeResultPicture();
        EXPECT_EQ(picture.width(), graphImages.graph.width() + 400);
    }
}

} // namespace
