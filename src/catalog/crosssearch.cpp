#include "catalog/crosssearch.h"

#include <QVBoxLayout>
#include <QWidget>

CrossSearch::CrossSearch(AppContext& context, ProductTable& products, QWidget* parent)
    : QObject(parent), m_context(context), m_products(products) {
    buildUi(parent);
}

void CrossSearch::buildUi(QWidget* parent) {
    m_widget = new QWidget(parent);
    new QVBoxLayout(m_widget);
    m_searchWidget = new QWidget(parent);
    new QVBoxLayout(m_searchWidget);
}
