#include "platform/click_stream.h"

#include "platform/click_sound.h"
#include "platform/stream_clock.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace platform {

namespace {

// The whole way from the stream to the speaker asked of the server: short,
// so the click can follow the flash closely, long enough for the sound
// thread to keep it filled.
constexpr pa_usec_t kTargetLatencyUs = 20 * PA_USEC_PER_MSEC;
// Room for the sound thread to be a little late to a request.
constexpr pa_usec_t kSpareUs = 4 * PA_USEC_PER_MSEC;
// How long a block written now may take to reach the server.
constexpr int64_t kReachNs = 2000000;
// A click may come this much after its time (to keep out of frames already
// written, or its distance from the one before); later, it is dropped.
constexpr int64_t kLateToleranceNs = 4000000;
// How often the server is asked where the stream is.
constexpr int64_t kTimingEveryNs = 50000000;
// Asking for a server that went away again after this long.
constexpr pa_usec_t kRetryUs = 1000 * PA_USEC_PER_MSEC;

// Beep times from the window's thread to the sound thread without a lock:
// one writer, one reader. Full only if the sound thread has stalled for
// seconds; a beep that finds it full rings the bell instead.
class FlashQueue {
public:
    bool push(int64_t ns)
    {
        const uint64_t tail = tail_.load(std::memory_order_relaxed);
        if (tail - head_.load(std::memory_order_acquire) == kSize)
            return false;
        slots_[tail % kSize] = ns;
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }
    bool pop(int64_t& ns)
    {
        const uint64_t head = head_.load(std::memory_order_relaxed);
        if (head == tail_.load(std::memory_order_acquire))
            return false;
        ns = slots_[head % kSize];
        head_.store(head + 1, std::memory_order_release);
        return true;
    }

private:
    static constexpr uint64_t kSize = 64;
    std::array<int64_t, kSize> slots_{};
    std::atomic<uint64_t> head_{0};
    std::atomic<uint64_t> tail_{0};
};

} // namespace

int64_t monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

struct ClickStream::Sound {
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    pa_time_event* retry = nullptr;
    std::atomic<SoundState> state{SoundState::Connecting};
    FlashQueue flashes;
    std::atomic<uint32_t> rate{0};
    std::atomic<int64_t> latencyNs{0};
    std::atomic<uint64_t> clicks{0};
    std::atomic<uint64_t> lateClicks{0};
    std::atomic<uint64_t> connections{0};

    // The sound thread's own.
    std::string sinkName;        // the default sink the stream plays on
    bool holdsUnreportedPeriod = false; // the server is PipeWire's (see followClock)
    std::vector<float> click;
    std::vector<int64_t> starts; // first frames of the clicks not yet fully written
    int64_t written = 0;         // frames handed to the server so far
    ClockFollower clock;
    std::optional<click::ClickPlacer> placer;
    int64_t timingAskedNs = 0;   // when the server was last asked where the stream is
    bool timingPending = false;

    void fail() { state.store(SoundState::Failed, std::memory_order_release); }
    void connect();
    void lostServer();
    void closeStream();
    void closeConnection();
    void lookUpDefaultSink();
    void openStream(const pa_sink_info& sink);
    void fill(size_t bytes);
    void askTiming();
    void followClock();
    void placeClicks();

    static void contextChanged(pa_context* context, void* self);
    static void serverChanged(pa_context* context, pa_subscription_event_type_t type, uint32_t index, void* self);
    static void serverFound(pa_context* context, const pa_server_info* server, void* self);
    static void sinkFound(pa_context* context, const pa_sink_info* sink, int last, void* self);
    static void streamChanged(pa_stream* stream, void* self);
    static void writeRequested(pa_stream* stream, size_t bytes, void* self);
    static void timingUpdated(pa_stream* stream, void* self);
    static void timingAnswered(pa_stream* stream, int success, void* self);
    static void retryDue(pa_mainloop_api* api, pa_time_event* event, const struct timeval* when, void* self);
};

namespace {

pa_proplist* programProperties()
{
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, "Mireldo");
    pa_proplist_sets(properties, PA_PROP_APPLICATION_ID, "io.github.mireldo.Mireldo");
    pa_proplist_sets(properties, PA_PROP_APPLICATION_ICON_NAME, "io.github.mireldo.Mireldo");
    // The desktop's beep: the server's volume for event sounds applies.
    pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, "event");
    return properties;
}

