#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

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

// What the product information panel fetched for a product; an empty optional leaves the row's
// value as it is.
struct ProductDetails {
    std::optional<QString> crossreference;
    std::optional<QString> aplicability;
};

// The rows of the current list, row i for answer record i. One writer each: a new listing
// replaces the rows, the product information panel adds details; everyone else reads.
class ProductTable {
public:
    // The rows as listed. They are shared with the product tree, so they never change in place:
    // the fetched details live beside them and come with find().
    const QList<ProductRecord>& rows() const { return m_rows; }
    // A copy of the first row whose artid equals the id, with its fetched details, so nothing
    // dangles when a new listing replaces the rows; none when there is none.
    std::optional<ProductRecord> find(int artid) const;

    void replace(QList<ProductRecord> rows);
    // Puts the details into the first row whose artid equals the id; no row, no change.
    void setDetails(int artid, const ProductDetails& details);

private:
    qsizetype rowOf(int artid) const;

    QList<ProductRecord> m_rows;
    QHash<qsizetype, ProductDetails> m_details;
};
