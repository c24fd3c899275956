// Parameter panel handlers and refresh.
#pragma once

// Recomputes every tile text and redraws the tiles, DUT buttons and configuration tiles.
void refreshParameterPanel();
