// Clickable rectangles of the cursor panel, in the main window's client coordinates. The panel
// registers them each time it is drawn; the main loop tests presses against them.
#pragma once

#include <array>
#include <cstdint>

constexpr int hotRegionCount = 10001;
constexpr int firstHotRegion = 525;
constexpr int lastHotRegion = 549;
// The key rows, one region per step (600 + step): a click chooses the step of the PARAMETERS box.
constexpr int firstKeyStepRegion = 600;
constexpr int lastKeyStepRegion = 624;

// The regions that act when pressed; the others of 525..549 take part in the hit test only.
enum HotRegion : int {
    regionStepMultiplierTenth = 526,
    regionStepMultiplierOne = 527,
    regionStepMultiplierTen = 528,
    regionCursorSync = 529,
    regionCursorSlope = 530,
    regionZeroA = 531,
    regionZeroB = 532,
    regionXaDown = 534,
    regionXaUp = 535,
    regionYaUp = 538,
    regionYaDown = 539,
    regionXbDown = 542,
    regionXbUp = 543,
    regionYbUp = 546,
    regionYbDown = 547,
};

struct HotRegions {
    // Bounds are inclusive; a region never registered is the point (0, 0).
    std::array<std::int64_t, hotRegionCount> hotRegionLeft{};
    std::array<std::int64_t, hotRegionCount> hotRegionRight{};
    std::array<std::int64_t, hotRegionCount> hotRegionTop{};
    std::array<std::int64_t, hotRegionCount> hotRegionBottom{};
};

inline HotRegions hotRegions;

// A key-step region that no row shows answers no point, not the point (0, 0).
inline void clearKeyStepRegions() {
    for (int r = firstKeyStepRegion; r <= lastKeyStepRegion; ++r) {
        hotRegions.hotRegionLeft[static_cast<std::size_t>(r)] = 1;
        hotRegions.hotRegionRight[static_cast<std::size_t>(r)] = 0;
    }
}

inline void resetHotRegionDefaults() {
    hotRegions = HotRegions{};
    clearKeyStepRegions();
}
