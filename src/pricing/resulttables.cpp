#include "pricing/resulttables.h"

#include <QVBoxLayout>
#include <QWidget>

ResultTables::ResultTables(AppContext& context, ProductTable& products, QWidget* parent)
    : QObject(parent), m_context(context), m_products(products) {
    buildUi(parent);
}

void ResultTables::buildUi(QWidget* parent) {
    m_compareWidget = new QWidget(parent);
    new QVBoxLayout(m_compareWidget);
    m_analysisWidget = new QWidget(parent);
    new QVBoxLayout(m_analysisWidget);
}
