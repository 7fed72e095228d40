// What an Anki card shows as plain text: the template rules, cloze
// deletions, HTML as text, and the decks grouped into list rows.

#include "questions/anki_decks.h"
#include "questions/anki_templates.h"
#include "questions/html_text.h"

#include <QTest>

using namespace questions;

namespace {

QList<QStringView> views(const QStringList& fields)
{
    return QList<QStringView>(fields.begin(), fields.end());
}

} // namespace

class TestAnkiTemplates : public QObject {
    Q_OBJECT

private slots:
    void htmlAsText_data();
    void htmlAsText();
    void templateRules_data();
    void templateRules();
    void clozeCards_data();
    void clozeCards();
    void deckGrouping_data();
    void deckGrouping();
};

void TestAnkiTemplates::htmlAsText_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("text");
    QTest::newRow("tags removed") << QStringLiteral("<b>太</b>字 <span style=\"a>b\">x</span>") << QStringLiteral("太字 x");
    QTest::newRow("breaks") << QStringLiteral("a<br>b<BR/>c<hr id=answer>d") << QStringLiteral("a\r\nb\r\nc\r\nd");
    QTest::newRow("ends of div, p, li") << QStringLiteral("<div>a</div><p>b</p><ul><li>c</li><li>d</li></ul>e")
                                        << QStringLiteral("a\r\nb\r\nc\r\nd\r\ne");
    QTest::newRow("blank lines and outer spaces dropped")
        << QStringLiteral("  <div> a </div><div><br></div><div>&nbsp;</div>\n<div>b  c</div>  ")
        << QStringLiteral("a\r\nb c");
    QTest::newRow("entities") << QStringLiteral("&lt;&gt;&amp;&quot;&#39;&#x3042;&#X3044;&eacute;&alpha;&hellip;")
                              << QStringLiteral("<>&\"'あいéα…");
    QTest::newRow("not entities") << QStringLiteral("&unknown; & x &#xZZ; &#;") << QStringLiteral("&unknown; & x &#xZZ; &#;");
    QTest::newRow("reference out of range") << QStringLiteral("&#0;&#xD800;&#x110000;") << QStringLiteral("\uFFFD\uFFFD\uFFFD");
    QTest::newRow("astral references") << QStringLiteral("&#x1F600;&#x10000;&#xFFFF;") << QString::fromUcs4(U"\U0001F600\U00010000\uFFFF");
    QTest::newRow("sound and images") << QStringLiteral("犬[sound:dog.mp3]<img src=\"dog.jpg\">[sound:") << QStringLiteral("犬[sound:");
    QTest::newRow("script, style, comments") << QStringLiteral("a<script>if (x<y) b()</script><style>p{}</style><!-- c -->d")
                                             << QStringLiteral("ad");
    QTest::newRow("a lone < is text") << QStringLiteral("1 < 2 <3") << QStringLiteral("1 < 2 <3");
    QTest::newRow("unclosed tag") << QStringLiteral("a<b") << QStringLiteral("a");
}

void TestAnkiTemplates::htmlAsText()
{
    QFETCH(QString, html);
    QFETCH(QString, text);
    QCOMPARE(htmlToText(html), text);
}

