// The .mon reader: the comma rule, quote stripping, line splitting, header
// fields and the joining of records over several lines.

#include "questions/mon_format.h"
#include "support/testsupport.h"

#include "text/codepage.h"

#include <QElapsedTimer>
#include <QTest>

using questions::GetCsvField;
using questions::MonRecord;

namespace {

// n numbers "1,2,…,n" joined by commas: n - 1 separators.
QByteArray numberedLine(int n)
{
    QByteArrayList parts;
    for (int i = 1; i <= n; ++i)
        parts << QByteArray::number(i);
    return parts.join(',');
}

} // namespace

class TestMonFormat : public QObject {
    Q_OBJECT

private slots:
    void csvField_data();
    void csvField();
    void stripQuotes_data();
    void stripQuotes();
    void splitLines_data();
    void splitLines();
    void lineForReadingCutsLongLines();
    void header_data();
    void header();
    void records_data();
    void records();
    void lineStoreReadsAsTheSplitLines_data() { records_data(); }
    void lineStoreReadsAsTheSplitLines();
    void japaneseRecordKeepsItsBytes();
    void largeFileAssemblesQuickly();
    void displayPath_data();
    void displayPath();
};

void TestMonFormat::csvField_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("k");
    QTest::addColumn<QByteArray>("expected");

    struct Example { const char* line; const char* fields[3]; };
    const Example examples[] = {
        {"12,\"A\",\"Q\"", {"12", "\"A\"", "\"Q\""}},
        {"\"x,y\",1,\"z\"", {"\"x,y\"", "1", "\"z\""}},
        {"5,abc,\"q\"", {"5", "abc,\"q\"", ""}},
        {"abc,def", {"abc,def", "", ""}},
    };
    for (const Example& e : examples) {
        for (int k = 0; k < 3; ++k)
            QTest::addRow("%s field %d", e.line, k) << QByteArray(e.line) << k << QByteArray(e.fields[k]);
    }

    QTest::newRow("empty line") << QByteArray() << 0 << QByteArray();
    QTest::newRow("no comma") << QByteArray("\"Q\"") << 0 << QByteArray("\"Q\"");
    QTest::newRow("quote-comma inside quotes splits")
        << QByteArray("1,\"A\",\"he said \"hi\", then\"") << 2 << QByteArray("\"he said \"hi\"");
    QTest::newRow("field after the split quote")
        << QByteArray("1,\"A\",\"he said \"hi\", then\"") << 3 << QByteArray(" then\"");
    QTest::newRow("comma in quotes not after quote")
        << QByteArray("1,\"a,b\",\"c\"") << 1 << QByteArray("\"a,b\"");
    QTest::newRow("digit field: comma after non-digit stays")
        << QByteArray("12a,b,\"q\"") << 0 << QByteArray("12a,b,\"q\"");
    QTest::newRow("digit field: later digit-comma still splits")
        << QByteArray("12a,3,\"q\"") << 0 << QByteArray("12a,3");
    QTest::newRow("field ending in quote without opening one")
        << QByteArray("a\",b") << 0 << QByteArray("a\",b");
    QTest::newRow("leading comma joins everything") << QByteArray(",1,\"a\"") << 0 << QByteArray(",1,\"a\"");
    QTest::newRow("empty field does not split") << QByteArray("1,,\"a\"") << 1 << QByteArray(",\"a\"");
    QTest::newRow("lone quote field") << QByteArray("\",\"") << 1 << QByteArray("\"");
    QTest::newRow("empty quoted fields") << QByteArray("\"\",\"\"") << 1 << QByteArray("\"\"");
    QTest::newRow("negative index") << QByteArray("1,2") << -1 << QByteArray();
    QTest::newRow("19 separators: last field") << numberedLine(20) << 19 << QByteArray("20");
    QTest::newRow("25 fields: field 18") << numberedLine(25) << 18 << QByteArray("19");
    QTest::newRow("25 fields: field 19 runs to the end")
        << numberedLine(25) << 19 << QByteArray("20,21,22,23,24,25");
    QTest::newRow("25 fields: no field 20") << numberedLine(25) << 20 << QByteArray();
}

