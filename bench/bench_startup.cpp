// Start-up: the time from starting the real program to its first painted
// frame, and its peak memory at that point; the median of ten runs.
//
//   bench_startup [path to mireldo]
//
// The program is started with MIRELDO_EXIT_AFTER_START_MS=0, which makes it
// report the steady-clock time of its first complete frame and its peak
// resident memory, then quit (app/startup_probe.h). Both processes read the
// same monotonic clock, so the difference is the whole start-up: process
// creation, loading the libraries, the toolkit, the window and its painting.
// It runs on the current Qt platform (QT_QPA_PLATFORM or the display), or
// offscreen when there is none.

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

constexpr int kRuns = 10;
constexpr double kAimMs = 300.0;

struct Sample {
    double firstFrameMs;
    long peakKb;
};

long long steadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::optional<Sample> startOnce(const QString& program, const QProcessEnvironment& environment,
                                const QString& folder)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    const long long started = steadyNanoseconds();
    process.start(program, {});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        std::fprintf(stderr, "bench_startup: %s failed: %s\n%s", qPrintable(program),
                     qPrintable(process.errorString()),
                     process.readAllStandardError().constData());
        return std::nullopt;
    }
    static const QRegularExpression line(
        QStringLiteral("mireldo-startup first-frame-ns=(\\d+) max-rss-kb=(\\d+)"));
    const auto match = line.match(QString::fromLocal8Bit(process.readAllStandardOutput()));
    if (!match.hasMatch()) {
        std::fprintf(stderr, "bench_startup: no start-up report from %s\n", qPrintable(program));
        return std::nullopt;
    }
    return Sample{(match.captured(1).toLongLong() - started) / 1e6, match.captured(2).toLong()};
}

template <typename T>
T median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QString program = argc > 1
        ? QString::fromLocal8Bit(argv[1])
        : QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../mireldo"));
    if (!QFileInfo(program).isExecutable()) {
        std::fprintf(stderr, "bench_startup: no program at %s\n", qPrintable(program));
        return 1;
    }

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("MIRELDO_EXIT_AFTER_START_MS"), QStringLiteral("0"));
    if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM"))
        && !environment.contains(QStringLiteral("DISPLAY"))
        && !environment.contains(QStringLiteral("WAYLAND_DISPLAY")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const QString platform = environment.value(QStringLiteral("QT_QPA_PLATFORM"),
                                               QStringLiteral("default (display ")
                                                   + environment.value(QStringLiteral("DISPLAY"))
                                                   + QStringLiteral(")"));

    QTemporaryDir folder; // the program starts in an empty folder of its own
    if (!startOnce(program, environment, folder.path())) // warm-up: caches, page cache
        return 1;
    std::vector<double> frameMs;
    std::vector<long> peakKb;
    for (int run = 0; run < kRuns; ++run) {
        const auto sample = startOnce(program, environment, folder.path());
        if (!sample)
            return 1;
        frameMs.push_back(sample->firstFrameMs);
        peakKb.push_back(sample->peakKb);
    }

    const auto [fastest, slowest] = std::minmax_element(frameMs.begin(), frameMs.end());
    const double medianMs = median(frameMs);
    std::printf("start-up, platform %s, %d runs after one warm-up\n", qPrintable(platform), kRuns);
    std::printf("  process start to first frame: median %.1f ms (min %.1f, max %.1f); aim < %.0f ms: %s\n",
                medianMs, *fastest, *slowest, kAimMs, medianMs < kAimMs ? "met" : "NOT met");
    std::printf("  peak memory at start (max RSS): median %.1f MiB (max %.1f MiB)\n",
                median(peakKb) / 1024.0,
                *std::max_element(peakKb.begin(), peakKb.end()) / 1024.0);
    return 0;
}
