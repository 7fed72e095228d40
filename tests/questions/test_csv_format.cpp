// The CSV/TSV reader (encodings, fields, export headers, HTML fields, the
// lines it names) and the writers of the question table's save.

#include "questions/csv_format.h"
#include "questions/mon_format.h"
#include "questions/table_format.h"
#include "support/testsupport.h"

#include "text/codepage.h"

#include <QFile>
#include <QTest>

using questions::QuestionPair;
using Pairs = QList<QuestionPair>;


namespace {

// "q|a;q|a" as pairs; "\n" in the source stands for the CR LF the reader keeps.
Pairs pairs(const QString& listed)
{
    Pairs result;
    if (listed.isEmpty())
        return result;
    for (const QString& pair : listed.split(u';'))
        result.append({pair.section(u'|', 0, 0).replace(u"\n"_qs, u"\r\n"_qs),
                       pair.section(u'|', 1).replace(u"\n"_qs, u"\r\n"_qs)});
    return result;
}

// The text as UTF-16 bytes without a byte-order mark.
QByteArray utf16(const QString& text, bool bigEndian)
{
    QByteArray bytes;
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
        bytes.append(bigEndian ? high : low).append(bigEndian ? low : high);
    }
    return bytes;
}

} // namespace

namespace QTest {
template <>
char* toString(const QuestionPair& pair)
{
    return QTest::toString(QString(pair.question + u" | "_qs + pair.answer));
}
} // namespace QTest

class TestCsvFormat : public QObject {
    Q_OBJECT

private slots:
    void read_data();
    void read() { checkRead(); }
    void headerKeys_data();
    void headerKeys() { checkRead(); }
    void separatorNames_data();
    void separatorNames() { checkRead(); }
    void byteOrderMarks_data();
    void byteOrderMarks() { checkDecode(); }
    void encodingCost_data();
    void encodingCost() { checkDecode(); }
    void readsFilesOfRealPrograms_data();
    void readsFilesOfRealPrograms();
    void htmlField_data();
    void htmlField();
    void monWriterReadsBackOrRefuses_data();
    void monWriterReadsBackOrRefuses();
    void csvWriterReadsBack_data();
    void csvWriterReadsBack();
    void csvWriterLeavesOutPadCharacters();

private:
    static void readColumns();
    static void checkRead();
    static void checkDecode();
};

void TestCsvFormat::readColumns()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("defaultSeparator");
    QTest::addColumn<QString>("expected"); // pairs, see pairs()
    QTest::addColumn<int>("badLine");
    QTest::addColumn<QChar>("separator");
}

void TestCsvFormat::checkRead()
{
    QFETCH(QString, text);
    QFETCH(QChar, defaultSeparator);
    QFETCH(QString, expected);
    QFETCH(int, badLine);
    QFETCH(QChar, separator);

    const questions::CsvSet set = questions::readCsvQuestions(text, defaultSeparator);
    QCOMPARE(set.badLine, badLine);
    QCOMPARE(set.questions, pairs(expected));
    if (badLine == 0)
        QCOMPARE(set.separator, separator);
}

