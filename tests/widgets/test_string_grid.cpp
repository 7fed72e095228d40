// The string grid driven by real mouse and keyboard events: the select-cell
// notification, fixed cells, row and column drags in the model, and the
// option sets switching what the user can do.

#include "widgets/StringGrid.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using platform::StringGrid;

namespace {

struct Notice {
    int column;
    int row;
    QModelIndex currentBefore;
};

// A shown window with the grid (5 columns, 9 rows, cells "c,r") and a line
// edit that takes the focus first.
struct GridWindow {
    QWidget window;
    QLineEdit* other = new QLineEdit(&window);
    StringGrid* grid = new StringGrid(5, 9, &window);
    QList<Notice> notices;

    GridWindow()
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(other);
        layout->addWidget(grid);
        window.resize(600, 400);
        grid->setRowHeights(24);
        for (int row = 0; row < 9; ++row)
            for (int column = 0; column < 5; ++column)
                grid->setCell(column, row, QStringLiteral("%1,%2").arg(column).arg(row));
        QObject::connect(grid, &StringGrid::selectCell, grid, [this](int column, int row) {
            notices.append({column, row, grid->currentIndex()});
        });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        other->setFocus();
    }

    QPoint at(int column, int row) const { return grid->visualRect(grid->model()->index(row, column)).center(); }
    QWidget* viewport() const { return grid->viewport(); }
    QModelIndex index(int column, int row) const { return grid->model()->index(row, column); }

    // Press on a cell, move to another, release there.
    void drag(QPoint from, QPoint to)
    {
        QTest::mousePress(viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(viewport(), (from + to) / 2);
        QTest::mouseMove(viewport(), to);
        QTest::mouseRelease(viewport(), Qt::LeftButton, {}, to);
    }

    QStringList column(int column) const
    {
        QStringList cells;
        for (int row = 0; row < grid->rowCount(); ++row)
            cells << grid->cell(column, row);
        return cells;
    }
};

constexpr StringGrid::Options kLines{StringGrid::FixedVertLine | StringGrid::FixedHorzLine | StringGrid::VertLine
                                     | StringGrid::HorzLine};

} // namespace

class TestStringGrid : public QObject {
    Q_OBJECT

private slots:
    void everyClickOnADataCellNotifiesBeforeSelecting();
    void fixedCellsAreNeverSelected();
    void focusingTheGridDoesNotNotify();
    void keyboardMovesNotify_data();
    void keyboardMovesNotify();
    void rowDragMovesModelRows_data();
    void rowDragMovesModelRows();
    void columnDragMovesModelColumns();
    void movingNeedsItsOption();
    void rangeSelectSwitches();
    void sizingSwitches_data();
    void sizingSwitches();
    void editingWithAlwaysShowEditorOpensTheEditorAtOnce();
    void editingOffCommitsTheEditInProgress();
    void tabsSwitchBetweenCellsAndControls();
    void fixedCellsStayInViewWhenScrolled_data();
    void fixedCellsStayInViewWhenScrolled();
    void dragsByFixedCellsWorkWhenScrolled_data();
    void dragsByFixedCellsWorkWhenScrolled();
};

namespace {

const QColor kFixedGrey(192, 192, 192);

// The grid of a small window, scrolled to its last row and its right end.
void scrollToEnd(GridWindow& w, bool down, bool right)
{
    w.window.resize(260, 170);
    w.grid->setFixedColor(kFixedGrey);
    QCoreApplication::processEvents();
    QVERIFY(w.grid->verticalScrollBar()->maximum() > 0);
    QVERIFY(w.grid->horizontalScrollBar()->maximum() > 0);
    if (down)
        w.grid->verticalScrollBar()->setValue(w.grid->verticalScrollBar()->maximum());
    if (right)
        w.grid->horizontalScrollBar()->setValue(w.grid->horizontalScrollBar()->maximum());
}

} // namespace

