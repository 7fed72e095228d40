#pragma once
// Rules of the presentation rhythm that need no controls: the question period
// aligned to the answer span, and the step size of the tick-interval up-down.

namespace presentation {

// The question period q aligned to the answer span s, in integer arithmetic
// with division truncating toward zero:
//     t = (5 * s + 10 * q) / s;   a = (t / 10) * s.
// For positive q and s this is the multiple of s nearest to q, a tie going to
// the larger multiple, and 0 when q < s / 2 (50, 6 -> 48; 50, 7 -> 49;
// 45, 10 -> 50).
// Defined for every int input: an answer span s <= 0 has no multiples to
// align to, so q is returned unchanged (this also avoids a division by zero);
// the arithmetic is done in 64 bits and the result clamped to the int range.
int alignedQuestionPeriod(int q, int s);

// The step size of the tick-interval up-down, chosen from its value before
// the step: 1-10 -> 1, 11-20 -> 2, 21-50 -> 5, 51-300 -> 10, 301-550 -> 25,
// 551-1100 -> 50, 1101-10000 -> 100. Values below 1 step by 1, values above
// 10000 by 100.
int tickIntervalStep(int valueBeforeStep);

} // namespace presentation
