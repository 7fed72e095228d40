#pragma once
// The beep's way to the speakers through the desktop's sound server
// (PulseAudio, or PipeWire through its PulseAudio service): one playback
// stream, opened while the sound is on and kept playing silence, into which
// each beep places a click at a fixed delay after the moment it was asked
// for. platform::setSoundOn opens and closes it; platform::MessageBeep hands
// it the beeps. The sound server's own thread runs the stream; the window's
// thread never waits for it. When the server goes away the stream asks for
// it again every second, and when the default output changes it reopens on
// the new one.

#include <cstdint>
#include <memory>

namespace platform {

enum class SoundState {
    Off,        // the sound is off
    Connecting, // asking the server for a stream (until its timing is known);
                // beeps ring the bell meanwhile
    Playing,    // the stream plays: beeps are clicks
    Failed,     // no server, or it went away: beeps ring the bell while the
                // stream asks for the server again every second
};

struct SoundStatus {
    SoundState state = SoundState::Off;
    uint32_t sampleRate = 0;  // the stream's, which is the sink's
    int64_t latencyNs = 0;    // from a beep to its click being heard
    uint64_t clicks = 0;      // clicks written to the stream since the sound went on
    uint64_t lateClicks = 0;  // beeps whose click would have come late: not played
    uint64_t connections = 0; // streams that reached playing since the sound went on
};

// What the beep's stream is doing now (tests, benchmarks).
SoundStatus soundStatus();

// The clock beeps and clicks are timed on: CLOCK_MONOTONIC in nanoseconds,
// the clock the sound server's own timing is kept on.
int64_t monotonicNs();

class ClickStream {
public:
    // Starts connecting to the sound server; returns at once.
    ClickStream();
    // Closes the stream and the connection.
    ~ClickStream();
    ClickStream(const ClickStream&) = delete;
    ClickStream& operator=(const ClickStream&) = delete;

    SoundState state() const;
    SoundStatus status() const;

    // On the window's thread: a beep asked for at flashNs (monotonic clock).
    // False when it cannot be a click (the stream does not play), so the
    // caller rings the bell instead. Never waits.
    bool post(int64_t flashNs);

    struct Sound; // what the sound server's thread works on

private:
    std::unique_ptr<Sound> sound_;
};

} // namespace platform
