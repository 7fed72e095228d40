// Speed presets, the alignment of the question period to the answer span,
// the question-period up-down's step and minimum, the tick-interval ladder
// and the reveal of the tick-interval controls.

#include "app/Un_subri1.h"
#include "platform/PresentationTimer.h"
#include "widgets/UpDown.h"
#include "platform/errors.h"
#include "platform/platform.h"
#include "support/testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTest>

namespace {

// The tick counter stands still at a known value while a test runs.
struct FixedTickCount {
    explicit FixedTickCount(uint32_t value) { set(value); }
    ~FixedTickCount() { platform::setTickCountSource({}); }
    void set(uint32_t value) { platform::setTickCountSource([value] { return value; }); }
};

// Types into a field as the user does: the old text is selected and replaced.
void typeInto(QLineEdit* field, const QString& text)
{
    field->selectAll();
    QTest::keyClicks(field, text);
}

} // namespace

class TestPresets : public QObject {
    Q_OBJECT
private slots:
    void presetSetsTheRhythmAndRestarts_data();
    void presetSetsTheRhythmAndRestarts();
    void presetWithTheShownValuesLeavesTheStepAlone();
    void subliminalPresetOverlaysUntilTheFocusLeaves_data();
    void subliminalPresetOverlaysUntilTheFocusLeaves();
    void alignmentStartsFromTheStoredQuestionPeriod();
    void alignmentRoundsToTheNearestMultiple();
    void typedQuestionPeriodSurvivesHoverAndAlignsLater();
    void questionPeriodNeverStepsBelowTwiceTheSpan();
    void tickIntervalLadderRestartsAtTheIntervalBeforeTheStep();
    void invalidQuestionPeriodKeepsTheStoredValue();
    void invalidAnswerSpanAlignsWithTheLastValidSpan();
    void failedAlignmentReleasesTheGuard();
    void doubleClickRevealsTheTickInterval();
};

void TestPresets::presetSetsTheRhythmAndRestarts_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("span");
    QTest::addColumn<int>("period");
    QTest::addColumn<bool>("overlay");

    const auto row = [](const char* button, int interval, int span, int period, bool overlay) {
        QTest::newRow(button) << QString::fromLatin1(button) << interval << span << period << overlay;
    };
    row("Button6", 1, 2, 4, false);
    row("Button5", 1, 3, 6, false);
    row("Button8", 1, 4, 8, false);
    row("Button9", 1, 5, 10, false);
    row("Button7", 1, 1, 40, true);
    row("Button29", 1, 2, 60, true);
    row("Button32", 1, 4, 80, true);
    row("Button23", 1, 2, 30, false);
    row("Button24", 1, 3, 39, false);
    row("Button25", 1, 5, 50, false);
    row("Button26", 1, 10, 70, false);
    row("Button27", 1, 24, 120, false);
    row("Button18", 1, 15, 60, false);
    row("Button19", 1, 30, 90, false);
    row("Button20", 1, 60, 120, false);
    row("Button21", 1, 90, 180, false);
    row("Button22", 1, 200, 400, false);
    row("Button10", 50, 5, 25, false);
}

// Pressed twice: each press restarts the counting; the second finds the
// fields as the first left them.
void TestPresets::presetSetsTheRhythmAndRestarts()
{
    QFETCH(QString, button);
    QFETCH(int, interval);
    QFETCH(int, span);
    QFETCH(int, period);
    QFETCH(bool, overlay);

    testsupport::ErrorBoxes errors;
    FixedTickCount tickCount(4242);
    TForm1 form;
    form.setEnabledAfterLoad(true);
    auto* preset = form.findChild<QPushButton*>(button);
    QVERIFY(preset);

    for (const uint32_t now : {4242u, 9000u}) {
        tickCount.set(now);
        form.restartTickCount = 17;
        form.shownSinceRestart = 3;
        preset->click();

        QCOMPARE(form.Ed1->text(), QString::number(interval));
        QCOMPARE(form.UpDown1->recordedPosition(), interval);
        QCOMPARE(form.Edit4->text(), QString::number(span));
        QCOMPARE(form.UpDown3->recordedPosition(), span);
        QCOMPARE(form.Edit5->text(), QString::number(period));
        QCOMPARE(form.UpDown2->recordedPosition(), period);
        QCOMPARE(form.storedQuestionPeriod, period);

        QCOMPARE(form.restartTickCount, 0);
        QCOMPARE(form.shownSinceRestart, 0);
        QCOMPARE(form.Label2->text(), QString::number(now));
        QCOMPARE(form.Timer1->interval(), interval);
        QCOMPARE(form.Timer1->isActive(), true);

        QCOMPARE(form.Memo3->y(), overlay ? 168 : 276);
        QCOMPARE(form.Label8->y(), overlay ? 0 : 32);
        QCOMPARE(form.Edit4->property("tag").toInt(), 0);
    }
    if (span != 5 || period != 50) {
        QCOMPARE(form.UpDown2->increment(), span);
        QCOMPARE(form.UpDown2->minimum(), 2 * span);
    }
    QCOMPARE(errors.texts, QStringList());
}

