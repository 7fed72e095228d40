#pragma once
// Hearing the beep without a sound card: a private sound server with a null
// sink, a recording of what that sink plays (its monitor) with the moment
// each frame was played on the monotonic clock, and the clicks found in it.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

class QProcess;
class QProcessEnvironment;
class TForm1;
struct pa_simple;

namespace testsupport {

// The two sound servers Debian desktops run.
enum class SoundServerKind {
    PulseAudio,
    PipeWire, // pipewire with wireplumber, heard through pipewire-pulse
};

// A sound server of its own: one null sink as the default sink, a socket in
// a temporary folder, never exiting when idle. PulseAudio reads no
// configuration; PipeWire runs with its own session bus (dbus-daemon) and
// the temporary folder as its runtime folder. PULSE_SERVER is pointed at it
// while it runs. Stopped (killed if need be) when destroyed, and by the
// system if this process dies first.
class PrivateSoundServer {
public:
    static constexpr const char* kSink = "mireldo_null";

    explicit PrivateSoundServer(SoundServerKind kind = SoundServerKind::PulseAudio);
    ~PrivateSoundServer();
    PrivateSoundServer(const PrivateSoundServer&) = delete;
    PrivateSoundServer& operator=(const PrivateSoundServer&) = delete;

    // Whether the programs this kind needs are installed; the name of the
    // first one missing otherwise.
    static QString missingProgram(SoundServerKind kind);
    static const char* nameOf(SoundServerKind kind);

    // Starts it (again, after stop()) and waits until it answers with its
    // null sink as the default; false with the reason on failure.
    bool start(QString* error);
    // Kills it, as a crash would; the same address serves after start().
    void stop();
    QByteArray address() const { return address_; }
    SoundServerKind kind() const { return kind_; }

private:
    bool startPulseAudio(QString* error);
    bool startPipeWire(QString* error);
    bool waitForAnswer(QString* error);
    QProcess* launch(const QString& program, const QStringList& arguments);
    QProcessEnvironment environment() const;

    SoundServerKind kind_;
    QTemporaryDir folder_;
    std::vector<std::unique_ptr<QProcess>> daemons_; // in the order they started
    QByteArray bus_;
    QByteArray address_;
    QByteArray previousServer_;
    bool hadPreviousServer_ = false;
    bool pointed_ = false;
};

// Runs pactl against `server`; false with pactl's words on failure.
bool runPactl(const QByteArray& server, const QStringList& arguments, QString* error);
// The sample rate the sink runs at now (0 when there is no such sink).
uint32_t sinkRate(const QByteArray& server, const char* sink);

// What the sink played, mono, and when its fragments arrived.
struct Recording {
    struct Fragment {
        int64_t endFrame;  // frames recorded up to and with this fragment
        int64_t arrivalNs; // monotonic clock
    };
    uint32_t rate = 0;
    std::vector<float> samples;
    std::vector<Fragment> fragments;

    // When the frame was played: a fragment's last frame was played at the
    // latest when the fragment arrived, so the frame's time is counted back
    // from the earliest-arriving fragment within 0.2 s around it (forty to a
    // hundred fragments). Local, so that a sink clock that runs a little fast or slow
    // is followed, and so that where the recording lost time (the recorder
    // fell behind on a busy machine) only the clicks right beside the gap
    // are timed wrong.
    int64_t timeOf(int64_t frame) const;
    // Time missing from the recording (negative: more sound than time, the
    // sink's clock runs fast).
    double lostSeconds() const;
    // The frames where clicks begin: the first sample past the threshold,
    // then nothing for the refractory time.
    std::vector<int64_t> clickFrames(float threshold = 0.05f, double refractoryS = 0.015) const;
    // Writes it as a 32-bit float WAV file.
    bool saveWav(const QString& path) const;
};

// Records the null sink's monitor on a thread of its own from start() to
// stop(), in fragments of a few milliseconds whose arrival is timed.
class MonitorRecorder {
public:
    static constexpr uint32_t kRate = 48000;

    ~MonitorRecorder();
    // Returns once the monitor's sound flows.
    bool start(const PrivateSoundServer& sound, QString* error);
    Recording stop();

private:
    void run();

    ::pa_simple* connection_ = nullptr;
    size_t fragmentFrames_ = 0;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> flowing_{false};
    Recording recording_;
};

// Loads `count` questions "問題 n" with answers "正解 n" as one set, as
// opening a file does, so that Start and the presets can run.
void loadNumberedQuestions(TForm1& form, int count);

} // namespace testsupport
