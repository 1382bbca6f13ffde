#include "pricing/bestoffers.h"

#include "pricelists/normalizereference.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace {

QString cell(const QStringList& row, int column) {
    return column < row.size() ? row[column] : QString();
}

bool blankRow(const QStringList& row) {
    return std::all_of(row.begin(), row.end(), [](const QString& text) { return text.trimmed().isEmpty(); });
}

// The first by name wins a tie, so the answer does not hang on arrival order.
bool better(qint64 price, const QString& seller, const std::optional<qint64>& best, const QString& bestSeller) {
    if (!best || price < *best)
        return true;
    return price == *best && seller.compare(bestSeller, Qt::CaseInsensitive) < 0;
}

} // namespace

QString LineKey(const QString& brand, const QString& reference) {
    return brand.trimmed().toUpper() + QLatin1Char('|') + NormalizeReference(reference);
}

QString LineKey(const LineText& line) {
    return LineKey(line.brand, line.reference);
}

Offer ReadOffer(OfferSource source, const QString& seller, const QString& priceText, const QString& currencyText) {
    Offer offer{source, seller, priceText, currencyText, std::nullopt};
    if (source == OfferSource::Own) {
        offer.money = ParseOwnPrice(priceText);
        const QString named = CurrencyCode(currencyText);
        if (offer.money && !named.isEmpty()) {
            if (offer.money->currency.isEmpty())
                offer.money->currency = named;
            else if (offer.money->currency != named)
                offer.money.reset();
        }
    } else {
        offer.money = ParseServicePrice(priceText, currencyText);
    }
    return offer;
}

QList<LineOffer> OffersFromCompareRows(const QList<QStringList>& rows) {
    QList<LineOffer> offers;
    offers.reserve(rows.size());
    for (const QStringList& row : rows) {
        if (blankRow(row))
            continue;
        const QString currency = cell(row, 5);
        const OfferSource source = currency == QLatin1String(kOwnPriceCurrency) ? OfferSource::Own : OfferSource::Shop;
        offers.append(
            {{cell(row, 0), cell(row, 1), cell(row, 2)}, ReadOffer(source, cell(row, 3), cell(row, 4), currency)});
    }
    return offers;
}

QList<LineOffer> OffersFromAnalysisRows(const QList<QStringList>& rows) {
    QList<LineOffer> offers;
    offers.reserve(rows.size());
    std::optional<LineText> line;
    for (const QStringList& row : rows) {
        if (blankRow(row))
            continue;
        if (cell(row, 0) == QLatin1String("+")) {
            line = LineText{cell(row, 1), cell(row, 2), cell(row, 3)};
            offers.append({*line, ReadOffer(OfferSource::Marketplace, cell(row, 4), cell(row, 5), cell(row, 6))});
        } else if (line) {
            offers.append({*line, ReadOffer(OfferSource::Marketplace, cell(row, 4), cell(row, 7), cell(row, 8))});
        }
    }
    return offers;
}

BestOffersSettings ReadBestOffersSettings(const QString& thresholdPercent, const QString& ownCurrency) {
    BestOffersSettings settings;
    // Percent in hundredths are basis points.
    if (const std::optional<qint64> threshold = ParseDecimalHundredths(thresholdPercent);
        threshold && *threshold <= 10000)
        settings.undercutBasisPoints = *threshold;
    if (const QString currency = CurrencyCode(ownCurrency); !currency.isEmpty())
        settings.homeCurrency = currency;
    return settings;
}

QString OfferCurrency(const Offer& offer, const BestOffersSettings& settings) {
    return offer.money->currency.isEmpty() && offer.source == OfferSource::Own ? settings.homeCurrency
                                                                               : offer.money->currency;
}

qint64 ChangeBasisPoints(qint64 from, qint64 to) {
    const qint64 scaled = (to - from) * 10000;
    qint64 quotient = scaled / from;
    const qint64 rest = scaled % from;
    if (2 * std::llabs(rest) >= std::llabs(from))
        quotient += (scaled < 0) != (from < 0) ? -1 : 1;
    return quotient;
}

