#pragma once
// The arithmetic of the timing measurement: tick lengths, answer span,
// question period and frequency computed from elapsed milliseconds and tick
// counts, and the texts the measurement fields show. Real values are 80-bit
// extended (long double on x86-64), as the figures are designed for.

#include <QString>
#include <cstdint>

namespace presentation {

// A real value as the measurement fields show it: general format with up to
// 15 significant digits, correctly rounded from the long double, trailing
// zeros and a trailing "." dropped, "." as the decimal separator whatever the
// process locale. With d.ddd x 10^X the 15-digit value, plain decimal is used
// for -5 < X < 15 (so whole numbers up to 999999999999999 and fractions down
// to 0.0001 read plainly) and the exponent form otherwise, with a capital E,
// an explicit sign and no leading zeros: "1E+20", "1.5E-7", "1E-5".
// Negative zero reads "0"; infinities and NaN read "INF", "-INF" and "NAN".
QString formatGeneral(long double value);

// Truncation toward zero to a whole number (not rounding).
long double cutToWhole(long double value);

// Difference of two readings of the 32-bit millisecond counter, taken with
// 32-bit wrap-around so that it stays right when the counter passes 2^31 or
// 2^32. Readings are kept as signed 32-bit values (the counter's bits).
int32_t wrapDiff(int32_t later, int32_t earlier);

// a × b in 32-bit wrap-around arithmetic: the nominal elapsed time (timer
// interval times ticks), kept like every other millisecond value.
int32_t wrapProduct(int32_t a, int32_t b);

// value + 1 in 32-bit wrap-around arithmetic: the tick counts pass from
// the largest value to the smallest instead of overflowing.
int32_t wrapIncrement(int32_t value);

// Figures averaged over every tick since the restart.
struct AverageFigures {
    QString tickMs;        // average tick length a = E / n, ms
    QString answerSeconds; // cut(s * a) * 0.001, s
    QString periodSeconds; // cut(p * a) * 0.001, s
    QString frequencyHz;   // cut((1 / (cut(p * a) * 0.001)) * 10) * 0.1, Hz
    bool frequencyValid;   // false when cut(p * a) is 0 ms: no frequency, the
                           // frequency field keeps its text; frequencyHz is empty
};

// elapsedMs E since the restart over ticks n (n != 0: the measurement skips
// these figures when no tick has been counted), answer span s and question
// period p in ticks. Every operation is done in long double in the order the
// comments above give; the constants 0.001 and 0.1 are long double.
AverageFigures averageFigures(int32_t elapsedMs, int32_t ticks, int span, int period);

// Figures of the last question cycle alone.
struct LastCycleFigures {
    QString tickMs;        // tick length b = L / m, ms
    QString answerSeconds; // cut(s * b) * 0.001, s
    QString cycleSeconds;  // L * 0.001, s
};

// lapMs L since the previous answer flash over lapTicks m (m != 0: the
// measurement skips these figures when no tick has been counted), answer
// span s in ticks.
LastCycleFigures lastCycleFigures(int32_t lapMs, int32_t lapTicks, int span);

} // namespace presentation
