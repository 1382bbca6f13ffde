#include "app/main.h"

#include "catalog/categorytrees.h"
#include "catalog/crosssearch.h"
#include "catalog/productlist.h"
#include "platform/widgets.h"
#include "vehicle/cascade.h"

void TForm1::composeCatalog() {
    connect(m_trees, &CategoryTrees::vehicleTreesBuilt, this, [this] {
        m_productList->ClearViews();
        m_cascade->SetVehicleCaption();
        showPage(QStringLiteral("PAGEPRODUCT"));
    });
    connect(m_trees, &CategoryTrees::categoryChosen, m_productList, &ProductList::ListCategoryProducts);
    connect(m_trees, &CategoryTrees::tradeGroupChosen, m_productList, &ProductList::ListTradeGroupProducts);

    connect(m_productList, &ProductList::catalogPageRequested, this,
            [this] { showPage(QStringLiteral("PAGEPRODUCT")); });
    connect(m_productList, &ProductList::catalogResultsRequested, this, [this] {
        if (!m_searchResultsSection->isCollapsed())
            expandCatalogResults();
    });

    connect(m_crossSearch, &CrossSearch::listingStarted, m_productList, &ProductList::StartListing);
    connect(m_crossSearch, &CrossSearch::productsListed, m_productList, &ProductList::ShowProductList);
    connect(m_crossSearch, &CrossSearch::catalogPageRequested, this,
            [this] { showPage(QStringLiteral("PAGEPRODUCT")); });
    connect(m_crossSearch, &CrossSearch::searchResultsRequested, this, [this] {
        if (!m_catalogResultsSection->isCollapsed())
            expandSearchResults();
    });
}
