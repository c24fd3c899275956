// Axis scaling, labels and minor-division texts from the extremes of the data, and the plot data the
// graph reads through the graph mode's channels.
#include <gtest/gtest.h>

#include "base/colour_theme.h"
#include "base/unit_format.h"
#include "display/curves.h"
#include "display/graph.h"
#include "display/graph_axes.h"
#include "display/displayed_run.h"
#include "display/graph_images.h"
#include "display/key_values.h"
#include "display/panel_texts.h"
#include "graph_fixture.h"
#include "sweep/run_record.h"
#include "sweep/sweep_parameters.h"
#include "sweep/sweep_state_machine.h"

namespace {

using namespace graphtest;

struct AxisCase {
    const char* what;
    double maxV, minV;
    const char* prefix;
    double fullScale;
    std::array<std::string, 6> labels;
    const char* minorText;
};

TEST(GraphAxes, ScaleLabelsAndMinorTextFromTheExtremes) {
    const AxisCase cases[] = {
        {"largest VC 11.3 V", 11.3, 0.0, "", 12.0, {"0", "2.4", "4.8", "7.2", "9.6", "12"}, "0.48"},
        {"largest IC 0.0442 A", 0.0442, 0.0, "m", 0.05, {"0", "10", "20", "30", "40", "50"}, "2"},
        {"all negative", 0.0, -0.0442, "m", -0.05, {"0", "-10", "-20", "-30", "-40", "-50"}, "-2"},
        {"symmetric data takes the negative side", 5.0, -5.0, "", -6.0, {"0", "-1.2", "-2.4", "-3.6", "-4.8", "-6"},
         "-0.24"},
        {"a small reading on the other side of zero", 0.3, -11.3, "", -12.0,
         {"0", "-2.4", "-4.8", "-7.2", "-9.6", "-12"}, "-0.48"},
    };
    for (const AxisCase& c : cases) {
        SCOPED_TRACE(c.what);
        resetAxisScaleCarry();
        AxisScale scale;
        std::array<std::string, 6> labels;
        std::string minor;
        scaleAxis(c.maxV, c.minV, scale, labels, minor);
        EXPECT_EQ(scale.prefix, c.prefix);
        EXPECT_DOUBLE_EQ(scale.fullScale, c.fullScale);
        EXPECT_EQ(labels, c.labels);
        EXPECT_EQ(minor, c.minorText);
    }
}

TEST(GraphAxes, WithoutSamplesEveryLabelIsZeroAndTheFrameIsStillDrawn) {
    resetGraphWorld();
    useOutputCharacteristic();
    refreshGraph();
    for (const std::string& label : graphAxes.xLabels) EXPECT_EQ(label, "0");
    for (const std::string& label : graphAxes.yLabels) EXPECT_EQ(label, "0");
    const PlotArea a = currentPlotArea();
    EXPECT_EQ(graphImages.graph.pixel(a.right, a.top + 40), colourTheme.graticuleMajorColour);
}

TEST(GraphAxes, NpnFamilyScalesToItsLargestSamples) {
    resetGraphWorld();
    useOutputCharacteristic();
    useBipolarSampleRun({});
    refreshGraph();
    EXPECT_EQ(graphAxes.xScale.sign, "");
    EXPECT_EQ(graphAxes.xTitleRest, " (V) Collector-Emitter");
    EXPECT_EQ(graphAxes.yTitleRest, " (mA) Collector Current");
    EXPECT_GT(graphAxes.yScale.fullScale, 0.0);
}

// A PNP device: everything negative, drawn from the bottom-left corner towards the top right.
TEST(GraphAxes, PnpFamilyIsDrawnOnTheNegativeSideFromTheBottomLeft) {
    resetGraphWorld();
    useOutputCharacteristic();
    FamilySettings pnp;
    pnp.pnp = true;
    useBipolarSampleRun(pnp);
    refreshGraph();
    for (const AxisScale* s : {&graphAxes.xScale, &graphAxes.yScale}) {
        EXPECT_EQ(s->sign, "-");
        EXPECT_LT(s->fullScale, 0.0);
    }
    EXPECT_EQ(graphAxes.xLabels[0], "0");
    for (int k = 1; k <= 5; ++k) EXPECT_EQ(graphAxes.xLabels[static_cast<std::size_t>(k)][0], '-');
    EXPECT_EQ(graphAxes.yMinorText[0], '-');

    const PlotArea a = currentPlotArea();
    const CurveMapping m = curveMapping(a);
    EXPECT_EQ(curvePixel(m, 0.0, 0.0), (CurvePixel{a.left, a.bottom}));
    const RunRecord& run = sampleRun();
    const int top = pnp.steps - 1;
    const CurvePixel last = curvePixel(m, run.VC[top][pnp.samples], run.IC[top][pnp.samples]);
    EXPECT_GT(last.x, a.left + a.plotWidth() / 2);
    EXPECT_LT(last.y, a.bottom - a.plotHeight() / 2);
}

TEST(GraphAxes, HfeIsZeroWhereTheProgrammedBaseCurrentIsZero) {
    resetGraphWorld();
    setGraphRow(100, 5, "V", "V", "CE", "Collector-Emitter", 11, "", "h", "FE", "Gain");
    sweepParameters.testConfigurationId = 100;
    useBipolarSampleRun({});
    refreshGraph();
    const RunRecord& run = sampleRun();
    ASSERT_EQ(run.TIB[0][10], 0.0);
    ASSERT_NE(run.IC[0][10], 0.0); // leakage, but no gain to speak of
    for (int e = 0; e <= 500; ++e) EXPECT_EQ(plotData.y[0][e], 0.0) << e;
    EXPECT_DOUBLE_EQ(plotData.y[3][400], run.IC[3][400] / run.TIB[3][400]);
    EXPECT_GT(graphAxes.yScale.fullScale, 10.0);
}

TEST(GraphAxes, OnlyTheStepsBeforeTheFirstEmptyOneAreShown) {
    resetGraphWorld();
    useOutputCharacteristic();
    useBipolarSampleRun({});
    RunRecord& run = sampleRun();
    run.entryCount[3] = 0;
    run.VC[5][10] = 500.0; // would set the X scale if step 5 counted
    refreshGraph();
    EXPECT_EQ(plotData.count[2], 500);
    EXPECT_EQ(plotData.count[5], 0);
    EXPECT_LT(graphAxes.xScale.fullScale, 20.0);
}

} // namespace

