#include "platform/platform.h"

#include <QApplication>
#include <utility>

namespace platform {

namespace {

std::function<void(uint32_t)>& beepSink()
{
    static std::function<void(uint32_t)> sink;
    return sink;
}

} // namespace

void MessageBeep(uint32_t type)
{
    if (const auto& sink = beepSink()) {
        sink(type);
        return;
    }
    // Every beep type sounds the same simple beep here.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::beep();
}

void setBeepSink(std::function<void(uint32_t)> sink)
{
    beepSink() = std::move(sink);
}

} // namespace platform
