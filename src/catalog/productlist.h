#pragma once

#include <QObject>

class QWidget;
class ProductTable;
struct AppContext;

// Product lists: the brand list, the product tree, the name search, the filter and the list file.
class ProductList : public QObject {
    Q_OBJECT
public:
    ProductList(AppContext& context, ProductTable& products, QWidget* parent);
    QWidget* widget() const { return m_widget; }
    QWidget* nameSearchWidget() const { return m_nameSearchWidget; }

private:
    void buildUi(QWidget* parent);

    AppContext& m_context;
    ProductTable& m_products;
    QWidget* m_widget = nullptr;
    QWidget* m_nameSearchWidget = nullptr;
};
