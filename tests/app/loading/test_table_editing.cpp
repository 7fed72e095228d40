// Shaping the question table and the presentation range through the window:
// row and column drags with real mouse events, renumbering, clearing, the
// drag and edit option sets, and the range fields with their double-clicks.

#include "app/Un_subri1.h"
#include "app/controls.h"
#include "widgets/PageControl.h"
#include "widgets/StringGrid.h"
#include "support/testsupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace testsupport;
using platform::StringGrid;

namespace {

// The window shown on its loading page, so the question table takes real events.
struct ShownForm {
    TForm1 form;
    QTemporaryDir dir;
    int files = 0;

    ShownForm()
    {
        form.PageControl1->setCurrentWidget(form.TabSheet2);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
    }

    StringGrid* table() const { return form.StringGrid2; }
    QWidget* viewport() const { return form.StringGrid2->viewport(); }
    QModelIndex index(int column, int row) const { return table()->model()->index(row, column); }

    // Appends `count` questions "<prefix>1" … with answers "A1" … from a new .mon file.
    void append(int count, const QString& prefix = QStringLiteral("Q"))
    {
        QList<QPair<QString, QString>> questions;
        for (int i = 1; i <= count; ++i)
            questions.append({prefix + QString::number(i), QStringLiteral("A") + QString::number(i)});
        const QString path = writeFile(dir.filePath(QStringLiteral("%1.mon").arg(++files)),
                                       monFile(QStringLiteral("L"), prefix, questions));
        openThroughDialog(form, path, 2);
        form.StringGrid1SelectCell(1, (form.textFileCount - 1) % 8 + 1);
    }

    // The cell's centre in viewport coordinates, scrolled into view.
    QPoint cellCentre(int column, int row) const
    {
        QCoreApplication::processEvents();
        table()->scrollTo(index(column, row));
        return table()->visualRect(index(column, row)).center();
    }

    // A row dragged by its number cell: press, move, release over the target row.
    void dragRow(int from, int to)
    {
        QCoreApplication::processEvents(); // the view lays out the appended rows
        table()->scrollTo(index(0, std::max(from, to)), QAbstractItemView::PositionAtBottom);
        table()->scrollTo(index(0, std::min(from, to)));
        const QPoint start = table()->visualRect(index(0, from)).center();
        const QPoint end = table()->visualRect(index(0, to)).center();
        QVERIFY(table()->viewport()->rect().contains(start) && table()->viewport()->rect().contains(end));
        QTest::mousePress(viewport(), Qt::LeftButton, {}, start);
        QTest::mouseMove(viewport(), (start + end) / 2);
        QTest::mouseMove(viewport(), end);
        QTest::mouseRelease(viewport(), Qt::LeftButton, {}, end);
    }

    QStringList column(int column, int firstRow, int lastRow) const
    {
        QStringList cells;
        for (int row = firstRow; row <= lastRow; ++row)
            cells << table()->cell(column, row);
        return cells;
    }

    // The user types a range field's whole text.
    void type(QLineEdit* field, const QString& text) { field->setText(text); }

    QString range() const
    {
        return form.Edit6->text() + u'…' + form.Edit8->text() + u'=' + form.Edit7->text();
    }
};

QStringList numbers(std::initializer_list<int> values)
{
    QStringList texts;
    for (int value : values)
        texts << QString::number(value);
    return texts;
}

} // namespace

class TestTableEditing : public QObject {
    Q_OBJECT

private slots:
    void rowHeights();
    void endIsClampedToTheQuestionCount();
    void countColour_data();
    void countColour();
    void startAfterEndSwapsTheStoredTexts();
    void doubleClickTakesTheCurrentRow_data();
    void doubleClickTakesTheCurrentRow();
    void nonIntegerRangeTextKeepsTheEarlierRange_data();
    void nonIntegerRangeTextKeepsTheEarlierRange();
    void dragRowThenRenumber();
    void dragColumnMovesItsCells();
    void clearWithRenumberButtonShowing();
    void emptyLastRowDraggedIntoTheTable();
    void mouseMoveSetsDragModeAndDoubleClickEditMode();
    void cellEditIsKeptWhenTheMouseLeavesTheEditor();
};

