#include "pricing/sitelists.h"

#include "platform/textfile.h"
#include "pricing/pricereadings.h"
#include "service/textfunctions.h"

namespace {

const QString kNoAnswer = QStringLiteral("Not got answer from server. Try again later");

QString bracketed(const QString& id) {
    return QLatin1Char('[') + id + QLatin1Char(']');
}

QString contactAddress(const QString& siteUrl, const QStringList& messageParts, const QString& email) {
    return PathEncode(siteUrl + QLatin1String("/contact-us?message=") + messageParts.join(QLatin1Char('\r')) +
                      QLatin1String("&from=") + email + QLatin1String("&id_contact=1"));
}

} // namespace

QStringList SiteListEntries(const QString& answer, const QString& service) {
    QStringList entries;
    if (IsBlank(answer))
        return entries;
    const bool shops = service == QLatin1String(kComparePriceService);
    for (const QString& line : TextFile::splitLines(answer)) {
        if (line.isEmpty())
            continue;
        const qsizetype semicolon = line.indexOf(QLatin1Char(';'));
        const QString id = semicolon < 0 ? QString() : line.left(semicolon);
        const QChar kind = line.back();
        if (kind == QLatin1Char('2') || (shops && kind == QLatin1Char('1')))
            entries << bracketed(id) + QLatin1String(" : ") +
                           TextBetween(line, QStringLiteral(";"), QStringLiteral(";"));
    }
    return entries;
}

QString SiteEntryId(const QString& entry) {
    return TextBetween(entry, QStringLiteral("["), QStringLiteral("]"));
}

bool SiteEntryChosen(const QString& entry, const QString& selection) {
    return selection.contains(bracketed(SiteEntryId(entry)));
}

QString SiteSelectionText(const QStringList& entries) {
    QString text;
    for (const QString& entry : entries)
        text += bracketed(SiteEntryId(entry));
    return text;
}

QStringList SiteIds(const QString& selection) {
    QStringList ids;
    QString rest = selection;
    while (rest.contains(QLatin1Char(']'))) {
        ids << TextBetween(rest, QStringLiteral("["), QStringLiteral("]"));
        rest = rest.mid(rest.indexOf(QLatin1Char(']')) + 1);
    }
    return ids;
}

QString AccountCheckRequest(const QString& service, const QString& email, const QString& seccode) {
    return QLatin1String("get?service=") + service + QLatin1String("&email=") + Trim(email) +
           QLatin1String("&seccode=") + Trim(seccode) + QLatin1String("&site=44&brand=TRW&part=GDB1385");
}

QString AccountStatusMessage(const QString& email, const QString& answer) {
    if (answer.isEmpty())
        return kNoAnswer;
    return QLatin1String("Your email [") + Trim(email) + QLatin1String("] have status registaration : ") +
           TextBetween(answer, QStringLiteral("\"statusText\" : \""), QStringLiteral("\""));
}

QString CatalogStatusMessage(const QString& email, const QString& answer) {
    if (answer.isEmpty())
        return kNoAnswer;
    return QLatin1String("Your email [") + Trim(email) + QLatin1String("] is registered for use WebService. ") +
           TextBetween(answer, QStringLiteral("\"statusText\": \""), QStringLiteral("\""));
}

QString NewShopRequestAddress(const QString& siteUrl, const QString& email) {
    const QString dashes(22, QLatin1Char('-'));
    return contactAddress(siteUrl,
                          {QStringLiteral("REQUEST FOR FREE ADD NEW SITE IN LIST FOR COMPARE PRICES"), dashes,
                           QStringLiteral("Enter url-link = "),
                           QStringLiteral(" ... for site which need add for possible compare prices. "), dashes,
                           QStringLiteral("The answer about the possibility of adding necessary shop you will receive "
                                          "after checking and testing for 1-3 days")},
                          email);
}

QString NewPlatformRequestAddress(const QString& siteUrl, const QString& email) {
    const QString dashes(22, QLatin1Char('-'));
    return contactAddress(siteUrl,
                          {QStringLiteral("REQUEST FOR FREE ADD NEW E-PLATAFORM IN LIST FOR ANALIZATION PRICES"),
                           dashes, QStringLiteral("Enter url-link = "),
                           QStringLiteral(" ... for e-platform which need add for possible analization prices. "),
                           dashes,
                           QStringLiteral("The answer about the possibility of adding necessary e-platform you will "
                                          "receive after checking and testing for 2-5 days")},
                          email);
}
