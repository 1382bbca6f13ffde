#include "service/decoder.h"

#include "service/errors.h"
#include "service/textfunctions.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

enum class Kind { Int, TolerantInt, Date, Text };

template <class Rec> struct Field {
    QStringView key; // empty: every key fills this field
    Kind kind;
    int Rec::*intMember = nullptr;
    QString Rec::*textMember = nullptr;
};

template <class Rec> constexpr Field<Rec> intField(const char16_t* key, int Rec::*m) {
    return {QStringView(key), Kind::Int, m, nullptr};
}
template <class Rec> constexpr Field<Rec> text(const char16_t* key, QString Rec::*m) {
    return {QStringView(key), Kind::Text, nullptr, m};
}
template <class Rec> constexpr Field<Rec> date(const char16_t* key, QString Rec::*m) {
    return {QStringView(key), Kind::Date, nullptr, m};
}

// ---- key tables ----

constexpr Field<TTypidRec> kTypid[] = {intField(u"typid", &TTypidRec::typid)};
constexpr Field<TYearRec> kYears[] = {{QStringView(), Kind::Int, &TYearRec::year, nullptr}};
constexpr Field<TManufacturerRec> kManufacturers[] = {intField(u"mfaid", &TManufacturerRec::mfaid),
                                                      text(u"brand", &TManufacturerRec::brand)};
constexpr Field<TModelRec> kModels[] = {intField(u"modid", &TModelRec::modid), text(u"modelcar", &TModelRec::modelcar),
                                        date(u"pconstart", &TModelRec::pconstart),
                                        date(u"pconend", &TModelRec::pconend)};

#define VELMORA_TYPE_FIELDS(nameKey)                                                                                   \
    intField(u"typid", &TTypeRec::typid), text(nameKey, &TTypeRec::fullnametypecar),                                   \
        date(u"pconstart", &TTypeRec::pconstart), date(u"pconend", &TTypeRec::pconend),                                \
        text(u"bodytype", &TTypeRec::bodytype), text(u"kw", &TTypeRec::kw), text(u"hp", &TTypeRec::hp),                \
        text(u"ccm", &TTypeRec::ccm), text(u"typefuel", &TTypeRec::typefuel),                                          \
        text(u"listcodeengine", &TTypeRec::listcodeengine)
constexpr Field<TTypeRec> kTypes[] = {VELMORA_TYPE_FIELDS(u"shortnametypecar")};
constexpr Field<TTypeRec> kTypesForArticle[] = {VELMORA_TYPE_FIELDS(u"fullnametypecar")};
#undef VELMORA_TYPE_FIELDS

constexpr Field<TCarInfoRec> kCarInfo[] = {intField(u"typid", &TCarInfoRec::typid),
                                           intField(u"modid", &TCarInfoRec::modid),
                                           intField(u"mfaid", &TCarInfoRec::mfaid),
                                           text(u"typecar", &TCarInfoRec::fullnametypecar),
                                           text(u"modelcar", &TCarInfoRec::modelcar),
                                           text(u"brand", &TCarInfoRec::brand),
                                           date(u"pconstart", &TCarInfoRec::pconstart),
                                           date(u"pconend", &TCarInfoRec::pconend),
                                           text(u"bodytype", &TCarInfoRec::bodytype),
                                           text(u"kw", &TCarInfoRec::kw),
                                           text(u"hp", &TCarInfoRec::hp),
                                           text(u"ccm", &TCarInfoRec::ccm),
                                           text(u"typefuel", &TCarInfoRec::typefuel),
                                           text(u"listcodeengine", &TCarInfoRec::listcodeengine)};

constexpr Field<TCategoryRec> kCategories[] = {intField(u"level", &TCategoryRec::level),
                                               intField(u"id1", &TCategoryRec::id1),
                                               {QStringView(u"id2"), Kind::TolerantInt, &TCategoryRec::id2, nullptr},
                                               {QStringView(u"id3"), Kind::TolerantInt, &TCategoryRec::id3, nullptr},
                                               {QStringView(u"id4"), Kind::TolerantInt, &TCategoryRec::id4, nullptr},
                                               {QStringView(u"id5"), Kind::TolerantInt, &TCategoryRec::id5, nullptr},
                                               text(u"text1", &TCategoryRec::text1),
                                               text(u"text2", &TCategoryRec::text2),
                                               text(u"text3", &TCategoryRec::text3),
                                               text(u"text4", &TCategoryRec::text4),
                                               text(u"text5", &TCategoryRec::text5)};

