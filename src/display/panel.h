// The panel beside the graph: CURSORS, KEY / MEASUREMENT and SWEEP SETTINGS.
#pragma once

// Draws the panel image, registers the hot regions of its buttons and publishes the image.
void drawPanel();
