#include "support/soundlab.h"

#include "app/Un_subri1.h"
#include "platform/click_stream.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <pulse/error.h>
#include <pulse/simple.h>

#include <sys/prctl.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <limits>

namespace testsupport {

namespace {

// A fragment of 2 ms: small enough to time frames closely.
constexpr size_t kFragmentFrames = MonitorRecorder::kRate / 500;

} // namespace

PrivateSoundServer::PrivateSoundServer() = default;

PrivateSoundServer::~PrivateSoundServer()
{
    if (daemon_ && daemon_->state() != QProcess::NotRunning) {
        daemon_->terminate();
        if (!daemon_->waitForFinished(3000)) {
            daemon_->kill();
            daemon_->waitForFinished(3000);
        }
    }
    if (!address_.isEmpty()) {
        if (hadPreviousServer_)
            qputenv("PULSE_SERVER", previousServer_);
        else
            qunsetenv("PULSE_SERVER");
    }
}

bool PrivateSoundServer::start(QString* error)
{
    if (!folder_.isValid()) {
        *error = QStringLiteral("no temporary folder");
        return false;
    }
    const QString socket = folder_.filePath(QStringLiteral("native"));
    daemon_ = std::make_unique<QProcess>();
    // The daemon keeps its cookie and runtime files in the temporary folder,
    // away from any server of the desktop's. Without a display and a session
    // bus it answers at once instead of looking for them for seconds first.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), folder_.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder_.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder_.path());
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       QStringLiteral("unix:path=%1").arg(folder_.filePath(QStringLiteral("no-bus"))));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("PULSE_SERVER"));
    daemon_->setProcessEnvironment(environment);
    daemon_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Should this process die without stopping it, the daemon dies too.
    daemon_->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    // As root it warns that it is not meant to run as root outside system
    // mode, and runs.
    daemon_->start(QStringLiteral("pulseaudio"),
                   {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--system=false"),
                    QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disallow-exit"),
                    QStringLiteral("--use-pid-file=no"), QStringLiteral("--log-level=error"),
                    QStringLiteral("--load=module-null-sink sink_name=%1 rate=%2")
                        .arg(QLatin1String(kSink))
                        .arg(MonitorRecorder::kRate),
                    QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=%1").arg(socket)});
    if (!daemon_->waitForStarted(5000)) {
        *error = QStringLiteral("pulseaudio did not start: %1").arg(daemon_->errorString());
        return false;
    }
    // Ready once it answers on its socket.
    address_ = "unix:" + QFile::encodeName(socket);
    const QDeadlineTimer deadline(10000);
    for (;;) {
        if (QFileInfo::exists(socket)) {
            QProcess ask;
            ask.start(QStringLiteral("pactl"), {QStringLiteral("--server=") + QString::fromLocal8Bit(address_),
                                                QStringLiteral("info")});
            if (ask.waitForFinished(5000) && ask.exitStatus() == QProcess::NormalExit && ask.exitCode() == 0)
                break;
        }
        if (deadline.hasExpired() || daemon_->state() == QProcess::NotRunning) {
            *error = QStringLiteral("pulseaudio did not answer on its socket");
            return false;
        }
        QThread::msleep(20);
    }
    hadPreviousServer_ = qEnvironmentVariableIsSet("PULSE_SERVER");
    previousServer_ = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", address_);
    return true;
}

int64_t Recording::timeOf(int64_t frame) const
{
    const auto nsOf = [this](int64_t frames) { return frames * 1000000000 / rate; };
    const int64_t reach = rate / 2;
    auto fragment = std::lower_bound(fragments.begin(), fragments.end(), frame - reach,
                                     [](const Fragment& f, int64_t at) { return f.endFrame < at; });
    int64_t zero = std::numeric_limits<int64_t>::max();
    for (; fragment != fragments.end() && fragment->endFrame <= frame + reach; ++fragment)
        zero = std::min(zero, fragment->arrivalNs - nsOf(fragment->endFrame));
    return zero + nsOf(frame);
}

double Recording::lostSeconds() const
{
    if (fragments.empty())
        return 0;
    return (fragments.back().arrivalNs - fragments.front().arrivalNs) / 1e9
        - double(fragments.back().endFrame - fragments.front().endFrame) / rate;
}

std::vector<int64_t> Recording::clickFrames(float threshold, double refractoryS) const
{
    std::vector<int64_t> clicks;
    const auto refractory = int64_t(refractoryS * rate);
    int64_t quietUntil = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        if (int64_t(i) < quietUntil || std::fabs(samples[i]) < threshold)
            continue;
        clicks.push_back(int64_t(i));
        quietUntil = int64_t(i) + refractory;
    }
    return clicks;
}