template <typename Operation>
bool started(Operation* operation)
{
    if (!operation)
        return false;
    pa_operation_unref(operation);
    return true;
}

} // namespace

// A new connection to the server; on the sound thread (or before it runs).
void ClickStream::Sound::connect()
{
    pa_proplist* properties = programProperties();
    context = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(loop), "Mireldo", properties);
    pa_proplist_free(properties);
    if (!context) {
        lostServer();
        return;
    }
    pa_context_set_state_callback(context, contextChanged, this);
    pa_context_set_subscribe_callback(context, serverChanged, this);
    // Only a server that is already running: no daemon of our own.
    if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        lostServer();
}

// The server is gone (or never answered): the bell serves, and in a second
// the server is asked for again, as long as the sound is on.
void ClickStream::Sound::lostServer()
{
    fail();
    if (retry)
        return;
    timeval when{};
    pa_gettimeofday(&when);
    pa_timeval_add(&when, kRetryUs);
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop);
    retry = api->time_new(api, &when, retryDue, this);
}

void ClickStream::Sound::retryDue(pa_mainloop_api* api, pa_time_event* event, const struct timeval*, void* self)
{
    auto* sound = static_cast<Sound*>(self);
    api->time_free(event);
    sound->retry = nullptr;
    // Out of the old connection's callbacks: it can go now.
    sound->closeConnection();
    sound->state.store(SoundState::Connecting, std::memory_order_release);
    sound->connect();
}

void ClickStream::Sound::closeStream()
{
    if (!stream)
        return;
    pa_stream_set_state_callback(stream, nullptr, nullptr);
    pa_stream_set_write_callback(stream, nullptr, nullptr);
    pa_stream_set_latency_update_callback(stream, nullptr, nullptr);
    pa_stream_disconnect(stream);
    pa_stream_unref(stream);
    stream = nullptr;
    timingPending = false;
}

// The stream and the connection closed, their callbacks silenced first.
void ClickStream::Sound::closeConnection()
{
    closeStream();
    if (!context)
        return;
    pa_context_set_state_callback(context, nullptr, nullptr);
    pa_context_set_subscribe_callback(context, nullptr, nullptr);
    pa_context_disconnect(context);
    pa_context_unref(context);
    context = nullptr;
}

void ClickStream::Sound::contextChanged(pa_context* context, void* self)
{
    auto* sound = static_cast<Sound*>(self);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        // Told when the default output changes, so that the stream follows.
        if (!started(pa_context_subscribe(context, PA_SUBSCRIPTION_MASK_SERVER, nullptr, nullptr)))
            sound->lostServer();
        sound->lookUpDefaultSink();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        sound->lostServer();
        break;
    default:
        break;
    }
}

void ClickStream::Sound::lookUpDefaultSink()
{
    if (!started(pa_context_get_server_info(context, serverFound, this)))
        lostServer();
}

void ClickStream::Sound::serverChanged(pa_context*, pa_subscription_event_type_t type, uint32_t, void* self)
{
    if ((type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) == PA_SUBSCRIPTION_EVENT_SERVER)
        static_cast<Sound*>(self)->lookUpDefaultSink();
}

void ClickStream::Sound::serverFound(pa_context* context, const pa_server_info* server, void* self)
{
    auto* sound = static_cast<Sound*>(self);
    if (!server || !server->default_sink_name) {
        sound->lostServer();
        return;
    }
    sound->holdsUnreportedPeriod = server->server_name && std::strstr(server->server_name, "PipeWire") != nullptr;
    if (sound->stream && sound->sinkName == server->default_sink_name)
        return; // the same output: nothing to follow
    if (!started(pa_context_get_sink_info_by_name(context, server->default_sink_name, sinkFound, self)))
        sound->lostServer();
}

// A new default sink (or the first): the stream reopens on it, with the
// click made at its rate.
void ClickStream::Sound::sinkFound(pa_context*, const pa_sink_info* sink, int last, void* self)
{
    auto* sound = static_cast<Sound*>(self);
    if (sink) {
        sound->closeStream();
        sound->openStream(*sink);
    } else if (last != 0 && !sound->stream) {
        sound->lostServer(); // no such sink after all
    }
}

