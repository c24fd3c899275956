// Clickable rectangles of the cursor panel, in the main window's client coordinates. The panel
// registers them each time it is drawn; the main loop tests presses against them.
#pragma once

#include <array>
#include <cstdint>

constexpr int hotRegionCount = 10001;
constexpr int firstHotRegion = 525;
constexpr int lastHotRegion = 549;

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
