// Question files dropped on the window: they open exactly as the same files
// chosen one after another in the open dialog, whichever control they are
// dropped on, and a drag of anything but local files is refused and changes
// nothing (a file that cannot be opened: test_unopenable_files).

#include "app/Un_subri1.h"
#include "widgets/PageControl.h"
#include "widgets/StringGrid.h"
#include "widgets/dialogs.h"
#include "platform/platform.h"
#include "support/testsupport.h"

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QUrl>

#include <memory>

using testsupport::ErrorBoxes;
using testsupport::windowSnapshot;

namespace {

std::unique_ptr<QMimeData> filesData(const QStringList& paths)
{
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data->setUrls(urls);
    data->setText(paths.join(u'\n')); // file managers offer the names as text too
    return data;
}

// The drag entering the target, offering a copy or a move; returns the
// action taken, or Qt::IgnoreAction when the drag is refused.
Qt::DropAction dragEnter(QWidget* target, const QMimeData* data)
{
    QDragEnterEvent enter(target->rect().center(), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, {});
    enter.ignore();
    QApplication::sendEvent(target, &enter);
    return enter.isAccepted() ? enter.dropAction() : Qt::IgnoreAction;
}

// A drag entering the target and dropped there: the toolkit hands the drop
// to the control that took the drag as it entered, if any. A program may
// also send the drop alone, with no drag entering first.
bool drop(QWidget* target, const QMimeData* data, bool enterFirst = true)
{
    if (enterFirst)
        dragEnter(target, data);
    QDropEvent event(target->rect().center(), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, {});
    event.ignore();
    QApplication::sendEvent(target, &event);
    return event.isAccepted();
}

// The same files chosen one after another in the open dialog, each click
// an event of its own (so an error is reported and the next one still runs).
QStringList openStateThroughDialog(const QStringList& paths, QStringList* errors)
{
    TForm1 form;
    ErrorBoxes boxes;
    for (const QString& path : paths) {
        platform::scriptOpenDialog(path, form.OpenDialog1->filterIndex());
        form.guard.run([&form] { form.Button3Click(); });
    }
    *errors = boxes.texts;
    return windowSnapshot(form);
}

// The controls a drop lands on: the window, a label that takes no drops,
// text fields that take drops of their own, a grid and the tab row.
QWidget* target(TForm1& form, const QString& name)
{
    const QHash<QString, QWidget*> targets{
        {QStringLiteral("window"), &form},
        {QStringLiteral("label"), form.Label26},
        {QStringLiteral("line field"), form.Edit6},
        {QStringLiteral("memo"), form.Memo2},
        {QStringLiteral("memo viewport"), form.Memo2->viewport()},
        {QStringLiteral("rich viewer"), form.RichEdit1->viewport()},
        {QStringLiteral("grid"), form.StringGrid2->viewport()},
        {QStringLiteral("tab row"), form.PageControl1->tabBar()},
    };
    return targets.value(name);
}

} // namespace

class TestFileDrops : public QObject {
    Q_OBJECT
private slots:
    void init() { startDirectory_ = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(startDirectory_); }
    void dropOpensAsTheDialogDoes_data();
    void dropOpensAsTheDialogDoes();
    void droppedTextFileIsReadAsCsv();
    void otherDragsAreRefused_data();
    void otherDragsAreRefused();

private:
    QString startDirectory_;
};

void TestFileDrops::dropOpensAsTheDialogDoes_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("enterFirst");
    for (const char* name : {"window", "label", "line field", "memo", "memo viewport", "rich viewer", "grid", "tab row"})
        QTest::newRow(name) << QString::fromLatin1(name) << true;
    for (const char* name : {"window", "line field"})
        QTest::addRow("%s, drop alone", name) << QString::fromLatin1(name) << false;
}

void TestFileDrops::dropOpensAsTheDialogDoes()
{
    QFETCH(QString, target);
    QFETCH(bool, enterFirst);
    // The binary file fills all eight list rows, the text file then takes row 1.
    const QStringList paths{QFINDTESTDATA("../../data/sample.5tq"), QFINDTESTDATA("../../data/kencho.mon")};
    QVERIFY(!paths[0].isEmpty() && !paths[1].isEmpty());
    QStringList dialogErrors;
    const QStringList expected = openStateThroughDialog(paths, &dialogErrors);
    QDir::setCurrent(startDirectory_);

    TForm1 form;
    ErrorBoxes boxes;
    QWidget* widget = ::target(form, target);
    QVERIFY(widget);
    const auto data = filesData(paths);
    if (enterFirst)
        QCOMPARE(dragEnter(widget, data.get()), Qt::CopyAction); // never a move: the source keeps its file
    const QStringList beforeDrop = windowSnapshot(form);
    QVERIFY(drop(widget, data.get(), enterFirst));
    // The drop returns before anything opens; the files open next.
    QCOMPARE(windowSnapshot(form), beforeDrop);
    QCoreApplication::processEvents();

    QCOMPARE(boxes.texts, dialogErrors);
    QCOMPARE(windowSnapshot(form), expected);
    // Fields and memos kept their texts (no pasted names): they are part of the state.
    QCOMPARE(form.StringGrid1->cell(0, 2), QStringLiteral("ジャンル2"));
}

// A dropped ".txt" is read as CSV/TSV text whatever the format mode, as the
// open dialog's CSV・TSV entry lists it: a flashcard export after a .5tq.
void TestFileDrops::droppedTextFileIsReadAsCsv()
{
    QTemporaryDir folder;
    const QString deck = testsupport::writeFile(folder.filePath(QStringLiteral("deck.txt")),
                                                "#separator:tab\n#html:false\n日本の首都\t東京\n");
    TForm1 form;
    QVERIFY(drop(&form, filesData({QFINDTESTDATA("../../data/sample.5tq"), deck}).get()));
    QCoreApplication::processEvents();
    QCOMPARE(form.OpenDialog1->filterIndex(), 3);
    QCOMPARE(form.StringGrid1->cell(0, 1), QStringLiteral("TSV"));
    testsupport::clickListRow(form, 1);
    QCOMPARE(form.StringGrid2->rowCount(), 3);
    QCOMPARE(form.StringGrid2->cell(2, 1), QStringLiteral("東京"));
}

void TestFileDrops::otherDragsAreRefused_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("kind");
    for (const char* target : {"window", "line field", "memo viewport"}) {
        for (const char* kind : {"web address", "text naming a file", "file and web address"})
            QTest::addRow("%s, %s", kind, target) << QString::fromLatin1(target) << QString::fromLatin1(kind);
    }
}

void TestFileDrops::otherDragsAreRefused()
{
    QFETCH(QString, target);
    QFETCH(QString, kind);
    const QString sample = QFINDTESTDATA("../../data/kencho.mon");
    auto data = std::make_unique<QMimeData>();
    if (kind == u"web address")
        data->setUrls({QUrl(QStringLiteral("https://example.org/kencho.mon"))});
    else if (kind == u"text naming a file")
        data->setText(sample);
    else
        data->setUrls({QUrl::fromLocalFile(sample), QUrl(QStringLiteral("https://example.org/kencho.mon"))});

    TForm1 form;
    ErrorBoxes boxes;
    const QStringList before = windowSnapshot(form);
    QWidget* widget = ::target(form, target);
    QCOMPARE(dragEnter(widget, data.get()), Qt::IgnoreAction);
    QVERIFY(!drop(widget, data.get()));
    QCOMPARE(windowSnapshot(form), before);
    QCOMPARE(boxes.texts, QStringList{});
}

QTEST_MAIN(TestFileDrops)
#include "test_file_drops.moc"
