#pragma once
// The beep as the sound server plays it: a short tone burst (the click), how
// clicks are mixed into a block of the playback stream, and the clock that
// tells which frame of the stream is heard at a given moment.

#include <cstdint>
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

// Which frame of a playback stream is heard when: frame 0 at zeroNs on the
// monotonic clock, then `rate` frames a second.
struct StreamClock {
    int64_t zeroNs = 0;
    uint32_t rate = 0;

    // The frame heard at the monotonic time `ns` (rounded down).
    int64_t frameAt(int64_t ns) const;
};

// The first frame of a flash's click: the frame heard `latencyNs` after the
// flash, or `earliest` (the first frame a click can still be put in) when
// that one is before it; the click then comes late.
int64_t clickStart(const StreamClock& clock, int64_t flashNs, int64_t latencyNs, int64_t earliest);

} // namespace platform::click
