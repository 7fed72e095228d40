// Opening question files through the window and appending their questions:
// text files (one list row each, read afresh at every append) and binary
// files (eight genres, questions read from the held file at every append).

#include "app/Un_subri1.h"
#include "app/controls.h"
#include "widgets/StringGrid.h"
#include "text/codepage.h"
#include "widgets/dialogs.h"
#include "platform/platform.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTest>

using namespace testsupport;

namespace {

QList<QPair<QString, QString>> numberedQuestions(int count, const QString& prefix = QStringLiteral("問"))
{
    QList<QPair<QString, QString>> questions;
    for (int i = 1; i <= count; ++i)
        questions.append({prefix + QString::number(i), QStringLiteral("答") + QString::number(i)});
    return questions;
}

// The list row's cells, columns 0–4.
QStringList listRow(const TForm1& form, int row)
{
    QStringList cells;
    for (int column = 0; column < 5; ++column)
        cells << form.StringGrid1->cell(column, row);
    return cells;
}

// The table row's cells, columns 0–3.
QStringList tableRow(const TForm1& form, int row)
{
    QStringList cells;
    for (int column = 0; column < 4; ++column)
        cells << form.StringGrid2->cell(column, row);
    return cells;
}

QString openErrorText(const QString& path)
{
    return QStringLiteral("ﾌｧｲﾙ %1 は開けません.").arg(path);
}

// Genres with 10, 0 and 5 questions; question n reads "Qn" / "An".
QByteArray threeGenreFile()
{
    QList<TqQuestion> questions;
    for (int n = 1; n <= 15; ++n)
        questions.append({"Q" + QByteArray::number(n), "A" + QByteArray::number(n)});
    return tqFile({{cp932(QStringLiteral("歴史")), 10}, {"Empty", 0}, {"Science", 5}}, questions);
}

} // namespace

class TestQuestionFiles : public QObject {
    Q_OBJECT

private slots:
    void init() { dir.reset(new QTemporaryDir); }

    void textOpenFillsOneListRow();
    void textAppend_data();
    void textAppend();
    void appendsNumberOnFromTheLastRow();
    void multiLineRecordKeepsItsLineBreaks();
    void fileChangedOnDiskBetweenOpenAndAppend();
    void lineStoreShowsTheFileReadLast();
    void widenedWindowShowsTheFileText_data();
    void widenedWindowShowsTheFileText();
    void missingFileAtAppend();
    void eachRowAppendsWhatItShows_data();
    void eachRowAppendsWhatItShows();
    void ninthTextFileReusesTheFirstRow();

    void binaryOpenListsGenres();
    void binaryGenresAppendWithRunningNumbers();
    void emptyGenreStillEnablesAndResetsTheRange();
    void sameGenreTwiceIsReadTwiceFromTheFile();
    void reopeningTheCurrentBinaryFileFails();

    void buttonsEnabledInTheListedOrder();

private:
    // The file's text as the line store's box shows it: one line per line.
    static QString shownText(const QString& path)
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return platform::decodeCp932(file.readAll()).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }

    QString mon(const QString& name, const QString& setName, int count)
    {
        return writeFile(dir->filePath(name), monFile(QStringLiteral("L") + setName, setName,
                                                      numberedQuestions(count, setName)));
    }

    // The files the open tests name: a .5tq of three genres, text sets A and
    // B (.mon and .csv, two questions each).
    QString file(const QString& name)
    {
        if (name.endsWith(u".5tq"))
            return writeFile(dir->filePath(name), threeGenreFile());
        const QString setName = name.left(1).toUpper();
        if (name.endsWith(u".mon"))
            return mon(name, setName, 2);
        return writeFile(dir->filePath(name), (setName + QStringLiteral("1,x1\n") + setName + QStringLiteral("2,x2\n")).toUtf8());
    }

    std::unique_ptr<QTemporaryDir> dir;
};

