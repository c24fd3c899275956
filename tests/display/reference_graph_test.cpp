// A reference run behind the displayed family: drawn first in dimmed step colours (or grey) so the
// family lies on top, scaled into the same axes without turning the family over, compared curve by
// curve and by the main parameter, and listed in the PARAMETERS box.
#include <gtest/gtest.h>

#include <string>

#include "base/colour_theme.h"
#include "base/system_settings.h"
#include "display/curves.h"
#include "display/cursor_actions.h"
#include "display/graph.h"
#include "display/graph_axes.h"
#include "display/graph_drawing.h"
#include "display/graph_images.h"
#include "display/graph_layout.h"
#include "display/reference_run.h"
#include "display/run_analysis.h"
#include "graph_fixture.h"
#include "results/sample_runs.h"
#include "support/traced_family.h"

namespace {

using namespace graphtest;

constexpr int steps = 7;

// An NPN family of the displayed run's settings traced with the given gain (or polarity).
std::unique_ptr<RunRecord> npnFamily(double hfe, bool pnp = false) {
    auto run = std::make_unique<RunRecord>();
    testsupport::TracedFamily f;
    f.device = pnp ? SimDevice::Pnp : SimDevice::Npn;
    f.steps = steps;
    f.stepLevel = pnp ? -10e-6 : 10e-6;
    f.peakVolts = pnp ? -13.0 : 13.0;
    f.part.forwardBeta = hfe;
    testsupport::traceFamily(*run, f);
    return run;
}

RunColumns pnpColumns() {
    RunColumns c = sampleRuns.sampleRunParameters;
    c[13] = "-13";
    c[15] = "-0.05";
    c[16] = "-0.00001";
    return c;
}

int pixelsOf(const platform::Image& image, platform::Rgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == colour ? 1 : 0;
    return n;
}

int dimmedPixels(const platform::Image& image) {
    int n = 0;
    for (int s = 1; s < steps; ++s) n += pixelsOf(image, referenceStepColour(s, false));
    return n;
}

class ReferenceGraphTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetGraphWorld(714, 808, 400);
        useOutputCharacteristic();
        FamilySettings family;
        family.steps = steps;
        useBipolarSampleRun(family); // hFE 150
        cursors.cursorXA = 5.0;
    }
    void useReference(std::unique_ptr<RunRecord> run, const RunColumns& columns) {
        adoptReferenceRun(std::move(run), columns, "ref.csv");
    }
};

TEST_F(ReferenceGraphTest, DrawnBehindTheFamilyInDimmedStepColoursOrOneGrey) {
    refreshGraph();
    const platform::Image alone = graphImages.graph;

    // The same run as its own reference is hidden entirely under the family.
    useReference(std::make_unique<RunRecord>(sampleRunRecord), sampleRuns.sampleRunParameters);
    refreshGraph();
    EXPECT_EQ(differingPixels(graphImages.graph, alone, 0), 0);

    useReference(npnFamily(165), sampleRuns.sampleRunParameters);
    refreshGraph();
    const platform::Image withReference = graphImages.graph;
    EXPECT_GT(dimmedPixels(withReference), 500);
    // The family itself is still all there: every pixel of its own colours stays.
    for (int s = 1; s < steps; ++s)
        EXPECT_GE(pixelsOf(withReference, colourTheme.stepColours[static_cast<std::size_t>(s)]),
                  pixelsOf(alone, colourTheme.stepColours[static_cast<std::size_t>(s)]) * 9 / 10) << s;
    EXPECT_EQ(referenceStepColour(1, false), platform::rgb(153, 0, 0)); // red, 40 % toward the black plot area

    systemSettings.referenceGrey = "Yes";
    refreshGraph();
    EXPECT_EQ(dimmedPixels(graphImages.graph), 0);
    EXPECT_GT(pixelsOf(graphImages.graph, referenceStepColour(0, true)), 500);

    // Cleared, the graph is the family alone again.
    clearReferenceRun();
    refreshGraph();
    EXPECT_EQ(differingPixels(graphImages.graph, alone, 0), 0);
}

TEST_F(ReferenceGraphTest, AxesCoverBothRunsButNeverTurnTheFamilyOver) {
    refreshGraph();
    const AxisScale xAlone = graphAxes.xScale, yAlone = graphAxes.yScale;

    useReference(npnFamily(400), sampleRuns.sampleRunParameters);
    refreshGraph();
    EXPECT_EQ(graphAxes.xScale.fullScale, xAlone.fullScale);
    EXPECT_GT(graphAxes.yScale.fullScale, yAlone.fullScale);
    double largest = 0;
    for (int s = 0; s < steps; ++s)
        for (int e = 1; e <= referenceRun.record->entryCount[s]; ++e) largest = std::max(largest, referenceRun.record->IC[s][e]);
    EXPECT_GE(graphAxes.yScale.fullScale, largest);

    // A PNP reference (all negative) behind an NPN family: the axes stay on the family's side.
    useReference(npnFamily(150, true), pnpColumns());
    refreshGraph();
    EXPECT_EQ(graphAxes.xScale.sign, "");
    EXPECT_EQ(graphAxes.yScale.sign, "");
    EXPECT_EQ(graphAxes.yScale.fullScale, yAlone.fullScale);

    // With nothing displayed the reference alone sets the scale.
    for (auto& count : sampleRunRecord.entryCount) count = 0;
    refreshGraph();
    EXPECT_EQ(graphAxes.yScale.sign, "-");
}

