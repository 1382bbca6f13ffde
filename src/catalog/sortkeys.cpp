#include "catalog/sortkeys.h"

#include "platform/hugepages.h"

#include <QStringEncoder>

#include <unicode/ucol.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {
// Large enough for the kernel to give a block in huge pages: the texts of a long list run to
// megabytes, written once and read while sorting.
constexpr qsizetype kBlockBytes = kHugePageAdviceFrom;
// A product line is rarely shorter.
constexpr qsizetype kShortestTextBytes = 48;
} // namespace

// Set up as QCollator sets up its ICU collator for a locale and case-sensitive comparison, so
// both order alike (the test compares them on texts of several languages).
SortKeys::SortKeys(const QLocale& locale) {
    if (locale.language() == QLocale::C) {
        m_plain = true;
        return;
    }
    UErrorCode status = U_ZERO_ERROR;
    const QByteArray name = locale.bcp47Name().replace(QLatin1Char('-'), QLatin1Char('_')).toLatin1();
    m_collator = ucol_open(name.constData(), &status);
    if (U_FAILURE(status)) {
        m_collator = nullptr; // no order at all, as QCollator then gives
        return;
    }
    ucol_setAttribute(m_collator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    status = U_ZERO_ERROR;
    ucol_setAttribute(m_collator, UCOL_STRENGTH, UCOL_DEFAULT_STRENGTH, &status);
    status = U_ZERO_ERROR;
    ucol_setAttribute(m_collator, UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
    status = U_ZERO_ERROR;
    ucol_setAttribute(m_collator, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
}

SortKeys::~SortKeys() {
    if (m_collator)
        ucol_close(m_collator);
}

void SortKeys::reserve(qsizetype count) {
    m_keys.reserve(std::size_t(count));
}

unsigned char* SortKeys::room(qsizetype bytes) {
    if (m_left < bytes) {
        // The rest of the block is left unused; texts are short against a block.
        const qsizetype size = std::max(bytes, kBlockBytes);
        m_blocks.push_back(std::make_unique_for_overwrite<unsigned char[]>(std::size_t(size)));
        m_free = m_blocks.back().get();
        m_left = size;
        // Only for a long list: a short one would hold a whole huge page for a few texts.
        if (qsizetype(m_keys.capacity()) * kShortestTextBytes >= size)
            adviseHugePages(m_free, size);
    }
    return m_free;
}

void SortKeys::keep(const unsigned char* data, qsizetype size) {
    Q_ASSERT(size <= std::numeric_limits<qint32>::max() && this->size() < std::numeric_limits<qint32>::max());
    m_free += size;
    m_left -= size;
    m_keys.push_back({data, qint32(size), qint32(m_keys.size())});
}

void SortKeys::add(QStringView text) {
    QStringEncoder toUtf8(QStringConverter::Utf8);
    unsigned char* at = room(toUtf8.requiredSpace(text.size()));
    char* const end = toUtf8.appendToBuffer(reinterpret_cast<char*>(at), text);
    keep(at, end - reinterpret_cast<char*>(at));
}

void SortKeys::addUtf8(QByteArrayView text) {
    unsigned char* at = room(text.size());
    if (!text.isEmpty())
        std::memcpy(at, text.data(), std::size_t(text.size()));
    keep(at, text.size());
}

int SortKeys::compare(qsizetype a, qsizetype b) const {
    return compareKeys(m_keys[std::size_t(a)], m_keys[std::size_t(b)]);
}

int SortKeys::compareKeys(const Key& x, const Key& y) const {
    return compareUtf8(QByteArrayView(x.data, x.size), QByteArrayView(y.data, y.size));
}

int SortKeys::compareUtf8(QByteArrayView a, QByteArrayView b) const {
    Q_ASSERT(a.size() <= std::numeric_limits<int32_t>::max() && b.size() <= std::numeric_limits<int32_t>::max());
    if (m_collator) {
        UErrorCode status = U_ZERO_ERROR;
        return ucol_strcollUTF8(m_collator, a.data(), int32_t(a.size()), b.data(), int32_t(b.size()), &status);
    }
    if (!m_plain)
        return 0; // no collator: no order, as QCollator then gives
    const int order = a.compare(b);
    return (order > 0) - (order < 0);
}

std::vector<qsizetype> SortKeys::takeStableOrder() {
    std::vector<Key> keys = std::move(m_keys);
    m_keys.clear();
    std::stable_sort(keys.begin(), keys.end(), [this](const Key& x, const Key& y) { return compareKeys(x, y) < 0; });
    std::vector<qsizetype> order;
    order.reserve(keys.size());
    for (const Key& key : keys)
        order.push_back(key.number);
    return order;
}
