#pragma once

#include <QList>
#include <QMap>
#include <QStringList>
#include <QTableWidget>

#include <functional>

struct AppContext;

// A table grid of the pricing tabs. Row 0 holds the titles (hidden; the header shows them and
// stays in view while scrolling), the last row is always empty, product rows lie between. A new
// grid has two rows.
class TableGrid : public QTableWidget {
    Q_OBJECT
public:
    struct Column {
        QString title;
        int width;
    };
    TableGrid(const QString& objectName, const QList<Column>& columns, QWidget* parent = nullptr);

    // Only cells of these columns can be selected and edited (all columns by default).
    void setSelectableColumns(const QList<int>& columns);
    bool canSelectCell(int row, int column) const;

    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);
    // Grows the grid by one row and fills the row before the new last row; returns that row.
    int appendRow(const QStringList& cells);
    int appendRow(const QMap<int, QString>& cells);
    // Empties rows 1 to the last and leaves two rows.
    void clearRows();
    // Every row, titles and empty last row included.
    QList<QStringList> rowTexts() const;
    // Scrolls sideways only when the cell's start is out of view: a wide editable column must
    // not push brand and reference out of the grid.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    void fillRow(int row);

    QList<int> m_selectableColumns;
};

// Removes row r: the rows below move up one and the grid loses its last row.
void DeleteGridRow(QTableWidget* grid, int row);

// Writes the grid to a new workbook in the temporary folder, named after its contents
// ("Comparative list"), opens it in the desktop's spreadsheet application and logs where it is.
void ExportGridToSpreadsheet(AppContext& context, TableGrid* grid, const QString& contents);