void TestStringGrid::everyClickOnADataCellNotifiesBeforeSelecting()
{
    GridWindow w;
    QTest::mouseClick(w.viewport(), Qt::LeftButton, {}, w.at(2, 3));
    QTest::mouseClick(w.viewport(), Qt::LeftButton, {}, w.at(2, 3));
    QTest::mouseClick(w.viewport(), Qt::LeftButton, {}, w.at(4, 3));

    QCOMPARE(w.notices.size(), 3);
    QCOMPARE(w.notices[0].column, 2);
    QCOMPARE(w.notices[0].row, 3);
    QVERIFY(w.notices[0].currentBefore != w.index(2, 3));
    QCOMPARE(w.notices[1].currentBefore, w.index(2, 3));
    QCOMPARE(w.notices[2].column, 4);
    QCOMPARE(w.notices[2].currentBefore, w.index(2, 3));
    QCOMPARE(w.grid->currentIndex(), w.index(4, 3));

    // The right button neither notifies nor selects.
    QTest::mouseClick(w.viewport(), Qt::RightButton, {}, w.at(1, 1));
    QCOMPARE(w.notices.size(), 3);
    QCOMPARE(w.grid->currentIndex(), w.index(4, 3));
}

void TestStringGrid::fixedCellsAreNeverSelected()
{
    GridWindow w;
    QTest::mouseClick(w.viewport(), Qt::LeftButton, {}, w.at(2, 2));
    QTest::mouseClick(w.viewport(), Qt::LeftButton, {}, w.at(0, 4));
    QTest::mouseClick(w.viewport(), Qt::LeftButton, {}, w.at(3, 0));
    QCOMPARE(w.notices.size(), 1);
    QCOMPARE(w.grid->currentIndex(), w.index(2, 2));

    // A selection dragged out over the header row stays on the data cells.
    QTest::mousePress(w.viewport(), Qt::LeftButton, {}, w.at(2, 2));
    QTest::mouseMove(w.viewport(), w.at(2, 0));
    QTest::mouseRelease(w.viewport(), Qt::LeftButton, {}, w.at(2, 0));
    QVERIFY(w.grid->currentIndex().row() >= 1);
    for (const QModelIndex& selected : w.grid->selectionModel()->selectedIndexes())
        QVERIFY(selected.row() >= 1 && selected.column() >= 1);

    // Typing does not jump to a cell by its text (the header holds "3,0").
    QTest::keyClicks(w.grid, QStringLiteral("3,0"));
    QCOMPARE(w.grid->currentIndex(), w.index(2, 2));
}

void TestStringGrid::focusingTheGridDoesNotNotify()
{
    GridWindow w;
    QTest::keyClick(w.other, Qt::Key_Tab);
    QVERIFY(w.grid->hasFocus());
    QCOMPARE(w.notices.size(), 0);
    QTest::mouseClick(w.viewport(), Qt::LeftButton, {}, w.at(3, 3));
    QCOMPARE(w.notices.size(), 1);
}

void TestStringGrid::keyboardMovesNotify_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to"); // (-1, -1): no move, no notice
    QTest::newRow("right, same row") << int(Qt::Key_Right) << QPoint(2, 3) << QPoint(3, 3);
    QTest::newRow("down") << int(Qt::Key_Down) << QPoint(2, 3) << QPoint(2, 4);
    QTest::newRow("left into the number column") << int(Qt::Key_Left) << QPoint(1, 3) << QPoint(-1, -1);
    QTest::newRow("up into the header row") << int(Qt::Key_Up) << QPoint(2, 1) << QPoint(-1, -1);
    QTest::newRow("down past the last row") << int(Qt::Key_Down) << QPoint(2, 8) << QPoint(-1, -1);
    QTest::newRow("home") << int(Qt::Key_Home) << QPoint(3, 5) << QPoint(1, 5);
}

void TestStringGrid::keyboardMovesNotify()
{
    QFETCH(int, key);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    GridWindow w;
    QTest::mouseClick(w.viewport(), Qt::LeftButton, {}, w.at(from.x(), from.y()));
    w.notices.clear();
    QTest::keyClick(w.grid, Qt::Key(key));
    if (to.x() < 0) {
        QCOMPARE(w.notices.size(), 0);
        QCOMPARE(w.grid->currentIndex(), w.index(from.x(), from.y()));
        return;
    }
    QCOMPARE(w.notices.size(), 1);
    QCOMPARE(QPoint(w.notices[0].column, w.notices[0].row), to);
    QCOMPARE(w.notices[0].currentBefore, w.index(from.x(), from.y()));
    QCOMPARE(w.grid->currentIndex(), w.index(to.x(), to.y()));
}

