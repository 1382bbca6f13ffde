#pragma once

#include "service/records.h"

#include <QList>
#include <QString>
#include <QStringList>

struct ProductRecord;

// The texts of the product information panel, built from a product record and the catalog's
// answers; no widget involved.

inline constexpr const char* kInfoSeparator = "--------------";

// Brand, reference, name and status, then the criteria and terms of use when there are any.
QStringList productDetailLines(const ProductRecord& product);

// One line per brand ("brand : n1, n2"), brands compared ignoring case and kept in order of first
// appearance, the lines joined by CR LF and trimmed: the text kept in the record's cache.
QString groupCrossReferences(const QList<TCrossRefRec>& records);

// One line per vehicle type ("name [start - end]"), repeated lines (ignoring case) dropped, joined
// by CR LF and trimmed: the text kept in the record's cache.
QString distinctApplicability(const QList<TTypeRec>& records);

// The memo lines of a cached section; nothing for a blank cache.
QStringList crossReferenceSection(const QString& crossreference);
QStringList applicabilitySection(const QString& aplicability);

// Which picture of the selected product is shown. Browsing wraps around and is possible only
// when there is more than one picture.
class PictureCursor {
public:
    void reset(int count);
    int count() const { return m_count; }
    int shown() const { return m_shown; }
    bool canBrowse() const { return m_count > 1; }
    // The number to show after "next" / "previous"; unchanged when browsing is not possible.
    int next();
    int previous();
    // The 1-based picture a double click opens: the shown one while browsing, else the first.
    int openedNumber() const { return canBrowse() ? m_shown : 1; }

private:
    int m_count = 0;
    int m_shown = 1;
};
