#include "ui/status_panel.h"

#include "base/colour_theme.h"
#include "base/gui_numbers.h"
#include "ui/left_column.h"
#include "ui/left_column_images.h"
#include "platform/platform.h"

void drawStatusButtons() {
    const ColourTheme& c = colourTheme;
    const struct {
        int image;
        const char* text;
        platform::Rgb colour;
    } buttons[] = {
        {gui::imageConnectOff, "CONNECT?", c.tileTextColour}, {gui::imageConnectOn, "CONNECTED", c.confirmTextColour},
        {gui::imageHvOff, "HV ENABLE", c.tileTextColour},     {gui::imageHvOn, "HV ON", c.warningTextColour},
        {gui::imageRunIdle, "RUN", c.plainTextColour},        {gui::imageRunBusy, "RUNNING", c.confirmTextColour},
        {gui::imageStopBusy, "STOP", c.warningTextColour},    {gui::imageStopIdle, "STOPPED", c.plainTextColour},
    };
    for (const auto& b : buttons) platform::setNumberedImage(b.image, drawStatusButton(b.text, b.colour));
}

void redrawStatusPanel() {
    drawStatusButtons();
    showSmallButtons();
}