constexpr Field<TTradeGroupRec> kTradeGroups[] = {intField(u"gaid", &TTradeGroupRec::gaid),
                                                  text(u"ganame", &TTradeGroupRec::ganame),
                                                  text(u"gaassembly", &TTradeGroupRec::gaassembly)};

constexpr Field<TArticleRec> kArticles[] = {intField(u"artid", &TArticleRec::artid),
                                            intField(u"laid", &TArticleRec::laid),
                                            intField(u"braid", &TArticleRec::braid),
                                            text(u"brand", &TArticleRec::brand),
                                            text(u"articlenr", &TArticleRec::reference),
                                            text(u"name", &TArticleRec::name),
                                            text(u"additionalforname", &TArticleRec::additionalforname),
                                            text(u"statusproduct", &TArticleRec::status),
                                            text(u"criteries", &TArticleRec::criteries),
                                            text(u"termsofuse", &TArticleRec::termsofuse)};

constexpr Field<TNameSearchRec> kNameSearch[] = {intField(u"artid", &TNameSearchRec::artid),
                                                 intField(u"braid", &TNameSearchRec::braid),
                                                 text(u"brand", &TNameSearchRec::brand),
                                                 text(u"articlenr", &TNameSearchRec::reference),
                                                 text(u"name", &TNameSearchRec::name),
                                                 text(u"additionalforname", &TNameSearchRec::additionalforname),
                                                 text(u"statusproduct", &TNameSearchRec::status),
                                                 text(u"criteries", &TNameSearchRec::criteries),
                                                 text(u"termsofuse", &TNameSearchRec::termsofuse)};

constexpr Field<TCrossHitRec> kCrossHits[] = {intField(u"braid", &TCrossHitRec::braid),
                                              text(u"searchnr", &TCrossHitRec::reference),
                                              text(u"brand", &TCrossHitRec::brand), text(u"name", &TCrossHitRec::name)};

constexpr Field<TCrossSearchRec> kCrossSearch[] = {intField(u"artid", &TCrossSearchRec::artid),
                                                   intField(u"braid", &TCrossSearchRec::braid),
                                                   text(u"brand", &TCrossSearchRec::brand),
                                                   text(u"searchnr", &TCrossSearchRec::reference),
                                                   text(u"name", &TCrossSearchRec::name),
                                                   text(u"additionalforname", &TCrossSearchRec::additionalforname),
                                                   text(u"statusproduct", &TCrossSearchRec::status),
                                                   text(u"criteries", &TCrossSearchRec::criteries)};

constexpr Field<TCrossRefRec> kCrossRefs[] = {text(u"brand", &TCrossRefRec::brand),
                                              text(u"displaynr", &TCrossRefRec::displaynr)};
constexpr Field<TImageRec> kImages[] = {text(u"pathimage", &TImageRec::path)};
constexpr Field<TSupplierRec> kSuppliers[] = {text(u"brand", &TSupplierRec::brand)};

constexpr std::size_t kMostFields = std::size(kCarInfo);

// The decoder tries the field that usually comes next before searching the table and matches a
// key in place without looking for its closing quote; both rely on distinct alphanumeric keys.
template <class Rec, std::size_t N> constexpr bool plainDistinctKeys(const Field<Rec> (&table)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        const char16_t* a = table[i].key.utf16();
        const qsizetype n = table[i].key.size();
        for (qsizetype k = 0; k < n; ++k)
            if (!((a[k] >= u'a' && a[k] <= u'z') || (a[k] >= u'A' && a[k] <= u'Z') || (a[k] >= u'0' && a[k] <= u'9')))
                return false;
        for (std::size_t j = i + 1; j < N; ++j)
            if (std::equal(a, a + n, table[j].key.utf16(), table[j].key.utf16() + table[j].key.size()))
                return false;
    }
    return true;
}

template <class Rec> std::span<const Field<Rec>> tableFor(const QString& fn);

#define VELMORA_TABLE(Rec, ...)                                                                                        \
    template <> std::span<const Field<Rec>> tableFor<Rec>(const QString& fn) {                                         \
        __VA_ARGS__ return {};                                                                                         \
    }
