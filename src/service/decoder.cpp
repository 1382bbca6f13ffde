#include "service/decoder.h"

#include "platform/hugepages.h"
#include "platform/worker.h"
#include "service/errors.h"
#include "service/repeatcache.h"
#include "service/textfunctions.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace decoding;

namespace {

enum class Kind { Int, TolerantInt, Date, Text, View };

template <class Rec> struct Field {
    std::string_view key; // empty: every key fills this field
    Kind kind;
    int Rec::*intMember = nullptr;
    QString Rec::*textMember = nullptr;
    AnswerText Rec::*viewMember = nullptr;
};

template <class Rec> constexpr Field<Rec> intField(const char* key, int Rec::*m) {
    return {std::string_view(key), Kind::Int, m, nullptr};
}
template <class Rec> constexpr Field<Rec> text(const char* key, QString Rec::*m) {
    return {std::string_view(key), Kind::Text, nullptr, m};
}
template <class Rec> constexpr Field<Rec> date(const char* key, QString Rec::*m) {
    return {std::string_view(key), Kind::Date, nullptr, m};
}
template <class Rec> constexpr Field<Rec> text(const char* key, AnswerText Rec::*m) {
    return {std::string_view(key), Kind::View, nullptr, nullptr, m};
}

// ---- key tables ----

constexpr Field<TTypidRec> kTypid[] = {intField("typid", &TTypidRec::typid)};
constexpr Field<TYearRec> kYears[] = {{std::string_view(), Kind::Int, &TYearRec::year, nullptr}};
constexpr Field<TManufacturerRec> kManufacturers[] = {intField("mfaid", &TManufacturerRec::mfaid),
                                                      text("brand", &TManufacturerRec::brand)};
constexpr Field<TModelRec> kModels[] = {intField("modid", &TModelRec::modid), text("modelcar", &TModelRec::modelcar),
                                        date("pconstart", &TModelRec::pconstart), date("pconend", &TModelRec::pconend)};

#define VELMORA_TYPE_FIELDS(nameKey)                                                                                   \
    intField("typid", &TTypeRec::typid), text(nameKey, &TTypeRec::fullnametypecar),                                    \
        date("pconstart", &TTypeRec::pconstart), date("pconend", &TTypeRec::pconend),                                  \
        text("bodytype", &TTypeRec::bodytype), text("kw", &TTypeRec::kw), text("hp", &TTypeRec::hp),                   \
        text("ccm", &TTypeRec::ccm), text("typefuel", &TTypeRec::typefuel),                                            \
        text("listcodeengine", &TTypeRec::listcodeengine)
constexpr Field<TTypeRec> kTypes[] = {VELMORA_TYPE_FIELDS("shortnametypecar")};
constexpr Field<TTypeRec> kTypesForArticle[] = {VELMORA_TYPE_FIELDS("fullnametypecar")};
#undef VELMORA_TYPE_FIELDS

constexpr Field<TCarInfoRec> kCarInfo[] = {intField("typid", &TCarInfoRec::typid),
                                           intField("modid", &TCarInfoRec::modid),
                                           intField("mfaid", &TCarInfoRec::mfaid),
                                           text("typecar", &TCarInfoRec::fullnametypecar),
                                           text("modelcar", &TCarInfoRec::modelcar),
                                           text("brand", &TCarInfoRec::brand),
                                           date("pconstart", &TCarInfoRec::pconstart),
                                           date("pconend", &TCarInfoRec::pconend),
                                           text("bodytype", &TCarInfoRec::bodytype),
                                           text("kw", &TCarInfoRec::kw),
                                           text("hp", &TCarInfoRec::hp),
                                           text("ccm", &TCarInfoRec::ccm),
                                           text("typefuel", &TCarInfoRec::typefuel),
                                           text("listcodeengine", &TCarInfoRec::listcodeengine)};

constexpr Field<TCategoryRec> kCategories[] = {
    intField("level", &TCategoryRec::level),
    intField("id1", &TCategoryRec::id1),
    {std::string_view("id2"), Kind::TolerantInt, &TCategoryRec::id2, nullptr},
    {std::string_view("id3"), Kind::TolerantInt, &TCategoryRec::id3, nullptr},
    {std::string_view("id4"), Kind::TolerantInt, &TCategoryRec::id4, nullptr},
    {std::string_view("id5"), Kind::TolerantInt, &TCategoryRec::id5, nullptr},
    text("text1", &TCategoryRec::text1),
    text("text2", &TCategoryRec::text2),
    text("text3", &TCategoryRec::text3),
    text("text4", &TCategoryRec::text4),
    text("text5", &TCategoryRec::text5)};

constexpr Field<TTradeGroupRec> kTradeGroups[] = {intField("gaid", &TTradeGroupRec::gaid),
                                                  text("ganame", &TTradeGroupRec::ganame),
                                                  text("gaassembly", &TTradeGroupRec::gaassembly)};

constexpr Field<TArticleRec> kArticles[] = {intField("artid", &TArticleRec::artid),
                                            intField("laid", &TArticleRec::laid),
                                            intField("braid", &TArticleRec::braid),
                                            text("brand", &TArticleRec::brand),
                                            text("articlenr", &TArticleRec::reference),
                                            text("name", &TArticleRec::name),
                                            text("additionalforname", &TArticleRec::additionalforname),
                                            text("statusproduct", &TArticleRec::status),
                                            text("criteries", &TArticleRec::criteries),
                                            text("termsofuse", &TArticleRec::termsofuse)};

constexpr Field<TNameSearchRec> kNameSearch[] = {intField("artid", &TNameSearchRec::artid),
                                                 intField("braid", &TNameSearchRec::braid),
                                                 text("brand", &TNameSearchRec::brand),
                                                 text("articlenr", &TNameSearchRec::reference),
                                                 text("name", &TNameSearchRec::name),
                                                 text("additionalforname", &TNameSearchRec::additionalforname),
                                                 text("statusproduct", &TNameSearchRec::status),
                                                 text("criteries", &TNameSearchRec::criteries),
                                                 text("termsofuse", &TNameSearchRec::termsofuse)};

constexpr Field<TCrossHitRec> kCrossHits[] = {intField("braid", &TCrossHitRec::braid),
                                              text("searchnr", &TCrossHitRec::reference),
                                              text("brand", &TCrossHitRec::brand), text("name", &TCrossHitRec::name)};

constexpr Field<TCrossSearchRec> kCrossSearch[] = {intField("artid", &TCrossSearchRec::artid),
                                                   intField("braid", &TCrossSearchRec::braid),
                                                   text("brand", &TCrossSearchRec::brand),
                                                   text("searchnr", &TCrossSearchRec::reference),
                                                   text("name", &TCrossSearchRec::name),
                                                   text("additionalforname", &TCrossSearchRec::additionalforname),
                                                   text("statusproduct", &TCrossSearchRec::status),
                                                   text("criteries", &TCrossSearchRec::criteries)};

constexpr Field<TCrossRefRec> kCrossRefs[] = {text("brand", &TCrossRefRec::brand),
                                              text("displaynr", &TCrossRefRec::displaynr)};
constexpr Field<TImageRec> kImages[] = {text("pathimage", &TImageRec::path)};
constexpr Field<TSupplierRec> kSuppliers[] = {text("brand", &TSupplierRec::brand)};

constexpr std::size_t kMostFields = std::size(kCarInfo);

// The decoder tries the field that usually comes next before searching the table and matches a
// key in place without looking for its closing quote; both rely on distinct alphanumeric keys.
template <class Rec, std::size_t N> constexpr bool plainDistinctKeys(const Field<Rec> (&table)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        for (const char c : table[i].key)
            if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
                return false;
        for (std::size_t j = i + 1; j < N; ++j)
            if (table[i].key == table[j].key)
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

// Everything the decoder looks for is ASCII, and in UTF-8 an ASCII byte is never part of another
// character, so the answer is cut in its bytes; only the values become text.

// Lines can be long (criteria texts), so scans go sixteen bytes at a time where SSE2 is there.
template <char... Units> const char* findFirstOf(const char* p, const char* end) {
#if defined(__SSE2__)
    for (; end - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i hit = _mm_setzero_si128();
        ((hit = _mm_or_si128(hit, _mm_cmpeq_epi8(v, _mm_set1_epi8(Units)))), ...);
        if (const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit)))
            return p + std::countr_zero(mask);
    }
#endif
    for (; p < end; ++p)
        if (((*p == Units) || ...))
            return p;
    return end;
}

