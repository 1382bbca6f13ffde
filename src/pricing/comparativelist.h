#pragma once

#include <QObject>

class QWidget;
class ProductTable;
struct AppContext;

// The comparative list grid and its button bar.
class ComparativeList : public QObject {
    Q_OBJECT
public:
    ComparativeList(AppContext& context, ProductTable& products, QWidget* parent);
    QWidget* widget() const { return m_widget; }

private:
    void buildUi(QWidget* parent);

    AppContext& m_context;
    ProductTable& m_products;
    QWidget* m_widget = nullptr;
};
