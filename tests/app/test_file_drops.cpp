// Question files dropped on the window: they open exactly as the same files
// chosen one after another in the open dialog, whichever control they are
// dropped on, and a drag of anything but local files is refused and changes
// nothing.

#include "app/Un_subri1.h"
#include "platform/PageControl.h"
#include "platform/StringGrid.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "support/testsupport.h"

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QUrl>

using testsupport::ErrorBoxes;

namespace {

QMimeData* filesData(const QStringList& paths)
{
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data->setUrls(urls);
    data->setText(paths.join(u'\n')); // file managers offer the names as text too
    return data;
}

QPoint middle(QWidget* target) { return target->rect().center(); }

// Returns whether the target took the drag as it entered.
bool dragEnter(QWidget* target, const QMimeData* data, Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction,
               Qt::DropAction* taken = nullptr)
{
    QDragEnterEvent enter(middle(target), offered, data, Qt::LeftButton, Qt::NoModifier);
    enter.ignore();
    QApplication::sendEvent(target, &enter);
    if (taken)
        *taken = enter.dropAction();
    return enter.isAccepted();
}

// A drop as the toolkit delivers it: the toolkit hands the drop to the
// control that took the drag as it entered, or to nothing.
bool drop(QWidget* target, const QMimeData* data)
{
    dragEnter(target, data);
    QDropEvent event(middle(target), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    event.ignore();
    QApplication::sendEvent(target, &event);
    return event.isAccepted();
}

// Everything an open can change that a test can read: every cell of the
// question-set list and the question table, every text field and memo, the
// dialog's recorded choice and the current directory.
QStringList openState(TForm1& form)
{
    QStringList state;
    for (platform::StringGrid* grid : {form.StringGrid1, form.StringGrid2}) {
        const QAbstractItemModel* model = grid->model();
        for (int row = 0; row < model->rowCount(); ++row)
            for (int column = 0; column < model->columnCount(); ++column)
                state << model->data(model->index(row, column)).toString();
    }
    for (const QLineEdit* field : form.findChildren<QLineEdit*>())
        state << field->objectName() + u'=' + field->text();
    for (const QPlainTextEdit* memo : form.findChildren<QPlainTextEdit*>())
        state << memo->objectName() + u'=' + memo->toPlainText();
    state << QString::number(form.OpenDialog1->filterIndex()) << form.OpenDialog1->fileName()
          << QDir::currentPath();
    return state;
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
    return openState(form);
}

QWidget* target(TForm1& form, const QString& name)
{
    if (name == u"window")
        return &form;
    if (name == u"label")
        return form.Label26;
    if (name == u"line field")
        return form.Edit6;
    if (name == u"memo")
        return form.Memo2;
    if (name == u"memo viewport")
        return form.Memo2->viewport();
    if (name == u"rich viewer")
        return form.RichEdit1->viewport();
    if (name == u"grid")
        return form.StringGrid2->viewport();
    if (name == u"tab row")
        return form.PageControl1->tabBar();
    return nullptr;
}

} // namespace

class TestFileDrops : public QObject {
    Q_OBJECT
private slots:
    void init() { startDirectory_ = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(startDirectory_); }
    void dropOpensAsTheDialogDoes_data();
    void dropOpensAsTheDialogDoes();
    void missingFileShowsItsErrorAndTheOthersOpen();
    void otherDragsAreRefused_data();
    void otherDragsAreRefused();

private:
    QString startDirectory_;
};

void TestFileDrops::dropOpensAsTheDialogDoes_data()
{
    QTest::addColumn<QString>("target");
    for (const char* name : {"window", "label", "line field", "memo", "memo viewport", "rich viewer", "grid", "tab row"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestFileDrops::dropOpensAsTheDialogDoes()
{
    QFETCH(QString, target);
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
    std::unique_ptr<QMimeData> data(filesData(paths));
    Qt::DropAction taken = Qt::IgnoreAction;
    QVERIFY(dragEnter(widget, data.get(), Qt::CopyAction | Qt::MoveAction, &taken));
    QCOMPARE(taken, Qt::CopyAction); // never a move: the source keeps its file
    QVERIFY(drop(widget, data.get()));

    QCOMPARE(boxes.texts, dialogErrors);
    QCOMPARE(openState(form), expected);
    QCOMPARE(form.StringGrid1->model()->data(form.StringGrid1->model()->index(2, 0)).toString(),
             QStringLiteral("ジャンル2"));
    QCOMPARE(form.Edit6->text(), QStringLiteral("1")); // the field did not paste the names
}

void TestFileDrops::missingFileShowsItsErrorAndTheOthersOpen()
{
    QTemporaryDir folder;
    const QString missing = folder.filePath(QStringLiteral("missing.mon"));
    const QStringList paths{QFINDTESTDATA("../../data/sample.5tq"), missing, QFINDTESTDATA("../../data/genso.mon")};
    QStringList dialogErrors;
    const QStringList expected = openStateThroughDialog(paths, &dialogErrors);
    QDir::setCurrent(startDirectory_);

    TForm1 form;
    ErrorBoxes boxes;
    std::unique_ptr<QMimeData> data(filesData(paths));
    QVERIFY(drop(form.Edit3, data.get()));

    QCOMPARE(boxes.texts, QStringList{platform::errorBoxText(QStringLiteral("ﾌｧｲﾙ %1 は開けません").arg(missing))});
    QCOMPARE(boxes.texts, dialogErrors);
    QCOMPARE(openState(form), expected);
    // The text file after the missing one took the next row, as designed.
    QCOMPARE(form.StringGrid1->model()->data(form.StringGrid1->model()->index(2, 3)).toString(),
             QFileInfo(paths[2]).absoluteFilePath());
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
    const QStringList before = openState(form);
    QWidget* widget = ::target(form, target);
    QVERIFY(!dragEnter(widget, data.get()));
    QVERIFY(!drop(widget, data.get()));
    QCOMPARE(openState(form), before);
    QCOMPARE(boxes.texts, QStringList{});
}

QTEST_MAIN(TestFileDrops)
#include "test_file_drops.moc"
