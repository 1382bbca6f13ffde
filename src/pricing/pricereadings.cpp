#include "pricing/pricereadings.h"

#include "platform/textfile.h"
#include "service/textfunctions.h"

namespace {

const QString kDelimiter = QStringLiteral("\" : \"");

// A field line starts with exactly this indent and the quoted key; the value is a quoted string.
bool readField(const QString& line, const QString& pattern, QString& value) {
    if (!line.startsWith(pattern))
        return false;
    value = TextBetween(line, kDelimiter, QStringLiteral("\""));
    return true;
}

QString pattern(int indent, const char* key) {
    return QString(indent, QLatin1Char(' ')) + QLatin1Char('"') + QLatin1String(key) + QLatin1Char('"');
}

// The opening and closing tag of an AnalysisLine part, built once: every analysis row reads five.
struct Tag {
    QString open;
    QString close;
    explicit Tag(const char* name)
        : open(QLatin1Char('<') + QLatin1String(name) + QLatin1Char('>')),
          close(QLatin1String("</") + QLatin1String(name) + QLatin1Char('>')) {}
};

QString tagged(const QString& line, const Tag& tag) {
    return TextBetween(line, tag.open, tag.close);
}

} // namespace

QString PriceRequestPath(const QString& service, const QString& email, const QString& seccode, const QString& brand,
                         const QString& part, const QString& site) {
    return QLatin1String("get?service=") + service + QLatin1String("&email=") + email + QLatin1String("&seccode=") +
           seccode + QLatin1String("&brand=") + EncodeBrand(brand) + QLatin1String("&part=") + PathEncode(part) +
           QLatin1String("&site=") + site;
}

QList<CompareOffer> ReadCompareAnswer(const QString& answer) {
    static const QString host = pattern(2, "host"), price = pattern(2, "price"), currency = pattern(2, "currency");
    QList<CompareOffer> offers;
    CompareOffer current;
    bool recordOpen = false;
    for (const QString& line : TextFile::splitLines(answer)) {
        if (line.contains(QLatin1Char('{'))) {
            current = {};
            recordOpen = true;
        }
        if (!readField(line, host, current.host) && !readField(line, price, current.price))
            readField(line, currency, current.currency);
        if ((line.startsWith(QLatin1Char('}')) || line.contains(QLatin1String("}]"))) && recordOpen) {
            offers << current;
            recordOpen = false;
        }
    }
    return offers;
}

QString AnalysisLine(const QString& flag, const QString& host, const QString& price, const QString& url,
                     const QString& currency) {
    return QLatin1String("<_MAIN>") + flag + QLatin1String("</_MAIN><_HOST>") + host +
           QLatin1String("</_HOST><_PRICE>") + price + QLatin1String("</_PRICE><_URL>") + url +
           QLatin1String("</_URL><_CURRENCY>") + currency + QLatin1String("</_CURRENCY>");
}

QStringList ReadAnalysisAnswer(const QString& answer, int maxrow) {
    static const QString mainHost = pattern(2, "host"), mainPrice = pattern(2, "price"), mainUrl = pattern(2, "URL"),
                         mainCurrency = pattern(2, "currency"), subHost = pattern(4, "host"),
                         subPrice = pattern(4, "price"), subUrl = pattern(4, "URL"),
                         subCurrency = pattern(4, "currency");
    QStringList lines;
    QString host, price, url, currency, flag;
    int counter = 0;
    for (const QString& line : TextFile::splitLines(answer)) {
        if (readField(line, mainHost, host)) {
            flag = QStringLiteral("+");
            counter = 0;
        }
        readField(line, mainPrice, price);
        readField(line, mainUrl, url);
        if (readField(line, mainCurrency, currency))
            lines << AnalysisLine(flag, host, price, url, currency);
        if (maxrow < counter)
            continue;
        if (readField(line, subHost, host))
            flag = QStringLiteral("-");
        if (readField(line, subPrice, price))
            ++counter;
        readField(line, subUrl, url);
        if (readField(line, subCurrency, currency))
            lines << AnalysisLine(flag, host, price, url, currency);
    }
    return lines;
}

QStringList CompareRowCells(const QString& brand, const QString& part, const QString& name, const CompareOffer& offer) {
    return {brand, part, name, offer.host, offer.price, offer.currency};
}

QMap<int, QString> AnalysisRowCells(const QString& analysisLine, const QString& brand, const QString& part,
                                    const QString& name) {
    static const Tag mainTag("_MAIN"), hostTag("_HOST"), priceTag("_PRICE"), urlTag("_URL"), currencyTag("_CURRENCY");
    const QString host = tagged(analysisLine, hostTag), price = tagged(analysisLine, priceTag),
                  url = tagged(analysisLine, urlTag), currency = tagged(analysisLine, currencyTag);
    if (tagged(analysisLine, mainTag) == QLatin1String("+"))
        return {
            {0, QStringLiteral("+")}, {1, brand}, {2, part}, {3, name}, {4, host}, {5, price}, {6, currency}, {9, url}};
    return {{4, host}, {7, price}, {8, currency}, {9, url}};
}
