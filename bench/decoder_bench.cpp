// The program's path from a received catalog answer to records (the test-client marker scan and
// DecodeAnswer on the bytes) against RapidJSON's DOM and simdjson's On-Demand parser on two ~10 MB
// answers. Every contender starts from the same bytes and fills the same records, checked equal;
// throughput is counted in bytes of the answer, so the MB/s figures compare directly.
// The program reads an answer this big in two halves on two threads where there are two cores,
// so every contender is timed by the wall clock, with the CPU time of the whole process beside
// it: the time column is what a user waits, the CPU column the work done.

#include "service/decoder.h"
#include "service/errors.h"
#include "service/records.h"
#include "service/serviceclient.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <benchmark/benchmark.h>
#include <rapidjson/document.h>
#include <simdjson.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr std::size_t kAnswerBytes = 10u * 1024u * 1024u;

// ---- answer generation ----

class AnswerWriter {
public:
    void beginRecord() {
        m_text += m_records++ == 0 ? "\t\t\t{\r\n" : "\t\t\t,{\r\n";
        m_firstField = true;
    }
    void field(std::string_view key, std::string_view value) {
        if (!m_firstField)
            m_text += ",\r\n";
        m_firstField = false;
        m_text += "\t\t\t\t\"";
        m_text += key;
        m_text += "\": \"";
        m_text += value;
        m_text += '"';
    }
    void field(std::string_view key, long value) { field(key, std::to_string(value)); }
    void endRecord() { m_text += "\r\n\t\t\t}\r\n"; }
    std::size_t size() const { return m_text.size(); }
    std::string finish() { return "{\r\n\t\"data\": [\r\n" + m_text + "\t]\r\n}\r\n"; }

private:
    std::string m_text;
    long m_records = 0;
    bool m_firstField = true;
};

class Picker {
public:
    explicit Picker(unsigned seed) : m_rng(seed) {}
    long between(long lo, long hi) { return std::uniform_int_distribution<long>(lo, hi)(m_rng); }
    bool chance(int percent) { return between(1, 100) <= percent; }
    template <class C> const auto& from(const C& items) {
        return items[static_cast<std::size_t>(between(0, static_cast<long>(std::size(items)) - 1))];
    }

private:
    std::mt19937 m_rng;
};

std::string yearMonth(long year, long month) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04ld%02ld", year, month);
    return buf;
}

std::string typesAnswer() {
    static constexpr std::array<std::string_view, 16> kEngines = {
        "1.0 TSI",    "1.2 TCe",   "1.4 16V",    "1.6 HDi",     "2.0 TDI", "2.0 TDI quattro",
        "1.9 TDI",    "2.2 CRDi",  "1.5 dCi",    "3.0 V6 24V",  "1.8 T",   "2.5 Turbo Diesel",
        "Électrique", "1.6 Gázos", "2.0 Гибрид", "1.3 Multijet"};
    static constexpr std::array<std::string_view, 9> kBodies = {
        "Saloon", "Hatchback", "Estate", "Coupé", "Convertible", "Off-Road Vehicle", "MPV", "Pick-up", "Van"};
    static constexpr std::array<std::string_view, 6> kFuels = {"Diesel",           "Petrol",   "Petrol/Electric",
                                                               "Petrol/Gas (LPG)", "Electric", "Diesel/Electric"};
    // Engines come from a limited range of outputs and displacements, as in the catalog.
    static constexpr std::array<long, 46> kKw = {37,  40,  44,  50,  51,  55,  59,  63,  66,  70,  74,  75,
                                                 77,  80,  81,  85,  88,  90,  92,  96,  100, 103, 105, 110,
                                                 118, 120, 125, 130, 132, 140, 147, 150, 155, 162, 165, 170,
                                                 180, 184, 195, 200, 210, 225, 235, 250, 265, 280};
    static constexpr std::array<long, 45> kCcm = {
        999,  1149, 1197, 1198, 1242, 1248, 1299, 1332, 1364, 1390, 1395, 1398, 1461, 1499, 1560,
        1586, 1595, 1596, 1598, 1686, 1781, 1796, 1798, 1896, 1910, 1968, 1984, 1995, 1997, 1998,
        2143, 2179, 2198, 2231, 2392, 2488, 2494, 2698, 2967, 2987, 2993, 2995, 3198, 3597, 4163};
    Picker pick(20240601);
    std::vector<std::string> engineCodes(600);
    for (std::string& code : engineCodes)
        for (int c = 0; c < 4; ++c)
            code += static_cast<char>('A' + pick.between(0, 25));
    AnswerWriter out;
    long typid = 3000;
    while (out.size() < kAnswerBytes) {
        typid += pick.between(1, 40);
        const long startYear = pick.between(1985, 2022);
        const long kw = pick.from(kKw);
        out.beginRecord();
        out.field("typid", typid);
        out.field("shortnametypecar", std::string(pick.from(kEngines)) + (pick.chance(30) ? " 4motion" : ""));
        out.field("pconstart", yearMonth(startYear, pick.between(1, 12)));
        out.field("pconend", pick.chance(20) ? std::string(pick.chance(50) ? "" : " ")
                                             : yearMonth(startYear + pick.between(1, 12), pick.between(1, 12)));
        out.field("bodytype", pick.from(kBodies));
        out.field("kw", kw);
        out.field("hp", kw * 136 / 100);
        out.field("ccm", pick.from(kCcm));
        out.field("typefuel", pick.from(kFuels));
        std::string codes;
        for (long n = pick.between(1, 5); n > 0; --n) {
            if (!codes.empty())
                codes += ", ";
            codes += pick.from(engineCodes);
        }
        out.field("listcodeengine", codes);
        out.endRecord();
    }
    return out.finish();
}

