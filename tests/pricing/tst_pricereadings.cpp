#include "pricing/pricereadings.h"
#include "pricing/runsteps.h"
#include "pricing/sitelists.h"

#include <QTest>

namespace {

QString field(int indent, const char* key, const QString& value, bool last = false) {
    return QString(indent, QLatin1Char(' ')) + QStringLiteral("\"%1\" : \"%2\"").arg(QLatin1String(key), value) +
           (last ? QStringLiteral("\n") : QStringLiteral(",\n"));
}

// A main offer with `subs` sub-offers in the services' layout; `subWithoutUrl` leaves the URL
// out of that sub-offer (1-based).
QString analysisOffer(const QString& host, int subs, int subWithoutUrl = 0) {
    QString out = QStringLiteral("{\n") + field(2, "host", host) + field(2, "price", host + QStringLiteral("-p")) +
                  field(2, "URL", QStringLiteral("http://offers/") + host) +
                  field(2, "currency", QStringLiteral("EUR")) + QStringLiteral("  \"subproducts\" : [\n");
    for (int s = 1; s <= subs; ++s) {
        const QString id = host + QLatin1Char('-') + QString::number(s);
        out += QStringLiteral("    {\n") + field(4, "host", id) + field(4, "price", id + QStringLiteral("-p"));
        if (s != subWithoutUrl)
            out += field(4, "URL", QStringLiteral("http://offers/") + id);
        out += field(4, "currency", QStringLiteral("USD"), true) +
               (s < subs ? QStringLiteral("    },\n") : QStringLiteral("    }\n"));
    }
    return out + QStringLiteral("  ]\n");
}

const QString kHead = QStringLiteral("[{\"statusText\" : \"paid client\", \"count\" : \"1\"},\n");

QStringList flagsAndHosts(const QStringList& lines) {
    QStringList out;
    for (const QString& line : lines) {
        const QMap<int, QString> cells =
            AnalysisRowCells(line, QStringLiteral("B"), QStringLiteral("P"), QStringLiteral("N"));
        out << (cells.value(0) == QLatin1String("+") ? QStringLiteral("+") : QStringLiteral("-")) + cells.value(4);
    }
    return out;
}

} // namespace

class TestPriceReadings : public QObject {
    Q_OBJECT
private slots:
    void requestPathEncodesBrandAndReference_data();
    void requestPathEncodesBrandAndReference();
    void compareAnswerGivesOneOfferPerRecord_data();
    void compareAnswerGivesOneOfferPerRecord();
    void analysisAnswerKeepsMaxrowSubOffers_data();
    void analysisAnswerKeepsMaxrowSubOffers();
    void analysisRowsCarryLineAndOffer();
    void subOfferWithoutUrlRepeatsThePreviousUrl();
    void siteListKeepsKindsPerService();
    void selectionTextsMatchWholeIds();
    void accountAndContactTexts();
    void runTexts();
};

void TestPriceReadings::requestPathEncodesBrandAndReference_data() {
    QTest::addColumn<QString>("brand");
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ampersand") << "A&B"
                               << "GDB1385"
                               << "get?service=COMPAREPRICE&email=a b@x&seccode=s&c&brand=A%26B&part=GDB1385&site=44";
    QTest::newRow("spaces and slash") << "FEBI BILSTEIN"
                                      << "W 712/75"
                                      << "get?service=COMPAREPRICE&email=a b@x&seccode=s&c&brand=FEBI%20BILSTEIN"
                                         "&part=W%20712/75&site=44";
    QTest::newRow("umlaut") << "MÄRKLIN"
                            << "1+2"
                            << "get?service=COMPAREPRICE&email=a b@x&seccode=s&c&brand=M%C3%84RKLIN&part=1%2B2&site=44";
}

void TestPriceReadings::requestPathEncodesBrandAndReference() {
    QFETCH(QString, brand);
    QFETCH(QString, part);
    QFETCH(QString, expected);
    // E-mail and security code go as typed.
    QCOMPARE(PriceRequestPath("COMPAREPRICE", "a b@x", "s&c", brand, part, "44"), expected);
}

