// The analysis of the run the graph shows, as the panel, the Device Parameters window and the side
// files share it: its recorded settings, the device kind the user chose, the model card's name.
#pragma once

#include <string>

#include "analysis/analysis.h"

struct RunAnalysisChoice {
    DeviceKind kindOverride = DeviceKind::Unknown; // chosen by the user; Unknown: the inferred kind
};

inline RunAnalysisChoice runAnalysisChoice;

// Columns 12..27 as the run data file records the sweep parameters now.
RunColumns currentRunColumns();
// The recorded settings of the run the graph shows: the sample run's while idle; during a run those its
// data file will record, since the displayed header keeps the last sample run's collector settings.
RunColumns displayedRunColumns();

// The user's override, or the kind inferred from the run.
DeviceKind effectiveDeviceKind(const RunRecord& run, const RunSettings& settings);
// "NPN", "NMOS-ENH" ...: the kind's name as the panel shows it.
std::string deviceKindLabel(DeviceKind kind);
// The label followed by " (auto)" when inferred or " (set)" when the user chose it.
std::string chosenKindText(DeviceKind kind);

// A SPICE model name from a file stem: letters, digits and "_" kept, anything else "_", and a
// leading letter ensured ("0007" gives "KRV_0007").
std::string modelNameForStem(const std::string& stem);
// The model card of a run named after its stem, in the effective kind; empty when nothing could be fitted.
std::string modelCardFor(const RunRecord& run, const RunColumns& columns, const std::string& stem);
