#include "catalog/treetext.h"

#include "platform/localeformats.h"
#include "service/textfunctions.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <numeric>
#include <optional>

namespace {

const QString kDetailIndent = QStringLiteral("\t\t");

QCollator productCollator() {
    QCollator collator{QLocale::system()};
    collator.setCaseSensitivity(Qt::CaseSensitive);
    return collator;
}

// The collator's keys order exactly as its comparison does, and comparing keys is far cheaper
// than comparing texts again for every step of the sort.
std::vector<qsizetype> stableOrder(const std::vector<QCollatorSortKey>& keys) {
    std::vector<qsizetype> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return keys[a].compare(keys[b]) < 0; });
    return order;
}

void sortByCaption(QList<TreeLine>::iterator first, QList<TreeLine>::iterator last, const QCollator& collator) {
    const auto count = std::distance(first, last);
    if (count < 2)
        return;
    std::vector<QCollatorSortKey> keys;
    keys.reserve(count);
    for (auto it = first; it != last; ++it)
        keys.push_back(collator.sortKey(it->caption));
    QList<TreeLine> sorted;
    sorted.reserve(count);
    for (qsizetype i : stableOrder(keys))
        sorted.append(std::move(first[i]));
    std::move(sorted.begin(), sorted.end(), first);
}

} // namespace

namespace {
bool isCaptionBreak(QChar c) {
    return c == u'\t' || c == u'\r' || c == u'\n';
}

// captionText on a line being built: the line is only rewritten when it holds a break.
void makeCaptionText(QString& line) {
    if (std::none_of(line.cbegin(), line.cend(), isCaptionBreak))
        return;
    QChar* const first = line.data();
    const qsizetype size = line.size();
    qsizetype kept = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = first[i];
        if (c == u'\r' && i + 1 < size && first[i + 1] == u'\n')
            continue; // CR LF is one line break
        first[kept++] = isCaptionBreak(c) ? QChar(u' ') : c;
    }
    line.truncate(kept);
}

// The product line written into `line`, whose room is kept from the line before.
void writeProductLine(const ProductRecord& row, QString& line) {
    line.resize(0);
    line.append(row.name).append(u" [").append(row.status).append(u"] ").append(row.brand).append(u' ');
    line.append(row.reference);
    if (!IsBlank(row.termsofuse))
        line.append(u" (").append(row.termsofuse).append(u')');
}
} // namespace

QString captionText(const QString& caption) {
    QString shown = caption;
    makeCaptionText(shown);
    return shown;
}

QString treeLinesError(const QList<TreeLine>& lines) {
    int level = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const TreeLine& line = lines.at(i);
        if (i > 0 && line.depth > level + 1)
            return QStringLiteral("Cannot place tree line at depth %1 under a node of depth %2: \"%3\"")
                .arg(line.depth)
                .arg(level)
                .arg(captionText(line.caption));
        level = i == 0 ? 0 : std::max(line.depth, 0);
    }
    return {};
}

int categoryStrType(TreeKind kind, int vehicleClass) {
    switch (kind) {
    case TreeKind::Engine:
        return 3;
    case TreeKind::Axle:
        return 5;
    case TreeKind::SelectedType:
        break;
    }
    return vehicleClass == 2 ? 2 : 1;
}

QList<TreeLine> categoryTreeLines(const QList<TCategoryRec>& records) {
    QList<TreeLine> lines;
    lines.reserve(records.size());
    for (const TCategoryRec& r : records) {
        switch (r.level) {
        case 1:
            lines.append({0, captionText(r.text1), r.id1});
            break;
        case 2:
            lines.append({1, captionText(r.text2), r.id2});
            break;
        case 3:
            lines.append({2, captionText(r.text3), r.id3});
            break;
        case 4:
            lines.append({3, captionText(r.text4), r.id4});
            break;
        case 5:
            lines.append({4, captionText(r.text5), r.id5});
            break;
        default:
            break;
        }
    }
    return lines;
}

