// Opening Anki packages through the window: the decks fill the list rows
// like the genres of a .5tq file, a row click appends its deck's questions
// from what the open read, and a package that cannot be read changes
// nothing.

#include "app/Un_subri1.h"
#include "widgets/StringGrid.h"
#include "widgets/dialogs.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace testsupport;

namespace {

QString fixture(const char* name)
{
    return QDir::cleanPath(QFINDTESTDATA(QStringLiteral("../../questions/anki_fixtures/") + QLatin1String(name)));
}

QStringList cells(const platform::StringGrid* grid, int row, int columns)
{
    QStringList texts;
    for (int column = 0; column < columns; ++column)
        texts << grid->cell(column, row);
    return texts;
}

// Everything an open may change, to show that nothing did.
QStringList windowState(const TForm1& form)
{
    QStringList state{QString::number(form.OpenDialog1->filterIndex()), form.Edit3->text(), form.Edit6->text(),
                      form.Edit7->text(), form.Edit8->text(), QString::number(form.Button16->isEnabled()),
                      QDir::currentPath()};
    for (const platform::StringGrid* grid : {form.StringGrid1, form.StringGrid2})
        for (int row = 0; row < grid->rowCount(); ++row)
            state << cells(grid, row, grid->colCount());
    for (int entry : form.listRowEntries)
        state << QString::number(entry);
    return state;
}

} // namespace

class TestAnkiDecks : public QObject {
    Q_OBJECT

private slots:
    void openFillsTheRowsAndARowAppendsItsDeck();
    void openedFromTheDialog_data();
    void openedFromTheDialog();
    void badPackageChangesNothing_data();
    void badPackageChangesNothing();
};

void TestAnkiDecks::openFillsTheRowsAndARowAppendsItsDeck()
{
    QTemporaryDir dir;
    TForm1 form;
    // A .5tq file first: its eight genres are replaced, the unused rows emptied.
    openThroughDialog(form, writeFile(dir.filePath(QStringLiteral("g.5tq")),
                                      tqFile({{"A", 1}, {"B", 1}, {"C", 1}, {"D", 1}, {"E", 1}, {"F", 1}, {"G", 1}, {"H", 1}},
                                             QList<TqQuestion>(8, TqQuestion{"q", "a"}))),
                      1);
    const QString path = fixture("newer.apkg");
    ErrorBoxes boxes;
    form.openQuestionFiles({path}); // as a drop or the command line does
    QCOMPARE(boxes.texts, QStringList{});

    QCOMPARE(cells(form.StringGrid1, 0, 5), (QStringList{"Anki", "デッキ名", "問題数", "始No", "終No"}));
    QCOMPARE(cells(form.StringGrid1, 1, 5), (QStringList{"Anki", "数学", "2", "1", "2"}));
    QCOMPARE(cells(form.StringGrid1, 2, 5), (QStringList{"Anki", "空", "0", "3", "2"}));
    QCOMPARE(cells(form.StringGrid1, 3, 5), (QStringList{"Anki", "言語::日本語", "4", "3", "6"}));
    QCOMPARE(cells(form.StringGrid1, 4, 5), (QStringList{"Anki", "言語::英語", "1", "7", "7"}));
    for (int row = 5; row <= 8; ++row)
        QCOMPARE(cells(form.StringGrid1, row, 5), QStringList(5, QString()));
    QCOMPARE(form.OpenDialog1->filterIndex(), 4);

    // Read whole at the open: the file may go, the rows still append.
    QFile::copy(path, dir.filePath(QStringLiteral("copy.apkg")));
    form.openQuestionFiles({dir.filePath(QStringLiteral("copy.apkg"))});
    QVERIFY(QFile::remove(dir.filePath(QStringLiteral("copy.apkg"))));
    clickListRow(form, 4);
    clickListRow(form, 1);
    QCOMPARE(form.StringGrid2->cell(1, 0), QStringLiteral("言語::英語/数学/"));
    QCOMPARE(form.StringGrid2->cell(3, 0), QStringLiteral("Ankiﾃﾞｯｷ"));
    QCOMPARE(cells(form.StringGrid2, 1, 4), (QStringList{"1", "apple", "りんご", "言語::英語"}));
    QCOMPARE(cells(form.StringGrid2, 2, 4), (QStringList{"2", "[...]の内角の和は180度", "三角形", "数学"}));
    QCOMPARE(cells(form.StringGrid2, 3, 4), (QStringList{"3", "三角形の内角の和は[角度]", "180度", "数学"}));
    QCOMPARE(form.Edit7->text(), QStringLiteral("3"));
    QVERIFY(form.Button16->isEnabled());

    // A row the package left empty appends nothing.
    const QStringList before = windowState(form);
    clickListRow(form, 6);
    QCOMPARE(windowState(form), before);
    QCOMPARE(boxes.texts, QStringList{});
}

