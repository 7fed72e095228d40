// The presentation cycle driven tick by tick: Timer1Timer is called directly
// (or through the timer's signal where the error box matters) with a fake
// millisecond counter and a beep counter.

#include "app/Un_subri1.h"
#include "widgets/PageControl.h"
#include "platform/PresentationTimer.h"
#include "widgets/StringGrid.h"
#include "platform/errors.h"
#include "platform/platform.h"
#include "presentation/question_order.h"
#include "support/testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSignalBlocker>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using testsupport::ErrorBoxes;

namespace {

uint32_t fakeNow = 1000;
QList<uint32_t> beeps;

// A window with questions Q1…Qn / A1…An loaded, the whole table as range.
struct Presentation {
    QTemporaryDir dir;
    TForm1 form;

    static QList<QPair<QString, QString>> numbered(int questions)
    {
        QList<QPair<QString, QString>> rows;
        for (int i = 1; i <= questions; ++i)
            rows.append({QStringLiteral("Q%1").arg(i), QStringLiteral("A%1").arg(i)});
        return rows;
    }

    explicit Presentation(const QList<QPair<QString, QString>>& rows = numbered(5))
    {
        const QString path = testsupport::writeFile(dir.filePath(QStringLiteral("set.mon")),
                                                    testsupport::monFile(QStringLiteral("L"), QStringLiteral("S"), rows));
        testsupport::openThroughDialog(form, path, 2);
        form.StringGrid1SelectCell(1, 1);
    }

    // Field texts as they may stand, typed or left by the period rules,
    // without running the change handlers of those rules.
    static void put(QLineEdit* field, const QString& text)
    {
        const QSignalBlocker blocker(field);
        field->setText(text);
    }
    void rhythm(int span, int period)
    {
        put(form.Edit4, QString::number(span));
        put(form.Edit5, QString::number(period));
    }
    void range(int start, int end)
    {
        form.setFieldText(form.Edit6, QString::number(start));
        form.setFieldText(form.Edit8, QString::number(end));
    }
    void sequential() { form.RadioButton1->setChecked(true); }

    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            fakeNow += 25;
            form.Timer1Timer();
        }
    }
    // A tick as the timer delivers it: errors reach the error box.
    void timerTick(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            fakeNow += 25;
            emit form.Timer1->timeout();
        }
    }

    QString question() const { return form.Memo2->toPlainText(); }
    QString answer() const { return form.Memo3->toPlainText(); }
    bool answerShown() const { return !form.Memo3->isHidden() && !form.Label8->isHidden(); }
};

} // namespace

class TestCycle : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void sequentialRangeThreeToFive();
    void rhythmOfAnswerSpanAndQuestionPeriod_data();
    void rhythmOfAnswerSpanAndQuestionPeriod();
    void randomOrderStaysInItsRange_data();
    void randomOrderStaysInItsRange();
    void randomDrawMayRepeat();
    void countersAcrossRestartAndStart();
    void oneBeepPerAnswerFlash();
    void restartKeepsTheTimerPhase();
    void restartTimeIsTheSignedCounter();
    void headerRowBeforeTheFirstStart();
    void numberNamingNoRowShowsEmptyTexts_data();
    void numberNamingNoRowShowsEmptyTexts();
    void labelsFollowTheirText();
    void tickFaultIsReportedOnce_data();
    void tickFaultIsReportedOnce();
    void rangeFaultAtAFlashIsReportedOnce();
    void restartStopsAtAFieldThatIsNoInteger();
    void startStopsAtARangeStartThatIsNoInteger();
};

void TestCycle::initTestCase()
{
    platform::setTickCountSource([] { return fakeNow; });
    platform::setBeepSink([](uint32_t type) { beeps.append(type); });
}

void TestCycle::cleanupTestCase()
{
    platform::setTickCountSource({});
    platform::setBeepSink({});
}

void TestCycle::init()
{
    beeps.clear();
}