void TestCsvFormat::read_data()
{
    readColumns();
    const QChar comma(u','), tab(u'\t');
    QTest::newRow("CR LF, LF and CR end lines") << u"a,1\r\nb,2\nc,3\rd,4"_qs << comma << u"a|1;b|2;c|3;d|4"_qs << 0 << comma;
    QTest::newRow("quoted separator, quotes, line break")
        << u"\"x, y\",\"say \"\"hi\"\"\"\r\n\"l1\r\nl2\",\"\"\r\n"_qs << comma << u"x, y|say \"hi\";l1\nl2|"_qs << 0 << comma;
    QTest::newRow("lone LF inside quotes becomes CR LF") << u"\"a\nb\",c"_qs << comma << u"a\nb|c"_qs << 0 << comma;
    QTest::newRow("further columns ignored") << u"q,a,x,y"_qs << comma << u"q|a"_qs << 0 << comma;
    QTest::newRow("tab by default for .tsv") << u"q,1\ta"_qs << tab << u"q,1|a"_qs << 0 << tab;
    QTest::newRow("header words, any case") << u"Question,ANSWER\nq,a"_qs << comma << u"q|a"_qs << 0 << comma;
    QTest::newRow("Japanese header words") << u"質問\t正解\nq\ta"_qs << tab << u"q|a"_qs << 0 << tab;
    QTest::newRow("header words only on the first row") << u"q,a\nfront,back"_qs << comma << u"q|a;front|back"_qs << 0 << comma;
    QTest::newRow("empty and blank rows anywhere")
        << u",\n問題,答え\n , \n,,\n\t,\u3000\nq,a\n\"\",\"\"\n,"_qs << comma << u"q|a"_qs << 0 << comma;
    QTest::newRow("empty file") << QString() << comma << QString() << 0 << comma;
    QTest::newRow("quote open at the end names its line")
        << u"q,a\r\nr,b\r\ns,\"open\r\nstill"_qs << comma << u"q|a;r|b"_qs << 3 << comma;
    QTest::newRow("one field names its line") << u"q,a\n\nonly"_qs << comma << u"q|a"_qs << 3 << comma;
    QTest::newRow("a line after a multi-line field") << u"\"a\nb\nc\",x\ny"_qs << comma << u"a\nb\nc|x"_qs << 4 << comma;
}

// A "#key:value" line at the top is a header only for the export's own keys
// (trimmed, any case); any other line, and every line after the first
// record, is a record. Header lines count in the line numbers.
void TestCsvFormat::headerKeys_data()
{
    readColumns();
    const QChar comma(u','), tab(u'\t');
    const auto row = [comma](const char* name, const QString& text, const char* expected, int badLine = 0) {
        QTest::newRow(name) << text << comma << QString::fromUtf8(expected) << badLine << comma;
    };
    QTest::newRow("separator") << u"#separator:tab\nq\ta"_qs << comma << u"q|a"_qs << 0 << tab;
    row("html", u"#html:true\n<b>q</b>,a&amp;"_qs, "q|a&");
    row("html false", u"#html:false\n<b>q</b>,a"_qs, "<b>q</b>|a");
    row("tags", u"#tags:t1 t2\nq,a"_qs, "q|a");
    row("deck", u"#deck:d\nq,a"_qs, "q|a");
    row("notetype", u"#notetype:Basic\nq,a"_qs, "q|a");
    row("columns", u"#columns:Front,Back\nq,a"_qs, "q|a");
    row("notetype column", u"#notetype column:1\nn,q,a"_qs, "q|a");
    row("deck column", u"#deck column:1\nd,q,a"_qs, "q|a");
    row("tags column", u"#tags column:3\nq,a,t"_qs, "q|a");
    row("guid column, with the others", u"#guid column:1\n#deck column:3\ng,q,d,a"_qs, "q|a");
    row("match scope", u"#match scope:deck\nq,a"_qs, "q|a");
    row("if matches", u"#if matches:keep\nq,a"_qs, "q|a");
    row("key trimmed, any case", u"# Deck : d\r\n#HTML: TRUE \r\nq,<i>a</i>"_qs, "q|a");
    row("headers only", u"#deck:d\n#tags:t\n"_qs, "");
    QTest::newRow("headers only, no break after the last") << u"#deck:d\n#separator:tab"_qs << comma << QString() << 0 << tab;
    row("unknown #word: line", u"#Q1: capital?,Tokyo\nq,a"_qs, "#Q1: capital?|Tokyo;q|a");
    row("# line without a colon", u"#1 capital?,Tokyo\n#deck:d,x"_qs, "#1 capital?|Tokyo;#deck:d|x");
    row("key after a record", u"q,a\n#separator:/,y\n#html:true,<b>z</b>"_qs, "q|a;#separator:/|y;#html:true|<b>z</b>");
    row("column 0", u"#guid column:0\ng,q,a"_qs, "", 1);
    row("column not a number", u"#deck:d\r\n#deck column:x\r\nd,q,a"_qs, "", 2);
    row("skipped column leaves one field", u"#guid column:1\ng,q"_qs, "", 2);
    row("line numbers count header lines", u"#html:false\r\n#deck:d\rq,a\n\nonly"_qs, "q|a", 5);
}

