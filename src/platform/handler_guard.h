#pragma once
// Entry point for every event that reaches a handler: runs it, and reports
// an error it raises through the error box instead of letting it unwind into
// the toolkit. Calls nested inside a running handler pass errors on to the
// caller, so a failure ends the outer handler at the failing step.

#include <functional>

namespace platform {

class HandlerGuard {
public:
    // Runs the handler; at the outermost level errors are caught and shown.
    void run(const std::function<void()>& handler);
    // True while a handler started through run() is on the stack.
    bool insideHandler() const { return depth_ > 0; }

private:
    int depth_ = 0;
};

} // namespace platform
