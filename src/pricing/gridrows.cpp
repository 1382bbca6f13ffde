#include "pricing/gridrows.h"

#include "service/textfunctions.h"

#include <QCollator>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <numeric>

bool mayDeleteGridRow(int rowCount, int currentRow, const QString& testCell) {
    return rowCount > 2 && currentRow > 0 && currentRow < rowCount && !IsBlank(testCell);
}

QString ExportFileName(const QString& contents, const QString& stamp, int attempt) {
    QString name = contents + QLatin1Char(' ') + stamp;
    if (attempt > 1)
        name += QStringLiteral(" (%1)").arg(attempt);
    return name + QStringLiteral(".xlsx");
}

QString FreeExportPath(const QString& folder, const QString& contents) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const QString path = QDir(folder).filePath(ExportFileName(contents, stamp, attempt));
        // A link pointing nowhere does not "exist" but still holds the name.
        const QFileInfo taken(path);
        if (!taken.exists() && !taken.isSymLink())
            return path;
    }
    return {};
}

std::optional<double> SortNumber(QStringView text) {
    QString plain;
    plain.reserve(text.size());
    for (const QChar c : text.trimmed())
        if (!c.isSpace() && c != QChar(0x202F) && c != QChar(0x00A0))
            plain += c;
    if (plain.isEmpty())
        return std::nullopt;
    const qsizetype dot = plain.lastIndexOf(QLatin1Char('.')), comma = plain.lastIndexOf(QLatin1Char(','));
    const auto count = [&](char c) { return plain.count(QLatin1Char(c)); };
    // The separator that comes last is the decimal one, unless it is repeated (then both group).
    QChar group = QLatin1Char(','), decimal = QLatin1Char('.');
    if (comma > dot)
        std::swap(group, decimal);
    if (count(decimal.toLatin1()) > 1)
        group = decimal;
    QString number;
    number.reserve(plain.size());
    for (const QChar c : std::as_const(plain)) {
        if (c == group)
            continue;
        number += c == decimal ? QLatin1Char('.') : c;
    }
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

GridRows::GridRows(const QStringList& titles, QObject* parent) : QAbstractTableModel(parent), m_titles(titles) {
    m_editable.resize(m_titles.size());
    std::iota(m_editable.begin(), m_editable.end(), 0);
}

int GridRows::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count() + 1;
}

int GridRows::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_titles.size());
}

QVariant GridRows::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole)
        return {};
    const QString cell = text(index.row(), index.column());
    if (role == Qt::ToolTipRole && cell.isEmpty())
        return {};
    return cell;
}

bool GridRows::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || index.row() >= count() || !isEditableColumn(index.column()))
        return false;
    setText(index.row(), index.column(), value.toString());
    return true;
}

Qt::ItemFlags GridRows::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (!isEditableColumn(index.column()))
        return Qt::ItemIsEnabled;
    // The empty last row can be the current cell but stays empty.
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return index.row() < count() ? flags | Qt::ItemIsEditable : flags;
}

QVariant GridRows::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_titles.value(section);
    return {};
}

QString GridRows::text(int row, int column) const {
    if (row < 0 || row >= count())
        return {};
    return m_rows.at(row).value(column);
}

QStringList GridRows::rowCells(int row) const {
    return row >= 0 && row < count() ? m_rows.at(row) : QStringList(m_titles.size(), QString());
}

void GridRows::setText(int row, int column, const QString& text) {
    if (row < 0 || row >= count() || column < 0 || column >= columnCount())
        return;
    m_rows[row][column] = text;
    if (m_sortColumn == column)
        m_keys[row] = keyOf(m_rows.at(row));
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed);
}

