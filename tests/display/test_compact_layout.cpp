#include "display/compact_layout.h"

#include <QtTest>

using display::compactAnswerTop;
using display::compactLabelHeight;

class TestCompactLayout : public QObject {
    Q_OBJECT
private slots:
    void strip_data();
    void strip();
    void answerTop_data();
    void answerTop();
    void labelHeightIsFiveThirds();
};

void TestCompactLayout::strip_data()
{
    QTest::addColumn<int>("memoPoints");
    QTest::addColumn<int>("answerTop");
    QTest::addColumn<int>("tabHeight");

    // Design label font 17 px = 13 pt at 96 dpi.
    QTest::newRow("design font 60 pt") << 60 << 21 << 77;
    QTest::newRow("preset 48 pt") << 48 << 27 << 83;
    QTest::newRow("preset 28 pt") << 28 << 46 << 102;
    QTest::newRow("preset 20 pt") << 20 << 65 << 121;
}

void TestCompactLayout::strip()
{
    QFETCH(int, memoPoints);
    QFETCH(int, answerTop);
    QFETCH(int, tabHeight);

    const int labelPoints = 13;
    const int top = compactAnswerTop(memoPoints, labelPoints);
    QCOMPARE(top, answerTop);
    QCOMPARE(compactLabelHeight(labelPoints) + top + 35, tabHeight);
}

void TestCompactLayout::answerTop_data()
{
    QTest::addColumn<int>("M");
    QTest::addColumn<int>("L");
    QTest::addColumn<int>("top");

    // k lies a little below 1/18, so a whole 100 * L / M can come out one less.
    QTest::newRow("21/21 falls one below") << 21 << 21 << 99;
    QTest::newRow("7/7 is exact") << 7 << 7 << 100;
    QTest::newRow("M 0 taken as 1") << 0 << 1 << compactAnswerTop(1, 1);
    QTest::newRow("negative M taken as 1") << -20 << 13 << compactAnswerTop(1, 13);
    QTest::newRow("huge L clamps") << 1 << std::numeric_limits<int>::max()
                                   << std::numeric_limits<int>::max();
}

void TestCompactLayout::answerTop()
{
    QFETCH(int, M);
    QFETCH(int, L);
    QFETCH(int, top);
    QCOMPARE(compactAnswerTop(M, L), top);
}

void TestCompactLayout::labelHeightIsFiveThirds()
{
    for (int L = 1; L <= 199; ++L)
        QCOMPARE(compactLabelHeight(L), 5 * L / 3);
}

QTEST_APPLESS_MAIN(TestCompactLayout)
#include "test_compact_layout.moc"