void TestQuestionFiles::textOpenFillsOneListRow()
{
    TForm1 form;
    const QString path = mon(QStringLiteral("set.txt"), QStringLiteral("県庁"), 12);
    openThroughDialog(form, path, 2);

    QCOMPARE(form.textFileCount, 1);
    QCOMPARE(listRow(form, 0), (QStringList{QStringLiteral("Quillop"), {}, {}, {}, {}}));
    QCOMPARE(listRow(form, 1), (QStringList{QStringLiteral("L県庁"), QStringLiteral("県庁"), QStringLiteral("12"),
                                            path, {}}));
    QCOMPARE(form.Edit3->text(), dir->filePath(QStringLiteral("set.mon")));
    QCOMPARE(form.StringGrid2->cell(3, 0), QStringLiteral("Quillopｼﾞｬﾝﾙ"));
    QCOMPARE(form.StringGrid2->rowCount(), 2);
    QCOMPARE(form.Memo1->toPlainText().section(u'\n', 1, 1), QStringLiteral("0,\"y\",\"県庁\""));
}

void TestQuestionFiles::textAppend_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QColor>("color");
    QTest::newRow("12") << 12 << app::kLime;
    QTest::newRow("301") << 301 << app::kRed;
    QTest::newRow("5 (lime after an append)") << 5 << app::kLime;
}

void TestQuestionFiles::textAppend()
{
    QFETCH(int, count);
    QFETCH(QColor, color);
    TForm1 form;
    openThroughDialog(form, mon(QStringLiteral("a.mon"), QStringLiteral("A"), count), 2);
    form.StringGrid1SelectCell(1, 1);

    QCOMPARE(form.StringGrid2->rowCount(), count + 2);
    QCOMPARE(form.StringGrid2->cell(1, 0), QStringLiteral("A/"));
    for (int row = 1; row <= count; ++row) {
        const QString n = QString::number(row);
        QCOMPARE(tableRow(form, row), (QStringList{n, u'A' + n, QStringLiteral("答") + n, QStringLiteral("A")}));
    }
    QCOMPARE(tableRow(form, count + 1), (QStringList{{}, {}, {}, {}}));
    QCOMPARE(form.Edit6->text(), QStringLiteral("1"));
    QCOMPARE(form.Edit8->text(), QString::number(count));
    QCOMPARE(form.Edit7->text(), QString::number(count));
    QCOMPARE(app::fieldColor(form.Edit7), color);
    QVERIFY(form.Button16->isEnabled());
}

void TestQuestionFiles::appendsNumberOnFromTheLastRow()
{
    TForm1 form;
    openThroughDialog(form, mon(QStringLiteral("a.mon"), QStringLiteral("A"), 3), 2);
    openThroughDialog(form, mon(QStringLiteral("b.mon"), QStringLiteral("B"), 2), 2);
    form.StringGrid1SelectCell(1, 1);
    form.StringGrid1SelectCell(2, 2);
    form.StringGrid1SelectCell(3, 1);

    QCOMPARE(form.StringGrid2->cell(1, 0), QStringLiteral("A/B/A/"));
    QCOMPARE(form.StringGrid2->rowCount(), 10);
    const QStringList genres{{}, "A", "A", "A", "B", "B", "A", "A", "A", {}};
    for (int row = 1; row <= 8; ++row) {
        QCOMPARE(form.StringGrid2->cell(0, row), QString::number(row));
        QCOMPARE(form.StringGrid2->cell(3, row), genres[row]);
    }
    QCOMPARE(form.StringGrid2->cell(1, 6), QStringLiteral("A1"));
    QCOMPARE(tableRow(form, 9), (QStringList{{}, {}, {}, {}}));
    QCOMPARE(form.Edit7->text(), QStringLiteral("8"));
}