void TestCycle::sequentialRangeThreeToFive()
{
    Presentation p;
    p.range(3, 5);
    p.sequential();
    p.form.PageControl1->setCurrentWidget(p.form.TabSheet2);
    QSignalSpy changing(p.form.PageControl1, &platform::PageControl::userChanging);
    QSignalSpy changed(p.form.PageControl1, &platform::PageControl::userChanged);

    p.form.Button16Click();
    QCOMPARE(p.form.PageControl1->currentWidget(), p.form.TabSheet1);
    QCOMPARE(changing.count(), 0); // a programmatic page change: no layout handlers
    QCOMPARE(changed.count(), 0);
    QCOMPARE(p.form.Timer1->isActive(), true);

    p.tick(4);
    QCOMPARE(p.question(), QStringLiteral("問題文"));
    p.tick();
    QCOMPARE(p.question(), QStringLiteral("Q3"));
    QCOMPARE(p.form.Label31->text(), QStringLiteral("Q3"));
    QCOMPARE(p.form.Label32->text(), QStringLiteral("No.3"));
    QCOMPARE(p.answerShown(), false);
    p.tick(40);
    QCOMPARE(p.question(), QStringLiteral("Q3"));
    QCOMPARE(p.form.Label4->text(), QStringLiteral("45"));

    p.tick(5); // tick 50
    QCOMPARE(p.answerShown(), true);
    QCOMPARE(p.answer(), QStringLiteral("A3"));
    QCOMPARE(p.form.Label8->text(), QStringLiteral("A3"));
    QCOMPARE(p.question(), QStringLiteral("Q3")); // the new question comes one span later
    QCOMPARE(p.form.currentQuestion, 4);
    QCOMPARE(p.form.lapTickCount, 0); // the measurement ran last

    p.tick(5); // tick 55
    QCOMPARE(p.answerShown(), false);
    QCOMPARE(p.question(), QStringLiteral("Q4"));
    QCOMPARE(p.form.Label32->text(), QStringLiteral("No.4"));

    p.tick(95); // ticks 100 and 150: answers 4 and 5
    QCOMPARE(p.answer(), QStringLiteral("A5"));
    QCOMPARE(p.form.currentQuestion, 3);
    p.tick(5);
    QCOMPARE(p.question(), QStringLiteral("Q3"));
    QCOMPARE(p.form.Edit9->text(), QStringLiteral("3"));
}

// One letter per tick: '.' nothing, 'Q' question refresh, 'A' answer flash.
void TestCycle::rhythmOfAnswerSpanAndQuestionPeriod_data()
{
    QTest::addColumn<int>("span");
    QTest::addColumn<int>("period");
    QTest::addColumn<QString>("events");
    QTest::addColumn<QStringList>("questions"); // the question shown at each 'Q'

    QTest::newRow("theta 3/6") << 3 << 6 << QStringLiteral("..Q..A..Q..A..Q")
                               << QStringList{"Q1", "Q2", "Q3"};
    QTest::newRow("period equals span") << 2 << 2 << QStringLiteral(".A.A.A.A") << QStringList{};
    QTest::newRow("period not a multiple of span") << 4 << 6 << QStringLiteral("...Q...Q...A...Q...Q...A")
                                                   << QStringList{"Q1", "Q1", "Q2", "Q2"};
    QTest::newRow("subliminal 1/4") << 1 << 4 << QStringLiteral("QQQAQQQA") << QStringList{"Q1", "Q1", "Q1", "Q2", "Q2", "Q2"};
}

void TestCycle::rhythmOfAnswerSpanAndQuestionPeriod()
{
    QFETCH(int, span);
    QFETCH(int, period);
    QFETCH(QString, events);
    QFETCH(QStringList, questions);

    Presentation p;
    p.sequential();
    p.rhythm(span, period);
    p.form.Button16Click();
    QString seen;
    QStringList shown;
    QStringList answers;
    for (int i = 0; i < events.size(); ++i) {
        p.form.Memo2->setPlainText(QStringLiteral("-"));
        p.form.Memo3->setPlainText(QStringLiteral("-"));
        p.form.Memo3->show();
        p.tick();
        if (p.question() != u'-') {
            seen += u'Q';
            shown << p.question();
            QCOMPARE(p.answerShown(), false);
        } else if (p.answer() != u'-') {
            seen += u'A';
            answers << p.answer();
        } else {
            seen += u'.';
        }
    }
    QCOMPARE(seen, events);
    QCOMPARE(shown, questions);
    QStringList expectedAnswers;
    for (int i = 1; i <= answers.size(); ++i)
        expectedAnswers << QStringLiteral("A%1").arg(i);
    QCOMPARE(answers, expectedAnswers);
}

void TestCycle::randomOrderStaysInItsRange_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QList<int>>("numbers"); // every number that may come, each of them seen

    QTest::newRow("range of one") << 2 << 2 << QList<int>{2};
    QTest::newRow("range of three") << 2 << 4 << QList<int>{2, 3, 4};
    QTest::newRow("start after end: range start") << 4 << 2 << QList<int>{4};
}

