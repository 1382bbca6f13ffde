#include "app/main.h"

#include "catalog/categorytrees.h"
#include "catalog/crosssearch.h"
#include "catalog/productlist.h"
#include "platform/widgets.h"
#include "vehicle/cascade.h"

void TForm1::composeCatalog() {
    m_trees->setVehicleAccess([this] { return m_cascade->SelectedTypid(); },
                              [this] { return m_cascade->VehicleClass(); });
    connect(m_trees, &CategoryTrees::vehicleTreesBuilt, this, [this] {
        m_productList->ClearViews();
        m_cascade->SetVehicleCaption();
        showPage(QStringLiteral("PAGEPRODUCT"));
    });
    connect(m_trees, &CategoryTrees::categoryChosen, m_productList, &ProductList::ListCategoryProducts);
    connect(m_trees, &CategoryTrees::tradeGroupChosen, m_productList, &ProductList::ListTradeGroupProducts);

    m_productList->setTypidAccess([this] { return m_cascade->SelectedTypid(); });
    connect(m_productList, &ProductList::catalogPageRequested, this,
            [this] { showPage(QStringLiteral("PAGEPRODUCT")); });
    connect(m_productList, &ProductList::catalogResultsRequested, this, [this] {
        if (!m_searchResultsSection->isCollapsed())
            expandCatalogResults();
    });

    m_crossSearch->setProductListing(
        [this] { m_productList->StartListing(); },
        [this](const QList<ProductRecord>& records) { m_productList->ShowProductList(records); });
    connect(m_crossSearch, &CrossSearch::catalogPageRequested, this,
            [this] { showPage(QStringLiteral("PAGEPRODUCT")); });
    connect(m_crossSearch, &CrossSearch::searchResultsRequested, this, [this] {
        if (!m_catalogResultsSection->isCollapsed())
            expandSearchResults();
    });
}