std::string articlesAnswer() {
    static constexpr std::array<std::string_view, 15> kBrands = {
        "BOSCH",          "ATE",       "TRW",        "FEBI BILSTEIN", "MANN-FILTER",
        "SACHS",          "LEMFÖRDER", "BREMBO",     "VALEO",         "NGK",
        "MAHLE ORIGINAL", "MEYLE",     "ZIMMERMANN", "TEXTAR",        "SKF"};
    static constexpr std::array<std::string_view, 12> kNames = {"Brake Disc",
                                                                "Brake Pad Set, disc brake",
                                                                "Oil Filter",
                                                                "Air Filter",
                                                                "Spark Plug",
                                                                "Shock Absorber",
                                                                "Control Arm/Trailing Arm, wheel suspension",
                                                                "Wheel Bearing Kit",
                                                                "Bremsscheibe",
                                                                "Тормозной диск",
                                                                "Filtre à huile",
                                                                "Timing Belt Kit"};
    static constexpr std::array<std::string_view, 7> kAdditions = {"",       "",       "Front Axle", "Rear Axle",
                                                                   "Vented", "Coated", "Ø 280 mm"};
    static constexpr std::array<std::string_view, 4> kStatus = {"Normal", "Normal", "Discontinued", "On request"};
    static constexpr std::array<std::string_view, 14> kCriteria = {"Fitting Position: Front Axle",
                                                                   "Brake Disc Type: Vented",
                                                                   "Diameter [mm]: 280",
                                                                   "Brake Disc Thickness [mm]: 22",
                                                                   "Minimum thickness [mm]: 19,2",
                                                                   "Height [mm]: 38,5",
                                                                   "Number of Holes: 5",
                                                                   "Bolt Hole Circle Ø [mm]: 112",
                                                                   "Centering Diameter [mm]: 65",
                                                                   "Surface: coated",
                                                                   "Operating temperature to [°C]: 120",
                                                                   "Thread Size: M14x1,25",
                                                                   "Einbauseite: Hinterachse",
                                                                   "Материал: сталь"};
    static constexpr std::array<std::string_view, 5> kTerms = {
        "", "", "for vehicles with ABS", "Vehicle Equipment: for vehicles with sports suspension",
        "from chassis no.: 8P-A-100001; für Fahrzeuge mit Xenon-Licht"};
    Picker pick(20240602);
    AnswerWriter out;
    long artid = 100000;
    while (out.size() < kAnswerBytes) {
        artid += pick.between(1, 500);
        out.beginRecord();
        out.field("artid", artid);
        out.field("laid", pick.between(1, 9999999));
        out.field("braid", pick.between(1, 400));
        out.field("brand", pick.from(kBrands));
        out.field("articlenr",
                  "0 986 " + std::to_string(pick.between(100, 999)) + " " + std::to_string(pick.between(100, 999)));
        out.field("name", pick.from(kNames));
        out.field("additionalforname", pick.from(kAdditions));
        out.field("statusproduct", pick.from(kStatus));
        std::string criteria;
        for (long n = pick.between(2, 12); n > 0; --n) {
            if (!criteria.empty())
                criteria += "; ";
            criteria += pick.from(kCriteria);
        }
        out.field("criteries", criteria);
        out.field("termsofuse", pick.from(kTerms));
        out.endRecord();
    }
    return out.finish();
}

// ---- RapidJSON baseline, filling the records by the same rules ----

enum class Kind { Int, Date, Text };

template <class Rec> struct JsonField {
    std::string_view key;
    Kind kind;
    int Rec::*intMember = nullptr;
    QString Rec::*textMember = nullptr;
};