namespace {

// While a sweep runs the graph shows the run record, labelled with the step generator settings in
// force; the sample run's other recorded settings stay.
TEST(GraphSource, RunRecordIsShownWhileASweepRuns) {
    resetGraphWorld();
    useOutputCharacteristic();
    useBipolarSampleRun({});
    refreshGraph(); // idle: the sample run with its recorded settings
    FamilySettings live;
    live.steps = 2;
    live.samples = 40;
    live.peakVolts = 30.0;
    traceBipolarFamily(runRecord, live);
    sweepParameters.currentStepSize = 0.0002;
    sweepParameters.stepCount = 3;
    sweepControl.sweepState = SweepState::Sweeping;
    refreshGraph();
    sweepControl.sweepState = SweepState::Idle;

    EXPECT_EQ(plotData.count[0], 40);
    EXPECT_EQ(plotData.count[2], 0);
    EXPECT_GE(graphAxes.xScale.fullScale, 30.0);
    EXPECT_EQ(displayedRun.header[16], "0.0002");
    EXPECT_EQ(displayedRun.header[20], "3");
    EXPECT_EQ(displayedRun.header[13], "13");
    EXPECT_EQ(panelTexts.stepLabels[3], "600 uA");
    EXPECT_EQ(panelTexts.stepLabels[4], "");
    // The key keeps reading the displayed sample run.
    EXPECT_EQ(keyValues.keyTable[0][1], "3");
    EXPECT_EQ(keyValues.keyAtXA[6], "0.000 mA");

    refreshGraph();
    EXPECT_EQ(plotData.count[0], 500);
}

} // namespace