const char* findLineBreak(const char* p, const char* end) {
    return findFirstOf<'\r', '\n'>(p, end);
}
const char* findQuoteOrLineBreak(const char* p, const char* end) {
    return findFirstOf<'"', '\r', '\n'>(p, end);
}

// Line starts are the text start and every byte after CR or LF; the byte after the CR of a
// CR LF pair is the LF, which never begins a record, so this matches line-by-line reading.
inline bool isRecordStart(const char* p, const char* end) {
    if (end - p < 4 || p[0] != '\t' || p[1] != '\t' || p[2] != '\t')
        return false;
    return p[3] == '{' || (p[3] == ',' && end - p >= 5 && p[4] == '{');
}

inline bool isFieldLine(const char* p, const char* end) {
    return end - p >= 4 && p[0] == '\t' && p[1] == '\t' && p[2] == '\t' && p[3] == '\t';
}

const char* findBrace(const char* p, const char* end) {
    const void* at = std::memchr(p, '{', static_cast<std::size_t>(end - p));
    return at ? static_cast<const char*>(at) : end;
}

// Record starts are rare, so hunting for their "{" beats walking every line.
qsizetype countRecords(const char* begin, const char* end) {
    qsizetype count = 0;
    for (const char* brace = findBrace(begin, end); brace != end; brace = findBrace(brace + 1, end)) {
        const qsizetype indent = brace - begin >= 4 && brace[-1] == ',' ? 4 : 3;
        if (brace - begin < indent)
            continue;
        const char* line = brace - indent;
        if ((line == begin || line[-1] == '\r' || line[-1] == '\n') && isRecordStart(line, end))
            ++count;
    }
    return count;
}

