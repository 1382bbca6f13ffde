#include "app/main.h"

#include "catalog/productlist.h"
#include "pricelists/pricelistspanel.h"
#include "pricing/comparativelist.h"
#include "pricing/pricerun.h"
#include "pricing/priceservicespanel.h"
#include "pricing/productinfo.h"
#include "pricing/resulttables.h"
#include "pricing/searchpagespanel.h"
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

    m_priceRun = std::make_unique<PriceRun>(m_context, m_ownPrices, this);
    PriceRunHooks hooks;
    hooks.lines = [this] { return m_comparativeList->lines(); };
    hooks.settings = [this] {
        PriceRunSettings settings;
        settings.ownPrices = m_priceLists->ownPricesEnabled();
        settings.cleanCompare = m_resultTables->cleanCompareForEachRun();
        settings.cleanAnalysis = m_resultTables->cleanAnalysisForEachRun();
        m_priceServices->readRunSettings(settings);
        m_searchPages->readRunSettings(settings);
        return settings;
    };
    hooks.clearCompare = [this] { m_resultTables->SpeedButton44Click(); };
    hooks.clearAnalysis = [this] { m_resultTables->SpeedButton46Click(); };
    hooks.appendCompareRow = [this](const QStringList& cells) { m_resultTables->AppendCompareRow(cells); };
    hooks.appendAnalysisRow = [this](const QMap<int, QString>& cells) { m_resultTables->AppendAnalysisRow(cells); };
    m_priceRun->setHooks(std::move(hooks));
    m_priceRun->setRegenerateOwnPrices([this] { m_priceLists->SpeedButton42Click(); });
    connect(m_comparativeList, &ComparativeList::runRequested, m_priceRun.get(), &PriceRun::SpeedButton32Click);
}
