// The parameter panel on screen: every tile text, the DUT buttons, the test configuration tile and the
// sample-run tile, recomputed from the sweep parameters.
#pragma once

void refreshParameterPanel();