void TestTableEditing::rowHeights()
{
    ShownForm w;
    w.append(4);
    QCOMPARE(w.table()->rowHeight(0), 24);
    QCOMPARE(w.table()->rowHeight(1), 22);
    for (int row = 2; row <= 5; ++row)
        QCOMPARE(w.table()->rowHeight(row), 24);
    w.form.Button4Click();
    w.append(3);
    QCOMPARE(w.table()->rowHeight(1), 22);
    QCOMPARE(w.table()->rowHeight(4), 24);
}

void TestTableEditing::endIsClampedToTheQuestionCount()
{
    ShownForm w;
    w.append(120);
    w.type(w.form.Edit8, QStringLiteral("500"));
    QCOMPARE(w.range(), QStringLiteral("1…120=120"));
    QCOMPARE(app::fieldColor(w.form.Edit7), app::kLime);
    QCOMPARE(w.form.storedRangeEnd, QStringLiteral("120"));
}

void TestTableEditing::countColour_data()
{
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QColor>("color");
    QTest::newRow("7") << "7" << "7" << app::kRed;
    QTest::newRow("8") << "8" << "8" << app::kLime;
    QTest::newRow("300") << "300" << "300" << app::kLime;
    QTest::newRow("301") << "301" << "301" << app::kRed;
}

void TestTableEditing::countColour()
{
    QFETCH(QString, end);
    QFETCH(QString, count);
    QFETCH(QColor, color);
    ShownForm w;
    w.append(400);
    w.type(w.form.Edit8, end);
    QCOMPARE(w.form.Edit7->text(), count);
    QCOMPARE(app::fieldColor(w.form.Edit7), color);
}

void TestTableEditing::startAfterEndSwapsTheStoredTexts()
{
    ShownForm w;
    w.append(20);
    w.type(w.form.Edit8, QStringLiteral("5"));
    w.type(w.form.Edit6, QStringLiteral("10"));
    QCOMPARE(w.range(), QStringLiteral("10…5=-4"));
    QCOMPARE(app::fieldColor(w.form.Edit7), app::kRed);
    QCOMPARE(w.form.storedRangeStart, QStringLiteral("5"));
    QCOMPARE(w.form.storedRangeEnd, QStringLiteral("10"));
}

void TestTableEditing::doubleClickTakesTheCurrentRow_data()
{
    QTest::addColumn<bool>("onStart"); // Edit6, otherwise Edit8
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QColor>("color");
    QTest::newRow("start 30 past end 20") << true << 30 << "1" << "20" << "20…20=1" << app::kRed;
    QTest::newRow("end 5 before start 10") << false << 5 << "10" << "20" << "10…10=1" << app::kRed;
    QTest::newRow("start 12 in 1…20") << true << 12 << "1" << "20" << "12…20=9" << app::kLime;
    QTest::newRow("end 12 in 1…20") << false << 12 << "1" << "20" << "1…12=12" << app::kLime;
}

void TestTableEditing::doubleClickTakesTheCurrentRow()
{
    QFETCH(bool, onStart);
    QFETCH(int, row);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, result);
    QFETCH(QColor, color);
    ShownForm w;
    w.append(40);
    w.type(w.form.Edit8, end);
    w.type(w.form.Edit6, start);
    w.table()->setCurrentIndex(w.index(1, row));
    QTest::mouseDClick(onStart ? w.form.Edit6 : w.form.Edit8, Qt::LeftButton);
    QCOMPARE(w.range(), result);
    QCOMPARE(app::fieldColor(w.form.Edit7), color);
}

void TestTableEditing::nonIntegerRangeTextKeepsTheEarlierRange_data()
{
    QTest::addColumn<bool>("onStart");
    QTest::addColumn<QString>("text");
    QTest::newRow("start emptied") << true << "";
    QTest::newRow("end with letters") << false << "1x";
}

