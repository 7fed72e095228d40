// The rhythm of the real timer under the real event loop: the α preset
// values (answer span 2, question period 4 at 25 ms a tick: an answer flash
// every 100 ms) run for some seconds with the window shown. Prints the mean
// tick and its standard deviation, the deviation of the flash-to-flash
// intervals from 100 ms, and the drift of the last flash from where an exact
// 100 ms rhythm would put it.
//
//   bench_rhythm [seconds]      (default 20)
//
// Run it under a real X server (xvfb-run -a) to include painting.

#include "app/Un_subri1.h"
#include "platform/PresentationTimer.h"
#include "platform/StringGrid.h"
#include "platform/platform.h"

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

constexpr double kFlashMs = 100.0;

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

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;

    TForm1 form;
    form.extendTableHeader(QStringLiteral("rhythm"));
    for (int i = 1; i <= 200; ++i)
        form.appendQuestionRow(QStringLiteral("問題 %1").arg(i), QStringLiteral("正解 %1").arg(i), QStringLiteral("rhythm"));
    form.finishAppend();
    form.show();
    QApplication::processEvents();

    // The flash time is taken where the beep sounds, inside the answer flash.
    std::vector<double> flashes;
    platform::setBeepSink([&flashes](uint32_t) { flashes.push_back(nowMs()); });
    form.But_oto->setText(QStringLiteral("音有"));
    // Every tick, after its handler.
    std::vector<double> ticks;
    QObject::connect(form.Timer1, &platform::PresentationTimer::timeout, &form, [&ticks] { ticks.push_back(nowMs()); });

    form.setFieldText(form.Edit4, QStringLiteral("2"));
    form.setFieldText(form.Edit5, QStringLiteral("4"));
    form.Button16Click();

    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();

    const std::vector<double> tickIntervals = differences(ticks);
    const std::vector<double> flashIntervals = differences(flashes);
    const Spread tick = spreadOf(tickIntervals);
    std::vector<double> flashError;
    for (double interval : flashIntervals)
        flashError.push_back(std::fabs(interval - kFlashMs));
    const double drift = flashes.size() > 1
                             ? (flashes.back() - flashes.front()) - kFlashMs * (flashes.size() - 1)
                             : 0.0;
    const int late = static_cast<int>(std::count_if(tickIntervals.begin(), tickIntervals.end(),
                                                    [](double v) { return v > 37.5; }));

    std::printf("platform: %s, %d s, Edit4 %s, Edit5 %s, interval %d ms\n",
                qPrintable(QGuiApplication::platformName()), seconds, qPrintable(form.Edit4->text()),
                qPrintable(form.Edit5->text()), form.Timer1->interval());
    std::printf("ticks: %zu, mean %.3f ms, standard deviation %.3f ms, intervals over 37.5 ms: %d\n",
                ticks.size(), tick.mean, tick.deviation, late);
    std::printf("flashes: %zu, mean interval %.3f ms, |interval - 100 ms| p50 %.3f ms, p99 %.3f ms, max %.3f ms\n",
                flashes.size(), spreadOf(flashIntervals).mean, percentile(flashError, 0.5),
                percentile(flashError, 0.99), percentile(flashError, 1.0));
    std::printf("drift over the run: %+.3f ms (last flash against first flash + n x 100 ms), "
                "fitted: %+.3f ms (least-squares flash period %.4f ms over %zu flashes)\n",
                drift, (fittedPeriod(flashes) - kFlashMs) * (flashes.size() - 1), fittedPeriod(flashes),
                flashes.size());
    std::printf("the program's own measurement: tick %s ms, question period %s s\n",
                qPrintable(form.Ed10->text()), qPrintable(form.Ed12->text()));
    platform::setBeepSink({});
    return 0;
}