void TestQuestionFiles::multiLineRecordKeepsItsLineBreaks()
{
    TForm1 form;
    const QString path = writeFile(dir->filePath(QStringLiteral("m.mon")),
                                   cp932(QStringLiteral("2,\"x\",\"L\"\r\n0,\"y\",\"M\"\r\n"
                                                        "1,\"A\",\"一行目\r\n二行目\"\r\n"
                                                        "2,\"B\",\"Q\"\r\n")));
    openThroughDialog(form, path, 2);
    form.StringGrid1SelectCell(1, 1);

    QCOMPARE(form.StringGrid2->rowCount(), 4);
    QCOMPARE(form.StringGrid2->cell(1, 1), QStringLiteral("一行目\r\n二行目"));
    QCOMPARE(form.StringGrid2->cell(2, 1), QStringLiteral("A"));
    QCOMPARE(tableRow(form, 2), (QStringList{"2", "Q", "B", "M"}));
}

void TestQuestionFiles::fileChangedOnDiskBetweenOpenAndAppend()
{
    TForm1 form;
    const QString path = mon(QStringLiteral("a.mon"), QStringLiteral("A"), 3);
    openThroughDialog(form, path, 2);
    writeFile(path, monFile(QStringLiteral("New"), QStringLiteral("Renamed"), {{"q", "a"}}));
    form.StringGrid1SelectCell(1, 1);

    QCOMPARE(form.StringGrid2->rowCount(), 3);
    QCOMPARE(tableRow(form, 1), (QStringList{"1", "q", "a", "A"}));
    QCOMPARE(listRow(form, 1), (QStringList{"LA", "A", "3", path, {}}));
    QCOMPARE(form.StringGrid2->cell(1, 0), QStringLiteral("A/"));
    QCOMPARE(form.Memo1->toPlainText(), shownText(path));
}

void TestQuestionFiles::lineStoreShowsTheFileReadLast()
{
    TForm1 form;
    const QString a = mon(QStringLiteral("a.mon"), QStringLiteral("A"), 3);
    const QString b = mon(QStringLiteral("b.mon"), QStringLiteral("B"), 2);
    openThroughDialog(form, a, 2);
    QCOMPARE(form.Memo1->toPlainText(), shownText(a));
    openThroughDialog(form, b, 2);
    QCOMPARE(form.Memo1->toPlainText(), shownText(b));
    form.StringGrid1SelectCell(1, 1);
    QCOMPARE(form.Memo1->toPlainText(), shownText(a));
    // Text put into the box since is replaced by the file's at the next read.
    form.Memo1->setPlainText(QStringLiteral("edited"));
    form.StringGrid1SelectCell(1, 1);
    QCOMPARE(form.Memo1->toPlainText(), shownText(a));
    QCOMPARE(form.StringGrid2->rowCount(), 3 + 3 + 2);
}

void TestQuestionFiles::widenedWindowShowsTheFileText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray header = "2,\"x\",\"L\"\r\n0,\"y\",\"S\"";
    QTest::newRow("CR LF, lone LF, lone CR, empty lines")
        << header + "\r\n1,\"A\",\"Q\"\n\n2,\"B\",\"R\"\r\r3,\"C\",\"T\"\r\n";
    QTest::newRow("no line break at the end") << header + "\r\n1,\"A\",\"Q\"";
    QTest::newRow("first byte of a pair before the line break")
        << header + "\r\n1,\"A\",\"Q\x82\r\n\x82\"\n2,\"B\",\"R\"\r\n";
    QTest::newRow("bytes that are no character")
        << header + "\r\n1,\"\x80\xA0\x1A\x7F\",\"\xFD\xFE\xFF\x85\x40\xEB\x40\"\r\n";
    QTest::newRow("pair cut off at the end of the file") << header + "\r\n1,\"A\",\"Q\x88";
}

