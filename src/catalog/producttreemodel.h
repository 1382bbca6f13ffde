#pragma once

#include "catalog/producttable.h"
#include "catalog/treetext.h"

#include <QAbstractItemModel>
#include <QFont>
#include <QList>

// The product tree's nodes: one root per shown product row, in the order of its product line,
// and its detail lines as children, made when the view asks for them: a text is made only for a
// line the view shows. The model keeps its own share of the rows it shows and of the answers
// they view, so a node never outlives its text; a product the table no longer holds is simply
// not found by its artid.
class ProductTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit ProductTreeModel(QObject* parent = nullptr);

    // Shows the rows at these numbers, in this order (productLineOrder makes it, leaving out rows
    // without a product). A row's place in the order is found when the view first asks for it.
    void show(const ProductRows& rows, const ProductLineOrder& order);
    // Releases the rows shown; time grows with their number only.
    void clear();
    // The font of the product lines; detail lines keep the view's own.
    void setProductFont(const QFont& font) { m_productFont = font; }

    // The node's data value: the artid of a product node, 0 for a detail node or no node.
    int nodeData(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const ProductRow& productAt(int position) const;
    QString text(const QModelIndex& index) const;

    ProductRows m_rows;
    ProductLineOrder m_order;
    QFont m_productFont;
};
