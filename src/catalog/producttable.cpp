#include "catalog/producttable.h"

#include <utility>

std::optional<ProductRecord> ProductTable::find(int artid) const {
    for (const ProductRecord& row : m_rows)
        if (row.artid == artid)
            return row;
    return std::nullopt;
}

void ProductTable::replace(QList<ProductRecord> rows) {
    m_rows = std::move(rows);
}

void ProductTable::clear() {
    m_rows.clear();
}

void ProductTable::setDetails(int artid, const ProductDetails& details) {
    for (ProductRecord& row : m_rows) {
        if (row.artid != artid)
            continue;
        if (details.crossreference)
            row.crossreference = *details.crossreference;
        if (details.aplicability)
            row.aplicability = *details.aplicability;
        return;
    }
}
