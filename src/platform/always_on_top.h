#pragma once
// The window's always-on-top style, changed on the shown window in place:
// it keeps its place, its size and the keyboard focus.

class QWidget;

namespace platform {

// Sets or clears the always-on-top style of a top-level window. Nothing
// happens when the window already has the asked-for style.
void setStaysOnTop(QWidget* window, bool onTop);

} // namespace platform
