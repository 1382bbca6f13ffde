#include "catalog/producttable.h"

ProductRecord* ProductTable::find(int artid) {
    for (ProductRecord& row : m_rows)
        if (row.artid == artid)
            return &row;
    return nullptr;
}
