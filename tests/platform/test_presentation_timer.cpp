#include "platform/PresentationTimer.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <algorithm>

using platform::PresentationTimer;

namespace {

// Spins without serving events, as a long handler or a busy window would.
void busyFor(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
    }
}

// Serves events like the program's own event loop. (QTest::qWait sleeps
// between its rounds of events, which would make ticks late.)
void runEventLoop(int milliseconds, QEventLoop* loop)
{
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, loop, &QEventLoop::quit);
    loop->exec();
}

void runEventLoop(int milliseconds)
{
    QEventLoop loop;
    runEventLoop(milliseconds, &loop);
}

} // namespace

class TestPresentationTimer : public QObject {
    Q_OBJECT

private slots:
    void periodIsNeverBelowTheGranularity_data();
    void periodIsNeverBelowTheGranularity();
    void zeroIntervalHoldsTicksBack();
    void sameIntervalKeepsThePhase();
    void newIntervalRearms();
    void ticksDoNotDriftWithASlowHandler();
    void missedTicksAreSkippedNotBurst();
};

void TestPresentationTimer::periodIsNeverBelowTheGranularity_data()
{
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("period");

    QTest::newRow("1 ms") << 1 << 25;
    QTest::newRow("24 ms") << 24 << 25;
    QTest::newRow("25 ms") << 25 << 25;
    QTest::newRow("26 ms") << 26 << 26;
    QTest::newRow("250 ms") << 250 << 250;
    QTest::newRow("0 holds") << 0 << 0;
    QTest::newRow("negative holds") << -5 << 0;
}

void TestPresentationTimer::periodIsNeverBelowTheGranularity()
{
    QFETCH(int, interval);
    QFETCH(int, period);
    PresentationTimer timer;
    timer.setProperty("interval", interval);
    timer.setProperty("active", true);
    QCOMPARE(timer.property("interval").toInt(), interval);
    QCOMPARE(timer.property("active").toBool(), true);
    QCOMPARE(timer.period(), period);
    if (period == 0) {
        QCOMPARE(timer.remainingTime(), -1);
    } else {
        QVERIFY2(timer.remainingTime() <= period && timer.remainingTime() > period - 10,
                 qPrintable(QString::number(timer.remainingTime())));
    }
}

void TestPresentationTimer::zeroIntervalHoldsTicksBack()
{
    PresentationTimer timer;
    int ticks = 0;
    connect(&timer, &PresentationTimer::timeout, this, [&] { ++ticks; });
    timer.setInterval(0);
    timer.setActive(true);
    runEventLoop(100);
    QCOMPARE(ticks, 0);
    timer.setInterval(1);
    runEventLoop(100);
    QVERIFY(ticks > 0);
    timer.setInterval(0);
    const int heldAt = ticks;
    runEventLoop(100);
    QCOMPARE(ticks, heldAt);
}

void TestPresentationTimer::sameIntervalKeepsThePhase()
{
    PresentationTimer timer;
    timer.setInterval(1);
    timer.setActive(true);
    busyFor(15);
    timer.setInterval(1);
    timer.setActive(true);
    QVERIFY2(timer.remainingTime() <= 10, qPrintable(QString::number(timer.remainingTime())));
}

void TestPresentationTimer::newIntervalRearms()
{
    PresentationTimer timer;
    timer.setInterval(1);
    timer.setActive(true);
    busyFor(15);
    timer.setInterval(200);
    QVERIFY2(timer.remainingTime() > 190, qPrintable(QString::number(timer.remainingTime())));
    // Below the granularity counts as a change too: re-armed at 25 ms.
    busyFor(15);
    timer.setInterval(2);
    QVERIFY2(timer.remainingTime() > 15, qPrintable(QString::number(timer.remainingTime())));
}

// Each due time follows the previous one, not the moment the handler
// finished: a handler that takes 8 ms of every 25 does not stretch the period.
void TestPresentationTimer::ticksDoNotDriftWithASlowHandler()
{
    PresentationTimer timer;
    QElapsedTimer clock;
    QList<qint64> stampsNs;
    QEventLoop loop;
    connect(&timer, &PresentationTimer::timeout, this, [&] {
        stampsNs << clock.nsecsElapsed();
        busyFor(8);
        if (stampsNs.size() == 41)
            loop.quit();
    });
    clock.start();
    timer.setInterval(1);
    timer.setActive(true);
    runEventLoop(5000, &loop);
    timer.setActive(false);
    QCOMPARE(stampsNs.size(), 41);

    const double meanMs = (stampsNs.last() - stampsNs.first()) / 1e6 / (stampsNs.size() - 1);
    QVERIFY2(meanMs >= 24.0 && meanMs <= 32.0, qPrintable(QString::number(meanMs)));
}

// A first tick that blocks for 140 ms misses the due times at 50 to 150 ms;
// they are dropped, so by 205 ms only the ticks at 25, ~165 (late), 175
// and 200 have come.
void TestPresentationTimer::missedTicksAreSkippedNotBurst()
{
    PresentationTimer timer;
    QElapsedTimer clock;
    QList<qint64> stampsMs;
    connect(&timer, &PresentationTimer::timeout, this, [&] {
        stampsMs << clock.elapsed();
        if (stampsMs.size() == 1)
            busyFor(140);
    });
    clock.start();
    timer.setInterval(1);
    timer.setActive(true);
    runEventLoop(300);
    timer.setActive(false);

    const auto early = std::count_if(stampsMs.cbegin(), stampsMs.cend(),
                                     [](qint64 ms) { return ms <= 205; });
    QVERIFY2(early >= 2 && early <= 5, qPrintable(QString::number(early)));
    // And the ticks go on afterwards.
    QVERIFY2(stampsMs.size() - early >= 2, qPrintable(QString::number(stampsMs.size())));
}

QTEST_MAIN(TestPresentationTimer)
#include "test_presentation_timer.moc"
