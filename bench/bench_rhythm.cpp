// The rhythm of the real timer under the real event loop, for three speed
// presets pressed in turn with the window shown: α (answer span 2, question
// period 4: an answer flash every 100 ms at 25 ms a tick), θ (3 and 6: every
// 150 ms) and 本ｻﾌﾞﾘﾐﾅﾙ (1 and 40: every 1000 ms). For each it prints the mean
// tick and its standard deviation, the deviation of the flash-to-flash
// intervals from the nominal flash period, and the drift of the last flash
// from where an exact rhythm would put it, against the aims: mean tick
// within 25 ± 0.1 ms, standard deviation below 0.5 ms.
//
//   bench_rhythm [seconds per preset]      (default 20)
//
// Run it under a real X server (xvfb-run -a) to include painting; with no
// display at all it runs offscreen.

#include "app/Un_subri1.h"
#include "platform/PresentationTimer.h"
#include "platform/platform.h"
#include "bench_platform.h"

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr double kTickMs = 25.0;
constexpr double kMeanAimMs = 0.1;      // mean tick within 25 ± 0.1 ms
constexpr double kDeviationAimMs = 0.5; // standard deviation of the tick below 0.5 ms

double nowMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Spread {
    double mean = 0, deviation = 0;
};

Spread spreadOf(const std::vector<double>& values)
{
    Spread s;
    if (values.empty())
        return s;
    for (double v : values)
        s.mean += v;
    s.mean /= values.size();
    for (double v : values)
        s.deviation += (v - s.mean) * (v - s.mean);
    s.deviation = std::sqrt(s.deviation / values.size());
    return s;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(p * (values.size() - 1) + 0.5))];
}

// The least-squares slope of the times against their index: the mean period
// with the jitter of single flashes averaged out.
double fittedPeriod(const std::vector<double>& times)
{
    const double n = static_cast<double>(times.size());
    if (n < 2)
        return 0.0;
    const double meanIndex = (n - 1) / 2;
    double meanTime = 0;
    for (double t : times)
        meanTime += t / n;
    double covariance = 0, variance = 0;
    for (size_t i = 0; i < times.size(); ++i) {
        covariance += (i - meanIndex) * (times[i] - meanTime);
        variance += (i - meanIndex) * (i - meanIndex);
    }
    return covariance / variance;
}

std::vector<double> differences(const std::vector<double>& times)
{
    std::vector<double> result;
    for (size_t i = 1; i < times.size(); ++i)
        result.push_back(times[i] - times[i - 1]);
    return result;
}

struct Preset {
    const char* name;
    QPushButton* button;
    int questionPeriod; // ticks from one answer flash to the next
};

// Presses the preset, lets the real timer run for the given time and prints
// the figures. Returns whether both aims were met.
bool measure(TForm1& form, const Preset& preset, int seconds)
{
    std::vector<double> ticks, flashes;
    // The flash time is taken where the beep sounds, inside the answer flash.
    platform::setBeepSink([&flashes](uint32_t) { flashes.push_back(nowMs()); });
    // Every tick, after its handler.
    const QMetaObject::Connection tick = QObject::connect(
        form.Timer1, &platform::PresentationTimer::timeout, &form, [&ticks] { ticks.push_back(nowMs()); });
    preset.button->click();

    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(tick);
    platform::setBeepSink({});

    // The first flash comes a part of a period after the press: intervals
    // are taken from it on.
    const double flashMs = kTickMs * preset.questionPeriod;
    const std::vector<double> tickIntervals = differences(ticks);
    const std::vector<double> flashIntervals = differences(flashes);
    const Spread spread = spreadOf(tickIntervals);
    std::vector<double> flashError;
    for (double interval : flashIntervals)
        flashError.push_back(std::fabs(interval - flashMs));
    const double drift =
        flashes.size() > 1 ? (flashes.back() - flashes.front()) - flashMs * (flashes.size() - 1) : 0.0;
    const double fitted = fittedPeriod(flashes);
    const int late = static_cast<int>(
        std::count_if(tickIntervals.begin(), tickIntervals.end(), [](double v) { return v > 1.5 * kTickMs; }));
    const bool meanMet = std::fabs(spread.mean - kTickMs) <= kMeanAimMs;
    const bool deviationMet = spread.deviation < kDeviationAimMs;

    std::printf("\n%s: Edit4 %s, Edit5 %s, interval %d ms, %d s; answer flash every %.0f ms at 25 ms a tick\n",
                preset.name, qPrintable(form.Edit4->text()), qPrintable(form.Edit5->text()), form.Timer1->interval(),
                seconds, flashMs);
    std::printf("  ticks: %zu, mean %.3f ms (aim 25 +/- %.1f: %s), standard deviation %.3f ms (aim < %.1f: %s), "
                "intervals over %.1f ms: %d\n",
                ticks.size(), spread.mean, kMeanAimMs, meanMet ? "met" : "MISSED", spread.deviation, kDeviationAimMs,
                deviationMet ? "met" : "MISSED", 1.5 * kTickMs, late);
    std::printf("  flashes: %zu, mean interval %.3f ms, |interval - %.0f ms| p50 %.3f ms, p99 %.3f ms, max %.3f ms\n",
                flashes.size(), spreadOf(flashIntervals).mean, flashMs, percentile(flashError, 0.5),
                percentile(flashError, 0.99), percentile(flashError, 1.0));
    std::printf("  drift over the run: %+.3f ms (last flash against first + n x %.0f ms); fitted %+.3f ms "
                "(least-squares flash period %.4f ms)\n",
                drift, flashMs, (fitted - flashMs) * (flashes.size() > 1 ? flashes.size() - 1 : 0), fitted);
    std::printf("  the program's own measurement: tick %s ms, question period %s s\n", qPrintable(form.Ed10->text()),
                qPrintable(form.Ed12->text()));
    std::fflush(stdout);
    return meanMet && deviationMet;
}

} // namespace

int main(int argc, char** argv)
{
    chooseBenchPlatform();
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;

    TForm1 form;
    form.extendTableHeader(QStringLiteral("rhythm"));
    for (int i = 1; i <= 200; ++i)
        form.appendQuestionRow(QStringLiteral("問題 %1").arg(i), QStringLiteral("正解 %1").arg(i), QStringLiteral("rhythm"));
    form.finishAppend();
    form.show();
    QApplication::processEvents();
    form.But_oto->setText(QStringLiteral("音有"));
    form.Button16Click();

    const Preset presets[] = {
        {"alpha (α波設定)", form.Button6, 4},
        {"theta (θ波設定)", form.Button5, 6},
        {"subliminal (本ｻﾌﾞﾘﾐﾅﾙ)", form.Button7, 40},
    };
    std::printf("rhythm of the real timer, platform %s, %d s per preset\n", qPrintable(QGuiApplication::platformName()),
                seconds);
    int met = 0;
    for (const Preset& preset : presets)
        met += measure(form, preset, seconds) ? 1 : 0;
    std::printf("\naims met by %d of %d presets\n", met, int(std::size(presets)));
    return 0;
}
