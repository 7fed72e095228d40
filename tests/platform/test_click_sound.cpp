#include "platform/click_sound.h"

#include <QTest>

#include <cmath>

using platform::click::StreamClock;

class TestClickSound : public QObject {
    Q_OBJECT

private slots:
    void clickIsAShortSoftToneAtTheRate_data();
    void clickIsAShortSoftToneAtTheRate();
    void blocksOfAnySizeMakeTheSameSound_data();
    void blocksOfAnySizeMakeTheSameSound();
    void clickStartsItsLatencyAfterTheFlash_data();
    void clickStartsItsLatencyAfterTheFlash();
};

void TestClickSound::clickIsAShortSoftToneAtTheRate_data()
{
    QTest::addColumn<uint32_t>("rate");
    QTest::newRow("44.1 kHz") << 44100u;
    QTest::newRow("48 kHz") << 48000u;
    QTest::newRow("96 kHz") << 96000u;
}

void TestClickSound::clickIsAShortSoftToneAtTheRate()
{
    QFETCH(uint32_t, rate);
    const std::vector<float> click = platform::click::makeClick(rate);
    QCOMPARE(click.size(), size_t(std::lround(0.008 * rate)));
    // Starts and ends at (almost) nothing: no pop.
    QVERIFY(std::fabs(click.front()) < 0.001f);
    QVERIFY2(std::fabs(click.back()) < 0.01f, qPrintable(QString::number(click.back())));
    float peak = 0;
    int crossings = 0;
    for (size_t i = 0; i < click.size(); ++i) {
        peak = std::max(peak, std::fabs(click[i]));
        if (i > 0 && (click[i - 1] < 0) != (click[i] < 0))
            ++crossings;
    }
    QVERIFY2(peak > 0.35f && peak <= 0.4f, qPrintable(QString::number(peak)));
    // 1.5 kHz for 8 ms at this rate: 12 periods, two sign changes each.
    QVERIFY2(crossings >= 22 && crossings <= 25, qPrintable(QString::number(crossings)));
}

void TestClickSound::blocksOfAnySizeMakeTheSameSound_data()
{
    QTest::addColumn<int>("blockFrames");
    QTest::newRow("one frame") << 1;
    QTest::newRow("7 frames") << 7;
    QTest::newRow("a click's length") << 384;
    QTest::newRow("333 frames") << 333;
}

void TestClickSound::blocksOfAnySizeMakeTheSameSound()
{
    QFETCH(int, blockFrames);
    const std::vector<float> click = platform::click::makeClick(48000);
    // One click cut by most block boundaries, one well inside the sound.
    const std::vector<int64_t> starts = {1000, 1700};
    std::vector<float> whole(3000, 1.0f);
    platform::click::mixBlock(whole, 0, starts, click);
    for (size_t i = 0; i < click.size(); ++i) {
        QCOMPARE(whole[1000 + i], click[i]);
        QCOMPARE(whole[1700 + i], click[i]);
    }
    QCOMPARE(whole[999], 0.0f);
    QCOMPARE(whole[1000 + click.size()], 0.0f);

    std::vector<float> pieces(whole.size(), 1.0f);
    for (size_t first = 0; first < pieces.size(); first += blockFrames) {
        const size_t length = std::min<size_t>(blockFrames, pieces.size() - first);
        platform::click::mixBlock(std::span(pieces).subspan(first, length), int64_t(first), starts, click);
    }
    QVERIFY(pieces == whole);
}

void TestClickSound::clickStartsItsLatencyAfterTheFlash_data()
{
    QTest::addColumn<int64_t>("zeroNs");
    QTest::addColumn<uint32_t>("rate");
    QTest::addColumn<int64_t>("flashNs");
    QTest::addColumn<int64_t>("earliest");
    QTest::addColumn<int64_t>("expected");
    constexpr int64_t s = 1000000000;
    // Latency 20 ms throughout.
    QTest::newRow("in time") << int64_t(0) << 48000u << s << int64_t(0) << int64_t(48960);
    QTest::newRow("frame 0 heard later") << int64_t(s / 2) << 48000u << s << int64_t(0) << int64_t(24960);
    QTest::newRow("between two frames: the earlier")
        << int64_t(0) << 48000u << s + 10000 << int64_t(0) << int64_t(48960);
    QTest::newRow("already past: the earliest") << int64_t(0) << 48000u << s << int64_t(50000) << int64_t(50000);
    QTest::newRow("100 hours on at 48 kHz")
        << int64_t(0) << 48000u << 360000 * s << int64_t(0) << int64_t(17280000960);
}

void TestClickSound::clickStartsItsLatencyAfterTheFlash()
{
    QFETCH(int64_t, zeroNs);
    QFETCH(uint32_t, rate);
    QFETCH(int64_t, flashNs);
    QFETCH(int64_t, earliest);
    QFETCH(int64_t, expected);
    const StreamClock clock{zeroNs, rate};
    QCOMPARE(platform::click::clickStart(clock, flashNs, 20000000, earliest), expected);
}

QTEST_APPLESS_MAIN(TestClickSound)
#include "test_click_sound.moc"
