// The program's path from a received catalog answer to records (the test-client marker scan and
// DecodeAnswer on the bytes) against RapidJSON's DOM and simdjson's On-Demand parser on two ~10 MB
// answers. Every contender starts from the same bytes and fills the same records, checked equal;
// throughput is counted in bytes of the answer, so the MB/s figures compare directly.
//
// Alike for all: vehicle types keep their texts as strings, and every contender makes them
// through the decoder's own cache of repeated values (one per field, dates sharing one), so none
// has a cache the others lack. Products keep their texts as views of the answer's bytes: the
// contenders view the buffer they parsed (simdjson's padded copy, RapidJSON's in-situ buffer or
// its document), and no cache is anywhere.
//
// The program reads an answer on one thread (ProgramPath); it could read it in two halves on two
// threads, and is timed that way too (ProgramPath_TwoThreads), which decides whether that pays. Every contender
// is timed by the wall clock with the CPU time of the whole process beside it: the time column is
// what a user waits, the CPU column the work done.

#include "service/decoder.h"
#include "service/errors.h"
#include "service/records.h"
#include "service/repeatcache.h"
#include "service/serviceclient.h"

#include "benchanswers.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <benchmark/benchmark.h>
#include <rapidjson/document.h>
#include <simdjson.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr std::size_t kAnswerBytes = 10u * 1024u * 1024u;

// ---- the records filled by the same rules for every baseline ----

enum class Kind { Int, Date, Text, View };

template <class Rec> struct JsonField {
    std::string_view key;
    Kind kind;
    int Rec::*intMember = nullptr;
    QString Rec::*textMember = nullptr;
    AnswerText Rec::*viewMember = nullptr;
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
    {"brand", Kind::View, nullptr, nullptr, &TArticleRec::brand},
    {"articlenr", Kind::View, nullptr, nullptr, &TArticleRec::reference},
    {"name", Kind::View, nullptr, nullptr, &TArticleRec::name},
    {"additionalforname", Kind::View, nullptr, nullptr, &TArticleRec::additionalforname},
    {"statusproduct", Kind::View, nullptr, nullptr, &TArticleRec::status},
    {"criteries", Kind::View, nullptr, nullptr, &TArticleRec::criteries},
    {"termsofuse", Kind::View, nullptr, nullptr, &TArticleRec::termsofuse}};

// The decoder's caches, one per field as it keeps them.
struct Caches {
    std::array<decoding::TextCache, 16> texts;
    decoding::DateCache dates;
};

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

template <class Rec>
void storeJson(Rec& rec, std::size_t index, const JsonField<Rec>& field, const char* p, std::size_t n, Caches& caches) {
    const std::string_view raw(p, n);
    switch (field.kind) {
    case Kind::Int:
        rec.*field.intMember = jsonInt(p, n);
        break;
    case Kind::Date:
        if (!blank(p, n))
            rec.*field.textMember = caches.dates.get<decoding::AsDate>(raw);
        break;
    case Kind::Text:
        rec.*field.textMember = caches.texts[index].get<decoding::AsText>(raw);
        break;
    case Kind::View:
        rec.*field.viewMember = AnswerText(p, qsizetype(n));
        break;
    }
}

// ---- RapidJSON baseline ----

template <class Rec, std::size_t N>
QList<Rec> fillFromDocument(const rapidjson::Document& doc, const JsonField<Rec> (&table)[N]) {
    Caches caches;
    const rapidjson::Value& data = doc["data"];
    QList<Rec> records(static_cast<qsizetype>(data.Size()));
    Rec* rec = records.data();
    for (const rapidjson::Value& object : data.GetArray()) {
        for (const auto& member : object.GetObject()) {
            const std::string_view key(member.name.GetString(), member.name.GetStringLength());
            for (std::size_t i = 0; i < N; ++i) {
                if (table[i].key == key) {
                    storeJson(*rec, i, table[i], member.value.GetString(), member.value.GetStringLength(), caches);
                    break;
                }
            }
        }
        ++rec;
    }
    return records;
}

