#include "pricelists/ownpricetable.h"

#include <QLocale>

#include <algorithm>
#include <bit>
#include <cstring>
#include <numeric>

namespace {

// Texts are kept in blocks of this many characters; a longer text gets a block of its own.
constexpr qsizetype kBlockChars = qsizetype(1) << 20;
constexpr int kPrefixChars = 10;

// Keys hold only "0"-"9" and "A"-"Z", so ignoring case changes nothing for well-formed keys; it
// keeps one order for any key a caller might hand in. Letters are compared as capitals.
inline char16_t folded(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - (u'a' - u'A')) : c;
}

int compareKeys(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    const char16_t* pa = a.utf16();
    const char16_t* pb = b.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ca = folded(pa[i]);
        const char16_t cb = folded(pb[i]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Six bits per character, in the order of compareKeys; characters outside digits and capitals
// share codes, so an equal prefix only means "look further".
inline quint64 prefixCode(char16_t c) {
    c = folded(c);
    if (c < u'0')
        return 1;
    if (c <= u'9')
        return 2 + (c - u'0');
    if (c < u'A')
        return 12;
    if (c <= u'Z')
        return 13 + (c - u'A');
    return 39;
}

} // namespace

OwnPriceTable::OwnPriceTable() = default;
OwnPriceTable::~OwnPriceTable() = default;

quint64 OwnPriceTable::prefixOf(QStringView key) {
    quint64 prefix = 0;
    for (int i = 0; i < kPrefixChars; ++i)
        prefix = (prefix << 6) | (i < key.size() ? prefixCode(key[i].unicode()) : 0);
    return prefix;
}

bool OwnPriceTable::less(const Row& a, QStringView aKey, const Row& b, QStringView bKey) {
    if (a.prefix != b.prefix)
        return a.prefix < b.prefix;
    if (a.exact && b.exact)
        return false;
    return compareKeys(aKey, bKey) < 0;
}

// Only digits and capitals have codes of their own: a small letter shares its capital's code, and
// keys that differ in case must still tell apart.
bool OwnPriceTable::isExact(QStringView key) {
    if (key.size() > kPrefixChars)
        return false;
    for (const QChar c : key) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z')))
            return false;
    }
    return true;
}

QStringView OwnPriceTable::keyOf(const Row& r) const {
    return QStringView(textOf(r), r.keyLength);
}

QStringView OwnPriceTable::referenceOf(const Row& r) const {
    return QStringView(textOf(r) + r.keyLength, r.referenceLength);
}

QStringView OwnPriceTable::priceOf(const Row& r) const {
    return QStringView(textOf(r) + r.keyLength + r.referenceLength, r.priceLength);
}

TVarItemData OwnPriceTable::materialize(const Row& r) const {
    const Source& s = m_sources[r.source];
    return TVarItemData{s.brand, referenceOf(r).toString(), keyOf(r).toString(), priceOf(r).toString(), s.pathfile};
}

OwnPriceMatch OwnPriceTable::match(const Row& r, const char16_t* text) const {
    const Source& s = m_sources[r.source];
    const char16_t* reference = text + r.keyLength;
    return OwnPriceMatch{.brand = s.brand,
                         .reference = QStringView(reference, r.referenceLength),
                         .freereference = QStringView(text, r.keyLength),
                         .price = QStringView(reference + r.referenceLength, r.priceLength),
                         .pathfile = s.pathfile};
}

void OwnPriceTable::Empty() {
    m_indexed = false;
    m_sorted = true;
    std::vector<Bucket>().swap(m_index);
    std::vector<Row>().swap(m_rows);
    std::vector<std::unique_ptr<char16_t[]>>().swap(m_blocks);
    m_blockUsed = m_blockSize = 0;
    std::vector<Source>().swap(m_sources);
    m_sourceIndex = {};
}