#define VELMORA_FN(name, table)                                                                                        \
    static_assert(std::size(table) <= kMostFields && plainDistinctKeys(table));                                        \
    if (fn == QLatin1StringView(name))                                                                                 \
        return table;

VELMORA_TABLE(TTypidRec, VELMORA_FN("getSearchKBA", kTypid) VELMORA_FN("getSearchMIME", kTypid))
VELMORA_TABLE(TYearRec, VELMORA_FN("GetListYears", kYears))
VELMORA_TABLE(TManufacturerRec, VELMORA_FN("getManufacturers", kManufacturers))
VELMORA_TABLE(TModelRec, VELMORA_FN("getModels", kModels))
VELMORA_TABLE(TTypeRec, VELMORA_FN("getTypes", kTypes) VELMORA_FN("GetTypesForArticle", kTypesForArticle))
VELMORA_TABLE(TCarInfoRec, VELMORA_FN("getInfoCar", kCarInfo))
VELMORA_TABLE(TCategoryRec, VELMORA_FN("GetTreeCategories", kCategories))
VELMORA_TABLE(TTradeGroupRec, VELMORA_FN("GetListTradeGroupsForCar", kTradeGroups))
VELMORA_TABLE(TArticleRec, VELMORA_FN("GetListArticlesFromTreeCategory", kArticles)
                               VELMORA_FN("GetListArticlesFromTradeGroup", kArticles))
VELMORA_TABLE(TNameSearchRec, VELMORA_FN("getSearchArticleByNameForCar", kNameSearch))
VELMORA_TABLE(TCrossHitRec, VELMORA_FN("getSearchByCrossref", kCrossHits))
VELMORA_TABLE(TCrossSearchRec, VELMORA_FN("GetSearchByCrossrefAndBrand", kCrossSearch))
VELMORA_TABLE(TCrossRefRec, VELMORA_FN("GetCrossReferencesForArticle", kCrossRefs))
VELMORA_TABLE(TImageRec, VELMORA_FN("getImageForArticle", kImages))
VELMORA_TABLE(TSupplierRec, VELMORA_FN("GetSuppliers", kSuppliers))
#undef VELMORA_FN
#undef VELMORA_TABLE

// Lines can be long (criteria texts), so scans go eight units at a time where SSE2 is there.
template <char16_t... Units> const char16_t* findFirstOf(const char16_t* p, const char16_t* end) {
#if defined(__SSE2__)
    for (; end - p >= 8; p += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i hit = _mm_setzero_si128();
        ((hit = _mm_or_si128(hit, _mm_cmpeq_epi16(v, _mm_set1_epi16(static_cast<short>(Units))))), ...);
        if (const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit)))
            return p + std::countr_zero(mask) / 2;
    }
#endif
    for (; p < end; ++p)
        if (((*p == Units) || ...))
            return p;
    return end;
}

const char16_t* findLineBreak(const char16_t* p, const char16_t* end) {
    return findFirstOf<u'\r', u'\n'>(p, end);
}
const char16_t* findQuoteOrLineBreak(const char16_t* p, const char16_t* end) {
    return findFirstOf<u'"', u'\r', u'\n'>(p, end);
}

// Line starts are the text start and every unit after CR or LF; the unit after the CR of a
// CR LF pair is the LF, which never begins a record, so this matches line-by-line reading.
inline bool isRecordStart(const char16_t* p, const char16_t* end) {
    if (end - p < 4 || p[0] != u'\t' || p[1] != u'\t' || p[2] != u'\t')
        return false;
    return p[3] == u'{' || (p[3] == u',' && end - p >= 5 && p[4] == u'{');
}

inline bool isFieldLine(const char16_t* p, const char16_t* end) {
    return end - p >= 4 && p[0] == u'\t' && p[1] == u'\t' && p[2] == u'\t' && p[3] == u'\t';
}

// Braces are far apart: skips 32 units at a time while none is in sight.
const char16_t* findBrace(const char16_t* p, const char16_t* end) {
#if defined(__SSE2__)
    const __m128i brace = _mm_set1_epi16(static_cast<short>(u'{'));
    for (; end - p >= 32; p += 32) {
        const auto at = [p, brace](int i) {
            return _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8 * i)), brace);
        };
        if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(at(0), at(1)), _mm_or_si128(at(2), at(3)))))
            break;
    }
#endif
    return findFirstOf<u'{'>(p, end);
}

