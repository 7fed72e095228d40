#pragma once
// The window's always-on-top style. The toolkit applies a change of window
// flags by hiding the window; a window that was shown is shown again at the
// same place, and made active again if it was.

class QWidget;

namespace platform {

// Sets or clears the always-on-top style of a top-level window. Nothing
// happens when the window already has the asked-for style.
void setStaysOnTop(QWidget* window, bool onTop);

} // namespace platform