void TestStringGrid::rowDragMovesModelRows_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("order"); // rows 1–8 by their original index
    QTest::newRow("5 up to 2") << 5 << 2 << "15234678";
    QTest::newRow("2 down to 6") << 2 << 6 << "13456278";
    QTest::newRow("last row to 1") << 8 << 1 << "81234567";
}

void TestStringGrid::rowDragMovesModelRows()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, order);
    GridWindow w;
    w.grid->setOptions(kLines | StringGrid::RowMoving);
    QSignalSpy moved(w.grid, &StringGrid::rowMoved);
    w.drag(w.at(0, from), w.at(0, to));

    QCOMPARE(moved.size(), 1);
    QCOMPARE(moved[0], (QVariantList{from, to}));
    for (int row = 1; row <= 8; ++row) {
        const QString original = order.mid(row - 1, 1);
        QCOMPARE(w.grid->cell(0, row), QStringLiteral("0,") + original);
        QCOMPARE(w.grid->cell(3, row), QStringLiteral("3,") + original);
        QCOMPARE(w.grid->model()->data(w.index(1, row)).toString(), QStringLiteral("1,") + original);
    }
    QCOMPARE(w.grid->cell(2, 0), QStringLiteral("2,0"));
    QCOMPARE(w.notices.size(), 0);
}

void TestStringGrid::columnDragMovesModelColumns()
{
    GridWindow w;
    w.grid->setOptions(kLines | StringGrid::ColMoving);
    QSignalSpy moved(w.grid, &StringGrid::columnMoved);
    w.drag(w.at(1, 0), w.at(3, 0));

    QCOMPARE(moved.size(), 1);
    QCOMPARE(moved[0], (QVariantList{1, 3}));
    QCOMPARE(w.grid->cell(1, 4), QStringLiteral("2,4"));
    QCOMPARE(w.grid->cell(2, 4), QStringLiteral("3,4"));
    QCOMPARE(w.grid->cell(3, 4), QStringLiteral("1,4"));
    QCOMPARE(w.grid->cell(3, 0), QStringLiteral("1,0"));
    QCOMPARE(w.grid->cell(0, 4), QStringLiteral("0,4"));
    // The view shows the model's order, not a rearranged header.
    QCOMPARE(w.grid->horizontalHeader()->visualIndex(3), 3);
}

void TestStringGrid::movingNeedsItsOption()
{
    GridWindow w;
    w.grid->setOptions(kLines);
    QSignalSpy rows(w.grid, &StringGrid::rowMoved);
    QSignalSpy columns(w.grid, &StringGrid::columnMoved);
    w.drag(w.at(0, 5), w.at(0, 2));
    w.drag(w.at(1, 0), w.at(3, 0));
    QCOMPARE(rows.size() + columns.size(), 0);
    QCOMPARE(w.grid->cell(0, 2), QStringLiteral("0,2"));
    QCOMPARE(w.grid->cell(1, 0), QStringLiteral("1,0"));
}

void TestStringGrid::rangeSelectSwitches()
{
    GridWindow w;
    for (const bool range : {true, false}) {
        w.grid->setOptions(range ? kLines | StringGrid::RangeSelect : kLines);
        QTest::mouseClick(w.viewport(), Qt::LeftButton, {}, w.at(1, 1));
        QTest::mouseClick(w.viewport(), Qt::LeftButton, Qt::ShiftModifier, w.at(2, 3));
        QCOMPARE(w.grid->selectionModel()->selectedIndexes().size(), range ? 6 : 1);
    }
}

void TestStringGrid::sizingSwitches_data()
{
    QTest::addColumn<bool>("rows");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("row sizing on") << true << true;
    QTest::newRow("row sizing off") << true << false;
    QTest::newRow("column sizing on") << false << true;
    QTest::newRow("column sizing off") << false << false;
}

void TestStringGrid::sizingSwitches()
{
    QFETCH(bool, rows);
    QFETCH(bool, enabled);
    GridWindow w;
    const StringGrid::Option sizing = rows ? StringGrid::RowSizing : StringGrid::ColSizing;
    w.grid->setOptions(enabled ? kLines | sizing : kLines);
    QSignalSpy moved(w.grid, &StringGrid::rowMoved);
    // The line below row 3 in the number column, or right of column 2 in the header row.
    const QRect cell = w.grid->visualRect(w.index(rows ? 0 : 2, rows ? 3 : 0));
    const QPoint line = rows ? QPoint(cell.center().x(), cell.bottom() + 1) : QPoint(cell.right() + 1, cell.center().y());
    const int before = rows ? w.grid->rowHeight(3) : w.grid->columnWidth(2);
    w.drag(line, line + QPoint(rows ? 0 : 15, rows ? 15 : 0));
    const int after = rows ? w.grid->rowHeight(3) : w.grid->columnWidth(2);
    QCOMPARE(after, enabled ? before + 15 : before);
    QCOMPARE(moved.size(), 0);
}

