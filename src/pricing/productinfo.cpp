#include "pricing/productinfo.h"

#include <QVBoxLayout>
#include <QWidget>

ProductInfo::ProductInfo(AppContext& context, ProductTable& products, QWidget* parent)
    : QObject(parent), m_context(context), m_products(products) {
    buildUi(parent);
}

void ProductInfo::buildUi(QWidget* parent) {
    m_imageWidget = new QWidget(parent);
    new QVBoxLayout(m_imageWidget);
    m_memoWidget = new QWidget(parent);
    new QVBoxLayout(m_memoWidget);
}