// "確認しよう" pressed first shows nothing new: no change handler runs, so the
// question-period up-down keeps stepping by 1 from 1.
void TestPresets::presetWithTheShownValuesLeavesTheStepAlone()
{
    TForm1 form;
    form.Button25Click();
    QCOMPARE(form.UpDown2->increment(), 1);
    QCOMPARE(form.UpDown2->minimum(), 1);
    form.Button20Click();
    form.Button25Click();
    QCOMPARE(form.UpDown2->increment(), 5);
    QCOMPARE(form.UpDown2->minimum(), 10);
}

void TestPresets::subliminalPresetOverlaysUntilTheFocusLeaves_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("overlayBefore");
    for (const char* button : {"Button7", "Button29", "Button32"}) {
        QTest::addRow("%s from separate", button) << QString::fromLatin1(button) << false;
        QTest::addRow("%s from overlay", button) << QString::fromLatin1(button) << true;
    }
}

void TestPresets::subliminalPresetOverlaysUntilTheFocusLeaves()
{
    QFETCH(QString, button);
    QFETCH(bool, overlayBefore);

    TForm1 form;
    form.setEnabledAfterLoad(true);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    if (overlayBefore)
        form.Button28Click();

    auto* preset = form.findChild<QPushButton*>(button);
    QTest::mouseClick(preset, Qt::LeftButton);
    QCOMPARE(form.focusWidget(), preset);
    QCOMPARE(form.Memo3->y(), form.Memo2->y());
    QCOMPARE(form.Label8->y(), 0);
    QCOMPARE(form.Button28->text(), QStringLiteral("別々へ"));

    QTest::keyClick(&form, Qt::Key_Tab);
    QVERIFY(form.focusWidget() != preset);
    QCOMPARE(form.Memo3->y(), 276);
    QCOMPARE(form.Label8->y(), 32);
    QCOMPARE(form.Button28->text(), QStringLiteral("ｻﾌﾞﾘ的"));
}

// 50 with span 6 shows 48; back to span 5 shows 50 again, because the
// alignment starts from the stored 50, not from the 48 shown.
void TestPresets::alignmentStartsFromTheStoredQuestionPeriod()
{
    TForm1 form;
    form.UpDown3->clickUp();
    QCOMPARE(form.Edit4->text(), QStringLiteral("6"));
    QCOMPARE(form.Edit5->text(), QStringLiteral("48"));
    QCOMPARE(form.storedQuestionPeriod, 50);
    QCOMPARE(form.UpDown2->increment(), 6);
    QCOMPARE(form.UpDown2->minimum(), 12);

    form.UpDown3->clickDown();
    QCOMPARE(form.Edit5->text(), QStringLiteral("50"));
    QCOMPARE(form.storedQuestionPeriod, 50);
}

void TestPresets::alignmentRoundsToTheNearestMultiple()
{
    TForm1 form;
    form.UpDown3->clickUp();
    form.UpDown3->clickUp();
    QCOMPARE(form.Edit5->text(), QStringLiteral("49")); // 50 and 7

    // A tie goes to the larger multiple: 45 and 10 give 50. The preset leaves
    // the recorded position at 30, so the aligned value is written.
    form.Button23Click();
    typeInto(form.Edit5, QStringLiteral("45"));
    QCOMPARE(form.storedQuestionPeriod, 45);
    typeInto(form.Edit4, QStringLiteral("10"));
    QCOMPARE(form.Edit5->text(), QStringLiteral("50"));
    QCOMPARE(form.storedQuestionPeriod, 45);
}

// Typing 52 stores 52 but leaves the recorded position at 50; hovering then
// aligns to 50, which writes nothing; span 6 later writes 54.
void TestPresets::typedQuestionPeriodSurvivesHoverAndAlignsLater()
{
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    typeInto(form.Edit5, QStringLiteral("52"));
    QCOMPARE(form.storedQuestionPeriod, 52);
    QCOMPARE(form.UpDown2->recordedPosition(), 50);

    for (QWidget* control : QList<QWidget*>{form.Edit4, form.Edit5, form.UpDown2, form.UpDown3}) {
        QTest::mouseMove(control, QPoint(3, 3));
        QCOMPARE(form.Edit5->text(), QStringLiteral("52"));
    }
    QCOMPARE(form.Edit4->property("tag").toInt(), 0);

    form.UpDown3->clickUp();
    QCOMPARE(form.Edit5->text(), QStringLiteral("54"));

    // Hovering does write when the aligned value differs from the recorded
    // position: typed 40 with span 6 aligns to 42.
    typeInto(form.Edit5, QStringLiteral("40"));
    QTest::mouseMove(form.UpDown2, QPoint(4, 4));
    QCOMPARE(form.Edit5->text(), QStringLiteral("42"));
    QCOMPARE(form.storedQuestionPeriod, 40);
}