void TestPriceReadings::compareAnswerGivesOneOfferPerRecord_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("hosts");
    const QString record =
        QStringLiteral("{\n  \"host\" : \"%1\",\n  \"price\" : \"1.00\",\n  \"currency\" : \"EUR\"\n");
    QTest::newRow("one record closed by }]") << kHead + record.arg("shop-a") + "}]\n" << QStringList{"shop-a"};
    QTest::newRow("two records") << kHead + record.arg("shop-a") + "},\n" + record.arg("shop-b") + "}]\n"
                                 << QStringList{"shop-a", "shop-b"};
    QTest::newRow("final brace after }] adds nothing")
        << kHead + record.arg("shop-a") + "},\n" + record.arg("shop-b") + "}]\n}\n"
        << QStringList{"shop-a", "shop-b"};
    QTest::newRow("no records") << "[{\"statusText\" : \"expired 202512\", \"count\" : \"0\"}\n]\n" << QStringList{};
    QTest::newRow("record without closing brace") << kHead + record.arg("shop-a") << QStringList{};
    QTest::newRow("CR LF lines") << QString(kHead + record.arg("shop-a") + "}]\n").replace("\n", "\r\n")
                                 << QStringList{"shop-a"};
}

void TestPriceReadings::compareAnswerGivesOneOfferPerRecord() {
    QFETCH(QString, answer);
    QFETCH(QStringList, hosts);
    const QList<CompareOffer> offers = ReadCompareAnswer(answer);
    QStringList got;
    for (const CompareOffer& offer : offers) {
        got << offer.host;
        QCOMPARE(offer.price, "1.00");
        QCOMPARE(offer.currency, "EUR");
    }
    QCOMPARE(got, hosts);
}

void TestPriceReadings::analysisAnswerKeepsMaxrowSubOffers_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("maxrow");
    QTest::addColumn<QStringList>("rows");
    const QString eight = kHead + analysisOffer("m", 8) + "}]\n";
    QTest::newRow("maxrow 5 of 8") << eight << 5 << QStringList{"+m", "-m-1", "-m-2", "-m-3", "-m-4", "-m-5"};
    QTest::newRow("maxrow 0") << eight << 0 << QStringList{"+m"};
    QTest::newRow("two main offers") << kHead + analysisOffer("a", 2) + "},\n" + analysisOffer("b", 1) + "}]\n"
                                     << 5 << QStringList{"+a", "-a-1", "-a-2", "+b", "-b-1"};
    QTest::newRow("limit counts per main offer")
        << kHead + analysisOffer("a", 3) + "},\n" + analysisOffer("b", 3) + "}]\n"
        << 1 << QStringList{"+a", "-a-1", "+b", "-b-1"};
    QTest::newRow("no offers") << "[{\"statusText\" : \"x\", \"count\" : \"0\"}\n]\n" << 5 << QStringList{};
}

void TestPriceReadings::analysisAnswerKeepsMaxrowSubOffers() {
    QFETCH(QString, answer);
    QFETCH(int, maxrow);
    QFETCH(QStringList, rows);
    QCOMPARE(flagsAndHosts(ReadAnalysisAnswer(answer, maxrow)), rows);
}

void TestPriceReadings::analysisRowsCarryLineAndOffer() {
    const QStringList lines = ReadAnalysisAnswer(kHead + analysisOffer("m", 1) + "}]\n", 5);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], "<_MAIN>+</_MAIN><_HOST>m</_HOST><_PRICE>m-p</_PRICE><_URL>http://offers/m</_URL>"
                       "<_CURRENCY>EUR</_CURRENCY>");
    const QMap<int, QString> main = AnalysisRowCells(lines[0], "TRW", "GDB 1385", "Brake pad");
    const QMap<int, QString> expectedMain{{0, "+"}, {1, "TRW"}, {2, "GDB 1385"}, {3, "Brake pad"},
                                          {4, "m"}, {5, "m-p"}, {6, "EUR"},      {9, "http://offers/m"}};
    QCOMPARE(main, expectedMain);
    const QMap<int, QString> sub = AnalysisRowCells(lines[1], "TRW", "GDB 1385", "Brake pad");
    const QMap<int, QString> expectedSub{{4, "m-1"}, {7, "m-1-p"}, {8, "USD"}, {9, "http://offers/m-1"}};
    QCOMPARE(sub, expectedSub);
}

