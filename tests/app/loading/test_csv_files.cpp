// CSV and TSV question sets through the window, with files written by real
// programs (tests/questions/csv_fixtures/make_fixtures.sh), and the question table's save as
// .mon and CSV.

#include "app/Un_subri1.h"
#include "app/controls.h"
#include "widgets/StringGrid.h"
#include "widgets/dialogs.h"
#include "platform/errors.h"
#include "platform/platform.h"
#include "support/testsupport.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace testsupport;

namespace {

QString fixture(const char* name)
{
    // The fixtures are the CSV reader's, beside its own test.
    return QDir::cleanPath(QFINDTESTDATA(QStringLiteral("../../questions/csv_fixtures/") + QLatin1String(name)));
}

// Question and answer of rows 1 … N of the table, "question|answer" each.
QStringList tablePairs(const TForm1& form)
{
    QStringList pairs;
    for (int row = 1; row < form.StringGrid2->rowCount() - 1; ++row)
        pairs << form.StringGrid2->cell(1, row) + u'|' + form.StringGrid2->cell(2, row);
    return pairs;
}

// The message a directly called handler throws ("" when it succeeds).
template <typename Handler>
QString errorOf(Handler handler)
{
    try {
        handler();
    } catch (const platform::Error& error) {
        return error.message();
    }
    return {};
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

const QStringList kCalcPairs{
    u"北海道の道庁所在地は？|札幌市"_qs,
    u"①「青森」の読みは？|あおもり"_qs,
    u"岩手県、宮城県、秋田県のうち\r\n県庁所在地が県名と違うのは？|岩手県（盛岡市）, 宮城県（仙台市）"_qs,
    u"\"山形\" の名産は？|さくらんぼ～"_qs,
};

} // namespace

class TestCsvFiles : public QObject {
    Q_OBJECT

private slots:
    void init() { dir.reset(new QTemporaryDir); }
    void cleanup() { platform::scriptSaveDialogCancel(); }

    void fixturesOpenAppendAndSaveBack_data();
    void fixturesOpenAppendAndSaveBack();
    void badInputChangesNothing_data();
    void badInputChangesNothing();
    void saveTakesVisualColumnsAndRowOrder();
    void refusedSaveFromTheMenuKeepsTheOldFile();
    void rowCountFollowsItsFile();

private:
    std::unique_ptr<QTemporaryDir> dir;
};

void TestCsvFiles::fixturesOpenAppendAndSaveBack_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("entry"); // the dialog's entry when chosen
    QTest::addColumn<QString>("label");
    QTest::addColumn<QStringList>("pairs");
    QTest::addColumn<int>("monRefusedRow"); // 0: the .mon save takes every row

    QTest::newRow("Python csv module") << fixture("python_quoted.csv") << 2 << u"CSV"_qs
        << QStringList{u"Capital of France, the country?|Paris"_qs,
                       u"Who said \"I think, therefore I am\"?|Descartes"_qs,
                       u"Two lines:\r\nfirst\r\nsecond|a \"quoted\", answer"_qs, u"日本の首都は？|東京"_qs}
        << 3;
    QTest::newRow("LibreOffice UTF-8") << fixture("calc_utf8.csv") << 3 << u"CSV"_qs << kCalcPairs << 0;
    QTest::newRow("LibreOffice code page 932") << fixture("calc_cp932.csv") << 1 << u"CSV"_qs << kCalcPairs << 0;
    QTest::newRow("flashcard export") << fixture("flashcards.txt") << 3 << u"TSV"_qs
        << QStringList{u"光合成で作られる気体は？|酸素 (O2)"_qs,
                       u"「春はあけぼの」で始まる作品は？\r\n作者も答えよ|枕草子\r\n清少納言"_qs,
                       u"<br> タグの意味は？|改行"_qs}
        << 0;
}