void TestPresets::questionPeriodNeverStepsBelowTwiceTheSpan()
{
    TForm1 form;
    form.UpDown3->clickUp(); // span 6: period 48, step 6, minimum 12
    QList<int> shown;
    for (int i = 0; i < 8; ++i) {
        form.UpDown2->clickDown();
        shown << form.Edit5->text().toInt();
    }
    QCOMPARE(shown, (QList<int>{42, 36, 30, 24, 18, 12, 12, 12}));
    QCOMPARE(form.storedQuestionPeriod, 12);

    // A larger span raises the minimum; the stored 12 aligns to it.
    typeInto(form.Edit4, QStringLiteral("9"));
    QCOMPARE(form.UpDown2->minimum(), 18);
    QCOMPARE(form.Edit5->text(), QStringLiteral("18"));
    form.UpDown2->clickDown();
    QCOMPARE(form.Edit5->text(), QStringLiteral("18"));
}

// From 1 every click restarts at the interval shown before it; the step
// chosen at 11 (2) is first used by the click at 12.
void TestPresets::tickIntervalLadderRestartsAtTheIntervalBeforeTheStep()
{
    FixedTickCount tickCount(100);
    TForm1 form;
    QList<int> shown;
    QList<int> restartedAt;
    for (int click = 0; click < 12; ++click) {
        form.restartTickCount = 5;
        form.UpDown1->clickUp();
        QCOMPARE(form.restartTickCount, 0);
        shown << form.Ed1->text().toInt();
        restartedAt << form.Timer1->interval();
    }
    QCOMPARE(shown, (QList<int>{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14}));
    QCOMPARE(restartedAt, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    QCOMPARE(form.Label2->text(), QStringLiteral("100"));

    // Giving the up-down a value from the program is not a step: no restart.
    form.restartTickCount = 5;
    form.UpDown1->setPosition(30);
    QCOMPARE(form.restartTickCount, 5);
}

void TestPresets::invalidQuestionPeriodKeepsTheStoredValue()
{
    testsupport::ErrorBoxes errors;
    TForm1 form;
    form.UpDown3->clickUp();
    typeInto(form.Edit5, QStringLiteral("x"));
    QCOMPARE(errors.texts, QStringList{QStringLiteral("'x' は整数ではありません.")});
    QCOMPARE(form.storedQuestionPeriod, 50);
    QCOMPARE(form.UpDown2->increment(), 6);
    QCOMPARE(form.UpDown2->minimum(), 12);
}

void TestPresets::invalidAnswerSpanAlignsWithTheLastValidSpan()
{
    testsupport::ErrorBoxes errors;
    TForm1 form;
    typeInto(form.Edit4, QStringLiteral("7"));
    QCOMPARE(form.Edit5->text(), QStringLiteral("49"));
    typeInto(form.Edit4, QStringLiteral("-"));
    QCOMPARE(form.UpDown2->increment(), 7);
    QCOMPARE(form.Edit5->text(), QStringLiteral("49"));
    QCOMPARE(errors.texts, QStringList());
}

// A failing write of the question period must not leave the question-period
// change switched off.
void TestPresets::failedAlignmentReleasesTheGuard()
{
    TForm1 form;
    form.UpDown2->fieldWriter = [](const QString&) { platform::raiseNotAnInteger(QStringLiteral("?")); };
    const auto setSpan = [&form](const char* text) {
        const QSignalBlocker blocker(form.Edit4);
        form.Edit4->setText(QString::fromLatin1(text));
    };
    setSpan("6");
    QVERIFY_THROWS_EXCEPTION(platform::Error, form.seigou_tori2Click());
    QCOMPARE(form.Edit4->property("tag").toInt(), 0);
    setSpan("7");
    QVERIFY_THROWS_EXCEPTION(platform::Error, form.Edit5MouseMove());
    QCOMPARE(form.Edit4->property("tag").toInt(), 0);

    form.UpDown2->fieldWriter = {};
    form.Edit5->setText(QStringLiteral("33"));
    QCOMPARE(form.storedQuestionPeriod, 33);
}

void TestPresets::doubleClickRevealsTheTickInterval()
{
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.Ed1->isHidden());
    QVERIFY(form.UpDown1->isHidden());
    QTest::mouseDClick(form.Edit10, Qt::LeftButton);
    QVERIFY(!form.Ed1->isHidden());
    QVERIFY(!form.UpDown1->isHidden());
}

QTEST_MAIN(TestPresets)
#include "test_presets.moc"
