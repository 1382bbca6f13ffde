#include "pricing/comparativelist.h"

#include <QVBoxLayout>
#include <QWidget>

ComparativeList::ComparativeList(AppContext& context, ProductTable& products, QWidget* parent)
    : QObject(parent), m_context(context), m_products(products) {
    buildUi(parent);
}

void ComparativeList::buildUi(QWidget* parent) {
    m_widget = new QWidget(parent);
    new QVBoxLayout(m_widget);
}