void OwnPriceTable::swap(OwnPriceTable& other) noexcept {
    m_rows.swap(other.m_rows);
    m_blocks.swap(other.m_blocks);
    std::swap(m_blockUsed, other.m_blockUsed);
    std::swap(m_blockSize, other.m_blockSize);
    m_sources.swap(other.m_sources);
    m_sourceIndex.swap(other.m_sourceIndex);
    m_brandRank.swap(other.m_brandRank);
    m_index.swap(other.m_index);
    std::swap(m_indexed, other.m_indexed);
    std::swap(m_sorted, other.m_sorted);
    std::swap(m_plainAsciiUpper, other.m_plainAsciiUpper);
}

char16_t* OwnPriceTable::allocate(qsizetype length, quint32* block, quint32* offset) {
    if (m_blocks.empty() || m_blockSize - m_blockUsed < length) {
        m_blockSize = std::max(length, kBlockChars);
        m_blocks.push_back(std::make_unique_for_overwrite<char16_t[]>(size_t(m_blockSize)));
        m_blockUsed = 0;
    }
    *block = quint32(m_blocks.size() - 1);
    *offset = quint32(m_blockUsed);
    char16_t* at = m_blocks.back().get() + m_blockUsed;
    m_blockUsed += length;
    return at;
}

int OwnPriceTable::source(const QString& brand, const QString& pathfile) {
    const auto key = std::make_pair(brand, pathfile);
    const auto found = m_sourceIndex.constFind(key);
    if (found != m_sourceIndex.constEnd())
        return found.value();
    const int index = int(m_sources.size());
    // Lookups upper-case brands the way these were, whether the table is sorted or not.
    if (index == 0) {
        const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
        m_plainAsciiUpper = QLocale().toUpper(letters) == letters.toUpper();
    }
    m_sources.push_back(Source{brand, QLocale().toUpper(brand), pathfile});
    m_sourceIndex.insert(key, index);
    return index;
}

void OwnPriceTable::addRow(int source, QStringView key, QStringView reference, QStringView price) {
    m_indexed = false;
    m_sorted = false;
    Row r;
    r.prefix = prefixOf(key);
    r.exact = isExact(key);
    r.runGoesOn = 0;
    r.source = quint32(source);
    r.keyLength = quint32(key.size());
    r.referenceLength = quint32(reference.size());
    r.priceLength = quint32(price.size());
    char16_t* at = allocate(key.size() + reference.size() + price.size(), &r.block, &r.offset);
    std::copy_n(key.utf16(), key.size(), at);
    std::copy_n(reference.utf16(), reference.size(), at + key.size());
    std::copy_n(price.utf16(), price.size(), at + key.size() + reference.size());
    m_rows.push_back(r);
}

void OwnPriceTable::reserveMore(qsizetype more) {
    const size_t needed = m_rows.size() + size_t(std::max<qsizetype>(more, 0));
    if (needed > m_rows.capacity())
        m_rows.reserve(std::max(needed, m_rows.capacity() + m_rows.capacity() / 2));
}

void OwnPriceTable::truncate(qsizetype count) {
    if (count >= 0 && size_t(count) < m_rows.size()) {
        m_rows.resize(size_t(count));
        m_indexed = false;
    }
}

void OwnPriceTable::Add(const QString& key, const TVarItemData& row) {
    addRow(source(row.brand, row.pathfile), key, row.reference, row.price);
}

void OwnPriceTable::Sort() {
    // Equal keys are ordered by brand, so that each key and brand make one run of rows.
    std::vector<quint32> bySource(m_sources.size());
    std::iota(bySource.begin(), bySource.end(), 0u);
    std::sort(bySource.begin(), bySource.end(),
              [this](quint32 a, quint32 b) { return m_sources[a].brandUpper < m_sources[b].brandUpper; });
    m_brandRank.assign(m_sources.size(), 0);
    for (size_t i = 1; i < bySource.size(); ++i)
        m_brandRank[bySource[i]] = m_brandRank[bySource[i - 1]] +
                                   (m_sources[bySource[i]].brandUpper != m_sources[bySource[i - 1]].brandUpper ? 1 : 0);
    std::sort(m_rows.begin(), m_rows.end(), [this](const Row& a, const Row& b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        if (!(a.exact && b.exact)) {
            const QStringView aKey = keyOf(a);
            const QStringView bKey = keyOf(b);
            if (const int order = compareKeys(aKey, bKey); order != 0)
                return order < 0;
            // Keys that differ only in case (none a reader makes) still keep runs of their own.
            if (const int order = aKey.compare(bKey); order != 0)
                return order < 0;
        }
        return m_brandRank[a.source] < m_brandRank[b.source];
    });
    m_sorted = true;
    buildIndex();
}

