// The graph and panel as a person sees them: pictures saved for looking at, and compared with small
// reference pictures so that a moved pixel, a changed colour or a wrong label is caught.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "base/colour_theme.h"
#include "results/result_picture.h"
#include "base/system_settings.h"
#include "display/cursor_actions.h"
#include "display/graph.h"
#include "display/graph_images.h"
#include "display/plot_area.h"
#include "graph_fixture.h"

namespace {

using namespace graphtest;

// Text edges may come out a little differently with another build of the font rasteriser; anything
// beyond a few pixels is a real change.
constexpr int allowedDifferingPixels = 16;

void placeCursors() {
    cursors.cursorXA = 3.0;
    cursors.cursorXB = 9.5;
    cursors.cursorYA = 0.012;
    cursors.cursorYB = 0.031;
    cursors.cursorSlopeLine = 1;
}

void expectLikeReference(const platform::Image& image, const std::string& name) {
    savePicture(image, name);
    const int differing = compareWithReference(image, name);
    EXPECT_GE(differing, 0) << "no reference picture " << name;
    EXPECT_LE(differing, allowedDifferingPixels) << name;
}

TEST(GraphPictures, DefaultGraphWithoutData) {
    resetGraphWorld();
    refreshGraph();
    savePicture(graphImages.graph, "default-empty");
    savePicture(graphImages.panel, "default-empty-panel");
}

TEST(GraphPictures, FamiliesAtTheDefaultSize) {
    resetGraphWorld();
    useOutputCharacteristic();
    useBipolarSampleRun({});
    refreshGraph();
    savePicture(graphImages.graph, "npn-family");
    placeCursors();
    refreshGraph();
    savePicture(composeResultPicture(), "npn-family-cursors-saved");

    resetGraphWorld();
    useOutputCharacteristic();
    FamilySettings pnp;
    pnp.pnp = true;
    useBipolarSampleRun(pnp);
    cursors.cursorXA = -4.0;
    cursors.cursorYA = -0.01;
    refreshGraph();
    savePicture(composeResultPicture(), "pnp-family-saved");
}

TEST(GraphPictures, GraticuleModesColoursAndThemes) {
    const char* modes[] = {"Both", "Major", "Off"};
    const char* colours[] = {"White", "LightGreen", "DarkGreen"};
    const char* backgrounds[] = {"DarkGrey", "Black", "White"};
    for (int i = 0; i < 3; ++i) {
        for (const char* theme : {"No", "Yes"}) {
            resetGraphWorld();
            systemSettings.alternateDisplayColours = theme;
            applyColourTheme();
            systemSettings.graticuleMode = modes[i];
            systemSettings.graticuleColour = colours[i];
            systemSettings.backgroundColour = backgrounds[i];
            useOutputCharacteristic();
            useBipolarSampleRun({});
            refreshGraph();
            savePicture(graphImages.graph, std::string("graticule-") + modes[i] + "-" + colours[i] + "-" + backgrounds[i] +
                                               (theme[0] == 'Y' ? "-light" : "-dark"));
        }
    }
    resetGraphWorld();
    systemSettings.alternateDisplayColours = "Yes";
    applyColourTheme();
    useOutputCharacteristic();
    useBipolarSampleRun({});
    placeCursors();
    refreshGraph();
    savePicture(composeResultPicture(), "light-theme-saved");
}

TEST(GraphPictures, SmallGraphsMatchTheirReferences) {
    resetGraphWorld(400, 320, 400);
    useOutputCharacteristic();
    useBipolarSampleRun({});
    placeCursors();
    refreshGraph();
    expectLikeReference(graphImages.graph, "npn-cursors-small");

    resetGraphWorld(400, 320, 400);
    useOutputCharacteristic();
    FamilySettings pnp;
    pnp.pnp = true;
    pnp.steps = 4;
    useBipolarSampleRun(pnp);
    refreshGraph();
    expectLikeReference(graphImages.graph, "pnp-small");

    resetGraphWorld(400, 320, 400);
    systemSettings.alternateDisplayColours = "Yes";
    applyColourTheme();
    systemSettings.graticuleMode = "Off";
    systemSettings.graticuleColour = "White";
    useOutputCharacteristic();
    useBipolarSampleRun({});
    refreshGraph();
    expectLikeReference(graphImages.graph, "light-off-small");
}

TEST(GraphPictures, PanelMatchesItsReferenceInBothKeyDirections) {
    resetGraphWorld(400, 560, 400);
    useOutputCharacteristic();
    useBipolarSampleRun({});
    placeCursors();
    cursors.cursorSync = 1;
    cursors.cursorStepMultiplier = 10.0;
    refreshGraph();
    expectLikeReference(graphImages.panel, "panel-falling");
    systemSettings.keyDirection = "Rising";
    refreshGraph();
    savePicture(graphImages.panel, "panel-rising");
}

// In "Off" mode the major ticks at the right end of X and the top of Y are left out; all others stay.
TEST(GraphPictures, OffModeLeavesOutOnlyTheClosingMajorTicks) {
    for (const char* mode : {"Both", "Major", "Off"}) {
        SCOPED_TRACE(mode);
        resetGraphWorld();
        systemSettings.graticuleMode = mode;
        useOutputCharacteristic();
        useBipolarSampleRun({});
        refreshGraph();
        const PlotArea a = currentPlotArea();
        const platform::Image& g = graphImages.graph;
        const platform::Rgb major = colourTheme.graticuleMajorColour;
        const bool closing = std::string(mode) != "Off";
        EXPECT_EQ(g.pixel(a.left, a.bottom + 10), major);
        EXPECT_EQ(g.pixel(a.left - 10, a.bottom), major);
        EXPECT_EQ(g.pixel(a.right, a.bottom + 10) == major, closing);
        EXPECT_EQ(g.pixel(a.left - 10, a.top) == major, closing);
        const int lastMinor = a.left + static_cast<int>(std::lround(a.plotWidth() * 24 / 25.0));
        EXPECT_EQ(g.pixel(lastMinor, a.bottom + 3), colourTheme.graticuleMinorColour);
        EXPECT_EQ(g.pixel(lastMinor, a.top + 3) == colourTheme.graticuleMinorColour, std::string(mode) == "Both");
    }
}

} // namespace
