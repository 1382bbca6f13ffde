#include "app/main.h"

#include "catalog/productlist.h"
#include "pricelists/pricelistspanel.h"
#include "pricing/comparativelist.h"
#include "pricing/pricelines.h"
#include "pricing/pricerun.h"
#include "pricing/priceservicespanel.h"
#include "pricing/productinfo.h"
#include "pricing/resulttables.h"
#include "pricing/searchpagespanel.h"
#include "service/guard.h"
#include "vehicle/cascade.h"

#include <QTabWidget>

#include <memory>

void TForm1::composePricing() {
    Dialogs& dialogs = *m_seams.dialogs;
    connectGuarded(dialogs, m_productList, &ProductList::productChosen, m_productInfo, &ProductInfo::showProduct);
    // A product chosen while the comparative list is in front brings its information forward;
    // not so the release of the Insert key that has just added it to the list.
    auto justAdded = std::make_shared<int>(0);
    connect(m_productList, &ProductList::addToListRequested, this, [justAdded](int artid) { *justAdded = artid; });
    connect(m_productList, &ProductList::productChosen, this, [this, justAdded](int artid) {
        if (artid > 0 && artid != *justAdded && m_PageControl1->currentIndex() == 1)
            m_PageControl1->setCurrentIndex(0);
        *justAdded = 0;
    });
    // A new vehicle: the previous product's picture and details no longer apply.
    connect(m_cascade, &VehicleCascade::vehicleChanged, this, [this, typid = 0](const VehicleSelection& v) mutable {
        if (v.typid != typid)
            m_productInfo->showProduct(0);
        typid = v.typid;
    });
    connectGuarded(dialogs, m_productList, &ProductList::addToListRequested, m_comparativeList,
                   &ComparativeList::addProduct);
    connect(m_comparativeList, &ComparativeList::listTabRequested, this, [this] {
        if (m_PageControl1->currentIndex() != 1)
            m_PageControl1->setCurrentIndex(1);
    });

    m_priceRun = std::make_unique<PriceRun>(m_context, m_ownPrices, this);
    PriceRunHooks hooks;
    hooks.lines = [this] {
        QList<QStringList> lines;
        for (const PriceLine& line : m_comparativeList->lines())
            lines << QStringList{line.brand, line.reference, line.name};
        return lines;
    };
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
