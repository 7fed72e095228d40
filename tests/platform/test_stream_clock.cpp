// The stream's clock followed from the server's reports: a sound card (or
// server) whose clock runs off the system's is matched within a millisecond,
// the mapping moves in steps no one hears, a step of the stream itself is
// taken at once and a single stray report is ignored.

#include "platform/stream_clock.h"

#include <QTest>

#include <cmath>

class TestStreamClock : public QObject {
    Q_OBJECT

private slots:
    void followsAStreamClockThatRunsOff_data();
    void followsAStreamClockThatRunsOff();
};

void TestStreamClock::followsAStreamClockThatRunsOff_data()
{
    QTest::addColumn<double>("offPpm");    // the stream's clock against the monotonic one
    QTest::addColumn<int>("jitterFrames"); // each report off by up to this much, either way
    QTest::addColumn<double>("stepFrames"); // the reports step by this at 12 s...
    QTest::addColumn<bool>("lasting");      // ...from then on, or in that report only
    QTest::newRow("exact") << 0.0 << 0 << 0.0 << true;
    QTest::newRow("0.2 % slow, noisy reports") << -2000.0 << 96 << 0.0 << true;
    QTest::newRow("0.2 % fast, noisy reports") << 2000.0 << 96 << 0.0 << true;
    QTest::newRow("a period of 256 frames skipped") << -1500.0 << 24 << 256.0 << true;
    QTest::newRow("re-counted from 0") << -1500.0 << 24 << -500000.0 << true;
    QTest::newRow("16 ms back, as when a client joins") << 0.0 << 0 << -768.0 << true;
    QTest::newRow("one report far off") << -1500.0 << 24 << 500.0 << false;
    QTest::newRow("one report off by a step's worth") << -1500.0 << 24 << -768.0 << false;
}

// Reports every 100 ms for 30 s at 48 kHz. From 10 s on the mapping is
// within 1 ms of the truth, but for the first report that shows a step;
// throughout, a click 100 ms after another lands within 0.3 ms of where the
// truth puts it.
void TestStreamClock::followsAStreamClockThatRunsOff()
{
    QFETCH(double, offPpm);
    QFETCH(int, jitterFrames);
    QFETCH(double, stepFrames);
    QFETCH(bool, lasting);
    const double rate = 48000 * (1 + offPpm / 1e6);
    platform::ClockFollower follower(48000);
    constexpr int64_t kStep = 100000000, kStart = 5000000000, kStepAt = kStart + 12000000000;
    uint32_t noise = 12345;
    for (int64_t ns = kStart; ns < kStart + 30000000000; ns += kStep) {
        const auto truth = [&](int64_t t) {
            const bool stepped = lasting ? t >= kStepAt : t == kStepAt;
            return 1000 + double(t - kStart) * rate / 1e9 + (stepped ? stepFrames : 0);
        };
        noise = noise * 1103515245 + 12345;
        follower.observe(ns, truth(ns) + int(noise >> 16) % (2 * jitterFrames + 1) - jitterFrames);
        const platform::StreamClock& clock = follower.clock();
        const double spacing = clock.exactFrameAt(ns + 2 * kStep) - clock.exactFrameAt(ns + kStep);
        if (ns > kStart)
            QVERIFY2(std::fabs(spacing - rate / 10) <= 14.4, qPrintable(QString::number(spacing - rate / 10)));
        const double off = clock.exactFrameAt(ns + kStep / 2) - truth(ns + kStep / 2);
        if (ns >= kStart + 10000000000 && (ns < kStepAt || ns >= kStepAt + 2 * kStep))
            QVERIFY2(std::fabs(off) <= 48, qPrintable(QString::number(off)));
    }
}

QTEST_APPLESS_MAIN(TestStreamClock)
#include "test_stream_clock.moc"