void TestMonFormat::csvField()
{
    QFETCH(QByteArray, line);
    QFETCH(int, k);
    QFETCH(QByteArray, expected);
    QCOMPARE(GetCsvField(line, k), expected);
}

void TestMonFormat::stripQuotes_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("quoted") << QByteArray("\"Q\"") << QByteArray("Q");
    QTest::newRow("open quote only: last byte goes anyway") << QByteArray("\"abc") << QByteArray("ab");
    QTest::newRow("single quote") << QByteArray("\"") << QByteArray();
    QTest::newRow("two quotes") << QByteArray("\"\"") << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("unquoted") << QByteArray("ans,\"q\"") << QByteArray("ans,\"q\"");
    QTest::newRow("inner quotes kept") << QByteArray("\"a\"\"b\"") << QByteArray("a\"\"b");
}

void TestMonFormat::stripQuotes()
{
    QFETCH(QByteArray, field);
    QFETCH(QByteArray, expected);
    QCOMPARE(questions::StripQuotes(field), expected);
}

void TestMonFormat::splitLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArrayList>("lines");
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QByteArrayList{"a", "b"};
    QTest::newRow("LF") << QByteArray("a\nb\n") << QByteArrayList{"a", "b"};
    QTest::newRow("CR") << QByteArray("a\rb\r") << QByteArrayList{"a", "b"};
    QTest::newRow("no break at the end") << QByteArray("a\r\nb") << QByteArrayList{"a", "b"};
    QTest::newRow("mixed") << QByteArray("a\rb\nc\r\nd") << QByteArrayList{"a", "b", "c", "d"};
    QTest::newRow("empty line kept") << QByteArray("a\r\n\r\nb") << QByteArrayList{"a", "", "b"};
    QTest::newRow("LF CR is two breaks") << QByteArray("a\n\rb") << QByteArrayList{"a", "", "b"};
    QTest::newRow("CR CR LF is two breaks") << QByteArray("a\r\r\nb") << QByteArrayList{"a", "", "b"};
    QTest::newRow("empty file") << QByteArray() << QByteArrayList{};
    QTest::newRow("only a break") << QByteArray("\r\n") << QByteArrayList{""};
}

void TestMonFormat::splitLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArrayList, lines);
    QCOMPARE(questions::splitLines(bytes), lines);
}

void TestMonFormat::lineForReadingCutsLongLines()
{
    const QByteArrayList lines{QByteArray(5000, 'x'), "short"};
    QCOMPARE(questions::lineForReading(lines, 0), QByteArray(4096, 'x'));
    QCOMPARE(questions::lineForReading(lines, 1), QByteArray("short"));
    QCOMPARE(questions::lineForReading(lines, 2), QByteArray());
    QCOMPARE(questions::lineForReading(lines, -1), QByteArray());
}

void TestMonFormat::header_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("label");
    QTest::addColumn<QByteArray>("setName");
    QTest::addColumn<QByteArray>("count");
    QTest::newRow("usual") << QByteArray("30,\"x\",\"Label\"\r\n0,\"\",\"Set\"\r\n1,\"A\",\"Q\"\r\n")
                           << QByteArray("Label") << QByteArray("Set") << QByteArray("30");
    QTest::newRow("count keeps its quotes")
        << QByteArray("\"30\",\"x\",\"Label\"\r\n0,\"\",\"Set\"\r\n")
        << QByteArray("Label") << QByteArray("Set") << QByteArray("\"30\"");
    QTest::newRow("one header line") << QByteArray("30,\"x\",\"Label\"")
                                     << QByteArray("Label") << QByteArray() << QByteArray("30");
    QTest::newRow("empty file") << QByteArray() << QByteArray() << QByteArray() << QByteArray();
}

