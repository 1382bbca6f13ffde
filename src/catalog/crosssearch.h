#pragma once

#include "catalog/producttable.h"

#include <QList>
#include <QObject>

#include <functional>

class QComboBox;
class QLabel;
class QListWidget;
class QWidget;
struct AppContext;

// The cross-reference search and its match list.
class CrossSearch : public QObject {
    Q_OBJECT
public:
    CrossSearch(AppContext& context, ProductTable& products, QWidget* parent);
    // The "BYCROSSREFERENCE" page: title and match list.
    QWidget* widget() const { return m_widget; }
    QWidget* searchWidget() const { return m_searchWidget; }
    QListWidget* matchList() const { return m_ListBox3; }

    // How a match's products are listed: the common start of a listing, and the product list
    // itself.
    void setProductListing(std::function<void()> start, std::function<void(const QList<ProductRecord>&)> show);

    void ComboBox1KeyPress(int key);
    void ListBox3DblClick();
    void ListBox3KeyPress(int key);

signals:
    // "Search results" is to be expanded if "Catalog results" is.
    void searchResultsRequested();
    void catalogPageRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildUi(QWidget* parent);

    AppContext& m_context;
    ProductTable& m_products;
    std::function<void()> m_startListing;
    std::function<void(const QList<ProductRecord>&)> m_showProductList;
    QWidget* m_widget = nullptr;
    QWidget* m_searchWidget = nullptr;
    QComboBox* m_ComboBox1 = nullptr;
    QLabel* m_Label19 = nullptr;
    QListWidget* m_ListBox3 = nullptr;
};
