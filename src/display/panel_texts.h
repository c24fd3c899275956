// Texts of the panel made from the displayed run's recorded settings: the step generator level of
// each curve and the sweep settings summary.
#pragma once

#include <array>
#include <string>

#include "sweep/run_record.h"

struct PanelTexts {
    std::array<std::string, runRecordSteps> stepLabels;
    // "Max. Voltage:", "Collector Z:", "Max. Current:", "Collector Pulse:", "Base/Gate Pulse:", "Rate:"
    std::array<std::string, 6> sweepSettings;
};

inline PanelTexts panelTexts;

extern const std::array<const char*, 6> sweepSettingsLabels;

void makeStepLabels();
void makeSweepSettingsTexts();
void clearStepLabels();
