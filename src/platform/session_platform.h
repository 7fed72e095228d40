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

} // namespace platform
