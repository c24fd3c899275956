// The graph and panel images as last drawn (results puts the two together for saving).
#pragma once

#include "platform/platform.h"

struct GraphImages {
    platform::Image graph; // W x H, drawn by drawGraph, the cursors and the title strip
    platform::Image panel; // panelWidth x panelHeight
};

inline GraphImages graphImages;

void resetGraphImages();
// Keeps the finished image as a numbered image and shows it in its control when the control exists.
void publishImage(int number, int control, const platform::Image& image);
