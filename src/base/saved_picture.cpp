#include "base/saved_picture.h"

#include "base/gui_numbers.h"

platform::Image composeSavedPicture() {
    const platform::Image* graph = platform::numberedImage(gui::imageGraph);
    const platform::Image* panel = platform::numberedImage(gui::imagePanel);
    if (!graph || !graph->valid()) return {};
    const int panelWidth = panel && panel->valid() ? panel->width() : 0;
    platform::Image picture(graph->width() + panelWidth, graph->height(), 0);
    platform::blit(picture, *graph, 0, 0);
    if (panelWidth > 0) platform::blit(picture, *panel, graph->width(), 0);
    return picture;
}
