#include "platform/handler_guard.h"

#include "platform/platform.h"

#include <QThread>
#include <exception>

namespace platform {

namespace {
int currentLoopLevel()
{
    return QThread::currentThread()->loopLevel();
}
} // namespace

bool HandlerGuard::insideHandler() const
{
    return !loopLevels_.isEmpty() && loopLevels_.back() == currentLoopLevel();
}

void HandlerGuard::run(const std::function<void()>& handler)
{
    if (insideHandler()) {
        handler();
        return;
    }
    const qsizetype depth = loopLevels_.size();
    loopLevels_.push_back(currentLoopLevel());
    try {
        handler();
    } catch (const std::exception& error) {
        loopLevels_.resize(depth);
        showErrorBox(QString::fromUtf8(error.what()));
        return;
    }
    loopLevels_.resize(depth);
}

} // namespace platform
