// Colour theme of the main window and the graph.
#pragma once

void applyColourTheme();
void redrawStatusPanel();
