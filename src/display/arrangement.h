#pragma once
// Tops of the answer memo (challenge page) and of the answer label
// (screen-side page) in the two arrangements of answer and question. The
// question memo stays at the overlay top for the whole run.

namespace display {

inline constexpr int kSeparateAnswerTop = 276;
inline constexpr int kOverlayAnswerTop = 168;
inline constexpr int kSeparateLabelTop = 32;
inline constexpr int kOverlayLabelTop = 0;

} // namespace display
