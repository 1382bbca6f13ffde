#include "catalog/producttreemodel.h"

namespace {
// Node ids. Qt hashes an index as 16 * row + column + id, and the view keeps an entry per node in
// hash tables that take the hash's low bits. Ids that are small numbers pile the nodes of a
// long list into a few crowded stretches of those tables, and expanding 100,000 products took
// minutes. An id that is its product's position times an odd number spreads them: it still tells
// the position back (times the number's inverse), and the top bit marks product nodes.
constexpr int kIdBits = int(sizeof(quintptr) * 8);
constexpr quintptr kProductTag = quintptr(1) << (kIdBits - 1);
constexpr quintptr kPositionMask = (quintptr(1) << (kIdBits - 2)) - 1;
constexpr quintptr kSpread = quintptr(0x9E3779B97F4A7C15ull);

constexpr quintptr inverseOf(quintptr odd) {
    quintptr x = odd; // Newton's steps double the correct low bits each time
    for (int i = 0; i < 6; ++i)
        x *= 2 - odd * x;
    return x;
}
constexpr quintptr kUnspread = inverseOf(kSpread);
static_assert(kSpread * kUnspread == 1);

quintptr spread(int position) {
    return (quintptr(position) * kSpread) & kPositionMask;
}

bool isProduct(const QModelIndex& index) {
    return (index.internalId() & kProductTag) != 0;
}

quintptr productId(int row) {
    return spread(row) | kProductTag;
}

// The position of a detail node's product.
int productRowOf(const QModelIndex& detail) {
    return int((detail.internalId() * kUnspread) & kPositionMask);
}
} // namespace

ProductTreeModel::ProductTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void ProductTreeModel::show(const ProductRows& rows, const ProductLineOrder& order) {
    beginResetModel();
    m_rows = rows;
    m_order = order;
    endResetModel();
}

void ProductTreeModel::clear() {
    if (m_order.isEmpty() && m_rows.isEmpty())
        return;
    beginResetModel();
    m_order = {};
    m_rows = ProductRows();
    endResetModel();
}

const ProductRow& ProductTreeModel::productAt(int position) const {
    return m_rows.at(m_order.at(position));
}

int ProductTreeModel::nodeData(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this || !isProduct(index))
        return 0;
    return productAt(index.row()).artid;
}

QModelIndex ProductTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0 || row >= rowCount(parent))
        return {};
    return createIndex(row, 0, parent.isValid() ? spread(parent.row()) : productId(row));
}

QModelIndex ProductTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || isProduct(child))
        return {};
    return createIndex(productRowOf(child), 0, productId(productRowOf(child)));
}

int ProductTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return int(m_order.size());
    if (parent.column() != 0 || !isProduct(parent))
        return 0;
    return productDetailCount(productAt(parent.row()));
}

int ProductTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool ProductTreeModel::hasChildren(const QModelIndex& parent) const {
    // Every product has at least its brand and reference lines.
    return !parent.isValid() ? !m_order.isEmpty() : isProduct(parent) && parent.column() == 0;
}

QString ProductTreeModel::text(const QModelIndex& index) const {
    if (isProduct(index))
        return captionText(productLineText(productAt(index.row())));
    return productTreeDetails(productAt(productRowOf(index))).value(index.row());
}

QVariant ProductTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return text(index);
    case Qt::FontRole:
        if (isProduct(index))
            return m_productFont;
        return {};
    case Qt::UserRole:
        return nodeData(index);
    default:
        return {};
    }
}

Qt::ItemFlags ProductTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return isProduct(index) ? flags : flags | Qt::ItemNeverHasChildren;
}
