#include "pricing/tablegrid.h"

#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/spreadsheetwriter.h"
#include "pricing/gridrows.h"
#include "service/appcontext.h"
#include "service/requestlog.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>

namespace {
// Room beside a title for the header's margins and the sort arrow.
constexpr int kTitlePadding = 20;
} // namespace

TableGrid::TableGrid(const QString& objectName, GridRows* rows, const QList<int>& widths, QWidget* parent)
    : QTableView(parent), m_rows(rows) {
    setObjectName(objectName);
    setModel(rows);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(22);
    QHeaderView* header = horizontalHeader();
    header->setHighlightSections(false);
    header->setSectionsClickable(true);
    const QFontMetrics titleFont(header->font());
    for (int c = 0; c < rows->columnCount(); ++c) {
        const int title = titleFont.horizontalAdvance(rows->titles().at(c)) + kTitlePadding;
        setColumnWidth(c, std::max(widths.value(c, 75), title));
        if (rows->isEditableColumn(c))
            m_selectableColumns << c;
    }
    // No sort until the user asks: the rows stay in the order they came.
    header->setSortIndicator(-1, Qt::AscendingOrder);
    header->setSortIndicatorClearable(true);
    setSortingEnabled(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    setCurrentCell(1, 0);
}

void TableGrid::setSelectableColumns(const QList<int>& columns) {
    m_selectableColumns = columns;
    m_rows->setEditableColumns(columns);
    if (!m_selectableColumns.isEmpty())
        setCurrentCell(currentRow() > 0 ? currentRow() : 1, m_selectableColumns.first());
}

bool TableGrid::canSelectCell(int row, int column) const {
    return row > 0 && row < rowCount() && m_selectableColumns.contains(column);
}

int TableGrid::rowCount() const {
    return m_rows->rowCount() + 1;
}

int TableGrid::columnCount() const {
    return m_rows->columnCount();
}

QString TableGrid::cell(int row, int column) const {
    if (row == 0)
        return m_rows->titles().value(column);
    return m_rows->text(row - 1, column);
}

void TableGrid::setCell(int row, int column, const QString& text) {
    if (row > 0)
        m_rows->setText(row - 1, column, text);
}

int TableGrid::appendRow(const QStringList& cells) {
    const int row = rowCount() - 1;
    m_rows->appendRows({cells});
    return row;
}

int TableGrid::appendRow(const QMap<int, QString>& cells) {
    QStringList row(columnCount(), QString());
    for (auto it = cells.cbegin(); it != cells.cend(); ++it)
        if (it.key() >= 0 && it.key() < row.size())
            row[it.key()] = it.value();
    return appendRow(row);
}

void TableGrid::clearRows() {
    m_rows->clear();
    setCurrentCell(1, m_selectableColumns.isEmpty() ? 0 : m_selectableColumns.first());
}

QList<QStringList> TableGrid::rowTexts() const {
    return m_rows->sheetRows();
}

void TableGrid::setCurrentCell(int row, int column) {
    if (row < 1 || row >= rowCount() || column < 0 || column >= columnCount())
        return;
    setCurrentIndex(m_rows->index(row - 1, column));
}

int TableGrid::currentRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : -1;
}

int TableGrid::currentColumn() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.column() : -1;
}

void TableGrid::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && !canSelectCell(index.row() + 1, index.column())) {
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

QModelIndex TableGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = currentIndex();
    QModelIndex next = QTableView::moveCursor(action, modifiers);
    if (next.isValid() && !canSelectCell(next.row() + 1, next.column())) {
        // Keep to the column of the current cell on the row the move reached, or stay put.
        if (current.isValid() && canSelectCell(next.row() + 1, current.column()))
            next = model()->index(next.row(), current.column());
        else
            next = current;
    }
    return next;
}

void TableGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
    const int left = horizontalScrollBar()->value();
    const int start = index.isValid() ? columnViewportPosition(index.column()) : -1;
    QTableView::scrollTo(index, hint);
    if (start >= 0 && start < viewport()->width())
        horizontalScrollBar()->setValue(left);
}

void DeleteGridRow(TableGrid* grid, int row) {
    // The empty last row is the grid's own: it never goes.
    if (!grid || row < 1 || row >= grid->rowCount() - 1)
        return;
    grid->setCurrentCell(row, std::max(grid->currentColumn(), 0));
    grid->rows()->removeRowAt(row - 1);
}

void ExportGridToSpreadsheet(AppContext& context, TableGrid* grid, const QString& contents) {
    // The user's temporary folder outlives the program, so the workbook stays while it is open.
    const QString folder = QDir::tempPath();
    const QString path = FreeExportPath(folder, contents);
    const bool written =
        !path.isEmpty() && QFileInfo(folder).isDir() && SpreadsheetWriter::write(path, grid->rowTexts(), 1);
    if (written)
        context.log->AppendLogLine(contents + QStringLiteral(" exported to ") + QDir::toNativeSeparators(path));
    if (!written || !context.desktop->open(path))
        context.dialogs->titledError(QStringLiteral("Error"),
                                     QStringLiteral("Could not start the MS Excel. Action canceled."));
}
