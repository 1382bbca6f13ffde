#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

inline constexpr const char* kComparePriceService = "COMPAREPRICE";
inline constexpr const char* kAnalysisService = "EBAYANALIZ";

// The request path of one price question: e-mail and security code go as typed, the brand
// encoded with "&" as %26, the reference encoded (a slash stays a slash).
QString PriceRequestPath(const QString& service, const QString& email, const QString& seccode, const QString& brand,
                         const QString& part, const QString& site);

// One shop's offer from a comparison answer.
struct CompareOffer {
    QString host;
    QString price;
    QString currency;
    bool operator==(const CompareOffer&) const = default;
};

// The records of a comparison answer, one per record: a record ends at a line that starts with
// "}" or holds "}]". A closing line that follows no new "{" (the answer's own last brace) is no
// record of its own.
QList<CompareOffer> ReadCompareAnswer(const QString& answer);

// "<_MAIN>+</_MAIN><_HOST>…</_HOST><_PRICE>…</_PRICE><_URL>…</_URL><_CURRENCY>…</_CURRENCY>"
QString AnalysisLine(const QString& flag, const QString& host, const QString& price, const QString& url,
                     const QString& currency);

// The offers of an analysis answer as AnalysisLine texts: each main offer ("+") followed by at
// most `maxrow` of its sub-offers ("-").
QStringList ReadAnalysisAnswer(const QString& answer, int maxrow);

// The cells of a comparison table row for a line of the comparative list.
QStringList CompareRowCells(const QString& brand, const QString& part, const QString& name, const CompareOffer& offer);
// The cells of an analysis table row; column 10 (the row's own index) is left to the table.
QMap<int, QString> AnalysisRowCells(const QString& analysisLine, const QString& brand, const QString& part,
                                    const QString& name);
