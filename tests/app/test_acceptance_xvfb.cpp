// One pass of use in the real window on a real X server, driven with real
// input only: mouse clicks on the tabs, the list cells and the buttons, keys
// typed into the fields. The program runs in a temporary program directory
// seeded with copies of the shipped documents and samples, so the saved mail
// template never touches a tracked file.
//
// Screenshots of every page go to $MIRELDO_SCREENSHOTS when set, else to
// "screenshots/" in the build folder.

#include "app/Un_subri1.h"
#include "widgets/PageControl.h"
#include "platform/PresentationTimer.h"
#include "widgets/StringGrid.h"
#include "platform/platform.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QWindow>

#include <memory>

#ifndef MIRELDO_SCREENSHOT_FOLDER
#define MIRELDO_SCREENSHOT_FOLDER "screenshots"
#endif

class TestAcceptanceXvfb : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    // In order: each step goes on from where the one before left the window.
    void programDirectoryIsTheStartFolder();
    void bothFormatsLoadAndAppendWithTheMouse();
    void rangeNarrowedByTyping();
    void scrolledTableKeepsItsFixedCells();
    void startAndAlphaFlashAnswers();
    void overlayPutsTheAnswerOverTheQuestion();
    void screenSideStripStaysOnTop();
    void explanationAndMailTemplateSaved();

private:
    void clickTab(QWidget* page);
    void clickListRow(int row);
    void typeInto(QLineEdit* field, const QString& text);
    // The window as the X server shows it.
    void saveScreen(const QString& name);
    void savePicture(const QPixmap& picture, const QString& name);
    // Waits for the next answer flash (taken after the tick's handler) and
    // returns the window's picture at that moment.
    QPixmap pictureAtNextFlash(QWidget* answer);
    QStringList questionsInRange() const;
    static QString byLines(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

    QString originalFolder_;
    QString dataFolder_;
    std::unique_ptr<QTemporaryDir> programFolder_;
    std::unique_ptr<testsupport::ErrorBoxes> errors_;
    std::unique_ptr<TForm1> form_;
    QString screenshots_;
};

void TestAcceptanceXvfb::initTestCase()
{
    const QString sample = QFINDTESTDATA("../../data/kencho.mon");
    QVERIFY(!sample.isEmpty());
    dataFolder_ = QFileInfo(sample).absolutePath();

    programFolder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(programFolder_->isValid());
    const QDir data(dataFolder_);
    for (const QString& name : data.entryList(QDir::Files))
        QVERIFY(QFile::copy(data.filePath(name), programFolder_->filePath(name)));

    screenshots_ = QDir(qEnvironmentVariable("MIRELDO_SCREENSHOTS", QStringLiteral(MIRELDO_SCREENSHOT_FOLDER)))
                       .absolutePath();
    QVERIFY(QDir().mkpath(screenshots_));

    // The program takes its directory from the current one at its first activation.
    originalFolder_ = QDir::currentPath();
    QVERIFY(QDir::setCurrent(programFolder_->path()));
    errors_ = std::make_unique<testsupport::ErrorBoxes>();
    form_ = std::make_unique<TForm1>();
    form_->move(20, 20);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
}

void TestAcceptanceXvfb::cleanupTestCase()
{
    const QStringList errorBoxes = errors_ ? errors_->texts : QStringList();
    form_.reset();
    errors_.reset();
    QDir::setCurrent(originalFolder_);
    programFolder_.reset();
    QCOMPARE(errorBoxes, QStringList()); // the whole pass without an error box
}

void TestAcceptanceXvfb::clickTab(QWidget* page)
{
    testsupport::clickTab(*form_, page);
    QTRY_COMPARE(form_->PageControl1->currentWidget(), page);
}

void TestAcceptanceXvfb::clickListRow(int row)
{
    testsupport::clickListRow(*form_, row);
}

void TestAcceptanceXvfb::typeInto(QLineEdit* field, const QString& text)
{
    QTest::mouseClick(field, Qt::LeftButton);
    QTRY_VERIFY(field->hasFocus());
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
}

void TestAcceptanceXvfb::saveScreen(const QString& name)
{
    savePicture(testsupport::windowOnScreen(*form_), name);
}

void TestAcceptanceXvfb::savePicture(const QPixmap& picture, const QString& name)
{
    QVERIFY(!picture.isNull());
    QVERIFY(picture.save(QDir(screenshots_).filePath(name)));
}

