#include "platform/click_stream.h"

#include "platform/PresentationTimer.h"
#include "platform/click_sound.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <ctime>
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
    std::atomic<SoundState> state{SoundState::Connecting};
    FlashQueue flashes;
    std::atomic<uint32_t> rate{0};
    std::atomic<int64_t> latencyNs{0};
    std::atomic<uint64_t> clicks{0};
    std::atomic<uint64_t> lateClicks{0};

    // The sound thread's own.
    std::vector<float> click;
    std::vector<int64_t> starts; // first frames of the clicks not yet fully written
    int64_t written = 0;         // frames handed to the server so far
    int64_t lastStart = 0;       // of the latest click
    click::StreamClock clock;

    void fail() { state.store(SoundState::Failed, std::memory_order_release); }
    void openStream(uint32_t sinkRate);
    void fill(size_t bytes);
    void followClock();
    void placeClicks();

    static void contextChanged(pa_context* context, void* self);
    static void sinkFound(pa_context* context, const pa_sink_info* sink, int last, void* self);
    static void streamChanged(pa_stream* stream, void* self);
    static void writeRequested(pa_stream* stream, size_t bytes, void* self);
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

} // namespace

void ClickStream::Sound::contextChanged(pa_context* context, void* self)
{
    auto* sound = static_cast<Sound*>(self);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        // The click is made at the rate of the sink it plays on.
        if (pa_operation* lookup = pa_context_get_sink_info_by_name(context, "@DEFAULT_SINK@", sinkFound, self))
            pa_operation_unref(lookup);
        else
            sound->fail();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        sound->fail();
        break;
    default:
        break;
    }
}

void ClickStream::Sound::sinkFound(pa_context*, const pa_sink_info* sink, int last, void* self)
{
    auto* sound = static_cast<Sound*>(self);
    if (sink && !sound->stream)
        sound->openStream(sink->sample_spec.rate);
    else if (last != 0 && !sound->stream) // no default sink
        sound->fail();
}

// Mono at the sink's own rate: the server plays it on every channel and
// never resamples it.
void ClickStream::Sound::openStream(uint32_t sinkRate)
{
    const pa_sample_spec sampleFormat{PA_SAMPLE_FLOAT32NE, sinkRate, 1};
    click = click::makeClick(sampleFormat.rate);
    clock.rate = sampleFormat.rate;
    rate.store(sampleFormat.rate);
    pa_proplist* properties = programProperties();
    stream = pa_stream_new_with_proplist(context, "beep", &sampleFormat, nullptr, properties);
    pa_proplist_free(properties);
    if (!stream) {
        fail();
        return;
    }
    pa_stream_set_state_callback(stream, streamChanged, this);
    pa_stream_set_write_callback(stream, writeRequested, this);
    pa_buffer_attr buffer{};
    buffer.maxlength = uint32_t(-1);
    buffer.tlength = uint32_t(pa_usec_to_bytes(kTargetLatencyUs, &sampleFormat));
    // Playing from the start and on through a late block, never pausing to
    // fill up again: the stream's frames stay tied to the clock, so every
    // click placed is heard at its time.
    buffer.prebuf = 0;
    buffer.minreq = uint32_t(-1);
    buffer.fragsize = uint32_t(-1);
    const auto flags = pa_stream_flags_t(PA_STREAM_ADJUST_LATENCY | PA_STREAM_INTERPOLATE_TIMING
                                         | PA_STREAM_AUTO_TIMING_UPDATE);
    // To the default sink by no name, so that the stream follows the user
    // to another output.
    if (pa_stream_connect_playback(stream, nullptr, &buffer, flags, nullptr, nullptr) < 0)
        fail();
}

void ClickStream::Sound::streamChanged(pa_stream* stream, void* self)
{
    auto* sound = static_cast<Sound*>(self);
    switch (pa_stream_get_state(stream)) {
    case PA_STREAM_READY:
        sound->state.store(SoundState::Playing, std::memory_order_release);
        break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        sound->fail();
        break;
    default:
        break;
    }
}

void ClickStream::Sound::writeRequested(pa_stream*, size_t bytes, void* self)
{
    static_cast<Sound*>(self)->fill(bytes);
}