void TestStringGrid::editingWithAlwaysShowEditorOpensTheEditorAtOnce()
{
    GridWindow w;
    QTest::mouseClick(w.viewport(), Qt::LeftButton, {}, w.at(2, 2));
    w.grid->setOptions(kLines | StringGrid::Editing);
    QVERIFY(!w.grid->isEditing());
    w.grid->setOptions(kLines | StringGrid::Editing | StringGrid::AlwaysShowEditor);
    QVERIFY(w.grid->isEditing());
    QVERIFY(w.grid->indexWidget(w.index(2, 2)));

    // Without editing, typing changes nothing.
    w.grid->setOptions(kLines);
    QTest::keyClicks(w.grid, QStringLiteral("zz"));
    QCOMPARE(w.grid->cell(2, 2), QStringLiteral("2,2"));
    QVERIFY(!w.grid->isEditing());
}

void TestStringGrid::editingOffCommitsTheEditInProgress()
{
    GridWindow w;
    QTest::mouseClick(w.viewport(), Qt::LeftButton, {}, w.at(1, 4));
    w.grid->setOptions(kLines | StringGrid::Editing | StringGrid::AlwaysShowEditor);
    auto* editor = qobject_cast<QLineEdit*>(w.grid->indexWidget(w.index(1, 4)));
    QVERIFY(editor);
    editor->setFocus();
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("edited"));
    // Moving over the editor is not a move over the grid.
    QTest::mouseMove(editor, editor->rect().center());
    w.grid->setOptions(kLines | StringGrid::RowMoving);
    QCOMPARE(w.grid->cell(1, 4), QStringLiteral("edited"));
    QVERIFY(!w.grid->isEditing());
    QVERIFY(!w.grid->indexWidget(w.index(1, 4)));

    // A long text with line breaks comes back whole from an edit left unchanged.
    const QString longText = QString(40000, u'問') + QStringLiteral("\r\n二行目");
    w.grid->setCell(2, 4, longText);
    QTest::mouseClick(w.viewport(), Qt::LeftButton, {}, w.at(2, 4));
    w.grid->setOptions(kLines | StringGrid::Editing | StringGrid::AlwaysShowEditor);
    QVERIFY(w.grid->isEditing());
    w.grid->setOptions(kLines);
    QCOMPARE(w.grid->cell(2, 4), longText);
}

void TestStringGrid::tabsSwitchBetweenCellsAndControls()
{
    GridWindow w;
    for (const bool tabs : {true, false}) {
        w.grid->setOptions(tabs ? kLines | StringGrid::Tabs : kLines);
        QTest::mouseClick(w.viewport(), Qt::LeftButton, {}, w.at(1, 2));
        w.notices.clear();
        QTest::keyClick(w.grid, Qt::Key_Tab);
        QCOMPARE(w.grid->hasFocus(), tabs);
        QCOMPARE(w.notices.size(), tabs ? 1 : 0);
        QCOMPARE(w.grid->currentIndex(), tabs ? w.index(2, 2) : w.index(1, 2));
    }
}

void TestStringGrid::fixedCellsStayInViewWhenScrolled_data()
{
    QTest::addColumn<bool>("down");
    QTest::addColumn<bool>("right");
    QTest::newRow("bottom") << true << false;
    QTest::newRow("far right") << false << true;
    QTest::newRow("bottom and far right") << true << true;
}