// Record starts are rare, so hunting for their "{" beats walking every line.
qsizetype countRecords(const char16_t* begin, const char16_t* end) {
    qsizetype count = 0;
    for (const char16_t* brace = findBrace(begin, end); brace != end; brace = findBrace(brace + 1, end)) {
        const qsizetype indent = brace - begin >= 4 && brace[-1] == u',' ? 4 : 3;
        if (brace - begin < indent)
            continue;
        const char16_t* line = brace - indent;
        if ((line == begin || line[-1] == u'\r' || line[-1] == u'\n') && isRecordStart(line, end))
            ++count;
    }
    return count;
}

// Keys and values are short; a library call per comparison would cost more than comparing.
inline bool sameUnits(const void* a, const void* b, qsizetype units) {
    const char* x = static_cast<const char*>(a);
    const char* y = static_cast<const char*>(b);
    std::size_t n = static_cast<std::size_t>(units) * sizeof(char16_t);
    for (; n >= 8; n -= 8, x += 8, y += 8) {
        std::uint64_t u, v;
        std::memcpy(&u, x, 8);
        std::memcpy(&v, y, 8);
        if (u != v)
            return false;
    }
    for (; n > 0; n -= 2, x += 2, y += 2) {
        std::uint16_t u, v;
        std::memcpy(&u, x, 2);
        std::memcpy(&v, y, 2);
        if (u != v)
            return false;
    }
    return true;
}

struct FieldLine {
    QStringView key;   // between the first quote and the next
    QStringView value; // after the first `": "` up to the next quote
    const char16_t* lineEnd;
    bool keyExpected = false;
};

// Same cuts as TextBetweenView on the line. The usual shape, `"key": "value",` with the key
// expected next, needs no search for the key's end.
FieldLine splitFieldLine(const char16_t* line, const char16_t* end, QStringView expectedKey) {
    FieldLine out{{}, {}, nullptr};
    const char16_t* valueStart = nullptr;
    const qsizetype k = expectedKey.size();
    if (k > 0 && end - line >= 9 + k && line[4] == u'"' && line[5 + k] == u'"' &&
        sameUnits(line + 5, expectedKey.utf16(), k) && line[6 + k] == u':' && line[7 + k] == u' ' &&
        line[8 + k] == u'"') {
        out.key = QStringView(line + 5, k);
        out.keyExpected = true;
        valueStart = line + 9 + k;
    } else {
        const char16_t* q1 = findQuoteOrLineBreak(line + 4, end);
        if (q1 == end || *q1 != u'"') {
            out.lineEnd = q1;
            return out;
        }
        const char16_t* q2 = findQuoteOrLineBreak(q1 + 1, end);
        if (q2 == end || *q2 != u'"') {
            out.lineEnd = q2; // a lone quote cannot start `": "`
            return out;
        }
        out.key = QStringView(q1 + 1, q2 - q1 - 1);
        auto opensValue = [end](const char16_t* q) {
            return end - q >= 4 && q[1] == u':' && q[2] == u' ' && q[3] == u'"';
        };
        if (opensValue(q1))
            valueStart = q1 + 4;
        else if (opensValue(q2))
            valueStart = q2 + 4;
        if (!valueStart) {
            out.lineEnd = findLineBreak(q2 + 1, end);
            static const QString kQuote = QStringLiteral("\"");
            static const QString kValueStart = QStringLiteral("\": \"");
            out.value = TextBetweenView(QStringView(line, out.lineEnd), kValueStart, kQuote);
            return out;
        }
    }
    const char16_t* q3 = findQuoteOrLineBreak(valueStart, end);
    if (q3 == end || *q3 != u'"') {
        out.lineEnd = q3;
        return out;
    }
    out.value = QStringView(valueStart, q3 - valueStart);
    // Mostly `",` and the line break follow.
    const char16_t* tail = q3 + 1;
    if (tail < end && *tail == u',')
        ++tail;
    out.lineEnd = tail < end && (*tail == u'\r' || *tail == u'\n') ? tail : findLineBreak(q3 + 1, end);
    return out;
}

inline bool sameKey(QStringView key, QStringView wanted) {
    return key.size() == wanted.size() && sameUnits(key.utf16(), wanted.utf16(), key.size());
}

// Plain digits that cannot overflow; everything else goes by Qt's own rules.
inline bool plainDigits(QStringView value, int& result) {
    if (value.isEmpty() || value.size() > 9)
        return false;
    int n = 0;
    for (const QChar c : value) {
        const unsigned digit = c.unicode() - u'0';
        if (digit > 9)
            return false;
        n = n * 10 + static_cast<int>(digit);
    }
    result = n;
    return true;
}

