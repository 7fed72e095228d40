#pragma once
// The beep as the sound server plays it: a short tone burst (the click), how
// clicks are mixed into a block of the playback stream, and where each
// flash's click goes.

#include "platform/stream_clock.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platform::click {

// The click at the given sample rate: a 1.5 kHz tone 8 ms long, faded in
// over its first 1.5 ms and out over its last 3 ms (raised cosine), so it
// starts and ends at zero without a pop. Peak 0.4 of full scale.
std::vector<float> makeClick(uint32_t sampleRate);

// Fills `block`, the stream frames firstFrame, firstFrame + 1, …, with
// silence plus every click whose first frame is in `starts` (ascending), as
// far as each overlaps the block. A click cut by a block boundary goes on in
// the next block.
void mixBlock(std::span<float> block, int64_t firstFrame, std::span<const int64_t> starts,
              std::span<const float> click);

// Where each flash's click begins in the stream: at the frame heard
// `delayNs` after the flash. A click never comes closer to the one before it
// than their flashes are to each other, and never before `earliest` (the
// first frame still to be written). When either rule puts it later than its
// frame, it goes that much later if that is at most `toleranceNs`; beyond
// that it is not played at all, since a click out of time breaks the rhythm
// the user follows, where a missing one does not.
class ClickPlacer {
public:
    ClickPlacer(int64_t delayNs, int64_t toleranceNs) : delayNs_(delayNs), toleranceNs_(toleranceNs) {}

    // The click's first frame, or nothing: it is dropped. `clockStart`
    // counts the clock's new starts (ClockFollower::starts()): clicks placed
    // on an earlier start are no measure for this one, whose frames may be
    // counted anew.
    std::optional<int64_t> place(const StreamClock& clock, uint64_t clockStart, int64_t flashNs, int64_t earliest);

private:
    int64_t delayNs_;
    int64_t toleranceNs_;
    bool placedAny_ = false;
    uint64_t clockStart_ = 0;
    int64_t lastFlashNs_ = 0;
    int64_t lastStart_ = 0;
};

} // namespace platform::click