std::optional<qint64> BestShopPrice(const QList<Offer>& offers, const BestOffersSettings& settings) {
    std::optional<qint64> best;
    for (const Offer& offer : offers)
        if (offer.source == OfferSource::Shop && offer.money && offer.money->currency == settings.homeCurrency &&
            (!best || offer.money->minor < *best))
            best = offer.money->minor;
    return best;
}

LineSummary SummarizeLine(const QString& key, const LineText& text, const QList<Offer>& offers,
                          const QList<Offer>& previousOffers, const BestOffersSettings& settings) {
    LineSummary line;
    line.key = key;
    line.text = text;
    line.currency = settings.homeCurrency;
    QList<qint64> market;
    std::map<QString, CurrencyOffers> others;
    for (const Offer& offer : offers) {
        if (!offer.money) {
            ++line.unreadable;
            continue;
        }
        const qint64 price = offer.money->minor;
        const QString currency = OfferCurrency(offer, settings);
        if (currency != settings.homeCurrency) {
            CurrencyOffers& other = others[currency];
            other.currency = currency;
            other.lowest = other.offers == 0 ? price : std::min(other.lowest, price);
            ++other.offers;
            continue;
        }
        switch (offer.source) {
        case OfferSource::Own:
            if (better(price, offer.seller, line.ownPrice, line.ownFile)) {
                line.ownPrice = price;
                line.ownFile = offer.seller;
            }
            break;
        case OfferSource::Shop:
            ++line.shopOffers;
            if (line.bestShop && price == *line.bestShop)
                ++line.bestShopTies;
            else if (!line.bestShop || price < *line.bestShop)
                line.bestShopTies = 1;
            if (better(price, offer.seller, line.bestShop, line.bestShopSeller)) {
                line.bestShop = price;
                line.bestShopSeller = offer.seller;
            }
            break;
        case OfferSource::Marketplace:
            market.append(price);
            break;
        }
    }
    for (const auto& [currency, other] : others)
        line.otherCurrencies.append(other);

    line.marketOffers = int(market.size());
    if (!market.isEmpty()) {
        std::sort(market.begin(), market.end());
        const qsizetype middle = market.size() / 2;
        line.marketLowest = market.front();
        line.marketHighest = market.back();
        line.marketMedian = market.size() % 2 ? market[middle] : (market[middle - 1] + market[middle] + 1) / 2;
    }
    if (line.ownPrice && line.bestShop && *line.ownPrice > 0) {
        line.marginBasisPoints = ChangeBasisPoints(*line.ownPrice, *line.bestShop);
        const qint64 threshold = std::clamp<qint64>(settings.undercutBasisPoints, 0, 10000);
        line.undercut = (*line.ownPrice - *line.bestShop) * 10000 > threshold * *line.ownPrice;
    }
    line.previousBest = BestShopPrice(previousOffers, settings);
    if (line.previousBest && line.bestShop && *line.previousBest > 0)
        line.changeBasisPoints = ChangeBasisPoints(*line.previousBest, *line.bestShop);
    return line;
}

LineChart ChartOfLine(const QList<RunOffers>& runs, const BestOffersSettings& settings) {
    QList<const RunOffers*> ordered;
    for (const RunOffers& run : runs)
        ordered.append(&run);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const RunOffers* a, const RunOffers* b) { return a->when < b->when; });
    LineChart chart;
    chart.currency = settings.homeCurrency;
    for (const RunOffers* run : ordered) {
        const LineSummary line = SummarizeLine({}, {}, run->offers, {}, settings);
        if (line.ownPrice)
            chart.own.append({run->when, *line.ownPrice, line.ownFile});
        if (line.bestShop)
            chart.bestShop.append({run->when, *line.bestShop, line.bestShopSeller});
        if (line.marketMedian)
            chart.marketMedian.append({run->when, *line.marketMedian,
                                       QStringLiteral("median of %1 e-platform offers").arg(line.marketOffers)});
    }
    return chart;
}
