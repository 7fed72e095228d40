// Reading Anki packages whole: the three collection entries (and the stub a
// newer package carries for older Anki), from packages made by an npm deck
// writer and by the sqlite3 and zstd tools (anki_fixtures/make_fixtures.sh),
// and the packages that must be refused.

#include "questions/anki_package.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace questions;

namespace {

QString fixture(const char* name)
{
    return QFINDTESTDATA(QStringLiteral("anki_fixtures/") + QLatin1String(name));
}

// "name: count" for each row.
QStringList rowsOf(const AnkiPackage& package)
{
    QStringList rows;
    for (const AnkiRow& row : package.rows)
        rows << QStringLiteral("%1: %2").arg(row.name).arg(row.questionCount);
    return rows;
}

// "question → answer" for each question of the package, deck by deck.
QStringList questionsOf(const AnkiPackage& package)
{
    QStringList questions;
    for (const AnkiDeck& deck : package.decks)
        for (const AnkiQuestion& question : deck.questions)
            questions << deck.name + QStringLiteral("｜") + question.question + QStringLiteral(" → ") + question.answer;
    return questions;
}

} // namespace

class TestAnkiPackage : public QObject {
    Q_OBJECT

private slots:
    void readsEachCollectionEntry_data();
    void readsEachCollectionEntry();
    void sameFromBytesAsFromTheFile();
    void refusesBadPackages_data();
    void refusesBadPackages();
    void refusesMoreCardsThanAllowed();
    void groupsDecksIntoTheRowsGiven();
};

void TestAnkiPackage::readsEachCollectionEntry_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("questions");

    // Schema 11 in collection.anki2, written by anki-apkg-export: HTML and
    // entities, a sound tag, a picture-only front left out.
    QTest::newRow("collection.anki2 (npm writer)")
        << fixture("npm_basic.apkg") << QStringList{QStringLiteral("日本語::漢字: 3")}
        << QStringList{QStringLiteral("日本語::漢字｜漢字を読む → かんじ\r\nkanji"),
                       QStringLiteral("日本語::漢字｜<tag> & あい → A B"),
                       QStringLiteral("日本語::漢字｜音声 → 一行目\r\n二行目")};
    // Schema 11 in collection.anki21 beside an older collection.anki2; the
    // note type's id is a JSON string; a card of a deck that is gone goes
    // to the default deck.
    QTest::newRow("collection.anki21")
        << fixture("legacy.colpkg")
        << QStringList{QStringLiteral("Default: 1"), QStringLiteral("地理: 1"), QStringLiteral("地理::アジア: 1")}
        << QStringList{QStringLiteral("Default｜消えたデッキの問題 → 既定のデッキへ"),
                       QStringLiteral("地理｜フランスの\r\n首都は？ → パリ"),
                       QStringLiteral("地理::アジア｜日本の首都は？ → 東京")};
    // Schema 18, zstd, WAL header, unicase collation; "meta" names it, so
    // the stub collection.anki2 ("Please update…", deck "Default") is never
    // read. Filtered cards count in their home deck, suspended ones are left
    // out (the deck "空" keeps its row), buried ones stay; cloze numbers
    // with a gap; rows of a note type that does not exist are left alone.
    const QStringList newerRows{QStringLiteral("数学: 2"), QStringLiteral("空: 0"), QStringLiteral("言語::日本語: 4"),
                                QStringLiteral("言語::英語: 1")};
    const QStringList newerQuestions{QStringLiteral("数学｜[...]の内角の和は180度 → 三角形"),
                                     QStringLiteral("数学｜三角形の内角の和は[角度] → 180度"),
                                     QStringLiteral("言語::日本語｜漢字(かんじ)を読(よ)む → to read kanji"),
                                     QStringLiteral("言語::日本語｜to read kanji → 漢字[かんじ]を 読[よ]む"),
                                     QStringLiteral("言語::日本語｜日本(にほん)\r\n読み: にほん → Japan & Nippon"),
                                     QStringLiteral("言語::日本語｜Japan & Nippon → 日本[にほん]"),
                                     QStringLiteral("言語::英語｜apple → りんご")};
    QTest::newRow("collection.anki21b") << fixture("newer.apkg") << newerRows << newerQuestions;
    // The same grown to 3 MB: its zstd frame comes out over several rounds.
    QTest::newRow("collection.anki21b over a megabyte") << fixture("large.apkg") << newerRows << newerQuestions;
}

