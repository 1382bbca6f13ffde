#pragma once

#include "catalog/producttable.h"
#include "service/decoder.h"
#include "service/records.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

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
QString productLineText(const ProductRow& row);
// The detail lines of a row as the tree shows them, "1. Brand: …" to "4. Terms of use: …"; the
// last two only when not blank. Their numbers keep them in order under any sort.
QStringList productTreeDetails(const ProductRow& row);
// How many detail lines a row has.
int productDetailCount(const ProductRow& row);
// Product lines with their detail lines, products and details each sorted by the locale-aware,
// case-sensitive comparison; ties keep table order.
QList<TreeLine> productTreeLines(const ProductRows& rows);
// Numbers of rows in the order of their product lines as the tree shows them: locale-aware,
// case-sensitive; ties keep the order given. The order is found as far as it is asked for: the
// first lines of a long list show before the rest is sorted, and a line further on costs the part
// of the list around it; however the lines fall, finding all of them costs a few whole sorts at
// most. Copies share the order and what is found of it, and the rows whose lines
// they order; used by one thread at a time.
class ProductLineOrder {
public:
    ProductLineOrder() = default;
    // Rows already in order.
    ProductLineOrder(QList<qsizetype> rows); // NOLINT: a list in order is an order
    // These rows, each holding a product, to be put in the order of their product lines.
    ProductLineOrder(const ProductRows& rows, QList<qsizetype> chosen);

    qsizetype size() const;
    bool isEmpty() const { return size() == 0; }
    // The row at this position of the order.
    qsizetype at(qsizetype position) const;
    // Whether every row is in its place: toList() then costs nothing.
    bool isWhole() const;
    // Every row in order.
    QList<qsizetype> toList() const;
    // The same rows, sharing nothing of this order, for another thread to put in order.
    ProductLineOrder detached() const;

private:
    struct Found;
    std::shared_ptr<Found> m_found;
};

// The chosen rows that hold a product, in the order of their product lines.
ProductLineOrder productLineOrder(const ProductRows& rows, const QList<qsizetype>& chosen);

// The rows of a product answer's records; the rows view the answer the records came with.
ProductRows productsFromAnswer(const Decoded<TArticleRec>& records);
ProductRows productsFromAnswer(const Decoded<TNameSearchRec>& records);
ProductRows productsFromAnswer(const Decoded<TCrossSearchRec>& records);

// Whether a brand passes the necessary brands: found as "[brand]", letter case counting. An empty
// list lets every brand pass.
bool passesNecessaryBrands(const QString& brand, const QString& necessaryBrands);

// The rows of a listing: a product whose brand the necessary brands leave out gets an empty row
// at its place. `hidden` tells whether any was left out. An empty list of brands lets all pass.
ProductRows applyNecessaryBrands(const ProductRows& products, const QString& necessaryBrands, bool* hidden = nullptr);

// Whether a product row holds `loweredText` in one of its six listed fields, lower-cased.
bool productMatchesFilter(const ProductRow& row, const QString& loweredText);

// The lines of ListProducts.txt: one block per product row, empty rows left out.
QStringList productListFileLines(const ProductRows& rows);
