#pragma once
// The display fonts are kept sized by character height in pixels, so that a
// size in points can always be read back from them. These give a font its
// size that way.

#include <QFont>

namespace display {

// The font with a size of `points` whole points on a screen of `dpi` pixels
// per inch, set as a character height in pixels; face, style and the rest stay.
QFont withPointSize(QFont font, int points, int dpi);

// A font as a dialog chose it, sized by character height: a font sized in
// points (as the toolkit's font dialog reports it) gets the matching height
// in pixels for `dpi`; a font already sized in pixels is returned unchanged.
QFont sizedInPixels(const QFont& font, int dpi);

} // namespace display
