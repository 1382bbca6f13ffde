#include "catalog/productlist.h"

#include <QEvent>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWidget>

ProductList::ProductList(AppContext& context, ProductTable& products, QWidget* parent)
    : QObject(parent), m_context(context), m_products(products) {
    buildUi(parent);
}

void ProductList::buildUi(QWidget* parent) {
    m_widget = new QWidget(parent);
    auto* layout = new QVBoxLayout(m_widget);
    m_TreeView3 = new QTreeWidget;
    m_TreeView3->setObjectName(QStringLiteral("TreeView3"));
    m_TreeView3->setHeaderHidden(true);
    m_TreeView3->viewport()->installEventFilter(this);
    m_TreeView3->installEventFilter(this);
    layout->addWidget(m_TreeView3);
    m_nameSearchWidget = new QWidget(parent);
    new QVBoxLayout(m_nameSearchWidget);
}

bool ProductList::eventFilter(QObject* watched, QEvent* event) {
    const bool click = watched == m_TreeView3->viewport() && event->type() == QEvent::MouseButtonRelease;
    const bool keyUp = watched == m_TreeView3 && event->type() == QEvent::KeyRelease;
    if (click || keyUp) {
        // The tree updates its selection before the release arrives here.
        emit productTreeTouched();
    }
    return QObject::eventFilter(watched, event);
}