void TestAnkiDecks::openedFromTheDialog_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("entry");
    QTest::newRow("another name under the Anki entry") << "deck.zip" << 4;
    QTest::newRow(".COLPKG under the .mon entry") << "DECK.COLPKG" << 2;
    QTest::newRow(".apkg under the CSV entry") << "deck.apkg" << 3;
}

void TestAnkiDecks::openedFromTheDialog()
{
    QFETCH(QString, name);
    QFETCH(int, entry);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QVERIFY(QFile::copy(fixture("legacy.colpkg"), path));
    TForm1 form;
    ErrorBoxes boxes;
    openThroughDialog(form, path, entry);
    QCOMPARE(boxes.texts, QStringList{});
    QCOMPARE(form.OpenDialog1->filterIndex(), 4);
    QCOMPARE(cells(form.StringGrid1, 3, 3), (QStringList{"Anki", "地理::アジア", "1"}));
    form.StringGrid1SelectCell(1, 2);
    QCOMPARE(cells(form.StringGrid2, 1, 4), (QStringList{"1", "フランスの\r\n首都は？", "パリ", "地理"}));
}

void TestAnkiDecks::badPackageChangesNothing_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("error");
    const QString notPackage = QStringLiteral("ﾌｧｲﾙ %1 はAnkiのパッケージではありません.");
    const QString damaged = QStringLiteral("ﾌｧｲﾙ %1 のAnkiコレクションが壊れているか、暗号化されています.");
    const QString newer = QStringLiteral("ﾌｧｲﾙ %1 はこのﾌﾟﾛｸﾞﾗﾑが読めない新しい形式のAnkiパッケージです"
                                         "（Ankiで古いバージョン向けに書き出すと読めます）.");
    QTest::newRow("not a zip") << fixture("bad_not_zip.apkg") << notPackage;
    QTest::newRow("no collection") << fixture("bad_no_collection.apkg") << notPackage;
    QTest::newRow("not a collection") << fixture("bad_not_collection.apkg") << notPackage;
    QTest::newRow("encrypted") << fixture("bad_encrypted.apkg") << damaged;
    QTest::newRow("damaged") << fixture("bad_damaged.apkg") << damaged;
    QTest::newRow("newer meta") << fixture("bad_newer_meta.apkg") << newer;
    QTest::newRow("newer schema") << fixture("bad_newer_schema.apkg") << newer;
    QTest::newRow("too large") << fixture("bad_too_large.apkg")
                               << QStringLiteral("ﾌｧｲﾙ %1 のAnkiコレクションが上限の 256 MiBを超えています.");
    QTest::newRow("missing") << QStringLiteral("/nonexistent/gone.apkg") << QStringLiteral("ﾌｧｲﾙ %1 は開けません.");
}

void TestAnkiDecks::badPackageChangesNothing()
{
    QFETCH(QString, file);
    QFETCH(QString, error);
    TForm1 form;
    form.openQuestionFiles({fixture("newer.apkg")});
    form.StringGrid1SelectCell(1, 3);
    const QStringList before = windowState(form);
    ErrorBoxes boxes;
    form.openQuestionFiles({file});
    QCOMPARE(boxes.texts, QStringList{error.arg(file)});
    QCOMPARE(windowState(form), before);
    // The rows of the package read before still append.
    form.StringGrid1SelectCell(1, 4);
    QCOMPARE(form.StringGrid2->cell(1, 5), QStringLiteral("apple"));
}

QTEST_MAIN(TestAnkiDecks)
#include "test_anki_decks.moc"
