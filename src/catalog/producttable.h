#pragma once

#include "service/records.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// One product as readers outside the listing see it, its texts made: a row of the table found
// by its artid. An empty row has artid 0.
struct ProductRecord {
    int artid = 0;
    int braid = 0;
    int laid = 0;
    QString brand;
    QString reference;
    // The answer's name and addition joined by one blank, trimmed.
    QString name;
    QString status;
    QString criteries;
    QString termsofuse;
    // Filled by the product information panel once fetched.
    QString crossreference;
    QString aplicability;
};

// One row of the current product list as the listing keeps it: the category answer's record,
// its texts still the answer's bytes (the name and its addition apart). Other answers' records
// become one with laid 0 and, from a cross-reference search, no terms of use. A row hidden by
// the necessary-brands filter stays empty (artid 0) and every reader skips it.
using ProductRow = TArticleRec;

// The name a row shows: its name and addition joined by one blank, trimmed.
QString productName(const ProductRow& row);
void appendProductName(const ProductRow& row, QString& text);
// The answer's bytes of that name: one part, or two that one blank joins (`second` not empty).
struct ProductNameBytes {
    QByteArrayView first;
    QByteArrayView second;
};
ProductNameBytes productNameBytes(const ProductRow& row);
// The row with its texts made.
ProductRecord productRecord(const ProductRow& row);

// The rows of a listing with the answers their texts view; copies share both. A row taken out
// and kept must not outlive the rows it came from: productRecord() makes one that can.
class ProductRows {
public:
    ProductRows() = default;
    ProductRows(QList<ProductRow> rows, QByteArray answer);
    // Rows of texts made elsewhere (tests, a list built by hand): their bytes are kept here.
    ProductRows(const QList<ProductRecord>& records); // NOLINT: a list of records is rows

    const QList<ProductRow>& rows() const { return m_rows; }
    qsizetype size() const { return m_rows.size(); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    const ProductRow& at(qsizetype i) const { return m_rows.at(i); }
    QList<ProductRow>::const_iterator begin() const { return m_rows.cbegin(); }
    QList<ProductRow>::const_iterator end() const { return m_rows.cend(); }
    // Other rows over the same answers (a choice or a filter of these).
    ProductRows withRows(QList<ProductRow> rows) const;
    // Every row with its texts made.
    QList<ProductRecord> records() const;

private:
    QList<ProductRow> m_rows;
    QList<QByteArray> m_answers;
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
    const ProductRows& rows() const { return m_rows; }
    // The first row whose artid equals the id, its texts made and its fetched details added, so
    // nothing dangles when a new listing replaces the rows; none when there is none.
    std::optional<ProductRecord> find(int artid) const;

    void replace(ProductRows rows);
    // Puts the details into the first row whose artid equals the id; no row, no change.
    void setDetails(int artid, const ProductDetails& details);

private:
    qsizetype rowOf(int artid) const;

    ProductRows m_rows;
    QHash<qsizetype, ProductDetails> m_details;
};
