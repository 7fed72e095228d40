#include "text/font_points.h"

#include <QtTest>

using display::pixelsFromPoints;
using display::pointsFromPixels;

class TestFontPoints : public QObject {
    Q_OBJECT
private slots:
    void points_data();
    void points();
    void pixels_data();
    void pixels();
};

void TestFontPoints::points_data()
{
    QTest::addColumn<int>("pixels");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("points");

    QTest::newRow("80 px at 96") << 80 << 96 << 60;
    QTest::newRow("80 px at 120") << 80 << 120 << 48;
    QTest::newRow("17 px at 96 rounds up") << 17 << 96 << 13;
    QTest::newRow("half rounds away from zero") << 2 << 96 << 2;
    QTest::newRow("negative half away from zero") << -2 << 96 << -2;
    QTest::newRow("no dpi taken as 96") << 80 << 0 << 60;
    QTest::newRow("huge height clamps") << std::numeric_limits<int>::max() << 1
                                        << std::numeric_limits<int>::max();
}

void TestFontPoints::points()
{
    QFETCH(int, pixels);
    QFETCH(int, dpi);
    QFETCH(int, points);
    QCOMPARE(pointsFromPixels(pixels, dpi), points);
}

void TestFontPoints::pixels_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("pixels");

    QTest::newRow("48 pt at 96") << 48 << 96 << 64;
    QTest::newRow("28 pt at 96") << 28 << 96 << 37;
    QTest::newRow("20 pt at 96") << 20 << 96 << 27;
    QTest::newRow("48 pt at 120") << 48 << 120 << 80;
    QTest::newRow("half rounds away from zero") << 3 << 60 << 3;
    QTest::newRow("negative half away from zero") << -3 << 60 << -3;
    QTest::newRow("negative dpi taken as 96") << 48 << -5 << 64;
}

void TestFontPoints::pixels()
{
    QFETCH(int, points);
    QFETCH(int, dpi);
    QFETCH(int, pixels);
    QCOMPARE(pixelsFromPoints(points, dpi), pixels);
}

QTEST_APPLESS_MAIN(TestFontPoints)
#include "test_font_points.moc"
