#pragma once

#include <QObject>
#include <QPointer>
#include <QTreeWidget>

#include <functional>

class QAction;
class QToolButton;
class QWidget;
class ProductTable;
class TableGrid;
struct AppContext;

// The comparative list grid and its button bar.
class ComparativeList : public QObject {
    Q_OBJECT
public:
    ComparativeList(AppContext& context, ProductTable& products, QWidget* parent);
    QWidget* widget() const { return m_widget; }
    TableGrid* grid() const { return m_StringGrid1; }
    // The start button; the price run connects to it.
    QToolButton* startButton() const { return m_SpeedButton32; }

    // Puts the "add" entry (Insert key and context menu) on the product tree.
    void setProductTree(QTreeWidget* tree);
    // Brings the list's tab to the front unless it is already there.
    void setShowListTab(std::function<void()> show) { m_showListTab = std::move(show); }

    void ADDINCOMPARELISTClick();
    bool StringGrid1SelectCell(int column, int row) const;
    void SpeedButton41Click();
    void SpeedButton38Click();
    void SpeedButton33Click();

    // Each product row's cells in column order (the title row and the empty last row left out).
    QList<QStringList> lines() const;

signals:
    // The start button was pressed on a product line with a reference.
    void runRequested();

private:
    void startButtonClicked();

    void buildUi(QWidget* parent);

    AppContext& m_context;
    ProductTable& m_products;
    QPointer<QTreeWidget> m_tree;
    std::function<void()> m_showListTab;
    QWidget* m_widget = nullptr;
    TableGrid* m_StringGrid1 = nullptr;
    QToolButton* m_SpeedButton33 = nullptr;
    QToolButton* m_SpeedButton32 = nullptr;
    QToolButton* m_SpeedButton41 = nullptr;
    QToolButton* m_SpeedButton38 = nullptr;
    QAction* m_ADDINCOMPARELIST = nullptr;
};