void GridRows::appendRows(const QList<QStringList>& rows) {
    if (rows.isEmpty())
        return;
    const int first = count();
    const int columns = columnCount();
    beginInsertRows(QModelIndex(), first, first + int(rows.size()) - 1);
    // No reserve: reserving the exact size at every batch would move all the rows held each time.
    for (const QStringList& row : rows) {
        QStringList cells = row.size() > columns ? row.mid(0, columns) : row;
        while (cells.size() < columns)
            cells << QString();
        if (m_sortColumn >= 0)
            m_keys << keyOf(cells);
        m_rows << std::move(cells);
        m_seq << m_nextSeq++;
    }
    endInsertRows();
    if (m_sortColumn < 0)
        return;
    // The rows held are in order: merge the new ones in.
    QList<int> added(rows.size());
    std::iota(added.begin(), added.end(), first);
    std::stable_sort(added.begin(), added.end(),
                     [this](int a, int b) { return before(m_keys[a], m_seq[a], m_keys[b], m_seq[b]); });
    if (first == 0 || !before(m_keys[added.first()], m_seq[added.first()], m_keys[first - 1], m_seq[first - 1])) {
        // All of them after the others: only their own order may change.
        if (std::is_sorted(added.begin(), added.end()))
            return;
    }
    QList<int> order;
    order.reserve(count());
    int held = 0;
    for (int a : std::as_const(added)) {
        while (held < first && !before(m_keys[a], m_seq[a], m_keys[held], m_seq[held]))
            order << held++;
        order << a;
    }
    while (held < first)
        order << held++;
    reorder(order);
}

void GridRows::removeRowAt(int row) {
    if (row < 0 || row >= count())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.removeAt(row);
    m_seq.removeAt(row);
    if (!m_keys.isEmpty())
        m_keys.removeAt(row);
    endRemoveRows();
}

void GridRows::clear() {
    if (m_rows.isEmpty())
        return;
    beginRemoveRows(QModelIndex(), 0, count() - 1);
    m_rows.clear();
    m_seq.clear();
    m_keys.clear();
    endRemoveRows();
}

QList<QStringList> GridRows::sheetRows() const {
    QList<QStringList> rows;
    rows.reserve(m_rows.size() + 2);
    rows << m_titles;
    rows << m_rows;
    rows << QStringList(m_titles.size(), QString());
    return rows;
}

GridRows::Key GridRows::keyOf(const QStringList& row) const {
    static thread_local QCollator collator = [] {
        QCollator c;
        c.setNumericMode(true);
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    Key key;
    const QString& cell = row.at(m_sortColumn);
    if (IsBlank(cell))
        return key;
    if (const auto number = SortNumber(cell)) {
        key.kind = 0;
        key.number = *number;
        return key;
    }
    key.kind = 1;
    key.collated = collator.sortKey(cell);
    return key;
}

bool GridRows::before(const Key& a, quint64 aSeq, const Key& b, quint64 bSeq) const {
    int c = 0;
    if (a.kind == 2 || b.kind == 2) {
        // Blanks stay at the end whichever way the column is sorted.
        c = a.kind == b.kind ? 0 : (a.kind == 2 ? 1 : -1);
        return c != 0 ? c < 0 : aSeq < bSeq;
    }
    if (a.kind != b.kind)
        c = a.kind - b.kind;
    else if (a.kind == 0)
        c = a.number < b.number ? -1 : (b.number < a.number ? 1 : 0);
    else
        c = a.collated->compare(*b.collated);
    if (m_sortOrder == Qt::DescendingOrder)
        c = -c;
    return c != 0 ? c < 0 : aSeq < bSeq;
}

void GridRows::sort(int column, Qt::SortOrder order) {
    const int n = count();
    QList<int> positions(n);
    std::iota(positions.begin(), positions.end(), 0);
    if (column < 0 || column >= columnCount()) {
        m_sortColumn = -1;
        m_keys.clear();
        std::sort(positions.begin(), positions.end(), [this](int a, int b) { return m_seq[a] < m_seq[b]; });
    } else {
        m_sortColumn = column;
        m_sortOrder = order;
        m_keys.clear();
        m_keys.reserve(n);
        for (const QStringList& row : std::as_const(m_rows))
            m_keys << keyOf(row);
        std::sort(positions.begin(), positions.end(),
                  [this](int a, int b) { return before(m_keys[a], m_seq[a], m_keys[b], m_seq[b]); });
    }
    reorder(positions);
}

void GridRows::reorder(const QList<int>& order) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QList<int> newRow(order.size());
    for (int i = 0; i < order.size(); ++i)
        newRow[order[i]] = i;
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& index : from)
        to << (index.row() < count() ? this->index(newRow[index.row()], index.column()) : index);

    QList<QStringList> rows;
    QList<quint64> seq;
    QList<Key> keys;
    rows.reserve(order.size());
    seq.reserve(order.size());
    keys.reserve(m_keys.size());
    for (int old : order) {
        rows << std::move(m_rows[old]);
        seq << m_seq[old];
        if (!m_keys.isEmpty())
            keys << std::move(m_keys[old]);
    }
    m_rows = std::move(rows);
    m_seq = std::move(seq);
    m_keys = std::move(keys);
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
