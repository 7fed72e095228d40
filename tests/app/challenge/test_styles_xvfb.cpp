// The answer arrangement as a real X server shows it: during an answer flash
// the answer memo covers the question memo in the overlay arrangement and
// stands below it in the separate one. Set MIRELDO_SCREENSHOTS to a folder to
// keep the screenshots.

#include "app/Un_subri1.h"
#include "platform/PresentationTimer.h"
#include "support/testsupport.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QColor kLime(0, 255, 0);
const QColor kYellow(255, 255, 0);

// The window as the X server shows it.
QImage screenOf(TForm1& form, const char* name)
{
    QTest::qWait(100); // let the server paint
    const QImage image = form.screen()->grabWindow(form.winId()).toImage();
    const QString folder = qEnvironmentVariable("MIRELDO_SCREENSHOTS");
    if (!folder.isEmpty())
        image.save(QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".png")));
    return image;
}

// A point near the right end of a memo's first line, clear of short texts.
QColor colourInside(const QImage& image, TForm1& form, const QPlainTextEdit* memo)
{
    const QPoint point = memo->mapTo(&form, QPoint(memo->width() - 20, 8));
    return image.pixelColor(point);
}

// Runs ticks by hand (the timer is held) until the answer is flashed.
void tickUntilAnswerFlash(TForm1& form)
{
    const int shownBefore = form.shownSinceStart;
    for (int tick = 0; tick < 200 && form.shownSinceStart == shownBefore; ++tick)
        form.Timer1Timer();
    QVERIFY(form.Memo3->isVisible());
}

} // namespace

class TestStylesOnScreen : public QObject {
    Q_OBJECT
private slots:
    void answerFlashInBothArrangements();
};

void TestStylesOnScreen::answerFlashInBothArrangements()
{
    QTemporaryDir folder;
    const QString path = testsupport::writeFile(
        folder.filePath(QStringLiteral("chiri.mon")),
        testsupport::monFile(QStringLiteral("地理"), QStringLiteral("日本の地理"),
                             {{QStringLiteral("日本の首都は？"), QStringLiteral("東京")},
                              {QStringLiteral("日本一高い山は？"), QStringLiteral("富士山")},
                              {QStringLiteral("日本一長い川は？"), QStringLiteral("信濃川")}}));

    TForm1 form;
    form.show();
    form.activateWindow(); // there is no window manager to do it
    QVERIFY(QTest::qWaitForWindowActive(&form));
    testsupport::openThroughDialog(form, path, 2);
    form.StringGrid1SelectCell(1, 1);
    form.RadioButton1->setChecked(true);
    form.Button16Click();
    form.Timer1->setActive(false);
    tickUntilAnswerFlash(form);
    screenOf(form, "challenge-page");

    // A subliminal preset pressed with the mouse: the answer over the question.
    QTest::mouseClick(form.Button7, Qt::LeftButton);
    form.Timer1->setActive(false);
    tickUntilAnswerFlash(form);
    QImage image = screenOf(form, "overlay-answer-flash");
    QCOMPARE(form.Memo3->geometry(), form.Memo2->geometry());
    QCOMPARE(colourInside(image, form, form.Memo2), kYellow);

    form.Timer1Timer(); // the question refresh hides the answer
    image = screenOf(form, "overlay-question");
    QCOMPARE(colourInside(image, form, form.Memo2), kLime);

    // Clicking the toggle while the preset has the focus: the preset's focus
    // leave separates, the click overlays again.
    QTest::mouseClick(form.Button28, Qt::LeftButton);
    QCOMPARE(form.Memo3->y(), form.Memo2->y());
    QCOMPARE(form.Button28->text(), QStringLiteral("別々へ"));

    // The toggle again: separate, the answer below the question.
    QTest::mouseClick(form.Button28, Qt::LeftButton);
    tickUntilAnswerFlash(form);
    image = screenOf(form, "separate-answer-flash");
    QCOMPARE(form.Memo3->y(), 276);
    QCOMPARE(colourInside(image, form, form.Memo2), kLime);
    QCOMPARE(colourInside(image, form, form.Memo3), kYellow);
}

QTEST_MAIN(TestStylesOnScreen)
#include "test_styles_xvfb.moc"
