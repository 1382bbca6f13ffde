#include "app/main.h"

#include "catalog/productlist.h"
#include "pricing/comparativelist.h"
#include "pricing/productinfo.h"

#include <QTabWidget>

void TForm1::composePricing() {
    connect(m_productList, &ProductList::productChosen, m_productInfo, &ProductInfo::showProduct);
    connect(m_productList, &ProductList::addToListRequested, m_comparativeList, &ComparativeList::addProduct);
    connect(m_comparativeList, &ComparativeList::listTabRequested, this, [this] {
        if (m_PageControl1->currentIndex() != 1)
            m_PageControl1->setCurrentIndex(1);
    });
}
