#include "platform/StringGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace platform {

StringGrid::StringGrid(int columns, int rows, QWidget* parent)
    : QTableView(parent), model_(new StringGridModel(columns, rows, this))
{
    setModel(model_);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setShowGrid(true);
    setGridStyle(Qt::SolidLine);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setOptions(FixedVertLine | FixedHorzLine | VertLine | HorzLine | RangeSelect | DrawFocusSelected
               | ColSizing | ThumbTracking);
}

void StringGrid::setColumnWidths(const QList<int>& widths)
{
    for (int column = 0; column < widths.size(); ++column)
        setColumnWidth(column, widths[column]);
}

void StringGrid::setRowHeights(int defaultHeight, const QList<QPair<int, int>>& exceptions)
{
    verticalHeader()->setDefaultSectionSize(defaultHeight);
    for (const auto& [row, height] : exceptions)
        setRowHeight(row, height);
}

void StringGrid::setFixedColor(const QColor& color)
{
    model_->setFixedColor(color);
}

void StringGrid::setOptions(Options options)
{
    options_ = options;
    applyOptions();
}

void StringGrid::applyOptions()
{
    model_->setEditable(options_.testFlag(Editing));
    if (options_.testFlag(Editing)) {
        setEditTriggers(options_.testFlag(AlwaysShowEditor)
                            ? QAbstractItemView::CurrentChanged | QAbstractItemView::SelectedClicked
                                  | QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed
                            : QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed
                                  | QAbstractItemView::EditKeyPressed);
    } else {
        if (state() == QAbstractItemView::EditingState)
            closePersistentEditor(currentIndex());
        setEditTriggers(QAbstractItemView::NoEditTriggers);
    }
    setSelectionMode(options_.testFlag(RangeSelect) ? QAbstractItemView::ContiguousSelection
                                                    : QAbstractItemView::SingleSelection);
    setTabKeyNavigation(options_.testFlag(Tabs));
    setSelectionBehavior(options_.testFlag(RowSelect) ? QAbstractItemView::SelectRows
                                                      : QAbstractItemView::SelectItems);
}

int StringGrid::currentRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : model_->fixedRows();
}

void StringGrid::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid())
        return;
    if (event->button() == Qt::LeftButton && model_->isFixed(index.column(), index.row())) {
        // A press on a number cell starts a row drag, on a header cell a column drag.
        if (index.column() < model_->fixedColumns() && index.row() >= model_->fixedRows()
            && options_.testFlag(RowMoving)) {
            drag_ = Drag::Row;
            dragFrom_ = index.row();
        } else if (index.row() < model_->fixedRows() && index.column() >= model_->fixedColumns()
                   && options_.testFlag(ColMoving)) {
            drag_ = Drag::Column;
            dragFrom_ = index.column();
        }
        return;
    }
    if (event->button() == Qt::LeftButton)
        emit selectCell(index.column(), index.row());
    QTableView::mousePressEvent(event);
}

void StringGrid::mouseMoveEvent(QMouseEvent* event)
{
    if (drag_ != Drag::None)
        return;
    QTableView::mouseMoveEvent(event);
}

void StringGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (drag_ == Drag::None) {
        QTableView::mouseReleaseEvent(event);
        return;
    }
    const Drag drag = drag_;
    const int from = dragFrom_;
    drag_ = Drag::None;
    dragFrom_ = -1;
    const QPoint pos = event->position().toPoint();
    if (drag == Drag::Row) {
        int to = rowAt(pos.y());
        if (to < 0)
            to = pos.y() < 0 ? model_->fixedRows() : model_->rows() - 1;
        to = std::max(to, model_->fixedRows());
        if (to != from) {
            model_->moveRow(from, to);
            emit rowMoved(from, to);
        }
    } else {
        int to = columnAt(pos.x());
        if (to < 0)
            to = pos.x() < 0 ? model_->fixedColumns() : model_->columns() - 1;
        to = std::max(to, model_->fixedColumns());
        if (to != from) {
            model_->moveColumn(from, to);
            emit columnMoved(from, to);
        }
    }
}

void StringGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableView::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

QModelIndex StringGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    QModelIndex target = QTableView::moveCursor(action, modifiers);
    if (!target.isValid())
        return target;
    // Fixed cells are never selected: keep the cursor on the data cells.
    const int row = std::max(target.row(), model_->fixedRows());
    const int column = std::max(target.column(), model_->fixedColumns());
    if (row >= model_->rows() || column >= model_->columns())
        return currentIndex();
    target = model_->index(row, column);
    if (target != currentIndex())
        emit selectCell(column, row);
    return target;
}

bool StringGrid::event(QEvent* event)
{
    // Hints appear only in the status bar, never as pop-up tips.
    if (event->type() == QEvent::ToolTip)
        return true;
    return QTableView::event(event);
}

} // namespace platform
