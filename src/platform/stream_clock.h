#pragma once
// Which frame of a playback stream is heard when, on the monotonic clock.
// The sound card's clock is not the system's: it runs a little fast or slow
// (a sound server may also run a stream on a timer of its own), and the
// server reports where the stream is only now and then. ClockFollower keeps
// a mapping from those reports that holds between them: the rate of the
// stream's clock against the monotonic one estimated over a window, and the
// mapping steered toward it so gently that a click never jumps.

#include <cstdint>
#include <deque>

namespace platform {

// Frame anchorFrame is heard at anchorNs, then framesPerSecond frames a
// second.
struct StreamClock {
    int64_t anchorNs = 0;
    double anchorFrame = 0;
    double framesPerSecond = 0;

    // The frame heard at the monotonic time `ns`, rounded down.
    int64_t frameAt(int64_t ns) const;
    // The same, with its fraction.
    double exactFrameAt(int64_t ns) const;
};

class ClockFollower {
public:
    explicit ClockFollower(uint32_t nominalRate = 0) { restart(nominalRate); }

    // Forgets everything: a new stream, or one whose frames were re-counted.
    void restart(uint32_t nominalRate);
    // A report from the server: `frame` was heard at the monotonic time `ns`.
    void observe(int64_t ns, double frame);

    // Nothing reported yet: the clock means nothing.
    bool known() const { return known_; }
    const StreamClock& clock() const { return clock_; }
    // The rate the reports show, frames per second of the monotonic clock.
    double measuredRate() const { return fittedRate_; }
    // Counts the new starts and steps: frames placed on the clock before one
    // are not comparable with those placed after.
    uint64_t starts() const { return starts_; }

    // Reports kept for the estimate: the latest this long.
    static constexpr int64_t kWindowNs = 8000000000;
    // The rate is estimated once they span this long.
    static constexpr int64_t kFitFromNs = 2000000000;
    // A gap between the mapping and the reports is closed over this long...
    static constexpr double kSettleS = 2.0;
    // ...the mapping's rate never more than this share off the estimate
    // (0.1 %: a tenth of a millisecond between clicks 100 ms apart).
    static constexpr double kMaxSteer = 0.001;
    // The latest kStepReports reports each off by more than kStepS, on the
    // same side and within kStepS of one another, show a step of the stream
    // itself (the server skipped a period of it after an underrun, or
    // re-counted its frames): taken at once, where they put it, at the rate
    // measured so far. A single report off, however far, is no step.
    static constexpr int kStepReports = 2;
    static constexpr double kStepS = 0.003;
    // A report this far off is left out of the estimate (but not out of the
    // average that shows a step).
    static constexpr double kStrayS = 0.010;

private:
    struct Report {
        int64_t ns;
        double frame;
    };
    void fit(double& rate, double& frameAtLatest) const;
    void anchor(int64_t ns, double frame, double rate);

    uint32_t nominalRate_ = 0;
    bool known_ = false;
    StreamClock clock_;
    double fittedRate_ = 0;
    uint64_t starts_ = 0;
    std::deque<Report> reports_;
    std::deque<double> gaps_; // of the latest reports from the mapping, in frames
};

} // namespace platform
