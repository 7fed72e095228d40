#include "widgets/StringGrid.h"

#include "text/pad_chars.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>
#include <limits>

namespace platform {

namespace {

// Pointer distance from a grid line within which a press sizes a row or column.
constexpr int kSizingReach = 3;

// The summed sizes of the first `count` rows or columns: where the fixed ones end.
int sectionsExtent(const QHeaderView* header, int count)
{
    int extent = 0;
    for (int section = 0; section < count; ++section)
        extent += header->sectionSize(section);
    return extent;
}

// Which of the first `count` rows or columns, laid from 0 without scrolling,
// covers a position; -1 for none.
int fixedSectionAt(const QHeaderView* header, int count, int pos)
{
    for (int section = 0, end = 0; pos >= 0 && section < count; ++section) {
        end += header->sectionSize(section);
        if (pos < end)
            return section;
    }
    return -1;
}

// Draws cells as the option set asks and keeps the cell editor's mouse
// movement to itself (a move over the editor is not a move over the grid).
class CellDelegate : public QStyledItemDelegate {
public:
    explicit CellDelegate(StringGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (editor)
            editor->setAttribute(Qt::WA_NoMousePropagation);
        // A cell's whole text is edited, however long: nothing is cut when the
        // edit is kept.
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->setMaxLength(std::numeric_limits<int>::max());
        return editor;
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        // The cell keeps its text; the pad characters are not drawn.
        if (containsPadChar(option->text))
            option->text = withoutPadChars(option->text);
        // Without DrawFocusSelected the focused cell keeps the normal colours.
        const StringGrid::Options options = grid_->options();
        if (!(options & (StringGrid::DrawFocusSelected | StringGrid::RowSelect)) && grid_->hasFocus()
            && index == grid_->currentIndex())
            option->state &= ~QStyle::State_Selected;
    }

private:
    StringGrid* grid_;
};

} // namespace

StringGrid::StringGrid(int columns, int rows, QWidget* parent)
    : QTableView(parent), model_(new StringGridModel(columns, rows, this))
{
    setModel(model_);
    setItemDelegate(new CellDelegate(this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setGridStyle(Qt::SolidLine);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    // Columns scroll by pixels, so no data column is left half under the
    // number column at the far right; rows scroll by whole rows.
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setOptions(kDefaultOptions);
}

void StringGrid::setColumnWidths(const QList<int>& widths)
{
    for (int column = 0; column < widths.size(); ++column)
        setColumnWidth(column, widths[column]);
}

int StringGrid::columnWidthFor(const QString& text) const
{
    // Cells keep the style's focus margin plus one pixel either side of their
    // text; the grid line takes one more.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return fontMetrics().horizontalAdvance(text) + 2 * margin + (showGrid() ? 1 : 0);
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
    if (options == options_)
        return;
    options_ = options;
    applyOptions();
}

void StringGrid::commitEdit()
{
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void StringGrid::applyOptions()
{
    const bool editing = options_.testFlag(Editing);
    if (!editing)
        commitEdit();
    model_->setEditable(editing);
    if (editing) {
        setEditTriggers(options_.testFlag(AlwaysShowEditor)
                            ? QAbstractItemView::CurrentChanged | QAbstractItemView::SelectedClicked
                                  | QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed
                            : QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed
                                  | QAbstractItemView::EditKeyPressed);
    } else {
        setEditTriggers(QAbstractItemView::NoEditTriggers);
    }
    setSelectionMode(options_.testFlag(RangeSelect) ? QAbstractItemView::ContiguousSelection
                                                    : QAbstractItemView::SingleSelection);
    setSelectionBehavior(options_.testFlag(RowSelect) ? QAbstractItemView::SelectRows
                                                      : QAbstractItemView::SelectItems);
    setTabKeyNavigation(options_.testFlag(Tabs));
    setShowGrid(options_.testAnyFlags(VertLine | HorzLine));
    horizontalScrollBar()->setTracking(options_.testFlag(ThumbTracking));
    verticalScrollBar()->setTracking(options_.testFlag(ThumbTracking));

    const QModelIndex current = currentIndex();
    if (editing && options_.testFlag(AlwaysShowEditor) && current.isValid()
        && !model_->isFixed(current.column(), current.row()) && state() != EditingState)
        edit(current);
    viewport()->update();
}

int StringGrid::currentRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : model_->fixedRows();
}

StringGrid::SizingLine StringGrid::sizingLineAt(const QPoint& pos) const
{
    // Column lines are taken in the header row, row lines in the number column;
    // lines of data cells scrolled under the fixed cells are out of reach.
    const int headerBottom = fixedBottom();
    const int numberRight = fixedRight();
    if (options_.testFlag(ColSizing) && pos.y() >= 0 && pos.y() < headerBottom) {
        for (int column = model_->fixedColumns(); column < model_->columns(); ++column) {
            const int right = columnViewportPosition(column) + columnWidth(column);
            if (right > numberRight && std::abs(pos.x() - right) <= kSizingReach)
                return {Drag::ColumnSize, column};
        }
    }
    if (options_.testFlag(RowSizing) && pos.x() >= 0 && pos.x() < numberRight) {
        const int first = std::max(rowAt(headerBottom), model_->fixedRows());
        const int last = rowAt(viewport()->height() - 1) < 0 ? model_->rowCount() - 1
                                                              : rowAt(viewport()->height() - 1);
        for (int row = first; row >= 0 && row <= last; ++row) {
            const int bottom = rowViewportPosition(row) + rowHeight(row);
            if (bottom > headerBottom && std::abs(pos.y() - bottom) <= kSizingReach)
                return {Drag::RowSize, row};
        }
    }
    return {};
}

int StringGrid::dropRow(const QPoint& pos) const
{
    // Above the data cells (over the header row or above the grid) the drop
    // goes to the first data row in view.
    const int headerBottom = fixedBottom();
    int row = rowAt(std::max(pos.y(), headerBottom));
    if (row < 0)
        row = pos.y() < headerBottom ? model_->fixedRows() : model_->rowCount() - 1;
    return std::max(row, model_->fixedRows());
}

int StringGrid::dropColumn(const QPoint& pos) const
{
    const int numberRight = fixedRight();
    int column = columnAt(std::max(pos.x(), numberRight));
    if (column < 0)
        column = pos.x() < numberRight ? model_->fixedColumns() : model_->columns() - 1;
    return std::max(column, model_->fixedColumns());
}

void StringGrid::scrollTowards(const QPoint& pos)
{
    // A row or column dragged past the data cells scrolls them one step that way.
    QScrollBar* bar = drag_ == Drag::Row ? verticalScrollBar() : horizontalScrollBar();
    const int along = drag_ == Drag::Row ? pos.y() : pos.x();
    const int start = drag_ == Drag::Row ? fixedBottom() : fixedRight();
    const int end = drag_ == Drag::Row ? viewport()->height() : viewport()->width();
    if (along < start)
        bar->setValue(bar->value() - bar->singleStep());
    else if (along >= end)
        bar->setValue(bar->value() + bar->singleStep());
}

int StringGrid::fixedRowAt(int y) const
{
    return fixedSectionAt(verticalHeader(), std::min(model_->fixedRows(), model_->rowCount()), y);
}

int StringGrid::fixedColumnAt(int x) const
{
    return fixedSectionAt(horizontalHeader(), std::min(model_->fixedColumns(), model_->columns()), x);
}

int StringGrid::fixedBottom() const
{
    return sectionsExtent(verticalHeader(), std::min(model_->fixedRows(), model_->rowCount()));
}

int StringGrid::fixedRight() const
{
    return sectionsExtent(horizontalHeader(), std::min(model_->fixedColumns(), model_->columns()));
}

QRect StringGrid::cellRect(int column, int row) const
{
    const int x = column < model_->fixedColumns() ? sectionsExtent(horizontalHeader(), column)
                                                  : columnViewportPosition(column);
    const int y = row < model_->fixedRows() ? sectionsExtent(verticalHeader(), row) : rowViewportPosition(row);
    return {x, y, columnWidth(column), rowHeight(row)};
}

QModelIndex StringGrid::indexAt(const QPoint& pos) const
{
    const int fixedRow = fixedRowAt(pos.y());
    const int fixedColumn = fixedColumnAt(pos.x());
    if (fixedRow < 0 && fixedColumn < 0)
        return QTableView::indexAt(pos);
    const int row = fixedRow >= 0 ? fixedRow : rowAt(pos.y());
    const int column = fixedColumn >= 0 ? fixedColumn : columnAt(pos.x());
    if (row < 0 || column < 0)
        return {};
    return model_->index(row, column);
}

QRect StringGrid::visualRect(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != model_ || !model_->isFixed(index.column(), index.row()))
        return QTableView::visualRect(index);
    // Like the data cells, without the grid line at the right and bottom.
    const int line = showGrid() ? 1 : 0;
    return cellRect(index.column(), index.row()).adjusted(0, 0, -line, -line);
}

void StringGrid::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    QTableView::scrollTo(index, hint);
    if (!index.isValid() || model_->isFixed(index.column(), index.row()))
        return;
    QScrollBar* vertical = verticalScrollBar();
    while (rowViewportPosition(index.row()) < fixedBottom() && vertical->value() > vertical->minimum())
        vertical->setValue(vertical->value() - 1);
    const int hidden = fixedRight() - columnViewportPosition(index.column());
    if (hidden > 0)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - hidden);
}

void StringGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    // The viewport's pixels were shifted, the fixed cells with them: paint them anew.
    viewport()->update();
    clipEditorToDataCells();
}

void StringGrid::updateEditorGeometries()
{
    QTableView::updateEditorGeometries();
    clipEditorToDataCells();
}

void StringGrid::clipEditorToDataCells()
{
    QWidget* editor = indexWidget(currentIndex());
    if (!editor)
        return;
    const QRegion fixedArea =
        QRegion(0, 0, fixedRight(), viewport()->height()) + QRegion(0, 0, viewport()->width(), fixedBottom());
    const QRect area = editor->geometry();
    if (!fixedArea.intersects(area)) {
        editor->clearMask();
        return;
    }
    const QRegion shown = (QRegion(area) - fixedArea).translated(-area.topLeft());
    // An empty region would clear the mask; a point outside the editor hides it all.
    editor->setMask(shown.isEmpty() ? QRegion(-1, -1, 1, 1) : shown);
}

void StringGrid::paintFixedCells(QPainter& painter)
{
    const int headerBottom = fixedBottom();
    const int numberRight = fixedRight();
    if (headerBottom == 0 && numberRight == 0)
        return;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const int line = showGrid() ? 1 : 0;
    const QColor lineColor =
        QColor::fromRgba(static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));

    const auto paintCell = [&](int column, int row, const QRect& area) {
        const QRect cell = cellRect(column, row);
        if (!cell.intersects(area))
            return;
        painter.save();
        painter.setClipRect(area);
        painter.fillRect(cell, option.palette.base());
        QStyleOptionViewItem cellOption = option;
        cellOption.rect = cell.adjusted(0, 0, -line, -line);
        itemDelegateForIndex(model_->index(row, column))->paint(&painter, cellOption, model_->index(row, column));
        if (line) {
            painter.setPen(QPen(lineColor, 0, gridStyle()));
            painter.drawLine(cell.left(), cell.bottom(), cell.right(), cell.bottom());
            painter.drawLine(cell.right(), cell.top(), cell.right(), cell.bottom());
        }
        painter.restore();
    };

    const QRect view = viewport()->rect();
    const int fixedRows = std::min(model_->fixedRows(), model_->rowCount());
    const int fixedColumns = std::min(model_->fixedColumns(), model_->columns());
    // The number column follows the rows scrolled beside it, the header row
    // the columns scrolled below it; the corner stays over both.
    const QRect numberArea(0, headerBottom, numberRight, view.height() - headerBottom);
    const QRect headerArea(numberRight, 0, view.width() - numberRight, headerBottom);
    if (const int topRow = rowAt(headerBottom); topRow >= 0) {
        const int lastRow = rowAt(view.height() - 1) < 0 ? model_->rowCount() - 1 : rowAt(view.height() - 1);
        for (int row = std::max(topRow, fixedRows); row <= lastRow; ++row)
            for (int column = 0; column < fixedColumns; ++column)
                paintCell(column, row, numberArea);
    }
    if (const int leftColumn = columnAt(numberRight); leftColumn >= 0) {
        const int lastColumn = columnAt(view.width() - 1) < 0 ? model_->columns() - 1 : columnAt(view.width() - 1);
        for (int column = std::max(leftColumn, fixedColumns); column <= lastColumn; ++column)
            for (int row = 0; row < fixedRows; ++row)
                paintCell(column, row, headerArea);
    }
    for (int row = 0; row < fixedRows; ++row)
        for (int column = 0; column < fixedColumns; ++column)
            paintCell(column, row, QRect(0, 0, numberRight, headerBottom));
}

