#pragma once

#include <QObject>

class QTreeWidget;
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
    // TreeView3: product nodes carry their artid (column 0, Qt::UserRole), detail nodes 0.
    QTreeWidget* productTree() const { return m_TreeView3; }

signals:
    // A click or a key release in the product tree.
    void productTreeTouched();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildUi(QWidget* parent);

    AppContext& m_context;
    ProductTable& m_products;
    QWidget* m_widget = nullptr;
    QWidget* m_nameSearchWidget = nullptr;
    QTreeWidget* m_TreeView3 = nullptr;
};
