// The status panel's images: status buttons, communication and run status strips.
#pragma once

// Draws the eight status button images again (after a theme change).
void redrawStatusPanel();
