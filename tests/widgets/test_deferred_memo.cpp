// The memo that decodes code page 932 bytes only when its text is needed:
// text put into it by any other way before then is what it keeps.

#include "widgets/DeferredMemo.h"

#include <QTest>

using platform::DeferredMemo;

class TestDeferredMemo : public QObject {
    Q_OBJECT

private slots:
    void textPutInWhileBytesWaitIsKept_data();
    void textPutInWhileBytesWaitIsKept();
};

void TestDeferredMemo::textPutInWhileBytesWaitIsKept_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("set through the text box's own setter") << 0;
    QTest::newRow("written to the plainText property") << 1;
    QTest::newRow("inserted as typing does") << 2;
}

void TestDeferredMemo::textPutInWhileBytesWaitIsKept()
{
    QFETCH(int, way);
    DeferredMemo memo; // never shown: the bytes wait
    memo.setCp932Text("given");
    QVERIFY(memo.showsGivenText());
    QPlainTextEdit& box = memo;
    if (way == 0)
        box.setPlainText(QStringLiteral("put"));
    else if (way == 1)
        memo.setProperty("plainText", QStringLiteral("put"));
    else
        box.insertPlainText(QStringLiteral("put"));

    QVERIFY(!memo.showsGivenText());
    QCOMPARE(memo.property("plainText").toString(), QStringLiteral("put"));
    QCOMPARE(memo.toPlainText(), QStringLiteral("put"));
    // Given again, the bytes are what it shows.
    memo.setCp932Text("\x93\xfa\x96\x7b");
    QCOMPARE(box.toPlainText(), QString());
    QCOMPARE(memo.toPlainText(), QStringLiteral("日本"));
    QVERIFY(memo.showsGivenText());
}

QTEST_MAIN(TestDeferredMemo)
#include "test_deferred_memo.moc"