void TestMonFormat::header()
{
    QFETCH(QByteArray, file);
    const questions::MonHeader header = questions::readMonHeader(questions::splitLines(file));
    QTEST(header.label, "label");
    QTEST(header.setName, "setName");
    QTEST(header.count, "count");
}

void TestMonFormat::records_data()
{
    QTest::addColumn<QByteArray>("body");   // lines from line 2 on
    QTest::addColumn<QByteArrayList>("questions");
    QTest::addColumn<QByteArrayList>("answers");

    QTest::newRow("one per line") << QByteArray("1,\"A1\",\"Q1\"\r\n2,\"A2\",\"Q2\"\r\n")
                                  << QByteArrayList{"Q1", "Q2"} << QByteArrayList{"A1", "A2"};
    QTest::newRow("question over two lines")
        << QByteArray("1,\"A\",\"Q1\r\nQ2\"\r\n2,\"B\",\"R\"\r\n")
        << QByteArrayList{"Q1\r\nQ2", "R"} << QByteArrayList{"A", "B"};
    QTest::newRow("lone LF inside a question becomes CR LF")
        << QByteArray("1,\"A\",\"Q1\nQ2\"\n")
        << QByteArrayList{"Q1\r\nQ2"} << QByteArrayList{"A"};
    QTest::newRow("empty continuation line")
        << QByteArray("1,\"A\",\"Q1\r\n\r\nQ2\"\r\n")
        << QByteArrayList{"Q1\r\n\r\nQ2"} << QByteArrayList{"A"};
    QTest::newRow("unquoted last field joins the next lines")
        << QByteArray("3,\"A\",7\r\n4,\"B\",\"Q\"\r\n5,\"C\",\"R\"\r\n")
        << QByteArrayList{"7\r\n4", "R"} << QByteArrayList{"A", "C"};
    QTest::newRow("quote-comma inside the question splits it")
        << QByteArray("1,\"A\",\"say \"yes\", now\"\r\n")
        << QByteArrayList{"say \"yes"} << QByteArrayList{"A"};
    QTest::newRow("unquoted answer swallows the question")
        << QByteArray("1,ans,\"q\"\r\n") << QByteArrayList{""} << QByteArrayList{"ans,\"q\""};
    QTest::newRow("empty line between records is skipped")
        << QByteArray("1,\"A\",\"Q\"\r\n\r\n2,\"B\",\"R\"\r\n")
        << QByteArrayList{"Q", "R"} << QByteArrayList{"A", "B"};
    // An open record is kept; quote stripping still takes its last byte.
    QTest::newRow("record open at the end is kept")
        << QByteArray("1,\"A\",\"Q\"\r\n2,\"B\",\"R1\r\nR2.")
        << QByteArrayList{"Q", "R1\r\nR2"} << QByteArrayList{"A", "B"};
    QTest::newRow("open record on the last line alone")
        << QByteArray("1,\"A\",\"Q.") << QByteArrayList{"Q"} << QByteArrayList{"A"};
    QTest::newRow("lone CR line ends") << QByteArray("1,\"A\",\"Q\"\r2,\"B\",\"R\"\r")
                                       << QByteArrayList{"Q", "R"} << QByteArrayList{"A", "B"};
    QTest::newRow("closing quote beyond 4096 bytes is not seen")
        << QByteArray("1,\"A\",\"" + QByteArray(5000, 'q') + "\"\r\n2,\"B\",\"R\"\r\n")
        << QByteArrayList{QByteArray(4089, 'q') + "\r\n2,\"B"} << QByteArrayList{"A"};
    QTest::newRow("no records") << QByteArray() << QByteArrayList{} << QByteArrayList{};
}

void TestMonFormat::records()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArrayList, questions);
    QFETCH(QByteArrayList, answers);
    const QByteArray file = "2,\"\",\"Label\"\r\n0,\"\",\"Set\"\r\n" + body;
    const QList<MonRecord> records = questions::assembleRecords(questions::splitLines(file));
    QByteArrayList gotQuestions, gotAnswers;
    for (const MonRecord& record : records) {
        gotQuestions << record.question;
        gotAnswers << record.answer;
    }
    QCOMPARE(gotQuestions, questions);
    QCOMPARE(gotAnswers, answers);
}