QPixmap TestAcceptanceXvfb::pictureAtNextFlash(QWidget* answer)
{
    QPixmap picture;
    bool hidden = false;
    const QMetaObject::Connection tick =
        connect(form_->Timer1, &platform::PresentationTimer::timeout, this, [&] {
            if (!answer->isVisible())
                hidden = true;
            else if (hidden && picture.isNull())
                picture = form_->grab();
        });
    if (!QTest::qWaitFor([&] { return !picture.isNull(); }, 5000))
        qWarning("no answer flash within 5 s");
    disconnect(tick);
    return picture;
}

QStringList TestAcceptanceXvfb::questionsInRange() const
{
    // Compared by their lines: a memo gives back CR LF as LF.
    QStringList questions;
    for (int row = form_->Edit6->text().toInt(); row <= form_->Edit8->text().toInt(); ++row)
        questions << byLines(form_->StringGrid2->cell(1, row));
    return questions;
}

void TestAcceptanceXvfb::programDirectoryIsTheStartFolder()
{
    QCOMPARE(QDir(form_->Edit14->text()).canonicalPath(), QDir(programFolder_->path()).canonicalPath());
    QVERIFY(form_->Edit14->text().endsWith(u'/'));
}

void TestAcceptanceXvfb::bothFormatsLoadAndAppendWithTheMouse()
{
    clickTab(form_->TabSheet2);
    QTRY_COMPARE(form_->windowHandle()->geometry().width(), 782); // narrow layout
    QVERIFY(!form_->Button16->isEnabled());

    // The text file: one list row, its questions appended by a click on it.
    platform::scriptOpenDialog(programFolder_->filePath("kencho.mon"), 2);
    QTest::mouseClick(form_->Button3, Qt::LeftButton);
    QCOMPARE(form_->StringGrid1->cell(1, 1), QStringLiteral("都道府県と県庁所在地"));
    clickListRow(1);
    const int textQuestions = form_->StringGrid2->rowCount() - 2;
    QCOMPARE(textQuestions, 47);
    QCOMPARE(form_->StringGrid2->cell(2, 2), QStringLiteral("青森市"));
    QVERIFY(form_->Button16->isEnabled());
    QVERIFY(form_->Button6->isEnabled());

    // The binary file: its eight genres listed, two of them appended.
    platform::scriptOpenDialog(programFolder_->filePath("sample.5tq"), 1);
    QTest::mouseClick(form_->Button3, Qt::LeftButton);
    QCOMPARE(form_->StringGrid1->rowCount(), 9);
    QCOMPARE(form_->StringGrid1->cell(0, 1), QStringLiteral("ジャンル1"));
    const int genre1 = form_->StringGrid1->cell(2, 1).toInt();
    const int genre2 = form_->StringGrid1->cell(2, 2).toInt();
    QVERIFY(genre1 > 0 && genre2 > 0);
    clickListRow(1);
    clickListRow(2);
    const int all = textQuestions + genre1 + genre2;
    QCOMPARE(form_->StringGrid2->rowCount(), all + 2);
    QCOMPARE(form_->StringGrid2->cell(3, textQuestions + 1), form_->StringGrid1->cell(1, 1));
    QCOMPARE(form_->StringGrid2->cell(3, all), form_->StringGrid1->cell(1, 2));
    QCOMPARE(form_->StringGrid2->cell(0, all), QString::number(all));
    QVERIFY(!form_->StringGrid2->cell(1, all).isEmpty());
    QCOMPARE(form_->Edit6->text(), QStringLiteral("1"));
    QCOMPARE(form_->Edit8->text(), QString::number(all));
    QCOMPARE(form_->Edit7->text(), QString::number(all));
}

void TestAcceptanceXvfb::rangeNarrowedByTyping()
{
    typeInto(form_->Edit6, QStringLiteral("3"));
    typeInto(form_->Edit8, QStringLiteral("40"));
    QCOMPARE(form_->Edit6->text(), QStringLiteral("3"));
    QCOMPARE(form_->Edit8->text(), QStringLiteral("40"));
    QCOMPARE(form_->Edit7->text(), QStringLiteral("38"));

    // An end beyond the table is held at the last question.
    const QString last = QString::number(form_->StringGrid2->rowCount() - 2);
    typeInto(form_->Edit8, QStringLiteral("9999"));
    QCOMPARE(form_->Edit8->text(), last);
    typeInto(form_->Edit8, QStringLiteral("40"));
    QCOMPARE(form_->Edit7->text(), QStringLiteral("38"));
    saveScreen(QStringLiteral("loading.png"));
}