// Mono at the sink's own rate: the server plays it on every channel and
// never resamples it.
void ClickStream::Sound::openStream(const pa_sink_info& sink)
{
    const pa_sample_spec sampleFormat{PA_SAMPLE_FLOAT32NE, sink.sample_spec.rate, 1};
    sinkName = sink.name;
    state.store(SoundState::Connecting, std::memory_order_release);
    click = click::makeClick(sampleFormat.rate);
    clock.restart(sampleFormat.rate);
    placer.reset();
    starts.clear();
    written = 0;
    latencyNs.store(0, std::memory_order_relaxed);
    rate.store(sampleFormat.rate);
    pa_proplist* properties = programProperties();
    stream = pa_stream_new_with_proplist(context, "beep", &sampleFormat, nullptr, properties);
    pa_proplist_free(properties);
    if (!stream) {
        lostServer();
        return;
    }
    pa_stream_set_state_callback(stream, streamChanged, this);
    pa_stream_set_write_callback(stream, writeRequested, this);
    pa_stream_set_latency_update_callback(stream, timingUpdated, this);
    pa_buffer_attr buffer{};
    buffer.maxlength = uint32_t(-1);
    buffer.tlength = uint32_t(pa_usec_to_bytes(kTargetLatencyUs, &sampleFormat));
    // Playing from the start and on through a late block, never pausing to
    // fill up again: the stream's frames stay tied to the clock, so every
    // click placed is heard at its time.
    buffer.prebuf = 0;
    buffer.minreq = uint32_t(-1);
    buffer.fragsize = uint32_t(-1);
    const auto flags = pa_stream_flags_t(PA_STREAM_ADJUST_LATENCY | PA_STREAM_AUTO_TIMING_UPDATE);
    // To the default sink by no name, so that the server may move it with
    // the user to another output (and the look-up above then reopens it at
    // that output's rate).
    if (pa_stream_connect_playback(stream, nullptr, &buffer, flags, nullptr, nullptr) < 0)
        lostServer();
}

void ClickStream::Sound::streamChanged(pa_stream* stream, void* self)
{
    auto* sound = static_cast<Sound*>(self);
    switch (pa_stream_get_state(stream)) {
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        sound->lostServer();
        break;
    default:
        break;
    }
}

void ClickStream::Sound::writeRequested(pa_stream*, size_t bytes, void* self)
{
    static_cast<Sound*>(self)->fill(bytes);
}

// The server reports where the stream is now and then by itself; between
// its reports the stream asks every kTimingEveryNs, so that the rate of the
// stream's clock is measured closely and a step of it seen soon.
void ClickStream::Sound::askTiming()
{
    const int64_t now = monotonicNs();
    if (timingPending || now - timingAskedNs < kTimingEveryNs)
        return;
    timingAskedNs = now;
    timingPending = started(pa_stream_update_timing_info(stream, timingAnswered, this));
}

void ClickStream::Sound::timingAnswered(pa_stream*, int, void* self)
{
    static_cast<Sound*>(self)->timingPending = false;
}

void ClickStream::Sound::timingUpdated(pa_stream*, void* self)
{
    static_cast<Sound*>(self)->followClock();
}

// A fresh report, to the clock follower: the frame heard at the moment the
// server measured (what it has read of the stream less what its sink still
// holds), that moment taken from the wall clock to the monotonic one. As
// measured, not as libpulse's interpolation smooths it: a step of the
// stream shows at once. PipeWire's PulseAudio service counts a period as
// read when it takes it for the graph's next cycle and reports no latency
// for it, so there one period (the request size, minreq) more is held back;
// without it every click came a period (about 5 ms) later than on
// PulseAudio. The first report also fixes the delay from beep to click for
// the stream's life: what the stream's latency and one wait for the
// server's next request take, with room to spare, and at least the overall
// latency asked for; from then on the stream plays beeps.
void ClickStream::Sound::followClock()
{
    const pa_timing_info* timing = stream ? pa_stream_get_timing_info(stream) : nullptr;
    // Nothing read yet: the sink is still waking up, its latency counting
    // down; the stream's frames are tied to the clock once they flow.
    if (!timing || timing->read_index_corrupt || timing->read_index <= 0)
        return;
    timespec wall{};
    clock_gettime(CLOCK_REALTIME, &wall);
    const int64_t wallNs = int64_t(wall.tv_sec) * 1000000000 + wall.tv_nsec;
    const int64_t measuredWallNs = int64_t(timing->timestamp.tv_sec) * 1000000000 + int64_t(timing->timestamp.tv_usec) * 1000;
    const double streamRate = rate.load(std::memory_order_relaxed);
    const pa_buffer_attr* buffer = pa_stream_get_buffer_attr(stream);
    const double unreported = holdsUnreportedPeriod && buffer ? double(buffer->minreq) / sizeof(float) : 0.0;
    const double heard = double(timing->read_index) / sizeof(float) - unreported - double(timing->sink_usec) * streamRate / 1e6;
    clock.observe(monotonicNs() - (wallNs - measuredWallNs), heard);
    if (latencyNs.load(std::memory_order_relaxed) != 0)
        return;
    pa_usec_t latency = 0;
    int negative = 0;
    if (pa_stream_get_latency(stream, &latency, &negative) < 0 || !buffer)
        return;
    const pa_usec_t request = pa_bytes_to_usec(buffer->minreq, pa_stream_get_sample_spec(stream));
    const pa_usec_t needed = (negative ? 0 : latency) + request + kSpareUs;
    const int64_t delayNs = int64_t(std::max(needed, kTargetLatencyUs)) * 1000;
    latencyNs.store(delayNs, std::memory_order_relaxed);
    placer.emplace(delayNs, kLateToleranceNs);
    // Beeps are clicks from now: each one's frame can be told.
    connections.fetch_add(1, std::memory_order_relaxed);
    state.store(SoundState::Playing, std::memory_order_release);
}