// What a "#separator:" value names: a name in any case, or the character
// itself (spaces around it, or a lone space or tab).
void TestCsvFormat::separatorNames_data()
{
    readColumns();
    const QChar tab(u'\t');
    const auto row = [tab](const char* value, const QString& record, QChar separator) {
        QTest::newRow(value) << u"#separator:"_qs + QString::fromUtf8(value) + u'\n' + record << tab
                             << (separator.isNull() ? QString() : u"q|a"_qs) << (separator.isNull() ? 1 : 0)
                             << separator;
    };
    row("comma", u"q,a"_qs, u',');
    row("Semicolon", u"q;a"_qs, u';');
    row("TAB", u"q\ta"_qs, u'\t');
    row("space", u"q a"_qs, u' ');
    row("pipe", u"q|a"_qs, u'|');
    row("colon", u"q:a"_qs, u':');
    row("/", u"q/a"_qs, u'/');
    row(" , ", u"q,a"_qs, u',');
    row(" ", u"q a"_qs, u' ');
    row("colon-ish", u"q,a"_qs, QChar());
    row("\"", u"q\"a"_qs, QChar());
}

void TestCsvFormat::checkDecode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(questions::decodeQuestionText(bytes), text);
}

// A mark at the start names the encoding and is not text; a second mark
// after it is text.
void TestCsvFormat::byteOrderMarks_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("UTF-8") << QByteArray("\xEF\xBB\xBF問題,答え") << u"問題,答え"_qs;
    QTest::newRow("UTF-8, then a mark") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFq") << u"\uFEFFq"_qs;
    // 」 is U+300D: its little-endian bytes hold a CR byte that is no line end.
    QTest::newRow("UTF-16 LE") << QByteArray("\xFF\xFE", 2) + utf16(u"「」\t①\r\n"_qs, false) << u"「」\t①\r\n"_qs;
    QTest::newRow("UTF-16 BE") << QByteArray("\xFE\xFF", 2) + utf16(u"問,答\n"_qs, true) << u"問,答\n"_qs;
    QTest::newRow("UTF-16 LE, then a mark") << QByteArray("\xFF\xFE\xFF\xFEq\0", 6) << u"\uFEFFq"_qs;
    QTest::newRow("UTF-16 BE, then a mark") << QByteArray("\xFE\xFF\xFE\xFF\0q", 6) << u"\uFEFFq"_qs;
    QTest::newRow("UTF-16 mark alone") << QByteArray("\xFF\xFE") << QString();
    QTest::newRow("UTF-16 cut in a character") << QByteArray("\xFF\xFEq\0,", 5) << u"q\uFFFD"_qs;
    QTest::newRow("UTF-16 surrogates without partners")
        << QByteArray("\xFF\xFE\x00\xD8q\0\x00\xDC\x3D\xD8\x00\xDE", 12) << u"\uFFFDq\uFFFD😀"_qs;
    QTest::newRow("no mark at the start") << QByteArray("q\xFF\xFE\0", 4) << platform::decodeCp932(QByteArray("q\xFF\xFE\0", 4));
}