int toInteger(QStringView value) {
    int result = 0;
    if (plainDigits(value, result))
        return result;
    bool ok = false;
    result = value.toInt(&ok, 10);
    if (!ok)
        throw ConversionError(value.toString());
    return result;
}

// `matches` tells, without building it, whether `made` is what `make` would give.
struct AsText {
    static QString make(QStringView raw) { return raw.toString(); }
    static bool matches(const QString& made, QStringView raw) {
        return made.size() == raw.size() && sameUnits(made.constData(), raw.utf16(), raw.size());
    }
};

struct AsDate {
    static QStringView year(QStringView raw) { return raw.first(qMin<qsizetype>(4, raw.size())); }
    static QStringView month(QStringView raw) { return raw.mid(4, 2); }
    static QString make(QStringView raw) {
        const QStringView y = year(raw), m = month(raw);
        QString date(y.size() + 1 + m.size(), Qt::Uninitialized);
        QChar* out = date.data();
        std::copy(y.begin(), y.end(), out);
        out[y.size()] = QLatin1Char('/');
        std::copy(m.begin(), m.end(), out + y.size() + 1);
        return date;
    }
    static bool matches(const QString& made, QStringView raw) {
        const QStringView y = year(raw), m = month(raw);
        const QChar* d = made.constData();
        return made.size() == y.size() + 1 + m.size() && sameUnits(d, y.utf16(), y.size()) && d[y.size()] == u'/' &&
               sameUnits(d + y.size() + 1, m.utf16(), m.size());
    }
};

// Answers repeat short values (brands, fuels, body types, dates) record after record; shared
// copies of strings made before save most of a decode's allocations. Entries are compared with
// the made string, which stays in the CPU cache, not with the earlier value far back in the
// answer. Two ways per set stop two frequent values that hash alike from evicting each other.
template <unsigned kSets> class RepeatCache {
public:
    template <class As> QString get(QStringView raw) {
        // An empty value keeps its own (non-null) result; long values rarely repeat.
        if (raw.isEmpty() || raw.size() > kLongest)
            return As::make(raw);
        Set& set = m_sets[setOf(raw)];
        for (int way = 0; way < 2; ++way) {
            if (As::matches(set.made[way], raw)) {
                set.older = 1 - way;
                return set.made[way];
            }
        }
        const int way = set.older;
        set.made[way] = As::make(raw);
        set.older = 1 - way;
        return set.made[way];
    }

private:
    static constexpr qsizetype kLongest = 64;
    struct Set {
        QString made[2];
        int older = 0;
    };
    static unsigned setOf(QStringView raw) {
        const qsizetype n = raw.size();
        const auto at = [raw](qsizetype i) { return static_cast<unsigned>(raw[i].unicode()); };
        const unsigned h = static_cast<unsigned>(n) * 0x9E3779B1u ^ at(0) * 0x85EBCA77u ^ at(n - 1) * 0xC2B2AE3Du ^
                           at(n / 2) * 0x27D4EB2Fu ^ at((n - 1) / 3) * 0x165667B1u;
        return (h ^ h >> 15) % kSets;
    }
    std::array<Set, kSets> m_sets;
};

// One cache per text field; the date fields of a record share one, as their values overlap.
using TextCache = RepeatCache<32>;
using DateCache = RepeatCache<128>;

template <class Rec>
void store(Rec& record, const Field<Rec>& field, QStringView value, TextCache& texts, DateCache& dates) {
    switch (field.kind) {
    case Kind::Int:
        record.*field.intMember = toInteger(value);
        break;
    case Kind::TolerantInt: {
        const QStringView trimmed = TrimView(value);
        int n = 0;
        bool ok = plainDigits(trimmed, n);
        if (!ok)
            n = trimmed.toInt(&ok, 10);
        if (ok)
            record.*field.intMember = n;
        break;
    }
    case Kind::Date:
        if (!IsBlank(value))
            record.*field.textMember = dates.get<AsDate>(value);
        break;
    case Kind::Text:
        record.*field.textMember = texts.get<AsText>(value);
        break;
    }
}

} // namespace

