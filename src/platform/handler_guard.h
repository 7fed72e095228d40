#pragma once
// Entry point for every event that reaches a handler: runs it, and reports
// an error it raises through the error box instead of letting it unwind into
// the toolkit. A call made while a handler is running in the same event loop
// passes its errors on to that handler, so a failure ends the outer handler
// at the failing step. An event handled inside a nested event loop (a dialog
// or message box opened by a running handler) is an entry point of its own.

#include <QList>
#include <functional>

namespace platform {

class HandlerGuard {
public:
    void run(const std::function<void()>& handler);
    // True while a handler started through run() is running in the current event loop.
    bool insideHandler() const;

private:
    QList<int> loopLevels_; // event-loop level of each entry point on the stack
};

} // namespace platform
