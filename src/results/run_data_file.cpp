#include "results/run_data_file.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "base/unit_format.h"
#include "sweep/instrument_values.h"
#include "sweep/sweep_parameters.h"

namespace {

constexpr const char* notesPlaceholder = "Note1...";
// The sixteen parameter columns stay empty after the first data line.
constexpr const char* emptyParameterFields = ",,,,,,,,,,,,,,,,";

// A magnitude written with the sign its polarity gives; a negative magnitude (only from a hand-edited
// test setup) is negated instead of gaining a second minus.
std::string signedMagnitude(double magnitude, bool negative) {
    if (!negative) return formatTrimmed(magnitude);
    if (magnitude < 0) return formatTrimmed(-magnitude);
    return "-" + formatTrimmed(magnitude);
}

std::string pulseField(const std::string& mode, std::int64_t widthUs) {
    if (mode == "Pulsed") return std::to_string(widthUs);
    if (mode == "Continuous") return "0";
    return "";
}

std::int64_t storedEntries(const RunRecord& record, int step) {
    return std::clamp<std::int64_t>(record.entryCount[step], 0, runRecordEntries);
}

void appendSample(std::string& out, const RunRecord& r, int s, std::int64_t e) {
    const auto i = static_cast<std::size_t>(e);
    for (const double value : {r.VR[s][i], r.VB[s][i], r.VC[s][i], r.IR[s][i], r.IB[s][i], r.IC[s][i], r.TIB[s][i],
                               r.TVB[s][i]}) {
        out += ',';
        out += formatTrimmed(value);
    }
}

} // namespace

std::array<std::string, 16> runParameterFields() {
    const SweepParameters& p = sweepParameters;
    const auto resistor = static_cast<std::size_t>(p.collectorResistor);
    return {
        instrumentValues.stepModeLetter,
        signedMagnitude(p.collectorPeakVoltage, p.collectorPolarity != "Positive"),
        resistor < collectorResistors.size() ? collectorResistors[resistor].dataFileText : "",
        signedMagnitude(p.collectorPeakCurrent, p.collectorPolarity == "Negative"),
        signedMagnitude(p.currentStepSize, p.stepPolarity != "Positive"),
        formatTrimmed(p.currentOffset),
        signedMagnitude(p.voltageStepSize, p.stepPolarity != "Positive"),
        formatTrimmed(p.voltageOffset),
        std::to_string(p.stepCount),
        pulseField(p.collectorPulseMode, p.pulseWidthUs),
        pulseField(p.baseGatePulseMode, p.pulseWidthUs),
        std::to_string(p.sampleRate),
        p.clampMode,
        std::to_string(p.graphType),
        notesPlaceholder,
        notesPlaceholder,
    };
}

std::string runDataFileText(const RunRecord& record) {
    std::size_t lines = 1;
    for (int s = 0; s < runRecordSteps; ++s) lines += static_cast<std::size_t>(storedEntries(record, s)) + 1;
    std::string out;
    out.reserve(lines * 96);
    out += runDataFileHeader;
    out += "\r\n";
    for (int s = 0; s < runRecordSteps; ++s) {
        const std::int64_t count = storedEntries(record, s);
        const std::string lead = std::to_string(s) + ",";
        const std::string countText = "," + std::to_string(count);
        for (std::int64_t e = 0; e <= count; ++e) {
            out += lead;
            out += std::to_string(e);
            out += countText;
            appendSample(out, record, s, e);
            if (s == 0 && e == 0) {
                for (const auto& field : runParameterFields()) {
                    out += ',';
                    out += field;
                }
            } else {
                out += emptyParameterFields;
            }
            out += "\r\n";
        }
    }
    return out;
}

FileWriteOutcome writeRunDataFile(const std::string& path) {
    return replaceFile(path, runDataFileText(runRecord));
}
