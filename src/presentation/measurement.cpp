#include "presentation/measurement.h"

#include <charconv>
#include <cmath>

namespace presentation {

namespace {

constexpr long double kMilli = 0.001L;
constexpr long double kTenth = 0.1L;

// "1e+20" -> "1E+20", "1.5e-07" -> "1.5E-7": capital E, sign kept, leading
// zeros of the exponent dropped.
QString tidyExponent(QString text)
{
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    if (e < 0)
        return text;
    qsizetype digits = e + 2; // after the exponent's sign
    while (digits < text.size() - 1 && text.at(digits) == QLatin1Char('0'))
        text.remove(digits, 1);
    text[e] = QLatin1Char('E');
    return text;
}

} // namespace

QString formatGeneral(long double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        return QStringLiteral("0"); // also for negative zero

    // to_chars ignores the locale and rounds correctly; general format with a
    // precision already drops trailing zeros and a trailing point.
    char buffer[64];
    const std::to_chars_result result = std::to_chars(
        buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return tidyExponent(QString::fromLatin1(buffer, result.ptr - buffer));
}

long double cutToWhole(long double value)
{
    return std::trunc(value);
}

int32_t wrapDiff(int32_t later, int32_t earlier)
{
    return static_cast<int32_t>(static_cast<uint32_t>(later) - static_cast<uint32_t>(earlier));
}

AverageFigures averageFigures(int32_t elapsedMs, int32_t ticks, int span, int period)
{
    const long double a = static_cast<long double>(elapsedMs) / ticks;
    const long double answerMs = cutToWhole(span * a);
    const long double periodMs = cutToWhole(period * a);

    AverageFigures figures;
    figures.tickMs = formatGeneral(a);
    figures.answerSeconds = formatGeneral(answerMs * kMilli);
    const long double periodSeconds = periodMs * kMilli;
    figures.periodSeconds = formatGeneral(periodSeconds);
    // A period that cuts to 0 ms has no frequency; real ticks never give one.
    figures.frequencyValid = periodMs != 0;
    if (figures.frequencyValid) {
        const long double hertz = 1 / periodSeconds;
        const long double tenths = cutToWhole(hertz * 10);
        figures.frequencyHz = formatGeneral(tenths * kTenth);
    }
    return figures;
}

LastCycleFigures lastCycleFigures(int32_t lapMs, int32_t lapTicks, int span)
{
    const long double b = static_cast<long double>(lapMs) / lapTicks;
    LastCycleFigures figures;
    figures.tickMs = formatGeneral(b);
    figures.answerSeconds = formatGeneral(cutToWhole(span * b) * kMilli);
    figures.cycleSeconds = formatGeneral(lapMs * kMilli);
    return figures;
}

int32_t wrapProduct(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

int32_t wrapIncrement(int32_t value)
{
    return static_cast<int32_t>(static_cast<uint32_t>(value) + 1u);
}

} // namespace presentation
