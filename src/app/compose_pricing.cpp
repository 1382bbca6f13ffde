#include "app/main.h"

#include "catalog/productlist.h"
#include "pricing/comparativelist.h"
#include "pricing/pricerun.h"
#include "pricing/priceservicespanel.h"
#include "pricing/productinfo.h"
#include "pricing/resulttables.h"
#include "pricing/searchpagespanel.h"

#include <QCheckBox>
#include <QTabWidget>

void TForm1::composePricing() {
    m_productInfo->setProductTree(m_productList->productTree());
    connect(m_productList, &ProductList::productTreeTouched, m_productInfo, &ProductInfo::TreeView3Click);

    m_comparativeList->setProductTree(m_productList->productTree());
    m_comparativeList->setShowListTab([this] {
        if (m_PageControl1->currentIndex() != 1)
            m_PageControl1->setCurrentIndex(1);
    });

    m_priceRun = std::make_unique<PriceRun>(m_context, m_ownPrices, this);
    PriceRunHooks hooks;
    hooks.lines = [this] { return m_comparativeList->lines(); };
    hooks.settings = [this] {
        PriceRunSettings settings;
        // The own price list switch belongs to the price list panel; read as the settings file reads it.
        if (const auto* own = findChild<QCheckBox*>(QStringLiteral("CheckBox3")))
            settings.ownPrices = own->isChecked();
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
    // The regeneration of the own price lists (the price list panel's SpeedButton42Click) is
    // wired here with setRegenerateOwnPrices once that panel offers it.
    connect(m_comparativeList, &ComparativeList::runRequested, m_priceRun.get(), &PriceRun::SpeedButton32Click);
}
