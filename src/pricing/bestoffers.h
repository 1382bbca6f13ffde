#pragma once

#include "pricing/pricetext.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Where an offer comes from: an own price list, a shop of the comparison service, or a seller on
// an e-platform of the analysis service. The numbers are stored in the price history.
enum class OfferSource { Own = 0, Shop = 1, Marketplace = 2 };

// The texts of a comparative-list line.
struct LineText {
    QString brand;
    QString reference;
    QString name;
    bool operator==(const LineText&) const = default;
};

// The key that finds a line again in later runs: the brand upper-cased and trimmed, "|", and the
// normalised reference ("BOSCH|0986452044").
QString LineKey(const QString& brand, const QString& reference);
QString LineKey(const LineText& line);

// One offer as the result rows give it, read once.
struct Offer {
    OfferSource source = OfferSource::Shop;
    // Own price list file, shop host or e-platform seller.
    QString seller;
    // The price and currency texts as the source gave them.
    QString priceText;
    QString currencyText;
    // The price read exactly; nothing when the text is unreadable. An own price without a
    // currency of its own has an empty currency: the own lists' currency applies.
    std::optional<Money> money;
    bool operator==(const Offer&) const = default;
};

// An offer from its texts: own prices by ParseOwnPrice, service prices by ParseServicePrice.
Offer ReadOffer(OfferSource source, const QString& seller, const QString& priceText, const QString& currencyText);

struct LineOffer {
    LineText line;
    Offer offer;
};

// A line as the price history last saw it: the offers of its latest run and of the run before.
struct LineSnapshot {
    QString key;
    LineText text;
    QList<Offer> offers;
    QList<Offer> previousOffers;
};

// The comparison grid's currency of own price list rows.
inline constexpr const char* kOwnPriceCurrency = "by default";

// Rows of today's result grids as offers. Comparison rows (brand, reference, name, shop, price,
// currency) are own price rows when their currency is "by default". Analysis rows: a main offer
// row ("+") names its line; the sub-offer rows after it belong to the same line. A sub-offer row
// before any main row has no line and is left out.
QList<LineOffer> OffersFromCompareRows(const QList<QStringList>& rows);
QList<LineOffer> OffersFromAnalysisRows(const QList<QStringList>& rows);

// What the summary compares in: prices in the home currency (own prices without a currency of
// their own count as the home currency); an undercut is a best shop offer this many hundredths
// of a percent below the own price.
struct BestOffersSettings {
    QString homeCurrency = QStringLiteral("EUR");
    qint64 undercutBasisPoints = 500;
    bool operator==(const BestOffersSettings&) const = default;
};

// The currency a readable offer counts in: its own, or the home currency for an own price that
// names none.
QString OfferCurrency(const Offer& offer, const BestOffersSettings& settings);

// The settings page's texts: the threshold in percent ("5", "2,5") and the own price lists'
// currency ("EUR", "€"). A text that cannot be read gives the default.
BestOffersSettings ReadBestOffersSettings(const QString& thresholdPercent, const QString& ownCurrency);

// Offers in a currency other than the home currency: counted, and their lowest price, shown
// apart, never converted.
struct CurrencyOffers {
    QString currency;
    int offers = 0;
    qint64 lowest = 0;
    bool operator==(const CurrencyOffers&) const = default;
};

// One line of BEST OFFERS. Amounts are hundredths of the home currency, percentages hundredths
// of a percent.
struct LineSummary {
    QString key;
    LineText text;
    QString currency;
    std::optional<qint64> ownPrice;
    QString ownFile;
    std::optional<qint64> bestShop;
    QString bestShopSeller;
    // Shop offers in the home currency; the best one's price is shared by `bestShopTies` shops.
    int shopOffers = 0;
    int bestShopTies = 0;
    int marketOffers = 0;
    std::optional<qint64> marketLowest;
    std::optional<qint64> marketMedian;
    std::optional<qint64> marketHighest;
    QList<CurrencyOffers> otherCurrencies;
    int unreadable = 0;
    // (best shop offer - own price) / own price.
    std::optional<qint64> marginBasisPoints;
    // The best shop offer of the line's previous run, and the change from it.
    std::optional<qint64> previousBest;
    std::optional<qint64> changeBasisPoints;
    bool undercut = false;
};

// The rules of one line. Ties: the own price list or shop first by name (ignoring case) wins,
// so a summary does not depend on the order answers arrived in. The median of an even count is
// the mean of the middle two, half a hundredth rounded up. `previousOffers` are the line's
// offers of its previous run (empty when there was none).
LineSummary SummarizeLine(const QString& key, const LineText& text, const QList<Offer>& offers,
                          const QList<Offer>& previousOffers, const BestOffersSettings& settings);

// The lowest shop offer in the home currency; nothing when there is none.
std::optional<qint64> BestShopPrice(const QList<Offer>& offers, const BestOffersSettings& settings);

// (to - from) / from in hundredths of a percent, half away from zero.
qint64 ChangeBasisPoints(qint64 from, qint64 to);

// One run of a line for its chart.
struct RunOffers {
    qint64 run = 0;
    QDateTime when;
    QList<Offer> offers;
};

// A chart point: its value and where it came from.
struct ChartPoint {
    QDateTime when;
    qint64 minor = 0;
    QString source;
};

// The line's three series over its runs, oldest first; a run without a value leaves a gap.
struct LineChart {
    QString currency;
    QList<ChartPoint> own;
    QList<ChartPoint> bestShop;
    QList<ChartPoint> marketMedian;
};

LineChart ChartOfLine(const QList<RunOffers>& runs, const BestOffersSettings& settings);
