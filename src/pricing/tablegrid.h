#pragma once

#include <QList>
#include <QMap>
#include <QStringList>
#include <QTableView>

class GridRows;
struct AppContext;

// A table grid of the pricing tabs: a view of its rows (GridRows). Rows are counted as the grid
// counts them: row 0 holds the titles (shown by the header, which stays in view while scrolling),
// the last row is always empty, product rows lie between; a new grid has two rows. A click on a
// title sorts the rows.
class TableGrid : public QTableView {
    Q_OBJECT
public:
    // Widths in pixels; a column is never narrower than its title.
    TableGrid(const QString& objectName, GridRows* rows, const QList<int>& widths, QWidget* parent = nullptr);

    GridRows* rows() const { return m_rows; }
    // Only cells of these columns can be selected and edited (those the rows let edit at first).
    void setSelectableColumns(const QList<int>& columns);
    bool canSelectCell(int row, int column) const;

    int rowCount() const;
    int columnCount() const;
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);
    // Grows the grid by one row and fills the row before the new last row; returns that row.
    int appendRow(const QStringList& cells);
    int appendRow(const QMap<int, QString>& cells);
    // Empties rows 1 to the last and leaves two rows.
    void clearRows();
    // Every row in the order shown, titles and empty last row included.
    QList<QStringList> rowTexts() const;
    // The current cell; a row of 0 (the titles) or beyond the grid is refused.
    void setCurrentCell(int row, int column);
    int currentRow() const;
    int currentColumn() const;
    // Scrolls sideways only when the cell's start is out of view: a wide editable column must
    // not push brand and reference out of the grid.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    GridRows* m_rows;
    QList<int> m_selectableColumns;
};

// Removes row r as the grid counts rows: the rows below move up one and the grid loses a row.
void DeleteGridRow(TableGrid* grid, int row);

// Writes the grid, its rows in the order shown, to a new workbook in the temporary folder, named
// after its contents ("Comparative list"), opens it in the desktop's spreadsheet application and
// logs where it is.
void ExportGridToSpreadsheet(AppContext& context, TableGrid* grid, const QString& contents);
