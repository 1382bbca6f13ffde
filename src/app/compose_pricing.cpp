#include "app/main.h"

#include "catalog/productlist.h"
#include "pricing/comparativelist.h"
#include "pricing/productinfo.h"

#include <QTabWidget>

void TForm1::composePricing() {
    m_productInfo->setProductTree(m_productList->productTree());
    connect(m_productList, &ProductList::productTreeTouched, m_productInfo, &ProductInfo::TreeView3Click);

    m_comparativeList->setProductTree(m_productList->productTree());
    m_comparativeList->setShowListTab([this] {
        if (m_PageControl1->currentIndex() != 1)
            m_PageControl1->setCurrentIndex(1);
    });
}
