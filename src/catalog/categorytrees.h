#pragma once

#include "catalog/treetext.h"
#include "vehicle/vehicleselection.h"

#include <QObject>

class QButtonGroup;
class QRadioButton;
class QToolButton;
class QTreeWidget;
class QWidget;
struct AppContext;

// The category tree and the trade-group tree of the selected vehicle.
class CategoryTrees : public QObject {
    Q_OBJECT
public:
    CategoryTrees(AppContext& context, QWidget* parent);
    QWidget* tradeGroupWidget() const { return m_tradeGroupWidget; }
    QWidget* categoryWidget() const { return m_categoryWidget; }
    QTreeWidget* categoryTree() const { return m_TreeView1; }
    QTreeWidget* tradeGroupTree() const { return m_TreeView2; }

    // The selected vehicle the trees are built for: the cascade's latest.
    void setVehicle(const VehicleSelection& vehicle) { m_vehicle = vehicle; }

    void clearTrees();
    void ComboBox5Change();
    void RadioButton6Click();
    void RadioButton7Click();
    void RadioButton8Click();
    void SpeedButton13Click();
    void SpeedButton17Click();
    void SpeedButton18Click();
    void SpeedButton19Click();
    void TreeView1DblClick();
    void TreeView2DblClick();

signals:
    // Both trees are built: the product views, the caption and the page follow.
    void vehicleTreesBuilt();
    // A double click in one of the trees; the node's data value.
    void categoryChosen(int strid);
    void tradeGroupChosen(int gaid);

private:
    void buildUi(QWidget* parent);
    TreeKind treeKind() const;
    int selectedTypid() const;
    // Empties the category tree and, with a vehicle selected, fills it anew; false when there is none.
    bool rebuildCategoryTree();
    void fillTradeGroupTree();

    AppContext& m_context;
    VehicleSelection m_vehicle;
    QWidget* m_tradeGroupWidget = nullptr;
    QWidget* m_categoryWidget = nullptr;
    QTreeWidget* m_TreeView1 = nullptr;
    QTreeWidget* m_TreeView2 = nullptr;
    QRadioButton* m_RadioButton6 = nullptr;
    QRadioButton* m_RadioButton7 = nullptr;
    QRadioButton* m_RadioButton8 = nullptr;
    QToolButton* m_SpeedButton13 = nullptr;
    QToolButton* m_SpeedButton17 = nullptr;
    QToolButton* m_SpeedButton18 = nullptr;
    QToolButton* m_SpeedButton19 = nullptr;
};