void TestCycle::randomOrderStaysInItsRange()
{
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QList<int>, numbers);

    Presentation p;
    p.range(start, end);
    QVERIFY(p.form.RadioButton2->isChecked()); // random at start
    p.rhythm(1, 2);
    p.form.Button16Click();
    QSet<int> seen;
    for (int flash = 0; flash < 200; ++flash) {
        p.tick(2);
        QVERIFY2(numbers.contains(p.form.currentQuestion), qPrintable(QString::number(p.form.currentQuestion)));
        seen.insert(p.form.currentQuestion);
    }
    QCOMPARE(seen, QSet<int>(numbers.cbegin(), numbers.cend()));
    if (numbers.size() == 1) {
        QCOMPARE(p.question(), QStringLiteral("Q%1").arg(numbers.first()));
        QCOMPARE(p.answer(), QStringLiteral("A%1").arg(numbers.first()));
    }
}

void TestCycle::randomDrawMayRepeat()
{
    std::mt19937 random(12345);
    QCOMPARE(presentation::randomQuestion(7, 0, random), 7);
    QCOMPARE(presentation::randomQuestion(7, -3, random), 7);
    int repeats = 0;
    int previous = presentation::randomQuestion(1, 3, random);
    for (int i = 0; i < 300; ++i) {
        const int next = presentation::randomQuestion(1, 3, random);
        repeats += next == previous;
        previous = next;
    }
    QVERIFY(repeats > 0);
}

void TestCycle::countersAcrossRestartAndStart()
{
    Presentation p;
    p.sequential();
    p.rhythm(1, 2);
    p.form.Button16Click();
    p.tick(6);
    QCOMPARE(p.form.Edit9->text(), QStringLiteral("3"));
    QCOMPARE(p.form.Edit13->text(), QStringLiteral("3"));

    p.form.Button1Click(); // as a preset does: the fields keep their old text
    QCOMPARE(p.form.Edit9->text(), QStringLiteral("3"));
    QCOMPARE(p.form.Edit13->text(), QStringLiteral("3"));
    QCOMPARE(p.form.currentQuestion, 4); // a restart keeps the number
    p.tick(2);
    QCOMPARE(p.form.Edit9->text(), QStringLiteral("4"));
    QCOMPARE(p.form.Edit13->text(), QStringLiteral("1"));
    QCOMPARE(p.answer(), QStringLiteral("A4"));

    p.form.Button16Click(); // Start goes back to the range start and counts anew
    QCOMPARE(p.form.Edit9->text(), QStringLiteral("4"));
    QCOMPARE(p.form.currentQuestion, 1);
    p.tick(2);
    QCOMPARE(p.form.Edit9->text(), QStringLiteral("1"));
    QCOMPARE(p.form.Edit13->text(), QStringLiteral("1"));
    QCOMPARE(p.answer(), QStringLiteral("A1"));
}

void TestCycle::oneBeepPerAnswerFlash()
{
    Presentation p;
    p.rhythm(2, 6);
    p.form.But_otoClick();
    QCOMPARE(p.form.But_oto->text(), QStringLiteral("音有"));
    p.form.Button16Click();
    p.tick(5); // refreshes at 2 and 4
    QCOMPARE(beeps.size(), 0);
    p.tick(1);
    QCOMPARE(beeps, QList<uint32_t>{0xFFFFFFFF});
    p.tick(12); // 2 more flashes, 4 more refreshes
    QCOMPARE(beeps.size(), 3);

    p.form.But_otoClick();
    QCOMPARE(p.form.But_oto->text(), QStringLiteral("音無"));
    p.tick(12);
    QCOMPARE(beeps.size(), 3);
    QCOMPARE(p.form.Edit9->text(), QStringLiteral("5"));

    p.form.But_oto->setText(QStringLiteral("?")); // any other caption is silence, and toggles to off
    p.tick(6);
    QCOMPARE(beeps.size(), 3);
    p.form.But_otoClick();
    QCOMPARE(p.form.But_oto->text(), QStringLiteral("音無"));
}