void TestTableEditing::nonIntegerRangeTextKeepsTheEarlierRange()
{
    QFETCH(bool, onStart);
    QFETCH(QString, text);
    ShownForm w;
    w.append(12);
    QLineEdit* field = onStart ? w.form.Edit6 : w.form.Edit8;
    ErrorBoxes boxes;
    w.type(field, text);
    QCOMPARE(boxes.texts, QStringList{QStringLiteral("'%1' は整数ではありません.").arg(text)});
    QCOMPARE(w.form.Edit7->text(), QStringLiteral("12"));
    QCOMPARE(app::fieldColor(w.form.Edit7), app::kLime);
    QCOMPARE(w.form.storedRangeStart, QStringLiteral("1"));
    QCOMPARE(w.form.storedRangeEnd, QStringLiteral("12"));

    // The window stays usable: a valid text is taken as usual.
    w.type(field, onStart ? QStringLiteral("5") : QStringLiteral("9"));
    QCOMPARE(w.form.Edit7->text(), onStart ? QStringLiteral("8") : QStringLiteral("9"));
    QCOMPARE(boxes.texts.size(), 1);
}

void TestTableEditing::dragRowThenRenumber()
{
    ShownForm w;
    w.append(8);
    QSignalSpy moved(w.table(), &StringGrid::rowMoved);
    w.dragRow(5, 2);

    QCOMPARE(moved.size(), 1);
    QCOMPARE(moved[0], (QVariantList{5, 2}));
    QCOMPARE(w.column(0, 1, 8), numbers({1, 5, 2, 3, 4, 6, 7, 8}));
    QCOMPARE(w.column(1, 1, 3), (QStringList{"Q1", "Q5", "Q2"}));
    QCOMPARE(w.column(2, 1, 3), (QStringList{"A1", "A5", "A2"}));
    QVERIFY(!w.form.Button15->isHidden());

    QTest::mouseClick(w.form.Button15, Qt::LeftButton);
    QCOMPARE(w.column(0, 1, 8), numbers({1, 2, 3, 4, 5, 6, 7, 8}));
    QCOMPARE(w.column(1, 1, 3), (QStringList{"Q1", "Q5", "Q2"}));
    QVERIFY(w.form.Button15->isHidden());
}

void TestTableEditing::dragColumnMovesItsCells()
{
    ShownForm w;
    w.append(3);
    QSignalSpy moved(w.table(), &StringGrid::columnMoved);
    const QPoint start = w.cellCentre(2, 0);
    const QPoint end = w.cellCentre(1, 0);
    QTest::mousePress(w.viewport(), Qt::LeftButton, {}, start);
    QTest::mouseMove(w.viewport(), end);
    QTest::mouseRelease(w.viewport(), Qt::LeftButton, {}, end);

    QCOMPARE(moved.size(), 1);
    QCOMPARE(moved[0], (QVariantList{2, 1}));
    // Position 1 (read as the question) now holds the answers, with their header.
    QCOMPARE(w.column(1, 0, 2), (QStringList{{}, "A1", "A2"}));
    QCOMPARE(w.column(2, 0, 2), (QStringList{"Q/", "Q1", "Q2"}));
    QCOMPARE(w.column(3, 1, 1), QStringList{"Q"});
    QVERIFY(w.form.Button15->isHidden());
}

void TestTableEditing::clearWithRenumberButtonShowing()
{
    ShownForm w;
    w.append(6);
    w.dragRow(3, 1);
    QVERIFY(!w.form.Button15->isHidden());
    const QString range = w.range();
    const QList<QPushButton*> buttons = w.form.enabledAfterLoadButtons();
    EnabledChanges changes({buttons.begin(), buttons.end()});
    QTest::mouseClick(w.form.Button4, Qt::LeftButton);

    QCOMPARE(changes.changed, (QList<QObject*>{buttons.begin(), buttons.end()}));
    QVERIFY(!w.form.Button16->isEnabled());
    QCOMPARE(w.table()->rowCount(), 2);
    QCOMPARE(w.column(1, 0, 1), (QStringList{QStringLiteral("問題・・・"), {}}));
    QCOMPARE(w.column(2, 0, 1), (QStringList{QStringLiteral("解答"), {}}));
    QCOMPARE(w.column(0, 1, 1), QStringList{QString()});
    QCOMPARE(w.table()->cell(3, 0), QStringLiteral("Quillopｼﾞｬﾝﾙ"));
    QCOMPARE(w.range(), range);
    QVERIFY(!w.form.Button15->isHidden());

    QTest::mouseClick(w.form.Button15, Qt::LeftButton);
    QVERIFY(w.form.Button15->isHidden());
    QCOMPARE(w.table()->rowCount(), 2);
    QCOMPARE(w.table()->cell(0, 1), QString());
}

