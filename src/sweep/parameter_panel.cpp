#include "sweep/parameter_panel.h"

// Filled in later with the panel tiles.
void refreshParameterPanel() {}
