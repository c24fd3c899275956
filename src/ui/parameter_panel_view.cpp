#include "ui/parameter_panel_view.h"

// Filled in with the parameter panel's tiles.
void refreshParameterPanel() {}
