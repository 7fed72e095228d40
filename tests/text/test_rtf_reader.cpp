// The rich-text reader: what is rich text, the text it yields (code pages,
// escapes, Unicode with its fallback, skipped destinations), the formatting
// runs and paragraphs, and malformed input read without harm.

#include "text/rtf_reader.h"
#include "support/testsupport.h"

#include "text/codepage.h"

#include <QFile>
#include <QTest>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Text as a document writer stores it: ASCII as it is, every other
// character as the \'hh escapes of its code page 932 bytes.
QByteArray escaped(const QString& text)
{
    QByteArray out;
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            out += char(c.unicode());
            continue;
        }
        for (const char byte : testsupport::cp932(QString(c)))
            out += "\\'" + QByteArray::number(uchar(byte), 16).rightJustified(2, '0');
    }
    return out;
}

// A document with a Japanese default font, a fixed-pitch font and a colour
// table (auto, red, navy) around the body.
QByteArray withTables(const QByteArray& body)
{
    return "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 "
           + escaped(QStringLiteral("見本ゴシック"))
           + ";}{\\f1\\fmodern\\fprq1\\fcharset128 Mono;}}"
             "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}"
           + body + "}";
}

// The format of the first character of needle in the document.
QTextCharFormat formatOf(const QTextDocument& document, const QString& needle)
{
    const int at = document.toRawText().indexOf(needle);
    if (at < 0)
        return QTextCharFormat();
    QTextCursor cursor(const_cast<QTextDocument*>(&document));
    cursor.setPosition(at + 1);
    return cursor.charFormat();
}

QColor foregroundOf(const QTextCharFormat& format)
{
    return format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color()
                                                            : QColor();
}

QString familyOf(const QTextCharFormat& format)
{
    return format.fontFamilies().toStringList().value(0);
}

QString readText(const QByteArray& rtf)
{
    QTextDocument document;
    if (!platform::readRtf(rtf, &document))
        return QStringLiteral("<not rich text>");
    return document.toRawText();
}

constexpr QChar kParagraph = QChar::ParagraphSeparator;

} // namespace

class TestRtfReader : public QObject {
    Q_OBJECT

private slots:
    void rejectsWhatIsNotRichText_data();
    void rejectsWhatIsNotRichText();
    void replacesPreviousContent();
    void text_data();
    void text();
    void characterFormats_data();
    void characterFormats();
    void nestedGroupsRestoreFormatting();
    void realWritersJapaneseFormatting_data();
    void realWritersJapaneseFormatting();
    void paragraphs();
    void malformedInputIsReadSafely_data();
    void malformedInputIsReadSafely();
};

void TestRtfReader::rejectsWhatIsNotRichText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("isRtf");

    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("plain text") << testsupport::cp932(QStringLiteral("解説です")) << false;
    QTest::newRow("brace only") << QByteArray("{") << false;
    QTest::newRow("upper-case word") << QByteArray("{\\RTF1 x}") << false;
    QTest::newRow("no brace") << QByteArray("\\rtf1 x}") << false;
    QTest::newRow("text before") << QByteArray("x{\\rtf1 x}") << false;
    QTest::newRow("truncated header") << QByteArray("{\\rt") << false;
    QTest::newRow("header") << QByteArray("{\\rtf1 x}") << true;
    QTest::newRow("leading white space") << QByteArray(" \t\r\n{\\rtf1 x}") << true;
}

void TestRtfReader::rejectsWhatIsNotRichText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, isRtf);

    QCOMPARE(platform::isRtf(bytes), isRtf);
    QTextDocument document;
    document.setPlainText(QStringLiteral("前の内容"));
    QCOMPARE(platform::readRtf(bytes, &document), isRtf);
    QCOMPARE(document.toPlainText(), isRtf ? QStringLiteral("x") : QStringLiteral("前の内容"));
    QCOMPARE(platform::readRtf(bytes, nullptr), false);
}