void TestQuestionFiles::widenedWindowShowsTheFileText()
{
    QFETCH(QByteArray, bytes);
    const QString path = writeFile(dir->filePath(QStringLiteral("w.mon")), bytes);
    // What the box showed when it was filled as the file was read.
    QPlainTextEdit filledAtOnce;
    filledAtOnce.setPlainText(platform::decodeCp932(bytes));
    const QString expected = filledAtOnce.toPlainText();

    // The loading page selected by the user: the narrow layout, the box out of view.
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    clickTab(form, form.TabSheet2);
    openThroughDialog(form, path, 2);
    form.StringGrid1SelectCell(1, 1);
    QCoreApplication::processEvents();
    QPlainTextEdit* box = form.Memo1;
    QVERIFY(box->document()->isEmpty());

    form.bt_size1_8Click(); // the wide layout: the box comes into view
    QTRY_COMPARE(box->toPlainText(), expected);
    QCOMPARE(form.Memo1->property("plainText").toString(), expected);
}

void TestQuestionFiles::missingFileAtAppend()
{
    TForm1 form;
    const QString path = mon(QStringLiteral("a.mon"), QStringLiteral("A"), 4);
    openThroughDialog(form, path, 2);
    form.StringGrid1SelectCell(1, 1);
    QVERIFY(QFile::remove(path));
    const QStringList before = windowSnapshot(form);
    ErrorBoxes boxes;
    form.guard.run([&] { form.StringGrid1SelectCell(1, 1); });

    QCOMPARE(boxes.texts, QStringList{openErrorText(path)});
    QCOMPARE(windowSnapshot(form), before);
}

// A row appends what it shows, whichever format was opened last: a row a
// binary open wrote appends its genre, a row a text open wrote its file; a
// row no open has written serves nothing, and nothing at all changes.
void TestQuestionFiles::eachRowAppendsWhatItShows_data()
{
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("appended"); // first question and genre label; count

    QTest::newRow(".5tq, CSV: row 1 the CSV")
        << QStringList{"g.5tq", "a.csv"} << 1 << QStringList{"A1", "a", "2"};
    QTest::newRow(".5tq, CSV: row 3 a genre")
        << QStringList{"g.5tq", "a.csv"} << 3 << QStringList{"Q11", "Science", "5"};
    QTest::newRow(".5tq, .mon: row 1 the .mon")
        << QStringList{"g.5tq", "a.mon"} << 1 << QStringList{"A1", "A", "2"};
    QTest::newRow("CSV, .5tq, .mon: row 1 a genre")
        << QStringList{"a.csv", "g.5tq", "b.mon"} << 1 << QStringList{"Q1", "歴史", "10"};
    QTest::newRow("CSV, .5tq, .mon: row 2 the .mon")
        << QStringList{"a.csv", "g.5tq", "b.mon"} << 2 << QStringList{"B1", "B", "2"};
    QTest::newRow(".mon, .5tq, CSV: row 2 the CSV")
        << QStringList{"a.mon", "g.5tq", "b.csv"} << 2 << QStringList{"B1", "b", "2"};
    QTest::newRow(".mon: row 2 nothing") << QStringList{"a.mon"} << 2 << QStringList{"", "", "0"};
}

void TestQuestionFiles::eachRowAppendsWhatItShows()
{
    QFETCH(QStringList, opened);
    QFETCH(int, row);
    QFETCH(QStringList, appended);

    TForm1 form;
    for (const QString& name : opened)
        openThroughDialog(form, file(name), 2);
    if (form.StringGrid1->cell(3, row).contains(u'/')) // a text file's path: no end number beside it
        QCOMPARE(form.StringGrid1->cell(4, row), QString());
    const QStringList before = windowSnapshot(form);
    ErrorBoxes boxes;
    clickListRow(form, row);
    QCOMPARE(boxes.texts, QStringList{});
    QCOMPARE(windowSnapshot(form) == before, appended[2] == u"0");
    QCOMPARE(form.StringGrid2->rowCount() - 2, appended[2].toInt());
    QCOMPARE(form.StringGrid2->cell(1, 1), appended[0]);
    QCOMPARE(form.StringGrid2->cell(3, 1), appended[1]);
}

