#include "service/decoder.h"

#include "service/errors.h"
#include "service/textfunctions.h"

#include <span>

namespace {

enum class Kind { Int, TolerantInt, Date, Text };

template <class Rec>
struct Field {
    QLatin1StringView key; // empty: every key fills this field
    Kind kind;
    int Rec::*intMember = nullptr;
    QString Rec::*textMember = nullptr;
};

template <class Rec>
constexpr Field<Rec> intField(const char* key, int Rec::*m) {
    return {QLatin1StringView(key), Kind::Int, m, nullptr};
}
template <class Rec>
constexpr Field<Rec> text(const char* key, QString Rec::*m) {
    return {QLatin1StringView(key), Kind::Text, nullptr, m};
}
template <class Rec>
constexpr Field<Rec> date(const char* key, QString Rec::*m) {
    return {QLatin1StringView(key), Kind::Date, nullptr, m};
}

// ---- key tables ----

const Field<TTypidRec> kTypid[] = {intField("typid", &TTypidRec::typid)};
const Field<TYearRec> kYears[] = {{QLatin1StringView(), Kind::Int, &TYearRec::year, nullptr}};
const Field<TManufacturerRec> kManufacturers[] = {intField("mfaid", &TManufacturerRec::mfaid),
                                                  text("brand", &TManufacturerRec::brand)};
const Field<TModelRec> kModels[] = {intField("modid", &TModelRec::modid), text("modelcar", &TModelRec::modelcar),
                                    date("pconstart", &TModelRec::pconstart), date("pconend", &TModelRec::pconend)};

#define VELMORA_TYPE_FIELDS(nameKey)                                                                                   \
    intField("typid", &TTypeRec::typid), text(nameKey, &TTypeRec::fullnametypecar),                                   \
        date("pconstart", &TTypeRec::pconstart), date("pconend", &TTypeRec::pconend),                                 \
        text("bodytype", &TTypeRec::bodytype), text("kw", &TTypeRec::kw), text("hp", &TTypeRec::hp),                  \
        text("ccm", &TTypeRec::ccm), text("typefuel", &TTypeRec::typefuel),                                           \
        text("listcodeengine", &TTypeRec::listcodeengine)
const Field<TTypeRec> kTypes[] = {VELMORA_TYPE_FIELDS("shortnametypecar")};
const Field<TTypeRec> kTypesForArticle[] = {VELMORA_TYPE_FIELDS("fullnametypecar")};
#undef VELMORA_TYPE_FIELDS

const Field<TCarInfoRec> kCarInfo[] = {
    intField("typid", &TCarInfoRec::typid),       intField("modid", &TCarInfoRec::modid),
    intField("mfaid", &TCarInfoRec::mfaid),       text("typecar", &TCarInfoRec::fullnametypecar),
    text("modelcar", &TCarInfoRec::modelcar),     text("brand", &TCarInfoRec::brand),
    date("pconstart", &TCarInfoRec::pconstart),   date("pconend", &TCarInfoRec::pconend),
    text("bodytype", &TCarInfoRec::bodytype),     text("kw", &TCarInfoRec::kw),
    text("hp", &TCarInfoRec::hp),                 text("ccm", &TCarInfoRec::ccm),
    text("typefuel", &TCarInfoRec::typefuel),     text("listcodeengine", &TCarInfoRec::listcodeengine)};

const Field<TCategoryRec> kCategories[] = {
    intField("level", &TCategoryRec::level),
    intField("id1", &TCategoryRec::id1),
    {QLatin1StringView("id2"), Kind::TolerantInt, &TCategoryRec::id2, nullptr},
    {QLatin1StringView("id3"), Kind::TolerantInt, &TCategoryRec::id3, nullptr},
    {QLatin1StringView("id4"), Kind::TolerantInt, &TCategoryRec::id4, nullptr},
    {QLatin1StringView("id5"), Kind::TolerantInt, &TCategoryRec::id5, nullptr},
    text("text1", &TCategoryRec::text1),
    text("text2", &TCategoryRec::text2),
    text("text3", &TCategoryRec::text3),
    text("text4", &TCategoryRec::text4),
    text("text5", &TCategoryRec::text5)};

const Field<TTradeGroupRec> kTradeGroups[] = {intField("gaid", &TTradeGroupRec::gaid),
                                              text("ganame", &TTradeGroupRec::ganame),
                                              text("gaassembly", &TTradeGroupRec::gaassembly)};

const Field<TArticleRec> kArticles[] = {
    intField("artid", &TArticleRec::artid),     intField("laid", &TArticleRec::laid),
    intField("braid", &TArticleRec::braid),     text("brand", &TArticleRec::brand),
    text("articlenr", &TArticleRec::reference), text("name", &TArticleRec::name),
    text("additionalforname", &TArticleRec::additionalforname),
    text("statusproduct", &TArticleRec::status), text("criteries", &TArticleRec::criteries),
    text("termsofuse", &TArticleRec::termsofuse)};

const Field<TNameSearchRec> kNameSearch[] = {
    intField("artid", &TNameSearchRec::artid),      intField("braid", &TNameSearchRec::braid),
    text("brand", &TNameSearchRec::brand),          text("articlenr", &TNameSearchRec::reference),
    text("name", &TNameSearchRec::name),            text("additionalforname", &TNameSearchRec::additionalforname),
    text("statusproduct", &TNameSearchRec::status), text("criteries", &TNameSearchRec::criteries),
    text("termsofuse", &TNameSearchRec::termsofuse)};

const Field<TCrossHitRec> kCrossHits[] = {intField("braid", &TCrossHitRec::braid),
                                          text("searchnr", &TCrossHitRec::reference),
                                          text("brand", &TCrossHitRec::brand), text("name", &TCrossHitRec::name)};

const Field<TCrossSearchRec> kCrossSearch[] = {
    intField("artid", &TCrossSearchRec::artid),      intField("braid", &TCrossSearchRec::braid),
    text("brand", &TCrossSearchRec::brand),          text("searchnr", &TCrossSearchRec::reference),
    text("name", &TCrossSearchRec::name),            text("additionalforname", &TCrossSearchRec::additionalforname),
    text("statusproduct", &TCrossSearchRec::status), text("criteries", &TCrossSearchRec::criteries)};

const Field<TCrossRefRec> kCrossRefs[] = {text("brand", &TCrossRefRec::brand),
                                          text("displaynr", &TCrossRefRec::displaynr)};
const Field<TImageRec> kImages[] = {text("pathimage", &TImageRec::path)};
const Field<TSupplierRec> kSuppliers[] = {text("brand", &TSupplierRec::brand)};

template <class Rec>
std::span<const Field<Rec>> tableFor(const QString& fn);

#define VELMORA_TABLE(Rec, ...)                                                                                        \
    template <>                                                                                                        \
    std::span<const Field<Rec>> tableFor<Rec>(const QString& fn) {                                                     \
        __VA_ARGS__ return {};                                                                                         \
    }
#define VELMORA_FN(name, table)                                                                                        \
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

// Calls f for every line; lines end at CR LF, CR or LF.
template <class F>
void forEachLine(QStringView text, F&& f) {
    const QChar* data = text.data();
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = data[i].unicode();
        if (c != u'\n' && c != u'\r')
            continue;
        f(QStringView(data + start, i - start));
        if (c == u'\r' && i + 1 < n && data[i + 1].unicode() == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        f(QStringView(data + start, n - start));
}

inline bool isRecordStart(QStringView line) {
    if (line.size() < 4 || line[0] != u'\t' || line[1] != u'\t' || line[2] != u'\t')
        return false;
    return line[3] == u'{' || (line[3] == u',' && line.size() >= 5 && line[4] == u'{');
}

inline bool isFieldLine(QStringView line) {
    return line.size() >= 4 && line[0] == u'\t' && line[1] == u'\t' && line[2] == u'\t' && line[3] == u'\t';
}

int toInteger(QStringView value) {
    bool ok = false;
    const int result = value.toInt(&ok, 10);
    if (!ok)
        throw ConversionError(value.toString());
    return result;
}

template <class Rec>
void store(Rec& record, const Field<Rec>& field, QStringView value) {
    switch (field.kind) {
    case Kind::Int:
        record.*field.intMember = toInteger(value);
        break;
    case Kind::TolerantInt: {
        bool ok = false;
        const int n = TrimView(value).toInt(&ok, 10);
        if (ok)
            record.*field.intMember = n;
        break;
    }
    case Kind::Date:
        if (!IsBlank(value))
            record.*field.textMember = value.first(qMin<qsizetype>(4, value.size())).toString() + QLatin1Char('/') +
                                       value.mid(4, 2).toString();
        break;
    case Kind::Text:
        record.*field.textMember = value.toString();
        break;
    }
}

} // namespace

template <class Rec>
QList<Rec> DecodeAnswer(const QString& function, const QString& answer) {
    const std::span<const Field<Rec>> table = tableFor<Rec>(function);
    if (table.empty())
        return {};

    qsizetype count = 0;
    forEachLine(answer, [&](QStringView line) {
        if (isRecordStart(line))
            ++count;
    });

    QList<Rec> records(count);
    qsizetype current = -1;
    static const QString kQuote = QStringLiteral("\"");
    static const QString kValueStart = QStringLiteral("\": \"");
    forEachLine(answer, [&](QStringView line) {
        if (isRecordStart(line)) {
            ++current;
            return;
        }
        if (current < 0 || !isFieldLine(line))
            return;
        const QStringView key = TextBetweenView(line, kQuote, kQuote);
        for (const Field<Rec>& field : table) {
            if (field.key.isEmpty() || key == field.key) {
                store(records[current], field, TextBetweenView(line, kValueStart, kQuote));
                break;
            }
        }
    });
    return records;
}

template QList<TTypidRec> DecodeAnswer<TTypidRec>(const QString&, const QString&);
template QList<TYearRec> DecodeAnswer<TYearRec>(const QString&, const QString&);
template QList<TManufacturerRec> DecodeAnswer<TManufacturerRec>(const QString&, const QString&);
template QList<TModelRec> DecodeAnswer<TModelRec>(const QString&, const QString&);
template QList<TTypeRec> DecodeAnswer<TTypeRec>(const QString&, const QString&);
template QList<TCarInfoRec> DecodeAnswer<TCarInfoRec>(const QString&, const QString&);
template QList<TCategoryRec> DecodeAnswer<TCategoryRec>(const QString&, const QString&);
template QList<TTradeGroupRec> DecodeAnswer<TTradeGroupRec>(const QString&, const QString&);
template QList<TArticleRec> DecodeAnswer<TArticleRec>(const QString&, const QString&);
template QList<TNameSearchRec> DecodeAnswer<TNameSearchRec>(const QString&, const QString&);
template QList<TCrossSearchRec> DecodeAnswer<TCrossSearchRec>(const QString&, const QString&);
template QList<TCrossHitRec> DecodeAnswer<TCrossHitRec>(const QString&, const QString&);
template QList<TCrossRefRec> DecodeAnswer<TCrossRefRec>(const QString&, const QString&);
template QList<TImageRec> DecodeAnswer<TImageRec>(const QString&, const QString&);
template QList<TSupplierRec> DecodeAnswer<TSupplierRec>(const QString&, const QString&);
