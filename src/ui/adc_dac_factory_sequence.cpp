#include "ui/adc_dac_factory_sequence.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "base/elapsed_clock.h"
#include "base/unit_format.h"
#include "calibration/calibration_pacing.h"
#include "calibration/dmm_link.h"
#include "calibration/fixture_link.h"
#include "ui/adc_dac_window_layout.h"
#include "ui/calibration_window_parts.h"
#include "platform/platform.h"

namespace {

using namespace adcdac;

enum class StepKind {
    Press,        // press a button
    Fixture,      // choose a fixture state
    Measure,      // read the meter in a range
    CopyAndCal,   // copy the reading into a row's DMM field and press its "Cal."
};

struct SequenceStep {
    StepKind kind = StepKind::Press;
    int control = 0;
    int row = 0;
    std::string text; // fixture state or meter range
    int delayMs = 0;
    bool waits = false;
};

constexpr int lastInstruction = 93;

// Steps by instruction number; entry 0 is unused.
const std::vector<SequenceStep>& sequenceSteps() {
    static const std::vector<SequenceStep> steps = [] {
        std::vector<SequenceStep> s(lastInstruction + 1);
        auto press = [&](int n, int control, int delayMs, bool waits = false) {
            s[static_cast<std::size_t>(n)] = {StepKind::Press, control, 0, "", delayMs, waits};
        };
        auto fixture = [&](int n, const char* state, int delayMs) {
            s[static_cast<std::size_t>(n)] = {StepKind::Fixture, fixtureStateList, 0, state, delayMs, false};
        };
        press(1, defaultValuesButton, 500);
        fixture(2, "BG to V", 1000);
        fixture(21, "BG to I", 500);
        fixture(70, "BG&CE to V", 500);
        for (int r = 0; r < calibrationRowCount; ++r) {
            const CalibrationRow& row = calibrationRows()[static_cast<std::size_t>(r)];
            const int n = row.firstNumber;
            press(n, levelButton + r, row.kind == RowKind::Vc ? 15000 : 10000);
            s[static_cast<std::size_t>(n + 1)] = {StepKind::Measure, dmmMeasure, r, row.dmmRange, 2000, false};
            s[static_cast<std::size_t>(n + 2)] = {StepKind::CopyAndCal, calButton + r, r, "", 1000, false};
        }
        press(77, prepButton, 200, true);
        for (int k = 0; k < 4; ++k) {
            fixture(78 + 3 * k, fixtureStateNames()[static_cast<std::size_t>(3 + k)].c_str(), 1000);
            press(79 + 3 * k, icRunButton + 2 * k, 1000, true);
            press(80 + 3 * k, icRunButton + 2 * k + 1, 1000, true);
        }
        press(90, createButton, 1000, true);
        press(91, eraseButton, 1000, true);
        press(92, uploadButton, 1000, true);
        fixture(93, "All off", 1000);
        return s;
    }();
    return steps;
}

struct FactorySequence {
    bool running = false;
    int step = 0;
    int lastStep = 0;
    std::int64_t dueMs = 0;
    bool waiting = false;
    std::string countdownShown;
};

FactorySequence sequence;

int itemIndex(int list, const std::string& text) {
    for (int i = 0; i < platform::controlItemCount(list); ++i)
        if (platform::controlItemText(list, i) == text) return i;
    return -1;
}

void hideTicks(int firstControl, int count) {
    for (int i = 0; i < count; ++i) platform::showControl(firstControl + i, false);
}

// The ticks of the sections a sequence covers.
void hideSectionTicks(int firstStep, int lastStep) {
    const auto covers = [&](int from, int to) { return firstStep <= from && lastStep >= to; };
    if (covers(2, 20)) {
        hideTicks(levelTick, 6);
        hideTicks(calTick, 6);
    }
    if (covers(21, 69)) {
        hideTicks(levelTick + 6, 16);
        hideTicks(calTick + 6, 16);
    }
    if (covers(70, 76)) {
        hideTicks(levelTick + 22, 2);
        hideTicks(calTick + 22, 2);
    }
    if (covers(77, 89)) hideTicks(icRunTick, icRunCount);
    if (firstStep == 1 && lastStep == lastInstruction) {
        platform::showControl(createTick, false);
        platform::showControl(eraseTick, false);
        platform::showControl(uploadTick, false);
    }
}

void stop() {
    sequence.running = false;
    platform::setControlText(goButton, "Go!");
}

int perform(const SequenceStep& s) {
    const CalibrationRow& row = calibrationRows()[static_cast<std::size_t>(s.row)];
    switch (s.kind) {
    case StepKind::Press: break;
    case StepKind::Fixture: platform::setControlState(fixtureStateList, itemIndex(fixtureStateList, s.text)); break;
    case StepKind::Measure: platform::setControlState(dmmRangeList, itemIndex(dmmRangeList, s.text)); break;
    case StepKind::CopyAndCal:
        // A failed reading is never calibrated with: the sequence stops at its row.
        if (!dmmLink.readingValid) {
            stopFactorySequence(dmmFailureMessage());
            return 0;
        }
        platform::setControlText(coefficientField + row.dmmField,
                                 formatFixed(dmmLink.lastReading * row.dmmScale, row.dmmDecimals));
        break;
    }
    return s.control;
}

void showCountdown(std::int64_t now) {
    const std::string text = formatFixed(static_cast<double>(std::max<std::int64_t>(sequence.dueMs - now, 0)) / 1000.0, 2);
    if (text == sequence.countdownShown) return;
    sequence.countdownShown = text;
    platform::setControlText(countdownField, text);
}

} // namespace

void resetFactorySequence() {
    sequence = FactorySequence{};
}

void pressGo() {
    if (sequence.running) {
        stop();
        return;
    }
    if (!dmmConnected() || !fixtureConnected()) return;
    const int selected = std::max(platform::controlState(sequenceList), 0);
    const SequenceRange& range = sequences[selected < sequenceCount ? selected : 0];
    sequence = FactorySequence{};
    sequence.running = true;
    sequence.step = range.firstStep;
    sequence.lastStep = range.lastStep;
    sequence.dueMs = elapsedMilliseconds() + pacedMs(1000);
    platform::setControlText(goButton, "Stop!");
    hideSectionTicks(range.firstStep, range.lastStep);
}

int factorySequenceTick() {
    if (!sequence.running) return 0;
    const std::int64_t now = elapsedMilliseconds();
    showCountdown(now);
    if (now < sequence.dueMs || sequence.waiting) return 0;
    platform::setControlText(stepField, std::to_string(sequence.step));
    if (sequence.step > sequence.lastStep) {
        stop();
        return 0;
    }
    const SequenceStep& s = sequenceSteps()[static_cast<std::size_t>(sequence.step)];
    sequence.dueMs = now + pacedMs(s.delayMs);
    sequence.waiting = s.waits;
    sequence.step += 1;
    return perform(s);
}

std::int64_t factorySequenceDueMs() {
    return sequence.running ? nextPassMs() : notDueMs;
}

void factorySequenceActionDone() {
    sequence.waiting = false;
}

bool factorySequenceRunning() {
    return sequence.running;
}

void stopFactorySequence(const std::string& why) {
    stop();
    reportBenchFailure(why);
}

void haltFactorySequence() {
    stop();
}
