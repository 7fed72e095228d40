#include "support/soundlab.h"

#include "app/Un_subri1.h"
#include "platform/click_stream.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
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

// The recorder's fragment: small, to time frames closely. PulseAudio's null
// sink renders up to one fragment ahead of playing it, so there 2 ms keeps
// the recording's timing within that much. PipeWire runs its graph in
// periods no longer than the smallest fragment asked for, and at 2 ms its
// graph skipped now and then on a 2-core machine (the clicks of those
// moments lost: a measurement of the server, not of the program); 5 ms
// keeps it in time.
size_t fragmentFramesFor(SoundServerKind kind)
{
    return MonitorRecorder::kRate / (kind == SoundServerKind::PipeWire ? 200 : 500);
}

} // namespace

PrivateSoundServer::PrivateSoundServer(SoundServerKind kind) : kind_(kind) {}

PrivateSoundServer::~PrivateSoundServer()
{
    // Gently first: PipeWire's parts end in the reverse order they started.
    for (auto daemon = daemons_.rbegin(); daemon != daemons_.rend(); ++daemon) {
        if ((*daemon)->state() == QProcess::NotRunning)
            continue;
        (*daemon)->terminate();
        if (!(*daemon)->waitForFinished(3000)) {
            (*daemon)->kill();
            (*daemon)->waitForFinished(3000);
        }
    }
    if (pointed_) {
        if (hadPreviousServer_)
            qputenv("PULSE_SERVER", previousServer_);
        else
            qunsetenv("PULSE_SERVER");
    }
}

QString PrivateSoundServer::missingProgram(SoundServerKind kind)
{
    QStringList programs{QStringLiteral("pactl")};
    if (kind == SoundServerKind::PulseAudio)
        programs << QStringLiteral("pulseaudio");
    else
        programs << QStringLiteral("pipewire") << QStringLiteral("wireplumber") << QStringLiteral("pipewire-pulse")
                 << QStringLiteral("dbus-daemon");
    for (const QString& program : programs)
        if (QStandardPaths::findExecutable(program).isEmpty())
            return program;
    return {};
}

const char* PrivateSoundServer::nameOf(SoundServerKind kind)
{
    return kind == SoundServerKind::PulseAudio ? "PulseAudio" : "PipeWire";
}

// The daemons keep their cookies, state and runtime files in the temporary
// folder, away from any server of the desktop's. PulseAudio without a
// display and a session bus answers at once instead of looking for them for
// seconds first; PipeWire's session manager needs a bus, its own.
QProcessEnvironment PrivateSoundServer::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), folder_.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder_.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder_.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_STATE_HOME"), folder_.filePath(QStringLiteral("state")));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       bus_.isEmpty() ? QStringLiteral("unix:path=%1").arg(folder_.filePath(QStringLiteral("no-bus")))
                                      : QString::fromLocal8Bit(bus_));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("PULSE_SERVER"));
    return environment;
}

QProcess* PrivateSoundServer::launch(const QString& program, const QStringList& arguments)
{
    auto daemon = std::make_unique<QProcess>();
    daemon->setProcessEnvironment(environment());
    // PipeWire's parts talk at length about the devices they look for: kept
    // in the temporary folder.
    if (kind_ == SoundServerKind::PipeWire)
        daemon->setStandardErrorFile(folder_.filePath(program + QStringLiteral(".log")));
    else
        daemon->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Should this process die without stopping it, the daemon dies too.
    daemon->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    daemon->start(program, arguments);
    daemons_.push_back(std::move(daemon));
    return daemons_.back().get();
}

bool PrivateSoundServer::start(QString* error)
{
    if (!folder_.isValid()) {
        *error = QStringLiteral("no temporary folder");
        return false;
    }
    if (const QString missing = missingProgram(kind_); !missing.isEmpty()) {
        *error = QStringLiteral("%1 is not installed (scripts/install-deps installs it)").arg(missing);
        return false;
    }
    stop();
    if (!(kind_ == SoundServerKind::PulseAudio ? startPulseAudio(error) : startPipeWire(error)))
        return false;
    if (!pointed_) {
        hadPreviousServer_ = qEnvironmentVariableIsSet("PULSE_SERVER");
        previousServer_ = qgetenv("PULSE_SERVER");
        pointed_ = true;
    }
    qputenv("PULSE_SERVER", address_);
    return true;
}

void PrivateSoundServer::stop()
{
    for (auto daemon = daemons_.rbegin(); daemon != daemons_.rend(); ++daemon) {
        (*daemon)->kill();
        (*daemon)->waitForFinished(3000);
    }
    daemons_.clear();
    bus_.clear();
}

