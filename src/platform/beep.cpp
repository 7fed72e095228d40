#include "platform/platform.h"

#include "platform/click_stream.h"

#include <QApplication>
#include <memory>
#include <utility>

namespace platform {

namespace {

std::function<void(uint32_t)>& beepSink()
{
    static std::function<void(uint32_t)> sink;
    return sink;
}

std::function<void(uint32_t, int64_t)>& beepObserver()
{
    static std::function<void(uint32_t, int64_t)> observer;
    return observer;
}

// The stream of the sound setting; none while the sound is off. Closed at
// the latest when the program ends.
std::unique_ptr<ClickStream>& clickStream()
{
    static std::unique_ptr<ClickStream> stream;
    return stream;
}

} // namespace

void MessageBeep(uint32_t type)
{
    // The moment of the beep, taken first: the click is placed from it.
    const int64_t now = monotonicNs();
    if (const auto& observer = beepObserver())
        observer(type, now);
    if (const auto& sink = beepSink()) {
        sink(type);
        return;
    }
    // Every beep type sounds the same simple beep: the click while the sound
    // server's stream plays, the window system's bell otherwise.
    if (const auto& stream = clickStream(); stream && stream->post(now))
        return;
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::beep();
}

void setBeepSink(std::function<void(uint32_t)> sink)
{
    beepSink() = std::move(sink);
}

void setBeepObserver(std::function<void(uint32_t type, int64_t monotonicNs)> observer)
{
    beepObserver() = std::move(observer);
}

void setSoundOn(bool on)
{
    auto& stream = clickStream();
    if (!on) {
        stream.reset();
        return;
    }
    // A stream that failed is given up; "on" again asks the server anew.
    if (!stream || stream->state() == SoundState::Failed) {
        stream.reset();
        stream = std::make_unique<ClickStream>();
    }
}

SoundStatus soundStatus()
{
    const auto& stream = clickStream();
    return stream ? stream->status() : SoundStatus{};
}

} // namespace platform
