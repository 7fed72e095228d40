// The measurement at every answer flash and the diagnostic reading, driven by
// a fake millisecond counter. Each test sets the counters and work fields the
// way the presentation tick leaves them before it calls the measurement.

#include "app/Un_subri1.h"
#include "platform/PresentationTimer.h"
#include "platform/errors.h"
#include "platform/platform.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTest>

namespace {

uint32_t fakeNow = 0;

// Answer span and question period as the fields hold them; the change
// handlers of the period rules are kept out of the way.
void setRhythm(TForm1& form, int span, int period)
{
    const QSignalBlocker blockSpan(form.Edit4);
    const QSignalBlocker blockPeriod(form.Edit5);
    form.Edit4->setText(QString::number(span));
    form.Edit5->setText(QString::number(period));
}

// What a restart writes: the restart time as a signed 32-bit number.
void restartAt(TForm1& form, uint32_t counter)
{
    form.restartTickCount = 0;
    form.Label2->setText(QString::number(static_cast<int32_t>(counter)));
}

// What the ticks up to an answer flash leave: the counters advanced and the
// nominal elapsed time in Label4 (interval 1).
void tickTo(TForm1& form, uint32_t counter, int ticks)
{
    fakeNow = counter;
    form.restartTickCount += ticks;
    form.lapTickCount += ticks;
    form.Label4->setText(QString::number(form.restartTickCount * form.Timer1->interval()));
}

} // namespace

class TestTiming : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void presetsAtTwentyFiveMsATick_data();
    void presetsAtTwentyFiveMsATick();
    void averageColumn_data();
    void averageColumn();
    void lastCycleOfOneThousandAndTwoMs();
    void zeroPeriodKeepsTheFrequency();
    void frequencyWiderThanTheDesignTextReadsWhole();
    void restartMidCycle();
    void counterWrapsBetweenRestartAndFlash_data();
    void counterWrapsBetweenRestartAndFlash();
    void firstMeasurementStartsAtTheRestart();
    void firstMeasurementAfterSeveralRestarts();
    void diagnosticReading();
    void diagnosticReadingBeforeFirstRestart();
    void flashesThroughTheTick();
};

void TestTiming::init()
{
    fakeNow = 0;
    platform::setTickCountSource([] { return fakeNow; });
}

void TestTiming::cleanup() { platform::setTickCountSource({}); }

void TestTiming::presetsAtTwentyFiveMsATick_data()
{
    QTest::addColumn<int>("span");
    QTest::addColumn<int>("period");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("cycle");
    QTest::addColumn<QString>("hertz");

    QTest::newRow("alpha") << 2 << 4 << "0.05" << "0.1" << "10";
    QTest::newRow("theta") << 3 << 6 << "0.075" << "0.15" << "6.6";
    QTest::newRow("5 Hz") << 4 << 8 << "0.1" << "0.2" << "5";
    QTest::newRow("4 Hz") << 5 << 10 << "0.125" << "0.25" << "4";
    QTest::newRow("subliminal") << 1 << 40 << "0.025" << "1" << "1";
}

void TestTiming::presetsAtTwentyFiveMsATick()
{
    QFETCH(int, span);
    QFETCH(int, period);
    QFETCH(QString, answer);
    QFETCH(QString, cycle);
    QFETCH(QString, hertz);

    TForm1 form;
    setRhythm(form, span, period);
    restartAt(form, 50000);
    form.measuredOnce = true;
    form.previousFlashTime = 50000;

    // Three flashes in a row: both columns agree at every one.
    for (int flash = 1; flash <= 3; ++flash) {
        tickTo(form, 50000 + 25 * period * flash, period);
        form.But4Click();
        QCOMPARE(form.Ed10->text(), QStringLiteral("25"));
        QCOMPARE(form.Ed11->text(), answer);
        QCOMPARE(form.Ed12->text(), cycle);
        QCOMPARE(form.Label23->text(), hertz);
        QCOMPARE(form.Edit10->text(), QStringLiteral("25"));
        QCOMPARE(form.Edit11->text(), answer);
        QCOMPARE(form.Edit12->text(), cycle);
        QCOMPARE(form.Label6->text(), QString::number(25 * period * flash));
        QCOMPARE(form.lapTickCount, 0);
        QCOMPARE(form.previousFlashTime, static_cast<int32_t>(fakeNow));
    }
}

void TestTiming::averageColumn_data()
{
    QTest::addColumn<int>("elapsed");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("period");
    QTest::addColumn<QString>("tick");
    QTest::addColumn<QString>("cycle");
    QTest::addColumn<QString>("hertz");

    QTest::newRow("1001 ms over 40") << 1001 << 40 << 40 << "25.025" << "1.001" << "0.9";
    QTest::newRow("1000 ms over 41") << 1000 << 41 << 40 << "24.390243902439" << "0.975" << "1";
    QTest::newRow("0.152 s cuts to 6.5 Hz") << 152 << 8 << 8 << "19" << "0.152" << "6.5";
    QTest::newRow("0.148 s cuts to 6.7 Hz") << 148 << 4 << 4 << "37" << "0.148" << "6.7";
}

