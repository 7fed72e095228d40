#include "platform/platform.h"

#include <QTest>
#include <QThread>

class TestTickCount : public QObject {
    Q_OBJECT

private slots:
    void systemCounterFollowsRealTime();
    void sourceReplacesTheCounterUntilCleared();
    void beepsGoToTheSink();
};

void TestTickCount::systemCounterFollowsRealTime()
{
    const uint32_t before = platform::GetTickCount();
    QThread::msleep(50);
    const uint32_t elapsed = platform::GetTickCount() - before;
    QVERIFY2(elapsed >= 49 && elapsed < 1000, qPrintable(QString::number(elapsed)));
}

void TestTickCount::sourceReplacesTheCounterUntilCleared()
{
    platform::setTickCountSource([] { return 0xFFFFFFF0u; });
    QCOMPARE(platform::GetTickCount(), 0xFFFFFFF0u);
    platform::setTickCountSource({});
    QVERIFY(platform::GetTickCount() != 0xFFFFFFF0u);
}

void TestTickCount::beepsGoToTheSink()
{
    QList<uint32_t> beeps;
    platform::setBeepSink([&](uint32_t type) { beeps << type; });
    platform::MessageBeep(0xFFFFFFFF);
    platform::setBeepSink({});
    // Without a sink and without a widget application the beep is silent.
    platform::MessageBeep(0xFFFFFFFF);
    QCOMPARE(beeps, QList<uint32_t>({0xFFFFFFFF}));
}

QTEST_GUILESS_MAIN(TestTickCount)
#include "test_tickcount.moc"