// Ties the stream's frames to the monotonic clock: the server's (smoothed)
// time of the frame heard now. Followed at every block, so a sound card
// whose clock runs a little fast or slow against the system's is followed.
// The first time also fixes the delay from beep to click for the stream's
// life: what the stream's latency and one wait for the server's next request
// take, with room to spare, and at least the overall latency asked for.
void ClickStream::Sound::followClock()
{
    pa_usec_t heard = 0;
    if (pa_stream_get_time(stream, &heard) < 0)
        return;
    clock.zeroNs = monotonicNs() - int64_t(heard) * 1000;
    if (latencyNs.load(std::memory_order_relaxed) != 0)
        return;
    pa_usec_t latency = 0;
    int negative = 0;
    const pa_buffer_attr* buffer = pa_stream_get_buffer_attr(stream);
    if (pa_stream_get_latency(stream, &latency, &negative) < 0 || !buffer)
        return;
    const pa_usec_t request = pa_bytes_to_usec(buffer->minreq, pa_stream_get_sample_spec(stream));
    const pa_usec_t needed = (negative ? 0 : latency) + request + kSpareUs;
    latencyNs.store(int64_t(std::max(needed, kTargetLatencyUs)) * 1000, std::memory_order_relaxed);
}

// Gives each beep handed over since the last block the frame heard its
// delay after it, or, when that one is past, the first frame still to be
// heard. Beeps held up together (the sound thread was kept waiting) stay the
// presentation timer's shortest tick apart, so each is a click of its own.
void ClickStream::Sound::placeClicks()
{
    const int64_t delayNs = latencyNs.load(std::memory_order_relaxed);
    const int64_t spacing = int64_t(clock.rate) * PresentationTimer::GranularityMs / 1000;
    // The server plays on through a block that comes late (as silence), so
    // frames it has passed by the time a block written now reaches it are
    // lost: no click may begin there.
    const int64_t earliest = delayNs != 0 ? std::max(written, clock.frameAt(monotonicNs() + kReachNs)) : written;
    int64_t next = earliest;
    for (int64_t& start : starts) {
        if (start < written)
            continue; // begun: it goes on where it is
        if (start < next) {
            start = next;
            lateClicks.fetch_add(1, std::memory_order_relaxed);
        }
        next = start + spacing;
    }
    int64_t flashNs = 0;
    while (flashes.pop(flashNs)) {
        int64_t start = delayNs != 0 ? click::clickStart(clock, flashNs, delayNs, earliest) : earliest;
        if (clicks.load(std::memory_order_relaxed) > 0)
            start = std::max(start, lastStart + spacing);
        if (delayNs == 0 || start == earliest)
            lateClicks.fetch_add(1, std::memory_order_relaxed);
        clicks.fetch_add(1, std::memory_order_relaxed);
        starts.push_back(start);
        lastStart = start;
    }
}

// The server asks for `bytes` more: silence with the clicks in it.
void ClickStream::Sound::fill(size_t bytes)
{
    followClock();
    placeClicks();
    while (bytes >= sizeof(float)) {
        void* data = nullptr;
        size_t size = bytes;
        if (pa_stream_begin_write(stream, &data, &size) < 0 || !data) {
            fail();
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
            fail();
            return;
        }
        written += int64_t(block.size());
        bytes -= size;
        std::erase_if(starts, [this](int64_t start) { return start + int64_t(click.size()) <= written; });
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
    pa_proplist* properties = programProperties();
    sound.context = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(sound.loop), "Mireldo", properties);
    pa_proplist_free(properties);
    if (!sound.context) {
        sound.fail();
        return;
    }
    pa_context_set_state_callback(sound.context, Sound::contextChanged, &sound);
    // Only a server that is already running: no daemon of our own.
    if (pa_context_connect(sound.context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0
        || pa_threaded_mainloop_start(sound.loop) < 0)
        sound.fail();
}

ClickStream::~ClickStream()
{
    Sound& sound = *sound_;
    if (sound.loop)
        pa_threaded_mainloop_stop(sound.loop);
    if (sound.stream) {
        pa_stream_set_state_callback(sound.stream, nullptr, nullptr);
        pa_stream_set_write_callback(sound.stream, nullptr, nullptr);
        pa_stream_disconnect(sound.stream);
        pa_stream_unref(sound.stream);
    }
    if (sound.context) {
        pa_context_set_state_callback(sound.context, nullptr, nullptr);
        pa_context_disconnect(sound.context);
        pa_context_unref(sound.context);
    }
    if (sound.loop)
        pa_threaded_mainloop_free(sound.loop);
}

SoundState ClickStream::state() const
{
    return sound_->state.load(std::memory_order_acquire);
}

SoundStatus ClickStream::status() const
{
    return {state(), sound_->rate.load(), sound_->latencyNs.load(), sound_->clicks.load(),
            sound_->lateClicks.load()};
}

bool ClickStream::post(int64_t flashNs)
{
    return state() == SoundState::Playing && sound_->flashes.push(flashNs);
}

} // namespace platform