void TestRtfReader::replacesPreviousContent()
{
    QTextDocument document;
    document.setHtml(QStringLiteral("<b>前</b><p>二段落目</p>"));
    QVERIFY(platform::readRtf("{\\rtf1 new}", &document));
    QCOMPARE(document.toRawText(), QStringLiteral("new"));
    QCOMPARE(document.blockCount(), 1);
    QCOMPARE(formatOf(document, "new").fontWeight(), int(QFont::Normal));
}

void TestRtfReader::text_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");

    QTest::newRow("words") << QByteArray("{\\rtf1 Hello world}") << "Hello world";
    QTest::newRow("space ends a control word") << QByteArray("{\\rtf1\\b bold\\b0 x}")
                                               << "boldx";
    QTest::newRow("parameter ends a control word") << QByteArray("{\\rtf1 a\\b0b}") << "ab";
    QTest::newRow("raw line ends are not text") << QByteArray("{\\rtf1 a\r\nb\nc\rd}")
                                                << "abcd";
    QTest::newRow("unknown words are passed over")
        << QByteArray("{\\rtf1 a\\mystery12 b\\mystery-3\\other c}") << "abc";
    QTest::newRow("control symbols")
        << QByteArray("{\\rtf1 a\\~b\\-c\\_d\\\\\\{\\}}")
        << QStringLiteral("a\u00A0b\u00ADc\u2011d\\{}");
    QTest::newRow("tab line par")
        << QByteArray("{\\rtf1 a\\tab b\\line c\\par d}")
        << QStringLiteral("a\tb\u2028c") + kParagraph + "d";
    QTest::newRow("escaped line end is a paragraph")
        << QByteArray("{\\rtf1 a\\\r\nb}") << QString("a") + kParagraph + "b";
    QTest::newRow("named characters")
        << QByteArray("{\\rtf1 \\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}")
        << QStringLiteral("\u2014\u2013\u2022\u2018\u2019\u201C\u201D");

    QTest::newRow("escapes in the document code page")
        << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0\\'82\\'a2}") << "あい";
    QTest::newRow("code page 932 when none is named")
        << QByteArray("{\\rtf1\\ansi \\'82\\'a0}") << "あ";
    QTest::newRow("escapes in the font's character set")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fswiss\\fcharset0 Latin;}"
                      "{\\f1\\fnil\\fcharset128 Gothic;}}\\f0 \\'e9\\f1 \\'82\\'a0\\f0 \\'e9}")
        << "éあé";
    QTest::newRow("font code page beats its character set")
        << QByteArray("{\\rtf1\\ansicpg932{\\fonttbl{\\f0\\fcharset128\\cpg1252 Latin;}}"
                      "\\f0 \\'e9}")
        << "é";
    QTest::newRow("escaped first byte, plain second byte")
        << QByteArray("{\\rtf1 \\'83A}") << "ア";
    QTest::newRow("escaped first byte, escaped backslash second byte")
        << QByteArray("{\\rtf1 \\'83\\\\}") << "ソ";
    QTest::newRow("raw code page 932 with backslash second bytes")
        << "{\\rtf1 " + testsupport::cp932(QStringLiteral("ソ表示")) + "}" << "ソ表示";
    QTest::newRow("raw bytes are code page 932 in a Latin document")
        << "{\\rtf1\\ansicpg1252 " + testsupport::cp932(QStringLiteral("あ")) + "\\'e9}"
        << "あé";
    QTest::newRow("escapes of many characters") << "{\\rtf1 " + escaped("見出し①～表") + "}"
                                                << "見出し①～表";

    QTest::newRow("unicode with uc1 fallback")
        << QByteArray("{\\rtf1\\uc1\\u12354?\\u12356?}") << "あい";
    QTest::newRow("unicode default fallback of one")
        << QByteArray("{\\rtf1\\u12354?x}") << "あx";
    QTest::newRow("unicode with double-byte fallback")
        << QByteArray("{\\rtf1\\uc2\\u12354\\'82\\'a0x}") << "あx";
    QTest::newRow("unicode with raw double-byte fallback")
        << "{\\rtf1\\uc2\\u12354 " + testsupport::cp932(QStringLiteral("あ")) + "x}" << "あx";
    QTest::newRow("unicode without fallback") << QByteArray("{\\rtf1\\uc0\\u12354 x}") << "あx";
    QTest::newRow("negative unicode") << QByteArray("{\\rtf1\\u-255?}") << "！";
    QTest::newRow("surrogate pair")
        << QByteArray("{\\rtf1\\u-10179?\\u-8694?}") << QString::fromUtf8("\xF0\x9F\x98\x8A");
    QTest::newRow("fallback ends at a group")
        << QByteArray("{\\rtf1\\uc3\\u12354{x}y}") << "あxy";
    QTest::newRow("fallback count belongs to its group")
        << QByteArray("{\\rtf1{\\uc0}\\u12354?}") << "あ";

    QTest::newRow("skipped destinations")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Font;}}{\\colortbl;\\red1\\green2\\blue3;}"
                      "{\\stylesheet{\\s0 Normal;}}{\\info{\\title Title}{\\author A}}"
                      "{\\*\\generator Gen;}{\\pict\\pngblip 89504e47}"
                      "{\\header head}{\\footnote note}body}")
        << "body";
    QTest::newRow("unknown ignorable destination")
        << QByteArray("{\\rtf1 a{\\*\\mine hidden {\\b nested} text\\par}b}") << "ab";
    QTest::newRow("field shows its result")
        << QByteArray("{\\rtf1 {\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}}") << "7";
    QTest::newRow("binary data holds braces")
        << QByteArray("{\\rtf1 {\\pict\\bin3 {}}}after}") << "after";
    QTest::newRow("list text is shown")
        << QByteArray("{\\rtf1 {\\pntext \\'81\\'45\\tab}{\\*\\pn\\pnlvlblt}item}") << "・\titem";
    QTest::newRow("text after the document")
        << QByteArray("{\\rtf1 a}b{\\b c}") << "a";
}

