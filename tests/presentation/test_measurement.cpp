#include "presentation/measurement.h"

#include <QtTest>
#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(long double)

using namespace presentation;

class TestMeasurement : public QObject {
    Q_OBJECT
private slots:
    void format_data();
    void format();
    void cut();
    void wrapAround_data();
    void wrapAround();
    void average_data();
    void average();
    void zeroPeriodHasNoFrequency();
    void lastCycle_data();
    void lastCycle();
};

void TestMeasurement::format_data()
{
    QTest::addColumn<long double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << 0.0L << "0";
    QTest::newRow("negative zero") << -0.0L << "0";
    QTest::newRow("whole") << 25.0L << "25";
    QTest::newRow("15 digits plain") << 999999999999999.0L << "999999999999999";
    QTest::newRow("16 digits rounds to exponent") << 1234567890123456.0L << "1.23456789012346E+15";
    QTest::newRow("large") << 1e20L << "1E+20";
    QTest::newRow("small fraction plain") << 0.0001L << "0.0001";
    QTest::newRow("smaller in exponent form") << 0.00001L << "1E-5";
    QTest::newRow("negative exponent form") << -1.5e-7L << "-1.5E-7";
    QTest::newRow("negative") << -2.5L << "-2.5";
    QTest::newRow("1000 / 41") << 1000.0L / 41 << "24.390243902439";
    QTest::newRow("2 / 3 rounds up") << 2.0L / 3 << "0.666666666666667";
    QTest::newRow("150 ms in seconds") << 150 * 0.001L << "0.15";
    QTest::newRow("66 tenths") << 66 * 0.1L << "6.6";
    QTest::newRow("three tenths") << 3 * 0.1L << "0.3";
    QTest::newRow("infinity") << std::numeric_limits<long double>::infinity() << "INF";
    QTest::newRow("minus infinity") << -std::numeric_limits<long double>::infinity() << "-INF";
    QTest::newRow("nan") << std::numeric_limits<long double>::quiet_NaN() << "NAN";
}

void TestMeasurement::format()
{
    QFETCH(long double, value);
    QFETCH(QString, text);
    QCOMPARE(formatGeneral(value), text);
}

void TestMeasurement::cut()
{
    QCOMPARE(cutToWhole(2.9L), 2.0L);
    QCOMPARE(cutToWhole(-2.9L), -2.0L);
    QCOMPARE(cutToWhole(75.0L), 75.0L);
}

void TestMeasurement::wrapAround_data()
{
    QTest::addColumn<qint64>("later");   // counter readings, 0 ... 2^32 - 1
    QTest::addColumn<qint64>("earlier");
    QTest::addColumn<int>("difference");

    constexpr qint64 two31 = qint64{1} << 31;
    constexpr qint64 two32 = qint64{1} << 32;
    QTest::newRow("plain") << qint64{5000} << qint64{1000} << 4000;
    QTest::newRow("across 2^31") << two31 + 10 << two31 - 6 << 16;
    QTest::newRow("across 2^32") << qint64{10} << two32 - 6 << 16;
    QTest::newRow("from the origin") << two31 + 100 << qint64{0} << std::numeric_limits<int>::min() + 100;
    QTest::newRow("backwards") << qint64{1000} << qint64{5000} << -4000;
}

void TestMeasurement::wrapAround()
{
    QFETCH(qint64, later);
    QFETCH(qint64, earlier);
    QFETCH(int, difference);
    // Readings are stored as the counter's bits in a signed 32-bit value.
    const auto reading = [](qint64 counter) {
        return static_cast<int32_t>(static_cast<uint32_t>(counter));
    };
    QCOMPARE(wrapDiff(reading(later), reading(earlier)), difference);
}