void TestCsvFiles::fixturesOpenAppendAndSaveBack()
{
    QFETCH(QString, path);
    QFETCH(int, entry);
    QFETCH(QString, label);
    QFETCH(QStringList, pairs);
    QFETCH(int, monRefusedRow);
    const QString name = QFileInfo(path).completeBaseName();

    TForm1 form;
    // A .mon set takes row 1; the CSV set row 2.
    openThroughDialog(form, writeFile(dir->filePath(u"first.mon"_qs), monFile(u"L"_qs, u"S"_qs, {{u"q"_qs, u"a"_qs}})), 2);
    openThroughDialog(form, path, entry);
    QCOMPARE(form.OpenDialog1->filterIndex(), 3);
    QVERIFY(!form.binaryMode());
    QCOMPARE(form.StringGrid1->cell(0, 2), label);
    QCOMPARE(form.StringGrid1->cell(1, 2), name);
    QCOMPARE(form.StringGrid1->cell(2, 2), QString::number(pairs.size()));
    QCOMPARE(form.StringGrid1->cell(3, 2), path);

    form.Button4Click(); // a cleared table: the header's caption is no set name
    clickListRow(form, 2);
    QCOMPARE(tablePairs(form), pairs);
    QCOMPARE(form.StringGrid2->cell(1, 0), u"問題・・・"_qs + name + u'/');
    QCOMPARE(form.StringGrid2->cell(0, pairs.size()), QString::number(pairs.size()));
    QCOMPARE(form.StringGrid2->cell(3, 1), name);
    QCOMPARE(form.Edit8->text(), QString::number(pairs.size()));
    QCOMPARE(app::fieldColor(form.Edit7), app::kLime);
    QVERIFY(form.Button16->isEnabled());

    // Saved as .mon and as CSV, each re-opens to the same table; a text the
    // .mon format cannot hold refuses the .mon save.
    if (monRefusedRow > 0) {
        platform::scriptSaveDialog(dir->filePath(name + u".mon"_qs), 1);
        QCOMPARE(errorOf([&] { form.SaveQuestionTable(); }),
                 u"問題表の %1 行目は mon 形式で保存できません"_qs.arg(monRefusedRow));
        QVERIFY(!QFile::exists(dir->filePath(name + u".mon"_qs)));
        form.StringGrid2->setCell(2, monRefusedRow, u"mended"_qs);
        pairs[monRefusedRow - 1] = pairs[monRefusedRow - 1].section(u'|', 0, 0) + u"|mended"_qs;
    }
    for (const auto& [saved, saveEntry] : {std::pair{dir->filePath(name + u".mon"_qs), 1},
                                           std::pair{dir->filePath(u"again"_qs), 2}}) {
        platform::scriptSaveDialog(saved, saveEntry);
        form.SaveQuestionTable();
        TForm1 reopened;
        const QString file = saveEntry == 2 ? saved + u".csv"_qs : saved;
        openThroughDialog(reopened, file, 2);
        reopened.StringGrid1SelectCell(1, 1);
        QCOMPARE(tablePairs(reopened), pairs);
        QCOMPARE(reopened.StringGrid1->cell(1, 1), saveEntry == 1 ? name : u"again"_qs);
    }
}

void TestCsvFiles::badInputChangesNothing_data()
{
    QTest::addColumn<QByteArray>("bytes"); // empty: no file at all
    QTest::addColumn<bool>("atAppend");    // written over a good file after its open
    QTest::addColumn<QString>("message");  // %1: the path

    QTest::newRow("quote open at the end") << QByteArray("q,a\r\n\"open,x\r\n") << false << u"CSV %1 の 2 行目を読めません"_qs;
    QTest::newRow("one field") << QByteArray("#html:true\nq,a\nalone\n") << false << u"CSV %1 の 3 行目を読めません"_qs;
    QTest::newRow("bad at append") << QByteArray("q,a\nr,\"b\nc") << true << u"CSV %1 の 2 行目を読めません"_qs;
    QTest::newRow("gone at append") << QByteArray() << true << u"ﾌｧｲﾙ %1 は開けません"_qs;
    // A file of more questions than fit is refused before they are read into
    // the table (the limit's edges: test_question_file_reader).
    QTest::newRow("a question too many at append") << QByteArray("a,b\n").repeated(1000001) << true
        << u"ﾌｧｲﾙ %1 の問題数が上限の 1000000 問を超えています"_qs;
}

