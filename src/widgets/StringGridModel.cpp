#include "widgets/StringGridModel.h"

#include "platform/errors.h"

#include <algorithm>

namespace platform {

StringGridModel::StringGridModel(int columns, int rows, QObject* parent)
    : QAbstractTableModel(parent), columns_(columns), rows_(rows),
      cells_(qsizetype(columns) * rows)
{
}

int StringGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : reportedRows();
}

int StringGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columns_;
}

QVariant StringGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_ || index.column() >= columns_)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cells_[offset(index.column(), index.row())];
    case Qt::BackgroundRole:
        if (isFixed(index.column(), index.row()) && fixedColor_.isValid())
            return fixedColor_;
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

bool StringGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid())
        return false;
    setCell(index.column(), index.row(), value.toString());
    return true;
}

Qt::ItemFlags StringGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (isFixed(index.column(), index.row()))
        return Qt::ItemIsEnabled;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editable_)
        result |= Qt::ItemIsEditable;
    return result;
}

void StringGridModel::checkIndex(int column, int row) const
{
    if (column < 0 || row < 0 || column >= columns_ || row >= rows_)
        raiseGridIndexOutOfRange();
}

QString StringGridModel::cell(int column, int row) const
{
    checkIndex(column, row);
    return cells_[offset(column, row)];
}

void StringGridModel::setCell(int column, int row, const QString& text)
{
    checkIndex(column, row);
    QString& stored = cells_[offset(column, row)];
    if (stored == text)
        return;
    stored = text;
    if (row < reportedRows()) {
        const QModelIndex changed = index(row, column);
        emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
    }
}

void StringGridModel::setRows(int rows)
{
    if (rows < 0)
        raiseGridIndexOutOfRange();
    if (rows == rows_)
        return;
    const bool notify = bulkDepth_ == 0;
    if (rows > rows_) {
        if (notify)
            beginInsertRows({}, rows_, rows - 1);
        cells_.resize(qsizetype(rows) * columns_);
        rows_ = rows;
        if (notify)
            endInsertRows();
    } else {
        const int visible = reportedRows();
        const bool removeVisible = rows < visible;
        if (removeVisible)
            beginRemoveRows({}, rows, visible - 1);
        cells_.resize(qsizetype(rows) * columns_);
        rows_ = rows;
        if (bulkDepth_ > 0)
            reportedRows_ = std::min(reportedRows_, rows);
        if (removeVisible)
            endRemoveRows();
    }
}

void StringGridModel::reserveRows(int rows)
{
    if (rows > rows_)
        cells_.reserve(qsizetype(rows) * columns_);
}

void StringGridModel::moveRow(int from, int to)
{
    checkIndex(0, from);
    checkIndex(0, to);
    if (from == to)
        return;
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    auto begin = cells_.begin();
    if (from < to)
        std::rotate(begin + offset(0, from), begin + offset(0, from + 1), begin + offset(0, to + 1));
    else
        std::rotate(begin + offset(0, to), begin + offset(0, from), begin + offset(0, from + 1));
    endMoveRows();
}

void StringGridModel::moveColumn(int from, int to)
{
    checkIndex(from, 0);
    checkIndex(to, 0);
    if (from == to)
        return;
    beginMoveColumns({}, from, from, {}, to > from ? to + 1 : to);
    for (int row = 0; row < rows_; ++row) {
        auto rowBegin = cells_.begin() + offset(0, row);
        if (from < to)
            std::rotate(rowBegin + from, rowBegin + from + 1, rowBegin + to + 1);
        else
            std::rotate(rowBegin + to, rowBegin + from, rowBegin + from + 1);
    }
    endMoveColumns();
}

void StringGridModel::beginBulkUpdate()
{
    if (bulkDepth_++ == 0)
        reportedRows_ = rows_;
}

void StringGridModel::endBulkUpdate()
{
    if (bulkDepth_ == 0 || --bulkDepth_ > 0)
        return;
    if (rows_ > reportedRows_) {
        // Views learn of the grown rows in one notification.
        const int first = reportedRows_;
        bulkDepth_ = 1;
        reportedRows_ = first;
        beginInsertRows({}, first, rows_ - 1);
        bulkDepth_ = 0;
        endInsertRows();
    }
}

} // namespace platform
