#include "platform/platform.h"

#include <chrono>
#include <utility>

namespace platform {

namespace {

std::function<uint32_t()>& tickCountSource()
{
    static std::function<uint32_t()> source;
    return source;
}

// The monotonic clock counts from system start on Linux; its milliseconds,
// cut to 32 bits, wrap like the desktop counter the program expects.
uint32_t systemTickCount()
{
    const auto sinceOrigin = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceOrigin).count());
}

} // namespace

uint32_t GetTickCount()
{
    const auto& source = tickCountSource();
    return source ? source() : systemTickCount();
}

void setTickCountSource(std::function<uint32_t()> source)
{
    tickCountSource() = std::move(source);
}

} // namespace platform