void TestTiming::averageColumn()
{
    QFETCH(int, elapsed);
    QFETCH(int, ticks);
    QFETCH(int, period);
    QFETCH(QString, tick);
    QFETCH(QString, cycle);
    QFETCH(QString, hertz);

    TForm1 form;
    setRhythm(form, 1, period);
    restartAt(form, 7000);
    form.measuredOnce = true;
    form.previousFlashTime = 7000;
    tickTo(form, 7000 + elapsed, ticks);
    form.But4Click();
    QCOMPARE(form.Ed10->text(), tick);
    QCOMPARE(form.Ed12->text(), cycle);
    QCOMPARE(form.Label23->text(), hertz);
}

void TestTiming::lastCycleOfOneThousandAndTwoMs()
{
    TForm1 form;
    setRhythm(form, 1, 40);
    restartAt(form, 100);
    tickTo(form, 2000, 80);
    form.measuredOnce = true;
    form.previousFlashTime = 2000 - 1002;
    form.lapTickCount = 40;
    form.But4Click();
    QCOMPARE(form.Edit12->text(), QStringLiteral("1.002"));
    QCOMPARE(form.Edit10->text(), QStringLiteral("25.05"));
    QCOMPARE(form.Edit11->text(), QStringLiteral("0.025"));
}

void TestTiming::zeroPeriodKeepsTheFrequency()
{
    // No time passed over the ticks: the question period cuts to 0 ms.
    TForm1 form;
    setRhythm(form, 2, 4);
    restartAt(form, 300);
    form.measuredOnce = true;
    form.previousFlashTime = 300;
    tickTo(form, 300, 4);
    form.But4Click();
    QCOMPARE(form.Ed10->text(), QStringLiteral("0"));
    QCOMPARE(form.Ed12->text(), QStringLiteral("0"));
    QCOMPARE(form.Label23->text(), QStringLiteral("8.8"));
    QCOMPARE(form.Edit12->text(), QStringLiteral("0"));
}

void TestTiming::frequencyWiderThanTheDesignTextReadsWhole()
{
    // 99 ms question periods: 10.1 Hz, wider than the design text "8.8". The
    // right-aligned label keeps its right edge and grows to the left.
    TForm1 form;
    setRhythm(form, 2, 4);
    restartAt(form, 1000);
    const QRect before = form.Label23->geometry();
    tickTo(form, 1000 + 99, 4);
    form.But4Click();
    QCOMPARE(form.Label23->text(), QStringLiteral("10.1"));
    QCOMPARE(form.Label23->geometry().right(), before.right());
    QVERIFY(form.Label23->width()
            >= form.Label23->fontMetrics().horizontalAdvance(form.Label23->text()));
}

void TestTiming::restartMidCycle()
{
    TForm1 form;
    setRhythm(form, 2, 4);
    restartAt(form, 10000);
    tickTo(form, 10100, 4);
    form.But4Click();

    // Two ticks into the next cycle a preset restarts with a period of 8;
    // the lap count and the previous flash time go on.
    tickTo(form, 10150, 2);
    setRhythm(form, 4, 8);
    restartAt(form, 10160);
    tickTo(form, 10360, 8);
    form.But4Click();

    // Last cycle: 10100 .. 10360 over 10 ticks; average: 10160 .. 10360 over 8.
    QCOMPARE(form.Edit12->text(), QStringLiteral("0.26"));
    QCOMPARE(form.Edit10->text(), QStringLiteral("26"));
    QCOMPARE(form.Edit11->text(), QStringLiteral("0.104"));
    QCOMPARE(form.Ed10->text(), QStringLiteral("25"));
    QCOMPARE(form.Ed12->text(), QStringLiteral("0.2"));
    QCOMPARE(form.Label23->text(), QStringLiteral("5"));
    QCOMPARE(form.Label6->text(), QStringLiteral("200"));
}

void TestTiming::counterWrapsBetweenRestartAndFlash_data()
{
    QTest::addColumn<uint32_t>("restart");
    QTest::addColumn<QString>("restartText");

    QTest::newRow("past 2^31") << 0x7FFFFFC0u << "2147483584";
    QTest::newRow("past 2^32") << 0xFFFFFFC0u << "-64";
}

