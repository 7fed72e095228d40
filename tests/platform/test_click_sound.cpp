#include "platform/click_sound.h"

#include <QTest>

#include <cmath>

using Frames = QList<qint64>;

class TestClickSound : public QObject {
    Q_OBJECT

private slots:
    void clickIsAShortSoftToneAtTheRate_data();
    void clickIsAShortSoftToneAtTheRate();
    void blocksOfAnySizeMakeTheSameSound_data();
    void blocksOfAnySizeMakeTheSameSound();
    void clicksLandAtTheirFlashOrAreDropped_data();
    void clicksLandAtTheirFlashOrAreDropped();
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

// Flashes (ms), each with the first frame still to be written then and the frame the
// clock puts at 0 ns (a change of it is a new start of the clock): where the clicks
// begin (-1: dropped). 48 kHz, delay 20 ms, tolerance 4 ms (192 frames).
void TestClickSound::clicksLandAtTheirFlashOrAreDropped_data()
{
    QTest::addColumn<Frames>("flashesMs");
    QTest::addColumn<Frames>("earliest");
    QTest::addColumn<Frames>("frameAtZero");
    QTest::addColumn<Frames>("expected");
    QTest::newRow("on time") << Frames{1000, 1100} << Frames{0, 0} << Frames{0, 0} << Frames{48960, 53760};
    QTest::newRow("frame 0 heard later") << Frames{1000} << Frames{0} << Frames{-24000} << Frames{24960};
    QTest::newRow("late a little: as late") << Frames{1000} << Frames{49056} << Frames{0} << Frames{49056};
    QTest::newRow("late by the tolerance") << Frames{1000} << Frames{49152} << Frames{0} << Frames{49152};
    QTest::newRow("late by more: dropped") << Frames{1000} << Frames{49153} << Frames{0} << Frames{-1};
    QTest::newRow("after a stall, on time again") << Frames{1000, 1100, 1300} << Frames{60000, 60000, 60000} << Frames{0, 0, 0} << Frames{-1, -1, 63360};
    QTest::newRow("as far apart as the flashes") << Frames{1000, 1010} << Frames{49056, 0} << Frames{0, 0} << Frames{49056, 49536};
    QTest::newRow("frames counted anew: the last click no measure") << Frames{1000, 1100} << Frames{0, 0} << Frames{0, -48000} << Frames{48960, 5760};
    QTest::newRow("100 hours on") << Frames{360000000} << Frames{0} << Frames{0} << Frames{17280000960};
}

void TestClickSound::clicksLandAtTheirFlashOrAreDropped()
{
    QFETCH(Frames, flashesMs); QFETCH(Frames, earliest);
    QFETCH(Frames, frameAtZero); QFETCH(Frames, expected);
    platform::click::ClickPlacer placer(20000000, 4000000);
    Frames starts;
    uint64_t clockStart = 1;
    for (qsizetype i = 0; i < flashesMs.size(); ++i) {
        clockStart += i > 0 && frameAtZero[i] != frameAtZero[i - 1] ? 1 : 0;
        const platform::StreamClock clock{0, double(frameAtZero[i]), 48000};
        starts << placer.place(clock, clockStart, flashesMs[i] * 1000000, earliest[i]).value_or(-1);
    }
    QCOMPARE(starts, expected);
}

QTEST_APPLESS_MAIN(TestClickSound)
#include "test_click_sound.moc"
