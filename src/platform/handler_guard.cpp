#include "platform/handler_guard.h"

#include "platform/platform.h"

#include <exception>

namespace platform {

void HandlerGuard::run(const std::function<void()>& handler)
{
    if (depth_ > 0) {
        handler();
        return;
    }
    ++depth_;
    try {
        handler();
    } catch (const std::exception& error) {
        depth_ = 0;
        showErrorBox(QString::fromUtf8(error.what()));
        return;
    }
    --depth_;
}

} // namespace platform