// Bytes that are not valid UTF-8: the reading that gets fewer characters
// wrong wins. UTF-8 costs 2 per byte in no well-formed character; code page
// 932 costs 2 per U+FFFD of its own, 2 per well-formed UTF-8 character of
// three or four bytes and 1 per one of two bytes. A tie goes to UTF-8.
void TestCsvFormat::encodingCost_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("valid UTF-8") << QByteArray("①,～") << u"①,～"_qs;
    QTest::newRow("tie: a kana and a stray byte, 2 : 2") << QByteArray("\xE3\x81\x82\xA0") << u"あ\uFFFD"_qs;
    QTest::newRow("tie with a U+FFFD in code page 932, 4 : 4")
        << QByteArray("\xE3\x81\x82\xB1\x81") << u"あ\uFFFD\uFFFD"_qs;
    QTest::newRow("one below the tie, 1 : 2") << QByteArray("\xC3\xA9\x80") << u"ﾃｩ\u0080"_qs;
    QTest::newRow("one above the tie, 3 : 2") << QByteArray("\xE3\x81\x82\xC3\xA9\xA0") << u"あé\uFFFD"_qs;
    QTest::newRow("stray Latin-1 byte in UTF-8, 8 : 2") << QByteArray("caf\xE9s,コーヒー") << u"caf\uFFFDs,コーヒー"_qs;
    QTest::newRow("code page 932, 0 : 8") << testsupport::cp932(u"①,～,ｱ"_qs) << u"①,～,ｱ"_qs;
    QTest::newRow("code page 932 half-width katakana, 3 : 8")
        << testsupport::cp932(u"ﾃﾞｰﾀ,ｼﾞｮｳﾎｳ"_qs) << u"ﾃﾞｰﾀ,ｼﾞｮｳﾎｳ"_qs;
    // Bytes 0x80–0xBF continue a character; they start none, however many follow.
    QTest::newRow("half-width katakana only, 0 : 10") << testsupport::cp932(u"ｱｲｳｴｵ"_qs) << u"ｱｲｳｴｵ"_qs;
    // A UTF-8 character cut off at the end is no UTF-8.
    QTest::newRow("cut UTF-8, 0 : 4") << QByteArray("q,\xE3\x81") << platform::decodeCp932("q,\xE3\x81");
}

// Files written by LibreOffice Calc and Python's csv module
// (csv_fixtures/make_fixtures.sh): rows starting with "#", an empty row.
void TestCsvFormat::readsFilesOfRealPrograms_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("expected"); // pairs, see pairs()

    const QString calc = u"#1 日本の首都は|東京;#2: 富士山の高さ|3776m;関ヶ原の戦いは何年？|1600年;"
                         u"琵琶湖がある県は、\n何県？|滋賀県;#tags: 地理|見出しではない行;\"鎖国\" の間も開いていた港は？|長崎"_qs;
    QTest::newRow("Calc UTF-8") << u"calc_hash_utf8.csv"_qs << QChar(u',') << calc;
    QTest::newRow("Calc Unicode text") << u"calc_hash_utf16.txt"_qs << QChar(u'\t') << calc;
    QTest::newRow("Calc Unicode CSV") << u"calc_hash_utf16.csv"_qs << QChar(u',') << calc;
    QTest::newRow("Python csv module") << u"python_hash_rows.csv"_qs << QChar(u',')
        << u"#1 日本の首都は|東京;#2: 富士山の高さ|3776m;#deck: 地理|途中の行も問題;# 注: 引用符, 改行\nを含む|\"答\""_qs;
}

void TestCsvFormat::readsFilesOfRealPrograms()
{
    QFETCH(QString, file);
    QFETCH(QChar, separator);
    QFETCH(QString, expected);

    QFile fixture(QFINDTESTDATA(u"csv_fixtures/"_qs + file));
    QVERIFY(fixture.open(QIODevice::ReadOnly));
    const questions::CsvSet set = questions::readCsvQuestions(questions::decodeQuestionText(fixture.readAll()),
                                                              questions::defaultCsvSeparator(file));
    QCOMPARE(set.badLine, 0);
    QCOMPARE(set.separator, separator);
    QCOMPARE(set.questions, pairs(expected));
}

void TestCsvFormat::htmlField_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("text");

    QTest::newRow("tags and breaks") << u"<b>a</b><br>b<br />c<img src=\"x.png\">"_qs << u"a\r\nb\r\nc"_qs;
    QTest::newRow("block ends") << u"<div>one</div><div>two</div><p>three</p>"_qs << u"one\r\ntwo\r\nthree"_qs;
    QTest::newRow("entities after tags") << u"&lt;br&gt; &amp;&quot;&#39;&#x4E00;&nbsp;x&bogus;"_qs << u"<br> &\"'一 x&bogus;"_qs;
    QTest::newRow("sound dropped, trimmed") << u"  [sound:a.mp3]word [sound:b.ogg] "_qs << u"word"_qs;
    QTest::newRow("unclosed tag is text") << u"1 < 2 <b"_qs << u"1 < 2 <b"_qs;
}