void TestRtfReader::text()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(readText(rtf), text);
}

void TestRtfReader::characterFormats_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<qreal>("pointSize"); // 0: the viewer's own size
    QTest::addColumn<QColor>("color");    // invalid: the automatic colour
    QTest::addColumn<QString>("family");

    const QString gothic = QStringLiteral("見本ゴシック");
    const QColor none;
    const QColor red(255, 0, 0);
    const QColor navy(0, 0, 128);

    QTest::newRow("default") << QByteArray("X") << "X" << false << false << false << 0.0
                             << none << gothic;
    QTest::newRow("bold") << QByteArray("\\b X\\b0 y") << "X" << true << false << false << 0.0
                          << none << gothic;
    QTest::newRow("bold ended") << QByteArray("\\b X\\b0 y") << "y" << false << false << false
                                << 0.0 << none << gothic;
    QTest::newRow("italic") << QByteArray("\\i X\\i0 y") << "X" << false << true << false << 0.0
                            << none << gothic;
    QTest::newRow("underline") << QByteArray("\\ul X\\ulnone y") << "X" << false << false << true
                               << 0.0 << none << gothic;
    QTest::newRow("underline none") << QByteArray("\\ul X\\ulnone y") << "y" << false << false
                                    << false << 0.0 << none << gothic;
    QTest::newRow("underline off") << QByteArray("\\ul X\\ul0 y") << "y" << false << false
                                   << false << 0.0 << none << gothic;
    QTest::newRow("double underline") << QByteArray("\\uldb X") << "X" << false << false << true
                                      << 0.0 << none << gothic;
    QTest::newRow("size") << QByteArray("\\fs32 X") << "X" << false << false << false << 16.0
                          << none << gothic;
    QTest::newRow("half point size") << QByteArray("\\fs21 X") << "X" << false << false << false
                                     << 10.5 << none << gothic;
    QTest::newRow("colour") << QByteArray("\\cf1 X") << "X" << false << false << false << 0.0
                            << red << gothic;
    QTest::newRow("second colour") << QByteArray("\\cf2 X") << "X" << false << false << false
                                   << 0.0 << navy << gothic;
    QTest::newRow("automatic colour") << QByteArray("\\cf1\\cf0 X") << "X" << false << false
                                      << false << 0.0 << none << gothic;
    QTest::newRow("colour beyond the table") << QByteArray("\\cf9 X") << "X" << false << false
                                             << false << 0.0 << none << gothic;
    QTest::newRow("chosen font") << QByteArray("\\f1 X") << "X" << false << false << false
                                 << 0.0 << none << "Mono";
    QTest::newRow("font not in the table") << QByteArray("\\f7 X") << "X" << false << false
                                           << false << 0.0 << none << QString();
    QTest::newRow("plain resets everything")
        << QByteArray("\\b\\i\\ul\\fs40\\cf1\\f1 y\\plain X") << "X" << false << false << false
        << 0.0 << none << gothic;
    // Associated properties apply to the runs of the type they follow.
    QTest::newRow("associated bold of double-byte runs")
        << QByteArray("{\\rtlch\\ab \\ltrch\\dbch\\ab\\dbch X}") << "X" << true << false << false << 0.0
        << none << gothic;
    QTest::newRow("associated size, underline, font of double-byte runs")
        << QByteArray("\\dbch\\afs32\\aul\\af1\\loch y\\dbch X") << "X" << false << false << true << 16.0
        << none << "Mono";
    QTest::newRow("low run beside them keeps the plain properties")
        << QByteArray("\\dbch\\afs32\\aul\\af1\\loch y\\dbch X") << "y" << false << false << false << 0.0
        << none << gothic;
    QTest::newRow("right-to-left properties, left-to-right run")
        << QByteArray("\\rtlch\\ab\\ai\\afs40 \\ltrch\\loch X") << "X" << false << false << false << 0.0
        << none << gothic;
    QTest::newRow("right-to-left run") << QByteArray("\\rtlch\\ab\\ai\\afs40 X") << "X" << true << true
                                       << false << 20.0 << none << gothic;
    QTest::newRow("associated off over plain on")
        << QByteArray("\\b\\i\\hich\\ab0\\ai0 X") << "X" << false << false << false << 0.0 << none << gothic;
    QTest::newRow("unmarked run takes the plain properties")
        << QByteArray("\\ab\\afs40 X") << "X" << false << false << false << 0.0 << none << gothic;
    QTest::newRow("plain forgets the run type")
        << QByteArray("\\dbch\\ab\\plain X") << "X" << false << false << false << 0.0 << none << gothic;
    QTest::newRow("everything at once")
        << QByteArray("\\b\\i\\ul\\fs40\\cf2\\f1 X") << "X" << true << true << true << 20.0
        << navy << "Mono";
}