// Views into `doc`, which the caller keeps while it holds the records.
template <class Rec, std::size_t N>
QList<Rec> rapidJsonParse(rapidjson::Document& doc, const QByteArray& utf8, const JsonField<Rec> (&table)[N]) {
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

// ---- simdjson On-Demand baseline ----

// A string value where it stands in the padded buffer: its raw token, quotes taken off. The
// answers hold no escapes, so the raw bytes are the value.
std::string_view rawString(simdjson::ondemand::value value) {
    std::string_view token = value.raw_json_token();
    while (!token.empty() && token.back() != '"')
        token.remove_suffix(1);
    return token.size() >= 2 ? token.substr(1, token.size() - 2) : std::string_view();
}

template <class Rec, std::size_t N>
QList<Rec> simdjsonOnDemand(simdjson::ondemand::parser& parser, const simdjson::padded_string_view& json,
                            const JsonField<Rec> (&table)[N]) {
    Caches caches;
    simdjson::ondemand::document doc = parser.iterate(json);
    simdjson::ondemand::array data = doc["data"].get_array();
    // On-Demand cannot count ahead without a second pass; the records grow as they come.
    QList<Rec> records;
    records.reserve(static_cast<qsizetype>(json.size() / 256));
    for (simdjson::ondemand::object object : data) {
        Rec& rec = records.emplace_back();
        for (simdjson::ondemand::field member : object) {
            const std::string_view key = member.unescaped_key();
            for (std::size_t i = 0; i < N; ++i) {
                if (table[i].key == key) {
                    const std::string_view value = table[i].kind == Kind::View
                                                       ? rawString(member.value())
                                                       : std::string_view(member.value().get_string());
                    storeJson(rec, i, table[i], value.data(), value.size(), caches);
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
template <class Rec> Decoded<Rec> programPath(const QString& function, const QByteArray& body) {
    if (holdsTestClientMarker(body))
        std::abort();
    return DecodeAnswer<Rec>(function, body);
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
    const qsizetype oneThreadFrom = setTwoThreadThreshold(qsizetype(1) << 20);
    const QList<Rec> twoThreads = programPath<Rec>(QString::fromLatin1(c.function), c.utf8);
    setTwoThreadThreshold(oneThreadFrom);
    rapidjson::Document doc;
    const QList<Rec> parsed = rapidJsonParse(doc, c.utf8, table);
    QByteArray scratch = c.utf8;
    const QList<Rec> insitu = rapidJsonInsitu(scratch.data(), table);
    simdjson::ondemand::parser parser;
    const QList<Rec> onDemand = simdjsonOnDemand(parser, c.padded, table);
    require(ours.size() > 1000, "too few records");
    require(ours == twoThreads && ours == parsed && ours == insitu && ours == onDemand, "records differ");
    std::fprintf(stderr, "%s: %lld bytes UTF-8, %lld records\n", c.function, static_cast<long long>(c.utf8.size()),
                 static_cast<long long>(ours.size()));

    const auto bytes = static_cast<std::int64_t>(c.utf8.size());
    const std::string prefix = std::string(c.function) + "/";
    for (const bool twoThreads : {false, true}) {
        timed(prefix + (twoThreads ? "ProgramPath_TwoThreads" : "ProgramPath"),
              [&c, bytes, twoThreads](benchmark::State& state) {
                  const QString function = QString::fromLatin1(c.function);
                  const qsizetype before =
                      setTwoThreadThreshold(twoThreads ? qsizetype(1) << 20 : std::numeric_limits<qsizetype>::max());
                  for (auto _ : state) {
                      Decoded<Rec> records = programPath<Rec>(function, c.utf8);
                      benchmark::DoNotOptimize(records.data());
                  }
                  setTwoThreadThreshold(before);
                  state.SetBytesProcessed(state.iterations() * bytes);
              });
    }
    timed(prefix + "simdjson_OnDemand", [&c, &table, bytes](benchmark::State& state) {
        simdjson::ondemand::parser parser;
        for (auto _ : state) {
            QList<Rec> records = simdjsonOnDemand(parser, c.padded, table);
            benchmark::DoNotOptimize(records.data());
        }
        state.SetBytesProcessed(state.iterations() * bytes);
    });
    timed(prefix + "RapidJSON_Parse", [&c, &table, bytes](benchmark::State& state) {
        rapidjson::Document doc;
        for (auto _ : state) {
            QList<Rec> records = rapidJsonParse(doc, c.utf8, table);
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
    for (Case* c : {&types, &articles}) {
        const std::string text = c == &types ? typesAnswer(kAnswerBytes) : articlesAnswer(kAnswerBytes, LONG_MAX);
        c->utf8 = QByteArray(text.data(), static_cast<qsizetype>(text.size()));
        c->padded = simdjson::padded_string(text);
    }
    registerCase(types, kTypeFields);
    registerCase(articles, kArticleFields);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
