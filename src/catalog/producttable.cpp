#include "catalog/producttable.h"

#include <utility>

qsizetype ProductTable::rowOf(int artid) const {
    for (qsizetype i = 0; i < m_rows.size(); ++i)
        if (m_rows.at(i).artid == artid)
            return i;
    return -1;
}

std::optional<ProductRecord> ProductTable::find(int artid) const {
    const qsizetype i = rowOf(artid);
    if (i < 0)
        return std::nullopt;
    ProductRecord row = m_rows.at(i);
    const auto details = m_details.constFind(i);
    if (details != m_details.constEnd()) {
        if (details->crossreference)
            row.crossreference = *details->crossreference;
        if (details->aplicability)
            row.aplicability = *details->aplicability;
    }
    return row;
}

void ProductTable::replace(QList<ProductRecord> rows) {
    m_rows = std::move(rows);
    m_details.clear();
}

void ProductTable::setDetails(int artid, const ProductDetails& details) {
    const qsizetype i = rowOf(artid);
    if (i < 0)
        return;
    ProductDetails& kept = m_details[i];
    if (details.crossreference)
        kept.crossreference = details.crossreference;
    if (details.aplicability)
        kept.aplicability = details.aplicability;
}