void TestRtfReader::characterFormats()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, needle);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(bool, underline);
    QFETCH(qreal, pointSize);
    QFETCH(QColor, color);
    QFETCH(QString, family);

    QTextDocument document;
    QVERIFY(platform::readRtf(withTables(body), &document));
    QVERIFY(document.toRawText().contains(needle));
    const QTextCharFormat format = formatOf(document, needle);
    QCOMPARE(format.fontWeight(), bold ? int(QFont::Bold) : int(QFont::Normal));
    QCOMPARE(format.fontItalic(), italic);
    QCOMPARE(format.fontUnderline(), underline);
    QCOMPARE(format.fontPointSize(), pointSize);
    QCOMPARE(foregroundOf(format), color);
    QCOMPARE(familyOf(format), family);
}

// A small Japanese document with a bold and an italic heading, written by
// LibreOffice and by pandoc from HTML and from OpenDocument text
// (fixtures/rtf/make_fixtures.sh).
void TestRtfReader::realWritersJapaneseFormatting_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");

    for (const char* file : {"libreoffice_from_html.rtf", "libreoffice_from_odt.rtf", "pandoc_from_html.rtf",
                             "pandoc_from_odt.rtf"}) {
        const QString name = QString::fromLatin1(file);
        QTest::addRow("%s, bold heading", file) << name << QStringLiteral("太字の見出し") << true << false;
        QTest::addRow("%s, italic heading", file) << name << QStringLiteral("斜体の見出し") << true << true;
        QTest::addRow("%s, bold word", file) << name << QStringLiteral("太字の語") << true << false;
        QTest::addRow("%s, plain text", file) << name << QStringLiteral("本文は普通") << false << false;
    }
    const QString libreOffice = QStringLiteral("libreoffice_from_html.rtf");
    QTest::newRow("italic word") << libreOffice << QStringLiteral("斜体の語") << false << true;
    QTest::newRow("bold italic word") << libreOffice << QStringLiteral("太字の斜体") << true << true;
}

