#pragma once

#include <QLocale>
#include <QStringView>

#include <memory>
#include <vector>

struct UCollator;

// Sort keys of many texts for the locale-aware, case-sensitive order QCollator gives them: keys
// compare as QCollator compares the texts. A key per line of a long list, each in an allocation
// of its own, cost more than making them; here they are written one after another into a few
// large blocks. One per thread.
class SortKeys {
public:
    explicit SortKeys(const QLocale& locale = QLocale::system());
    ~SortKeys();
    SortKeys(const SortKeys&) = delete;
    SortKeys& operator=(const SortKeys&) = delete;

    void reserve(qsizetype count);
    // Makes the key of the next text; keys are numbered from 0 in the order they were added.
    void add(QStringView text);
    qsizetype size() const { return qsizetype(m_keys.size()); }
    // Below, at or above 0 as text a sorts before, with or after text b.
    int compare(qsizetype a, qsizetype b) const;

private:
    struct Key {
        const unsigned char* data;
        qsizetype size;
    };
    unsigned char* room(qsizetype bytes);

    UCollator* m_collator = nullptr;
    // The C locale compares code points; keys are then the texts' UTF-8 bytes.
    bool m_plain = false;
    std::vector<Key> m_keys;
    std::vector<std::unique_ptr<unsigned char[]>> m_blocks;
    unsigned char* m_free = nullptr;
    qsizetype m_left = 0;
};
