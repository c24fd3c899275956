#include "ui/status_panel.h"

// Filled in with the status panel.
void redrawStatusPanel() {}
