// Which reader takes a chosen question file: its extension when it names a
// format (.5tq, .mon, any case), the open dialog's type entry otherwise; and
// the binary file held open, refused whichever way it is chosen.

#include "app/Un_subri1.h"
#include "widgets/StringGrid.h"
#include "platform/platform.h"
#include "support/testsupport.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace testsupport;

namespace {

QByteArray oneGenreFile()
{
    return tqFile({{cp932(QStringLiteral("歴史")), 1}}, {{"Q1", "A1"}});
}

QByteArray oneSetFile()
{
    return monFile(QStringLiteral("L"), QStringLiteral("英単語"), {{QStringLiteral("問"), QStringLiteral("答")}});
}

QString openErrorText(const QString& path)
{
    return QStringLiteral("ﾌｧｲﾙ %1 は開けません.").arg(path);
}

} // namespace

class TestFileTypes : public QObject {
    Q_OBJECT

private slots:
    void init() { dir.reset(new QTemporaryDir); }

    void readerFollowsTheExtension_data();
    void readerFollowsTheExtension();
    void heldBinaryFileIsRefusedWhicheverWayChosen_data();
    void heldBinaryFileIsRefusedWhicheverWayChosen();
    void textRowOfTheHeldFileIsNotReadAgain();

private:
    std::unique_ptr<QTemporaryDir> dir;
};

void TestFileTypes::readerFollowsTheExtension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("binaryContent");
    QTest::addColumn<int>("chosenEntry");
    QTest::addColumn<bool>("readAsBinary");

    QTest::newRow(".5tq under the .mon entry") << "g.5tq" << true << 2 << true;
    QTest::newRow(".5TQ under the .mon entry") << "G.5TQ" << true << 2 << true;
    QTest::newRow(".mon under the .5tq entry") << "a.mon" << false << 1 << false;
    QTest::newRow(".Mon under the .5tq entry") << "a.Mon" << false << 1 << false;
    QTest::newRow("other name under the .mon entry") << "a.txt" << false << 2 << false;
    QTest::newRow("other name under the .5tq entry") << "g.dat" << true << 1 << true;
}

void TestFileTypes::readerFollowsTheExtension()
{
    QFETCH(QString, name);
    QFETCH(bool, binaryContent);
    QFETCH(int, chosenEntry);
    QFETCH(bool, readAsBinary);

    TForm1 form;
    const QString path = writeFile(dir->filePath(name), binaryContent ? oneGenreFile() : oneSetFile());
    ErrorBoxes boxes;
    openThroughDialog(form, path, chosenEntry);
    QCOMPARE(boxes.texts, QStringList{});
    QCOMPARE(form.binaryMode(), readAsBinary);
    if (readAsBinary) {
        QCOMPARE(form.StringGrid1->cell(0, 0), QStringLiteral("5TQ[.5tq]"));
        QCOMPARE(form.StringGrid1->cell(1, 1), QStringLiteral("歴史"));
        QCOMPARE(form.textFileCount, 0);
    } else {
        QCOMPARE(form.StringGrid1->cell(0, 0), QStringLiteral("Quillop"));
        QCOMPARE(form.StringGrid1->cell(1, 1), QStringLiteral("英単語"));
        QCOMPARE(form.StringGrid1->cell(3, 1), path);
    }
    // The row appends the file's own questions.
    form.StringGrid1SelectCell(1, 1);
    QCOMPARE(form.StringGrid2->rowCount(), 3);
    QCOMPARE(form.StringGrid2->cell(1, 1), readAsBinary ? QStringLiteral("Q1") : QStringLiteral("問"));
}

// The held file is opened without sharing: chosen again under any entry and
// any of its names it fails with the open error, and the list keeps it.
void TestFileTypes::heldBinaryFileIsRefusedWhicheverWayChosen_data()
{
    QTest::addColumn<QString>("otherName"); // empty: the held file's own name
    QTest::addColumn<bool>("hardLink");
    QTest::addColumn<int>("chosenEntry");

    QTest::newRow("own name, .mon entry") << QString() << false << 2;
    QTest::newRow("symbolic link without extension, .mon entry") << "link" << false << 2;
    QTest::newRow("hard link named .txt, .mon entry") << "other.txt" << true << 2;
    QTest::newRow("hard link named .dat, .5tq entry") << "other.dat" << true << 1;
}

void TestFileTypes::heldBinaryFileIsRefusedWhicheverWayChosen()
{
    QFETCH(QString, otherName);
    QFETCH(bool, hardLink);
    QFETCH(int, chosenEntry);

    TForm1 form;
    const QString held = writeFile(dir->filePath(QStringLiteral("held.5tq")), oneGenreFile());
    openThroughDialog(form, held, 1);
    QString chosen = held;
    if (!otherName.isEmpty()) {
        chosen = dir->filePath(otherName);
        if (hardLink)
            QCOMPARE(::link(QFile::encodeName(held).constData(), QFile::encodeName(chosen).constData()), 0);
        else
            QVERIFY(QFile::link(held, chosen));
    }

    ErrorBoxes boxes;
    platform::scriptOpenDialog(chosen, chosenEntry);
    form.Button3->click();
    QCOMPARE(boxes.texts, QStringList{openErrorText(chosen)});
    QCOMPARE(form.StringGrid1->cell(1, 1), QStringLiteral("歴史"));
    QCOMPARE(form.StringGrid1->cell(3, 1), QStringLiteral("1"));
}

// A text file's row is read afresh at every append; when its name has come
// to stand for the held binary file, that read fails with the open error.
void TestFileTypes::textRowOfTheHeldFileIsNotReadAgain()
{
    TForm1 form;
    const QString held = writeFile(dir->filePath(QStringLiteral("held.5tq")), oneGenreFile());
    openThroughDialog(form, held, 1);
    const QString text = writeFile(dir->filePath(QStringLiteral("set.dat")), oneSetFile());
    openThroughDialog(form, text, 2);
    QVERIFY(QFile::remove(text));
    QVERIFY(QFile::link(held, text));

    ErrorBoxes boxes;
    form.guard.run([&] { form.StringGrid1SelectCell(1, 1); });
    QCOMPARE(boxes.texts, QStringList{openErrorText(text)});
    QCOMPARE(form.StringGrid2->rowCount(), 2);
}

QTEST_MAIN(TestFileTypes)
#include "test_file_types.moc"