struct FieldLine {
    std::string_view key;   // between the first quote and the next
    std::string_view value; // after the first `": "` up to the next quote
    const char* lineEnd;
    bool keyExpected = false;
};

inline std::string_view between(const char* from, const char* to) {
    return std::string_view(from, static_cast<std::size_t>(to - from));
}

// Same cuts as TextBetween on the line. The usual shape, `"key": "value",` with the key expected
// next, needs no search for the key's end.
FieldLine splitFieldLine(const char* line, const char* end, std::string_view expectedKey) {
    FieldLine out{{}, {}, nullptr};
    const char* valueStart = nullptr;
    const qsizetype k = static_cast<qsizetype>(expectedKey.size());
    if (k > 0 && end - line >= 9 + k && line[4] == '"' && line[5 + k] == '"' &&
        sameBytes(line + 5, expectedKey.data(), expectedKey.size()) && line[6 + k] == ':' && line[7 + k] == ' ' &&
        line[8 + k] == '"') {
        out.key = std::string_view(line + 5, expectedKey.size());
        out.keyExpected = true;
        valueStart = line + 9 + k;
    } else {
        const char* q1 = findQuoteOrLineBreak(line + 4, end);
        if (q1 == end || *q1 != '"') {
            out.lineEnd = q1;
            return out;
        }
        const char* q2 = findQuoteOrLineBreak(q1 + 1, end);
        if (q2 == end || *q2 != '"') {
            out.lineEnd = q2; // a lone quote cannot start `": "`
            return out;
        }
        out.key = between(q1 + 1, q2);
        auto opensValue = [end](const char* q) { return end - q >= 4 && q[1] == ':' && q[2] == ' ' && q[3] == '"'; };
        if (opensValue(q1))
            valueStart = q1 + 4;
        else if (opensValue(q2))
            valueStart = q2 + 4;
        if (!valueStart) {
            out.lineEnd = findLineBreak(q2 + 1, end);
            const std::string_view rest = between(q2 + 1, out.lineEnd);
            const std::size_t open = rest.find("\": \"");
            if (open != std::string_view::npos) {
                const std::string_view value = rest.substr(open + 4);
                const std::size_t close = value.find('"');
                if (close != std::string_view::npos)
                    out.value = value.substr(0, close);
            }
            return out;
        }
    }
    const char* q3 = findQuoteOrLineBreak(valueStart, end);
    if (q3 == end || *q3 != '"') {
        out.lineEnd = q3;
        return out;
    }
    out.value = between(valueStart, q3);
    // Mostly `",` and the line break follow.
    const char* tail = q3 + 1;
    if (tail < end && *tail == ',')
        ++tail;
    out.lineEnd = tail < end && (*tail == '\r' || *tail == '\n') ? tail : findLineBreak(q3 + 1, end);
    return out;
}

} // namespace

