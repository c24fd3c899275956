// The graph and panel images as last drawn, and the saved picture made of the two.
#pragma once

#include "ui/platform/platform.h"

struct GraphImages {
    platform::Image graph; // W x H, drawn by drawGraph, the cursors and the title strip
    platform::Image panel; // panelWidth x panelHeight
};

inline GraphImages graphImages;

void resetGraphImages();
// Keeps the finished image as a numbered image and shows it in its control when the control exists.
void publishImage(int number, int control, const platform::Image& image);
// The graph with the panel to its right, as high as the graph, from the numbered images last
// published; an invalid image when the graph has not been drawn yet.
platform::Image composeSavedPicture();