void TestAnkiTemplates::templateRules_data()
{
    QTest::addColumn<QString>("front");
    QTest::addColumn<QString>("back");
    QTest::addColumn<QStringList>("fields"); // Front, Back, Reading
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("answer");
    const QStringList plain{QStringLiteral("表"), QStringLiteral("裏"), QString()};
    QTest::newRow("fields") << QStringLiteral("{{Front}}") << QStringLiteral("{{ Back }}") << plain
                            << QStringLiteral("表") << QStringLiteral("裏");
    QTest::newRow("FrontSide and the answer rule left out")
        << QStringLiteral("{{Front}}") << QStringLiteral("{{FrontSide}}\n\n<hr id=answer>\n\n{{Back}}") << plain
        << QStringLiteral("表") << QStringLiteral("裏");
    QTest::newRow("quoted answer rule") << QStringLiteral("{{Front}}")
                                        << QStringLiteral("{{FrontSide}}<HR ID=\"answer\">{{Back}}") << plain
                                        << QStringLiteral("表") << QStringLiteral("裏");
    QTest::newRow("a field right after FrontSide") << QStringLiteral("{{Front}}") << QStringLiteral("{{FrontSide}}{{Back}}")
                                                   << plain << QStringLiteral("表") << QStringLiteral("裏");
    QTest::newRow("nothing after FrontSide") << QStringLiteral("{{Front}}") << QStringLiteral("{{FrontSide}}") << plain
                                             << QStringLiteral("表") << QString();
    QTest::newRow("no FrontSide: the whole back")
        << QStringLiteral("{{Front}}") << QStringLiteral("{{Front}}<hr id=answer>{{Back}}") << plain
        << QStringLiteral("表") << QStringLiteral("表\r\n裏");
    QTest::newRow("text before FrontSide left out")
        << QStringLiteral("{{Front}}") << QStringLiteral("見出し{{FrontSide}}追記{{Back}}") << plain
        << QStringLiteral("表") << QStringLiteral("追記裏");
    QTest::newRow("unknown field is empty") << QStringLiteral("{{Front}}{{Nothing}}") << QStringLiteral("{{Back}}{{x:Nothing}}")
                                            << plain << QStringLiteral("表") << QStringLiteral("裏");
    const QStringList ruby{QStringLiteral("日本語[にほんご]を 話[はな]す"), QStringLiteral("speak"), QString()};
    QTest::newRow("furigana") << QStringLiteral("{{furigana:Front}}") << QStringLiteral("{{Back}}") << ruby
                              << QStringLiteral("日本語(にほんご)を話(はな)す") << QStringLiteral("speak");
    QTest::newRow("kanji and kana") << QStringLiteral("{{kanji:Front}}") << QStringLiteral("{{kana:Front}}") << ruby
                                    << QStringLiteral("日本語を話す") << QStringLiteral("にほんごをはなす");
    QTest::newRow("sound is no reading")
        << QStringLiteral("{{furigana:Front}}") << QStringLiteral("{{Back}}")
        << QStringList{QStringLiteral("犬[sound:a.mp3]"), QStringLiteral("dog"), QString()} << QStringLiteral("犬")
        << QStringLiteral("dog");
    QTest::newRow("filters from the right") << QStringLiteral("{{text:kana:Front}}") << QStringLiteral("{{hint:Back}}")
                                            << ruby << QStringLiteral("にほんごをはなす") << QStringLiteral("speak");
    QTest::newRow("type and tts show nothing")
        << QStringLiteral("{{Front}}{{tts ja_JP voices=x:Front}}") << QStringLiteral("{{Back}}{{type:Back}}") << plain
        << QStringLiteral("表") << QStringLiteral("裏");
    QTest::newRow("section of an empty field") << QStringLiteral("{{Front}}{{#Reading}}（{{Reading}}）{{/Reading}}")
                                               << QStringLiteral("{{^Reading}}読みなし{{/Reading}}") << plain
                                               << QStringLiteral("表") << QStringLiteral("読みなし");
    QTest::newRow("section of a field with content")
        << QStringLiteral("{{Front}}{{#Reading}}（{{Reading}}）{{/Reading}}")
        << QStringLiteral("{{^Reading}}読みなし{{/Reading}}{{Back}}")
        << QStringList{QStringLiteral("表"), QStringLiteral("裏"), QStringLiteral("おもて")}
        << QStringLiteral("表（おもて）") << QStringLiteral("裏");
    QTest::newRow("a field of only breaks and spaces is empty")
        << QStringLiteral("{{Front}}{{#Reading}}!{{/Reading}}") << QStringLiteral("{{Back}}")
        << QStringList{QStringLiteral("表"), QStringLiteral("裏"), QStringLiteral(" <br>&nbsp;<div></div>")}
        << QStringLiteral("表") << QStringLiteral("裏");
    QTest::newRow("a picture is content") << QStringLiteral("{{Front}}{{#Reading}}!{{/Reading}}") << QStringLiteral("{{Back}}")
                                          << QStringList{QStringLiteral("表"), QStringLiteral("裏"), QStringLiteral("<img src=a.png>")}
                                          << QStringLiteral("表!") << QStringLiteral("裏");
    QTest::newRow("unclosed section runs to the end") << QStringLiteral("{{Front}}{{^Reading}}+") << QStringLiteral("{{Back}}{{/Other}}")
                                                      << plain << QStringLiteral("表+") << QStringLiteral("裏");
    QTest::newRow("a section nested too deep is text")
        << QStringLiteral("{{#Front}}").repeated(33) + QStringLiteral("深") << QStringLiteral("{{Back}}") << plain
        << QStringLiteral("{{#Front}}深") << QStringLiteral("裏");
    QTest::newRow("unclosed braces are text") << QStringLiteral("{{Front}} {{") << QStringLiteral("{{Back") << plain
                                              << QStringLiteral("表 {{") << QStringLiteral("{{Back");
    QTest::newRow("picture-only front") << QStringLiteral("{{Front}}") << QStringLiteral("{{Back}}")
                                        << QStringList{QStringLiteral("<img src=a.png>"), QStringLiteral("絵"), QString()}
                                        << QString() << QStringLiteral("絵");
    QTest::newRow("special fields") << QStringLiteral("{{Deck}}|{{Subdeck}}") << QStringLiteral("{{Tags}}|{{Type}}|{{Card}}")
                                    << plain << QStringLiteral("言語::日本語|日本語") << QStringLiteral("N5|基本|カード1");
}

void TestAnkiTemplates::templateRules()
{
    QFETCH(QString, front);
    QFETCH(QString, back);
    QFETCH(QStringList, fields);
    QFETCH(QString, question);
    QFETCH(QString, answer);
    const AnkiCardTemplate card(front, back, {QStringLiteral("Front"), QStringLiteral("Back"), QStringLiteral("Reading")});
    const AnkiCardContext context{QStringLiteral("N5"), QStringLiteral("言語::日本語"), QStringLiteral("基本"),
                                  QStringLiteral("カード1")};
    const AnkiCardText text = card.render(views(fields), context);
    QCOMPARE(text.question, question);
    QCOMPARE(text.answer, answer);
}