void TestTiming::counterWrapsBetweenRestartAndFlash()
{
    QFETCH(uint32_t, restart);
    QFETCH(QString, restartText);

    TForm1 form;
    setRhythm(form, 2, 4);
    restartAt(form, restart);
    QCOMPARE(form.Label2->text(), restartText);
    form.measuredOnce = true;
    form.previousFlashTime = static_cast<int32_t>(restart);
    tickTo(form, restart + 100, 4); // wraps
    form.But4Click();
    QCOMPARE(form.Label6->text(), QStringLiteral("100"));
    QCOMPARE(form.Label7->text(), QStringLiteral("96"));
    QCOMPARE(form.Ed10->text(), QStringLiteral("25"));
    QCOMPARE(form.Label23->text(), QStringLiteral("10"));
    QCOMPARE(form.Edit12->text(), QStringLiteral("0.1"));

    tickTo(form, restart + 200, 4);
    form.But4Click();
    QCOMPARE(form.Label6->text(), QStringLiteral("200"));
    QCOMPARE(form.Edit10->text(), QStringLiteral("25"));
}

void TestTiming::firstMeasurementStartsAtTheRestart()
{
    // Long after system start: the first last-cycle values still cover only
    // the ticks since the restart, not the time since the counter's origin.
    TForm1 form;
    QVERIFY(!form.measuredOnce);
    setRhythm(form, 2, 4);
    restartAt(form, 5000000);
    tickTo(form, 5000100, 4);
    form.But4Click();
    QCOMPARE(form.Edit10->text(), QStringLiteral("25"));
    QCOMPARE(form.Edit11->text(), QStringLiteral("0.05"));
    QCOMPARE(form.Edit12->text(), QStringLiteral("0.1"));
    QVERIFY(form.measuredOnce);
    QCOMPARE(form.previousFlashTime, 5000100);
}

void TestTiming::firstMeasurementAfterSeveralRestarts()
{
    // A second restart before the first flash: the first last cycle runs from
    // that restart over its own ticks, the same base as the average.
    TForm1 form;
    setRhythm(form, 2, 4);
    restartAt(form, 8000);
    tickTo(form, 8050, 2);
    restartAt(form, 8060);
    tickTo(form, 8160, 4);
    QCOMPARE(form.lapTickCount, 6);
    form.But4Click();
    QCOMPARE(form.Edit10->text(), QStringLiteral("25"));
    QCOMPARE(form.Edit12->text(), QStringLiteral("0.1"));
    QCOMPARE(form.Ed10->text(), QStringLiteral("25"));
    QCOMPARE(form.lapTickCount, 0);
}

void TestTiming::diagnosticReading()
{
    TForm1 form;
    restartAt(form, 0xFFFFFF00u);
    form.restartTickCount = 10;
    form.Timer1->setInterval(3);
    fakeNow = 0x00000100u; // 512 ms later, past 2^32
    form.Button2Click();
    QCOMPARE(form.Label3->text(), QStringLiteral("256"));
    QCOMPARE(form.Label1->text(), QStringLiteral("512"));
    QCOMPARE(form.Label5->text(), QStringLiteral("30"));
    QCOMPARE(form.Label4->text(), QStringLiteral("482"));
}

void TestTiming::diagnosticReadingBeforeFirstRestart()
{
    TForm1 form;
    fakeNow = 0x80000001u;
    try {
        form.Button2Click();
        QFAIL("the restart time is not a number yet");
    } catch (const platform::Error& error) {
        QCOMPARE(error.message(), QStringLiteral("'Label2' は整数ではありません"));
    }
    QCOMPARE(form.Label3->text(), QStringLiteral("-2147483647"));
    QCOMPARE(form.Label1->text(), QStringLiteral("Label1"));
    QCOMPARE(form.Label4->text(), QStringLiteral("Label4"));
}

void TestTiming::flashesThroughTheTick()
{
    // The tick and the restart as the program runs them, α rhythm at 25 ms a
    // tick and interval 1: the measurement is the last step of each answer
    // flash, and the real clock falls 24 ms a tick behind the counted ticks.
    TForm1 form;
    form.RadioButton1->setChecked(true);
    setRhythm(form, 2, 4);
    fakeNow = 900000;
    form.Button1Click();
    for (int tick = 1; tick <= 12; ++tick) {
        fakeNow += 25;
        form.Timer1Timer();
        if (tick % 4 == 0)
            QCOMPARE(form.Label7->text(), QString::number(24 * tick));
    }
    QCOMPARE(form.Ed10->text(), QStringLiteral("25"));
    QCOMPARE(form.Ed11->text(), QStringLiteral("0.05"));
    QCOMPARE(form.Ed12->text(), QStringLiteral("0.1"));
    QCOMPARE(form.Label23->text(), QStringLiteral("10"));
    QCOMPARE(form.Edit10->text(), QStringLiteral("25"));
    QCOMPARE(form.Edit12->text(), QStringLiteral("0.1"));
    QCOMPARE(form.lapTickCount, 0);
}

QTEST_MAIN(TestTiming)
#include "test_timing.moc"