void TestCycle::restartKeepsTheTimerPhase()
{
    Presentation p;
    p.form.Button16Click();
    QCOMPARE(p.form.Timer1->interval(), 1);
    QTest::qSleep(15); // no events served: the next tick is still due
    const int before = p.form.Timer1->remainingTime();
    QVERIFY2(before >= 0 && before <= 12, qPrintable(QString::number(before)));

    p.tick(7);
    p.form.Button1Click();
    const int after = p.form.Timer1->remainingTime();
    QVERIFY2(after >= 0 && after <= before, qPrintable(QString::number(after)));
    QCOMPARE(p.form.Timer1->interval(), 1);
    QCOMPARE(p.form.restartTickCount, 0); // only the counting starts again
    p.tick();
    QCOMPARE(p.form.Label4->text(), QStringLiteral("1"));

    Presentation::put(p.form.Ed1, QStringLiteral("100")); // a new interval re-arms
    p.form.Button1Click();
    QVERIFY(p.form.Timer1->remainingTime() > 50);
    p.tick(3);
    QCOMPARE(p.form.Label4->text(), QStringLiteral("300"));
}

void TestCycle::restartTimeIsTheSignedCounter()
{
    TForm1 form;
    QCOMPARE(form.Label2->text(), QStringLiteral("Label2"));
    fakeNow = 0x80000005u;
    form.Button1Click();
    QCOMPARE(form.Label2->text(), QStringLiteral("-2147483643"));
    fakeNow = 1000;
    form.Button1Click();
    QCOMPARE(form.Label2->text(), QStringLiteral("1000"));
}

// A preset pressed after loading but before any Start presents row 0.
void TestCycle::headerRowBeforeTheFirstStart()
{
    Presentation p;
    p.sequential();
    p.rhythm(1, 2);
    QCOMPARE(p.form.currentQuestion, 0);
    p.form.Button1Click();
    p.tick();
    QCOMPARE(p.question(), p.form.StringGrid2->cell(1, 0));
    QVERIFY(!p.question().isEmpty());
    QCOMPARE(p.form.Label32->text(), QStringLiteral("No.0"));
    p.tick();
    QCOMPARE(p.answer(), p.form.StringGrid2->cell(2, 0));
    p.tick();
    QCOMPARE(p.question(), QStringLiteral("Q1"));
}

void TestCycle::numberNamingNoRowShowsEmptyTexts_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("number");

    QTest::newRow("beyond the table") << 999 << QStringLiteral("No.999");
    QTest::newRow("negative") << -2 << QStringLiteral("No.-2");
    QTest::newRow("empty last row") << 6 << QStringLiteral("No.6");
}

void TestCycle::numberNamingNoRowShowsEmptyTexts()
{
    QFETCH(int, start);
    QFETCH(QString, number);

    Presentation p;
    p.sequential();
    p.rhythm(1, 2);
    Presentation::put(p.form.Edit6, QString::number(start));
    p.form.Button16Click();
    p.tick();
    QCOMPARE(p.question(), QString());
    QCOMPARE(p.form.Label31->text(), QString());
    QCOMPARE(p.form.Label32->text(), number);
    // The number reads whole, also where it is wider than the design caption.
    QVERIFY(p.form.Label32->width() >= p.form.Label32->fontMetrics().horizontalAdvance(number));
    p.tick();
    QCOMPARE(p.answer(), QString());
    QCOMPARE(p.form.Label8->text(), QString());
    QCOMPARE(p.answerShown(), true);
}

void TestCycle::labelsFollowTheirText()
{
    Presentation p({{QString(80, QChar(u'問')), QStringLiteral("正")}});
    p.rhythm(1, 2);
    p.form.Button16Click();
    p.tick(2);
    QCOMPARE(p.form.Label31->size(), p.form.Label31->sizeHint());
    QVERIFY(p.form.Label31->width() > p.form.TabSheet3->width()); // no wrapping
    QCOMPARE(p.form.Label8->size(), p.form.Label8->sizeHint());
}

// A tick that finds the answer span or question period unusable counts,
// reports once and waits; a valid value in between re-arms the report.
void TestCycle::tickFaultIsReportedOnce_data()
{
    QTest::addColumn<bool>("inSpan");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    const QString notInteger = QStringLiteral("'%1' は整数ではありません");
    const QString zero = QStringLiteral("0 による除算");
    QTest::newRow("span letters") << true << QStringLiteral("x") << notInteger.arg(QStringLiteral("x"));
    QTest::newRow("span empty") << true << QString() << notInteger.arg(QString());
    QTest::newRow("span 0") << true << QStringLiteral("0") << zero;
    QTest::newRow("span negative") << true << QStringLiteral("-3") << zero;
    QTest::newRow("period letters") << false << QStringLiteral("5a") << notInteger.arg(QStringLiteral("5a"));
    QTest::newRow("period 0") << false << QStringLiteral("0") << zero;
}

