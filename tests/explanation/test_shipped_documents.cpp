// The documents that ship beside the program: the rich ones are 7-bit rich
// text that the reader turns into formatted Japanese text, the plain ones are
// clean code page 932 text with CR LF line ends.

#include "text/codepage.h"
#include "text/rtf_reader.h"

#include <QFile>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace {

QByteArray shippedBytes(const QString& name)
{
    const QString path = QFINDTESTDATA("../../data/" + name);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool isSevenBit(const QByteArray& bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
}

// Every line ends in CR LF, the last one included; no lone CR or LF.
bool hasCrLfLines(const QByteArray& bytes)
{
    if (!bytes.endsWith("\r\n"))
        return false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))
            return false;
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            return false;
    }
    return true;
}

} // namespace

class TestShippedDocuments : public QObject {
    Q_OBJECT

private slots:
    void richDocuments_data();
    void richDocuments();
    void plainDocuments_data();
    void plainDocuments();
};

void TestShippedDocuments::richDocuments_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");

    QTest::newRow("alpha and theta") << "mrld_D01.doc" << "α波θ波の利用";
    QTest::newRow("memorising") << "mrld_D02.doc" << "効率暗記";
    QTest::newRow("letters") << "mrld_D03.doc" << "お便りから";
}

void TestShippedDocuments::richDocuments()
{
    QFETCH(QString, name);
    QFETCH(QString, title);

    const QByteArray bytes = shippedBytes(name);
    QVERIFY2(!bytes.isEmpty(), qPrintable(name));
    QVERIFY(isSevenBit(bytes));

    QTextDocument document;
    QVERIFY(platform::readRtf(bytes, &document));
    const QString text = document.toPlainText();
    QVERIFY(!text.contains(QChar::ReplacementCharacter));
    QVERIFY(!text.contains(u'\\'));
    QVERIFY(!text.contains(u'{'));

    const QTextBlock first = document.begin();
    QCOMPARE(first.text(), title);
    QCOMPARE(first.blockFormat().alignment(), Qt::AlignHCenter);
    const QTextCharFormat titleFormat = first.begin().fragment().charFormat();
    QCOMPARE(titleFormat.fontWeight(), int(QFont::Bold));
    QCOMPARE(titleFormat.fontPointSize(), 16.0);
    QVERIFY(titleFormat.foreground().color() != QColor(Qt::black));
    QVERIFY(document.blockCount() > 10);
}

void TestShippedDocuments::plainDocuments_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("words");

    QTest::newRow("version document")
        << "MIRELD08.DOC"
        << QStringList{"Mireldo Ver0.8", "読込・出題設定", "チャレンジ画面", "画面脇常駐",
                       "α波設定", "暗記っちゃえ", "本ｻﾌﾞﾘﾐﾅﾙ"};
    QTest::newRow("location list") << "QLOPLIST.DOC" << QStringList{"Quillop", ".mon", "所在"};
    QTest::newRow("mail template")
        << "MRLDmail.DOC" << QStringList{"氏名", "連絡先", "使用環境", "ご意見"};
}

void TestShippedDocuments::plainDocuments()
{
    QFETCH(QString, name);
    QFETCH(QStringList, words);

    const QByteArray bytes = shippedBytes(name);
    QVERIFY2(!bytes.isEmpty(), qPrintable(name));
    QVERIFY(!platform::isRtf(bytes));
    QVERIFY(hasCrLfLines(bytes));

    const QString text = platform::decodeCp932(bytes);
    QVERIFY(!text.contains(QChar::ReplacementCharacter));
    QByteArray again;
    QVERIFY(platform::encodeCp932(text, &again));
    QCOMPARE(again, bytes);
    for (const QString& word : words)
        QVERIFY2(text.contains(word), qPrintable(word));
}

QTEST_MAIN(TestShippedDocuments)
#include "test_shipped_documents.moc"
