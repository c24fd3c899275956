// The saved picture of a run: the graph and the cursor / key / settings panel side by side.
#pragma once

#include <string>

#include "base/safe_file.h"
#include "platform/platform.h"

// The graph image with the panel image to its right, as last drawn; either may be missing (the other is
// used alone), and with neither the picture is a black area.
platform::Image composeResultPicture();
// Writes the composed picture as PNG; an older file of that name stays whole on failure.
FileWriteOutcome saveGraphPicture(const std::string& path);