void TestCycle::tickFaultIsReportedOnce()
{
    QFETCH(bool, inSpan);
    QFETCH(QString, text);
    QFETCH(QString, message);

    Presentation p;
    p.rhythm(1, 2);
    p.form.Button16Click();
    QLineEdit* field = inSpan ? p.form.Edit4 : p.form.Edit5;
    const QString valid = field->text();
    ErrorBoxes boxes;

    Presentation::put(field, text);
    p.timerTick(20);
    QCOMPARE(boxes.texts, QStringList{platform::errorBoxText(message)});
    QCOMPARE(p.form.Label4->text(), QStringLiteral("20")); // the counting goes on
    QCOMPARE(p.form.Edit9->text(), QStringLiteral("0"));  // nothing is shown
    QCOMPARE(p.question(), QStringLiteral("問題文"));

    Presentation::put(field, QStringLiteral("7q")); // still unusable: no new report
    p.timerTick(4);
    QCOMPARE(boxes.texts.size(), 1);

    Presentation::put(field, valid);
    p.timerTick(2);
    QCOMPARE(p.form.Edit9->text(), QStringLiteral("1"));
    Presentation::put(field, text);
    p.timerTick(4);
    QCOMPARE(boxes.texts.size(), 2);
}

// The range fields are read only at an answer flash; a fault there ends the
// flash after the answer is shown, reported once like the rhythm fields.
void TestCycle::rangeFaultAtAFlashIsReportedOnce()
{
    Presentation p;
    p.sequential();
    p.rhythm(1, 2);
    p.form.Button16Click();
    ErrorBoxes boxes;
    Presentation::put(p.form.Edit8, QStringLiteral("end"));
    p.timerTick(10);
    QCOMPARE(boxes.texts, QStringList{platform::errorBoxText(QStringLiteral("'end' は整数ではありません"))});
    QCOMPARE(p.answer(), QStringLiteral("A1"));
    QCOMPARE(p.form.currentQuestion, 1);
    QCOMPARE(p.form.Edit9->text(), QStringLiteral("0"));

    Presentation::put(p.form.Edit8, QStringLiteral("5"));
    p.timerTick(2);
    QCOMPARE(p.form.currentQuestion, 2);
    QCOMPARE(boxes.texts.size(), 1);
}

void TestCycle::restartStopsAtAFieldThatIsNoInteger()
{
    Presentation p;
    p.form.restartTickCount = 9;
    Presentation::put(p.form.Ed1, QStringLiteral("x"));
    QVERIFY_THROWS_EXCEPTION(platform::Error, p.form.Button1Click());
    QCOMPARE(p.form.restartTickCount, 0);
    QCOMPARE(p.form.Label2->text(), QStringLiteral("Label2"));

    Presentation::put(p.form.Ed1, QStringLiteral("40"));
    Presentation::put(p.form.Edit5, QStringLiteral("y"));
    p.form.storedQuestionPeriod = 33;
    QVERIFY_THROWS_EXCEPTION(platform::Error, p.form.Button1Click());
    QCOMPARE(p.form.Timer1->interval(), 40);
    QCOMPARE(p.form.Label2->text(), QString::number(static_cast<int32_t>(fakeNow)));
    QCOMPARE(p.form.storedQuestionPeriod, 33);
    QCOMPARE(p.form.Timer1->isActive(), false);
}

void TestCycle::startStopsAtARangeStartThatIsNoInteger()
{
    Presentation p;
    p.form.shownSinceStart = 4;
    p.form.currentQuestion = 3;
    p.form.PageControl1->setCurrentWidget(p.form.TabSheet2);
    Presentation::put(p.form.Edit6, QStringLiteral("z"));
    QVERIFY_THROWS_EXCEPTION(platform::Error, p.form.Button16Click());
    QCOMPARE(p.form.shownSinceStart, 0);
    QCOMPARE(p.form.currentQuestion, 3);
    QCOMPARE(p.form.Timer1->isActive(), false);
    QCOMPARE(p.form.PageControl1->currentWidget(), p.form.TabSheet2);
}

QTEST_MAIN(TestCycle)
#include "test_cycle.moc"
