#include "service/decoder.h"
#include "service/errors.h"
#include "service/textfunctions.h"
#include "support/answers.h"

#include <QProcess>
#include <QTest>

#include <limits>

namespace {

// Every record's fields as the user sees them.
QStringList shownTexts(const QList<TArticleRec>& records) {
    QStringList shown;
    for (const TArticleRec& r : records) {
        shown << QString::number(r.artid) + "/" + QString::number(r.laid) + "/" + QString::number(r.braid);
        for (const AnswerText* t :
             {&r.brand, &r.reference, &r.name, &r.additionalforname, &r.status, &r.criteries, &r.termsofuse})
            shown << t->toString();
    }
    return shown;
}
constexpr qsizetype kNever = std::numeric_limits<qsizetype>::max();
constexpr qsizetype kDefault = -1; // the program's own size: a megabyte where there are two cores

// getTypes records numbered from 1 with line breaks `eol`; the type numbers of the `bad`
// records are "x<number>". Values hold tabs and braces that would start a record on a line of
// their own, bad bytes and a byte-order mark.
QByteArray typesAnswer(int records, const QByteArray& eol, const QList<int>& bad = {}) {
    QByteArray answer = "{" + eol + "\t\"data\": [" + eol;
    for (int i = 1; i <= records; ++i) {
        const QByteArray n = QByteArray::number(i);
        answer += (i == 1 ? "\t\t\t{" : "\t\t\t,{") + eol;
        const QList<QPair<QByteArray, QByteArray>> fields = {
            {"typid", bad.contains(i) ? "x" + n : n},
            {"shortnametypecar", "1.9 TDI \xC3\xA9 " + n},
            {"pconstart", QByteArray::number(1990 + i % 30) + "0" + QByteArray::number(1 + i % 9)},
            {"pconend", i % 4 ? "202012" : " "},
            {"bodytype", i % 3 ? "Saloon"
                               : "\xEF\xBB\xBF"
                                 "Coup\xC3\xA9 \xFF"},
            {"kw", QByteArray::number(50 + i % 7)},
            {"listcodeengine", "AB\t\t\t{, \t\t\t,{ " + n}};
        for (qsizetype f = 0; f < fields.size(); ++f)
            answer += "\t\t\t\t\"" + fields[f].first + "\": \"" + fields[f].second + '"' +
                      (f + 1 < fields.size() ? "," : "") + eol;
        answer += "\t\t\t}" + eol;
    }
    return answer + "\t]" + eol + "}" + eol;
}

// Sets the size from which answers are decoded on two threads, while it lives; kDefault leaves it.
class TwoThreadsFrom {
public:
    explicit TwoThreadsFrom(qsizetype bytes) : m_former(setTwoThreadThreshold(bytes)) {
        if (bytes == kDefault)
            setTwoThreadThreshold(m_former);
    }
    ~TwoThreadsFrom() { setTwoThreadThreshold(m_former); }

private:
    qsizetype m_former;
};
} // namespace

class TestDecoder : public QObject {
    Q_OBJECT
private slots:
    void recordsInAnswerOrderForEveryFunction_data();
    void recordsInAnswerOrderForEveryFunction();
    void typeNameKeyDependsOnFunction();
    void fieldRules();
    void unusualFieldLines_data();
    void unusualFieldLines();
    void categoryIdsAreTolerantButLevelIsNot();
    void conversionErrorQuotesTheText();
    void unknownOrMiscasedFunctionGivesNothing();
    void manyRepeatedValuesKeepTheirOwnText();
    void twoThreadsReadAsOne_data();
    void twoThreadsReadAsOne();
    void peakMemoryStaysNearTheAnswerSize_data();
    void peakMemoryStaysNearTheAnswerSize();
    void bytesReadAsTheirText_data();
    void bytesReadAsTheirText();
};

void TestDecoder::recordsInAnswerOrderForEveryFunction_data() {
    QTest::addColumn<QString>("function");
    for (const char* fn :
         {"GetListYears", "getManufacturers", "getModels", "getTypes", "GetTypesForArticle", "getInfoCar",
          "getSearchKBA", "getSearchMIME", "GetTreeCategories", "GetListTradeGroupsForCar",
          "GetListArticlesFromTreeCategory", "GetListArticlesFromTradeGroup", "getSearchArticleByNameForCar",
          "getSearchByCrossref", "GetSearchByCrossrefAndBrand", "GetCrossReferencesForArticle", "getImageForArticle",
          "GetSuppliers"})
        QTest::newRow(fn) << QString::fromLatin1(fn);
}

