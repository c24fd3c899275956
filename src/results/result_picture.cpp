#include "results/result_picture.h"

#include <cerrno>
#include <cstring>

#include "base/file_paths.h"
#include "base/gui_numbers.h"

namespace {

// Stands in for the picture before the graph has ever been drawn.
constexpr int blankWidth = 640;
constexpr int blankHeight = 480;

bool usable(const platform::Image* image) {
    return image != nullptr && image->valid() && image->width() > 0 && image->height() > 0;
}

} // namespace

platform::Image composeResultPicture() {
    const platform::Image* graph = platform::numberedImage(gui::imageGraph);
    const platform::Image* panel = platform::numberedImage(gui::imagePanel);
    if (!usable(graph) && !usable(panel)) return platform::Image(blankWidth, blankHeight, platform::rgb(0, 0, 0));
    if (!usable(graph)) return *panel;
    if (!usable(panel)) return *graph;
    platform::Image picture(graph->width() + panel->width(), graph->height(), platform::rgb(0, 0, 0));
    platform::blit(picture, *graph, 0, 0);
    platform::blit(picture, *panel, graph->width(), 0);
    return picture;
}

FileWriteOutcome saveGraphPicture(const std::string& path) {
    errno = 0;
    if (platform::writePng(composeResultPicture(), hostPath(path))) return {true, {}};
    return {false, errno != 0 ? std::strerror(errno) : "the picture could not be written"};
}