bool PrivateSoundServer::startPulseAudio(QString* error)
{
    const QString socket = folder_.filePath(QStringLiteral("native"));
    QFile::remove(socket); // left by a server that was killed
    address_ = "unix:" + QFile::encodeName(socket);
    // As root it warns that it is not meant to run as root outside system
    // mode, and runs.
    QProcess* daemon = launch(
        QStringLiteral("pulseaudio"),
        {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--system=false"),
         QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disallow-exit"), QStringLiteral("--use-pid-file=no"),
         QStringLiteral("--log-level=error"),
         QStringLiteral("--load=module-null-sink sink_name=%1 rate=%2").arg(QLatin1String(kSink)).arg(MonitorRecorder::kRate),
         QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=%1").arg(socket)});
    if (!daemon->waitForStarted(5000)) {
        *error = QStringLiteral("pulseaudio did not start: %1").arg(daemon->errorString());
        return false;
    }
    return waitForAnswer(error);
}

bool PrivateSoundServer::startPipeWire(QString* error)
{
    QProcess* bus = launch(QStringLiteral("dbus-daemon"),
                           {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    if (!bus->waitForStarted(5000) || !bus->waitForReadyRead(5000)) {
        *error = QStringLiteral("dbus-daemon did not start");
        return false;
    }
    bus_ = bus->readLine().trimmed();
    const QString socket = folder_.filePath(QStringLiteral("pulse/native"));
    QFile::remove(socket);
    address_ = "unix:" + QFile::encodeName(socket);
    for (const QString program : {QStringLiteral("pipewire"), QStringLiteral("wireplumber"), QStringLiteral("pipewire-pulse")}) {
        QProcess* daemon = launch(program, {});
        if (!daemon->waitForStarted(5000)) {
            *error = QStringLiteral("%1 did not start: %2").arg(program, daemon->errorString());
            return false;
        }
    }
    if (!waitForAnswer(error))
        return false;
    // The null sink through the PulseAudio service, as a user would make it.
    if (!runPactl(address_, {QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                             QStringLiteral("sink_name=%1").arg(QLatin1String(kSink)),
                             QStringLiteral("rate=%1").arg(MonitorRecorder::kRate)},
                  error)
        || !runPactl(address_, {QStringLiteral("set-default-sink"), QLatin1String(kSink)}, error))
        return false;
    const QDeadlineTimer deadline(10000);
    for (;;) {
        QProcess ask;
        ask.start(QStringLiteral("pactl"), {QStringLiteral("--server=") + QString::fromLocal8Bit(address_),
                                            QStringLiteral("get-default-sink")});
        if (ask.waitForFinished(5000) && ask.readAllStandardOutput().trimmed() == kSink)
            return true;
        if (deadline.hasExpired()) {
            *error = QStringLiteral("pipewire-pulse did not take %1 as the default sink").arg(QLatin1String(kSink));
            return false;
        }
        QThread::msleep(50);
    }
}

// Ready once it answers on its socket.
bool PrivateSoundServer::waitForAnswer(QString* error)
{
    const QString socket = QFile::decodeName(address_.mid(5));
    const QDeadlineTimer deadline(10000);
    for (;;) {
        if (QFileInfo::exists(socket)) {
            QString ignored;
            if (runPactl(address_, {QStringLiteral("info")}, &ignored))
                return true;
        }
        const bool died = std::any_of(daemons_.begin(), daemons_.end(),
                                      [](const auto& daemon) { return daemon->state() == QProcess::NotRunning; });
        if (deadline.hasExpired() || died) {
            *error = QStringLiteral("the %1 server did not answer on its socket").arg(QLatin1String(nameOf(kind_)));
            return false;
        }
        QThread::msleep(20);
    }
}

bool runPactl(const QByteArray& server, const QStringList& arguments, QString* error)
{
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), QStringList{QStringLiteral("--server=") + QString::fromLocal8Bit(server)} + arguments);
    if (pactl.waitForFinished(5000) && pactl.exitStatus() == QProcess::NormalExit && pactl.exitCode() == 0)
        return true;
    *error = QStringLiteral("pactl %1: %2").arg(arguments.join(u' '), QString::fromLocal8Bit(pactl.readAllStandardError()).trimmed());
    return false;
}

uint32_t sinkRate(const QByteArray& server, const char* sink)
{
    // "index name driver format channels rate state", one sink a line.
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("--server=") + QString::fromLocal8Bit(server),
                                          QStringLiteral("list"), QStringLiteral("sinks"), QStringLiteral("short")});
    pactl.waitForFinished(5000);
    for (const QByteArray& line : pactl.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() > 3 && fields[1] == sink)
            return fields[3].split(' ').last().chopped(2).toUInt(); // "s16le 2ch 44100Hz"
    }
    return 0;
}

int64_t Recording::timeOf(int64_t frame) const
{
    const auto nsOf = [this](int64_t frames) { return frames * 1000000000 / rate; };
    const int64_t reach = rate / 10;
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

bool MonitorRecorder::start(const PrivateSoundServer& sound, QString* error)
{
    fragmentFrames_ = fragmentFramesFor(sound.kind());
    const pa_sample_spec sampleFormat{PA_SAMPLE_FLOAT32NE, kRate, 1};
    pa_buffer_attr buffer{};
    buffer.maxlength = uint32_t(-1);
    buffer.fragsize = uint32_t(fragmentFrames_ * sizeof(float));
    const QByteArray monitor = QByteArray(PrivateSoundServer::kSink) + ".monitor";
    int code = 0;
    connection_ = pa_simple_new(sound.address().constData(), "Mireldo sound check", PA_STREAM_RECORD, monitor.constData(),
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
    std::vector<float> fragment(fragmentFrames_);
    int code = 0;
    while (!stopping_) {
        if (pa_simple_read(connection_, fragment.data(), fragment.size() * sizeof(float), &code) < 0)
            return; // the recording ends short; the caller sees it
        const int64_t arrival = platform::monotonicNs();
        recording_.samples.insert(recording_.samples.end(), fragment.begin(), fragment.end());
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