void TestMeasurement::average_data()
{
    QTest::addColumn<int>("elapsed");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("span");
    QTest::addColumn<int>("period");
    QTest::addColumn<QString>("tick");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("cycle");
    QTest::addColumn<QString>("hertz");

    // 25 ms a tick, first flash after the restart (n = p) and later ones.
    QTest::newRow("alpha") << 100 << 4 << 2 << 4 << "25" << "0.05" << "0.1" << "10";
    QTest::newRow("theta") << 150 << 6 << 3 << 6 << "25" << "0.075" << "0.15" << "6.6";
    QTest::newRow("5 Hz") << 200 << 8 << 4 << 8 << "25" << "0.1" << "0.2" << "5";
    QTest::newRow("4 Hz") << 250 << 10 << 5 << 10 << "25" << "0.125" << "0.25" << "4";
    QTest::newRow("subliminal") << 1000 << 40 << 1 << 40 << "25" << "0.025" << "1" << "1";
    // The frequency is cut to tenths, not rounded.
    QTest::newRow("0.152 s cuts to 6.5") << 152 << 4 << 2 << 4 << "38" << "0.076" << "0.152" << "6.5";
    QTest::newRow("0.148 s cuts to 6.7") << 148 << 4 << 2 << 4 << "37" << "0.074" << "0.148" << "6.7";
    // Periods and spans are cut to whole milliseconds.
    QTest::newRow("1001 ms over 40") << 1001 << 40 << 5 << 50 << "25.025" << "0.125" << "1.251" << "0.7";
    QTest::newRow("1000 ms over 41") << 1000 << 41 << 5 << 50
                                     << "24.390243902439" << "0.121" << "1.219" << "0.8";
}

void TestMeasurement::average()
{
    QFETCH(int, elapsed);
    QFETCH(int, ticks);
    QFETCH(int, span);
    QFETCH(int, period);
    QFETCH(QString, tick);
    QFETCH(QString, answer);
    QFETCH(QString, cycle);
    QFETCH(QString, hertz);

    const AverageFigures figures = averageFigures(elapsed, ticks, span, period);
    QCOMPARE(figures.tickMs, tick);
    QCOMPARE(figures.answerSeconds, answer);
    QCOMPARE(figures.periodSeconds, cycle);
    QVERIFY(figures.frequencyValid);
    QCOMPARE(figures.frequencyHz, hertz);
}

void TestMeasurement::zeroPeriodHasNoFrequency()
{
    // 0.75 ms for the whole question period cuts to 0 ms.
    const AverageFigures shortPeriod = averageFigures(1, 4, 1, 3);
    QCOMPARE(shortPeriod.periodSeconds, QStringLiteral("0"));
    QVERIFY(!shortPeriod.frequencyValid);
    QCOMPARE(shortPeriod.frequencyHz, QString());

    const AverageFigures noTime = averageFigures(0, 1, 5, 50);
    QCOMPARE(noTime.tickMs, QStringLiteral("0"));
    QVERIFY(!noTime.frequencyValid);
}

void TestMeasurement::lastCycle_data()
{
    QTest::addColumn<int>("lap");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("span");
    QTest::addColumn<QString>("tick");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("cycle");

    QTest::newRow("alpha at 25 ms") << 100 << 4 << 2 << "25" << "0.05" << "0.1";
    QTest::newRow("1002 ms over 40") << 1002 << 40 << 2 << "25.05" << "0.05" << "1.002";
    QTest::newRow("1000 ms over 41") << 1000 << 41 << 5 << "24.390243902439" << "0.121" << "1";
}

void TestMeasurement::lastCycle()
{
    QFETCH(int, lap);
    QFETCH(int, ticks);
    QFETCH(int, span);
    QFETCH(QString, tick);
    QFETCH(QString, answer);
    QFETCH(QString, cycle);

    const LastCycleFigures figures = lastCycleFigures(lap, ticks, span);
    QCOMPARE(figures.tickMs, tick);
    QCOMPARE(figures.answerSeconds, answer);
    QCOMPARE(figures.cycleSeconds, cycle);
}

QTEST_APPLESS_MAIN(TestMeasurement)
#include "test_measurement.moc"
