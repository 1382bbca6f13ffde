#pragma once

#include <QList>
#include <QObject>
#include <QStringList>

class QToolButton;
class QWidget;
class ProductTable;
class PriceLines;
class TableGrid;
struct PriceLine;
struct AppContext;

// The comparative list grid and its button bar.
class ComparativeList : public QObject {
    Q_OBJECT
public:
    ComparativeList(AppContext& context, const ProductTable& products, QWidget* parent);
    QWidget* widget() const { return m_widget; }
    // The product lines in the order shown; the title row and the empty last row are not lines.
    QList<PriceLine> lines() const;
    PriceLines* priceLines() const { return m_lines; }

    // Adds the product of the current list with this artid as a new line, after bringing the
    // list's tab to the front.
    void addProduct(int artid);
    bool StringGrid1SelectCell(int column, int row) const;
    void SpeedButton41Click();
    void SpeedButton38Click();
    void SpeedButton33Click();

signals:
    // The start button was pressed on a product line with a reference: the price run over the
    // lines is asked for.
    void runRequested();
    // The list's tab is to come to the front unless it is already there.
    void listTabRequested();

private:
    void startButtonClicked();

    void buildUi(QWidget* parent);

    AppContext& m_context;
    const ProductTable& m_products;
    PriceLines* m_lines = nullptr;
    QWidget* m_widget = nullptr;
    TableGrid* m_StringGrid1 = nullptr;
    QToolButton* m_SpeedButton33 = nullptr;
    QToolButton* m_SpeedButton32 = nullptr;
    QToolButton* m_SpeedButton41 = nullptr;
    QToolButton* m_SpeedButton38 = nullptr;
};
