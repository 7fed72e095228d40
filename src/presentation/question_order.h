#pragma once
// How the presentation picks the question that follows the one just answered.

#include <cstdint>
#include <random>

namespace presentation {

// Random order: the range start plus a uniform draw r with 0 <= r < count,
// so the same question may come twice in a row. A range whose count is below
// 1 (start after end) has nothing to draw from: the range start is taken.
// The sum wraps in 32 bits like every other number of the cycle.
int32_t randomQuestion(int32_t rangeStart, int32_t rangeCount, std::mt19937& random);

// Sequential order: the number after the current one. The caller goes back to
// the range start when the range end lies below it.
int32_t followingQuestion(int32_t current);

// The seed of a presentation: milliseconds elapsed in the current day of
// Coordinated Universal Time.
uint32_t millisecondsOfUtcDay();

} // namespace presentation
