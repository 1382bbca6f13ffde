#include "catalog/treetext.h"

#include "catalog/sortkeys.h"
#include "platform/localeformats.h"
#include "service/textfunctions.h"

#include <QHash>

#include <algorithm>
#include <bit>
#include <cstring>
#include <numeric>
#include <type_traits>

namespace {

const QString kDetailIndent = QStringLiteral("\t\t");

void sortByCaption(QList<TreeLine>::iterator first, QList<TreeLine>::iterator last) {
    const auto count = std::distance(first, last);
    if (count < 2)
        return;
    SortKeys keys;
    keys.reserve(count);
    for (auto it = first; it != last; ++it)
        keys.add(it->caption);
    QList<TreeLine> sorted;
    sorted.reserve(count);
    for (qsizetype i : keys.takeStableOrder())
        sorted.append(std::move(first[i]));
    std::move(sorted.begin(), sorted.end(), first);
}

} // namespace

namespace {
template <class Char> bool isCaptionBreak(Char c) {
    return c == u'\t' || c == u'\r' || c == u'\n';
}

// captionText on a line being built, as text or as UTF-8 (the breaks are ASCII in both): the
// line is only rewritten when it holds a break.
template <class Line> void makeCaptionText(Line& line) {
    using Char = std::remove_reference_t<decltype(*line.data())>;
    if (std::none_of(line.cbegin(), line.cend(), isCaptionBreak<Char>))
        return;
    Char* const first = line.data();
    const qsizetype size = line.size();
    qsizetype kept = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const Char c = first[i];
        if (c == u'\r' && i + 1 < size && first[i + 1] == u'\n')
            continue; // CR LF is one line break
        first[kept++] = isCaptionBreak(c) ? Char(u' ') : c;
    }
    line.truncate(kept);
}

// A product line is written as text, or as the answer's own bytes when they are valid UTF-8:
// the text made of them would give those bytes back.
void put(QString& line, QByteArrayView bytes) {
    AnswerText(bytes.data(), bytes.size()).appendTo(line);
}
void put(QByteArray& line, QByteArrayView bytes) {
    const qsizetype at = line.size();
    line.resize(at + bytes.size()); // within the room kept from the lines before
    if (!bytes.isEmpty())
        std::memcpy(line.data() + at, bytes.data(), std::size_t(bytes.size()));
}

// The product line written into `line`, whose room is kept from the line before.
template <class Line> void writeProductLine(const ProductRow& row, Line& line) {
    line.resize(0);
    const ProductNameBytes name = productNameBytes(row);
    put(line, name.first);
    if (!name.second.isEmpty()) {
        put(line, " ");
        put(line, name.second);
    }
    put(line, " [");
    put(line, row.status.bytes());
    put(line, "] ");
    put(line, row.brand.bytes());
    put(line, " ");
    put(line, row.reference.bytes());
    if (!row.termsofuse.isBlank()) {
        put(line, " (");
        put(line, row.termsofuse.bytes());
        put(line, ")");
    }
}

