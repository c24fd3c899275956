#include "display/displayed_run.h"

#include <algorithm>
#include <cstring>

#include "base/unit_format.h"
#include "sweep/instrument_values.h"
#include "sweep/sweep_parameters.h"
#include "sweep/sweep_state_machine.h"

namespace {

void copyEntries(double (&to)[runRecordSteps][runRecordEntries + 1],
                 const double (&from)[runRecordSteps][runRecordEntries + 1], int step, std::int64_t count) {
    std::memcpy(&to[step][1], &from[step][1], static_cast<std::size_t>(count) * sizeof(double));
}

// Steps after the first empty one are not part of the run: a gap would otherwise show values left
// over from an earlier run.
void copySamples(const RunRecord& source) {
    RunRecord& to = displayedRun.run;
    bool gap = false;
    for (int s = 0; s < runRecordSteps; ++s) {
        const std::int64_t count = std::clamp<std::int64_t>(source.entryCount[s], 0, runRecordEntries);
        gap = gap || count == 0;
        to.entryCount[s] = gap ? 0 : count;
        if (gap) continue;
        copyEntries(to.VR, source.VR, s, count);
        copyEntries(to.VB, source.VB, s, count);
        copyEntries(to.VC, source.VC, s, count);
        copyEntries(to.IR, source.IR, s, count);
        copyEntries(to.IB, source.IB, s, count);
        copyEntries(to.IC, source.IC, s, count);
        copyEntries(to.TIB, source.TIB, s, count);
        copyEntries(to.TVB, source.TVB, s, count);
    }
}

// During a run the header carries the step generator settings in force.
void headerFromSweep() {
    auto& h = displayedRun.header;
    h[12] = instrumentValues.stepModeLetter;
    h[16] = formatTrimmed(sweepParameters.currentStepSize);
    h[17] = formatTrimmed(sweepParameters.currentOffset);
    h[18] = formatTrimmed(sweepParameters.voltageStepSize);
    h[19] = formatTrimmed(sweepParameters.voltageOffset);
    h[20] = std::to_string(sweepParameters.stepCount);
}

} // namespace

void prepareDisplayedRun() {
    if (sweepControl.sweepState == SweepState::Idle) {
        for (int c = 0; c < runHeaderColumns; ++c) displayedRun.header[static_cast<std::size_t>(c)] = sampleRunSetting(c);
        copySamples(sampleRunForGraph());
    } else {
        headerFromSweep();
        copySamples(runRecord);
    }
}

void clearDisplayedEntryCounts() {
    for (auto& count : displayedRun.run.entryCount) count = 0;
}

int filledStepCount(const RunRecord& run) {
    int s = 0;
    while (s < runRecordSteps && run.entryCount[s] > 0) ++s;
    return s;
}