// The window reads the line store, not split lines: the same header,
// lines, cut lines and records.
void TestMonFormat::lineStoreReadsAsTheSplitLines()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArrayList, questions);
    QFETCH(QByteArrayList, answers);
    const QByteArray file = "2,\"\",\"Label\"\r\n0,\"\",\"Set\"\r\n" + body;
    const questions::MonLines store(file);
    const QByteArrayList lines = questions::splitLines(file);
    QCOMPARE(store.size(), lines.size());
    for (qsizetype i = -1; i <= lines.size(); ++i)
        QCOMPARE(store.lineForReading(i).toByteArray(), questions::lineForReading(lines, i));
    QCOMPARE(questions::readMonHeader(store).setName, QByteArray("Set"));
    QByteArrayList gotQuestions, gotAnswers;
    questions::forEachRecord(store, [&](QByteArrayView question, QByteArrayView answer) {
        gotQuestions << question.toByteArray();
        gotAnswers << answer.toByteArray();
    });
    QCOMPARE(gotQuestions, questions);
    QCOMPARE(gotAnswers, answers);
}

void TestMonFormat::japaneseRecordKeepsItsBytes()
{
    using testsupport::cp932;
    const QByteArray file = cp932(QStringLiteral("47,\"\",\"地理\"\r\n0,\"\",\"県庁所在地\"\r\n"
                                                 "1,\"札幌市\",\"北海道の道庁所在地は？\r\n（ひらがな可）\"\r\n"));
    const QByteArrayList lines = questions::splitLines(file);
    QCOMPARE(platform::decodeCp932(questions::readMonHeader(lines).setName), QStringLiteral("県庁所在地"));
    const QList<MonRecord> records = questions::assembleRecords(lines);
    QCOMPARE(records.size(), 1);
    QCOMPARE(platform::decodeCp932(records[0].question), QStringLiteral("北海道の道庁所在地は？\r\n（ひらがな可）"));
    QCOMPARE(platform::decodeCp932(records[0].answer), QStringLiteral("札幌市"));
}

void TestMonFormat::largeFileAssemblesQuickly()
{
    // A quadratic join or scan would take minutes here.
    QByteArray closed = "100000,\"\",\"L\"\r\n0,\"\",\"S\"\r\n";
    QByteArray open = closed;
    for (int i = 1; i <= 100000; ++i) {
        closed += QByteArray::number(i) + ",\"answer\",\"question text\"\r\n";
        open += QByteArray::number(i) + ",\"answer\",\"never closed\r\n";
    }
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(questions::assembleRecords(questions::splitLines(closed)).size(), 100000);
    const QList<MonRecord> joined = questions::assembleRecords(questions::splitLines(open));
    QCOMPARE(joined.size(), 1);
    QCOMPARE(joined[0].answer, QByteArray("answer"));
    QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed()) + " ms"));
}

void TestMonFormat::displayPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("other extension") << "/q/sets/geo.txt" << "/q/sets/geo.mon";
    QTest::newRow("already .mon") << "/q/geo.mon" << "/q/geo.mon";
    QTest::newRow("no extension") << "/q/geo" << "/q/geo.mon";
    QTest::newRow("dot in a folder name") << "/q/v1.2/geo" << "/q/v1.2/geo.mon";
    QTest::newRow("last dot counts") << "/q/geo.tar.gz" << "/q/geo.tar.mon";
    QTest::newRow("trailing dot") << "/q/geo." << "/q/geo.mon";
    QTest::newRow("name is all extension") << "/q/.geo" << "/q/.mon";
}

void TestMonFormat::displayPath()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(questions::monDisplayPath(path), expected);
}

QTEST_APPLESS_MAIN(TestMonFormat)
#include "test_mon_format.moc"