const JsonField<TTypeRec> kTypeFields[] = {{"typid", Kind::Int, &TTypeRec::typid},
                                           {"shortnametypecar", Kind::Text, nullptr, &TTypeRec::fullnametypecar},
                                           {"pconstart", Kind::Date, nullptr, &TTypeRec::pconstart},
                                           {"pconend", Kind::Date, nullptr, &TTypeRec::pconend},
                                           {"bodytype", Kind::Text, nullptr, &TTypeRec::bodytype},
                                           {"kw", Kind::Text, nullptr, &TTypeRec::kw},
                                           {"hp", Kind::Text, nullptr, &TTypeRec::hp},
                                           {"ccm", Kind::Text, nullptr, &TTypeRec::ccm},
                                           {"typefuel", Kind::Text, nullptr, &TTypeRec::typefuel},
                                           {"listcodeengine", Kind::Text, nullptr, &TTypeRec::listcodeengine}};

const JsonField<TArticleRec> kArticleFields[] = {
    {"artid", Kind::Int, &TArticleRec::artid},
    {"laid", Kind::Int, &TArticleRec::laid},
    {"braid", Kind::Int, &TArticleRec::braid},
    {"brand", Kind::Text, nullptr, &TArticleRec::brand},
    {"articlenr", Kind::Text, nullptr, &TArticleRec::reference},
    {"name", Kind::Text, nullptr, &TArticleRec::name},
    {"additionalforname", Kind::Text, nullptr, &TArticleRec::additionalforname},
    {"statusproduct", Kind::Text, nullptr, &TArticleRec::status},
    {"criteries", Kind::Text, nullptr, &TArticleRec::criteries},
    {"termsofuse", Kind::Text, nullptr, &TArticleRec::termsofuse}};

int jsonInt(const char* p, std::size_t n) {
    int value = 0;
    const auto [end, ec] = std::from_chars(p, p + n, value);
    if (ec != std::errc() || end != p + n)
        throw ConversionError(QString::fromUtf8(p, static_cast<qsizetype>(n)));
    return value;
}

bool blank(const char* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (static_cast<unsigned char>(p[i]) > 0x20)
            return false;
    return true;
}

template <class Rec> void storeJson(Rec& rec, const JsonField<Rec>& field, const char* p, std::size_t n) {
    switch (field.kind) {
    case Kind::Int:
        rec.*field.intMember = jsonInt(p, n);
        break;
    case Kind::Date:
        if (!blank(p, n)) {
            // Dates are ASCII digits, so bytes and characters coincide.
            char buf[7];
            const std::size_t year = std::min<std::size_t>(4, n);
            const std::size_t month = n > 4 ? std::min<std::size_t>(2, n - 4) : 0;
            std::copy_n(p, year, buf);
            buf[year] = '/';
            std::copy_n(p + 4, month, buf + year + 1);
            rec.*field.textMember = QString::fromLatin1(buf, static_cast<qsizetype>(year + 1 + month));
        }
        break;
    case Kind::Text:
        rec.*field.textMember = QString::fromUtf8(p, static_cast<qsizetype>(n));
        break;
    }
}

template <class Rec, std::size_t N>
QList<Rec> fillFromDocument(const rapidjson::Document& doc, const JsonField<Rec> (&table)[N]) {
    const rapidjson::Value& data = doc["data"];
    QList<Rec> records(static_cast<qsizetype>(data.Size()));
    Rec* rec = records.data();
    for (const rapidjson::Value& object : data.GetArray()) {
        for (const auto& member : object.GetObject()) {
            const std::string_view key(member.name.GetString(), member.name.GetStringLength());
            for (const JsonField<Rec>& field : table) {
                if (field.key == key) {
                    storeJson(*rec, field, member.value.GetString(), member.value.GetStringLength());
                    break;
                }
            }
        }
        ++rec;
    }
    return records;
}

template <class Rec, std::size_t N>
QList<Rec> rapidJsonParse(const QByteArray& utf8, const JsonField<Rec> (&table)[N]) {
    rapidjson::Document doc;
    doc.Parse(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    if (doc.HasParseError())
        std::abort();
    return fillFromDocument(doc, table);
}

template <class Rec, std::size_t N> QList<Rec> rapidJsonInsitu(char* buffer, const JsonField<Rec> (&table)[N]) {
    rapidjson::Document doc;
    doc.ParseInsitu(buffer);
    if (doc.HasParseError())
        std::abort();
    return fillFromDocument(doc, table);
}

// ---- simdjson On-Demand baseline, the same rules ----

template <class Rec, std::size_t N>
QList<Rec> simdjsonOnDemand(simdjson::ondemand::parser& parser, const simdjson::padded_string_view& json,
                            const JsonField<Rec> (&table)[N]) {
    simdjson::ondemand::document doc = parser.iterate(json);
    simdjson::ondemand::array data = doc["data"].get_array();
    // On-Demand cannot count ahead without a second pass; the records grow as they come.
    QList<Rec> records;
    records.reserve(static_cast<qsizetype>(json.size() / 256));
    for (simdjson::ondemand::object object : data) {
        Rec& rec = records.emplace_back();
        for (simdjson::ondemand::field member : object) {
            const std::string_view key = member.unescaped_key();
            for (const JsonField<Rec>& field : table) {
                if (field.key == key) {
                    const std::string_view value = member.value().get_string();
                    storeJson(rec, field, value.data(), value.size());
                    break;
                }
            }
        }
    }
    return records;
}

// ---- fairness check ----

void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "decoder_bench: %s\n", what);
        std::exit(1);
    }
}