QString decoding::utf8Text(std::string_view raw) {
    const QByteArrayView bytes(raw.data(), static_cast<qsizetype>(raw.size()));
    if (!bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes);
    // The quote that ends every value also ends a sequence cut short, as it does in the answer.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder(bytes.toByteArray() + '"');
    text.chop(1);
    return text;
}

QString decoding::dateText(std::string_view raw) {
    const bool ascii = std::all_of(raw.begin(), raw.begin() + std::min<std::size_t>(raw.size(), 6),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        // Made in place: one allocation instead of one per piece.
        const qsizetype year = qMin<qsizetype>(4, qsizetype(raw.size()));
        const qsizetype month = qMin<qsizetype>(2, qsizetype(raw.size()) - year);
        QString made(year + 1 + month, Qt::Uninitialized);
        QChar* out = made.data();
        for (qsizetype i = 0; i < year; ++i)
            *out++ = QLatin1Char(raw[std::size_t(i)]);
        *out++ = QLatin1Char('/');
        for (qsizetype i = 0; i < month; ++i)
            *out++ = QLatin1Char(raw[std::size_t(year + i)]);
        return made;
    }
    const QString text = utf8Text(raw);
    return text.first(qMin<qsizetype>(4, text.size())) + QLatin1Char('/') + text.mid(4, 2);
}

namespace {

bool plainAscii(QByteArrayView bytes) {
    unsigned char seen = 0; // no early exit: the loop runs in vector registers
    for (const char c : bytes)
        seen |= static_cast<unsigned char>(c);
    return seen < 0x80;
}

// Plain digits that cannot overflow; everything else goes by Qt's own rules on the text.
inline bool plainDigits(std::string_view value, int& result) {
    if (value.empty() || value.size() > 9)
        return false;
    int n = 0;
    for (const char c : value) {
        const unsigned digit = static_cast<unsigned char>(c) - unsigned('0');
        if (digit > 9)
            return false;
        n = n * 10 + static_cast<int>(digit);
    }
    result = n;
    return true;
}

int toInteger(std::string_view value) {
    int result = 0;
    if (plainDigits(value, result))
        return result;
    const QString text = utf8Text(value);
    bool ok = false;
    result = text.toInt(&ok, 10);
    if (!ok)
        throw ConversionError(text);
    return result;
}

// Trimming removes characters up to U+0020, which in UTF-8 are exactly the bytes up to 0x20.
std::string_view trimmed(std::string_view value) {
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    while (!value.empty() && blank(value.front()))
        value.remove_prefix(1);
    while (!value.empty() && blank(value.back()))
        value.remove_suffix(1);
    return value;
}

template <class Rec>
void store(Rec& record, const Field<Rec>& field, std::string_view value, TextCache& texts, DateCache& dates) {
    switch (field.kind) {
    case Kind::Int:
        record.*field.intMember = toInteger(value);
        break;
    case Kind::TolerantInt: {
        const std::string_view digits = trimmed(value);
        int n = 0;
        bool ok = plainDigits(digits, n);
        if (!ok)
            n = utf8Text(digits).toInt(&ok, 10);
        if (ok)
            record.*field.intMember = n;
        break;
    }
    case Kind::Date:
        if (!trimmed(value).empty())
            record.*field.textMember = dates.get<AsDate>(value);
        break;
    case Kind::Text:
        record.*field.textMember = texts.get<AsText>(value);
        break;
    case Kind::View:
        record.*field.viewMember = AnswerText(value.data(), qsizetype(value.size()));
        break;
    }
}

} // namespace

