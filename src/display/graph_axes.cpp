#include "display/graph_axes.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "display/cursor_actions.h"
#include "display/displayed_run.h"
#include "display/plot_area.h"
#include "display/graph_mode.h"
#include "display/panel_texts.h"
#include "display/reference_run.h"

namespace {

using StepValues = std::array<double, runRecordEntries + 1>;

// HFE and channels without a table are computed into these, one set per plotted run; unknown
// channels read all 0.
struct ComputedValues {
    std::vector<StepValues> x = std::vector<StepValues>(runRecordSteps);
    std::vector<StepValues> y = std::vector<StepValues>(runRecordSteps);
};

const StepValues& zeroValues() {
    static const StepValues zeros{};
    return zeros;
}

const double* stepValues(const RunRecord& run, std::int64_t channel, int step, std::int64_t count, StepValues& computed) {
    if (const double* table = channelTable(run, channel, step)) return table;
    if (channel != channelHFE) return zeroValues().data();
    const ChannelReader hfe = channelReader(run, channel, step);
    for (std::int64_t e = 0; e <= count; ++e) computed[static_cast<std::size_t>(e)] = hfe[static_cast<int>(e)];
    return computed.data();
}

void fillPlotData(const RunRecord* run, PlotData& data, ComputedValues& computed) {
    for (int s = 0; s < runRecordSteps; ++s) {
        const std::int64_t count = run ? run->entryCount[s] : 0;
        const auto k = static_cast<std::size_t>(s);
        data.count[s] = count;
        data.x[s] = count > 0 ? stepValues(*run, graphMode.xChannel, s, count, computed.x[k]) : nullptr;
        data.y[s] = count > 0 ? stepValues(*run, graphMode.yChannel, s, count, computed.y[k]) : nullptr;
    }
}

struct Extremes {
    double maxV = 0.0;
    double minV = 0.0;
};

// Entry 0 (value 0) takes part, so both start at 0; readings that are not finite are drawn on the
// frame but must not decide the scale (a NaN fails every comparison below).
Extremes extremes(const PlotData& data, const std::array<const double*, runRecordSteps>& values) {
    constexpr double largest = std::numeric_limits<double>::max();
    Extremes e;
    for (int s = 0; s < runRecordSteps && data.count[s] > 0; ++s) {
        const double* v = values[s];
        const std::int64_t count = data.count[s];
        // Two independent pairs keep the comparisons from waiting on each other.
        double hi0 = e.maxV, lo0 = e.minV, hi1 = e.maxV, lo1 = e.minV;
        std::int64_t k = 0;
        for (; k + 1 <= count; k += 2) {
            const double a = v[k], b = v[k + 1];
            hi0 = a > hi0 && a <= largest ? a : hi0;
            lo0 = a < lo0 && a >= -largest ? a : lo0;
            hi1 = b > hi1 && b <= largest ? b : hi1;
            lo1 = b < lo1 && b >= -largest ? b : lo1;
        }
        for (; k <= count; ++k) {
            const double a = v[k];
            hi0 = a > hi0 && a <= largest ? a : hi0;
            lo0 = a < lo0 && a >= -largest ? a : lo0;
        }
        e.maxV = hi0 > hi1 ? hi0 : hi1;
        e.minV = lo0 < lo1 ? lo0 : lo1;
    }
    return e;
}

// The reference widens the scale on the side the displayed run is drawn on; its samples on the other
// side land on the frame, so a reference never turns the displayed family over. Without displayed
// samples the reference alone decides.
Extremes withReference(Extremes shown, const Extremes& reference) {
    if (shown.maxV == 0.0 && shown.minV == 0.0) return reference;
    if (shown.maxV <= -shown.minV)
        shown.minV = std::min(shown.minV, reference.minV);
    else
        shown.maxV = std::max(shown.maxV, reference.maxV);
    return shown;
}

std::string titleRest(const AxisScale& scale, const std::string& unit, const std::string& name) {
    return " (" + scale.prefix + unit + ") " + name;
}

} // namespace

void scaleAxis(double maxV, double minV, AxisScale& scale, std::array<std::string, 6>& labels, std::string& minorText) {
    const bool negative = maxV <= -minV;
    scale = chooseAxisScale(negative ? -minV : maxV);
    scale.sign = negative ? "-" : "";
    scale.fullScale = scale.fullScaleMantissa / scale.multiplier;
    if (negative) scale.fullScale = -scale.fullScale;

    double labelStep = scale.fullScaleMantissa * scale.decadeFactor / majorDivisions;
    if (negative) labelStep = -labelStep;
    double value = 0.0;
    for (auto& label : labels) {
        label = trimTrailingZeros(formatTrimmed(value));
        value += labelStep;
    }
    minorText = scale.sign +
                formatTrimmed(scale.fullScaleMantissa * scale.decadeFactor / (majorDivisions * minorDivisions));
}

void computeAxes() {
    static ComputedValues shownValues, referenceValues;
    fillPlotData(&displayedRun.run, plotData, shownValues);
    fillPlotData(referenceRun.record.get(), referencePlotData, referenceValues);
    const Extremes x = withReference(extremes(plotData, plotData.x), extremes(referencePlotData, referencePlotData.x));
    const Extremes y = withReference(extremes(plotData, plotData.y), extremes(referencePlotData, referencePlotData.y));
    GraphAxes& a = graphAxes;
    scaleAxis(x.maxV, x.minV, a.xScale, a.xLabels, a.xMinorText);
    scaleAxis(y.maxV, y.minV, a.yScale, a.yLabels, a.yMinorText);
    a.xTitleRest = titleRest(a.xScale, graphMode.xUnit, graphMode.xName);
    a.yTitleRest = titleRest(a.yScale, graphMode.yUnit, graphMode.yName);
    cursors.xFullScale = a.xScale.fullScale;
    cursors.yFullScale = a.yScale.fullScale;
    makeStepLabels();
    makeSweepSettingsTexts();
}