// ---- benchmarks ----

struct Case {
    const char* function;
    QByteArray utf8;
    // The same bytes with the room simdjson reads past their end (a receive buffer could have it).
    simdjson::padded_string padded;
};

// What the program does with a received catalog answer.
template <class Rec> QList<Rec> programPath(const QString& function, const QByteArray& body) {
    if (holdsTestClientMarker(body))
        std::abort();
    return DecodeAnswer<Rec>(function, QByteArrayView(body));
}

// Wall clock and whole-process CPU time, for every contender alike.
template <class Body> void timed(const std::string& name, Body&& body) {
    benchmark::RegisterBenchmark(name.c_str(), std::forward<Body>(body))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MeasureProcessCPUTime();
}

template <class Rec, std::size_t N> void registerCase(const Case& c, const JsonField<Rec> (&table)[N]) {
    const QList<Rec> ours = programPath<Rec>(QString::fromLatin1(c.function), c.utf8);
    const QList<Rec> parsed = rapidJsonParse(c.utf8, table);
    QByteArray scratch = c.utf8;
    const QList<Rec> insitu = rapidJsonInsitu(scratch.data(), table);
    simdjson::ondemand::parser parser;
    const QList<Rec> onDemand = simdjsonOnDemand(parser, c.padded, table);
    require(ours.size() > 1000, "too few records");
    require(ours == parsed && ours == insitu && ours == onDemand, "records differ");
    std::fprintf(stderr, "%s: %lld bytes UTF-8, %lld records\n", c.function, static_cast<long long>(c.utf8.size()),
                 static_cast<long long>(ours.size()));

    const auto bytes = static_cast<std::int64_t>(c.utf8.size());
    const std::string prefix = std::string(c.function) + "/";
    timed(prefix + "ProgramPath", [&c, bytes](benchmark::State& state) {
        const QString function = QString::fromLatin1(c.function);
        for (auto _ : state) {
            QList<Rec> records = programPath<Rec>(function, c.utf8);
            benchmark::DoNotOptimize(records.data());
        }
        state.SetBytesProcessed(state.iterations() * bytes);
    });
    timed(prefix + "simdjson_OnDemand", [&c, &table, bytes](benchmark::State& state) {
        simdjson::ondemand::parser parser;
        for (auto _ : state) {
            QList<Rec> records = simdjsonOnDemand(parser, c.padded, table);
            benchmark::DoNotOptimize(records.data());
        }
        state.SetBytesProcessed(state.iterations() * bytes);
    });
    timed(prefix + "RapidJSON_Parse", [&c, &table, bytes](benchmark::State& state) {
        for (auto _ : state) {
            QList<Rec> records = rapidJsonParse(c.utf8, table);
            benchmark::DoNotOptimize(records.data());
        }
        state.SetBytesProcessed(state.iterations() * bytes);
    });
    // The copy that in-situ parsing consumes is made outside the timed region.
    timed(prefix + "RapidJSON_Insitu", [&c, &table, bytes](benchmark::State& state) {
        std::vector<char> buffer(static_cast<std::size_t>(c.utf8.size()) + 1);
        for (auto _ : state) {
            state.PauseTiming();
            std::copy_n(c.utf8.constData(), c.utf8.size() + 1, buffer.data());
            state.ResumeTiming();
            QList<Rec> records = rapidJsonInsitu(buffer.data(), table);
            benchmark::DoNotOptimize(records.data());
        }
        state.SetBytesProcessed(state.iterations() * bytes);
    });
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    static Case types{"getTypes", {}, simdjson::padded_string()};
    static Case articles{"GetListArticlesFromTreeCategory", {}, simdjson::padded_string()};
    for (auto [c, make] : {std::pair{&types, &typesAnswer}, std::pair{&articles, &articlesAnswer}}) {
        const std::string text = make();
        c->utf8 = QByteArray(text.data(), static_cast<qsizetype>(text.size()));
        c->padded = simdjson::padded_string(text);
    }
    registerCase(types, kTypeFields);
    registerCase(articles, kArticleFields);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
