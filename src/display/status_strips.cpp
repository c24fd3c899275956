#include "display/status_strips.h"

#include <cmath>
#include <string>

#include "base/colour_theme.h"
#include "base/program_fonts.h"
#include "display/live_status.h"
#include "link/instrument_link.h"
#include "sweep/sweep_state_machine.h"

namespace {

constexpr int stripWidth = 286;
constexpr int rowHeight = 16;

// Top of a text centred in a band of `height` pixels, to the nearest pixel.
int centredTop(int height, const platform::Font& font, const std::string& text) {
    return static_cast<int>(std::lround(height / 2.0 - platform::textHeight(font, text) / 2.0));
}

void drawRow(platform::Image& image, int rowTop, int x, const std::string& text) {
    const platform::Font& font = programFonts.controlStatusNormal;
    platform::drawText(image, font, x, rowTop + centredTop(rowHeight, font, text), text, colourTheme.tileTextColour);
}

void drawRightAligned(platform::Image& image, int rowTop, int rightEdge, const std::string& text) {
    drawRow(image, rowTop, rightEdge - platform::textWidth(programFonts.controlStatusNormal, text), text);
}

} // namespace

platform::Image drawCommsStatusStrip() {
    constexpr int height = 25;
    platform::Image image(stripWidth, height, colourTheme.tileColour);
    const platform::Font& font = programFonts.controlStatusNormal;
    const std::string text = "Com Status: " + instrumentLink.commsStatusText;
    platform::drawText(image, font, 2, centredTop(height, font, text), text, colourTheme.tileTextColour);
    return image;
}

platform::Image drawRunStatusStrip() {
    platform::Image image(stripWidth, 4 * rowHeight, colourTheme.tileColour);
    drawRow(image, 0, 2, "Run Status: " + sweepControl.statusText);
    drawRow(image, rowHeight, 2, "Last Sweep Ended By: " + sweepControl.lastStopReason);
    const LiveReadings& live = liveReadings;
    drawRow(image, 2 * rowHeight, 2, "Vc:");
    drawRightAligned(image, 2 * rowHeight, 95, live.liveVc);
    drawRow(image, 2 * rowHeight, 144, "Vr:");
    drawRightAligned(image, 2 * rowHeight, 237, live.liveVr);
    drawRow(image, 3 * rowHeight, 2, "Ic:");
    drawRightAligned(image, 3 * rowHeight, 95, live.liveIc);
    drawRow(image, 3 * rowHeight, 144, "Vb:");
    drawRightAligned(image, 3 * rowHeight, 237, live.liveVb);
    return image;
}
