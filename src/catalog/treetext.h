#pragma once

#include "catalog/producttable.h"
#include "platform/worker.h"
#include "service/records.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <utility>

// One node of a tree as the program writes it: the depth it gives the node (0 for a root), the
// caption and the node's data value. The depth is never read back from the caption, so a caption
// that begins with blanks or holds tabs cannot move its node.
struct TreeLine {
    int depth = 0;
    QString caption;
    int data = 0;

    bool operator==(const TreeLine&) const = default;
};

// A caption as a tree shows it: every tab and every line break (CR LF, CR or LF) becomes one blank.
QString captionText(const QString& caption);

// Why lines cannot be loaded: a line more than one level deeper than the node before it. Empty
// when they can. The first line always makes a root.
QString treeLinesError(const QList<TreeLine>& lines);

// The kind of category tree the radio buttons choose.
enum class TreeKind { SelectedType, Engine, Axle };
// The strtype value of the category tree request; vehicleClass 2 is trucks.
int categoryStrType(TreeKind kind, int vehicleClass);

// One line per record of level 1 to 5: the text and id of that level, at depth level - 1.
QList<TreeLine> categoryTreeLines(const QList<TCategoryRec>& records);
// Groups under an assembly node (data 0) that is repeated whenever the assembly changes.
QList<TreeLine> tradeGroupLines(const QList<TTradeGroupRec>& records);

// The product line of a row: name, status, brand, reference and terms of use.
QString productLineText(const ProductRecord& row);
// The detail lines of a row as the tree shows them, "1. Brand: …" to "4. Terms of use: …"; the
// last two only when not blank. Their numbers keep them in order under any sort.
QStringList productTreeDetails(const ProductRecord& row);
// Product lines with their detail lines, products and details each sorted by the locale-aware,
// case-sensitive comparison; ties keep table order.
QList<TreeLine> productTreeLines(const QList<ProductRecord>& rows);
// The numbers of the chosen rows in the order of their product lines as the tree shows them:
// locale-aware, case-sensitive; ties keep the order given.
QList<qsizetype> productLineOrder(const QList<ProductRecord>& rows, QList<qsizetype> chosen);

// Joins a product's name and its addition, blanks trimmed. Answers repeat both, and the decoder
// hands out one shared string per repeated value, so a pair met before is found by the strings'
// identity and joined once. An entry holds its strings, so their memory cannot be taken over by
// other texts while the entry stands.
class ProductNameJoiner {
public:
    QString operator()(const QString& name, const QString& additional);

private:
    struct Entry {
        QString name;
        QString additional;
        QString joined;
        bool used = false;
    };
    std::array<Entry, 64> m_entries;
};

// A record passed as a temporary gives its texts to the row.
ProductRecord productFromAnswer(TArticleRec record, ProductNameJoiner& names);
ProductRecord productFromAnswer(TNameSearchRec record, ProductNameJoiner& names);
ProductRecord productFromAnswer(TCrossSearchRec record, ProductNameJoiner& names);

// Lists at least this long are converted and sorted in two halves at once.
inline constexpr qsizetype kTwoHalvesFrom = 5000;

// Moves the texts out of records no one else holds; shared ones are copied.
template <class Rec> QList<ProductRecord> productsFromAnswer(QList<Rec> records) {
    QList<ProductRecord> products(records.size());
    ProductRecord* const out = products.data();
    Rec* const in = records.data();
    inTwoHalves(records.size(), kTwoHalvesFrom, [out, in](qsizetype from, qsizetype to) {
        ProductNameJoiner names;
        for (qsizetype i = from; i < to; ++i)
            out[i] = productFromAnswer(std::move(in[i]), names);
    });
    return products;
}

// Whether a brand passes the necessary brands: found as "[brand]", letter case counting. An empty
// list lets every brand pass.
bool passesNecessaryBrands(const QString& brand, const QString& necessaryBrands);

// The rows of a listing: a product whose brand the necessary brands leave out gets an empty row
// at its place. `hidden` tells whether any was left out. An empty list of brands lets all pass.
QList<ProductRecord> applyNecessaryBrands(const QList<ProductRecord>& products, const QString& necessaryBrands,
                                          bool* hidden = nullptr);

// Whether a product row holds `loweredText` in one of its six listed fields, lower-cased.
bool productMatchesFilter(const ProductRecord& row, const QString& loweredText);

// The lines of ListProducts.txt: one block per product row, empty rows left out.
QStringList productListFileLines(const QList<ProductRecord>& rows);
