#include "app/main.h"

#include "catalog/categorytrees.h"
#include "catalog/crosssearch.h"
#include "catalog/productlist.h"
#include "platform/widgets.h"
#include "service/guard.h"
#include "vehicle/cascade.h"

void TForm1::composeCatalog() {
    Dialogs& dialogs = *m_seams.dialogs;
    connect(m_trees, &CategoryTrees::vehicleTreesBuilt, this, [this] {
        m_productList->clearViews();
        m_cascade->setVehicleCaption();
        showPage(QStringLiteral("PAGEPRODUCT"));
    });
    connectGuarded(dialogs, m_trees, &CategoryTrees::categoryChosen, m_productList, &ProductList::listCategoryProducts);
    connectGuarded(dialogs, m_trees, &CategoryTrees::tradeGroupChosen, m_productList,
                   &ProductList::listTradeGroupProducts);

    connect(m_productList, &ProductList::catalogPageRequested, this,
            [this] { showPage(QStringLiteral("PAGEPRODUCT")); });
    connect(m_productList, &ProductList::catalogResultsRequested, this, [this] {
        if (!m_searchResultsSection->isCollapsed())
            expandCatalogResults();
    });

    connectGuarded(dialogs, m_crossSearch, &CrossSearch::listingStarted, m_productList, &ProductList::startListing);
    connectGuarded(dialogs, m_crossSearch, &CrossSearch::productsListed, m_productList, &ProductList::ShowProductList);
    connect(m_crossSearch, &CrossSearch::catalogPageRequested, this,
            [this] { showPage(QStringLiteral("PAGEPRODUCT")); });
    connect(m_crossSearch, &CrossSearch::searchResultsRequested, this, [this] {
        if (!m_catalogResultsSection->isCollapsed())
            expandSearchResults();
    });
}
