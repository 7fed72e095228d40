#include "presentation/rhythm.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace presentation {

int alignedQuestionPeriod(int q, int s)
{
    if (s <= 0)
        return q;
    // 10 * q and the final product can leave the int range; 64 bits hold both.
    const int64_t t = (5 * int64_t{s} + 10 * int64_t{q}) / s;
    const int64_t a = (t / 10) * s;
    return static_cast<int>(std::clamp<int64_t>(a, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

int tickIntervalStep(int valueBeforeStep)
{
    struct Rung {
        int upTo;
        int step;
    };
    static constexpr Rung ladder[] = {
        {10, 1}, {20, 2}, {50, 5}, {300, 10}, {550, 25}, {1100, 50},
    };
    for (const Rung& rung : ladder) {
        if (valueBeforeStep <= rung.upTo)
            return rung.step;
    }
    return 100;
}

} // namespace presentation
