#pragma once

#include <QList>
#include <QString>

// One row of the current product list. A row hidden by the necessary-brands filter stays empty
// (artid 0) and every reader skips it.
struct ProductRecord {
    int artid = 0;
    int braid = 0;
    int laid = 0;
    QString brand;
    QString reference;
    QString name;
    QString status;
    QString criteries;
    QString termsofuse;
    // Filled by the product information panel once fetched.
    QString crossreference;
    QString aplicability;
};

// The rows of the current list, row i for answer record i; replaced by each new listing.
class ProductTable {
public:
    QList<ProductRecord>& rows() { return m_rows; }
    const QList<ProductRecord>& rows() const { return m_rows; }
    // The first row whose artid equals the id; nullptr when there is none.
    ProductRecord* find(int artid);
    void clear() { m_rows.clear(); }

private:
    QList<ProductRecord> m_rows;
};
