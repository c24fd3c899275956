#include "display/graph_images.h"

#include "base/gui_numbers.h"

void resetGraphImages() {
    graphImages = GraphImages{};
}

void publishImage(int number, int control, const platform::Image& image) {
    platform::setNumberedImage(number, image);
    if (platform::controlExists(control)) platform::setControlImage(control, image);
}
