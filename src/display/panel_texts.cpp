#include "display/panel_texts.h"

#include <algorithm>
#include <cmath>

#include "base/settings_file.h"
#include "base/unit_format.h"
#include "display/displayed_run.h"

const std::array<const char*, 6> sweepSettingsLabels = {"Max. Voltage:",    "Collector Z:",     "Max. Current:",
                                                        "Collector Pulse:", "Base/Gate Pulse:", "Rate:"};

void clearStepLabels() {
    for (auto& label : panelTexts.stepLabels) label.clear();
}

void makeStepLabels() {
    clearStepLabels();
    const auto& h = displayedRun.header;
    double offset = 0.0, step = 0.0;
    std::string unit;
    if (h[12] == "I") {
        offset = parseSettingReal(h[17]);
        step = parseSettingReal(h[16]);
        unit = "A";
    } else if (h[12] == "V") {
        offset = parseSettingReal(h[19]);
        step = parseSettingReal(h[18]);
        unit = "V";
    } else {
        return;
    }
    // A recorded count beyond the key's slots labels only the slots there are.
    const std::int64_t q = std::min<std::int64_t>(parseSettingInteger(h[20]), runRecordSteps - 1);
    const double largest = std::max(std::fabs(offset + step * static_cast<double>(q)), std::fabs(offset));
    for (std::int64_t k = 0; k <= q; ++k)
        panelTexts.stepLabels[static_cast<std::size_t>(k)] = formatStepLevel(offset + step * static_cast<double>(k), largest, unit);
}

void makeSweepSettingsTexts() {
    const auto& h = displayedRun.header;
    auto& t = panelTexts.sweepSettings;
    t[0] = formatPeakVoltage(h[13]);
    t[1] = formatCollectorResistance(parseSettingInteger(h[14]));
    t[2] = formatPeakCurrent(parseSettingReal(h[15]));
    t[3] = formatPulseLength(parseSettingInteger(h[21]));
    t[4] = formatPulseLength(parseSettingInteger(h[22]));
    t[5] = formatSampleRate(parseSettingInteger(h[23]));
}
