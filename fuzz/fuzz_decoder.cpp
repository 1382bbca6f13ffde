// The answer decoder against a plain reference written from its line rules: split into lines,
// count record starts, cut key and value with TextBetween, convert. Both must agree on every
// field, on a conversion error and on an answer refused for its size, and so must the decoder
// reading the answer in two halves at once.
#include "fuzzcheck.h"
#include "service/decoder.h"
#include "service/errors.h"
#include "service/textfunctions.h"

#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace {

enum class Kind { Int, TolerantInt, Date, Text };

// Fields as texts, integers written out, for comparing whole records.
template <class Rec> struct Layout {
    struct Field {
        const char* key; // nullptr: every key
        Kind kind;
        std::function<QString&(Rec&)> text;
        std::function<int&(Rec&)> integer;
    };
    std::vector<Field> fields;
};

template <class Rec> typename Layout<Rec>::Field intField(const char* key, int Rec::*m, Kind kind = Kind::Int) {
    return {key, kind, nullptr, [m](Rec& r) -> int& { return r.*m; }};
}
template <class Rec> typename Layout<Rec>::Field textField(const char* key, QString Rec::*m, Kind kind = Kind::Text) {
    return {key, kind, [m](Rec& r) -> QString& { return r.*m; }, nullptr};
}

QStringList referenceLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines << text.mid(start, i - start);
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    lines << text.mid(start);
    return lines;
}

bool isRecordStart(const QString& line) {
    return line.startsWith(QLatin1String("\t\t\t{")) || line.startsWith(QLatin1String("\t\t\t,{"));
}

int referenceInteger(const QString& value) {
    bool ok = false;
    const int n = value.toInt(&ok, 10);
    if (!ok)
        throw ConversionError(value);
    return n;
}

template <class Rec> QList<Rec> reference(const Layout<Rec>& layout, const QString& answer) {
    const QStringList lines = referenceLines(answer);
    qsizetype count = 0;
    for (const QString& line : lines)
        count += isRecordStart(line);
    if (!RecordsFitAnswer(count, qsizetype(sizeof(Rec)), answer.toUtf8().size()))
        throw OversizedAnswerError();
    QList<Rec> records(count);
    qsizetype current = -1;
    for (const QString& line : lines) {
        if (isRecordStart(line))
            ++current;
        if (!line.startsWith(QLatin1String("\t\t\t\t")) || current < 0)
            continue;
        const QString key = TextBetween(line, QStringLiteral("\""), QStringLiteral("\""));
        const QString value = TextBetween(line, QStringLiteral("\": \""), QStringLiteral("\""));
        for (const auto& field : layout.fields) {
            if (field.key && key != QLatin1String(field.key))
                continue;
            Rec& record = records[current];
            switch (field.kind) {
            case Kind::Int:
                field.integer(record) = referenceInteger(value);
                break;
            case Kind::TolerantInt: {
                bool ok = false;
                const int n = Trim(value).toInt(&ok, 10);
                if (!IsBlank(value) && ok)
                    field.integer(record) = n;
                break;
            }
            case Kind::Date:
                if (!IsBlank(value))
                    field.text(record) = value.left(4) + QLatin1Char('/') + value.mid(4, 2);
                break;
            case Kind::Text:
                field.text(record) = value;
                break;
            }
            break;
        }
    }
    return records;
}

template <class Rec> QStringList flat(const Layout<Rec>& layout, QList<Rec> records) {
    QStringList out;
    for (Rec& r : records)
        for (const auto& field : layout.fields)
            out << (field.integer ? QString::number(field.integer(r)) : field.text(r));
    return out;
}

template <class Rec> void compare(const Layout<Rec>& layout, const QString& function, const QString& answer) {
    std::optional<QStringList> real, expected;
    bool realConversion = false, expectedConversion = false, realRefused = false, expectedRefused = false;
    const Decoded<Rec> decoded = DecodeAnswer<Rec>(function, answer);
    if (decoded.ok())
        real = flat(layout, decoded);
    else if (decoded.error == OversizedAnswerError().message())
        realRefused = true;
    else
        realConversion = true;
    try {
        expected = flat(layout, reference(layout, answer));
    } catch (const ConversionError&) {
        expectedConversion = true;
    } catch (const OversizedAnswerError&) {
        expectedRefused = true;
    }
    FUZZ_CHECK(realRefused == expectedRefused);
    FUZZ_CHECK(realConversion == expectedConversion);
    FUZZ_CHECK(real == expected);

    // Read in two halves at once, the same records or the same first error.
    const qsizetype former = setTwoThreadThreshold(0);
    const Decoded<Rec> halves = DecodeAnswer<Rec>(function, answer);
    setTwoThreadThreshold(former);
    FUZZ_CHECK(halves.error == decoded.error);
    FUZZ_CHECK(halves.ok() ? flat(layout, halves) == *real : halves.isEmpty());
}

const Layout<TYearRec> kYears{{intField<TYearRec>(nullptr, &TYearRec::year)}};
const Layout<TModelRec> kModels{{intField("modid", &TModelRec::modid), textField("modelcar", &TModelRec::modelcar),
                                 textField("pconstart", &TModelRec::pconstart, Kind::Date),
                                 textField("pconend", &TModelRec::pconend, Kind::Date)}};
const Layout<TCategoryRec> kCategories{
    {intField("level", &TCategoryRec::level), intField("id1", &TCategoryRec::id1),
     intField("id2", &TCategoryRec::id2, Kind::TolerantInt), intField("id3", &TCategoryRec::id3, Kind::TolerantInt),
     intField("id4", &TCategoryRec::id4, Kind::TolerantInt), intField("id5", &TCategoryRec::id5, Kind::TolerantInt),
     textField("text1", &TCategoryRec::text1), textField("text2", &TCategoryRec::text2),
     textField("text3", &TCategoryRec::text3), textField("text4", &TCategoryRec::text4),
     textField("text5", &TCategoryRec::text5)}};
const Layout<TCarInfoRec> kCarInfo{
    {intField("typid", &TCarInfoRec::typid), intField("modid", &TCarInfoRec::modid),
     intField("mfaid", &TCarInfoRec::mfaid), textField("typecar", &TCarInfoRec::fullnametypecar),
     textField("modelcar", &TCarInfoRec::modelcar), textField("brand", &TCarInfoRec::brand),
     textField("pconstart", &TCarInfoRec::pconstart, Kind::Date),
     textField("pconend", &TCarInfoRec::pconend, Kind::Date), textField("bodytype", &TCarInfoRec::bodytype),
     textField("kw", &TCarInfoRec::kw), textField("hp", &TCarInfoRec::hp), textField("ccm", &TCarInfoRec::ccm),
     textField("typefuel", &TCarInfoRec::typefuel), textField("listcodeengine", &TCarInfoRec::listcodeengine)}};
const Layout<TCrossRefRec> kCrossRefs{
    {textField("brand", &TCrossRefRec::brand), textField("displaynr", &TCrossRefRec::displaynr)}};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const QString answer = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    switch (data[0] % 5) {
    case 0:
        compare(kYears, QStringLiteral("GetListYears"), answer);
        break;
    case 1:
        compare(kModels, QStringLiteral("getModels"), answer);
        break;
    case 2:
        compare(kCategories, QStringLiteral("GetTreeCategories"), answer);
        break;
    case 3:
        compare(kCarInfo, QStringLiteral("getInfoCar"), answer);
        break;
    default:
        compare(kCrossRefs, QStringLiteral("GetCrossReferencesForArticle"), answer);
        break;
    }
    return 0;
}
