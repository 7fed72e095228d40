// Code page 932 as Windows reads and writes it: control codes as
// themselves, 0x80 as U+0080, 0xA0 and 0xFD–0xFF as U+F8F0–U+F8F3, and
// every byte sequence that decodes written back as the same bytes, but for
// the duplicate codes of the NEC and IBM rows.

#include "text/codepage.h"

#include <QTest>

class TestCodepage : public QObject {
    Q_OBJECT

private slots:
    void decoding_data();
    void decoding();
    void everyDecodableSequenceRoundTrips();
    void duplicatesWrittenInThePreferredForm_data();
    void duplicatesWrittenInThePreferredForm();
    void firstCharacterWithoutAForm_data();
    void firstCharacterWithoutAForm();
};

void TestCodepage::decoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("control codes as themselves")
        << QByteArray("\x1A\x1C\x1D\x1E\x1F\x7F", 6) << QStringLiteral("\u001A\u001C\u001D\u001E\u001F\u007F");
    QTest::newRow("single bytes without a character")
        << QByteArray("\x80\xA0\xFD\xFE\xFF") << QStringLiteral("\u0080\uF8F0\uF8F1\uF8F2\uF8F3");
    QTest::newRow("0x80 and 0xA0 as second bytes, then alone")
        << QByteArray("\x81\x80\x80\x82\xA0\xA0") << QStringLiteral("÷\u0080あ\uF8F0");
    QTest::newRow("first byte before 0xFD") << QByteArray("\x82\xFD") << QStringLiteral("\uFFFD\uF8F1");
    QTest::newRow("NEC and IBM rows") << QByteArray("\x87\x40\x87\x8A\xFA\x40\xFB\xFC\xED\x40")
                                      << QStringLiteral("①㈱ⅰ髙纊");
    // Each byte or pair the code page cannot read becomes one U+FFFD; the
    // bytes after it are read afresh, and nothing is dropped.
    const QString bad(QChar::ReplacementCharacter);
    QTest::newRow("first bytes of pairs without their second")
        << QByteArray("\x81\xFD\x9F\x7F") << bad + QChar(0xF8F1) + bad + QChar(0x7F);
    QTest::newRow("first byte of a pair at the end") << QByteArray("a\x81") << QStringLiteral("a") + bad;
    QTest::newRow("first byte alone") << QByteArray("\x9F") << bad;
    QTest::newRow("pair, then a first byte at the end") << QByteArray("\x81\x81\x81") << QStringLiteral("＝") + bad;
    QTest::newRow("second byte out of range") << QByteArray("\x81\x20x") << bad + QStringLiteral(" x");
    QTest::newRow("pair with no character") << QByteArray("\x85\x40") << bad;
    QTest::newRow("pair cut by SUB") << QByteArray("\x82\x1A") << bad + QChar(0x1A);
    QTest::newRow("user-defined area") << QByteArray("\xF0\x40") << QString(QChar(0xE000));
}

void TestCodepage::decoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);

    QCOMPARE(platform::decodeCp932(bytes), text);
}

void TestCodepage::everyDecodableSequenceRoundTrips()
{
    QList<QByteArray> sequences;
    for (int b = 0; b < 0x100; ++b)
        sequences.append(QByteArray(1, char(b)));
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead == 0xA0)
            lead = 0xE0; // the first bytes of pairs: 0x81–0x9F, 0xE0–0xFC
        for (int trail = 0x40; trail <= 0xFC; ++trail)
            sequences.append(QByteArray(1, char(lead)) + char(trail));
    }
    int decodable = 0;
    for (const QByteArray& bytes : sequences) {
        const QString text = platform::decodeCp932(bytes);
        if (text.contains(QChar::ReplacementCharacter))
            continue;
        ++decodable;
        QVERIFY2(text.size() == 1, bytes.toHex().constData());
        QByteArray written;
        QVERIFY2(platform::encodeCp932(text, &written), bytes.toHex().constData());
        if (written == bytes)
            continue;
        // Only a duplicate code may be written otherwise: in its preferred
        // form, which reads as the same character.
        const auto lead = quint8(bytes[0]);
        QVERIFY2(bytes.size() == 2 && (lead == 0x87 || lead == 0xED || lead == 0xEE || lead == 0xFA),
                 bytes.toHex().constData());
        QCOMPARE(platform::decodeCp932(written), text);
    }
    // 128 ASCII, 63 katakana, 0x80, 0xA0, 0xFD–0xFF, and 7724 + 1880 pairs
    // (the JIS, NEC and IBM characters and the user-defined area).
    QCOMPARE(decodable, 128 + 63 + 5 + 7724 + 1880);
}

void TestCodepage::duplicatesWrittenInThePreferredForm_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("NEC row 13 ≒ → JIS") << QByteArray("\x87\x90") << QByteArray("\x81\xE0");
    QTest::newRow("NEC-selected IBM ⅰ → IBM") << QByteArray("\xEE\xEF") << QByteArray("\xFA\x40");
    QTest::newRow("IBM Ⅰ → NEC row 13") << QByteArray("\xFA\x4A") << QByteArray("\x87\x54");
    QTest::newRow("IBM ￢ → JIS") << QByteArray("\xFA\x54") << QByteArray("\x81\xCA");
}

void TestCodepage::duplicatesWrittenInThePreferredForm()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, written);

    QByteArray out;
    QVERIFY(platform::encodeCp932(platform::decodeCp932(bytes), &out));
    QCOMPARE(out, written);
}

void TestCodepage::firstCharacterWithoutAForm_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("index");

    QTest::newRow("all written") << QStringLiteral("あ\uF8F0\u0080\u001A①") << -1;
    QTest::newRow("emoji after text") << QStringLiteral("ab😀c😀") << 2;
    QTest::newRow("accent first") << QStringLiteral("éあ") << 0;
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + u'a' << 0;
}

void TestCodepage::firstCharacterWithoutAForm()
{
    QFETCH(QString, text);
    QFETCH(int, index);

    qsizetype failedAt = -2;
    QByteArray out;
    QCOMPARE(platform::encodeCp932(text, &out, &failedAt), index < 0);
    QCOMPARE(index < 0 ? -2 : failedAt, index < 0 ? -2 : qsizetype(index));
    QCOMPARE(platform::firstCharacterWithoutCp932(text), qsizetype(index));
}

QTEST_MAIN(TestCodepage)
#include "test_codepage.moc"