bool OwnPriceTable::sameGroup(const Row& a, const Row& b) const {
    if (a.prefix != b.prefix || m_brandRank[a.source] != m_brandRank[b.source])
        return false;
    return (a.exact && b.exact) || keyOf(a) == keyOf(b);
}

namespace {

// The rounds and the final mixing of xxHash64, four characters at a time: a lookup hashes a key
// and a brand with a handful of instructions.
constexpr quint64 kPrime1 = 0x9E3779B185EBCA87ull;
constexpr quint64 kPrime2 = 0xC2B2AE3D27D4EB4Full;
constexpr quint64 kPrime3 = 0x165667B19E3779F9ull;

inline quint64 hashRound(quint64 acc, quint64 word) {
    return std::rotl(acc + word * kPrime2, 31) * kPrime1;
}

inline quint64 hashChars(quint64 acc, QStringView text) {
    const char16_t* p = text.utf16();
    qsizetype n = text.size();
    for (; n >= 4; n -= 4, p += 4) {
        quint64 word;
        std::memcpy(&word, p, sizeof word);
        acc = hashRound(acc, word);
    }
    if (n > 0) {
        quint64 word = 0;
        for (qsizetype i = 0; i < n; ++i)
            word |= quint64(p[i]) << (16 * i);
        acc = hashRound(acc, word);
    }
    return acc;
}

} // namespace

quint32 OwnPriceTable::indexTag(QStringView key, QStringView brandUpper) {
    quint64 h = hashChars(hashChars(quint64(key.size()) * kPrime3 + quint64(brandUpper.size()), key), brandUpper);
    h ^= h >> 33;
    h *= kPrime2;
    h ^= h >> 29;
    h *= kPrime3;
    h ^= h >> 32;
    return quint32(h);
}

void OwnPriceTable::buildIndex() {
    m_indexed = false;
    std::vector<Bucket>().swap(m_index);
    if (m_rows.size() >= kNoRow)
        return; // beyond the index: lookups search
    size_t groups = 0;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        m_rows[i].runGoesOn = i + 1 < m_rows.size() && sameGroup(m_rows[i], m_rows[i + 1]);
        groups += (i == 0 || !m_rows[i - 1].runGoesOn) ? 1 : 0;
    }
    // Two slots in three at most are taken, so that few buckets overflow into the next.
    const size_t buckets = std::max<size_t>(4, (groups + groups / 2) / kBucketSlots + 1);
    m_index.resize(buckets);
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (i > 0 && m_rows[i - 1].runGoesOn)
            continue;
        const Row& r = m_rows[i];
        const quint32 tag = indexTag(keyOf(r), m_sources[r.source].brandUpper);
        for (size_t b = homeBucket(tag, buckets);; b = b + 1 == buckets ? 0 : b + 1) {
            Slot* free = std::find_if(std::begin(m_index[b].entries), std::end(m_index[b].entries),
                                      [](const Slot& s) { return s.start == kNoRow; });
            if (free != std::end(m_index[b].entries)) {
                *free = Slot{tag, quint32(i), textOf(r)};
                break;
            }
        }
    }
    m_indexed = true;
}