bool Recording::saveWav(const QString& path) const
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const auto put32 = [&file](uint32_t v) { file.write(reinterpret_cast<const char*>(&v), 4); };
    const auto put16 = [&file](uint16_t v) { file.write(reinterpret_cast<const char*>(&v), 2); };
    const auto bytes = uint32_t(samples.size() * sizeof(float));
    file.write("RIFF");
    put32(36 + bytes);
    file.write("WAVEfmt ");
    put32(16);
    put16(3); // IEEE float
    put16(1);
    put32(rate);
    put32(rate * sizeof(float));
    put16(sizeof(float));
    put16(32);
    file.write("data");
    put32(bytes);
    file.write(reinterpret_cast<const char*>(samples.data()), bytes);
    return file.error() == QFile::NoError;
}

MonitorRecorder::~MonitorRecorder()
{
    stop();
}

bool MonitorRecorder::start(const QByteArray& server, QString* error)
{
    const pa_sample_spec sampleFormat{PA_SAMPLE_FLOAT32NE, kRate, 1};
    pa_buffer_attr buffer{};
    buffer.maxlength = uint32_t(-1);
    buffer.fragsize = uint32_t(kFragmentFrames * sizeof(float));
    const QByteArray monitor = QByteArray(PrivateSoundServer::kSink) + ".monitor";
    int code = 0;
    connection_ = pa_simple_new(server.constData(), "Mireldo sound check", PA_STREAM_RECORD, monitor.constData(),
                                "monitor", &sampleFormat, nullptr, &buffer, &code);
    if (!connection_) {
        *error = QStringLiteral("cannot record %1: %2").arg(QString::fromLatin1(monitor), QString::fromUtf8(pa_strerror(code)));
        return false;
    }
    recording_ = Recording{};
    recording_.rate = kRate;
    stopping_ = false;
    flowing_ = false;
    thread_ = std::thread([this] { run(); });
    // An idle null sink sleeps up to two seconds before it notices a new
    // recording: what plays before the first fragment arrives is not heard.
    const QDeadlineTimer deadline(10000);
    while (!flowing_.load(std::memory_order_acquire)) {
        if (deadline.hasExpired()) {
            *error = QStringLiteral("the monitor of %1 sends nothing").arg(QString::fromLatin1(monitor));
            stop();
            return false;
        }
        QThread::msleep(5);
    }
    return true;
}

void MonitorRecorder::run()
{
    float fragment[kFragmentFrames];
    int code = 0;
    while (!stopping_) {
        if (pa_simple_read(connection_, fragment, sizeof fragment, &code) < 0)
            return; // the recording ends short; the caller sees it
        const int64_t arrival = platform::monotonicNs();
        recording_.samples.insert(recording_.samples.end(), fragment, fragment + kFragmentFrames);
        recording_.fragments.push_back({int64_t(recording_.samples.size()), arrival});
        flowing_.store(true, std::memory_order_release);
    }
}

Recording MonitorRecorder::stop()
{
    if (thread_.joinable()) {
        stopping_ = true;
        thread_.join();
    }
    if (connection_) {
        pa_simple_free(connection_);
        connection_ = nullptr;
    }
    return std::move(recording_);
}

void loadNumberedQuestions(TForm1& form, int count)
{
    const QString set = QStringLiteral("numbered");
    form.extendTableHeader(set);
    for (int i = 1; i <= count; ++i)
        form.appendQuestionRow(QStringLiteral("問題 %1").arg(i), QStringLiteral("正解 %1").arg(i), set);
    form.finishAppend();
}

} // namespace testsupport
