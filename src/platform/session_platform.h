#pragma once
// The screen-side strip stays on top of other windows through X11 window
// manager hints, which Wayland compositors do not honour for ordinary
// clients. In a Wayland session that offers XWayland, the program therefore
// starts on X11 unless the user has chosen a platform.

namespace platform {

// True when WAYLAND_DISPLAY and DISPLAY are both set, QT_QPA_PLATFORM is not,
// and the command line has no "-platform" argument.
bool startsOnXWayland(int argc, const char* const* argv);

// Before the application object exists: makes the toolkit use X11 when
// startsOnXWayland() says so.
void chooseSessionPlatform(int argc, const char* const* argv);

// Held while the application object is made. The toolkit ends the process
// when it cannot reach a display (no X server, no Wayland compositor, a
// platform it cannot load): then, instead of its English message and an
// abort, one Japanese line on standard error says that the program needs a
// graphical session, and the exit status is `exitStatus`. The toolkit's
// other messages meanwhile are held back and passed on when it started.
class ToolkitStartup {
public:
    explicit ToolkitStartup(int exitStatus);
    ~ToolkitStartup();
    ToolkitStartup(const ToolkitStartup&) = delete;
    ToolkitStartup& operator=(const ToolkitStartup&) = delete;
};

// The line printed when the toolkit cannot reach a display.
const char* noDisplayText();

} // namespace platform