// Upper-cased as the readers upper-case brands: an ASCII brand in `buffer` without the locale's
// machinery when the locale upper-cases ASCII as ASCII does, any other through the locale.
QStringView OwnPriceTable::upperBrand(const QString& brand, std::array<char16_t, 64>& buffer, QString& fallback) const {
    const qsizetype n = brand.size();
    if (m_plainAsciiUpper && n <= qsizetype(buffer.size())) {
        const char16_t* text = reinterpret_cast<const char16_t*>(brand.constData());
        char16_t seen = 0;
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = text[i];
            seen |= c;
            buffer[size_t(i)] = char16_t(c - (char16_t(c - u'a') < 26 ? 0x20 : 0));
        }
        if (seen < 0x80)
            return QStringView(buffer.data(), n);
    }
    fallback = QLocale().toUpper(brand);
    return fallback;
}

TVarItemData OwnPriceTable::row(qsizetype i) const {
    return materialize(m_rows[size_t(i)]);
}

QStringView OwnPriceTable::key(qsizetype i) const {
    return keyOf(m_rows[size_t(i)]);
}

bool FindOwnPrices(const OwnPriceTable& table, const QString& key, const QString& brand,
                   std::vector<OwnPriceMatch>& matches, const std::function<bool()>& stopRequested) {
    if (!table.m_indexed)
        return FindOwnPricesBySearch(table, key, brand, matches, stopRequested);
    matches.clear();
    std::array<char16_t, 64> buffer;
    QString fallback;
    const QStringView wanted = table.upperBrand(brand, buffer, fallback);
    const quint32 tag = OwnPriceTable::indexTag(key, wanted);
    const size_t buckets = table.m_index.size();
    for (size_t b = OwnPriceTable::homeBucket(tag, buckets);; b = b + 1 == buckets ? 0 : b + 1) {
        const OwnPriceTable::Bucket& bucket = table.m_index[b];
        unsigned hits = 0;
        for (int k = 0; k < OwnPriceTable::kBucketSlots; ++k)
            hits |= unsigned(bucket.entries[k].tag == tag) << k;
        for (; hits != 0; hits &= hits - 1) {
            const OwnPriceTable::Slot& s = bucket.entries[std::countr_zero(hits)];
            if (s.start == OwnPriceTable::kNoRow)
                continue;
            const OwnPriceTable::Row& first = table.m_rows[s.start];
            if (first.keyLength != quint32(key.size()) || QStringView(s.text, key.size()) != key ||
                QStringView(table.m_sources[first.source].brandUpper) != wanted)
                continue;
            for (size_t i = s.start;; ++i) {
                if (stopRequested && stopRequested()) {
                    matches.clear();
                    return false;
                }
                const OwnPriceTable::Row& r = table.m_rows[i];
                matches.push_back(table.match(r, i == s.start ? s.text : table.textOf(r)));
                if (!r.runGoesOn)
                    return true;
            }
        }
        if (bucket.entries[OwnPriceTable::kBucketSlots - 1].start == OwnPriceTable::kNoRow)
            return true; // a bucket with room: the run would be in it
    }
}

bool FindOwnPricesBySearch(const OwnPriceTable& table, const QString& key, const QString& brand,
                           std::vector<OwnPriceMatch>& matches, const std::function<bool()>& stopRequested) {
    using Row = OwnPriceTable::Row;
    matches.clear();
    const auto& rows = table.m_rows;
    Row probe{};
    probe.prefix = OwnPriceTable::prefixOf(key);
    probe.exact = OwnPriceTable::isExact(key);
    auto it = !table.m_sorted ? rows.begin()
                              : std::lower_bound(rows.begin(), rows.end(), probe, [&](const Row& r, const Row& p) {
                                    return OwnPriceTable::less(r, table.keyOf(r), p, key);
                                });
    std::array<char16_t, 64> buffer;
    QString fallback;
    const QStringView wanted = table.upperBrand(brand, buffer, fallback);
    for (; it != rows.end(); ++it) {
        if (stopRequested && stopRequested()) {
            matches.clear();
            return false;
        }
        const QStringView rowKey = table.keyOf(*it);
        if (table.m_sorted && (it->prefix != probe.prefix || compareKeys(rowKey, key) != 0))
            break;
        if (rowKey == key && QStringView(table.m_sources[it->source].brandUpper) == wanted)
            matches.push_back(table.match(*it, table.textOf(*it)));
    }
    return true;
}