void TestQuestionFiles::ninthTextFileReusesTheFirstRow()
{
    TForm1 form;
    for (int i = 1; i <= 9; ++i)
        openThroughDialog(form, mon(QStringLiteral("s%1.mon").arg(i), QStringLiteral("S%1").arg(i), i), 2);

    QCOMPARE(form.textFileCount, 9);
    QCOMPARE(form.StringGrid1->cell(1, 1), QStringLiteral("S9"));
    QCOMPARE(form.StringGrid1->cell(1, 2), QStringLiteral("S2"));
    QCOMPARE(form.StringGrid1->cell(1, 8), QStringLiteral("S8"));
    form.StringGrid1SelectCell(1, 1);
    QCOMPARE(form.StringGrid2->rowCount(), 9 + 2);
    QCOMPARE(form.StringGrid2->cell(3, 9), QStringLiteral("S9"));
    form.StringGrid1SelectCell(1, 8);
    QCOMPARE(form.StringGrid2->rowCount(), 9 + 8 + 2);
    QCOMPARE(form.StringGrid2->cell(1, 0), QStringLiteral("S9/S8/"));
}

void TestQuestionFiles::binaryOpenListsGenres()
{
    TForm1 form;
    const QString path = writeFile(dir->filePath(QStringLiteral("g.5tq")), threeGenreFile());
    openThroughDialog(form, path, 1);

    QCOMPARE(listRow(form, 0), (QStringList{QStringLiteral("5TQ[.5tq]"), QStringLiteral("ジャンル名"),
                                            QStringLiteral("問題数"), QStringLiteral("始No"),
                                            QStringLiteral("終No")}));
    QCOMPARE(listRow(form, 1), (QStringList{QStringLiteral("ジャンル1"), QStringLiteral("歴史"), "10", "1", "10"}));
    QCOMPARE(listRow(form, 2), (QStringList{QStringLiteral("ジャンル2"), "Empty", "0", "11", "10"}));
    QCOMPARE(listRow(form, 3), (QStringList{QStringLiteral("ジャンル3"), "Science", "5", "11", "15"}));
    QCOMPARE(listRow(form, 8), (QStringList{QStringLiteral("ジャンル8"), {}, "0", "16", "15"}));
    QCOMPARE(form.StringGrid2->cell(3, 0), QStringLiteral("5TQｼﾞｬﾝﾙ"));
    QCOMPARE(form.StringGrid2->rowCount(), 2);
    QCOMPARE(form.Edit1->text(), QStringLiteral("Q1"));
    QCOMPARE(form.Edit2->text(), QStringLiteral("A1"));
}

void TestQuestionFiles::binaryGenresAppendWithRunningNumbers()
{
    TForm1 form;
    openThroughDialog(form, writeFile(dir->filePath(QStringLiteral("g.5tq")), threeGenreFile()), 1);
    form.StringGrid1SelectCell(1, 1);
    form.StringGrid1SelectCell(1, 2);
    form.StringGrid1SelectCell(1, 3);

    QCOMPARE(form.StringGrid2->cell(1, 0), QStringLiteral("歴史/Empty/Science/"));
    QCOMPARE(form.StringGrid2->rowCount(), 17);
    for (int row = 1; row <= 15; ++row) {
        const QString n = QString::number(row);
        const QString genre = row <= 10 ? QStringLiteral("歴史") : QStringLiteral("Science");
        QCOMPARE(tableRow(form, row), (QStringList{n, u'Q' + n, u'A' + n, genre}));
    }
    QCOMPARE(tableRow(form, 16), (QStringList{{}, {}, {}, {}}));
    // The holders keep the record read last.
    QCOMPARE(form.Edit1->text(), QStringLiteral("Q15"));
    QCOMPARE(form.Edit2->text(), QStringLiteral("A15"));
    QCOMPARE(form.Edit7->text(), QStringLiteral("15"));
}