bool RecordsFitAnswer(qsizetype records, qsizetype recordSize, qsizetype answerLength) {
    constexpr qsizetype kSlackBytes = qsizetype(1) << 20;
    constexpr qsizetype kMultiple = 4;
    return records <= (kSlackBytes + kMultiple * answerLength * qsizetype(sizeof(char16_t))) / recordSize;
}

namespace {

template <class Rec> QList<Rec> decodeRecords(const QString& function, const QString& answer) {
    const std::span<const Field<Rec>> table = tableFor<Rec>(function);
    if (table.empty())
        return {};

    const QStringView text(answer);
    const char16_t* const begin = text.utf16();
    const char16_t* const end = begin + text.size();

    const qsizetype count = countRecords(begin, end);
    if (!RecordsFitAnswer(count, qsizetype(sizeof(Rec)), text.size()))
        throw OversizedAnswerError();
    QList<Rec> records(count);
    // Indexing through the list would check for sharing on every field.
    Rec* const first = records.data();
    Rec* current = nullptr;
    std::array<TextCache, kMostFields> texts;
    DateCache dates;
    std::size_t expected = 0; // fields mostly come in table order
    const char16_t* line = begin;
    while (line < end) {
        const char16_t* lineEnd;
        if (isRecordStart(line, end)) {
            current = current ? current + 1 : first;
            Q_ASSERT(current - first < records.size()); // both passes see the same record starts
            lineEnd = findLineBreak(line + 4, end);
        } else if (current && isFieldLine(line, end)) {
            const Field<Rec>* field = &table[expected];
            const FieldLine parts = splitFieldLine(line, end, field->key);
            lineEnd = parts.lineEnd;
            if (!parts.keyExpected && !field->key.isEmpty()) {
                field = std::find_if(table.data(), table.data() + table.size(), [&parts](const Field<Rec>& f) {
                    return f.key.isEmpty() || sameKey(parts.key, f.key);
                });
            }
            if (field != table.data() + table.size()) {
                const std::size_t index = static_cast<std::size_t>(field - table.data());
                store(*current, *field, parts.value, texts[index], dates);
                expected = index + 1 == table.size() ? 0 : index + 1;
            }
        } else {
            lineEnd = findLineBreak(line, end);
        }
        if (lineEnd == end)
            break;
        line = lineEnd + (*lineEnd == u'\r' && lineEnd + 1 < end && lineEnd[1] == u'\n' ? 2 : 1);
    }
    return records;
}

} // namespace

template <class Rec> Decoded<Rec> DecodeAnswer(const QString& function, const QString& answer) {
    // Conversion and size errors are thrown deep in the reader and never leave this function.
    try {
        return decodeRecords<Rec>(function, answer);
    } catch (const ActionError& e) {
        Decoded<Rec> failed;
        failed.error = e.message();
        return failed;
    }
}

template Decoded<TTypidRec> DecodeAnswer<TTypidRec>(const QString&, const QString&);
template Decoded<TYearRec> DecodeAnswer<TYearRec>(const QString&, const QString&);
template Decoded<TManufacturerRec> DecodeAnswer<TManufacturerRec>(const QString&, const QString&);
template Decoded<TModelRec> DecodeAnswer<TModelRec>(const QString&, const QString&);
template Decoded<TTypeRec> DecodeAnswer<TTypeRec>(const QString&, const QString&);
template Decoded<TCarInfoRec> DecodeAnswer<TCarInfoRec>(const QString&, const QString&);
template Decoded<TCategoryRec> DecodeAnswer<TCategoryRec>(const QString&, const QString&);
template Decoded<TTradeGroupRec> DecodeAnswer<TTradeGroupRec>(const QString&, const QString&);
template Decoded<TArticleRec> DecodeAnswer<TArticleRec>(const QString&, const QString&);
template Decoded<TNameSearchRec> DecodeAnswer<TNameSearchRec>(const QString&, const QString&);
template Decoded<TCrossSearchRec> DecodeAnswer<TCrossSearchRec>(const QString&, const QString&);
template Decoded<TCrossHitRec> DecodeAnswer<TCrossHitRec>(const QString&, const QString&);
template Decoded<TCrossRefRec> DecodeAnswer<TCrossRefRec>(const QString&, const QString&);
template Decoded<TImageRec> DecodeAnswer<TImageRec>(const QString&, const QString&);
template Decoded<TSupplierRec> DecodeAnswer<TSupplierRec>(const QString&, const QString&);
