#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

// Texts of the records that make theirs at once (vehicle types, categories, ...): answers repeat
// short values record after record, and a string made once is shared by the records that hold
// it. The decoder keeps one cache per field; the decoder benchmark gives its baselines the same.
namespace decoding {

// A value as text, as the whole answer read as UTF-8 would show it: bad bytes become U+FFFD, and a
// byte-order mark stays a character, also at the start of a value, where fromUtf8 would drop it.
QString utf8Text(std::string_view raw);
// A date value as the records keep it: year, "/" and month.
QString dateText(std::string_view raw);

// Keys and values are short; a library call per comparison would cost more than comparing.
inline bool sameBytes(const char* x, const char* y, std::size_t n) {
    for (; n >= 8; n -= 8, x += 8, y += 8) {
        std::uint64_t u, v;
        std::memcpy(&u, x, 8);
        std::memcpy(&v, y, 8);
        if (u != v)
            return false;
    }
    for (; n > 0; --n, ++x, ++y)
        if (*x != *y)
            return false;
    return true;
}

inline bool sameKey(std::string_view key, std::string_view wanted) {
    return key.size() == wanted.size() && sameBytes(key.data(), wanted.data(), key.size());
}

struct AsText {
    static QString make(std::string_view raw) { return utf8Text(raw); }
};

// Year, "/" and month: characters, not bytes, so a value that is not plain ASCII goes by its text.
struct AsDate {
    static QString make(std::string_view raw) { return dateText(raw); }
};

// Answers repeat short values (brands, fuels, body types, dates) record after record; shared
// copies of strings made before save most of a decode's allocations. An entry keeps the bytes it
// was made from (a view into the answer, which outlives the decode), so a hit costs one short
// comparison. Two ways per set stop two frequent values that hash alike from evicting each other.
template <unsigned kSets> class RepeatCache {
public:
    template <class As> QString get(std::string_view raw) {
        // An empty value keeps its own (non-null) result; very long values rarely repeat, and
        // a field whose values hardly ever repeat (references) is not worth keeping.
        if (raw.empty() || raw.size() > kLongest || (m_lookups >= kTrial && m_hits * 4 < m_lookups))
            return As::make(raw);
        ++m_lookups;
        Set& set = m_sets[setOf(raw)];
        for (int way = 0; way < 2; ++way) {
            if (sameKey(set.raw[way], raw)) {
                ++m_hits;
                set.older = 1 - way;
                return set.made[way];
            }
        }
        const int way = set.older;
        set.raw[way] = raw;
        set.made[way] = As::make(raw);
        set.older = 1 - way;
        return set.made[way];
    }

private:
    static constexpr std::size_t kLongest = 256; // criteria texts repeat too
    // A cache must get the chance to fill before it is judged: a month of fifty years of dates
    // is hundreds of values.
    static constexpr unsigned kTrial = 8 * kSets;
    struct Set {
        std::string_view raw[2];
        QString made[2];
        int older = 0;
    };
    // Short values (numbers, dates) differ anywhere, so all their bytes count; of longer ones
    // the ends and the middle.
    static unsigned setOf(std::string_view raw) {
        const std::size_t n = raw.size();
        const auto bytesAt = [raw, n](std::size_t from) {
            std::uint64_t word = 0;
            for (std::size_t i = from; i < n && i < from + 8; ++i)
                word = word << 8 | static_cast<unsigned char>(raw[i]);
            return word;
        };
        std::uint64_t h = n * 0x9E3779B97F4A7C15u ^ bytesAt(0) * 0xC2B2AE3D27D4EB4Fu;
        if (n > 8)
            h ^= bytesAt(n - 8) * 0x165667B19E3779F9u ^ bytesAt(n / 2) * 0x27D4EB2F165667C5u;
        return static_cast<unsigned>((h ^ h >> 29) >> 32) % kSets;
    }
    std::array<Set, kSets> m_sets;
    unsigned m_lookups = 0;
    unsigned m_hits = 0;
};

// One cache per text field; the date fields of a record share one, as their values overlap.
using TextCache = RepeatCache<64>;
using DateCache = RepeatCache<512>;

} // namespace decoding
