#include "presentation/rhythm.h"

#include <QtTest>
#include <limits>

using presentation::alignedQuestionPeriod;
using presentation::tickIntervalStep;

class TestRhythm : public QObject {
    Q_OBJECT
private slots:
    void alignedPeriod_data();
    void alignedPeriod();
    void tickStep_data();
    void tickStep();
};

void TestRhythm::alignedPeriod_data()
{
    QTest::addColumn<int>("q");
    QTest::addColumn<int>("s");
    QTest::addColumn<int>("expected");

    constexpr int intMax = std::numeric_limits<int>::max();
    constexpr int intMin = std::numeric_limits<int>::min();

    QTest::newRow("50 to span 6") << 50 << 6 << 48;
    QTest::newRow("50 to span 7") << 50 << 7 << 49;
    QTest::newRow("45 to span 10") << 45 << 10 << 50;
    QTest::newRow("50 to span 5") << 50 << 5 << 50;
    QTest::newRow("52 to span 6") << 52 << 6 << 54;
    QTest::newRow("tie goes up") << 3 << 2 << 4;
    QTest::newRow("below half a span") << 2 << 5 << 0;
    QTest::newRow("span 0 keeps q") << 50 << 0 << 50;
    QTest::newRow("negative span keeps q") << 50 << -6 << 50;
    QTest::newRow("largest q, span 1") << intMax << 1 << intMax;
    QTest::newRow("largest q rounds past int") << intMax << 2 << intMax;
    QTest::newRow("smallest q, span 1") << intMin << 1 << intMin + 1;
    QTest::newRow("largest span") << 50 << intMax << 0;
}

void TestRhythm::alignedPeriod()
{
    QFETCH(int, q);
    QFETCH(int, s);
    QFETCH(int, expected);
    QCOMPARE(alignedQuestionPeriod(q, s), expected);
}

void TestRhythm::tickStep_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("step");

    const struct {
        int value;
        int step;
    } rows[] = {
        {std::numeric_limits<int>::min(), 1}, {0, 1}, {1, 1}, {10, 1}, {11, 2}, {20, 2},
        {21, 5}, {50, 5}, {51, 10}, {300, 10}, {301, 25}, {550, 25}, {551, 50},
        {1100, 50}, {1101, 100}, {10000, 100}, {10001, 100},
        {std::numeric_limits<int>::max(), 100},
    };
    for (const auto& row : rows)
        QTest::addRow("%d", row.value) << row.value << row.step;
}

void TestRhythm::tickStep()
{
    QFETCH(int, value);
    QFETCH(int, step);
    QCOMPARE(tickIntervalStep(value), step);
}

QTEST_APPLESS_MAIN(TestRhythm)
#include "test_rhythm.moc"