// Every function reads three records (first "{", then ",{") into its record type, in order.
void TestDecoder::recordsInAnswerOrderForEveryFunction() {
    QFETCH(QString, function);
    QList<QList<QPair<QString, QString>>> recs;
    for (int i = 1; i <= 3; ++i) {
        const QString n = QString::number(i);
        recs.append({{"typid", n},
                     {"year", n},
                     {"mfaid", n},
                     {"modid", n},
                     {"level", "1"},
                     {"id1", n},
                     {"gaid", n},
                     {"artid", n},
                     {"laid", n},
                     {"braid", n},
                     {"brand", "B" + n},
                     {"pathimage", "P" + n}});
    }
    const QString text = catalogAnswer(recs);
    auto check = [&](auto list, auto firstInt) {
        QCOMPARE(list.size(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(firstInt(list[i]), i + 1);
    };
    auto checkText = [&](auto list, auto field, const QString& prefix) {
        QCOMPARE(list.size(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(field(list[i]), prefix + QString::number(i + 1));
    };
    if (function == "GetListYears")
        check(DecodeAnswer<TYearRec>(function, catalogAnswer({{{"year", "1"}}, {{"year", "2"}}, {{"year", "3"}}})),
              [](auto r) { return r.year; });
    else if (function == "getManufacturers")
        check(DecodeAnswer<TManufacturerRec>(function, text), [](auto r) { return r.mfaid; });
    else if (function == "getModels")
        check(DecodeAnswer<TModelRec>(function, text), [](auto r) { return r.modid; });
    else if (function == "getTypes" || function == "GetTypesForArticle")
        check(DecodeAnswer<TTypeRec>(function, text), [](auto r) { return r.typid; });
    else if (function == "getInfoCar")
        check(DecodeAnswer<TCarInfoRec>(function, text), [](auto r) { return r.typid + r.mfaid - r.modid; });
    else if (function.startsWith("getSearch") && function.size() <= 13)
        check(DecodeAnswer<TTypidRec>(function, text), [](auto r) { return r.typid; });
    else if (function == "GetTreeCategories")
        check(DecodeAnswer<TCategoryRec>(function, text), [](auto r) { return r.id1; });
    else if (function == "GetListTradeGroupsForCar")
        check(DecodeAnswer<TTradeGroupRec>(function, text), [](auto r) { return r.gaid; });
    else if (function.startsWith("GetListArticles"))
        check(DecodeAnswer<TArticleRec>(function, text), [](auto r) { return r.artid + r.laid - r.braid; });
    else if (function == "getSearchArticleByNameForCar")
        check(DecodeAnswer<TNameSearchRec>(function, text), [](auto r) { return r.artid; });
    else if (function == "getSearchByCrossref")
        check(DecodeAnswer<TCrossHitRec>(function, text), [](auto r) { return r.braid; });
    else if (function == "GetSearchByCrossrefAndBrand")
        check(DecodeAnswer<TCrossSearchRec>(function, text), [](auto r) { return r.artid; });
    else if (function == "GetCrossReferencesForArticle")
        checkText(
            DecodeAnswer<TCrossRefRec>(function, text), [](auto r) { return r.brand; }, "B");
    else if (function == "getImageForArticle")
        checkText(
            DecodeAnswer<TImageRec>(function, text), [](auto r) { return r.path; }, "P");
    else if (function == "GetSuppliers")
        checkText(
            DecodeAnswer<TSupplierRec>(function, text), [](auto r) { return r.brand; }, "B");
    else
        QFAIL("function without a check");
}

void TestDecoder::typeNameKeyDependsOnFunction() {
    const QString text = catalogAnswer({{{"typid", "7"}, {"shortnametypecar", "short"}, {"fullnametypecar", "full"}}});
    QCOMPARE(DecodeAnswer<TTypeRec>("getTypes", text).value(0).fullnametypecar, QStringLiteral("short"));
    QCOMPARE(DecodeAnswer<TTypeRec>("GetTypesForArticle", text).value(0).fullnametypecar, QStringLiteral("full"));
    const QString car = catalogAnswer({{{"typid", "7"}, {"modid", "1"}, {"mfaid", "2"}, {"typecar", "1.9 TDI"}}});
    QCOMPARE(DecodeAnswer<TCarInfoRec>("getInfoCar", car).value(0).fullnametypecar, QStringLiteral("1.9 TDI"));
}

void TestDecoder::fieldRules() {
    // The last field line of a year record wins, whatever its key.
    const auto years = DecodeAnswer<TYearRec>("GetListYears", catalogAnswer({{{"year", "1999"}, {"other", "2001"}}}));
    QCOMPARE(years.value(0).year, 2001);

    // Dates become year/month; a blank end stays empty.
    const auto models = DecodeAnswer<TModelRec>(
        "getModels", catalogAnswer({{{"modid", "5"}, {"modelcar", "A4"}, {"pconstart", "199411"}, {"pconend", " "}}}));
    QCOMPARE(models.value(0).pconstart, QStringLiteral("1994/11"));
    QCOMPARE(models.value(0).pconend, QString());

    // An escaped quote ends the value and keeps the backslash; a repeated key overwrites.
    const auto brands =
        DecodeAnswer<TSupplierRec>("GetSuppliers", catalogAnswer({{{"brand", "first"}, {"brand", "A \\\"B\\\" C"}}}));
    QCOMPARE(brands.value(0).brand, QStringLiteral("A \\"));

    // A record without fields stays empty; fields before the first record are ignored; more tabs still count.
    const QString text = QStringLiteral("\t\t\t\t\"brand\": \"stray\",\n\t\t\t{\n\t\t\t}\n\t\t\t,{\n"
                                        "\t\t\t\t\t\"brand\": \"deep\"\n\t\t\t}\r");
    const auto two = DecodeAnswer<TSupplierRec>("GetSuppliers", text);
    QCOMPARE(two.size(), 2);
    QCOMPARE(two[0].brand, QString());
    QCOMPARE(two[1].brand, QStringLiteral("deep"));

    // No record-start lines: nothing.
    QVERIFY(DecodeAnswer<TSupplierRec>("GetSuppliers", QStringLiteral("<html>error</html>")).isEmpty());
}

void TestDecoder::unusualFieldLines_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("brand");
    QTest::newRow("second separator") << QStringLiteral("\"brand\": \"x\": \"y\",") << QStringLiteral("x");
    QTest::newRow("blank before colon") << QStringLiteral("\"brand\" : \"x\",") << QString();
    QTest::newRow("no blank after colon") << QStringLiteral("\"brand\":\"x\",") << QString();
    QTest::newRow("bare value") << QStringLiteral("\"brand\": x,") << QString();
    QTest::newRow("unterminated value") << QStringLiteral("\"brand\": \"x") << QString();
    QTest::newRow("empty value") << QStringLiteral("\"brand\": \"\",") << QString();
    QTest::newRow("separator after another key")
        << QStringLiteral("\"brand\", \"other\": \"x\"") << QStringLiteral("x");
    QTest::newRow("longer key") << QStringLiteral("\"brandx\": \"x\",") << QString();
    QTest::newRow("shorter key") << QStringLiteral("\"bran\": \"x\",") << QString();
    QTest::newRow("tabs and text after value")
        << QStringLiteral("\"brand\": \"a\tb\" , tail") << QStringLiteral("a\tb");
    QTest::newRow("lone quote") << QStringLiteral("\"brand: x") << QString();
}

// The same cuts whether the key is the one the decoder expects next or not, and whether the
// line ends with a break or with the answer.
void TestDecoder::unusualFieldLines() {
    QFETCH(QString, line);
    QFETCH(QString, brand);
    for (const QString& tail : {QStringLiteral("\r\n\t\t\t}\r\n"), QString()}) {
        const QString text = QStringLiteral("\t\t\t{\r\n\t\t\t\t") + line + tail;
        QCOMPARE(DecodeAnswer<TSupplierRec>("GetSuppliers", text).value(0).brand, brand);
        QCOMPARE(DecodeAnswer<TArticleRec>("GetListArticlesFromTreeCategory", text).value(0).brand, brand);
    }
}

void TestDecoder::categoryIdsAreTolerantButLevelIsNot() {
    const auto cats = DecodeAnswer<TCategoryRec>(
        "GetTreeCategories",
        catalogAnswer(
            {{{"level", "3"}, {"id1", "10"}, {"id2", "20"}, {"id3", ""}, {"id4", "x"}, {"text3", "Brakes"}}}));
    QCOMPARE(cats.value(0).id2, 20);
    QCOMPARE(cats.value(0).id3, 0);
    QCOMPARE(cats.value(0).id4, 0);
    QCOMPARE(cats.value(0).text3, QStringLiteral("Brakes"));
    QVERIFY(!DecodeAnswer<TCategoryRec>("GetTreeCategories", catalogAnswer({{{"level", ""}}})).ok());
    const auto broken = DecodeAnswer<TCategoryRec>("GetTreeCategories", catalogAnswer({{{"level", "1"}, {"id1", ""}}}));
    QVERIFY(!broken.ok());
    QVERIFY(broken.isEmpty());
}

void TestDecoder::conversionErrorQuotesTheText() {
    const auto broken = DecodeAnswer<TTypeRec>("getTypes", catalogAnswer({{{"typid", "1"}}, {{"typid", "12a"}}}));
    QCOMPARE(broken.error, QStringLiteral("'12a' is not a valid integer value"));
    QVERIFY(broken.isEmpty());
    QVERIFY(DecodeAnswer<TTypeRec>("getTypes", catalogAnswer({{{"typid", "12"}}})).ok());
    // A bare number is not a quoted value: empty, so an error too.
    QVERIFY(!DecodeAnswer<TTypeRec>("getTypes", QStringLiteral("\t\t\t{\n\t\t\t\t\"typid\": 12,\n")).ok());
}

void TestDecoder::unknownOrMiscasedFunctionGivesNothing() {
    const QString text = catalogAnswer({{{"typid", "1"}}});
    QVERIFY(DecodeAnswer<TTypeRec>("gettypes", text).isEmpty());
    QVERIFY(DecodeAnswer<TTypeRec>("getManufacturers", text).isEmpty());
}

void TestDecoder::bytesReadAsTheirText_data() {
    QTest::addColumn<QByteArray>("answer");
    const QByteArray bom = "\xEF\xBB\xBF";
    auto article = [](const QByteArray& name, const QByteArray& brand, const QByteArray& artid = "1") {
        return "\t\t\t{\r\n\t\t\t\t\"artid\": \"" + artid + "\",\r\n\t\t\t\t\"brand\": \"" + brand +
               "\",\r\n\t\t\t\t\"name\": \"" + name + "\",\r\n\t\t\t\t\"criteries\": \"\xC3\x98 280\"\r\n\t\t\t}\r\n";
    };
    QTest::newRow("byte-order mark before the answer") << bom + article("Disc", "ATE");
    QTest::newRow("byte-order mark opening values") << article(bom + "Disc", bom + bom + "A");
    QTest::newRow("non-ASCII values") << article("Bremsbel\xC3\xA4ge \xE2\x82\xAC \xF0\x9F\x9A\x97 \xE6\xB1\xBD",
                                                 "NORDSTR\xC3\x96M / K\xC3\x9CHLER");
    QTest::newRow("bad bytes in values") << article("a\xC0\xAF b\xFF c\xED\xA0\x80", "cut \xE2\x82") +
                                                article("\xF0\x9F\x98", "\x80");
    QTest::newRow("bad bytes in a key") << QByteArray(
        "\t\t\t{\n\t\t\t\t\"bra\xFFnd\": \"x\",\n\t\t\t\t\"brand\": \"y\xE2\"\n");
    QTest::newRow("bad bytes in a number") << article("n", "b", "1\xE2\x82");
    QTest::newRow("non-ASCII digits") << article("n", "b", "\xEF\xBC\x91");
    QTest::newRow("line breaks of every kind") << article("x", "y").replace("\r\n", "\r") + article("z", "w");
    QTest::newRow("empty values") << article("", "") + article(" ", "\t");
}

// The bytes as received read as the same bytes made text first (bad bytes as U+FFFD, a
// byte-order mark kept as U+FEFF), errors included.
void TestDecoder::bytesReadAsTheirText() {
    QFETCH(QByteArray, answer);
    const QString text = StreamToUtf8Text(answer);
    const QString fn = QStringLiteral("GetListArticlesFromTreeCategory");
    const Decoded<TArticleRec> fromBytes = DecodeAnswer<TArticleRec>(fn, QByteArrayView(answer));
    const Decoded<TArticleRec> fromText = DecodeAnswer<TArticleRec>(fn, text);
    QCOMPARE(fromBytes.error, fromText.error);
    QCOMPARE(fromBytes.size(), fromText.size());
    QCOMPARE(shownTexts(fromBytes), shownTexts(fromText));
    // What the text shows, character by character.
    if (!fromBytes.isEmpty() && answer.contains("\"name\": \""))
        QCOMPARE(fromBytes.first().name.toString(),
                 StreamToUtf8Text(answer).section(QStringLiteral("\"name\": \""), 1).section(u'"', 0, 0));
    // The texts kept as bytes show as the decoder's own texts (of records that make them at once).
    QByteArray hits = answer;
    hits.replace("\"artid\"", "\"braid\"");
    const Decoded<TCrossHitRec> made = DecodeAnswer<TCrossHitRec>(QStringLiteral("getSearchByCrossref"), hits);
    QCOMPARE(made.size(), fromBytes.size());
    for (qsizetype i = 0; i < made.size(); ++i) {
        QCOMPARE(fromBytes.at(i).brand.toString(), made.at(i).brand);
        QCOMPARE(fromBytes.at(i).name.toString(), made.at(i).name);
        QCOMPARE(fromBytes.at(i).name.isBlank(), IsBlank(made.at(i).name));
    }

    // Dates cut characters, not bytes; category ids are tolerant.
    QByteArray dated = answer;
    dated.replace("\"name\"", "\"pconstart\"").replace("\"brand\"", "\"pconend\"");
    QVERIFY(DecodeAnswer<TModelRec>("getModels", QByteArrayView(dated)) ==
            DecodeAnswer<TModelRec>("getModels", StreamToUtf8Text(dated)));
    QByteArray category = answer;
    category.replace("\"artid\"", "\"id2\"").replace("\"brand\"", "\"text1\"");
    QVERIFY(DecodeAnswer<TCategoryRec>("GetTreeCategories", QByteArrayView(category)) ==
            DecodeAnswer<TCategoryRec>("GetTreeCategories", StreamToUtf8Text(category)));
}

// Values repeat in many patterns (dates of fifty years, engine outputs, dates cut short); each
// record still shows its own, whatever the decoder shares between records.
void TestDecoder::manyRepeatedValuesKeepTheirOwnText() {
    QList<AnswerRecord> records;
    for (int i = 0; i < 3000; ++i) {
        const QString start =
            QString::number(1970 + i * 7 % 50) + QStringLiteral("%1").arg(1 + i * 5 % 12, 2, 10, QChar('0'));
        const QString end = start.left(i % 8);
        records.append({{"typid", QString::number(i)},
                        {"pconstart", start},
                        {"pconend", end},
                        {"kw", QString::number(40 + i * 11 % 97)},
                        {"bodytype", QStringLiteral("Body %1").arg(i * 3 % 41)}});
    }
    const auto types = DecodeAnswer<TTypeRec>("getTypes", catalogAnswer(records));
    QCOMPARE(types.size(), records.size());
    for (qsizetype i = 0; i < records.size(); ++i) {
        const AnswerRecord& r = records[i];
        const TTypeRec& t = types[i];
        auto date = [](const QString& v) { return v.trimmed().isEmpty() ? QString() : v.left(4) + '/' + v.mid(4, 2); };
        QCOMPARE(t.typid, int(i));
        QCOMPARE(t.pconstart, date(r[1].second));
        QCOMPARE(t.pconend, date(r[2].second));
        QCOMPARE(t.kw, r[3].second);
        QCOMPARE(t.bodytype, r[4].second);
    }
}

void TestDecoder::twoThreadsReadAsOne_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<qsizetype>("threshold");
    QTest::addColumn<qsizetype>("records");
    QTest::addColumn<QString>("error");
    const QString none;
    for (const QByteArray eol : {"\r\n", "\n", "\r"}) {
        const QByteArray name = eol.toPercentEncoding();
        const QByteArray answer = typesAnswer(41, eol);
        QTest::addRow("%s", name.data()) << answer << qsizetype(0) << qsizetype(41) << none;
        // Whichever record the middle falls in.
        for (int shift = 1; shift < 200; shift += 13)
            QTest::addRow("%s, %d blanks behind", name.data(), shift)
                << answer + QByteArray(shift * 3, ' ') << qsizetype(0) << qsizetype(41) << none;
        QTest::addRow("%s, fields before the first record", name.data())
            << "\t\t\t\t\"typid\": \"x\"," + eol + "\t\t\t\t\"kw\": \"1\"" + eol + answer << qsizetype(0)
            << qsizetype(41) << none;
        QTest::addRow("%s, no record start in the second half", name.data())
            << answer + QByteArray("\t\t\t\"typid\": \"7\"," + eol).repeated(300) << qsizetype(0) << qsizetype(41)
            << none;
    }
    const QString x3 = ConversionError("x3").message();
    QTest::newRow("bad number in the first half") << typesAnswer(41, "\r\n", {3}) << qsizetype(0) << qsizetype(0) << x3;
    QTest::newRow("bad number in the second half")
        << typesAnswer(41, "\r\n", {38}) << qsizetype(0) << qsizetype(0) << ConversionError("x38").message();
    QTest::newRow("bad numbers in both halves")
        << typesAnswer(41, "\r\n", {38, 3, 40}) << qsizetype(0) << qsizetype(0) << x3;
    QTest::newRow("bare record starts") << QByteArray("\t\t\t{\n").repeated(10000) << qsizetype(0) << qsizetype(0)
                                        << OversizedAnswerError().message();

    // Around the size from which a big answer is read in halves.
    const qsizetype big = qsizetype(1) << 20;
    const QByteArray nearBig = typesAnswer(4500, "\r\n");
    const qsizetype count = 4500;
    QVERIFY(nearBig.size() < big && nearBig.size() > big * 3 / 4);
    for (const qsizetype size : {big - 1, big, big + 1}) {
        const QByteArray padding(size - nearBig.size(), ' ');
        QTest::addRow("%lld bytes", qlonglong(size)) << nearBig + padding << kDefault << count << none;
        QTest::addRow("%lld bytes, bad numbers in both halves", qlonglong(size))
            << typesAnswer(4500, "\r\n", {4000, 17}) + padding << kDefault << qsizetype(0)
            << ConversionError("x17").message();
        QTest::addRow("%lld bytes, bad number in the second half", qlonglong(size))
            << typesAnswer(4500, "\r\n", {4000}) + padding << kDefault << qsizetype(0)
            << ConversionError("x4000").message();
    }
}

// Halves read on two threads give the records, or the first error in the answer, exactly as
// one reading of the whole.
void TestDecoder::twoThreadsReadAsOne() {
    QFETCH(QByteArray, answer);
    QFETCH(qsizetype, threshold);
    QFETCH(qsizetype, records);
    QFETCH(QString, error);
    Decoded<TTypeRec> once;
    {
        const TwoThreadsFrom never(kNever);
        once = DecodeAnswer<TTypeRec>("getTypes", answer);
    }
    const TwoThreadsFrom halves(threshold);
    const Decoded<TTypeRec> twice = DecodeAnswer<TTypeRec>("getTypes", answer);
    QCOMPARE(once.error, error);
    QCOMPARE(once.size(), records);
    QCOMPARE(twice.error, once.error);
    QCOMPARE(twice.size(), once.size());
    QVERIFY(twice == once);
    if (records > 0)
        QCOMPARE(twice.last().typid, int(records));
}

// Five characters of a record start made a record of 280 bytes: a 22 MB answer of bare starts
// raised the peak by gigabytes. Measured in a child, whose peak is this decode's alone.
void TestDecoder::peakMemoryStaysNearTheAnswerSize_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("refused");
    QTest::newRow("bare record starts") << "starts" << true;
    QTest::newRow("records with their fields") << "fields" << false;
}

void TestDecoder::peakMemoryStaysNearTheAnswerSize() {
    QFETCH(QString, kind);
    QFETCH(bool, refused);
    QProcess child;
    child.start(QStringLiteral(DECODEPEAK_EXECUTABLE), {kind, QString::number(8 * 1024 * 1024)});
    QVERIFY(child.waitForFinished(120000));
    QCOMPARE(child.exitCode(), 0);
    const QStringList report = QString::fromLatin1(child.readAllStandardOutput()).simplified().split(' ');
    QCOMPARE(report.size(), 3);
    const qint64 answerBytes = report[0].toLongLong();
    const qint64 growth = report[1].toLongLong();
    QCOMPARE(report[2] == "refused", refused);
    if (!refused)
        QVERIFY(report[2].toInt() > 10000);
    QVERIFY2(growth <= 4 * answerBytes, qPrintable(report.join(' ')));
}

QTEST_GUILESS_MAIN(TestDecoder)
#include "tst_decoder.moc"
