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

TableGrid::TableGrid(const QString& objectName, const QList<Column>& columns, QWidget* parent)
    : QTableWidget(2, int(columns.size()), parent) {
    setObjectName(objectName);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(22);
    QStringList titles;
    for (int c = 0; c < columns.size(); ++c) {
        titles << columns[c].title;
        setColumnWidth(c, columns[c].width);
        m_selectableColumns << c;
    }
    setHorizontalHeaderLabels(titles);
    horizontalHeader()->setHighlightSections(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    for (int c = 0; c < columns.size(); ++c) {
        auto* item = new QTableWidgetItem(columns[c].title);
        item->setFlags(Qt::NoItemFlags);
        setItem(0, c, item);
    }
    setRowHidden(0, true);
    fillRow(1);
    setCurrentCell(1, 0);
}

void TableGrid::setSelectableColumns(const QList<int>& columns) {
    m_selectableColumns = columns;
    for (int r = 1; r < rowCount(); ++r)
        fillRow(r);
    if (!m_selectableColumns.isEmpty())
        setCurrentCell(currentRow() > 0 ? currentRow() : 1, m_selectableColumns.first());
}

bool TableGrid::canSelectCell(int row, int column) const {
    return row > 0 && m_selectableColumns.contains(column);
}

QString TableGrid::cell(int row, int column) const {
    const QTableWidgetItem* it = item(row, column);
    return it ? it->text() : QString();
}

void TableGrid::setCell(int row, int column, const QString& text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return;
    if (QTableWidgetItem* it = item(row, column))
        it->setText(text);
}

int TableGrid::appendRow(const QStringList& cells) {
    QMap<int, QString> byColumn;
    for (int c = 0; c < cells.size(); ++c)
        byColumn.insert(c, cells[c]);
    return appendRow(byColumn);
}

int TableGrid::appendRow(const QMap<int, QString>& cells) {
    const int row = rowCount() - 1;
    setRowCount(rowCount() + 1);
    fillRow(rowCount() - 1);
    for (auto it = cells.cbegin(); it != cells.cend(); ++it)
        setCell(row, it.key(), it.value());
    return row;
}

void TableGrid::clearRows() {
    for (int r = 1; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            setCell(r, c, QString());
    setRowCount(2);
    setCurrentCell(1, m_selectableColumns.isEmpty() ? 0 : m_selectableColumns.first());
}

QList<QStringList> TableGrid::rowTexts() const {
    QList<QStringList> rows;
    rows.reserve(rowCount());
    for (int r = 0; r < rowCount(); ++r) {
        QStringList cells;
        cells.reserve(columnCount());
        for (int c = 0; c < columnCount(); ++c)
            cells << cell(r, c);
        rows << cells;
    }
    return rows;
}

void TableGrid::fillRow(int row) {
    for (int c = 0; c < columnCount(); ++c) {
        QTableWidgetItem* it = item(row, c);
        if (!it) {
            it = new QTableWidgetItem;
            setItem(row, c, it);
        }
        it->setFlags(m_selectableColumns.contains(c) ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                                                     : Qt::ItemIsEnabled);
    }
}

void TableGrid::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && !canSelectCell(index.row(), index.column())) {
        event->accept();
        return;
    }
    QTableWidget::mousePressEvent(event);
}

QModelIndex TableGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = currentIndex();
    QModelIndex next = QTableWidget::moveCursor(action, modifiers);
    if (next.isValid() && !canSelectCell(next.row(), next.column())) {
        // Keep to the column of the current cell on the row the move reached, or stay put.
        if (current.isValid() && canSelectCell(next.row(), current.column()))
            next = model()->index(next.row(), current.column());
        else
            next = current;
    }
    return next;
}

void TableGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
    const int left = horizontalScrollBar()->value();
    const int start = index.isValid() ? columnViewportPosition(index.column()) : -1;
    QTableWidget::scrollTo(index, hint);
    if (start >= 0 && start < viewport()->width())
        horizontalScrollBar()->setValue(left);
}

void DeleteGridRow(QTableWidget* grid, int row) {
    if (!grid || row < 0 || row >= grid->rowCount())
        return;
    grid->setCurrentCell(row, std::max(grid->currentColumn(), 0));
    const int last = grid->rowCount() - 1;
    for (int r = row; r < last; ++r) {
        for (int c = 0; c < grid->columnCount(); ++c) {
            QTableWidgetItem* target = grid->item(r, c);
            const QTableWidgetItem* source = grid->item(r + 1, c);
            if (target)
                target->setText(source ? source->text() : QString());
        }
    }
    grid->setRowCount(last);
}

void ExportGridToSpreadsheet(AppContext& context, TableGrid* grid, const QString& contents) {
    // The user's temporary folder outlives the program, so the workbook stays while it is open.
    const QString folder = QDir::tempPath();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString path;
    for (int attempt = 1; attempt < 1000; ++attempt) {
        path = QDir(folder).filePath(ExportFileName(contents, stamp, attempt));
        // A link pointing nowhere does not "exist" but still holds the name.
        const QFileInfo taken(path);
        if (!taken.exists() && !taken.isSymLink())
            break;
    }
    const bool written = QFileInfo(folder).isDir() && SpreadsheetWriter::write(path, grid->rowTexts(), 1);
    if (written)
        context.log->AppendLogLine(contents + QStringLiteral(" exported to ") + QDir::toNativeSeparators(path));
    if (!written || !context.desktop->open(path))
        context.dialogs->titledError(QStringLiteral("Error"),
                                     QStringLiteral("Could not start the MS Excel. Action canceled."));
}
