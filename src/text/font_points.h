#pragma once
// Font sizes are whole points; fonts are set by character height in pixels.
// These convert between the two by the screen's pixels per inch.

namespace display {

// Size in points of a font whose character height is pixelHeight:
// pixelHeight * 72 / dpi, rounded to the nearest whole number, halves away
// from zero (80 px at 96 dpi -> 60 pt, at 120 dpi -> 48 pt).
// A dpi below 1 is taken as 96; the result is clamped to the int range.
int pointsFromPixels(int pixelHeight, int dpi);

// Character height in pixels of a font of the given size in points:
// points * dpi / 72, rounded the same way (48 pt at 96 dpi -> 64 px).
// A dpi below 1 is taken as 96; the result is clamped to the int range.
int pixelsFromPoints(int points, int dpi);

} // namespace display
