#pragma once

#include <QObject>

class QWidget;
class ProductTable;
struct AppContext;

// The category tree and the trade-group tree of the selected vehicle.
class CategoryTrees : public QObject {
    Q_OBJECT
public:
    CategoryTrees(AppContext& context, ProductTable& products, QWidget* parent);
    QWidget* tradeGroupWidget() const { return m_tradeGroupWidget; }
    QWidget* categoryWidget() const { return m_categoryWidget; }

private:
    void buildUi(QWidget* parent);

    AppContext& m_context;
    ProductTable& m_products;
    QWidget* m_tradeGroupWidget = nullptr;
    QWidget* m_categoryWidget = nullptr;
};