void TestAnkiTemplates::clozeCards_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("ordinal");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("answer");
    const QString gaps = QStringLiteral("{{c1::東京}}は{{c3::日本::国}}の{{c5::首都}}");
    QTest::newRow("c1 of gaps") << gaps << 0 << QStringLiteral("[...]は日本の首都") << QStringLiteral("東京");
    QTest::newRow("c3 with a hint") << gaps << 2 << QStringLiteral("東京は[国]の首都") << QStringLiteral("日本");
    QTest::newRow("c5") << gaps << 4 << QStringLiteral("東京は日本の[...]") << QStringLiteral("首都");
    QTest::newRow("no such deletion: no answer") << gaps << 1 << QStringLiteral("東京は日本の首都") << QString();
    QTest::newRow("several deletions joined") << QStringLiteral("{{c1::赤}}と{{c1::<b>白</b>}}と{{c2::青}}") << 0
                                              << QStringLiteral("[...]と[...]と青") << QStringLiteral("赤 / 白");
    QTest::newRow("nested, outer asked") << QStringLiteral("{{c1::a {{c2::b}} c}}") << 0 << QStringLiteral("[...]")
                                         << QStringLiteral("a b c");
    QTest::newRow("nested, inner asked") << QStringLiteral("{{c1::a {{c2::b}} c}}") << 1 << QStringLiteral("a [...] c")
                                         << QStringLiteral("b");
    QTest::newRow("unclosed deletion is text") << QStringLiteral("{{c1::a}} {{c2::b") << 1
                                               << QStringLiteral("a {{c2::b") << QString();
    QTest::newRow("not a deletion") << QStringLiteral("{{c::x}} {{c0::y}} {{c1:z}}") << 0
                                    << QStringLiteral("{{c::x}} {{c0::y}} {{c1:z}}") << QString();
}

void TestAnkiTemplates::clozeCards()
{
    QFETCH(QString, field);
    QFETCH(int, ordinal);
    QFETCH(QString, question);
    QFETCH(QString, answer);
    const AnkiCardTemplate card(QStringLiteral("{{cloze:Text}}"), QStringLiteral("{{cloze:Text}}<br>{{Extra}}"),
                                {QStringLiteral("Text"), QStringLiteral("Extra")});
    const QStringList fields{field, QStringLiteral("補足")};
    const AnkiCardText text = card.renderCloze(views(fields), ordinal, {});
    QCOMPARE(text.question, question);
    QCOMPARE(text.answer, answer);
}

void TestAnkiTemplates::deckGrouping_data()
{
    QTest::addColumn<QStringList>("decks"); // in deck order, levels by "::"
    QTest::addColumn<int>("maxRows");
    QTest::addColumn<QStringList>("rows");  // "name: deck indexes"
    QTest::newRow("fit: a row each") << QStringList{"A", "A::x", "B"} << 8 << QStringList{"A: 0", "A::x: 1", "B: 2"};
    QTest::newRow("deepest level joins its parent first")
        << QStringList{"A", "A::x", "A::x::1", "A::x::2", "A::y", "B::z::3"} << 3
        << QStringList{"A: 0 1 2 3 4", "B: 5"};
    QTest::newRow("one level joined is enough")
        << QStringList{"A", "A::x", "A::x::1", "A::y", "B"} << 4 << QStringList{"A: 0", "A::x: 1 2", "A::y: 3", "B: 4"};
    QTest::newRow("a whole level at a time")
        << QStringList{"A::x::1", "A::y", "B::z::2", "C"} << 3 << QStringList{"A: 0 1", "B: 2", "C: 3"};
    QTest::newRow("parent without cards of its own") << QStringList{"P::a", "P::b", "Q"} << 2
                                                     << QStringList{"P: 0 1", "Q: 2"};
    QTest::newRow("too many top-level decks: the rest in the last row")
        << QStringList{"A", "B", "C", "D::d", "E"} << 3 << QStringList{"A: 0", "B: 1", "C ほか2デッキ: 2 3 4"};
}

void TestAnkiTemplates::deckGrouping()
{
    QFETCH(QStringList, decks);
    QFETCH(int, maxRows);
    QFETCH(QStringList, rows);
    std::vector<QStringList> levels;
    for (const QString& deck : decks)
        levels.push_back(deck.split(QStringLiteral("::")));
    QStringList grouped;
    for (const AnkiDeckGroup& group : groupAnkiDecks(levels, maxRows)) {
        QStringList indexes;
        for (int deck : group.decks)
            indexes << QString::number(deck);
        grouped << group.name + QStringLiteral(": ") + indexes.join(u' ');
    }
    QCOMPARE(grouped, rows);
}

QTEST_GUILESS_MAIN(TestAnkiTemplates)
#include "test_anki_templates.moc"
