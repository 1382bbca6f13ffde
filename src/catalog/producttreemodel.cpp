#include "catalog/producttreemodel.h"

#include "catalog/treetext.h"
#include "service/textfunctions.h"

#include <utility>

ProductTreeModel::ProductTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void ProductTreeModel::show(const QList<ProductRecord>& rows, const QList<qsizetype>& order) {
    QList<qsizetype> products;
    products.reserve(order.size());
    for (qsizetype row : order)
        if (rows.at(row).artid > 0)
            products.append(row);
    beginResetModel();
    m_rows = rows;
    m_order = std::move(products);
    endResetModel();
}

void ProductTreeModel::clear() {
    if (m_order.isEmpty() && m_rows.isEmpty())
        return;
    beginResetModel();
    m_order.clear();
    m_order.squeeze();
    m_rows = QList<ProductRecord>();
    endResetModel();
}

int ProductTreeModel::nodeData(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this || index.internalId() != 0)
        return 0;
    return productAt(index.row()).artid;
}

QModelIndex ProductTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0 || row >= rowCount(parent))
        return {};
    return createIndex(row, 0, parent.isValid() ? quintptr(parent.row()) + 1 : 0);
}

QModelIndex ProductTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || child.internalId() == 0)
        return {};
    return createIndex(int(child.internalId() - 1), 0, quintptr(0));
}

int ProductTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return int(m_order.size());
    if (parent.column() != 0 || parent.internalId() != 0)
        return 0;
    const ProductRecord& row = productAt(parent.row());
    return 2 + int(!IsBlank(row.criteries)) + int(!IsBlank(row.termsofuse));
}

int ProductTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool ProductTreeModel::hasChildren(const QModelIndex& parent) const {
    // Every product has at least its brand and reference lines.
    return !parent.isValid() ? !m_order.isEmpty() : parent.internalId() == 0 && parent.column() == 0;
}

QString ProductTreeModel::text(const QModelIndex& index) const {
    if (index.internalId() == 0)
        return captionText(productLineText(productAt(index.row())));
    return productTreeDetails(productAt(int(index.internalId() - 1))).value(index.row());
}

QVariant ProductTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return text(index);
    case Qt::FontRole:
        if (index.internalId() == 0)
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
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
