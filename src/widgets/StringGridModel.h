#pragma once
// The cells of a text grid: rows × columns of strings, fixed rows and columns
// included (they are ordinary cells, drawn grey by the view). Rows grow in
// place; a bulk update hides the growth from views until it ends, so that
// appending many rows notifies them once.

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QString>

namespace platform {

class StringGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    StringGridModel(int columns, int rows, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The grid's own row and column counts (during a bulk update these may
    // be ahead of what views have been told).
    int rows() const { return rows_; }
    int columns() const { return columns_; }
    void setRows(int rows);
    // Makes room for `rows` rows at once, so that growing to them one row at
    // a time moves no cells; the row count does not change.
    void reserveRows(int rows);

    // Cells addressed as (column, row); out of range raises the grid index error.
    QString cell(int column, int row) const;
    void setCell(int column, int row, const QString& text);

    // Moves one row (or column) to another index; those between shift by one.
    void moveRow(int from, int to);
    void moveColumn(int from, int to);

    void setFixed(int fixedRows, int fixedColumns) { fixedRows_ = fixedRows; fixedColumns_ = fixedColumns; }
    int fixedRows() const { return fixedRows_; }
    int fixedColumns() const { return fixedColumns_; }
    void setFixedColor(const QColor& color) { fixedColor_ = color; }
    void setEditable(bool editable) { editable_ = editable; }
    bool isFixed(int column, int row) const { return row < fixedRows_ || column < fixedColumns_; }

    void beginBulkUpdate();
    void endBulkUpdate();

private:
    void checkIndex(int column, int row) const;
    qsizetype offset(int column, int row) const { return qsizetype(row) * columns_ + column; }
    int reportedRows() const { return bulkDepth_ > 0 ? reportedRows_ : rows_; }

    int columns_;
    int rows_;
    QList<QString> cells_;
    int fixedRows_ = 1;
    int fixedColumns_ = 1;
    QColor fixedColor_;
    bool editable_ = false;
    int bulkDepth_ = 0;
    int reportedRows_ = 0;
};

} // namespace platform
