#include "app/main.h"

#include "catalog/productlist.h"
#include "pricing/comparativelist.h"
#include "pricing/productinfo.h"
#include "service/guard.h"

#include <QTabWidget>

void TForm1::composePricing() {
    Dialogs& dialogs = *m_seams.dialogs;
    connectGuarded(dialogs, m_productList, &ProductList::productChosen, m_productInfo, &ProductInfo::showProduct);
    connectGuarded(dialogs, m_productList, &ProductList::addToListRequested, m_comparativeList,
                   &ComparativeList::addProduct);
    connect(m_comparativeList, &ComparativeList::listTabRequested, this, [this] {
        if (m_PageControl1->currentIndex() != 1)
            m_PageControl1->setCurrentIndex(1);
    });
}
