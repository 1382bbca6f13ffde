#pragma once

#include <QObject>

class QWidget;
class ProductTable;
struct AppContext;

// The comparison and analysis result tables and their button bars.
class ResultTables : public QObject {
    Q_OBJECT
public:
    ResultTables(AppContext& context, ProductTable& products, QWidget* parent);
    QWidget* compareWidget() const { return m_compareWidget; }
    QWidget* analysisWidget() const { return m_analysisWidget; }

private:
    void buildUi(QWidget* parent);

    AppContext& m_context;
    ProductTable& m_products;
    QWidget* m_compareWidget = nullptr;
    QWidget* m_analysisWidget = nullptr;
};