// A detail line: its caption and the value.
QString detailLine(QStringView caption, const AnswerText& value) {
    QString line = caption.toString();
    value.appendTo(line);
    makeCaptionText(line);
    return line;
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

QString productLineText(const ProductRow& row) {
    QString line;
    writeProductLine(row, line);
    return line;
}

QStringList productTreeDetails(const ProductRow& row) {
    QStringList lines{detailLine(u"1. Brand: ", row.brand), detailLine(u"2. Reference: ", row.reference)};
    if (!row.criteries.isBlank())
        lines.append(detailLine(u"3. Criteries: ", row.criteries));
    if (!row.termsofuse.isBlank())
        lines.append(detailLine(u"4. Terms of use: ", row.termsofuse));
    return lines;
}

int productDetailCount(const ProductRow& row) {
    return 2 + int(!row.criteries.isBlank()) + int(!row.termsofuse.isBlank());
}

QList<TreeLine> productTreeLines(const ProductRows& rows) {
    // Products are sorted as whole blocks, so each keeps its details beneath it.
    struct Block {
        qsizetype first;
        qsizetype count;
    };
    QList<TreeLine> lines;
    lines.reserve(rows.size() * 4);
    std::vector<Block> blocks;
    blocks.reserve(rows.size());
    for (const ProductRow& row : rows) {
        const qsizetype first = lines.size();
        lines.append({0, captionText(productLineText(row)), row.artid});
        for (const QString& detail : productTreeDetails(row))
            lines.append({1, detail, 0});
        sortByCaption(lines.begin() + first + 1, lines.end());
        blocks.push_back({first, lines.size() - first});
    }

    SortKeys keys;
    keys.reserve(qsizetype(blocks.size()));
    for (const Block& b : blocks)
        keys.add(lines.at(b.first).caption);

    QList<TreeLine> sorted;
    sorted.reserve(lines.size());
    for (qsizetype i : keys.takeStableOrder()) {
        const Block& b = blocks[std::size_t(i)];
        for (qsizetype k = 0; k < b.count; ++k)
            sorted.append(std::move(lines[b.first + k]));
    }
    return sorted;
}

namespace {
// A product line as UTF-8, written into `bytes`: the answer's own bytes where they are valid
// UTF-8, else the text made of them, encoded.
QByteArrayView productLineBytes(const ProductRow& row, QByteArray& bytes, QString& text) {
    writeProductLine(row, bytes);
    if (bytes.isValidUtf8()) {
        makeCaptionText(bytes);
        return bytes;
    }
    writeProductLine(row, text);
    makeCaptionText(text);
    bytes = text.toUtf8();
    return bytes;
}
} // namespace

// The lines are not kept: a line is written again whenever it is compared, mostly against the
// one line a part is split around, which costs about what keeping every line cost and saves
// their bytes, about a third of a listing's memory.
struct ProductLineOrder::Found {
    ProductRows rows;
    // The rows by number, in the order given; once the order is whole, in that order.
    QList<qsizetype> chosen;
    // The number at each position as far as it is found; empty once the order is whole.
    std::vector<qsizetype> numbers;
    // Positions whose number is in its place.
    std::vector<bool> settled;
    std::unique_ptr<SortKeys> collator;
    // Lines the splits may still read before the rest is sorted whole. Lines a server arranged to
    // split badly would make finding them one position after another (a tree expanded whole)
    // quadratic; a sweep over fair lines reads each about log2(n) times.
    qsizetype readsLeft = 0;
    QByteArray bytes[2];
    QString text;

    QByteArrayView line(qsizetype number, int buffer) {
        return productLineBytes(rows.at(chosen.at(number)), bytes[buffer], text);
    }
    // Positions hold numbers, which compare by line and, as ties, by number: the order the whole
    // sort keeps, so a line found here stands where the whole sort puts it.
    bool before(QByteArrayView xLine, qsizetype x, QByteArrayView yLine, qsizetype y) const {
        const int order = collator->compareUtf8(xLine, yLine);
        return order < 0 || (order == 0 && x < y);
    }
    bool before(qsizetype x, qsizetype y) { return before(line(x, 0), x, line(y, 1), y); }
    void settle(qsizetype position);
    // Puts every row in order at once; the collator serves as the keys of the whole sort.
    void sortWhole();
};

void ProductLineOrder::Found::settle(qsizetype position) {
    // A part this short is sorted whole.
    constexpr qsizetype kShortPart = 24;
    qsizetype lo = position;
    qsizetype hi = position + 1;
    while (lo > 0 && !settled[std::size_t(lo - 1)])
        --lo;
    while (hi < qsizetype(numbers.size()) && !settled[std::size_t(hi)])
        ++hi;
    qsizetype* const at = numbers.data();
    while (hi - lo > kShortPart) {
        if (readsLeft < hi - lo) {
            sortWhole();
            return;
        }
        readsLeft -= hi - lo;
        // The middle of three lines splits the part; it waits at the end meanwhile.
        qsizetype& first = at[lo];
        qsizetype& middle = at[lo + (hi - lo) / 2];
        qsizetype& last = at[hi - 1];
        if (before(middle, first))
            std::swap(middle, first);
        if (before(last, middle)) {
            std::swap(last, middle);
            if (before(middle, first))
                std::swap(middle, first);
        }
        std::swap(middle, last);
        const qsizetype split = last;
        const QByteArray splitLine = line(split, 0).toByteArray();
        // Kept in the order of their numbers, which is the rows' and mostly the answer's order:
        // the next split reads the rows one after another, not all over the answer.
        qsizetype* const place =
            std::stable_partition(at + lo, at + hi - 1, [this, &splitLine, split](qsizetype number) {
                return before(line(number, 1), number, splitLine, split);
            });
        std::swap(*place, last);
        const qsizetype found = place - at;
        settled[std::size_t(found)] = true;
        if (found == position)
            return;
        if (position < found)
            hi = found;
        else
            lo = found + 1;
    }
    // The few lines of a short part are written once each.
    std::vector<std::pair<qsizetype, QByteArray>> part;
    part.reserve(std::size_t(hi - lo));
    for (qsizetype i = lo; i < hi; ++i)
        part.emplace_back(at[i], line(at[i], 0).toByteArray());
    std::sort(part.begin(), part.end(),
              [this](const auto& x, const auto& y) { return before(x.second, x.first, y.second, y.first); });
    for (qsizetype i = lo; i < hi; ++i)
        at[i] = part[std::size_t(i - lo)].first;
    std::fill(settled.begin() + lo, settled.begin() + hi, true);
}

void ProductLineOrder::Found::sortWhole() {
    // A whole sort keeps every line once: one string each would cost more than the sort.
    SortKeys& keys = *collator;
    keys.reserve(chosen.size());
    for (qsizetype number = 0; number < chosen.size(); ++number)
        keys.addUtf8(line(number, 0));
    QList<qsizetype> sorted;
    sorted.reserve(chosen.size());
    for (const qsizetype i : keys.takeStableOrder())
        sorted.append(chosen.at(i));
    chosen = std::move(sorted);
    numbers = {};
    settled = {};
    collator.reset();
}

ProductLineOrder::ProductLineOrder(QList<qsizetype> rows) : m_found(std::make_shared<Found>()) {
    m_found->chosen = std::move(rows);
}

ProductLineOrder::ProductLineOrder(const ProductRows& rows, QList<qsizetype> chosen)
    : m_found(std::make_shared<Found>()) {
    Found& found = *m_found;
    found.rows = rows;
    found.chosen = std::move(chosen);
    found.numbers.resize(std::size_t(found.chosen.size()));
    std::iota(found.numbers.begin(), found.numbers.end(), 0);
    found.settled.assign(found.numbers.size(), false);
    found.readsLeft = 2 * found.chosen.size() * qsizetype(std::bit_width(std::size_t(found.chosen.size())));
    found.collator = std::make_unique<SortKeys>();
}

qsizetype ProductLineOrder::size() const {
    return m_found ? m_found->chosen.size() : 0;
}

qsizetype ProductLineOrder::at(qsizetype position) const {
    Found& found = *m_found;
    if (!found.numbers.empty() && !found.settled[std::size_t(position)])
        found.settle(position);
    if (found.numbers.empty())
        return found.chosen.at(position);
    return found.chosen.at(found.numbers[std::size_t(position)]);
}

bool ProductLineOrder::isWhole() const {
    return !m_found || m_found->numbers.empty();
}

QList<qsizetype> ProductLineOrder::toList() const {
    if (!m_found)
        return {};
    Found& found = *m_found;
    if (!found.numbers.empty())
        found.sortWhole();
    return found.chosen;
}

ProductLineOrder ProductLineOrder::detached() const {
    if (!m_found)
        return {};
    if (m_found->numbers.empty())
        return ProductLineOrder(m_found->chosen);
    return ProductLineOrder(m_found->rows, m_found->chosen);
}

ProductLineOrder productLineOrder(const ProductRows& rows, const QList<qsizetype>& chosen) {
    QList<qsizetype> products;
    products.reserve(chosen.size());
    for (const qsizetype row : chosen)
        if (rows.at(row).artid > 0)
            products.append(row);
    return ProductLineOrder(rows, std::move(products));
}

namespace {
// A record of another product answer as a row: the category answer's fields it has.
template <class Rec> ProductRow rowOf(const Rec& r) {
    ProductRow row;
    row.artid = r.artid;
    row.braid = r.braid;
    row.brand = r.brand;
    row.reference = r.reference;
    row.name = r.name;
    row.additionalforname = r.additionalforname;
    row.status = r.status;
    row.criteries = r.criteries;
    if constexpr (requires { r.termsofuse; })
        row.termsofuse = r.termsofuse;
    return row;
}

template <class Rec> ProductRows rowsOf(const Decoded<Rec>& records) {
    QList<ProductRow> rows;
    rows.reserve(records.size());
    for (const Rec& r : records)
        rows.append(rowOf(r));
    return ProductRows(std::move(rows), records.answer);
}
} // namespace

// The category answer's records are rows as they stand.
ProductRows productsFromAnswer(const Decoded<TArticleRec>& records) {
    return ProductRows(records, records.answer);
}

ProductRows productsFromAnswer(const Decoded<TNameSearchRec>& records) {
    return rowsOf(records);
}

// Cross-reference products carry no terms of use.
ProductRows productsFromAnswer(const Decoded<TCrossSearchRec>& records) {
    return rowsOf(records);
}

bool passesNecessaryBrands(const QString& brand, const QString& necessaryBrands) {
    return necessaryBrands.isEmpty() ||
           necessaryBrands.contains(QLatin1Char('[') + brand + QLatin1Char(']'), Qt::CaseSensitive);
}

ProductRows applyNecessaryBrands(const ProductRows& products, const QString& necessaryBrands, bool* hidden) {
    if (necessaryBrands.isEmpty()) {
        if (hidden)
            *hidden = false;
        return products; // shared, not copied
    }
    // Brands repeat: each is looked up once, by its bytes.
    QHash<QByteArrayView, bool> passes;
    bool anyHidden = false;
    QList<ProductRow> rows;
    rows.reserve(products.size());
    for (const ProductRow& p : products) {
        auto known = passes.constFind(p.brand.bytes());
        if (known == passes.constEnd())
            known = passes.insert(p.brand.bytes(), passesNecessaryBrands(p.brand.toString(), necessaryBrands));
        if (!*known) {
            rows.append(ProductRow{});
            anyHidden = true;
        } else {
            rows.append(p);
        }
    }
    if (hidden)
        *hidden = anyHidden;
    return products.withRows(std::move(rows));
}

bool productMatchesFilter(const ProductRow& row, const QString& loweredText) {
    if (row.artid < 1)
        return false;
    if (LocaleFormats::toLower(productName(row)).contains(loweredText))
        return true;
    for (const AnswerText* field : {&row.brand, &row.reference, &row.status, &row.criteries, &row.termsofuse})
        if (LocaleFormats::toLower(field->toString()).contains(loweredText))
            return true;
    return false;
}

QStringList productListFileLines(const ProductRows& rows) {
    QStringList lines;
    for (const ProductRow& shown : rows) {
        if (shown.artid == 0)
            continue;
        const ProductRecord row = productRecord(shown);
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
