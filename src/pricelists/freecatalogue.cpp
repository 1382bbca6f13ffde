#include "pricelists/freecatalogue.h"

#include "pricelists/downloadnaming.h"
#include "service/textfunctions.h"

namespace {
const QChar kCr(u'\r');
}

QString CatalogueTag(const QString& entry, const QString& tag) {
    return TextBetween(entry, QLatin1Char('<') + tag + QLatin1Char('>'), QLatin1String("</") + tag + QLatin1Char('>'));
}

QString CatalogueItem(const QString& line) {
    return CatalogueTag(line, QStringLiteral("country")) + QLatin1Char('\t') +
           CatalogueTag(line, QStringLiteral("email")) + QLatin1Char('\t') + line;
}

QStringList CatalogueItems(const QByteArray& body) {
    const QString text = StreamToUtf8Text(body);
    QStringList items;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c != kCr && c != QLatin1Char('\n')) {
            ++i;
            continue;
        }
        items << CatalogueItem(text.mid(start, i - start));
        i += (c == kCr && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) ? 2 : 1;
        start = i;
    }
    if (start < text.size())
        items << CatalogueItem(text.mid(start));
    return items;
}

QString CatalogueShownText(const QString& item) {
    const QString path = SplitLink(CatalogueTag(item, QStringLiteral("url"))).pathAndQuery;
    const QString file = DecodePercentEscapes(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1));
    return CatalogueTag(item, QStringLiteral("country")) + QLatin1Char('\t') +
           CatalogueTag(item, QStringLiteral("email")) + QLatin1Char('\t') + file;
}

QString TestLinkQuestion(const QString& item) {
    return QStringLiteral("You want do test for link ?") + kCr + QStringLiteral("Country: ") +
           CatalogueTag(item, QStringLiteral("country")) + kCr + QStringLiteral("Email: ") +
           CatalogueTag(item, QStringLiteral("email")) + kCr + QStringLiteral("URL: ") +
           CatalogueTag(item, QStringLiteral("url"));
}

QString WithColumnTitle(const QString& boxText, const QString& title) {
    const QString value = title.toLower();
    if (IsBlank(value))
        return boxText;
    const QString entry = QLatin1Char('[') + value + QLatin1Char(']');
    return boxText.contains(entry) ? boxText : boxText + entry;
}

QString ListingRequestAddress(const QString& siteUrl, const QString& fromEmail) {
    const QString message =
        QStringList{QStringLiteral("ADD LINK ON MY PRICE LIST"),
                    QStringLiteral("----------------------"),
                    QStringLiteral("YOUR COUNTRY = "),
                    QStringLiteral("YOUR EMAIL FOR ORDER (if you not want share your email then this value you can "
                                   "miss) = "),
                    QStringLiteral("YOUR URL-LINK (OR FTP-LINK) ON FILE FOR ADD = "),
                    QStringLiteral("----------------------"),
                    QStringLiteral("The answer about the possibility of adding necessary link you will receive after "
                                   "checking and testing in 1-2 days")}
            .join(kCr);
    return PathEncode(siteUrl + QStringLiteral("/contact-us?message=") + message + QStringLiteral("&from=") +
                      fromEmail + QStringLiteral("&id_contact=1"));
}
