#include "catalog/categorytrees.h"

#include <QVBoxLayout>
#include <QWidget>

CategoryTrees::CategoryTrees(AppContext& context, ProductTable& products, QWidget* parent)
    : QObject(parent), m_context(context), m_products(products) {
    buildUi(parent);
}

void CategoryTrees::buildUi(QWidget* parent) {
    m_tradeGroupWidget = new QWidget(parent);
    new QVBoxLayout(m_tradeGroupWidget);
    m_categoryWidget = new QWidget(parent);
    new QVBoxLayout(m_categoryWidget);
}
