#include "display/menu_check_marks.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

#include "base/gui_numbers.h"
#include "base/system_settings.h"
#include "sweep/sweep_parameters.h"
#include "platform/platform.h"

namespace {

using gui::mainWindow;

// The setting value each group was last set from; empty until the first refresh.
struct LastMarked {
    std::optional<std::string> autoSave, defaultSetup, hvAutoOff, alternateColours, referenceGrey;
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
    if (!platform::menuItemExists(mainWindow, gui::menuAutoSave)) return;
    const SystemSettings& s = systemSettings;
    using S = std::string;
    markOnOff<S>(lastMarked.autoSave, s.autoSave, "Yes", "No", gui::menuAutoSave);
    markOnOff<S>(lastMarked.defaultSetup, s.defaultTestSetupOnStart, "Yes", "No", gui::menuDefaultSetupOnStart);
    markOnOff<S>(lastMarked.hvAutoOff, s.hvAutoOff, "On", "Off", gui::menuHvAutoOff);
    markOnOff<std::int64_t>(lastMarked.clamp, sweepParameters.baseClampInCurrentMode, 1, 0, gui::menuBaseClamp);
    markOnOff<std::int64_t>(lastMarked.step0, sweepParameters.step0Enabled, 1, 0, gui::menuStep0Enabled);
    markOnOff<S>(lastMarked.alternateColours, s.alternateDisplayColours, "Yes", "No", gui::menuAlternateColours);
    markOnOff<S>(lastMarked.referenceGrey, s.referenceGrey, "Yes", "No", gui::menuReferenceGrey);
    markGroup<S>(lastMarked.graticuleMode, s.graticuleMode, {{"Both", gui::menuGraticuleBoth}, {"Major", gui::menuGraticuleMajor}, {"Off", gui::menuGraticuleOff}});
    markGroup<S>(lastMarked.graticuleColour, s.graticuleColour, {{"White", gui::menuGraticuleWhite}, {"LightGreen", gui::menuGraticuleLightGreen}, {"DarkGreen", gui::menuGraticuleDarkGreen}});
    markGroup<S>(lastMarked.background, s.backgroundColour, {{"White", gui::menuBackgroundWhite}, {"DarkGrey", gui::menuBackgroundDarkGrey}, {"Black", gui::menuBackgroundBlack}});
    markGroup<S>(lastMarked.keyDirection, s.keyDirection, {{"Rising", gui::menuKeyRising}, {"Falling", gui::menuKeyFalling}});
    markGroup<S>(lastMarked.liveReadings, s.liveReadings, {{"Smoothed", gui::menuLiveSmoothed}, {"Realtime", gui::menuLiveRealtime}, {"Raw", gui::menuLiveRaw}});
    markGroup<std::int64_t>(lastMarked.sampleRate, sweepParameters.sampleRate,
                            {{10, gui::menuSampleRateFirst},
                             {20, gui::menuSampleRateFirst + 1},
                             {30, gui::menuSampleRateFirst + 2},
                             {40, gui::menuSampleRateFirst + 3},
                             {50, gui::menuSampleRateFirst + 4},
                             {60, gui::menuSampleRateFirst + 5},
                             {80, gui::menuSampleRateFirst + 6},
                             {100, gui::menuSampleRateLast}},
                            true);
    markOnOff(lastMarked.updateCheck, systemSettings.updateCheckEnabled, 1, 0, gui::menuDailyUpdateCheck);
}
