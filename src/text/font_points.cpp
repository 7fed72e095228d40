#include "text/font_points.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace display {

namespace {

constexpr int kStandardDpi = 96;
constexpr int64_t kPointsPerInch = 72;

int usableDpi(int dpi)
{
    return dpi < 1 ? kStandardDpi : dpi;
}

// value * multiplier / divisor rounded to nearest, halves away from zero;
// divisor > 0. 64-bit products of two ints cannot overflow.
int scaleRounded(int64_t value, int64_t multiplier, int64_t divisor)
{
    const int64_t product = value * multiplier;
    const int64_t magnitude = product < 0 ? -product : product;
    const int64_t rounded = (2 * magnitude + divisor) / (2 * divisor);
    const int64_t result = product < 0 ? -rounded : rounded;
    return static_cast<int>(std::clamp<int64_t>(result, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

} // namespace

int pointsFromPixels(int pixelHeight, int dpi)
{
    return scaleRounded(pixelHeight, kPointsPerInch, usableDpi(dpi));
}

int pixelsFromPoints(int points, int dpi)
{
    return scaleRounded(points, usableDpi(dpi), kPointsPerInch);
}

} // namespace display
