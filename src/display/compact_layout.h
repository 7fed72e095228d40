#pragma once
// Sizes of the compact always-on-top strip of the screen-side page, from the
// question memo's font size M and the answer label's font size L (points).
// Both use the quantity L * 30 / 18; the answer label's top scales it by
// 60 / M, so the smaller the question font, the lower the answer label.
// Evaluated in 80-bit extended floating point (long double on x86-64) step by
// step, with k the extended value nearest to 1/18 (a little below 1/18) as a
// multiplier; this is why some whole quotients come out one below
// (M = 21, L = 21 gives 99, not 100).

namespace display {

// Top of the answer label: ((60 / M) * 30) * L * k, evaluated strictly left to
// right, truncated toward zero. M below 1 is taken as 1 (a font dialog or
// preset never gives less; this keeps the division defined). The result is
// clamped to the int range.
int compactAnswerTop(int M, int L);

// Height of the label band: (L * 30) * k, with L * 30 an exact integer
// product, truncated toward zero; equals floor(5 * L / 3) for L = 1 ... 199.
// The result is clamped to the int range.
int compactLabelHeight(int L);

} // namespace display
