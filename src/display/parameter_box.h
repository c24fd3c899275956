// The PARAMETERS box of the panel: the device kind and the parameters at the operating point, the XA
// cursor's collector voltage on the step chosen in the key.
#pragma once

#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "display/run_analysis.h"
#include "platform/platform.h"

struct ParameterBoxState {
    int selectedStep = -1; // chosen by clicking its key row; -1: the middle step
    bool shown = true;     // false leaves the panel as it was without the box
};

inline ParameterBoxState parameterBox;

// The box's step and the device kind override back to their start-up state.
void resetParameterBoxDefaults();

// A click on the key row of `step`: the box follows that step from the next redraw on.
void selectParameterStep(int step);

// What the box reads off the displayed run at the operating point.
struct OperatingPointReading {
    RunSettings settings;
    DeviceKind inferredKind = DeviceKind::Unknown;
    DeviceKind kind = DeviceKind::Unknown; // the override when set, else the inferred kind
    int step = 0;                          // the selected step, or the middle one
    bool onCollectorVoltage = false;       // false when the graph's X axis is not the collector voltage
    OperatingPoint point;
    PointParameters parameters;            // all not available when !onCollectorVoltage
};
OperatingPointReading readOperatingPoint(const RunRecord& run, const RunColumns& header);
// The same for the run the graph shows; without `withParameters` only where the point is (settings, step,
// point), neither the kind nor the parameters.
OperatingPointReading readDisplayedOperatingPoint(bool withParameters = true);

// One parameter at the operating point as listed: its label ("hFE"), a key ("hfe") and the value.
struct PointParameterLine {
    const char* label;
    const char* key;
    ParameterValue value;
};
// The point parameters that apply to the kind's family, in the order the box shows them.
std::vector<PointParameterLine> pointParameterLines(DeviceKind kind, const PointParameters& parameters);

// Draws the box for the displayed run under the key (whose last row ends at keyBottom) and above the
// SWEEP SETTINGS header at sweepHeaderY, with as many lines as fit there; nothing when not even its
// header fits. The kind is read only when the header fits, the parameters only when a line of them does.
void drawParameterBox(platform::Image& image, OperatingPointReading reading, int keyBottom, int sweepHeaderY);
