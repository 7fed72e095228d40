#include "platform/stream_clock.h"

#include <algorithm>
#include <cmath>

namespace platform {

double StreamClock::exactFrameAt(int64_t ns) const
{
    // Multiplied first: whole seconds at a whole rate stay exact.
    return anchorFrame + double(ns - anchorNs) * framesPerSecond / 1e9;
}

int64_t StreamClock::frameAt(int64_t ns) const
{
    return int64_t(std::floor(exactFrameAt(ns)));
}

void ClockFollower::restart(uint32_t nominalRate)
{
    nominalRate_ = nominalRate;
    known_ = false;
    clock_ = StreamClock{0, 0, double(nominalRate)};
    fittedRate_ = nominalRate;
    anchor(0, 0, nominalRate);
    known_ = false;
}

// A new start from one report, at `rate`.
void ClockFollower::anchor(int64_t ns, double frame, double rate)
{
    known_ = true;
    ++starts_;
    gaps_.clear();
    reports_.clear();
    reports_.push_back({ns, frame});
    clock_ = StreamClock{ns, frame, rate};
}

// Least squares over the kept reports: the rate, and the frame the line
// puts at the latest report. At the rate measured before until the reports
// span kFitFromNs; never more than 1 % off nominal (reports that make it so
// are nonsense).
void ClockFollower::fit(double& rate, double& frameAtLatest) const
{
    const Report& latest = reports_.back();
    double meanT = 0, meanF = 0;
    for (const Report& r : reports_) {
        meanT += double(r.ns - latest.ns) / 1e9;
        meanF += r.frame - latest.frame;
    }
    meanT /= double(reports_.size());
    meanF /= double(reports_.size());
    rate = fittedRate_;
    frameAtLatest = latest.frame + meanF - rate * meanT;
    if (latest.ns - reports_.front().ns < kFitFromNs)
        return;
    double tt = 0, tf = 0;
    for (const Report& r : reports_) {
        const double t = double(r.ns - latest.ns) / 1e9 - meanT;
        tt += t * t;
        tf += t * (r.frame - latest.frame - meanF);
    }
    const double slope = tf / tt;
    if (!(std::fabs(slope - nominalRate_) <= 0.01 * nominalRate_))
        return;
    rate = slope;
    frameAtLatest = latest.frame + meanF - slope * meanT;
}

void ClockFollower::observe(int64_t ns, double frame)
{
    if (!known_) {
        anchor(ns, frame, nominalRate_);
        return;
    }
    const double gap = frame - clock_.exactFrameAt(ns);
    gaps_.push_back(gap);
    if (gaps_.size() > size_t(kStepReports))
        gaps_.pop_front();
    const double stepFrames = kStepS * nominalRate_;
    const auto [least, most] = std::minmax_element(gaps_.begin(), gaps_.end());
    if (gaps_.size() == size_t(kStepReports) && (*least > stepFrames || *most < -stepFrames)
        && *most - *least <= stepFrames) {
        double meanGap = 0;
        for (const double g : gaps_)
            meanGap += g / kStepReports;
        anchor(ns, clock_.exactFrameAt(ns) + meanGap, fittedRate_);
        return;
    }
    if (std::fabs(gap) > kStrayS * nominalRate_)
        return;
    reports_.push_back({ns, frame});
    while (reports_.front().ns < ns - kWindowNs)
        reports_.pop_front();
    double frameNow = 0;
    fit(fittedRate_, frameNow);
    // Continuous at this moment; from here at the estimated rate, plus what
    // closes the gap to the line in kSettleS, within kMaxSteer.
    const double here = clock_.exactFrameAt(ns);
    const double steer = std::clamp((frameNow - here) / kSettleS, -kMaxSteer * fittedRate_, kMaxSteer * fittedRate_);
    clock_ = StreamClock{ns, here, fittedRate_ + steer};
}

} // namespace platform