void TestAcceptanceXvfb::scrolledTableKeepsItsFixedCells()
{
    platform::StringGrid* table = form_->StringGrid2;
    table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum());
    table->horizontalScrollBar()->setValue(table->horizontalScrollBar()->maximum());
    const int last = table->rowCount() - 2;
    QVERIFY(table->verticalScrollBar()->value() > 0 && table->horizontalScrollBar()->value() > 0);
    // The header row at the top, the number column at the left.
    QCOMPARE(table->indexAt(QPoint(table->columnWidth(0) / 2, 4)), table->model()->index(0, 0));
    const QPoint number = table->visualRect(table->model()->index(last, 0)).center();
    QCOMPARE(table->indexAt(number).column(), 0);
    saveScreen(QStringLiteral("table_scrolled.png"));

    // The last question dragged up one row by its number cell, then back.
    const QString question = table->cell(1, last);
    const QPoint above = table->visualRect(table->model()->index(last - 1, 0)).center();
    testsupport::dragUnderPointer(table->viewport(), number, above);
    QCOMPARE(table->cell(1, last - 1), question);
    QVERIFY(!form_->Button15->isHidden());
    testsupport::dragUnderPointer(table->viewport(), above, number);
    QCOMPARE(table->cell(1, last), question);
    QTest::mouseClick(form_->Button15, Qt::LeftButton); // renumber; the order is the loaded one again
    QVERIFY(form_->Button15->isHidden());
    QCOMPARE(table->cell(0, last), QString::number(last));
}

void TestAcceptanceXvfb::startAndAlphaFlashAnswers()
{
    QTest::mouseClick(form_->Button16, Qt::LeftButton);
    QCOMPARE(form_->PageControl1->currentWidget(), form_->TabSheet1);
    QVERIFY(form_->Timer1->isActive());
    QTest::mouseClick(form_->bt_size1_8, Qt::LeftButton); // "大→": the wide layout
    QTRY_COMPARE(form_->windowHandle()->geometry().width(), 997);

    QTest::mouseClick(form_->Button6, Qt::LeftButton); // α
    QCOMPARE(form_->Edit4->text(), QStringLiteral("2"));
    QCOMPARE(form_->Edit5->text(), QStringLiteral("4"));

    // A second of real ticks: the answer comes and goes, the counters move.
    bool answerSeen = false, answerHidden = false;
    QSet<QString> shownNumbers;
    const QMetaObject::Connection tick =
        connect(form_->Timer1, &platform::PresentationTimer::timeout, this, [&] {
            (form_->Memo3->isVisible() ? answerSeen : answerHidden) = true;
            if (form_->Label32->text() != QStringLiteral("問題No")) // before the first question
                shownNumbers << form_->Label32->text();
        });
    QTest::qWait(1000);
    disconnect(tick);
    QVERIFY(answerSeen);
    QVERIFY(answerHidden);
    QVERIFY(!shownNumbers.isEmpty());
    QVERIFY2(form_->Edit9->text().toInt() >= 5, qPrintable(form_->Edit9->text()));
    QVERIFY2(form_->Edit13->text().toInt() >= 5, qPrintable(form_->Edit13->text()));
    QVERIFY(form_->Edit10->text() != QStringLiteral("未測定"));
    QVERIFY(form_->Ed10->text() != QStringLiteral("未測定"));
    // Random order within the narrowed range.
    for (const QString& number : shownNumbers) {
        QVERIFY2(number.startsWith(QStringLiteral("No.")), qPrintable(number));
        const int row = number.mid(3).toInt();
        QVERIFY2(row >= 3 && row <= 40, qPrintable(number));
    }
    QVERIFY(questionsInRange().contains(byLines(form_->Memo2->toPlainText())));

    const QPixmap flash = pictureAtNextFlash(form_->Memo3);
    QVERIFY(form_->Memo3->isVisible());
    QCOMPARE(form_->Memo3->y(), 276); // separate: the answer below the question
    savePicture(flash, QStringLiteral("challenge_separate.png"));
}

