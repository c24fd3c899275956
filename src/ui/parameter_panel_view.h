// The parameter panel on screen: every tile text, the DUT buttons, the test configuration tile and the
// sample-run tile, recomputed from the sweep parameters.
#pragma once

#include <array>
#include <string>

#include "sweep/parameter_tile_texts.h"

// What the panel shows, as last drawn.
struct ParameterPanelView {
    std::array<TileTexts, 5> tiles;     // peak voltage, peak current, step size, offset, steps
    TileTexts testConfiguration;        // the TEST / GRAPH MODE tile
    std::string sampleRunName;          // "0007.csv"
    int selectedDutButton = -1;         // 0..5, -1 for none
};

inline ParameterPanelView parameterPanelView;

void resetParameterPanelViewDefaults();
void refreshParameterPanel();
