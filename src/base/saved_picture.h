// The run's picture as it is saved: the graph image with the cursor/key/settings panel to its right.
#pragma once

#include "ui/platform/platform.h"

// Made from the numbered graph and panel images last published, as high as the graph; an invalid
// image when the graph has not been drawn yet. The saving side reads the pictures through here,
// below the display that draws them.
platform::Image composeSavedPicture();
