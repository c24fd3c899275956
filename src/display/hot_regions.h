// Clickable rectangles of the cursor panel, in the main window's client coordinates. The panel
// registers them each time it is drawn; the main loop tests presses against them.
#pragma once

#include <array>
#include <cstdint>

constexpr int hotRegionCount = 10001;
constexpr int firstHotRegion = 525;
constexpr int lastHotRegion = 549;

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

inline void resetHotRegionDefaults() {
    hotRegions = HotRegions{};
}