bool AnswerText::isBlank() const {
    return std::all_of(m_data, m_data + m_size, [](char c) { return static_cast<unsigned char>(c) <= 0x20; });
}

QString AnswerText::toString() const {
    return utf8Text(std::string_view(m_data, std::size_t(m_size)));
}

void AnswerText::appendTo(QString& text) const {
    if (plainAscii(bytes()))
        text.append(QLatin1StringView(m_data, m_size));
    else
        text.append(toString());
}

bool RecordsFitAnswer(qsizetype records, qsizetype recordSize, qsizetype answerLength) {
    constexpr qsizetype kSlackBytes = qsizetype(1) << 20;
    constexpr qsizetype kMultiple = 8;
    return records <= (kSlackBytes + kMultiple * answerLength) / recordSize;
}

namespace {

// Fills records from `first` on with the records whose start lines lie in [begin, end); fields
// before the first of them belong to no record.
template <class Rec>
void fillRecords(std::span<const Field<Rec>> table, const char* const begin, const char* const end, Rec* const first,
                 [[maybe_unused]] qsizetype count) {
    Rec* current = nullptr;
    std::array<TextCache, kMostFields> texts;
    DateCache dates;
    std::size_t expected = 0; // fields mostly come in table order
    const char* line = begin;
    while (line < end) {
        const char* lineEnd;
        if (isRecordStart(line, end)) {
            current = current ? current + 1 : first;
            Q_ASSERT(current - first < count); // both passes see the same record starts
            lineEnd = findLineBreak(line + 4, end);
        } else if (current && isFieldLine(line, end)) {
            const Field<Rec>* field = &table[expected];
            const FieldLine parts = splitFieldLine(line, end, field->key);
            lineEnd = parts.lineEnd;
            if (!parts.keyExpected && !field->key.empty()) {
                field = std::find_if(table.data(), table.data() + table.size(), [&parts](const Field<Rec>& f) {
                    return f.key.empty() || sameKey(parts.key, f.key);
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
        line = lineEnd + (*lineEnd == '\r' && lineEnd + 1 < end && lineEnd[1] == '\n' ? 2 : 1);
    }
}

std::atomic<qsizetype> twoThreadsFrom{std::numeric_limits<qsizetype>::max()};

// A record-start line at or after the middle of a big answer, or `end`. Every line is read
// alone and a record never spans two record starts, so the halves before and after it read
// exactly as they do within the whole; the line break before it ends the first half.
const char* middleRecordStart(const char* begin, const char* end) {
    if (end - begin < twoThreadsFrom.load(std::memory_order_relaxed))
        return end;
    for (const char* brace = findBrace(begin + (end - begin) / 2, end); brace != end;
         brace = findBrace(brace + 1, end)) {
        for (const qsizetype indent : {3, 4}) {
            if (brace - begin <= indent)
                continue;
            const char* line = brace - indent;
            if ((line[-1] == '\r' || line[-1] == '\n') && isRecordStart(line, end))
                return line;
        }
    }
    return end;
}

template <class Rec> QList<Rec> decodeRecords(const QString& function, QByteArrayView answer) {
    const std::span<const Field<Rec>> table = tableFor<Rec>(function);
    if (table.empty())
        return {};

    if (kViewsAnswer<Rec> && answer.size() > AnswerText::kMostBytes)
        throw OversizedAnswerError();
    const char* const begin = answer.data();
    const char* const end = begin + answer.size();
    // A big answer is read in two halves at once, each into its own slice of the records.
    const char* const middle = middleRecordStart(begin, end);
    const bool twoThreads = middle != end;
    qsizetype firstCount = 0;
    qsizetype secondCount = 0;
    inParallel(
        twoThreads, [&] { firstCount = countRecords(begin, middle); },
        [&] { secondCount = countRecords(middle, end); });
    if (!RecordsFitAnswer(firstCount + secondCount, qsizetype(sizeof(Rec)), answer.size()))
        throw OversizedAnswerError();
    QList<Rec> records;
    records.reserve(firstCount + secondCount);
    adviseHugePages(records.data(), records.capacity() * qsizetype(sizeof(Rec)));
    records.resize(firstCount + secondCount);
    // Indexing through the list would check for sharing on every field.
    Rec* const first = records.data();
    inParallel(
        twoThreads, [&] { fillRecords(table, begin, middle, first, firstCount); },
        [&] { fillRecords(table, middle, end, first + firstCount, secondCount); });
    return records;
}

} // namespace

qsizetype setTwoThreadThreshold(qsizetype bytes) {
    return twoThreadsFrom.exchange(bytes);
}

namespace {
// `held` is the answer as a QByteArray when the records are to keep it.
template <class Rec> Decoded<Rec> decodeHeld(const QString& function, QByteArrayView answer, const QByteArray& held) {
    // Conversion and size errors are thrown deep in the reader and never leave this function.
    try {
        if constexpr (kViewsAnswer<Rec>)
            return Decoded<Rec>(decodeRecords<Rec>(function, held), held);
        else
            return decodeRecords<Rec>(function, answer);
    } catch (const ActionError& e) {
        Decoded<Rec> failed;
        failed.error = e.message();
        return failed;
    }
}
} // namespace

template <class Rec> Decoded<Rec> DecodeAnswer(const QString& function, QByteArrayView answer) {
    return decodeHeld<Rec>(function, answer, kViewsAnswer<Rec> ? answer.toByteArray() : QByteArray());
}

template <class Rec> Decoded<Rec> DecodeAnswer(const QString& function, const QByteArray& answer) {
    return decodeHeld<Rec>(function, answer, answer);
}

template <class Rec> Decoded<Rec> DecodeAnswer(const QString& function, const QString& answer) {
    const QByteArray bytes = answer.toUtf8();
    return decodeHeld<Rec>(function, bytes, bytes);
}

#define VELMORA_DECODE(Rec)                                                                                            \
    template Decoded<Rec> DecodeAnswer<Rec>(const QString&, QByteArrayView);                                           \
    template Decoded<Rec> DecodeAnswer<Rec>(const QString&, const QByteArray&);                                        \
    template Decoded<Rec> DecodeAnswer<Rec>(const QString&, const QString&);
VELMORA_DECODE(TTypidRec)
VELMORA_DECODE(TYearRec)
VELMORA_DECODE(TManufacturerRec)
VELMORA_DECODE(TModelRec)
VELMORA_DECODE(TTypeRec)
VELMORA_DECODE(TCarInfoRec)
VELMORA_DECODE(TCategoryRec)
VELMORA_DECODE(TTradeGroupRec)
VELMORA_DECODE(TArticleRec)
VELMORA_DECODE(TNameSearchRec)
VELMORA_DECODE(TCrossSearchRec)
VELMORA_DECODE(TCrossHitRec)
VELMORA_DECODE(TCrossRefRec)
VELMORA_DECODE(TImageRec)
VELMORA_DECODE(TSupplierRec)
#undef VELMORA_DECODE
