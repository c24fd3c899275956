#include <string>

#include "base/colour_theme.h"
#include "base/gui_numbers.h"
#include "display/graph_layout.h"
#include "display/live_status.h"
#include "display/status_strips.h"
#include "link/instrument_link.h"
#include "main_window_fixture.h"
#include "ui/left_column_images.h"
#include "ui/main_window.h"

namespace {

using platform::rgb;

struct Placement {
    int control, x, y, width, height;
};

TEST_F(MainWindowTest, StartUpPlacesTheLeftColumnAndShowsTheIdleStatus) {
    passes(1);
    EXPECT_EQ(platform::windowWidth(1), 1402);
    EXPECT_EQ(platform::windowHeight(1), 832);
    const int menu = platform::menuBarHeight(1);
    ASSERT_GT(menu, 0);
    const Placement placements[] = {
        {59, 0, 0, 288, 832 - menu},
        {273, 1, 26, 142, 25},   {274, 145, 26, 142, 25}, {275, 1, 52, 286, 25},
        {361, 1, 103, 48, 25},   {363, 96, 103, 48, 25},  {366, 239, 103, 48, 25},
        {356, 1, 129, 24, 72},   {476, 25, 129, 119, 18}, {477, 144, 129, 119, 18},
        {478, 25, 147, 238, 36}, {479, 25, 183, 119, 18}, {480, 144, 183, 119, 18},
        {358, 263, 129, 24, 72}, {318, 1, 227, 24, 72},   {319, 25, 227, 119, 18},
        {321, 25, 245, 238, 36}, {323, 144, 281, 119, 18}, {324, 263, 227, 24, 72},
        {331, 263, 300, 24, 72}, {332, 1, 399, 24, 72},   {345, 263, 472, 24, 72},
        {349, 25, 563, 238, 36}, {278, 1, 644, 142, 25},  {279, 145, 644, 142, 25},
        {277, 1, 669, 286, 64},  {353, 1, 759, 24, 25},   {354, 25, 759, 238, 25},
        {355, 263, 759, 24, 25}, {460, 288, 0, -1, -1},   {60, 1002, 0, 400, 832 - menu},
        {513, 0, 0, -1, -1},
    };
    // The graph and the panel image take the size of whatever the graph drew last.
    for (const Placement& p : placements) {
        EXPECT_EQ(platform::controlX(p.control), p.x) << p.control;
        EXPECT_EQ(platform::controlY(p.control), p.y) << p.control;
        if (p.width >= 0) {
            EXPECT_EQ(platform::controlWidth(p.control), p.width) << p.control;
        }
        if (p.height >= 0) {
            EXPECT_EQ(platform::controlHeight(p.control), p.height) << p.control;
        }
    }
    EXPECT_EQ(graphLayout.graphWidth, 1402 - 688);
    EXPECT_EQ(graphLayout.graphHeight, 832 - menu);

    // CONNECT?, HV ENABLE, RUN, STOPPED; "Com Status: " with the empty text; live values "-".
    const struct {
        int control, image;
    } shown[] = {{273, gui::imageConnectOff}, {274, gui::imageHvOff}, {278, gui::imageRunIdle}, {279, gui::imageStopIdle}};
    for (const auto& s : shown) EXPECT_TRUE(sameImage(platform::controlImage(s.control), *platform::numberedImage(s.image))) << s.control;
    EXPECT_TRUE(sameImage(*platform::numberedImage(gui::imageRunIdle), drawStatusButton("RUN", rgb(255, 255, 255))));
    EXPECT_EQ(instrumentLink.commsStatusText, "");
    EXPECT_TRUE(sameImage(platform::controlImage(275), drawCommsStatusStrip()));
    EXPECT_EQ(liveReadings.liveVc + liveReadings.liveVr + liveReadings.liveIc + liveReadings.liveVb, "----");
    EXPECT_TRUE(sameImage(platform::controlImage(277), drawRunStatusStrip()));
}

TEST_F(MainWindowTest, MenuCheckMarksAfterTheFirstPass) {
    passes(1);
    const struct {
        int item;
        bool ticked;
    } marks[] = {{32, true},  {33, true},  {229, false}, {248, true},  {249, true},  {261, false}, {250, true},
                 {251, false}, {255, true}, {253, false}, {258, true}, {260, true},  {259, false}, {266, true},
                 {267, false}, {244, true}, {240, false}, {56, true},  {227, false}, {228, false}};
    for (const auto& m : marks) EXPECT_EQ(platform::menuItemChecked(1, m.item), m.ticked) << m.item;
}

TEST_F(MainWindowTest, ResizeGivesTheGraphTheWidthBetweenColumnAndPanel) {
    passes(1);
    platform::resizeWindow(1, 1600, 900);
    // The loop lays the window out again at most once a second.
    ASSERT_TRUE(runUntil([] { return graphLayout.graphWidth == 912; }, 3000));
    const int below = 900 - platform::menuBarHeight(1);
    EXPECT_EQ(graphLayout.graphX, 288);
    EXPECT_EQ(graphLayout.graphHeight, below);
    EXPECT_EQ(graphLayout.panelX, 1200);
    EXPECT_EQ(platform::controlX(60), 1200);
    EXPECT_EQ(platform::controlWidth(60), 400);
    EXPECT_EQ(platform::controlHeight(60), below);
    EXPECT_EQ(platform::controlWidth(59), 288);
    EXPECT_EQ(platform::controlHeight(59), below);
    EXPECT_EQ(platform::controlX(460), 288);
}

// Tiles, DUT buttons and the small buttons take the light colours at their next drawing; the section
// headers keep theirs, and a status button keeps its copy until its state changes.
TEST_F(MainWindowTest, LightThemeReachesTilesAtTheirNextDrawing) {
    passes(1);
    const platform::Image headerBefore = platform::controlImage(gui::controlLeftColumnDecorationFirst);
    const platform::Image runBefore = platform::controlImage(gui::controlRunButton);
    EXPECT_EQ(platform::controlImage(321).pixel(0, 0), rgb(21, 51, 80));
    platform::postMenuEvent(gui::menuAlternateColours);
    passes(1);
    EXPECT_EQ(colourTheme.tileColour, rgb(75, 176, 255));
    EXPECT_EQ(platform::controlImage(321).pixel(0, 0), rgb(21, 51, 80)); // not redrawn yet
    click(gui::controlStepCountUp);
    EXPECT_EQ(platform::controlImage(321).pixel(0, 0), rgb(75, 176, 255));
    EXPECT_EQ(platform::controlImage(361).pixel(0, 0), rgb(75, 176, 255));
    EXPECT_TRUE(sameImage(platform::controlImage(gui::controlStepCountUp), drawPlusButton()));
    EXPECT_EQ(drawPlusButton().pixel(12, 36), rgb(0, 0, 0));
    EXPECT_TRUE(sameImage(platform::controlImage(gui::controlLeftColumnDecorationFirst), headerBefore));
    EXPECT_EQ(headerBefore.pixel(140, 2), rgb(117, 117, 117));
    EXPECT_TRUE(sameImage(platform::controlImage(gui::controlRunButton), runBefore));
    EXPECT_TRUE(platform::menuItemChecked(1, gui::menuAlternateColours));
}

} // namespace