// Gives each beep handed over since the last block its click's frame, or
// drops it when that frame is past (ClickPlacer). Clicks placed before whose
// frames the server has passed meanwhile (a block came late) are dropped
// too. Until the stream's timing is known, beeps wait.
void ClickStream::Sound::placeClicks()
{
    if (!placer || !clock.known())
        return;
    // The server plays on through a block that comes late (as silence), so
    // frames it has passed by the time a block written now reaches it are
    // lost: no click may begin there.
    const int64_t earliest = std::max(written, clock.clock().frameAt(monotonicNs() + kReachNs));
    const auto lost = std::erase_if(starts, [&](int64_t start) { return start >= written && start < earliest; });
    lateClicks.fetch_add(lost, std::memory_order_relaxed);
    int64_t flashNs = 0;
    while (flashes.pop(flashNs)) {
        if (const std::optional<int64_t> start = placer->place(clock.clock(), clock.starts(), flashNs, earliest))
            starts.push_back(*start);
        else
            lateClicks.fetch_add(1, std::memory_order_relaxed);
    }
}

// The server asks for `bytes` more: silence with the clicks in it.
void ClickStream::Sound::fill(size_t bytes)
{
    askTiming();
    placeClicks();
    while (bytes >= sizeof(float)) {
        void* data = nullptr;
        size_t size = bytes;
        if (pa_stream_begin_write(stream, &data, &size) < 0 || !data) {
            lostServer();
            return;
        }
        size -= size % sizeof(float);
        if (size == 0) { // no room for a whole frame: the next request brings it
            pa_stream_cancel_write(stream);
            return;
        }
        const std::span<float> block(static_cast<float*>(data), size / sizeof(float));
        click::mixBlock(block, written, starts, click);
        if (pa_stream_write(stream, data, size, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
            lostServer();
            return;
        }
        written += int64_t(block.size());
        bytes -= size;
        const auto done = std::erase_if(starts, [this](int64_t start) { return start + int64_t(click.size()) <= written; });
        clicks.fetch_add(done, std::memory_order_relaxed);
    }
}

ClickStream::ClickStream() : sound_(std::make_unique<Sound>())
{
    Sound& sound = *sound_;
    sound.loop = pa_threaded_mainloop_new();
    if (!sound.loop) {
        sound.fail();
        return;
    }
    sound.connect();
    if (pa_threaded_mainloop_start(sound.loop) < 0)
        sound.fail();
}

ClickStream::~ClickStream()
{
    Sound& sound = *sound_;
    if (sound.loop)
        pa_threaded_mainloop_stop(sound.loop);
    sound.closeConnection();
    if (sound.loop)
        pa_threaded_mainloop_free(sound.loop); // with the retry's timer, if any
}

SoundState ClickStream::state() const
{
    return sound_->state.load(std::memory_order_acquire);
}

SoundStatus ClickStream::status() const
{
    return {state(), sound_->rate.load(), sound_->latencyNs.load(), sound_->clicks.load(),
            sound_->lateClicks.load(), sound_->connections.load()};
}

bool ClickStream::post(int64_t flashNs)
{
    return state() == SoundState::Playing && sound_->flashes.push(flashNs);
}

} // namespace platform
