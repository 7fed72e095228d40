#include "display/compact_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace display {

namespace {

// The extended value nearest to 1/18: the quotient is rounded to nearest once.
const long double kEighteenth = 1.0L / 18.0L;

int truncatedToInt(long double value)
{
    constexpr long double lowest = std::numeric_limits<int>::min();
    constexpr long double highest = std::numeric_limits<int>::max();
    if (std::isnan(value))
        return 0;
    return static_cast<int>(std::trunc(std::clamp(value, lowest, highest)));
}

} // namespace

// Each step is its own statement so that each intermediate result is rounded
// to long double before the next step; nothing may be reassociated (x87 has no
// fused multiply-add, and the build uses no fast-math).
int compactAnswerTop(int M, int L)
{
    const int divisor = std::max(M, 1);
    long double value = 60.0L / divisor;
    value = value * 30;
    value = value * L;
    value = value * kEighteenth;
    return truncatedToInt(value);
}

int compactLabelHeight(int L)
{
    const long double product = static_cast<long double>(int64_t{L} * 30);
    return truncatedToInt(product * kEighteenth);
}

} // namespace display