void TestQuestionFiles::emptyGenreStillEnablesAndResetsTheRange()
{
    TForm1 form;
    openThroughDialog(form, writeFile(dir->filePath(QStringLiteral("g.5tq")), threeGenreFile()), 1);
    form.StringGrid1SelectCell(1, 2);

    QCOMPARE(form.StringGrid2->rowCount(), 2);
    QCOMPARE(form.StringGrid2->cell(1, 0), QStringLiteral("Empty/"));
    QCOMPARE(form.Edit1->text(), QStringLiteral("Q1")); // no record read
    QVERIFY(form.Button16->isEnabled());
    QVERIFY(form.Button32->isEnabled());
    QCOMPARE(form.Edit6->text(), QStringLiteral("1"));
    QCOMPARE(form.Edit8->text(), QStringLiteral("0"));
    QCOMPARE(form.Edit7->text(), QStringLiteral("0"));
    QCOMPARE(app::fieldColor(form.Edit7), app::kLime);
}

void TestQuestionFiles::sameGenreTwiceIsReadTwiceFromTheFile()
{
    TForm1 form;
    const QString path = writeFile(dir->filePath(QStringLiteral("g.5tq")), threeGenreFile());
    openThroughDialog(form, path, 1);
    form.StringGrid1SelectCell(1, 3);
    // Question 11 changes on disk while the file is held open.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    file.seek(2048 + 256 * 10);
    file.write(tqFile({}, {{"Changed", "New"}}).mid(2048, 144));
    file.close();
    form.StringGrid1SelectCell(1, 3);

    QCOMPARE(form.StringGrid2->rowCount(), 12);
    QCOMPARE(tableRow(form, 1), (QStringList{"1", "Q11", "A11", "Science"}));
    QCOMPARE(tableRow(form, 6), (QStringList{"6", "Changed", "New", "Science"}));
    QCOMPARE(tableRow(form, 10), (QStringList{"10", "Q15", "A15", "Science"}));
    QCOMPARE(form.StringGrid2->cell(1, 0), QStringLiteral("Science/Science/"));
}

void TestQuestionFiles::reopeningTheCurrentBinaryFileFails()
{
    TForm1 form;
    const QString first = writeFile(dir->filePath(QStringLiteral("g.5tq")), threeGenreFile());
    const QString second = writeFile(dir->filePath(QStringLiteral("h.5tq")),
                                     tqFile({{"Other", 1}}, {{"X", "Y"}}));
    openThroughDialog(form, first, 1);
    ErrorBoxes boxes;
    platform::scriptOpenDialog(first, 1);
    form.Button3->click();
    QCOMPARE(boxes.texts, QStringList{openErrorText(first)});
    QCOMPARE(form.StringGrid1->cell(1, 3), QStringLiteral("Science"));
    form.StringGrid1SelectCell(1, 1);
    QCOMPARE(form.StringGrid2->cell(1, 10), QStringLiteral("Q10"));

    openThroughDialog(form, second, 1);
    QCOMPARE(form.StringGrid1->cell(1, 1), QStringLiteral("Other"));
    openThroughDialog(form, first, 1);
    QCOMPARE(form.StringGrid1->cell(1, 1), QStringLiteral("歴史"));
    QCOMPARE(boxes.texts.size(), 1);
}

void TestQuestionFiles::buttonsEnabledInTheListedOrder()
{
    TForm1 form;
    openThroughDialog(form, mon(QStringLiteral("a.mon"), QStringLiteral("A"), 3), 2);
    const QList<QPushButton*> buttons{form.Button16, form.Button10, form.Button5,  form.Button6,  form.Button7,
                                      form.Button8,  form.Button9,  form.Button18, form.Button19, form.Button20,
                                      form.Button21, form.Button22, form.Button23, form.Button24, form.Button25,
                                      form.Button26, form.Button27, form.Button29, form.Button32};
    EnabledChanges changes({buttons.begin(), buttons.end()});
    form.StringGrid1SelectCell(1, 1);
    QCOMPARE(changes.changed, (QList<QObject*>{buttons.begin(), buttons.end()}));
    for (QPushButton* button : buttons)
        QVERIFY(button->isEnabled());
}

QTEST_MAIN(TestQuestionFiles)
#include "test_question_files.moc"