TEST_F(ReferenceGraphTest, LeavingOutSegmentsChangesNoPixelWithAReference) {
    useReference(npnFamily(165), sampleRuns.sampleRunParameters);
    refreshGraph();
    const PlotArea a = currentPlotArea();
    platform::Image fast(a.width, a.height, 0), plain(a.width, a.height, 0);
    drawCurves(fast, a);
    drawCurvesEverySegment(plain, a);
    EXPECT_EQ(differingPixels(fast, plain, 0), 0);
}

TEST_F(ReferenceGraphTest, ComparesCurvesAndTheMainParameter) {
    const RunSettings settings = parseRunSettings(sampleRuns.sampleRunParameters);
    struct Case {
        const char* name;
        double referenceHfe;
        bool pnp;
        bool comparable;
        double hfePercent; // expected (displayed - reference) / reference
    } cases[] = {
        {"itself", 150, false, true, 0.0},
        {"hFE 165", 165, false, true, 100.0 * (150.0 - 165.0) / 165.0},
        {"PNP", 150, true, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        useReference(npnFamily(c.referenceHfe, c.pnp), c.pnp ? pnpColumns() : sampleRuns.sampleRunParameters);
        const ReferenceComparison r = referenceComparison(sampleRunRecord, settings, DeviceKind::Npn);
        EXPECT_EQ(r.comparable, c.comparable);
        EXPECT_EQ(r.mismatched, !c.comparable);
        if (!c.comparable) {
            EXPECT_FALSE(r.curves.available);
            continue;
        }
        ASSERT_TRUE(r.curves.available);
        EXPECT_EQ(r.parameterName, "hFE");
        ASSERT_TRUE(r.parameterDifference.available);
        EXPECT_NEAR(r.parameterDifference.value, c.hfePercent, 1.0);
        if (c.referenceHfe == 150) {
            EXPECT_EQ(r.curves.rms, 0.0);
        } else {
            EXPECT_GT(r.curves.rmsPercent(), 2.0);
        }
    }
    EXPECT_EQ(referenceMismatch(parseRunSettings(pnpColumns()), DeviceKind::Pnp, settings, DeviceKind::Npn),
              "holds PNP curves, the graph shows NPN curves");
}

TEST(ReferenceTexts, ShowADashWhereNothingIsAvailable) {
    ReferenceComparison c;
    c.comparable = true;
    EXPECT_EQ(referenceRmsText(c), "rms -");
    EXPECT_EQ(referenceOffsetRemovedText(c), "offs-rem -");
    EXPECT_EQ(referenceParameterText(c), "");
    c.parameterName = "hFE";
    EXPECT_EQ(referenceParameterText(c), "hFE -");
    c.curves.available = true;
    c.curves.rms = 45.2e-6;
    c.curves.rmsOffsetRemoved = 12.1e-6;
    c.curves.fullScale = 9.4e-3;
    c.parameterDifference = {true, -3.21, "%"};
    EXPECT_EQ(referenceRmsText(c), "rms 45.20 uA (0.48 %)");
    EXPECT_EQ(referenceOffsetRemovedText(c), "offs-rem 12.10 uA (0.13 %)");
    EXPECT_EQ(referenceParameterText(c), "hFE -3.2 %");
    c.parameterDifference.value = 3.21;
    EXPECT_EQ(referenceParameterText(c), "hFE +3.2 %");
}

// The picture a person looks at: an NPN family (hFE 150) with a reference of hFE 165 behind it, the
// graph and the panel side by side as the saved picture has them.
TEST_F(ReferenceGraphTest, PictureOfAFamilyWithItsReference) {
    useReference(npnFamily(165), sampleRuns.sampleRunParameters);
    refreshGraph();
    const platform::Image& graph = graphImages.graph;
    const platform::Image& panel = graphImages.panel;
    platform::Image picture(graph.width() + panel.width(), graph.height(), 0);
    platform::blit(picture, graph, 0, 0);
    platform::blit(picture, panel, graph.width(), 0);
    savePicture(picture, "reference-npn-hfe165");
    systemSettings.referenceGrey = "Yes";
    refreshGraph();
    savePicture(graphImages.graph, "reference-npn-hfe165-grey");
}

} // namespace
