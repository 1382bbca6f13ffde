#include "app/main.h"

#include "catalog/productlist.h"
#include "pricelists/pricelistspanel.h"
#include "pricing/bestoffersview.h"
#include "pricing/comparativelist.h"
#include "pricing/priceengine.h"
#include "pricing/pricehistory.h"
#include "pricing/priceintelligence.h"
#include "pricing/pricelines.h"
#include "pricing/pricerun.h"
#include "pricing/priceservicespanel.h"
#include "pricing/processing.h"
#include "pricing/productinfo.h"
#include "pricing/resulttables.h"
#include "pricing/searchpagespanel.h"
#include "service/guard.h"
#include "service/serviceclient.h"
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
    connect(m_cascade, &VehicleCascade::vehicleChanged, this,
            [this, typid = m_cascade->selection().typid](const VehicleSelection& v) mutable {
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

    // The run's data goes from the list's model through the network thread into the tables'
    // models; the window only says when.
    m_priceEngine = std::make_unique<PriceEngine>();
    m_Form3 = std::make_unique<TForm3>(dialogs, this);
    m_priceRun = std::make_unique<PriceRun>(*m_priceEngine, dialogs, *m_seams.desktop, m_log, m_ownPrices,
                                            *m_resultTables->compareRows(), *m_resultTables->analysisRows());
    m_priceRun->setProgress(m_Form3.get());
    m_priceRun->setRegenerateOwnPrices([this] { m_priceLists->SpeedButton42Click(); });
    connect(m_Form3.get(), &TForm3::stopConfirmed, m_priceRun.get(), &PriceRun::forgetRunning);
    connect(m_priceRun.get(), &PriceRun::requestsSettled, this, &TForm1::showNote);
    connect(m_comparativeList, &ComparativeList::runRequested, this, [this, &dialogs] {
        runGuarded(dialogs, [this] { m_priceRun->SpeedButton32Click(m_comparativeList->lines(), runSettings()); });
    });

    // BEST OFFERS: the third results tab, after the two processed lists; its boxes are on the
    // settings page.
    m_priceIntelligence->attach(*m_priceRun, *m_resultTables->compareRows(), *m_resultTables->analysisRows());
    BestOffersView* bestOffers = m_priceIntelligence->view();
    const int tab = m_PageControl1->indexOf(m_resultTables->analysisWidget()) + 1;
    m_PageControl1->insertTab(tab, bestOffers, QStringLiteral("  BEST OFFERS  "));
    m_PageControl1->setTabToolTip(tab, QStringLiteral("BEST OFFERS"));
    bestOffers->setSettings(m_priceServices->bestOffersSettings());
    connect(m_priceServices, &PriceServicesPanel::bestOffersSettingsChanged, bestOffers, &BestOffersView::setSettings);
}

void TForm1::startPriceHistory() {
    m_priceIntelligence->start(m_seams.paths.programFile(QString::fromLatin1(PriceHistory::kFileName)),
                               ReadKeepDays(m_priceServices->keepHistoryDays()));
}

PriceRunSettings TForm1::runSettings() const {
    PriceRunSettings settings;
    settings.ownPrices = m_priceLists->ownPricesEnabled();
    settings.cleanCompare = m_resultTables->cleanCompareForEachRun();
    settings.cleanAnalysis = m_resultTables->cleanAnalysisForEachRun();
    m_priceServices->readRunSettings(settings);
    m_searchPages->readRunSettings(settings);
    settings.compareShopIds = m_texts.CompareShopIds;
    settings.analysisShopIds = m_texts.AnalysisShopIds;
    settings.priceBaseUrl = m_service->priceServiceBaseUrl();
    return settings;
}
