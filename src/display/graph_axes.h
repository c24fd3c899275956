// Plot data and axis scaling of the displayed run.
#pragma once

#include <array>
#include <string>

#include "base/unit_format.h"
#include "sweep/run_record.h"

struct GraphAxes {
    AxisScale xScale;
    AxisScale yScale;
    std::array<std::string, 6> xLabels; // major divisions 0..5
    std::array<std::string, 6> yLabels;
    std::string xMinorText; // value of one minor division
    std::string yMinorText;
    std::string xTitleRest; // " (" + prefix + unit + ") " + name
    std::string yTitleRest;
};

inline GraphAxes graphAxes;

// The X and Y values of every displayed step, entries 0..entryCount, read through the graph mode's
// channels; count is 0 for a step that is not shown.
struct PlotData {
    std::array<const double*, runRecordSteps> x{};
    std::array<const double*, runRecordSteps> y{};
    std::array<std::int64_t, runRecordSteps> count{};
};

inline PlotData plotData;
// The same for the reference run while one is shown (all counts 0 otherwise).
inline PlotData referencePlotData;

// Plot data, scales (covering the reference too), labels and minor texts, title rests, then the step labels and sweep settings
// texts of the panel; the cursors learn the new full scales.
void computeAxes();
// The axis scale and labels of one axis from the extremes of its data (maxV >= 0 >= minV normally).
void scaleAxis(double maxV, double minV, AxisScale& scale, std::array<std::string, 6>& labels, std::string& minorText);