void TestPriceReadings::subOfferWithoutUrlRepeatsThePreviousUrl() {
    const QStringList lines = ReadAnalysisAnswer(kHead + analysisOffer("m", 3, 2) + "}]\n", 5);
    QCOMPARE(lines.size(), 4);
    QCOMPARE(AnalysisRowCells(lines[2], {}, {}, {}).value(9), "http://offers/m-1");
    QCOMPARE(AnalysisRowCells(lines[3], {}, {}, {}).value(9), "http://offers/m-3");
}

void TestPriceReadings::siteListKeepsKindsPerService() {
    const QString answer = QStringLiteral("12;Shop A;1\r\n44;Site B;2\n7;Site C;3\n\nbroken\n");
    QCOMPARE(SiteListEntries(answer, "COMPAREPRICE"), (QStringList{"[12] : Shop A", "[44] : Site B"}));
    QCOMPARE(SiteListEntries(answer, "EBAYANALIZ"), QStringList{"[44] : Site B"});
    QVERIFY(SiteListEntries("  \n", "COMPAREPRICE").isEmpty());
}

void TestPriceReadings::selectionTextsMatchWholeIds() {
    QVERIFY(SiteEntryChosen("[44] : Site B", "[12][44]"));
    QVERIFY(!SiteEntryChosen("[4] : Site D", "[44]"));
    QCOMPARE(SiteSelectionText({"[12] : Shop A", "[44] : Site B"}), "[12][44]");
    QCOMPARE(SiteSelectionText({}), QString());
    QCOMPARE(SiteIds("[12][44]"), (QStringList{"12", "44"}));
    QCOMPARE(SiteIds(""), QStringList{});
}

void TestPriceReadings::accountAndContactTexts() {
    QCOMPARE(AccountCheckRequest("EBAYANALIZ", " a@b ", " s "),
             "get?service=EBAYANALIZ&email=a@b&seccode=s&site=44&brand=TRW&part=GDB1385");
    QCOMPARE(AccountStatusMessage(" a@b ", "[{\"statusText\" : \"paid client till 202612\"}]"),
             "Your email [a@b] have status registaration : paid client till 202612");
    QCOMPARE(AccountStatusMessage("a@b", "[]"), "Your email [a@b] have status registaration : ");
    QCOMPARE(AccountStatusMessage("a@b", ""), "Not got answer from server. Try again later");
    QCOMPARE(CatalogStatusMessage("a@b", "{\"statusText\": \"test client\"}"),
             "Your email [a@b] is registered for use WebService. test client");
    const QString shop = NewShopRequestAddress("http://127.0.0.1:18080", "me@x.test");
    QVERIFY(
        shop.startsWith("http://127.0.0.1:18080/contact-us?message=REQUEST%20FOR%20FREE%20ADD%20NEW%20SITE%20IN%20"
                        "LIST%20FOR%20COMPARE%20PRICES%0D----------------------%0DEnter%20url-link%20=%20%0D%20..."));
    QVERIFY(shop.endsWith("testing%20for%201-3%20days&from=me@x.test&id_contact=1"));
    QVERIFY(NewPlatformRequestAddress("http://h", "me@x.test").contains("E-PLATAFORM%20IN%20LIST"));
}

void TestPriceReadings::runTexts() {
    QCOMPARE(ProgressLine(1, 3), "Sent requests :  33% [1 from 3]");
    QCOMPARE(ProgressLine(2, 3), "Sent requests :  66% [2 from 3]");
    QCOMPARE(ProgressLine(3, 3), "Sent requests :  100% [3 from 3]");
    QCOMPARE(PagePauseMessage(10),
             "Pause after [10] openned pages. Press OK when you processed previous openned "
             "pages.\r--------------------\r[Ok] - continue opennig next part url-links\r[Abort] - "
             "abort openning url-links");
    QCOMPARE(PageAddress("http://s/?q={BRAND}+{reference}&r={Reference}", "A&B", "W 712/75"),
             "http://s/?q=A&B+W 712/75&r=W 712/75");
    QCOMPARE(IntegerOr("7", 5), 7);
    QCOMPARE(IntegerOr("seven", 5), 5);
    QCOMPARE(IntegerOr("", 10), 10);
}

QTEST_GUILESS_MAIN(TestPriceReadings)
#include "tst_pricereadings.moc"
