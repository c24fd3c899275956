// The reference run drawn behind the displayed family and compared with it: kept in memory from the
// moment it is set, so a file deleted or changed later takes nothing away.
#pragma once

#include <memory>
#include <string>

#include "analysis/analysis.h"
#include "analysis/compare.h"
#include "platform/platform.h"

struct ReferenceRun {
    std::unique_ptr<RunRecord> record; // null: no reference; on the heap only while one is set
    RunColumns columns;                // its recorded settings
    std::string path;                  // the file it came from; empty for a live run
    RunSettings settings;
    DeviceKind kind = DeviceKind::Unknown;
    RunCurves curves;                  // what the comparison reads
    RunParameters parameters;          // whole-run parameters in `kind`
};

inline ReferenceRun referenceRun;

void resetReferenceDefaults();
bool referenceShown();
// Takes a copy of `record` (steps up to the first empty one) with its settings, analysed as `kind`
// (Unknown: inferred).
void setReferenceRun(const RunRecord& record, const RunColumns& columns, const std::string& path,
                     DeviceKind kind = DeviceKind::Unknown);
// Takes over a record already on the heap.
void adoptReferenceRun(std::unique_ptr<RunRecord> record, const RunColumns& columns, const std::string& path,
                       DeviceKind kind = DeviceKind::Unknown);
void clearReferenceRun();

// Colour of a reference step: its step colour 40 % of the way to the plot area, or one grey.
platform::Rgb referenceStepColour(int step, bool grey);

// The reference against a run: the RMS distances of the two families and the main parameter's
// difference in percent. Nothing is available when the kinds or drive modes differ.
struct ReferenceComparison {
    bool comparable = false;  // same drive mode, polarity and kind
    bool mismatched = false;  // not comparable because the kinds, drive modes or polarities differ
    RunComparison curves;
    std::string parameterName; // "hFE", "Vth" ...; empty when the kind has none
    ParameterValue parameterDifference; // (run - reference) / |reference|, %
};
ReferenceComparison referenceComparison(const RunRecord& run, const RunSettings& settings, DeviceKind kind);
// Why a run cannot be compared with the reference ("" when it can): "holds PNP curves, the graph shows NPN curves".
std::string referenceMismatch(const RunSettings& settings, DeviceKind kind, const RunSettings& otherSettings,
                              DeviceKind otherKind);

// "rms 45.21 uA (0.48 %)", "offs-rem 12.10 uA (0.13 %)", "hFE -3.2 %", "-" where not available; the
// parameter's text is empty when the kind has no main parameter.
std::string referenceRmsText(const ReferenceComparison& c);
std::string referenceOffsetRemovedText(const ReferenceComparison& c);
std::string referenceParameterText(const ReferenceComparison& c);
