#pragma once

#include <QString>
#include <QStringList>

// The entries "[id] : name" a price service offers from its "sites-list" answer (lines
// "id;name;kind"): the comparison service takes kinds 1 and 2, the analysis service kind 2.
QStringList SiteListEntries(const QString& answer, const QString& service);

// The id of an entry: the text between its first "[" and "]".
QString SiteEntryId(const QString& entry);
// Whether the selection text ("[12][44]") holds the entry's id in brackets.
bool SiteEntryChosen(const QString& entry, const QString& selection);
// The selection text of the given entries, in their order.
QString SiteSelectionText(const QStringList& entries);
// The ids of a selection text, in order ("[12][44]" -> 12, 44).
QStringList SiteIds(const QString& selection);

// The account check of a price service: an ordinary price request for a fixed sample product.
QString AccountCheckRequest(const QString& service, const QString& email, const QString& seccode);
// What the account check tells the user about the answer (empty answer: no answer).
QString AccountStatusMessage(const QString& email, const QString& answer);
QString CatalogStatusMessage(const QString& email, const QString& answer);

// The contact page address with a prefilled request for a new shop or e-platform, encoded whole.
QString NewShopRequestAddress(const QString& siteUrl, const QString& email);
QString NewPlatformRequestAddress(const QString& siteUrl, const QString& email);