QList<TreeLine> tradeGroupLines(const QList<TTradeGroupRec>& records) {
    QList<TreeLine> lines;
    lines.reserve(records.size() * 2);
    QString lastAssembly;
    for (const TTradeGroupRec& r : records) {
        if (r.gaassembly != lastAssembly) {
            lines.append({0, captionText(r.gaassembly), 0});
            lastAssembly = r.gaassembly;
        }
        lines.append({1, captionText(r.ganame), r.gaid});
    }
    return lines;
}

QString productLineText(const ProductRecord& row) {
    QString line;
    writeProductLine(row, line);
    return line;
}

QStringList productTreeDetails(const ProductRecord& row) {
    QStringList lines{captionText(QStringLiteral("1. Brand: ") + row.brand),
                      captionText(QStringLiteral("2. Reference: ") + row.reference)};
    if (!IsBlank(row.criteries))
        lines.append(captionText(QStringLiteral("3. Criteries: ") + row.criteries));
    if (!IsBlank(row.termsofuse))
        lines.append(captionText(QStringLiteral("4. Terms of use: ") + row.termsofuse));
    return lines;
}

QList<TreeLine> productTreeLines(const QList<ProductRecord>& rows) {
    QCollator collator = productCollator();

    // Products are sorted as whole blocks, so each keeps its details beneath it.
    struct Block {
        qsizetype first;
        qsizetype count;
    };
    QList<TreeLine> lines;
    lines.reserve(rows.size() * 4);
    std::vector<Block> blocks;
    blocks.reserve(rows.size());
    for (const ProductRecord& row : rows) {
        const qsizetype first = lines.size();
        lines.append({0, captionText(productLineText(row)), row.artid});
        for (const QString& detail : productTreeDetails(row))
            lines.append({1, detail, 0});
        sortByCaption(lines.begin() + first + 1, lines.end(), collator);
        blocks.push_back({first, lines.size() - first});
    }

    std::vector<QCollatorSortKey> keys;
    keys.reserve(blocks.size());
    for (const Block& b : blocks)
        keys.push_back(collator.sortKey(lines.at(b.first).caption));
    const std::vector<qsizetype> order = stableOrder(keys);

    QList<TreeLine> sorted;
    sorted.reserve(lines.size());
    for (qsizetype i : order) {
        const Block& b = blocks[i];
        for (qsizetype k = 0; k < b.count; ++k)
            sorted.append(std::move(lines[b.first + k]));
    }
    return sorted;
}

QList<qsizetype> productLineOrder(const QList<ProductRecord>& rows, QList<qsizetype> chosen) {
    // Making the keys is most of the work. A long list is keyed and sorted in two halves, each
    // on its own thread with its own collator (one is not to be shared between threads); in the
    // merge the first half wins ties, so the order is that of one stable sort.
    const qsizetype count = chosen.size();
    std::vector<std::optional<QCollatorSortKey>> keys(count);
    const auto before = [&keys](qsizetype a, qsizetype b) { return keys[a]->compare(*keys[b]) < 0; };
    std::vector<qsizetype> order(count);
    std::iota(order.begin(), order.end(), 0);
    const bool halves = inTwoHalves(count, kTwoHalvesFrom, [&](qsizetype from, qsizetype to) {
        const QCollator collator = productCollator();
        QString line;
        for (qsizetype i = from; i < to; ++i) {
            writeProductLine(rows.at(chosen.at(i)), line);
            makeCaptionText(line);
            keys[i].emplace(collator.sortKey(line));
        }
        std::stable_sort(order.begin() + from, order.begin() + to, before);
    });
    if (halves) {
        const auto half = order.begin() + count / 2;
        std::vector<qsizetype> merged(count);
        std::merge(order.begin(), half, half, order.end(), merged.begin(), before);
        order = std::move(merged);
        inTwoHalves(count, kTwoHalvesFrom, [&keys](qsizetype from, qsizetype to) {
            std::fill(keys.begin() + from, keys.begin() + to, std::nullopt);
        });
    }
    QList<qsizetype> sorted;
    sorted.reserve(count);
    for (qsizetype i : order)
        sorted.append(chosen.at(i));
    return sorted;
}

