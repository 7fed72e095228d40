// make_icons: draws Mireldo's icon, a stack of flashcards with a lime
// question band, a blue brain wave and a yellow answer flash.
//
//   cmake --build build --target mireldo_make_icons
//   build/mireldo_make_icons resources/icons
//
// Writes mireldo-32.png (32 x 32, a 16-colour palette whose first entry is
// transparent, drawn pixel for pixel) and mireldo-48.png, -64, -128 and -256
// (the same drawing smoothed, at the sizes the hicolor icon theme expects of
// a menu entry). The committed images are this program's output.

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QStringList>
#include <QtMath>

#include <cstdio>

namespace {

// The 16-colour palette: transparent, then fifteen of the classic colours.
const QList<QRgb> kPalette = {
    qRgba(0, 0, 0, 0),                          // transparent
    qRgb(0, 0, 0),       qRgb(255, 255, 255),   // black, white
    qRgb(192, 192, 192), qRgb(128, 128, 128),   // silver, grey
    qRgb(0, 0, 128),     qRgb(0, 0, 255),       // navy, blue
    qRgb(0, 128, 0),     qRgb(0, 255, 0),       // green, lime
    qRgb(128, 128, 0),   qRgb(255, 255, 0),     // olive, yellow
    qRgb(128, 0, 0),     qRgb(255, 0, 0),       // maroon, red
    qRgb(0, 128, 128),   qRgb(0, 255, 255),     // teal, aqua
    qRgb(128, 0, 128),                          // purple
};

QColor paletteColor(int index) { return QColor::fromRgba(kPalette.at(index)); }
enum { Black = 1, White, Silver, Grey, Navy, Blue, Green, Lime, Olive, Yellow };

// The design on a 32-unit grid; `smooth` selects antialiasing for the large
// size. Rectangles are given by their inclusive pixel corners on the grid.
void drawIcon(QPainter& p, bool smooth)
{
    p.setRenderHint(QPainter::Antialiasing, smooth);
    const qreal pen = smooth ? 1.0 : 0.0; // 0: a cosmetic one-pixel line
    const auto box = [](int x0, int y0, int x1, int y1) {
        return QRectF(x0 + 0.5, y0 + 0.5, x1 - x0, y1 - y0);
    };

    // The card behind: grey outline, silver face.
    p.setPen(QPen(paletteColor(Grey), pen));
    p.setBrush(paletteColor(Silver));
    p.drawRect(box(8, 3, 29, 21));

    // Its shadow on the front card's right and bottom.
    p.setPen(Qt::NoPen);
    p.setBrush(paletteColor(Grey));
    p.drawRect(QRectF(4, 26, 22, 2));
    p.drawRect(QRectF(25, 10, 2, 18));

    // The front card: black outline, white face.
    p.setPen(QPen(paletteColor(Black), pen));
    p.setBrush(paletteColor(White));
    p.drawRect(box(2, 8, 24, 26));

    // The question band: lime with two dark text lines.
    p.setPen(Qt::NoPen);
    p.setBrush(paletteColor(Lime));
    p.drawRect(QRectF(4, 10, 19, 6));
    p.setBrush(paletteColor(Green));
    p.drawRect(QRectF(6, 12, 11, 1));
    p.drawRect(QRectF(6, 14, 7, 1));

    // The wave across the lower half of the card: two periods of ten units.
    // The small icon places its pixels by hand so that the curve reads
    // cleanly; the large one draws the sine itself.
    p.setBrush(Qt::NoBrush);
    if (smooth) {
        QPolygonF wave;
        for (int i = 0; i <= 76; ++i) {
            const qreal x = 4.5 + i / 4.0;
            wave << QPointF(x, 21.5 - 2.4 * qSin(2.0 * M_PI * (x - 4.5) / 10.0));
        }
        p.setPen(QPen(paletteColor(Blue), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(wave);
    } else {
        static const int rise[10] = {0, -1, -2, -2, -1, 0, 1, 2, 2, 1};
        p.setPen(QPen(paletteColor(Blue), 0));
        for (int x = 4; x <= 22; ++x)
            p.drawPoint(x, 21 + rise[(x - 4) % 10]);
    }

    // The answer flash: a yellow four-pointed star outlined in olive.
    QPainterPath star;
    const QPointF c(25.5, 6.5);
    const qreal outer = 5.5, inner = 1.6;
    for (int k = 0; k < 8; ++k) {
        const qreal r = (k % 2 == 0) ? outer : inner;
        const qreal a = -M_PI / 2 + k * M_PI / 4;
        const QPointF pt(c.x() + r * qCos(a), c.y() + r * qSin(a));
        if (k == 0)
            star.moveTo(pt);
        else
            star.lineTo(pt);
    }
    star.closeSubpath();
    p.setPen(QPen(paletteColor(Olive), pen));
    p.setBrush(paletteColor(Yellow));
    p.drawPath(star);
}

QImage drawSmall()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        drawIcon(p, false);
    }
    // Every pixel is a palette colour already: the conversion is exact.
    return image.convertToFormat(QImage::Format_Indexed8, kPalette,
                                 Qt::ThresholdDither | Qt::AvoidDither);
}

QImage drawLarge(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.scale(size / 32.0, size / 32.0);
    drawIcon(p, true);
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: mireldo_make_icons <output folder>\n");
        return 2;
    }
    const QString folder = args.at(1);
    bool ok = drawSmall().save(folder + QStringLiteral("/mireldo-32.png"));
    for (const int size : {48, 64, 128, 256})
        ok = ok && drawLarge(size).save(folder + QStringLiteral("/mireldo-%1.png").arg(size));
    if (!ok) {
        std::fprintf(stderr, "mireldo_make_icons: cannot write into %s\n", qPrintable(folder));
        return 1;
    }
    return 0;
}
