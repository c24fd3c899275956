#include "ui/theme.h"

// Filled in with the main window's theme and status panel.
void applyColourTheme() {}
void redrawStatusPanel() {}
