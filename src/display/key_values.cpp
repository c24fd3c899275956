#include "display/key_values.h"

#include <algorithm>

#include "base/system_settings.h"
#include "base/unit_format.h"
#include "display/cursor_actions.h"
#include "display/graph_axes.h"
#include "display/graph_mode.h"
#include "display/graph_sources.h"
#include "display/panel_texts.h"

namespace {

enum class ChannelKind { Voltage, Current, Ratio, None };

ChannelKind kindOf(std::int64_t channel) {
    switch (channel) {
    case channelVR:
    case channelVB:
    case channelVC:
    case channelTVB: return ChannelKind::Voltage;
    case channelIR:
    case channelIB:
    case channelIC:
    case channelTIB: return ChannelKind::Current;
    case channelHFE: return ChannelKind::Ratio;
    default: return ChannelKind::None;
    }
}

std::string withoutBlank(std::string text) {
    const auto blank = text.find(' ');
    if (blank != std::string::npos) text.erase(blank, 1);
    return text;
}

struct KeyTexts {
    std::string atA, atB, difference;
};

KeyTexts keyTexts(double a, double b) {
    const AxisScale& y = graphAxes.yScale;
    switch (kindOf(graphMode.yChannel)) {
    case ChannelKind::Voltage:
        return {formatReadout(a, y, "V", 3), formatReadout(b, y, "V", 3), formatReadout(a - b, y, "V", 3)};
    case ChannelKind::Current:
        return {formatReadout(a, y, "A", 3), formatReadout(b, y, "A", 3), withoutBlank(formatReadout(a - b, y, "A", 3))};
    case ChannelKind::Ratio: return {formatFixed(a, 1), formatFixed(b, 1), formatFixed(a - b, 1)};
    case ChannelKind::None: break;
    }
    return {};
}

const char* const keyHeadings[5] = {"Step", "Base/Gate", "Cursor XA", "Cursor XB", "Difference"};

} // namespace

double valueAtCursor(const RunRecord& run, int step, double cursorX) {
    const ChannelReader xs = channelReader(run, graphMode.xChannel, step);
    const ChannelReader ys = channelReader(run, graphMode.yChannel, step);
    const int n = static_cast<int>(std::clamp<std::int64_t>(run.entryCount[step], 0, runRecordEntries));
    const bool upwards = xs[0] < cursorX;
    double previous = 0.0;
    for (int k = 0; k <= n; ++k) {
        const double x = xs[k];
        // Entry 0 decides the direction, so it never matches.
        if (k > 0 && (upwards ? x >= cursorX : x < cursorX)) {
            const double h = x == previous ? 1.0 : (cursorX - previous) / (x - previous);
            return ys[k - 1] + h * (ys[k] - ys[k - 1]);
        }
        previous = x;
    }
    return 0.0;
}

void computeKeyValues() {
    KeyValues& k = keyValues;
    const RunRecord& run = sampleRunForGraph();
    for (int s = 0; s < runRecordSteps; ++s) {
        const auto i = static_cast<std::size_t>(s);
        k.keyAtXA[i].clear();
        k.keyAtXB[i].clear();
        k.keyDifference[i].clear();
        if (run.entryCount[s] == 0) continue;
        KeyTexts texts = keyTexts(valueAtCursor(run, s, cursors.cursorXA), valueAtCursor(run, s, cursors.cursorXB));
        k.keyAtXA[i] = std::move(texts.atA);
        k.keyAtXB[i] = std::move(texts.atB);
        k.keyDifference[i] = std::move(texts.difference);
    }
}

void buildKeyTable() {
    auto& table = keyValues.keyTable;
    for (int c = 0; c < 5; ++c) table[static_cast<std::size_t>(c)][0] = keyHeadings[c];
    for (int c = 0; c <= 6; ++c)
        for (int r = 1; r <= runRecordSteps; ++r) table[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)].clear();

    const auto& labels = panelTexts.stepLabels;
    int n = 0;
    while (n + 1 < runRecordSteps && !labels[static_cast<std::size_t>(n)].empty() &&
           !labels[static_cast<std::size_t>(n + 1)].empty())
        ++n;

    const bool rising = systemSettings.keyDirection == "Rising";
    for (int r = 1; r <= n + 1; ++r) {
        const int s = rising ? r - 1 : n - (r - 1);
        const auto row = static_cast<std::size_t>(r);
        const auto i = static_cast<std::size_t>(s);
        table[0][row] = std::to_string(s);
        table[1][row] = labels[i];
        table[2][row] = keyValues.keyAtXA[i];
        table[3][row] = keyValues.keyAtXB[i];
        table[4][row] = keyValues.keyDifference[i];
    }
}
