#pragma once

#include <QHash>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <vector>

// One row of an own price list.
struct TVarItemData {
    QString brand;         // upper-cased
    QString reference;     // as written, upper-cased
    QString freereference; // NormalizeReference of the reference; the row's key
    QString price;         // as written, never converted
    QString pathfile;      // file name without folder
};

// A row as a lookup finds it, read in place: valid until the table next changes.
struct OwnPriceMatch {
    QStringView brand;
    QStringView reference;
    QStringView freereference;
    QStringView price;
    QStringView pathfile;
};

// The own price lists in memory: pairs (key, row), duplicates kept, filled by a regeneration and
// sorted once at its end. Built on the regeneration's worker, then handed to the window thread,
// which alone reads it. Sort() also builds a hash index of key and upper-cased brand, by which
// each lookup goes straight to its rows.
//
// A price list may have millions of lines, so rows are not kept as objects: their texts sit in
// large shared blocks, and each distinct pair of brand and file name is kept once.
class OwnPriceTable {
public:
    OwnPriceTable();
    ~OwnPriceTable();
    OwnPriceTable(const OwnPriceTable&) = delete;
    OwnPriceTable& operator=(const OwnPriceTable&) = delete;

    void Empty();
    void swap(OwnPriceTable& other) noexcept;
    // Appends without keeping order; Sort() must follow before the next lookup.
    void Add(const QString& key, const TVarItemData& row);
    void Sort();
    // Drops the rows added after the first `count`, as when a file that was being read is refused.
    void truncate(qsizetype count);
    qsizetype Count() const { return qsizetype(m_rows.size()); }
    TVarItemData row(qsizetype i) const;
    QStringView key(qsizetype i) const;
    void reserve(qsizetype n) { m_rows.reserve(size_t(n)); }
    // Room for `more` rows beyond those held, growing by half at least so that many small files
    // do not copy the table again and again.
    void reserveMore(qsizetype more);

    // The readers' way in: every row of a file with the same brand shares one source.
    int source(const QString& brand, const QString& pathfile);
    void addRow(int source, QStringView key, QStringView reference, QStringView price);

    // The index's tag of a key and an upper-cased brand, which also places it in the index; out
    // in the open so that tests can find keys whose tags collide.
    static quint32 indexTag(QStringView key, QStringView brandUpper);

private:
    friend bool FindOwnPrices(const OwnPriceTable&, const QString&, const QString&, std::vector<OwnPriceMatch>&,
                              const std::function<bool()>&);
    friend bool FindOwnPricesBySearch(const OwnPriceTable&, const QString&, const QString&, std::vector<OwnPriceMatch>&,
                                      const std::function<bool()>&);
    struct Row {
        quint64 prefix; // the key's first characters, coarsely coded, so most comparisons stay here
        quint32 block;
        quint32 offset; // key, reference and price follow each other there
        quint32 source;
        // The prefix holds the whole key, each character by a code of its own: equal prefixes
        // then mean equal keys.
        quint32 keyLength : 30;
        quint32 exact : 1;
        quint32 runGoesOn : 1; // the next row has the same key and brand; set by the index
        quint32 referenceLength;
        quint32 priceLength;
    };
    struct Source {
        QString brand;
        QString brandUpper;
        QString pathfile;
    };
    static quint64 prefixOf(QStringView key);
    static bool isExact(QStringView key);
    static bool less(const Row& a, QStringView aKey, const Row& b, QStringView bKey);
    QStringView keyOf(const Row& r) const;
    QStringView referenceOf(const Row& r) const;
    QStringView priceOf(const Row& r) const;
    const char16_t* textOf(const Row& r) const { return m_blocks[r.block].get() + r.offset; }
    TVarItemData materialize(const Row& r) const;
    OwnPriceMatch match(const Row& r, const char16_t* text) const;
    char16_t* allocate(qsizetype length, quint32* block, quint32* offset);
    // Rows with equal keys and brands follow each other; each such run is one slot of the index.
    void buildIndex();
    // Whether two rows hold the same key and brand.
    bool sameGroup(const Row& a, const Row& b) const;
    QStringView upperBrand(const QString& brand, std::array<char16_t, 64>& buffer, QString& fallback) const;

    // The first row's texts sit beside its number, so that a lookup fetches the row and its
    // texts at once rather than one after the other.
    struct Slot {
        quint32 tag = 0;
        quint32 start = kNoRow; // the first row of the run
        const char16_t* text = nullptr;
    };
    // A lookup reads one cache line of slots and finds its own among them without a branch per
    // slot; the slots of a bucket are taken in order, and a run goes to the next bucket only when
    // its own is full.
    static constexpr int kBucketSlots = 4;
    struct alignas(64) Bucket {
        Slot entries[kBucketSlots];
    };
    static size_t homeBucket(quint32 tag, size_t buckets) { return size_t((quint64(tag) * buckets) >> 32); }
    static constexpr quint32 kNoRow = 0xFFFFFFFFu;

    std::vector<Row> m_rows;
    std::vector<std::unique_ptr<char16_t[]>> m_blocks;
    qsizetype m_blockUsed = 0;
    qsizetype m_blockSize = 0;
    std::vector<Source> m_sources;
    QHash<std::pair<QString, QString>, int> m_sourceIndex;
    // Sources with the same upper-cased brand share a rank, in the order of those brands.
    std::vector<quint32> m_brandRank;
    std::vector<Bucket> m_index;
    bool m_indexed = false;
    // Whether the rows are in key order; rows added after Sort() may not be.
    bool m_sorted = true;
    // Whether the locale the brands were upper-cased in upper-cases ASCII letters as plain ASCII
    // does (not so in Turkish).
    bool m_plainAsciiUpper = true;
};

// Puts into `matches` (emptied first) the rows whose key equals `key` and whose upper-cased brand
// equals the upper-cased `brand` (no trimming), in table order. `stopRequested` is asked before
// each pair visited; when it answers true the lookup ends, `matches` is left empty and the answer
// is false. The matches read the table in place, and `matches` may serve one lookup after another
// without allocating again.
bool FindOwnPrices(const OwnPriceTable& table, const QString& key, const QString& brand,
                   std::vector<OwnPriceMatch>& matches, const std::function<bool()>& stopRequested = {});
// The same by a binary search for the key and a walk over its rows (over all rows when some were
// added since the last sort), brands upper-cased as the index does it: the way for a table changed
// since its sort, and the yardstick of the index.
bool FindOwnPricesBySearch(const OwnPriceTable& table, const QString& key, const QString& brand,
                           std::vector<OwnPriceMatch>& matches, const std::function<bool()>& stopRequested = {});
