// The click of "音有" as the sound server plays it, on the servers Debian
// desktops run: a private PulseAudio daemon, and a private PipeWire
// (pipewire, wireplumber and pipewire-pulse with a session bus of their
// own), each with a null sink, and on each a case where a second client (a
// recorder asking for 10 ms latency, as a call or a browser tab does) joins
// 0.8 s into the run. The α preset runs with the sound on and the sink's
// monitor is recorded. Each answer flash is timed where it asks for the
// beep, the clicks are found in the recording, both on the monotonic clock.
// Per case it prints the flashes, the clicks, those missing and extra, the
// clicks closer than 60 ms to the one before, and the flash-to-click offset
// (mean and standard deviation), against the aims: none missing, extra or
// close, offset standard deviation at most 1 ms, and the same mean within
// 5 ms on both servers.
//
//   bench_sound [flashes] [--only pulseaudio|pipewire] [--wav PREFIX]
//
// Default 300 flashes per case (about 30 s each). --wav keeps each case's
// recording as PREFIX-<case>.wav (32-bit float). Run it under a real X
// server (xvfb-run -a) to include painting; with no display at all it runs
// offscreen. A server whose programs are not installed is left out.

#include "app/Un_subri1.h"
#include "platform/PresentationTimer.h"
#include "platform/click_stream.h"
#include "platform/platform.h"
#include "support/soundlab.h"
#include "bench_platform.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QPushButton>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <vector>

namespace {

using testsupport::SoundServerKind;

constexpr double kAimDeviationMs = 1.0;
constexpr double kAimSameMeanMs = 5.0;
constexpr int64_t kCloseNs = 60000000;

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
    s.mean /= double(values.size());
    for (double v : values)
        s.deviation += (v - s.mean) * (v - s.mean);
    s.deviation = std::sqrt(s.deviation / double(values.size()));
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

struct Case {
    SoundServerKind kind;
    bool secondClient;
};

// Runs one case; its offset mean, or nothing when it could not run.
std::optional<double> runCase(const Case& c, int wanted, const QString& wavPrefix)
{
    const char* server = testsupport::PrivateSoundServer::nameOf(c.kind);
    std::printf("%s%s\n", server, c.secondClient ? ", a second client joins 0.8 s in" : "");
    QString error;
    testsupport::PrivateSoundServer sound(c.kind);
    testsupport::MonitorRecorder recorder;
    if (!sound.start(&error) || !recorder.start(sound, &error)) {
        std::printf("  not run: %s\n", qPrintable(error));
        return std::nullopt;
    }

    TForm1 form;
    testsupport::loadNumberedQuestions(form, 200);
    form.show();
    QApplication::processEvents();
    form.But_oto->click(); // 音有
    waitFor([] { return platform::soundStatus().state == platform::SoundState::Playing; }, 5000);
    if (platform::soundStatus().state != platform::SoundState::Playing) {
        std::printf("  not run: the beep's stream did not start\n");
        return std::nullopt;
    }

    std::vector<int64_t> flashes;
    platform::setBeepObserver([&flashes](uint32_t, int64_t ns) { flashes.push_back(ns); });
    form.Button16Click();
    form.Button6->click(); // α: an answer flash every 4 ticks
    QProcess secondClient;
    if (c.secondClient) {
        waitFor([] { return false; }, 800);
        secondClient.start(QStringLiteral("parecord"),
                           {QStringLiteral("--server=") + QString::fromLocal8Bit(sound.address()),
                            QStringLiteral("--latency-msec=10"), QStringLiteral("--raw"),
                            QStringLiteral("-d"), QLatin1String(testsupport::PrivateSoundServer::kSink) + QStringLiteral(".monitor"),
                            QStringLiteral("/dev/null")});
    }
    waitFor([&] { return int(flashes.size()) >= wanted; }, wanted * 200 + 5000);
    form.Timer1->setActive(false);
    platform::setBeepObserver({});
    flashes.resize(std::min<size_t>(flashes.size(), wanted));
    waitFor([] { return false; }, 300); // the last click is still on its way
    const platform::SoundStatus status = platform::soundStatus();
    form.But_oto->click(); // 音無
    const testsupport::Recording recording = recorder.stop();
    const bool secondRan = secondClient.state() == QProcess::Running;
    secondClient.kill();
    secondClient.waitForFinished(3000);
    if (!wavPrefix.isEmpty()) {
        const QString path = QStringLiteral("%1-%2%3.wav").arg(wavPrefix, QString::fromLatin1(server).toLower(),
                                                              c.secondClient ? QStringLiteral("-second-client") : QString());
        if (!recording.saveWav(path))
            std::printf("  could not write %s\n", qPrintable(path));
    }

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
    size_t close = 0;
    for (size_t i = 1; i < clicks.size(); ++i)
        close += clicks[i] - clicks[i - 1] < kCloseNs ? 1 : 0;
    std::vector<double> offsets;
    for (size_t i = 0; i < flashes.size(); ++i)
        if (clickOf[i] >= 0)
            offsets.push_back(double(clickOf[i] - flashes[i]) / 1e6);
    const Spread offset = spreadOf(offsets);

    std::printf("  stream: %u Hz, click placed %.1f ms after its flash, %llu dropped as late, %llu stream(s) opened%s\n",
                status.sampleRate, status.latencyNs / 1e6, static_cast<unsigned long long>(status.lateClicks),
                static_cast<unsigned long long>(status.connections),
                c.secondClient ? (secondRan ? "; the second client ran" : "; the second client did NOT run") : "");
    std::printf("  recording: %.1f s, of it lost by the monitor %.3f s\n",
                double(recording.samples.size()) / recording.rate, recording.lostSeconds());
    std::printf("  flashes %zu, clicks %zu, missing %zu, extra %zu, closer than 60 ms %zu (aim 0, 0, 0: %s)\n",
                flashes.size(), clicks.size(), missing, extra, close, met(missing == 0 && extra == 0 && close == 0));
    std::printf("  offset: mean %.3f ms, standard deviation %.3f ms (aim <= %.0f: %s), min %.3f, max %.3f\n",
                offset.mean, offset.deviation, kAimDeviationMs, met(offset.deviation <= kAimDeviationMs), offset.min,
                offset.max);
    return offsets.empty() ? std::nullopt : std::optional<double>(offset.mean);
}

} // namespace

