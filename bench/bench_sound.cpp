// The click of "音有" as the sound server plays it: a private PulseAudio
// daemon with a null sink, the α preset with the sound on, and a recording
// of the sink's monitor. Each answer flash is timed where it asks for the
// beep, the clicks are found in the recording, both on the monotonic clock.
// Prints the flashes, the clicks missing and extra, the click interval and
// the flash-to-click offset (mean and standard deviation), against the aims:
// no click missing or extra, both standard deviations at most 1 ms, the
// offset's mean within 20 ms. The click follows its flash, so the click
// interval is as even as the flashes are: on a busy machine the ticks, and
// with them the clicks, come unevenly; the click interval less the flash
// interval shows what the sound adds.
//
//   bench_sound [flashes] [--wav FILE]      (default 1000 flashes, ~100 s)
//
// --wav keeps the recording as a 32-bit float WAV file. Run it under a real
// X server (xvfb-run -a) to include painting; with no display at all it runs
// offscreen.

#include "app/Un_subri1.h"
#include "platform/PresentationTimer.h"
#include "platform/click_stream.h"
#include "platform/platform.h"
#include "support/soundlab.h"
#include "bench_platform.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QPushButton>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr double kAimDeviationMs = 1.0;
constexpr double kAimOffsetMs = 20.0;

struct Spread {
    double mean = 0, deviation = 0, min = 0, max = 0;
};

Spread spreadOf(const std::vector<double>& values)
{
    Spread s;
    if (values.empty())
        return s;
    s.min = s.max = values.front();
    for (double v : values) {
        s.mean += v;
        s.min = std::min(s.min, v);
        s.max = std::max(s.max, v);
    }
    s.mean /= values.size();
    for (double v : values)
        s.deviation += (v - s.mean) * (v - s.mean);
    s.deviation = std::sqrt(s.deviation / values.size());
    return s;
}

void waitFor(const std::function<bool()>& done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

const char* met(bool ok)
{
    return ok ? "met" : "MISSED";
}

} // namespace

int main(int argc, char** argv)
{
    chooseBenchPlatform();
    QApplication app(argc, argv);
    int wanted = 1000;
    QString wavPath;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--wav") == 0 && i + 1 < argc)
            wavPath = QString::fromLocal8Bit(argv[++i]);
        else
            wanted = std::max(2, std::atoi(argv[i]));
    }

    QString error;
    testsupport::PrivateSoundServer server;
    testsupport::MonitorRecorder recorder;
    if (!server.start(&error) || !recorder.start(server.address(), &error)) {
        std::printf("sound bench not run: %s\n", qPrintable(error));
        return 1;
    }

    TForm1 form;
    testsupport::loadNumberedQuestions(form, 200);
    form.show();
    QApplication::processEvents();
    form.But_oto->click(); // 音有
    waitFor([] { return platform::soundStatus().state != platform::SoundState::Connecting; }, 5000);
    if (platform::soundStatus().state != platform::SoundState::Playing) {
        std::printf("sound bench not run: the beep's stream did not start\n");
        return 1;
    }

    std::vector<int64_t> flashes;
    platform::setBeepObserver([&flashes](uint32_t, int64_t ns) { flashes.push_back(ns); });
    form.Button16Click();
    form.Button6->click(); // α: an answer flash every 4 ticks
    waitFor([&] { return int(flashes.size()) >= wanted; }, wanted * 200 + 5000);
    form.Timer1->setActive(false);
    platform::setBeepObserver({});
    flashes.resize(std::min<size_t>(flashes.size(), wanted));
    // The last click is still on its way.
    waitFor([] { return false; }, 300);
    const platform::SoundStatus status = platform::soundStatus();
    form.But_oto->click(); // 音無
    const testsupport::Recording recording = recorder.stop();
    if (!wavPath.isEmpty() && !recording.saveWav(wavPath))
        std::printf("could not write %s\n", qPrintable(wavPath));

    // Each flash owns the clicks from 10 ms before it to 10 ms before the
    // next flash would (100 ms later); the first there is its click.
    std::vector<int64_t> clicks;
    for (int64_t frame : recording.clickFrames())
        clicks.push_back(recording.timeOf(frame));
    constexpr int64_t kBeforeNs = 10000000, kWindowNs = 100000000;
    std::vector<int64_t> clickOf(flashes.size(), -1);
    size_t next = 0, missing = 0;
    for (size_t i = 0; i < flashes.size(); ++i) {
        while (next < clicks.size() && clicks[next] < flashes[i] - kBeforeNs)
            ++next;
        if (next < clicks.size() && clicks[next] < flashes[i] - kBeforeNs + kWindowNs)
            clickOf[i] = clicks[next++];
        else
            ++missing;
    }
    const size_t extra = clicks.size() - (flashes.size() - missing);

    // The click interval less its flashes' interval: what the sound adds to
    // the rhythm's own unevenness.
    std::vector<double> offsets, clickIntervals, flashIntervals, addedBySound;
    for (size_t i = 0; i < flashes.size(); ++i) {
        if (clickOf[i] >= 0)
            offsets.push_back((clickOf[i] - flashes[i]) / 1e6);
        if (i > 0) {
            flashIntervals.push_back((flashes[i] - flashes[i - 1]) / 1e6);
            if (clickOf[i] >= 0 && clickOf[i - 1] >= 0) {
                clickIntervals.push_back((clickOf[i] - clickOf[i - 1]) / 1e6);
                addedBySound.push_back(clickIntervals.back() - flashIntervals.back());
            }
        }
    }
    const Spread offset = spreadOf(offsets), click = spreadOf(clickIntervals), flash = spreadOf(flashIntervals),
                 added = spreadOf(addedBySound);

    std::printf("sound of the beep: private PulseAudio daemon, null sink at %u Hz, platform %s\n", recording.rate,
                qPrintable(QGuiApplication::platformName()));
    std::printf("  stream: %u Hz, click placed %.1f ms after its flash; %llu clicks placed, %llu of them late\n",
                status.sampleRate, status.latencyNs / 1e6, static_cast<unsigned long long>(status.clicks),
                static_cast<unsigned long long>(status.lateClicks));
    std::printf("  recording: %.1f s, of it lost by the monitor %.3f s\n", recording.samples.size() / double(recording.rate),
                recording.lostSeconds());
    std::printf("  flashes: %zu (α), interval mean %.3f ms, standard deviation %.3f ms\n", flashes.size(), flash.mean,
                flash.deviation);
    std::printf("  clicks: %zu; missing %zu, extra %zu (aim 0 and 0: %s)\n", clicks.size(), missing, extra,
                met(missing == 0 && extra == 0));
    std::printf("  click interval: mean %.3f ms, standard deviation %.3f ms (aim <= %.0f: %s), min %.3f, max %.3f\n",
                click.mean, click.deviation, kAimDeviationMs, met(click.deviation <= kAimDeviationMs), click.min,
                click.max);
    std::printf("  click interval less its flashes' interval: standard deviation %.3f ms, min %.3f, max %.3f\n",
                added.deviation, added.min, added.max);
    std::printf("  flash-to-click offset: mean %.3f ms (aim within %.0f: %s), standard deviation %.3f ms "
                "(aim <= %.0f: %s), min %.3f, max %.3f\n",
                offset.mean, kAimOffsetMs, met(std::fabs(offset.mean) <= kAimOffsetMs), offset.deviation,
                kAimDeviationMs, met(offset.deviation <= kAimDeviationMs), offset.min, offset.max);
    return 0;
}
