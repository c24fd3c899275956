#include "display/menu_check_marks.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

#include "base/gui_numbers.h"
#include "base/system_settings.h"
#include "sweep/sweep_parameters.h"
#include "ui/platform/platform.h"

namespace {

using gui::mainWindow;

// The setting value each group was last set from; empty until the first refresh.
struct LastMarked {
    std::optional<std::string> autoSave, defaultSetup, hvAutoOff, alternateColours;
    std::optional<std::int64_t> clamp, step0, sampleRate;
    std::optional<int> updateCheck;
    std::optional<std::string> graticuleMode, graticuleColour, background, keyDirection, liveReadings;
};
LastMarked lastMarked;

template <typename Value>
using Choice = std::pair<Value, int>;

// Ticks the item whose value matches and clears the others; an unknown value leaves the group alone.
template <typename Value>
void markGroup(std::optional<Value>& last, const Value& current, std::initializer_list<Choice<Value>> choices,
               bool clearAllWhenUnknown = false) {
    if (last && *last == current) return;
    bool known = false;
    for (const auto& c : choices) known = known || c.first == current;
    if (!known && !clearAllWhenUnknown) return;
    for (const auto& c : choices) platform::setMenuItemChecked(mainWindow, c.second, c.first == current);
    last = current;
}

template <typename Value>
void markOnOff(std::optional<Value>& last, const Value& current, const Value& on, const Value& off, int item) {
    if ((last && *last == current) || (current != on && current != off)) return;
    platform::setMenuItemChecked(mainWindow, item, current == on);
    last = current;
}

} // namespace

void resetMenuCheckMarkDefaults() {
    lastMarked = LastMarked{};
}

void refreshMenuCheckMarks() {
    if (!platform::menuItemExists(mainWindow, 32)) return;
    const SystemSettings& s = systemSettings;
    using S = std::string;
    markOnOff<S>(lastMarked.autoSave, s.autoSave, "Yes", "No", 32);
    markOnOff<S>(lastMarked.defaultSetup, s.defaultTestSetupOnStart, "Yes", "No", 33);
    markOnOff<S>(lastMarked.hvAutoOff, s.hvAutoOff, "On", "Off", 229);
    markOnOff<std::int64_t>(lastMarked.clamp, sweepParameters.baseClampInCurrentMode, 1, 0, 248);
    markOnOff<std::int64_t>(lastMarked.step0, sweepParameters.step0Enabled, 1, 0, 249);
    markOnOff<S>(lastMarked.alternateColours, s.alternateDisplayColours, "Yes", "No", 261);
    markGroup<S>(lastMarked.graticuleMode, s.graticuleMode, {{"Both", 250}, {"Major", 251}, {"Off", 252}});
    markGroup<S>(lastMarked.graticuleColour, s.graticuleColour, {{"White", 253}, {"LightGreen", 254}, {"DarkGreen", 255}});
    markGroup<S>(lastMarked.background, s.backgroundColour, {{"White", 256}, {"DarkGrey", 257}, {"Black", 258}});
    markGroup<S>(lastMarked.keyDirection, s.keyDirection, {{"Rising", 259}, {"Falling", 260}});
    markGroup<S>(lastMarked.liveReadings, s.liveReadings, {{"Smoothed", 266}, {"Realtime", 267}, {"Raw", 268}});
    markGroup<std::int64_t>(lastMarked.sampleRate, sweepParameters.sampleRate,
                            {{10, 240}, {20, 241}, {30, 242}, {40, 243}, {50, 244}, {60, 245}, {80, 246}, {100, 247}},
                            true);
    markOnOff(lastMarked.updateCheck, systemSettings.updateCheckEnabled, 1, 0, 56);
}
