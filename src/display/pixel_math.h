// Turning computed positions into pixel coordinates.
#pragma once

#include <cmath>

// Far outside any image, far inside int: a position beyond it is clipped all the same.
constexpr double pixelLimit = 16777216.0;

// v taken to the nearest integer, halves away from zero; saturated at +-pixelLimit, NaN gives 0.
inline int nearestPixel(double v) {
    if (std::isnan(v)) return 0;
    if (v > pixelLimit) v = pixelLimit;
    if (v < -pixelLimit) v = -pixelLimit;
    return static_cast<int>(std::lround(v));
}
