#pragma once
// Closing the window ends the program. A window closed the usual way (the
// window manager's close request) does that through the toolkit; an X11
// window destroyed by another program (a task tool, `xdotool windowclose`)
// would otherwise leave the program running without any window.

class QWidget;

namespace platform {

// Ends the application's event loop when the native X11 window of `window`
// is destroyed by someone else. Does nothing on other window systems.
void quitWhenDestroyedOutside(QWidget* window);

} // namespace platform
