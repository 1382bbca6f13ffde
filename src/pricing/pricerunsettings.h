#pragma once

#include <QString>
#include <QStringList>

// The settings a run reads, taken when it starts (the main window is disabled while it runs, so
// they cannot change meanwhile; a run without a window takes them from the settings file).
struct PriceRunSettings {
    bool ownPrices = false;
    bool compare = false;
    bool analysis = false;
    bool pages = false;
    bool cleanCompare = false;
    bool cleanAnalysis = false;
    QString compareEmail;
    QString compareSeccode;
    QString analysisEmail;
    QString analysisSeccode;
    QString maxSubOffers;
    bool pagesAfterRun = true;
    bool pagePause = true;
    QString pagePauseAfter;
    QStringList pageTemplates;
    // The chosen sites of each service, "[12][44]".
    QString compareShopIds;
    QString analysisShopIds;
    // Where the price services answer, ending in "/".
    QString priceBaseUrl;
};
