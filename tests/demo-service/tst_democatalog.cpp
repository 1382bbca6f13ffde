#include "platform/httpexchange.h"
#include "service/decoder.h"
#include "support/demoservice.h"

#include <QTest>

#include <functional>
#include <memory>

namespace {

const QString kAccount =
    QStringLiteral("format=json&lang=en&email=%1&seccode=%2")
        .arg(QLatin1String(DemoService::kCatalogEmail), QLatin1String(DemoService::kCatalogSeccode));
const QString kDemoAccount = QStringLiteral("format=json&lang=en&email=%1&seccode=%2")
                                 .arg(QLatin1String(DemoService::kDemoEmail), QLatin1String(DemoService::kDemoSeccode));

// Records the client's decoder reads from an answer of `function`.
int decodedCount(const QString& function, const QString& answer) {
    static const QHash<QString, std::function<int(const QString&, const QString&)>> decoders = {
        {"GetListYears", [](auto& f, auto& a) { return DecodeAnswer<TYearRec>(f, a).size(); }},
        {"getManufacturers", [](auto& f, auto& a) { return DecodeAnswer<TManufacturerRec>(f, a).size(); }},
        {"getModels", [](auto& f, auto& a) { return DecodeAnswer<TModelRec>(f, a).size(); }},
        {"getTypes", [](auto& f, auto& a) { return DecodeAnswer<TTypeRec>(f, a).size(); }},
        {"GetTypesForArticle", [](auto& f, auto& a) { return DecodeAnswer<TTypeRec>(f, a).size(); }},
        {"getInfoCar", [](auto& f, auto& a) { return DecodeAnswer<TCarInfoRec>(f, a).size(); }},
        {"getSearchKBA", [](auto& f, auto& a) { return DecodeAnswer<TTypidRec>(f, a).size(); }},
        {"getSearchMIME", [](auto& f, auto& a) { return DecodeAnswer<TTypidRec>(f, a).size(); }},
        {"GetTreeCategories", [](auto& f, auto& a) { return DecodeAnswer<TCategoryRec>(f, a).size(); }},
        {"GetListTradeGroupsForCar", [](auto& f, auto& a) { return DecodeAnswer<TTradeGroupRec>(f, a).size(); }},
        {"GetListArticlesFromTreeCategory", [](auto& f, auto& a) { return DecodeAnswer<TArticleRec>(f, a).size(); }},
        {"GetListArticlesFromTradeGroup", [](auto& f, auto& a) { return DecodeAnswer<TArticleRec>(f, a).size(); }},
        {"getSearchArticleByNameForCar", [](auto& f, auto& a) { return DecodeAnswer<TNameSearchRec>(f, a).size(); }},
        {"getSearchByCrossref", [](auto& f, auto& a) { return DecodeAnswer<TCrossHitRec>(f, a).size(); }},
        {"GetSearchByCrossrefAndBrand", [](auto& f, auto& a) { return DecodeAnswer<TCrossSearchRec>(f, a).size(); }},
        {"GetCrossReferencesForArticle", [](auto& f, auto& a) { return DecodeAnswer<TCrossRefRec>(f, a).size(); }},
        {"getImageForArticle", [](auto& f, auto& a) { return DecodeAnswer<TImageRec>(f, a).size(); }},
        {"GetSuppliers", [](auto& f, auto& a) { return DecodeAnswer<TSupplierRec>(f, a).size(); }},
    };
    auto it = decoders.find(function);
    return it == decoders.end() ? -1 : static_cast<int>(it.value()(function, answer));
}

} // namespace

class TestDemoCatalog : public QObject {
    Q_OBJECT

private:
    QString get(const QString& base, const QString& request) {
        const HttpResult result = HttpGet(base + request);
        return result.ok() ? QString::fromUtf8(result.body) : QString();
    }
    QString catalog(const QString& request) { return get(m_service->catalogUrl(), request); }

