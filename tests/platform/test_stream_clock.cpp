// The stream's clock followed from the server's reports: a sound card (or
// server) whose clock runs off the system's is matched within a millisecond,
// the mapping moves in steps no one hears, and a re-counted stream is taken
// at once.

#include "platform/stream_clock.h"

#include <QTest>

#include <cmath>
#include <utility>

class TestStreamClock : public QObject {
    Q_OBJECT

private slots:
    void followsAStreamClockThatRunsOff_data();
    void followsAStreamClockThatRunsOff();
};

void TestStreamClock::followsAStreamClockThatRunsOff_data()
{
    QTest::addColumn<double>("offPpm");        // the stream's clock against the monotonic one
    QTest::addColumn<int>("jitterFrames");     // each report off by up to this much, either way
    QTest::addColumn<double>("recountAtS");    // the stream's frames re-counted then (0: never)
    QTest::newRow("exact") << 0.0 << 0 << 0.0;
    QTest::newRow("0.2 % slow, noisy reports") << -2000.0 << 96 << 0.0;
    QTest::newRow("0.2 % fast, noisy reports") << 2000.0 << 96 << 0.0;
    QTest::newRow("re-counted mid-way") << -1500.0 << 48 << 12.0;
}

// Reports every 100 ms for 30 s at 48 kHz. From 10 s after the (last) start
// the mapping is within 1 ms of the truth; throughout, a click 100 ms after
// another lands within 0.3 ms of where the truth puts it, but right after
// a re-count.
void TestStreamClock::followsAStreamClockThatRunsOff()
{
    QFETCH(double, offPpm);
    QFETCH(int, jitterFrames);
    QFETCH(double, recountAtS);
    const double rate = 48000 * (1 + offPpm / 1e6);
    platform::ClockFollower follower(48000);
    constexpr int64_t kStep = 100000000, kStart = 5000000000;
    uint32_t noise = 12345;
    double shift = 1000;
    int64_t settledFrom = kStart + 10000000000;
    bool started = false;
    for (int64_t ns = kStart; ns < kStart + 30000000000; ns += kStep) {
        if (recountAtS > 0 && ns == kStart + int64_t(recountAtS * 1e9)) {
            shift -= rate * recountAtS; // the stream starts again from frame 0
            settledFrom = ns + 10000000000;
            started = false;
        }
        const auto truth = [&](int64_t t) { return shift + double(t - kStart) * rate / 1e9; };
        noise = noise * 1103515245 + 12345;
        follower.observe(ns, truth(ns) + int(noise >> 16) % (2 * jitterFrames + 1) - jitterFrames);
        const platform::StreamClock& clock = follower.clock();
        const double spacing = clock.exactFrameAt(ns + 2 * kStep) - clock.exactFrameAt(ns + kStep);
        if (std::exchange(started, true))
            QVERIFY2(std::fabs(spacing - rate / 10) <= 14.4, qPrintable(QString::number(spacing - rate / 10)));
        if (ns >= settledFrom)
            QVERIFY2(std::fabs(clock.exactFrameAt(ns + kStep / 2) - truth(ns + kStep / 2)) <= 48,
                     qPrintable(QString::number(clock.exactFrameAt(ns + kStep / 2) - truth(ns + kStep / 2))));
    }
}

QTEST_APPLESS_MAIN(TestStreamClock)
#include "test_stream_clock.moc"
