#include "display/reference_run.h"

#include <algorithm>
#include <cmath>

#include "base/colour_theme.h"
#include "base/unit_format.h"
#include "display/displayed_run.h"
#include "display/run_analysis.h"

namespace {

// A polarity is its collector supply's sign; a run without one (0 V) matches either.
int polarity(const RunSettings& settings) {
    return settings.peakVoltage < 0 ? -1 : (settings.peakVoltage > 0 ? 1 : 0);
}

std::string describedKind(const RunSettings& settings, DeviceKind kind) {
    if (kind != DeviceKind::Unknown) return deviceKindLabel(kind);
    std::string text = settings.driveMode == 'V' ? "voltage-driven" : "current-driven";
    if (polarity(settings) != 0) text += polarity(settings) > 0 ? " positive" : " negative";
    return text;
}

// Steps after the first empty one are left over from older runs.
void dropStepsAfterGap(RunRecord& record) {
    bool gap = false;
    for (auto& count : record.entryCount) {
        count = std::clamp<std::int64_t>(count, 0, runRecordEntries);
        gap = gap || count == 0;
        if (gap) count = 0;
    }
}

std::string percentText(double percent, int decimals) {
    return formatFixed(percent, decimals) + " %";
}

} // namespace

void resetReferenceDefaults() {
    referenceRun = ReferenceRun{};
}

bool referenceShown() {
    return referenceRun.record != nullptr;
}

void adoptReferenceRun(std::unique_ptr<RunRecord> record, const RunColumns& columns, const std::string& path,
                       DeviceKind kind) {
    ReferenceRun& r = referenceRun;
    r.record = std::move(record);
    dropStepsAfterGap(*r.record);
    r.columns = columns;
    r.path = path;
    r.settings = parseRunSettings(columns);
    r.kind = kind != DeviceKind::Unknown ? kind : inferDeviceKind(*r.record, r.settings);
    r.curves = runCurves(*r.record, r.settings);
    r.parameters = analyseRun(*r.record, r.settings, r.kind);
}

void setReferenceRun(const RunRecord& record, const RunColumns& columns, const std::string& path, DeviceKind kind) {
    adoptReferenceRun(std::make_unique<RunRecord>(record), columns, path, kind);
}

void clearReferenceRun() {
    referenceRun = ReferenceRun{};
}

platform::Rgb referenceStepColour(int step, bool grey) {
    const platform::Rgb background = colourTheme.plotAreaColour;
    const int level = platform::red(background) + platform::green(background) + platform::blue(background);
    if (grey) return level < 3 * 128 ? platform::rgb(100, 100, 100) : platform::rgb(150, 150, 150);
    const platform::Rgb c = colourTheme.stepColours[static_cast<std::size_t>(std::clamp(step, 0, runRecordSteps - 1))];
    const auto toward = [](int from, int to) { return from + (to - from) * 2 / 5; };
    return platform::rgb(toward(platform::red(c), platform::red(background)),
                         toward(platform::green(c), platform::green(background)),
                         toward(platform::blue(c), platform::blue(background)));
}

std::string referenceMismatch(const RunSettings& settings, DeviceKind kind, const RunSettings& otherSettings,
                              DeviceKind otherKind) {
    const bool kindsDiffer = kind != DeviceKind::Unknown && otherKind != DeviceKind::Unknown && kind != otherKind;
    const bool modesDiffer = settings.driveMode != otherSettings.driveMode;
    const bool polaritiesDiffer = polarity(settings) * polarity(otherSettings) < 0;
    if (!kindsDiffer && !modesDiffer && !polaritiesDiffer) return "";
    return "holds " + describedKind(settings, kind) + " curves, the graph shows " + describedKind(otherSettings, otherKind) +
           " curves";
}

ReferenceComparison referenceComparison(const RunRecord& run, const RunSettings& settings, DeviceKind kind) {
    ReferenceComparison c;
    const ReferenceRun& r = referenceRun;
    if (!referenceShown() || !settings.valid || !r.settings.valid) return c;
    c.mismatched = !referenceMismatch(r.settings, r.kind, settings, kind).empty();
    if (c.mismatched) return c;
    c.comparable = true;
    c.curves = compareRuns(runCurves(run, settings), r.curves);
    const char* key = mainParameterKey(kind);
    for (const ParameterRow& row : parameterRows(r.parameters))
        if (row.step < 0 && row.key == key) c.parameterName = row.name;
    if (c.parameterName.empty()) return c;
    const ParameterValue value = runParameterByKey(analyseRun(run, settings, kind), key);
    c.parameterDifference = percentDifference(value, runParameterByKey(r.parameters, key));
    return c;
}

std::string referenceRmsText(const ReferenceComparison& c) {
    if (!c.curves.available) return "rms -";
    const ParameterValue rms{true, c.curves.rms, "A"};
    return "rms " + formatParameter(rms) + " (" + percentText(c.curves.rmsPercent(), 2) + ")";
}

std::string referenceOffsetRemovedText(const ReferenceComparison& c) {
    if (!c.curves.available) return "offs-rem -";
    const ParameterValue rms{true, c.curves.rmsOffsetRemoved, "A"};
    return "offs-rem " + formatParameter(rms) + " (" + percentText(c.curves.rmsOffsetRemovedPercent(), 2) + ")";
}

std::string referenceParameterText(const ReferenceComparison& c) {
    const std::string& name = c.parameterName;
    if (name.empty()) return "";
    if (!c.parameterDifference.available) return name + " -";
    const double d = c.parameterDifference.value;
    return name + " " + (d > 0 ? "+" : "") + percentText(d, 1);
}