void TestCsvFiles::badInputChangesNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, atAppend);
    QFETCH(QString, message);

    TForm1 form;
    openThroughDialog(form, fixture("calc_utf8.csv"), 3);
    form.StringGrid1SelectCell(1, 1);
    const QString path = dir->filePath(u"bad.csv"_qs);
    if (atAppend) {
        openThroughDialog(form, writeFile(path, "q,a\n"), 3);
        QFile::remove(path);
    }
    if (!bytes.isEmpty())
        writeFile(path, bytes);
    const QStringList before = windowSnapshot(form);

    const QString error = atAppend ? errorOf([&] { form.StringGrid1SelectCell(1, 2); })
                                   : errorOf([&] { openThroughDialog(form, path, 3); });
    QCOMPARE(error, message.arg(path));
    QCOMPARE(windowSnapshot(form), before);
}

void TestCsvFiles::saveTakesVisualColumnsAndRowOrder()
{
    TForm1 form;
    openThroughDialog(form, fixture("calc_utf8.csv"), 3);
    form.StringGrid1SelectCell(1, 1);
    // The answer column dragged before the question column, the last row to
    // the top, and an empty row below the questions.
    form.StringGrid2->grid()->moveColumn(2, 1);
    form.StringGrid2->grid()->moveRow(4, 1);
    form.StringGrid2->setRowCount(form.StringGrid2->rowCount() + 1);

    const QString saved = dir->filePath(u"order.csv"_qs);
    platform::scriptSaveDialog(saved, 1); // the extension decides: CSV
    form.SaveQuestionTable();
    QVERIFY(fileBytes(saved).startsWith("\xEF\xBB\xBF問題,答え\r\nさくらんぼ～,\"\"\"山形\"\" の名産は？\"\r\n"));

    TForm1 reopened;
    openThroughDialog(reopened, saved, 2);
    reopened.StringGrid1SelectCell(1, 1);
    QCOMPARE(reopened.StringGrid2->rowCount(), 6);
    QCOMPARE(reopened.StringGrid2->cell(1, 1), u"さくらんぼ～"_qs);
    QCOMPARE(reopened.StringGrid2->cell(2, 2), u"北海道の道庁所在地は？"_qs);
}

void TestCsvFiles::refusedSaveFromTheMenuKeepsTheOldFile()
{
    TForm1 form;
    ErrorBoxes boxes;
    const QString path = writeFile(dir->filePath(u"keep.mon"_qs), "old content");
    openThroughDialog(form, fixture("calc_utf8.csv"), 3);
    form.StringGrid1SelectCell(1, 1);
    form.StringGrid2->setCell(2, 3, u"a\",b"_qs);

    auto* menu = form.StringGrid2->findChild<QMenu*>();
    QVERIFY(menu);
    QAction* save = menu->actions().value(0);
    QCOMPARE(save->text(), u"問題集として保存…"_qs);
    platform::scriptSaveDialog(path, 1);
    save->trigger();
    QCOMPARE(boxes.texts, QStringList{u"問題表の 3 行目は mon 形式で保存できません."_qs});
    QCOMPARE(fileBytes(path), QByteArray("old content"));
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{u"keep.mon"_qs});

    // Cancelled: nothing is written, nothing reported.
    platform::scriptSaveDialogCancel();
    form.SaveQuestionTable();
    QCOMPARE(boxes.texts.size(), 1);
    QCOMPARE(fileBytes(path), QByteArray("old content"));
}

// A CSV row says how many questions a click appends, also after its file
// changed since the open: the count comes from what the append read.
void TestCsvFiles::rowCountFollowsItsFile()
{
    const QString path = writeFile(dir->filePath(u"set.csv"_qs), "q1,a1\nq2,a2\n");
    TForm1 form;
    openThroughDialog(form, path, 3);
    QCOMPARE(form.StringGrid1->cell(2, 1), u"2"_qs);
    writeFile(path, "q1,a1\nq2,a2\nq3,a3\n");
    clickListRow(form, 1);
    QCOMPARE(form.Edit7->text(), u"3"_qs);
    QCOMPARE(form.StringGrid1->cell(2, 1), u"3"_qs);
    writeFile(path, "q1,a1\n");
    form.Button4Click();
    clickListRow(form, 1);
    QCOMPARE(form.StringGrid1->cell(2, 1), form.Edit7->text());
}

QTEST_MAIN(TestCsvFiles)
#include "test_csv_files.moc"