void TestRtfReader::realWritersJapaneseFormatting()
{
    QFETCH(QString, file);
    QFETCH(QString, needle);
    QFETCH(bool, bold);
    QFETCH(bool, italic);

    QFile rtf(QFINDTESTDATA("fixtures/rtf/" + file));
    QVERIFY(rtf.open(QIODevice::ReadOnly));
    QTextDocument document;
    QVERIFY(platform::readRtf(rtf.readAll(), &document));
    QVERIFY(document.toRawText().contains(needle));
    const QTextCharFormat format = formatOf(document, needle);
    QCOMPARE(format.fontWeight(), bold ? int(QFont::Bold) : int(QFont::Normal));
    QCOMPARE(format.fontItalic(), italic);
}

void TestRtfReader::nestedGroupsRestoreFormatting()
{
    // Groups nested past the reader's depth limit still end their formatting
    // when the outer group closes.
    const QByteArray deep = QByteArray(300, '{') + "\\ul D" + QByteArray(300, '}');
    QTextDocument document;
    QVERIFY(platform::readRtf(
        withTables("a{\\b b{\\i\\fs30\\cf1 c}d}e{\\plain\\i f}g" + deep + "h"), &document));
    QCOMPARE(document.toRawText(), QStringLiteral("abcdefgDh"));

    struct Expected {
        const char* needle;
        bool bold, italic, underline;
        qreal pointSize;
        bool red;
    };
    const Expected expected[] = {
        {"a", false, false, false, 0, false}, {"b", true, false, false, 0, false},
        {"c", true, true, false, 15, true},   {"d", true, false, false, 0, false},
        {"e", false, false, false, 0, false}, {"f", false, true, false, 0, false},
        {"g", false, false, false, 0, false}, {"D", false, false, true, 0, false},
        {"h", false, false, false, 0, false},
    };
    for (const Expected& e : expected) {
        const QTextCharFormat format = formatOf(document, e.needle);
        QCOMPARE(format.fontWeight(), e.bold ? int(QFont::Bold) : int(QFont::Normal));
        QCOMPARE(format.fontItalic(), e.italic);
        QCOMPARE(format.fontUnderline(), e.underline);
        QCOMPARE(format.fontPointSize(), e.pointSize);
        QCOMPARE(foregroundOf(format), e.red ? QColor(255, 0, 0) : QColor());
    }
}

