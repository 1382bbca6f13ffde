#include "pricelists/ownpricetable.h"

#include <algorithm>

namespace {

// Keys hold only "0"-"9" and "A"-"Z", so ignoring case changes nothing for well-formed keys; it
// keeps the order the regeneration promises for any key a reader might hand in.
bool keyLess(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

} // namespace

void OwnPriceTable::Empty() {
    std::vector<TVarItemData>().swap(m_rows);
}

void OwnPriceTable::Add(const QString& key, TVarItemData row) {
    row.freereference = key;
    m_rows.push_back(std::move(row));
}

void OwnPriceTable::Sort() {
    std::sort(m_rows.begin(), m_rows.end(),
              [](const TVarItemData& a, const TVarItemData& b) { return keyLess(a.freereference, b.freereference); });
}

std::optional<QList<TVarItemData>> FindOwnPrices(const OwnPriceTable& table, const QString& key, const QString& brand,
                                                 const std::function<bool()>& stopRequested) {
    const auto& rows = table.m_rows;
    auto it = std::lower_bound(rows.begin(), rows.end(), key,
                               [](const TVarItemData& r, const QString& k) { return keyLess(r.freereference, k); });
    QList<TVarItemData> matches;
    const QString wanted = brand.toUpper();
    for (; it != rows.end(); ++it) {
        if (stopRequested && stopRequested())
            return std::nullopt;
        const int order = it->freereference.compare(key, Qt::CaseInsensitive);
        if (order > 0)
            break;
        if (order == 0 && it->freereference == key && it->brand.toUpper() == wanted)
            matches.append(*it);
    }
    return matches;
}