int main(int argc, char** argv)
{
    chooseBenchPlatform();
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each case as it ends, also into a file
    QApplication app(argc, argv);
    int wanted = 300;
    QString wavPrefix;
    std::vector<SoundServerKind> kinds{SoundServerKind::PulseAudio, SoundServerKind::PipeWire};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--wav") == 0 && i + 1 < argc)
            wavPrefix = QString::fromLocal8Bit(argv[++i]);
        else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc)
            kinds = {std::strcmp(argv[++i], "pipewire") == 0 ? SoundServerKind::PipeWire : SoundServerKind::PulseAudio};
        else
            wanted = std::max(2, std::atoi(argv[i]));
    }

    std::printf("sound of the beep: %d flashes of α per case, null sink at %u Hz, platform %s\n", wanted,
                testsupport::MonitorRecorder::kRate, qPrintable(QGuiApplication::platformName()));
    std::vector<double> means;
    for (const SoundServerKind kind : kinds) {
        if (const QString missing = testsupport::PrivateSoundServer::missingProgram(kind); !missing.isEmpty()) {
            std::printf("%s: not run, %s is not installed\n", testsupport::PrivateSoundServer::nameOf(kind),
                        qPrintable(missing));
            continue;
        }
        if (const std::optional<double> mean = runCase({kind, false}, wanted, wavPrefix))
            means.push_back(*mean);
        runCase({kind, true}, wanted, wavPrefix);
    }
    if (means.size() == 2)
        std::printf("offset means on the two servers %.3f ms apart (aim <= %.0f: %s)\n", std::fabs(means[0] - means[1]),
                    kAimSameMeanMs, met(std::fabs(means[0] - means[1]) <= kAimSameMeanMs));
    return 0;
}