void TestTableEditing::emptyLastRowDraggedIntoTheTable()
{
    ShownForm w;
    w.append(5);
    w.dragRow(6, 2);
    QCOMPARE(w.column(1, 1, 6), (QStringList{"Q1", {}, "Q2", "Q3", "Q4", "Q5"}));
    QTest::mouseClick(w.form.Button15, Qt::LeftButton);
    QCOMPARE(w.column(0, 1, 6), numbers({1, 2, 3, 4, 5, 5}));

    // The question pushed into the last row is overwritten by the next append.
    w.append(2, QStringLiteral("N"));
    QCOMPARE(w.table()->rowCount(), 9);
    QCOMPARE(w.column(1, 1, 8), (QStringList{"Q1", {}, "Q2", "Q3", "Q4", "N1", "N2", {}}));
    QCOMPARE(w.column(0, 6, 7), numbers({6, 7}));
    QCOMPARE(w.range(), QStringLiteral("1…7=7"));
}

void TestTableEditing::mouseMoveSetsDragModeAndDoubleClickEditMode()
{
    ShownForm w;
    w.append(3);
    QVERIFY(w.table()->options().testFlag(StringGrid::RowSizing));
    QVERIFY(w.table()->options().testFlag(StringGrid::Tabs));
    QTest::mouseMove(w.viewport(), w.cellCentre(1, 2));
    const StringGrid::Options drag = w.table()->options();
    QVERIFY(drag.testFlag(StringGrid::RowMoving) && drag.testFlag(StringGrid::ColMoving));
    QVERIFY(!(drag & (StringGrid::RangeSelect | StringGrid::RowSizing | StringGrid::Tabs | StringGrid::Editing
                      | StringGrid::AlwaysShowEditor | StringGrid::DrawFocusSelected)));

    QTest::mouseDClick(w.viewport(), Qt::LeftButton, {}, w.cellCentre(1, 2));
    const StringGrid::Options edit = w.table()->options();
    QVERIFY(edit.testFlag(StringGrid::Editing) && edit.testFlag(StringGrid::AlwaysShowEditor));
    QVERIFY(!(edit & (StringGrid::RowMoving | StringGrid::ColMoving | StringGrid::RangeSelect)));
    QVERIFY(edit.testFlag(StringGrid::ColSizing));
    QVERIFY(w.table()->isEditing());
    QVERIFY(w.table()->indexWidget(w.index(1, 2)));
}

void TestTableEditing::cellEditIsKeptWhenTheMouseLeavesTheEditor()
{
    ShownForm w;
    w.append(3);
    QTest::mouseDClick(w.viewport(), Qt::LeftButton, {}, w.cellCentre(1, 2));
    auto* editor = qobject_cast<QLineEdit*>(w.table()->indexWidget(w.index(1, 2)));
    QVERIFY(editor);
    editor->selectAll();
    editor->insert(QStringLiteral("書き換え"));
    QTest::mouseMove(editor, editor->rect().center() + QPoint(5, 0));
    QVERIFY(w.table()->isEditing());

    QTest::mouseMove(w.viewport(), w.cellCentre(2, 3));
    QVERIFY(!w.table()->isEditing());
    QVERIFY(w.table()->options().testFlag(StringGrid::RowMoving));
    QCOMPARE(w.table()->cell(1, 2), QStringLiteral("書き換え"));
}

QTEST_MAIN(TestTableEditing)
#include "test_table_editing.moc"
