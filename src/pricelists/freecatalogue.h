#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The vendor's catalogue of free price lists: one entry per line, its values between tags
// ("<url>...</url>", "<email>...</email>", ...), each pair taken at its first occurrence.

inline constexpr const char* kFreeCataloguePath = "/services/apps/velmora/freepricelists.txt";

// The value of one tag pair ("url", "email", ...) of an entry or list item; empty when missing.
QString CatalogueTag(const QString& entry, const QString& tag);
// The list item of an entry: country, a tab, e-mail, a tab and the whole line.
QString CatalogueItem(const QString& line);
// The items of an answer body, one per line (CR LF, LF or CR), empty lines included.
QStringList CatalogueItems(const QByteArray& body);

// What the list shows of an item: country, e-mail of the company and the linked file's name,
// tab-separated; the item's text with its tags stays the data.
QString CatalogueShownText(const QString& item);

// The question before a link is tried in the browser.
QString TestLinkQuestion(const QString& item);
// The column-name box's text with "[" + value + "]" appended unless it is there already;
// `value` is the entry's title, lower-cased, and is left alone when blank.
QString WithColumnTitle(const QString& boxText, const QString& title);
// The contact page, prefilled with the request to list the user's own price list.
QString ListingRequestAddress(const QString& siteUrl, const QString& fromEmail);
