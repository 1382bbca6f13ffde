#pragma once

#include <QObject>

class QWidget;
class ProductTable;
struct AppContext;

// The cross-reference search and its match list.
class CrossSearch : public QObject {
    Q_OBJECT
public:
    CrossSearch(AppContext& context, ProductTable& products, QWidget* parent);
    QWidget* widget() const { return m_widget; }
    QWidget* searchWidget() const { return m_searchWidget; }

private:
    void buildUi(QWidget* parent);

    AppContext& m_context;
    ProductTable& m_products;
    QWidget* m_widget = nullptr;
    QWidget* m_searchWidget = nullptr;
};