void StringGrid::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    // Only the left button selects, sizes or drags; fixed cells are never selected.
    if (!index.isValid() || event->button() != Qt::LeftButton)
        return;
    if (const SizingLine line = sizingLineAt(pos); line.drag != Drag::None) {
        drag_ = line.drag;
        dragFrom_ = line.index;
        sizeOrigin_ = drag_ == Drag::ColumnSize ? pos.x() - columnWidth(line.index)
                                                : pos.y() - rowHeight(line.index);
        return;
    }
    if (model_->isFixed(index.column(), index.row())) {
        // A press on a number cell starts a row drag, on a header cell a column drag.
        if (index.column() < model_->fixedColumns() && index.row() >= model_->fixedRows()
            && options_.testFlag(RowMoving)) {
            drag_ = Drag::Row;
            dragFrom_ = dragTarget_ = index.row();
        } else if (index.row() < model_->fixedRows() && index.column() >= model_->fixedColumns()
                   && options_.testFlag(ColMoving)) {
            drag_ = Drag::Column;
            dragFrom_ = dragTarget_ = index.column();
        }
        return;
    }
    emit selectCell(index.column(), index.row());
    QTableView::mousePressEvent(event);
}

void StringGrid::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    switch (drag_) {
    case Drag::ColumnSize:
        setColumnWidth(dragFrom_, std::max(1, pos.x() - sizeOrigin_));
        return;
    case Drag::RowSize:
        setRowHeight(dragFrom_, std::max(1, pos.y() - sizeOrigin_));
        return;
    case Drag::Row:
    case Drag::Column: {
        scrollTowards(pos);
        const int target = drag_ == Drag::Row ? dropRow(pos) : dropColumn(pos);
        if (target != dragTarget_) {
            dragTarget_ = target;
            viewport()->update();
        }
        return;
    }
    case Drag::None:
        break;
    }
    if (event->buttons() == Qt::NoButton) {
        const SizingLine line = sizingLineAt(pos);
        if (line.drag == Drag::ColumnSize)
            viewport()->setCursor(Qt::SplitHCursor);
        else if (line.drag == Drag::RowSize)
            viewport()->setCursor(Qt::SplitVCursor);
        else
            viewport()->unsetCursor();
    } else {
        // A selection dragged over the fixed cells stays where it was.
        const QModelIndex index = indexAt(pos);
        if (index.isValid() && model_->isFixed(index.column(), index.row()))
            return;
    }
    QTableView::mouseMoveEvent(event);
}

