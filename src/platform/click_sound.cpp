#include "platform/click_sound.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform::click {

namespace {

constexpr double kToneHz = 1500;
constexpr double kLengthS = 0.008;
constexpr double kAttackS = 0.0015;
constexpr double kReleaseS = 0.003;
constexpr double kPeak = 0.4;
constexpr int64_t kNsPerS = 1000000000;

// Rises from 0 to 1 along half a cosine as `part` goes from 0 to 1.
double raisedCosine(double part)
{
    return 0.5 - 0.5 * std::cos(std::numbers::pi * part);
}

} // namespace

std::vector<float> makeClick(uint32_t sampleRate)
{
    const double rate = sampleRate;
    const auto length = static_cast<size_t>(std::lround(kLengthS * rate));
    const double attack = kAttackS * rate;
    const double release = kReleaseS * rate;
    std::vector<float> click(length);
    for (size_t i = 0; i < length; ++i) {
        const double fromEnd = double(length - i);
        double envelope = 1.0;
        if (i < attack)
            envelope = raisedCosine(i / attack);
        else if (fromEnd < release)
            envelope = raisedCosine(fromEnd / release);
        click[i] = float(kPeak * envelope * std::sin(2 * std::numbers::pi * kToneHz * i / rate));
    }
    return click;
}

void mixBlock(std::span<float> block, int64_t firstFrame, std::span<const int64_t> starts,
              std::span<const float> click)
{
    std::fill(block.begin(), block.end(), 0.0f);
    const int64_t endFrame = firstFrame + int64_t(block.size());
    for (const int64_t start : starts) {
        const int64_t from = std::max(start, firstFrame);
        const int64_t to = std::min(start + int64_t(click.size()), endFrame);
        for (int64_t frame = from; frame < to; ++frame)
            block[size_t(frame - firstFrame)] += click[size_t(frame - start)];
    }
}

std::optional<int64_t> ClickPlacer::place(const StreamClock& clock, uint64_t clockStart, int64_t flashNs, int64_t earliest)
{
    const int64_t onTime = clock.frameAt(flashNs + delayNs_);
    int64_t start = std::max(onTime, earliest);
    if (placedAny_ && clockStart == clockStart_)
        start = std::max(start, lastStart_ + int64_t(std::floor(double(flashNs - lastFlashNs_) / kNsPerS * clock.framesPerSecond)));
    if (double(start - onTime) > double(toleranceNs_) / kNsPerS * clock.framesPerSecond)
        return std::nullopt;
    placedAny_ = true;
    clockStart_ = clockStart;
    lastFlashNs_ = flashNs;
    lastStart_ = start;
    return start;
}

} // namespace platform::click