void TestRtfReader::paragraphs()
{
    QTextDocument document;
    QVERIFY(platform::readRtf("{\\rtf1\\qc Title\\par{\\li600\\fi-300 item\\par}"
                              "\\pard\\qr right\\par\\pard last}",
                              &document));
    QCOMPARE(document.blockCount(), 4);

    const QTextBlock title = document.begin();
    QCOMPARE(title.text(), QStringLiteral("Title"));
    QCOMPARE(title.blockFormat().alignment(), Qt::AlignHCenter);

    const QTextBlock item = title.next();
    QCOMPARE(item.text(), QStringLiteral("item"));
    QCOMPARE(item.blockFormat().alignment(), Qt::AlignHCenter);
    QCOMPARE(item.blockFormat().leftMargin(), 40.0); // 600 twips at 15 twips a pixel
    QCOMPARE(item.blockFormat().textIndent(), -20.0);

    const QTextBlock right = item.next();
    QCOMPARE(right.text(), QStringLiteral("right"));
    QCOMPARE(right.blockFormat().alignment(), Qt::AlignRight);
    QCOMPARE(right.blockFormat().leftMargin(), 0.0);

    const QTextBlock last = right.next();
    QCOMPARE(last.text(), QStringLiteral("last"));
    QCOMPARE(last.blockFormat().alignment(), Qt::AlignLeft);
}

void TestRtfReader::malformedInputIsReadSafely_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");

    const QByteArray deepOpen(100'000, '{');
    const QByteArray deepClose(100'000, '}');

    QTest::newRow("header only") << QByteArray("{\\rtf") << QString();
    QTest::newRow("truncated in text") << QByteArray("{\\rtf1 {\\b abc") << "abc";
    QTest::newRow("truncated after a word") << QByteArray("{\\rtf1 ab\\par")
                                            << QString("ab") + kParagraph;
    QTest::newRow("truncated in an escape") << QByteArray("{\\rtf1 ab\\'") << "ab";
    QTest::newRow("truncated in a parameter") << QByteArray("{\\rtf1 ab\\fs-") << "ab-";
    QTest::newRow("lone backslash at the end") << QByteArray("{\\rtf1 ab\\") << "ab";
    QTest::newRow("first byte of a character at the end")
        << QByteArray("{\\rtf1 a\x82") << "a" + platform::decodeCp932("\x82");
    QTest::newRow("truncated in the font table")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset128 Na") << QString();
    QTest::newRow("truncated after unicode") << QByteArray("{\\rtf1 a\\u12354") << "aあ";
    QTest::newRow("extra closing braces") << QByteArray("{\\rtf1 a}}}b") << "a";
    QTest::newRow("unclosed groups") << QByteArray("{\\rtf1 a{{{b") << "ab";
    QTest::newRow("deep nesting") << "{\\rtf1 " + deepOpen + "x" + deepClose + "y}" << "xy";
    QTest::newRow("deep nesting never closed") << "{\\rtf1 " + deepOpen + "x" << "x";
    QTest::newRow("hex without digits") << QByteArray("{\\rtf1 a\\'zzb}") << "azzb";
    QTest::newRow("nul and control bytes") << QByteArray("{\\rtf1 a\0\x01\x1f" "b}", 13)
                                           << "ab";
    QTest::newRow("huge numbers")
        << QByteArray("{\\rtf1\\fs99999999999999999999 a\\u99999999999999?b"
                      "\\cf-99999999999 c\\li99999999999999 d\\uc99999999999 e"
                      "\\f99999999999999 f\\ansicpg-99999999999 g}")
        << QStringLiteral("a\uFFFDbcdefg");
    QTest::newRow("huge binary length") << QByteArray("{\\rtf1 a\\bin99999999999999 bcd}")
                                        << "a";
    QTest::newRow("negative binary length") << QByteArray("{\\rtf1 a\\bin-5 b}") << "ab";
    QTest::newRow("very long control word")
        << "{\\rtf1 a\\" + QByteArray(100'000, 'x') + " b}" << "ab";
    QTest::newRow("destination in the document group")
        << QByteArray("{\\rtf1\\*a\\fonttbl b}") << "ab";
}

void TestRtfReader::malformedInputIsReadSafely()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(readText(rtf), text);
}

QTEST_MAIN(TestRtfReader)
#include "test_rtf_reader.moc"