void TestStringGrid::fixedCellsStayInViewWhenScrolled()
{
    QFETCH(bool, down);
    QFETCH(bool, right);
    GridWindow w;
    scrollToEnd(w, down, right);
    const QImage shown = w.viewport()->grab().toImage();
    // The column and row at the far corner of the view: the last ones, where scrolled.
    const int column = w.grid->columnAt(shown.width() - 8);
    const int row = w.grid->rowAt(shown.height() - 8);
    QCOMPARE(column == 4, right);
    QCOMPARE(row == 8, down);
    // Corner, header cell of that column, number cell of that row: at the top
    // and the left, grey, and found there by the pointer.
    for (const QPoint cell : {QPoint(0, 0), QPoint(column, 0), QPoint(0, row)}) {
        const QModelIndex index = w.index(cell.x(), cell.y());
        const QRect rect = w.grid->visualRect(index) & shown.rect();
        QVERIFY2(rect.width() > 4, qPrintable(QStringLiteral("cell %1,%2").arg(cell.x()).arg(cell.y())));
        if (cell.y() == 0)
            QCOMPARE(rect.top(), 0);
        if (cell.x() == 0)
            QCOMPARE(rect.left(), 0);
        QCOMPARE(shown.pixelColor(rect.right() - 2, rect.top() + 2), kFixedGrey);
        QCOMPARE(w.grid->indexAt(rect.center()), index);
    }
    // The data cell in the far corner is white, not covered.
    const QRect last = w.grid->visualRect(w.index(column, row)) & shown.rect();
    QVERIFY(last.width() > 4);
    QCOMPARE(shown.pixelColor(last.right() - 2, last.top() + 2), QColor(Qt::white));
}

void TestStringGrid::dragsByFixedCellsWorkWhenScrolled_data()
{
    QTest::addColumn<QString>("drag");
    QTest::newRow("row by its number cell") << "row";
    QTest::newRow("column by its header cell") << "column";
    QTest::newRow("row height by its line in the number column") << "row height";
    QTest::newRow("column width by its line in the header row") << "column width";
}

void TestStringGrid::dragsByFixedCellsWorkWhenScrolled()
{
    QFETCH(QString, drag);
    GridWindow w;
    w.grid->setOptions(kLines | StringGrid::RowMoving | StringGrid::ColMoving | StringGrid::RowSizing
                       | StringGrid::ColSizing);
    scrollToEnd(w, true, true);
    QSignalSpy rowMoves(w.grid, &StringGrid::rowMoved);
    QSignalSpy columnMoves(w.grid, &StringGrid::columnMoved);
    QSignalSpy doubleClicks(w.grid, &StringGrid::doubleClicked);
    const QRect numberCell = w.grid->visualRect(w.index(0, 7));
    const QRect headerCell = w.grid->visualRect(w.index(3, 0));
    const int height = w.grid->rowHeight(7);
    const int width = w.grid->columnWidth(3);

    if (drag == "row") {
        testsupport::dragUnderPointer(w.viewport(), w.at(0, 8), w.at(0, 7));
        QCOMPARE(rowMoves.size(), 1);
        QCOMPARE(rowMoves[0], (QVariantList{8, 7}));
        QCOMPARE(w.grid->cell(2, 7), QStringLiteral("2,8"));
    } else if (drag == "column") {
        testsupport::dragUnderPointer(w.viewport(), w.at(4, 0), w.at(3, 0));
        QCOMPARE(columnMoves.size(), 1);
        QCOMPARE(columnMoves[0], (QVariantList{4, 3}));
        QCOMPARE(w.grid->cell(3, 5), QStringLiteral("4,5"));
    } else if (drag == "row height") {
        const QPoint line(numberCell.center().x(), numberCell.bottom() + 1);
        testsupport::dragUnderPointer(w.viewport(), line, line + QPoint(0, 10));
        QCOMPARE(w.grid->rowHeight(7), height + 10);
    } else {
        const QPoint line(headerCell.right() + 1, headerCell.center().y());
        testsupport::dragUnderPointer(w.viewport(), line, line + QPoint(10, 0));
        QCOMPARE(w.grid->columnWidth(3), width + 10);
    }
    if (drag.endsWith("height") || drag.endsWith("width"))
        QCOMPARE(rowMoves.size() + columnMoves.size(), 0);

    const QPoint fixed = drag.startsWith("row") ? numberCell.center() : headerCell.center();
    QWidget* target = QApplication::widgetAt(w.viewport()->mapToGlobal(fixed));
    QTest::mouseDClick(target, Qt::LeftButton, {}, target->mapFromGlobal(w.viewport()->mapToGlobal(fixed)));
    QCOMPARE(doubleClicks.size(), 1);
    QCOMPARE(w.notices.size(), 0);
}

QTEST_MAIN(TestStringGrid)
#include "test_string_grid.moc"