QString ProductNameJoiner::operator()(const QString& name, const QString& additional) {
    const auto bits = [](const QChar* p) { return quintptr(p) >> 4; };
    Entry& entry = m_entries[(bits(name.constData()) * 31 + bits(additional.constData())) % m_entries.size()];
    const auto same = [](const QString& kept, const QString& met) {
        return kept.constData() == met.constData() && kept.size() == met.size();
    };
    if (!entry.used || !same(entry.name, name) || !same(entry.additional, additional))
        entry = {name, additional, Trim(name + QLatin1Char(' ') + additional), true};
    return entry.joined;
}

namespace {
// The fields every product answer shares.
template <class Rec> ProductRecord commonProductFields(Rec& r, ProductNameJoiner& names) {
    ProductRecord p;
    p.artid = r.artid;
    p.braid = r.braid;
    p.brand = std::move(r.brand);
    p.reference = std::move(r.reference);
    p.name = names(r.name, r.additionalforname);
    p.status = std::move(r.status);
    p.criteries = std::move(r.criteries);
    return p;
}
} // namespace

ProductRecord productFromAnswer(TArticleRec r, ProductNameJoiner& names) {
    ProductRecord p = commonProductFields(r, names);
    p.laid = r.laid;
    p.termsofuse = std::move(r.termsofuse);
    return p;
}

ProductRecord productFromAnswer(TNameSearchRec r, ProductNameJoiner& names) {
    ProductRecord p = commonProductFields(r, names);
    p.termsofuse = std::move(r.termsofuse);
    return p;
}

// Cross-reference products carry no terms of use.
ProductRecord productFromAnswer(TCrossSearchRec r, ProductNameJoiner& names) {
    return commonProductFields(r, names);
}

bool passesNecessaryBrands(const QString& brand, const QString& necessaryBrands) {
    return necessaryBrands.isEmpty() ||
           necessaryBrands.contains(QLatin1Char('[') + brand + QLatin1Char(']'), Qt::CaseSensitive);
}

QList<ProductRecord> applyNecessaryBrands(const QList<ProductRecord>& products, const QString& necessaryBrands,
                                          bool* hidden) {
    if (necessaryBrands.isEmpty()) {
        if (hidden)
            *hidden = false;
        return products; // shared, not copied
    }
    bool anyHidden = false;
    QList<ProductRecord> rows;
    rows.reserve(products.size());
    for (const ProductRecord& p : products) {
        if (!passesNecessaryBrands(p.brand, necessaryBrands)) {
            rows.append(ProductRecord{});
            anyHidden = true;
        } else {
            rows.append(p);
        }
    }
    if (hidden)
        *hidden = anyHidden;
    return rows;
}

bool productMatchesFilter(const ProductRecord& row, const QString& loweredText) {
    if (row.artid < 1)
        return false;
    for (const QString* field : {&row.brand, &row.reference, &row.name, &row.status, &row.criteries, &row.termsofuse})
        if (LocaleFormats::toLower(*field).contains(loweredText))
            return true;
    return false;
}

QStringList productListFileLines(const QList<ProductRecord>& rows) {
    QStringList lines;
    for (const ProductRecord& row : rows) {
        if (row.artid == 0)
            continue;
        const QString p = QLatin1Char('[') + row.brand + QLatin1Char(' ') + row.reference + QLatin1Char(']');
        lines << p + QStringLiteral("  Name: ") + row.name;
        lines << p + kDetailIndent + QStringLiteral("Brand: ") + row.brand;
        lines << p + kDetailIndent + QStringLiteral("Reference: ") + row.reference;
        lines << p + kDetailIndent + QStringLiteral("Status: ") + row.status;
        if (!IsBlank(row.criteries))
            lines << p + kDetailIndent + QStringLiteral("Criteries: ") + row.criteries;
        if (!IsBlank(row.termsofuse))
            lines << p + kDetailIndent + QStringLiteral("Terms Of use: ") + row.termsofuse;
        lines << QStringLiteral("  ");
    }
    return lines;
}
