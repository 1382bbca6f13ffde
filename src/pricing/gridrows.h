#pragma once

#include <QAbstractTableModel>
#include <QCollatorSortKey>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The rules of the table grids: row 0 holds the titles, the last row is always empty, and the
// product rows lie between them.

// Delete asks its question only for a product row whose test cell (the grid's column 1) holds
// something: that spares the title row, the empty last row and, in the analysis table, the
// sub-offer rows.
bool mayDeleteGridRow(int rowCount, int currentRow, const QString& testCell);

// The export file name after what the grid holds, e.g. "Comparative list 20260314-093005.xlsx";
// a number is added when an earlier export of the same second exists.
QString ExportFileName(const QString& contents, const QString& stamp, int attempt);
// A path in `folder` for an export of `contents` that no earlier export of the same second
// holds; empty when none is free.
QString FreeExportPath(const QString& folder, const QString& contents);

// The number a cell shows, for sorting: "12.50", "12,50", "1 234,5", "-3" and "1.234,50" read as
// numbers; anything else (blank included) is no number.
std::optional<double> SortNumber(QStringView text);

// The rows of one table grid as a model: the product rows, then the empty last row, under the
// column titles (the header). Rows are kept in the order the view shows them; a row is removed
// without copying any cell of the others. Sorting by a column orders numbers by value before
// texts, texts by the locale, blanks last, and keeps later rows in that order as they arrive;
// sort(-1) gives back the order in which the rows were added.
class GridRows : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridRows(const QStringList& titles, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    const QStringList& titles() const { return m_titles; }
    // Only these columns can be edited (all by default); the empty last row never is.
    void setEditableColumns(const QList<int>& columns) { m_editable = columns; }
    bool isEditableColumn(int column) const { return m_editable.contains(column); }

    // The product rows, without the empty last row; `row` counts them from 0 in the order shown.
    int count() const { return int(m_rows.size()); }
    QString text(int row, int column) const;
    QStringList rowCells(int row) const;
    void setText(int row, int column, const QString& text);
    // Adds the rows after the others (or where the sort puts them) in one insert. Each row is
    // cut or padded to the columns.
    void appendRows(const QList<QStringList>& rows);
    void removeRowAt(int row);
    // Back to no product rows.
    void clear();
    // What a sheet of the grid holds: the titles, the rows in the order shown, the empty last row.
    QList<QStringList> sheetRows() const;

    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

private:
    struct Key {
        int kind = 2; // 0 number, 1 text, 2 blank
        double number = 0;
        std::optional<QCollatorSortKey> collated;
    };
    Key keyOf(const QStringList& row) const;
    bool before(const Key& a, quint64 aSeq, const Key& b, quint64 bSeq) const;
    // Puts the rows into `order` (old positions, new order) and tells the view, which keeps its
    // current cell on the same row.
    void reorder(const QList<int>& order);

    QStringList m_titles;
    QList<QStringList> m_rows;
    // In step with m_rows: when each row was added, and its sort key while sorted.
    QList<quint64> m_seq;
    QList<Key> m_keys;
    quint64 m_nextSeq = 0;
    QList<int> m_editable;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
