#pragma once

#include <QByteArrayView>
#include <QLocale>
#include <QStringView>

#include <memory>
#include <vector>

struct UCollator;

// Many texts in the locale-aware, case-sensitive order QCollator gives them: compare() orders
// two texts as QCollator does. The texts are kept as UTF-8, one after another in a few large
// blocks, and compared by the collator itself: the lines of a long list mostly share a long start
// with their neighbours, which a comparison passes over at once, while a sort key per line cost
// the collator's whole work on every character, more memory, and more time in all. One per thread.
class SortKeys {
public:
    explicit SortKeys(const QLocale& locale = QLocale::system());
    ~SortKeys();
    SortKeys(const SortKeys&) = delete;
    SortKeys& operator=(const SortKeys&) = delete;

    void reserve(qsizetype count);
    // Keeps the next text; texts are numbered from 0 in the order they were added.
    void add(QStringView text);
    // The same for a text given as valid UTF-8, which is kept as it is.
    void addUtf8(QByteArrayView text);
    qsizetype size() const { return qsizetype(m_keys.size()); }
    // Below, at or above 0 as text a sorts before, with or after text b.
    int compare(qsizetype a, qsizetype b) const;
    // The same for two texts given as valid UTF-8, kept nowhere.
    int compareUtf8(QByteArrayView a, QByteArrayView b) const;
    // The numbers of the texts in their order, ties in the order they were added. Ends the keys:
    // they are sorted where they stand, so a comparison reads its neighbours' keys, not keys
    // scattered over the whole list.
    std::vector<qsizetype> takeStableOrder();

private:
    // Lengths and numbers fit: the collator takes 32-bit lengths, and the keys of 2^31 texts
    // would not fit in memory.
    struct Key {
        const unsigned char* data;
        qint32 size;
        qint32 number;
    };
    int compareKeys(const Key& x, const Key& y) const;
    unsigned char* room(qsizetype bytes);
    void keep(const unsigned char* data, qsizetype size);

    UCollator* m_collator = nullptr;
    // The C locale compares code points, as the UTF-8 bytes compare.
    bool m_plain = false;
    std::vector<Key> m_keys;
    std::vector<std::unique_ptr<unsigned char[]>> m_blocks;
    unsigned char* m_free = nullptr;
    qsizetype m_left = 0;
};
