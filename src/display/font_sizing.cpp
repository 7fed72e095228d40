#include "display/font_sizing.h"

#include "text/font_points.h"

namespace display {

QFont withPointSize(QFont font, int points, int dpi)
{
    font.setPixelSize(pixelsFromPoints(points, dpi));
    return font;
}

QFont sizedInPixels(const QFont& font, int dpi)
{
    if (font.pixelSize() > 0)
        return font;
    // QFont::pointSize() is the size rounded to whole points.
    return withPointSize(font, font.pointSize(), dpi);
}

} // namespace display
