#pragma once
// The group box as designed: its frame line runs through the middle of its
// caption (the toolkit's own style starts the frame below the caption), so
// the controls placed just below the caption sit inside the frame.

class QStyle;

namespace display {

// One style for the whole run, built on the application's style; give it to
// group boxes with setStyle().
QStyle* designedGroupBoxStyle();

} // namespace display
