#include "presentation/question_order.h"

#include <chrono>

namespace presentation {

int32_t randomQuestion(int32_t rangeStart, int32_t rangeCount, std::mt19937& random)
{
    if (rangeCount < 1)
        return rangeStart;
    std::uniform_int_distribution<int32_t> draw(0, rangeCount - 1);
    return static_cast<int32_t>(static_cast<uint32_t>(rangeStart) + static_cast<uint32_t>(draw(random)));
}

int32_t followingQuestion(int32_t current)
{
    return static_cast<int32_t>(static_cast<uint32_t>(current) + 1u);
}

uint32_t millisecondsOfUtcDay()
{
    // The system clock counts Unix time, whose days are whole UTC days.
    using namespace std::chrono;
    const auto sinceEpoch = duration_cast<milliseconds>(system_clock::now().time_since_epoch());
    return static_cast<uint32_t>(sinceEpoch.count() % (24 * 60 * 60 * 1000));
}

} // namespace presentation
