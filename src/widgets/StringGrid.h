#pragma once
// A text grid with a fixed header row and fixed first column: cells as text,
// designed column widths and row heights, a notification before a data cell
// is selected, and run-time option sets (editing, row and column moving,
// sizing, …). Rows and columns dragged by the user move in the model itself.
// The fixed cells stay in view while the data cells scroll: the header row is
// painted at the top and the number column at the left at every scroll
// position, and the grid's geometry (indexAt, visualRect) reports them there,
// so presses, drags and double-clicks on them work wherever the grid is scrolled.

#include "widgets/StringGridModel.h"

#include <QTableView>

namespace platform {

class StringGrid : public QTableView {
    Q_OBJECT
public:
    // The behaviours a grid can switch at run time.
    enum Option {
        FixedVertLine = 1 << 0,
        FixedHorzLine = 1 << 1,
        VertLine = 1 << 2,
        HorzLine = 1 << 3,
        RangeSelect = 1 << 4,
        DrawFocusSelected = 1 << 5,
        RowSizing = 1 << 6,
        ColSizing = 1 << 7,
        RowMoving = 1 << 8,
        ColMoving = 1 << 9,
        Editing = 1 << 10,
        Tabs = 1 << 11,
        RowSelect = 1 << 12,
        AlwaysShowEditor = 1 << 13,
        ThumbTracking = 1 << 14,
    };
    Q_DECLARE_FLAGS(Options, Option)

    // A new grid has lines between all cells and range selection.
    static constexpr Options kDefaultOptions{FixedVertLine | FixedHorzLine | VertLine | HorzLine | RangeSelect};

    StringGrid(int columns, int rows, QWidget* parent = nullptr);

    StringGridModel* grid() const { return model_; }
    int rowCount() const { return model_->rows(); }
    int colCount() const { return model_->columns(); }
    void setRowCount(int rows) { model_->setRows(rows); }
    QString cell(int column, int row) const { return model_->cell(column, row); }
    void setCell(int column, int row, const QString& text) { model_->setCell(column, row, text); }

    void setColumnWidths(const QList<int>& widths);
    // The column width at which a cell shows this text whole in the grid's font.
    int columnWidthFor(const QString& text) const;
    void setRowHeights(int defaultHeight, const QList<QPair<int, int>>& exceptions = {});
    void setFixedColor(const QColor& color);

    Options options() const { return options_; }
    // Switches the behaviours. Turning editing off ends a cell edit in
    // progress and keeps its text; turning it on with AlwaysShowEditor opens
    // the editor on the current cell at once.
    void setOptions(Options options);

    // The row of the focused cell (the "current row").
    int currentRow() const;

    // A cell edit in progress ends and its text goes into the cell.
    void commitEdit();
    // True while a cell editor is open.
    bool isEditing() const { return state() == EditingState; }

signals:
    // Emitted before a data cell is selected by a left click (also on the
    // cell already selected) or by a keyboard move.
    void selectCell(int column, int row);
    // Emitted after the user dragged a row by its number cell to another place.
    void rowMoved(int fromIndex, int toIndex);
    // Emitted after the user dragged a column by its header cell.
    void columnMoved(int fromIndex, int toIndex);
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyboardSearch(const QString& search) override;
    void paintEvent(QPaintEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    bool event(QEvent* event) override;

public:
    QModelIndex indexAt(const QPoint& pos) const override;
    QRect visualRect(const QModelIndex& index) const override;
    // A data cell brought into view is not left under the fixed cells.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    void scrollContentsBy(int dx, int dy) override;
    void updateEditorGeometries() override;

private:
    enum class Drag { None, Row, Column, RowSize, ColumnSize };
    struct SizingLine {
        Drag drag = Drag::None;
        int index = -1;
    };
    void applyOptions();
    SizingLine sizingLineAt(const QPoint& pos) const;
    int dropRow(const QPoint& pos) const;
    int dropColumn(const QPoint& pos) const;
    void scrollTowards(const QPoint& pos);

    // Extent of the fixed header rows (from the top) and number columns (from
    // the left) in viewport coordinates; they never scroll.
    int fixedBottom() const;
    int fixedRight() const;
    // The fixed row or column at a viewport position, or -1.
    int fixedRowAt(int y) const;
    int fixedColumnAt(int x) const;
    // A cell's whole area, grid line included, where it is shown now.
    QRect cellRect(int column, int row) const;
    void paintFixedCells(QPainter& painter);
    // The open cell editor shows only where the data cells show.
    void clipEditorToDataCells();

    StringGridModel* model_;
    Options options_;
    Drag drag_ = Drag::None;
    int dragFrom_ = -1;   // row or column moved, or row or column sized
    int dragTarget_ = -1; // where a moved row or column would land now
    int sizeOrigin_ = 0;  // pointer position minus the sized extent at the press
    bool keyboardMove_ = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(StringGrid::Options)

} // namespace platform