void TestAnkiPackage::readsEachCollectionEntry()
{
    QFETCH(QString, file);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, questions);
    const AnkiRead read = readAnkiPackageFile(file, 8, 1000);
    QVERIFY2(read.package, qPrintable(QString::number(int(read.failure))));
    QCOMPARE(rowsOf(*read.package), rows);
    QCOMPARE(questionsOf(*read.package), questions);
}

void TestAnkiPackage::sameFromBytesAsFromTheFile()
{
    QFile file(fixture("newer.apkg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const AnkiRead fromBytes = readAnkiPackageBytes(file.readAll(), 8, 1000);
    const AnkiRead fromFile = readAnkiPackageFile(file.fileName(), 8, 1000);
    QVERIFY(fromBytes.package && fromFile.package);
    QCOMPARE(questionsOf(*fromBytes.package), questionsOf(*fromFile.package));
}

void TestAnkiPackage::refusesBadPackages_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("failure");
    QTest::newRow("missing") << QStringLiteral("/nonexistent/x.apkg") << int(AnkiFailure::CannotOpen);
    QTest::newRow("folder") << QFileInfo(fixture("newer.apkg")).absolutePath() << int(AnkiFailure::CannotOpen);
    QTest::newRow("not a zip") << fixture("bad_not_zip.apkg") << int(AnkiFailure::NotPackage);
    QTest::newRow("zip without collection") << fixture("bad_no_collection.apkg") << int(AnkiFailure::NotPackage);
    QTest::newRow("database that is no collection") << fixture("bad_not_collection.apkg") << int(AnkiFailure::NotPackage);
    QTest::newRow("meta names a newer version") << fixture("bad_newer_meta.apkg") << int(AnkiFailure::NewerFormat);
    QTest::newRow("newer collection schema") << fixture("bad_newer_schema.apkg") << int(AnkiFailure::NewerFormat);
    QTest::newRow("encrypted entry") << fixture("bad_encrypted.apkg") << int(AnkiFailure::Damaged);
    QTest::newRow("damaged entry") << fixture("bad_damaged.apkg") << int(AnkiFailure::Damaged);
    QTest::newRow("meta at its bound, then no collection") << fixture("bad_meta_at_bound.apkg") << int(AnkiFailure::NotPackage);
    QTest::newRow("meta one byte over its bound") << fixture("bad_meta_too_large.apkg") << int(AnkiFailure::TooLarge);
    QTest::newRow("inflates beyond the bound") << fixture("bad_too_large.apkg") << int(AnkiFailure::TooLarge);
}

void TestAnkiPackage::refusesBadPackages()
{
    QFETCH(QString, file);
    QFETCH(int, failure);
    const AnkiRead read = readAnkiPackageFile(file, 8, 1000);
    QVERIFY(!read.package);
    QCOMPARE(int(read.failure), failure);
}

void TestAnkiPackage::refusesMoreCardsThanAllowed()
{
    // newer.apkg holds 10 cards, suspended and left-out ones included.
    QVERIFY(readAnkiPackageFile(fixture("newer.apkg"), 8, 10).package);
    const AnkiRead read = readAnkiPackageFile(fixture("newer.apkg"), 8, 9);
    QVERIFY(!read.package);
    QCOMPARE(read.failure, AnkiFailure::TooManyCards);
}

void TestAnkiPackage::groupsDecksIntoTheRowsGiven()
{
    // Four decks into three rows: the deepest level joins its parent
    // "言語", which holds no cards itself; the row appends them in deck order.
    const AnkiRead read = readAnkiPackageFile(fixture("newer.apkg"), 3, 1000);
    QVERIFY(read.package);
    QCOMPARE(rowsOf(*read.package),
             (QStringList{QStringLiteral("数学: 2"), QStringLiteral("空: 0"), QStringLiteral("言語: 5")}));
    QCOMPARE(read.package->rows[2].decks, (std::vector<int>{2, 3}));
}

QTEST_GUILESS_MAIN(TestAnkiPackage)
#include "test_anki_package.moc"