    std::unique_ptr<DemoService> m_service;

private slots:
    void initTestCase() {
        m_service = std::make_unique<DemoService>();
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->error()));
    }
    void cleanupTestCase() { m_service.reset(); }

    void everyFunctionDecodesIntoItsRecords_data() {
        QTest::addColumn<QString>("request");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        const QString a = kAccount;
        auto row = [](const char* name, const QString& request, int min, int max) {
            QTest::newRow(name) << request << min << max;
        };
        row("years 1990-2025", "GetListYears?" + a, 36, 36);
        row("manufacturers", "getManufacturers?" + a, 11, 11);
        row("truck manufacturers", "getManufacturers?" + a + "&only=2", 2, 2);
        row("motorcycle manufacturers", "getManufacturers?" + a + "&only=3", 1, 1);
        row("manufacturers of 1990", "getManufacturers?" + a + "&year=1990", 1, 10);
        row("models of AUDI", "getModels?" + a + "&mfaid=5", 7, 7);
        row("models of 2005 and AUDI", "getModels?" + a + "&year=2005&mfaid=5", 1, 6);
        row("types of a model", "getTypes?" + a + "&modid=1103", 4, 7);
        row("types of a model and year", "getTypes?" + a + "&year=2001&modid=1103", 1, 7);
        row("types of trucks of a car model", "getTypes?" + a + "&modid=1103&only=2", 0, 0);
        row("vehicle by K-type", "getInfoCar?typid=10010&" + a, 1, 1);
        row("unknown K-type", "getInfoCar?typid=1&" + a, 0, 0);
        row("KBA one hit", "getSearchKBA?kba=0588AKA&" + a, 1, 1);
        row("KBA three hits written with a blank", "getSearchKBA?kba=0603%20AMN&" + a, 3, 3);
        row("KBA no hit", "getSearchKBA?kba=0000XXX&" + a, 0, 0);
        row("MIME one hit", "getSearchMIME?mime=481516&" + a, 1, 1);
        row("MIME three hits", "getSearchMIME?mime=230742&" + a, 3, 3);
        row("MIME no hit", "getSearchMIME?mime=999999&" + a, 0, 0);
        row("category tree", "GetTreeCategories?" + a + "&typid=10010&strtype=1", 50, 300);
        row("truck category tree", "GetTreeCategories?" + a + "&typid=10010&strtype=2", 50, 300);
        row("engine tree", "GetTreeCategories?" + a + "&typid=10010&strtype=3", 5, 200);
        row("axle tree", "GetTreeCategories?" + a + "&typid=10010&strtype=5", 5, 200);
        row("trade groups", "GetListTradeGroupsForCar?" + a + "&typid=10010", 5, 60);
        row("products of a category", "GetListArticlesFromTreeCategory?" + a + "&typid=10010&strid=100001", 5, 200);
        row("products of a category without vehicle", "GetListArticlesFromTreeCategory?" + a + "&strid=100001", 100,
            2000);
        row("products of a trade group", "GetListArticlesFromTradeGroup?" + a + "&typid=10010&gaid=201", 1, 50);
        row("products of an assembly node", "GetListArticlesFromTradeGroup?" + a + "&typid=10010&gaid=0", 0, 0);
        row("products by name", "getSearchArticleByNameForCar?typid=10010&search=brake%20pad&" + a, 1, 100);
        row("cross reference hits", "getSearchByCrossref?search=GDB1385&" + a, 2, 10);
        row("cross reference of the brand", "GetSearchByCrossrefAndBrand?" + a + "&braid=161&search=GDB1385", 1, 1);
        row("pictures", "getImageForArticle?artid=100001&" + a, 1, 3);
        row("product without pictures", "getImageForArticle?artid=100020&" + a, 0, 0);
        row("cross references of a product without pictures", "GetCrossReferencesForArticle?artid=100020&" + a, 1, 10);
        row("cross references", "GetCrossReferencesForArticle?artid=100001&" + a, 2, 10);
        row("applicability", "GetTypesForArticle?artid=100001&" + a, 1, 2000);
        row("suppliers", "GetSuppliers?" + a, 14, 14);
        row("demo manufacturers", "demo:getManufacturers?" + kDemoAccount, 3, 3);
        row("demo suppliers", "demo:GetSuppliers?" + kDemoAccount, 2, 2);
        row("demo KBA of AUDI", "demo:getSearchKBA?kba=0588AKA&" + kDemoAccount, 1, 1);
        row("demo KBA of VW", "demo:getSearchKBA?kba=0603AMN&" + kDemoAccount, 0, 0);
    }
    void everyFunctionDecodesIntoItsRecords() {
        QFETCH(QString, request);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        const bool demo = request.startsWith(QLatin1String("demo:"));
        if (demo)
            request.remove(0, 5);
        const QString answer = get(demo ? m_service->demoUrl() : m_service->catalogUrl(), request);
        QVERIFY(!answer.isEmpty());
        QVERIFY(!answer.contains(QLatin1String("\"statusText\": \"test client")));
        const int count = decodedCount(request.section(QLatin1Char('?'), 0, 0), answer);
        QVERIFY2(count >= minimum && count <= maximum, qPrintable(QString::number(count)));
    }

    void recordsKeepTheLineLayout() {
        const QStringList lines = catalog("getInfoCar?typid=10010&" + kAccount).split(QLatin1Char('\n'));
        QVERIFY(lines.contains(QLatin1String("\t\"statusText\": \"paid client till 202612\",")));
        QVERIFY(lines.contains(QLatin1String("\t\t\t{")));
        QVERIFY(lines.contains(QLatin1String("\t\t\t\t\"typid\": \"10010\",")));
        QVERIFY(lines.contains(QLatin1String("\t\t\t\t\"pconstart\": \"200011\",")));
        const QStringList years = catalog("GetListYears?" + kAccount).split(QLatin1Char('\n'));
        QCOMPARE(years.count(QLatin1String("\t\t\t{")), 1);
        QCOMPARE(years.count(QLatin1String("\t\t\t,{")), 35);
        const auto decoded = DecodeAnswer<TYearRec>(QStringLiteral("GetListYears"), years.join(QLatin1Char('\n')));
        QCOMPARE(decoded.first().year, 2025);
        QCOMPARE(decoded.last().year, 1990);
    }

    void categoryTreeListsParentsBeforeChildren_data() {
        QTest::addColumn<int>("strtype");
        for (int strtype : {1, 2, 3, 5})
            QTest::addRow("strtype %d", strtype) << strtype;
    }
    void categoryTreeListsParentsBeforeChildren() {
        QFETCH(int, strtype);
        const auto records = DecodeAnswer<TCategoryRec>(
            QStringLiteral("GetTreeCategories"),
            catalog(QStringLiteral("GetTreeCategories?%1&typid=10011&strtype=%2").arg(kAccount).arg(strtype)));
        QVERIFY(!records.isEmpty());
        QCOMPARE(records.first().level, 1);
        int previous = 0, deepest = 0;
        for (const TCategoryRec& r : records) {
            QVERIFY(r.level >= 1 && r.level <= previous + 1);
            previous = r.level;
            deepest = std::max(deepest, r.level);
        }
        if (strtype != 3)
            QCOMPARE(deepest, 5);
    }

    // A trader reads the sample data: engines of the make's own family and years, parts that
    // stand for one another with the same dimensions, each trade group and assembly once.
    void enginesBelongToTheirMake() {
        const auto makers =
            DecodeAnswer<TManufacturerRec>(QStringLiteral("getManufacturers"), catalog("getManufacturers?" + kAccount));
        QCOMPARE(makers.size(), 11);
        const QSet<QString> vag{"AUDI", "VW", "SKODA"};
        const QSet<QString> fuels{"Petrol", "Diesel", "Petrol/Electric"};
        QHash<QString, QString> familyOfCode;
        int types = 0;
        for (const TManufacturerRec& maker : makers) {
            const QString family = vag.contains(maker.brand) ? QStringLiteral("VAG") : maker.brand;
            const auto models = DecodeAnswer<TModelRec>(
                QStringLiteral("getModels"),
                catalog(QStringLiteral("getModels?%1&mfaid=%2").arg(kAccount).arg(maker.mfaid)));
            QVERIFY(!models.isEmpty());
            for (const TModelRec& model : models) {
                const auto records = DecodeAnswer<TTypeRec>(
                    QStringLiteral("getTypes"),
                    catalog(QStringLiteral("getTypes?%1&modid=%2").arg(kAccount).arg(model.modid)));
                QVERIFY2(!records.isEmpty(), qPrintable(model.modelcar));
                for (const TTypeRec& t : records) {
                    const QString what = maker.brand + " " + model.modelcar + " " + t.fullnametypecar;
                    ++types;
                    QVERIFY2(fuels.contains(t.typefuel), qPrintable(what));
                    QVERIFY2(t.kw.toInt() > 0 && t.ccm.toInt() > 0, qPrintable(what));
                    // Model and engine were both built while the type was.
                    QVERIFY2(t.pconstart >= model.pconstart, qPrintable(what));
                    QVERIFY2(model.pconend.isEmpty() || (!t.pconend.isEmpty() && t.pconend <= model.pconend),
                             qPrintable(what));
                    QVERIFY2(t.pconend.isEmpty() || t.pconstart <= t.pconend, qPrintable(what));
                    if (t.fullnametypecar.contains(QLatin1String("TFSI")))
                        QVERIFY2(t.pconstart >= QLatin1String("2004/01"), qPrintable(what));
                    const QStringList codes = t.listcodeengine.split(QStringLiteral(", "));
                    QVERIFY2(!t.listcodeengine.isEmpty(), qPrintable(what));
                    for (const QString& code : codes) {
                        const QString known = familyOfCode.value(code, family);
                        QVERIFY2(known == family, qPrintable(code + " of " + known + " on " + what));
                        familyOfCode.insert(code, family);
                    }
                }
            }
        }
        QVERIFY(types > 250);
    }

    void numberSearchVehiclesNameMakeAndModelOnce_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("brand");
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("hits");
        QTest::newRow("K-type") << ""
                                << "AUDI"
                                << "A4 (8E2, B6)" << 1;
        QTest::newRow("KBA, one") << "getSearchKBA?kba=0588AKA"
                                  << "AUDI"
                                  << "A4 (8E2, B6)" << 1;
        QTest::newRow("KBA, three") << "getSearchKBA?kba=0603AMN"
                                    << "VW"
                                    << "GOLF IV (1J1)" << 3;
        QTest::newRow("MIME, one") << "getSearchMIME?mime=481516"
                                   << "BMW"
                                   << "3 (E46)" << 1;
        QTest::newRow("MIME, three") << "getSearchMIME?mime=230742"
                                     << "MERCEDES-BENZ"
                                     << "C-CLASS (W203)" << 3;
    }
    void numberSearchVehiclesNameMakeAndModelOnce() {
        QFETCH(QString, search);
        QFETCH(QString, brand);
        QFETCH(QString, model);
        QFETCH(int, hits);
        QList<int> typids{10010};
        if (!search.isEmpty()) {
            typids.clear();
            const QString function = search.section(QLatin1Char('?'), 0, 0);
            for (const TTypidRec& r : DecodeAnswer<TTypidRec>(function, catalog(search + "&" + kAccount)))
                typids << r.typid;
        }
        QCOMPARE(typids.size(), hits);
        for (int typid : typids) {
            const auto cars =
                DecodeAnswer<TCarInfoRec>(QStringLiteral("getInfoCar"),
                                          catalog(QStringLiteral("getInfoCar?typid=%1&%2").arg(typid).arg(kAccount)));
            QCOMPARE(cars.size(), 1);
            const TCarInfoRec& car = cars.first();
            QCOMPARE(car.brand, brand);
            QCOMPARE(car.modelcar, model);
            // The caption joins make, model and type: the type's own name must not repeat them.
            QVERIFY2(!car.fullnametypecar.contains(brand) && !car.fullnametypecar.contains(model),
                     qPrintable(car.fullnametypecar));
            QVERIFY(!car.fullnametypecar.isEmpty());
            if (typid == 10010)
                QCOMPARE(car.fullnametypecar, QStringLiteral("1.6"));
        }
    }

    void crossReferencesShareTheDimensions() {
        // Every brake part of the sample vehicle; the parts standing for one of them fit it too.
        const auto products = DecodeAnswer<TArticleRec>(
            QStringLiteral("GetListArticlesFromTreeCategory"),
            catalog("GetListArticlesFromTreeCategory?" + kAccount + "&typid=10010&strid=100001"));
        QVERIFY(products.size() > 10);
        QHash<QString, QString> criteriaOf;
        for (const TArticleRec& p : products)
            criteriaOf.insert(p.brand.toString() + "|" + p.reference.toString(), p.criteries.toString());
        int compared = 0;
        for (const TArticleRec& p : products) {
            const auto refs = DecodeAnswer<TCrossRefRec>(
                QStringLiteral("GetCrossReferencesForArticle"),
                catalog(QStringLiteral("GetCrossReferencesForArticle?artid=%1&%2").arg(p.artid).arg(kAccount)));
            for (const TCrossRefRec& r : refs) {
                const auto other = criteriaOf.constFind(r.brand + "|" + r.displaynr);
                if (other == criteriaOf.constEnd())
                    continue; // an original number
                const QString criteries = p.criteries.toString();
                QVERIFY2(*other == criteries,
                         qPrintable(p.brand.toString() + " " + p.reference.toString() + " / " + r.brand + " " +
                                    r.displaynr + ": " + criteries + " / " + *other));
                ++compared;
            }
        }
        QVERIFY(compared > 10);
    }

    void tradeGroupsShowEachAssemblyOnce_data() {
        QTest::addColumn<int>("typid");
        for (int typid : {10001, 10010, 10041, 10077, 10116, 10300})
            QTest::addRow("%d", typid) << typid;
    }
    void tradeGroupsShowEachAssemblyOnce() {
        QFETCH(int, typid);
        const auto groups = DecodeAnswer<TTradeGroupRec>(
            QStringLiteral("GetListTradeGroupsForCar"),
            catalog(QStringLiteral("GetListTradeGroupsForCar?%1&typid=%2").arg(kAccount).arg(typid)));
        QVERIFY(groups.size() > 3);
        QStringList runs, names;
        for (const TTradeGroupRec& g : groups) {
            if (runs.isEmpty() || runs.last() != g.gaassembly)
                runs << g.gaassembly;
            names << g.ganame;
        }
        QCOMPARE(QSet<QString>(runs.begin(), runs.end()).size(), runs.size());
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
    }

    void picturesAreJpegsOfThisService() {
        const auto pictures = DecodeAnswer<TImageRec>(QStringLiteral("getImageForArticle"),
                                                      catalog("getImageForArticle?artid=100002&" + kAccount));
        QVERIFY(!pictures.isEmpty());
        for (const TImageRec& p : pictures) {
            QVERIFY(p.path.startsWith(m_service->catalogUrl()));
            const HttpResult image = HttpGet(p.path);
            QVERIFY(image.ok());
            QVERIFY(image.body.startsWith("\xFF\xD8"));
            QVERIFY(image.body.endsWith("\xFF\xD9"));
        }
    }

    void wrongAccountsGetTestClient_data() {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("account");
        const QString ok = QLatin1String(DemoService::kCatalogEmail);
        QTest::newRow("unknown account") << "catalog"
                                         << "email=nobody@velmora.test&seccode=x";
        QTest::newRow("wrong seccode") << "catalog" << QStringLiteral("email=%1&seccode=wrong").arg(ok);
        QTest::newRow("no account") << "catalog"
                                    << "x=1";
        QTest::newRow("demo account on the catalog service")
            << "catalog"
            << QStringLiteral("email=%1&seccode=%2").arg(DemoService::kDemoEmail, DemoService::kDemoSeccode);
        QTest::newRow("regular account on the demo server")
            << "demo" << QStringLiteral("email=%1&seccode=%2").arg(ok, DemoService::kCatalogSeccode);
    }
    void wrongAccountsGetTestClient() {
        QFETCH(QString, base);
        QFETCH(QString, account);
        const QString url = base == QLatin1String("demo") ? m_service->demoUrl() : m_service->catalogUrl();
        for (const char* function :
             {"GetListYears?format=json&lang=en", "getInfoCar?typid=10010&format=json&lang=en",
              "GetTreeCategories?format=json&lang=en&typid=10010&strtype=1", "GetSuppliers?format=json&lang=en",
              "fun_exportdata?format=csv[;]&lang=en&brand=ATE"}) {
            const QString answer = get(url, QLatin1String(function) + "&" + account);
            QVERIFY2(answer.contains(QLatin1String("\"statusText\": \"test client\"")), function);
            QCOMPARE(decodedCount(QStringLiteral("GetListYears"), answer), 0);
        }
    }

    void accountCheckAnswersWithStatus() {
        const QString answer = catalog(QStringLiteral("GetSuppliers?email=%1&seccode=%2")
                                           .arg(DemoService::kExpiredEmail, DemoService::kExpiredSeccode));
        QVERIFY(answer.contains(QLatin1String("\"statusText\": \"expired 202512\"")));
        QCOMPARE(decodedCount(QStringLiteral("GetSuppliers"), answer), 0);
    }

    void exportCarriesTheEnvelopeTheClientTrims_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("firstLine");
        QTest::addColumn<QString>("envelope");
        QTest::newRow("csv") << "csv[,]"
                             << QString::fromLatin1("\xEF\xBB\xBF"
                                                    "brand id,brand,reference")
                             << "";
        QTest::newRow("xml") << "xml"
                             << R"(<?xml version="1.0" encoding="UTF-8"?>)"
                             << "<statustext>|<count>";
        QTest::newRow("json") << "json"
                              << "{"
                              << "\t\"statusText\": |\t\"count\": ";
    }
    void exportCarriesTheEnvelopeTheClientTrims() {
        QFETCH(QString, format);
        QFETCH(QString, firstLine);
        QFETCH(QString, envelope);
        const HttpResult result =
            HttpGet(m_service->catalogUrl() +
                    QStringLiteral("fun_exportdata?format=%1&email=%2&seccode=%3&lang=en&brand=FEBI%20BILSTEIN"
                                   "&needcritery=1&needcrosses=1&needaplicability=1")
                        .arg(format, DemoService::kCatalogEmail, DemoService::kCatalogSeccode));
        QVERIFY(result.ok());
        // Bytes as Latin-1, so a byte-order mark stays visible.
        const QStringList lines = QString::fromLatin1(result.body).split(QStringLiteral("\r\n"));
        QVERIFY(lines.size() > 100);
        QVERIFY2(lines.first().startsWith(firstLine), qPrintable(lines.first()));
        if (format == QLatin1String("xml")) {
            QVERIFY(lines[2].startsWith(envelope.section('|', 0, 0)));
            QVERIFY(lines[3].startsWith(envelope.section('|', 1, 1)));
            QVERIFY(lines[4].startsWith(QLatin1String("  <product>")));
        } else if (format == QLatin1String("json")) {
            QVERIFY(lines[1].startsWith(envelope.section('|', 0, 0)));
            QVERIFY(lines[2].startsWith(envelope.section('|', 1, 1)));
            QCOMPARE(lines[3], QStringLiteral("\t\"products\": ["));
        } else {
            QVERIFY(lines[1].startsWith(QLatin1String("101,FEBI BILSTEIN,")));
            QCOMPARE(lines[0].count(QLatin1Char(',')), 8);
        }
    }
};

QTEST_GUILESS_MAIN(TestDemoCatalog)
#include "tst_democatalog.moc"
