// Fonts of the question and answer memos and the arrangement of the answer
// beside or over the question.

#include "app/Un_subri1.h"
#include "widgets/dialogs.h"
#include "platform/platform.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

class TestStyles : public QObject {
    Q_OBJECT
private slots:
    void sizePresetsChangeOnlyTheSize_data();
    void sizePresetsChangeOnlyTheSize();
    void fontDialogGivesBothMemosTheChosenFont();
    void fontDialogSizeInPointsBecomesPixels();
    void cancelledFontDialogChangesNothing();
    void toggleReadsTheArrangementFromThePositions();
    void focusOnASubliminalPresetLeavesBeforeTheToggle();
};

void TestStyles::sizePresetsChangeOnlyTheSize_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("pixels");
    QTest::newRow("48 pt") << QStringLiteral("Button12") << 64;
    QTest::newRow("28 pt") << QStringLiteral("Button13") << 37;
    QTest::newRow("20 pt") << QStringLiteral("Button14") << 27;
}

// At 96 dpi. Face and style chosen in the dialog stay, and so do places.
void TestStyles::sizePresetsChangeOnlyTheSize()
{
    QFETCH(QString, button);
    QFETCH(int, pixels);
    TForm1 form;
    QFont chosen(QStringLiteral("IPAGothic"));
    chosen.setPixelSize(50);
    chosen.setItalic(true);
    platform::scriptFontDialog(chosen);
    form.Button11Click();
    const QRect memo2 = form.Memo2->geometry();
    const QRect memo3 = form.Memo3->geometry();
    const QColor text = form.Memo2->palette().color(QPalette::Text);

    form.findChild<QPushButton*>(button)->click();
    for (QPlainTextEdit* memo : {form.Memo2, form.Memo3}) {
        QCOMPARE(memo->font().pixelSize(), pixels);
        QCOMPARE(memo->font().family(), QStringLiteral("IPAGothic"));
        QCOMPARE(memo->font().italic(), true);
    }
    QCOMPARE(form.Memo2->geometry(), memo2);
    QCOMPARE(form.Memo3->geometry(), memo3);
    QCOMPARE(form.Memo2->palette().color(QPalette::Text), text);
}

// The dialog opens with the question memo's font even when the answer memo's
// differs; both memos take the chosen font.
void TestStyles::fontDialogGivesBothMemosTheChosenFont()
{
    TForm1 form;
    form.Button14Click();
    QFont answerOnly = form.Memo3->font();
    answerOnly.setBold(true);
    form.Memo3->setFont(answerOnly);

    platform::scriptFontDialogCancel();
    form.Button11Click();
    QCOMPARE(form.FontDialog1->font(), form.Memo2->font());

    QFont chosen(QStringLiteral("IPAGothic"));
    chosen.setPixelSize(40);
    chosen.setUnderline(true);
    platform::scriptFontDialog(chosen);
    form.Button11Click();
    QCOMPARE(form.Memo2->font(), chosen);
    QCOMPARE(form.Memo3->font(), chosen);
}

// The toolkit's dialog reports a size in points; the memos keep their fonts
// sized by pixel height so that later size readings work.
void TestStyles::fontDialogSizeInPointsBecomesPixels()
{
    TForm1 form;
    platform::scriptFontDialog(QFont(QStringLiteral("IPAPGothic"), 30));
    form.Button11Click();
    QCOMPARE(form.Memo2->font().pixelSize(), 40);
    QCOMPARE(form.Memo3->font().pixelSize(), 40);
    QCOMPARE(form.Memo3->font().family(), QStringLiteral("IPAPGothic"));
}

void TestStyles::cancelledFontDialogChangesNothing()
{
    TForm1 form;
    const QFont before2 = form.Memo2->font();
    const QFont before3 = form.Memo3->font();
    platform::scriptFontDialogCancel();
    form.Button11->click();
    QCOMPARE(form.Memo2->font(), before2);
    QCOMPARE(form.Memo3->font(), before3);
    QCOMPARE(form.Memo2->font().pixelSize(), 80);
}

// The design caption never comes back; the overlay is exactly "same top as
// the question memo", wherever the answer memo was moved.
void TestStyles::toggleReadsTheArrangementFromThePositions()
{
    TForm1 form;
    QCOMPARE(form.Button28->text(), QStringLiteral("ｻﾌﾞﾘ的ﾍ"));
    struct Step {
        int top;
        int labelTop;
        const char16_t* caption;
    };
    const Step expected[] = {{168, 0, u"別々へ"}, {276, 32, u"ｻﾌﾞﾘ的"}, {168, 0, u"別々へ"}};
    for (const Step& step : expected) {
        form.Button28->click();
        QCOMPARE(form.Memo3->y(), step.top);
        QCOMPARE(form.Label8->y(), step.labelTop);
        QCOMPARE(form.Button28->text(), QString::fromUtf16(step.caption));
    }
    QCOMPARE(form.Memo3->x(), form.Memo2->x());
    QCOMPARE(form.Memo3->size(), form.Memo2->size());

    form.Memo3->move(form.Memo3->x(), 200); // neither arrangement's top
    form.Button28Click();
    QCOMPARE(form.Memo3->y(), 168);
    form.Button7Exit();
    QCOMPARE(form.Memo3->y(), 276);
    QCOMPARE(form.Label8->y(), 32);
}

// The press on the toggle takes the focus from the preset first: the preset's
// focus-leave separates the memos, then the click lays the answer over again.
void TestStyles::focusOnASubliminalPresetLeavesBeforeTheToggle()
{
    TForm1 form;
    form.setEnabledAfterLoad(true);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTest::mouseClick(form.Button7, Qt::LeftButton);
    QCOMPARE(form.Memo3->y(), 168);

    QTest::mousePress(form.Button28, Qt::LeftButton);
    QCOMPARE(form.focusWidget(), form.Button28);
    QCOMPARE(form.Memo3->y(), 276); // left the preset: separate
    QTest::mouseRelease(form.Button28, Qt::LeftButton);
    QCOMPARE(form.Memo3->y(), 168); // the toggle: overlay
    QCOMPARE(form.Label8->y(), 0);
    QCOMPARE(form.Button28->text(), QStringLiteral("別々へ"));
}

QTEST_MAIN(TestStyles)
#include "test_styles.moc"