void StringGrid::mouseReleaseEvent(QMouseEvent* event)
{
    const Drag drag = drag_;
    const int from = dragFrom_;
    drag_ = Drag::None;
    dragFrom_ = dragTarget_ = -1;
    const QPoint pos = event->position().toPoint();
    switch (drag) {
    case Drag::None:
        QTableView::mouseReleaseEvent(event);
        return;
    case Drag::RowSize:
    case Drag::ColumnSize:
        return;
    case Drag::Row: {
        viewport()->update();
        const int to = dropRow(pos);
        if (to != from) {
            model_->moveRow(from, to);
            emit rowMoved(from, to);
        }
        return;
    }
    case Drag::Column: {
        viewport()->update();
        const int to = dropColumn(pos);
        if (to != from) {
            model_->moveColumn(from, to);
            emit columnMoved(from, to);
        }
        return;
    }
    }
}

void StringGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double-click neither selects again nor starts a drag.
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && !model_->isFixed(index.column(), index.row()))
        QTableView::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

void StringGrid::keyPressEvent(QKeyEvent* event)
{
    // Cursor moves made while this runs are the user's keyboard moves.
    keyboardMove_ = true;
    QTableView::keyPressEvent(event);
    keyboardMove_ = false;
}

void StringGrid::keyboardSearch(const QString& /*search*/)
{
    // Typing does not jump to a cell by its text.
}

QModelIndex StringGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    QModelIndex target = QTableView::moveCursor(action, modifiers);
    if (!target.isValid())
        return target;
    // Fixed cells are never selected: keep the cursor on the data cells.
    const int row = std::max(target.row(), model_->fixedRows());
    const int column = std::max(target.column(), model_->fixedColumns());
    if (row >= model_->rowCount() || column >= model_->columns())
        return currentIndex();
    target = model_->index(row, column);
    if (keyboardMove_ && target != currentIndex())
        emit selectCell(column, row);
    return target;
}

void StringGrid::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    {
        QPainter painter(viewport());
        paintFixedCells(painter);
    }
    if ((drag_ != Drag::Row && drag_ != Drag::Column) || dragTarget_ == dragFrom_)
        return;
    // The line where the dragged row or column will land.
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::WindowText), 3));
    if (drag_ == Drag::Row) {
        const int y = rowViewportPosition(dragTarget_) + (dragTarget_ > dragFrom_ ? rowHeight(dragTarget_) : 0);
        painter.drawLine(0, y, viewport()->width(), y);
    } else {
        const int x = columnViewportPosition(dragTarget_)
                      + (dragTarget_ > dragFrom_ ? columnWidth(dragTarget_) : 0);
        painter.drawLine(x, 0, x, viewport()->height());
    }
}

bool StringGrid::event(QEvent* event)
{
    // Hints appear only in the status bar, never as pop-up tips.
    if (event->type() == QEvent::ToolTip)
        return true;
    return QTableView::event(event);
}

} // namespace platform
