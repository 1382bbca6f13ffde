#pragma once

#include "catalog/producttable.h"
#include "catalog/treetext.h"
#include "vehicle/vehicleselection.h"

#include <QList>
#include <QObject>

class QAction;
class QBoxLayout;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTimer;
class QToolButton;
class QTreeView;
class ProductTreeModel;
class QWidget;
struct AppContext;

// Product lists: the brand list, the product tree, the name search, the filter and the list file.
class ProductList : public QObject {
    Q_OBJECT
public:
    static const QString kListCaption;
    static const QString kFilteredListCaption;

    ProductList(AppContext& context, ProductTable& products, QWidget* parent);
    QWidget* widget() const { return m_widget; }
    QWidget* nameSearchWidget() const { return m_nameSearchWidget; }
    QList<QWidget*> nameSearchTabChain() const;
    // The selected vehicle the listings are for: the cascade's latest.
    void setVehicle(const VehicleSelection& vehicle) { m_typid = vehicle.typid; }

    // Empties the product tree and the brand list; the table stays.
    void clearViews();
    // What every listing does before its request: results section, empty views and table, caption.
    void startListing();
    // Puts a product answer into the table, the brand list and the tree. The caller has started
    // the listing.
    void ShowProductList(const ProductRows& records);
    // Fills the product tree with these rows of the table (by number), sorted.
    void BuildProductTree(const QList<qsizetype>& rows);

    // The products of a category node (strid) or a trade-group node (gaid, 0 on an assembly).
    void listCategoryProducts(int strid);
    void listTradeGroupProducts(int gaid);

    void ComboBox10KeyPress(int key);
    void ListBox1DblClick();
    void SpeedButton20Click();
    void SpeedButton21Click();
    void SpeedButton22Click();
    void Label23Click();
    void Edit15KeyPress(int key);
    void Edit15MouseEnter();
    void SpeedButton51Click();
    // A click or a key release in the product tree, and the tree's "add" entry (Insert key and
    // context menu).
    void TreeView3Click();
    void TreeView3KeyUp();
    void ADDINCOMPARELISTClick();

signals:
    // The product tree's selected node changed by a click or a key: its artid (product nodes
    // carry it; detail nodes and an empty tree give 0).
    void productChosen(int artid);
    // The user asked to add the selected product to the comparative list.
    void addToListRequested(int artid);
    // The catalog page is to be shown.
    void catalogPageRequested();
    // "Catalog results" is to be expanded if "Search results" is.
    void catalogResultsRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildUi(QWidget* parent);
    template <class Rec> void listProducts(const QString& function, const QString& request);
    // The data value of the tree's current node (0 without one).
    int currentNodeData() const;
    // The numbers of the rows with a product that pass.
    template <class Pred> static QList<qsizetype> tableRows(const ProductRows& rows, Pred passes);
    // Shows the table's rows at these numbers, in this order.
    void showTree(const ProductLineOrder& order);
    // The filter box: the rows holding the text (Enter and typing), and the typing's own rules.
    void applyFilter(const QString& text);
    void filterAsTyped();

    AppContext& m_context;
    ProductTable& m_products;
    // Every product row of the listing in the order of its product line. Any choice of rows
    // shows in this order (a stable sort of some rows keeps them as a stable sort of all does),
    // so filters need no second sort.
    ProductLineOrder m_listingOrder;
    int m_typid = 0;
    QWidget* m_widget = nullptr;
    QWidget* m_nameSearchWidget = nullptr;
    QBoxLayout* m_resultsLayout = nullptr;
    QWidget* m_brandPanel = nullptr;
    QLabel* m_Label23 = nullptr;
    QListWidget* m_ListBox1 = nullptr;
    QToolButton* m_SpeedButton20 = nullptr;
    QToolButton* m_SpeedButton21 = nullptr;
    QToolButton* m_SpeedButton22 = nullptr;
    QToolButton* m_SpeedButton51 = nullptr;
    QLabel* m_Label25 = nullptr;
    QTreeView* m_TreeView3 = nullptr;
    ProductTreeModel* m_productModel = nullptr;
    QLineEdit* m_Edit15 = nullptr;
    QTimer* m_filterPause = nullptr;
    // The tree shows what the filter box chose, not a whole listing or one brand.
    bool m_filtered = false;
    QComboBox* m_ComboBox10 = nullptr;
    QAction* m_ADDINCOMPARELIST = nullptr;
};