void TestCsvFormat::htmlField()
{
    QFETCH(QString, html);
    QFETCH(QString, text);
    QCOMPARE(questions::plainTextOfHtmlField(html), text);
}

void TestCsvFormat::monWriterReadsBackOrRefuses_data()
{
    QTest::addColumn<QString>("setName");
    QTest::addColumn<QString>("listed");
    QTest::addColumn<int>("refusedRow"); // -1: written

    QTest::newRow("plain and multi-line question") << u"県庁"_qs << u"北海道|札幌;1行目\n2行目|答;\"q\"|\"a\""_qs << -1;
    QTest::newRow("empty texts") << u"s"_qs << u"|;q|"_qs << -1;
    QTest::newRow("\", inside a field") << u"s"_qs << u"q|a;q2|a\",b"_qs << 2;
    QTest::newRow("line ending in a quote inside the question") << u"s"_qs << u"say \"x\"\nmore|a"_qs << 1;
    QTest::newRow("no code page 932 form") << u"s"_qs << u"q|a;q|b;😀|c"_qs << 3;
    QTest::newRow("set name cannot be held") << u"a\",b"_qs << u"q|a"_qs << 0;
}

void TestCsvFormat::monWriterReadsBackOrRefuses()
{
    QFETCH(QString, setName);
    QFETCH(QString, listed);
    QFETCH(int, refusedRow);

    QByteArray bytes("untouched");
    int refused = -1;
    const bool written = questions::monFileBytes(setName, pairs(listed), &bytes, &refused);
    QCOMPARE(written ? -1 : refused, refusedRow);
    if (!written) {
        QCOMPARE(bytes, QByteArray("untouched"));
        return;
    }
    // Read back by the .mon reader's own rules.
    const QList<QByteArray> lines = questions::splitLines(bytes);
    const questions::MonHeader header = questions::readMonHeader(lines);
    QCOMPARE(platform::decodeCp932(header.setName), setName);
    QCOMPARE(header.label, QByteArray("MON"));
    QCOMPARE(header.count.toInt(), pairs(listed).size());
    Pairs readBack;
    for (const questions::MonRecord& record : questions::assembleRecords(lines))
        readBack.append({platform::decodeCp932(record.question), platform::decodeCp932(record.answer)});
    QCOMPARE(readBack, pairs(listed));
    QVERIFY(bytes.endsWith("\"\r\n"));
}

void TestCsvFormat::csvWriterReadsBack_data()
{
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("listed");

    QTest::newRow("comma") << QChar(u',') << u"a, b|\"c\";l1\nl2|;#x|答え"_qs;
    QTest::newRow("tab") << QChar(u'\t') << u"a\tb|c;問題|答え"_qs;
    QTest::newRow("nothing") << QChar(u',') << QString();
}

// A .5tq question that ends in its pad byte is saved without it.
void TestCsvFormat::csvWriterLeavesOutPadCharacters()
{
    const QByteArray bytes = questions::csvFileBytes({{u"問題\uF8F0"_qs, u"答\uF8F1え\uF8F3"_qs}}, u',');
    QCOMPARE(bytes, "\xEF\xBB\xBF" + u"問題,答え\r\n問題,答え\r\n"_qs.toUtf8());
}

void TestCsvFormat::csvWriterReadsBack()
{
    QFETCH(QChar, separator);
    QFETCH(QString, listed);

    const QByteArray bytes = questions::csvFileBytes(pairs(listed), separator);
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const questions::CsvSet set = questions::readCsvQuestions(questions::decodeQuestionText(bytes), separator);
    QCOMPARE(set.badLine, 0);
    QCOMPARE(set.questions, pairs(listed));
}

QTEST_APPLESS_MAIN(TestCsvFormat)
#include "test_csv_format.moc"
