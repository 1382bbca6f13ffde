#pragma once

#include <QObject>

class QWidget;
class ProductTable;
struct AppContext;

// The product information panel: details, cross references, applicability, pictures.
class ProductInfo : public QObject {
    Q_OBJECT
public:
    ProductInfo(AppContext& context, ProductTable& products, QWidget* parent);
    QWidget* imageWidget() const { return m_imageWidget; }
    QWidget* memoWidget() const { return m_memoWidget; }

private:
    void buildUi(QWidget* parent);

    AppContext& m_context;
    ProductTable& m_products;
    QWidget* m_imageWidget = nullptr;
    QWidget* m_memoWidget = nullptr;
};
