#include "catalog/productlist.h"

#include <QVBoxLayout>
#include <QWidget>

ProductList::ProductList(AppContext& context, ProductTable& products, QWidget* parent)
    : QObject(parent), m_context(context), m_products(products) {
    buildUi(parent);
}

void ProductList::buildUi(QWidget* parent) {
    m_widget = new QWidget(parent);
    new QVBoxLayout(m_widget);
    m_nameSearchWidget = new QWidget(parent);
    new QVBoxLayout(m_nameSearchWidget);
}
