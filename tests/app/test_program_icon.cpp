// The window's icon: the 32 x 32 16-colour image compiled into the program,
// with its larger form for menus and docks.

#include "app/Un_subri1.h"

#include <QImage>
#include <QSet>
#include <QTest>

class TestProgramIcon : public QObject {
    Q_OBJECT
private slots:
    void windowCarriesBothSizes();
    void smallIconHasSixteenColours();
};

void TestProgramIcon::windowCarriesBothSizes()
{
    TForm1 form;
    const QList<QSize> sizes = form.windowIcon().availableSizes();
    QVERIFY2(sizes.contains(QSize(32, 32)), "no 32 x 32 image: the resources are not compiled in");
    QVERIFY(sizes.contains(QSize(128, 128)));
}

void TestProgramIcon::smallIconHasSixteenColours()
{
    TForm1 form;
    const QImage image = form.windowIcon().pixmap(QSize(32, 32)).toImage();
    QCOMPARE(image.size(), QSize(32, 32));
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    QVERIFY2(colours.size() <= 16, qPrintable(QString::number(colours.size())));
    QVERIFY(colours.contains(qRgba(0, 0, 0, 0))); // transparent around the cards
}

QTEST_MAIN(TestProgramIcon)
#include "test_program_icon.moc"