void TestAcceptanceXvfb::overlayPutsTheAnswerOverTheQuestion()
{
    QCOMPARE(form_->Button28->text(), QStringLiteral("ｻﾌﾞﾘ的ﾍ"));
    QTest::mouseClick(form_->Button28, Qt::LeftButton);
    QCOMPARE(form_->Memo3->y(), form_->Memo2->y());
    QCOMPARE(form_->Memo3->geometry(), form_->Memo2->geometry());
    QCOMPARE(form_->Button28->text(), QStringLiteral("別々へ"));

    const int shown = form_->Edit9->text().toInt();
    const QPixmap flash = pictureAtNextFlash(form_->Memo3);
    QVERIFY(form_->Edit9->text().toInt() > shown); // the cycle ran on
    QCOMPARE(form_->Memo3->y(), form_->Memo2->y());
    savePicture(flash, QStringLiteral("challenge_overlay.png"));
}

void TestAcceptanceXvfb::screenSideStripStaysOnTop()
{
    clickTab(form_->TabSheet3);
    QTRY_VERIFY(form_->windowHandle()->geometry().height() < 120);
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    QCOMPARE(form_->windowHandle()->geometry().width(), 789);
    QVERIFY(form_->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(form_->StatusBar1->isHidden());
    QCOMPARE(QApplication::activeWindow(), form_.get());

    const QPixmap flash = pictureAtNextFlash(form_->Label8);
    QVERIFY(form_->Label31->isVisible());
    QVERIFY2(questionsInRange().contains(byLines(form_->Label31->text())), qPrintable(form_->Label31->text()));
    QVERIFY(form_->Label8->isVisible());
    savePicture(flash, QStringLiteral("screenside.png"));
}

void TestAcceptanceXvfb::explanationAndMailTemplateSaved()
{
    clickTab(form_->TabSheet4);
    QTRY_COMPARE(form_->windowHandle()->geometry().width(), 782); // narrow layout
    QVERIFY(!form_->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!form_->StatusBar1->isHidden());
    // The window stayed the active one through both style changes.
    QCOMPARE(QApplication::activeWindow(), form_.get());

    QTest::mouseClick(form_->Button30, Qt::LeftButton); // "α波θ波の利用", a rich text document
    QVERIFY(form_->RichEdit1->isVisible());
    QVERIFY(form_->RichEdit1->toPlainText().startsWith(QStringLiteral("α波θ波の利用")));
    saveScreen(QStringLiteral("explanation.png"));

    QTest::mouseClick(form_->Button39, Qt::LeftButton); // "作者宛メール"
    QVERIFY(form_->RichEdit2->isVisible());
    QVERIFY(form_->Button41->isVisible());
    QVERIFY(form_->RichEdit2->toPlainText().startsWith(QStringLiteral("宛先：")));

    // Typed: Latin keys one by one, Japanese as an input method commits it.
    const QString typed = QStringLiteral("P.S. α波設定で県庁所在地を覚えました。");
    QTest::mouseClick(form_->RichEdit2->viewport(), Qt::LeftButton);
    QTRY_VERIFY(form_->RichEdit2->hasFocus());
    QTest::keyClick(form_->RichEdit2, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(form_->RichEdit2, Qt::Key_Return);
    QTest::keyClicks(form_->RichEdit2, typed.left(5));
    QInputMethodEvent composed;
    composed.setCommitString(typed.mid(5));
    QApplication::sendEvent(form_->RichEdit2, &composed);
    QVERIFY(form_->RichEdit2->toPlainText().endsWith(typed));
    saveScreen(QStringLiteral("mail.png"));
    QTest::mouseClick(form_->Button41, Qt::LeftButton); // "保存"

    QFile saved(programFolder_->filePath("MRLDmail.DOC"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    QVERIFY(bytes.endsWith("\r\n" + testsupport::cp932(typed)));
    QVERIFY(bytes.startsWith(testsupport::cp932(QStringLiteral("宛先："))));

    // The shipped template stays as it was.
    QFile shipped(QDir(dataFolder_).filePath("MRLDmail.DOC"));
    QVERIFY(shipped.open(QIODevice::ReadOnly));
    QVERIFY(!shipped.readAll().contains(testsupport::cp932(typed)));
}

QTEST_MAIN(TestAcceptanceXvfb)
#include "test_acceptance_xvfb.moc"
