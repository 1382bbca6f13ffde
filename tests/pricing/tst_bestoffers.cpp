#include "pricing/bestoffers.h"
#include "pricing/bestoffersmodel.h"

#include <QSortFilterProxyModel>
#include <QTest>

namespace {

// Offers written as "own:MyStock.csv:12,50", "shop:partshub:24.90 EUR", "market:ebay.de:19.00 GBP".
QList<Offer> offers(const QStringList& texts) {
    QList<Offer> list;
    for (const QString& text : texts) {
        const QStringList parts = text.split(QLatin1Char(':'));
        const QString kind = parts.value(0);
        const OfferSource source = kind == QLatin1String("own")    ? OfferSource::Own
                                   : kind == QLatin1String("shop") ? OfferSource::Shop
                                                                   : OfferSource::Marketplace;
        QString price = parts.value(2);
        QString currency = QString::fromLatin1(kOwnPriceCurrency);
        if (source != OfferSource::Own) {
            const qsizetype blank = price.lastIndexOf(QLatin1Char(' '));
            currency = blank < 0 ? QString() : price.mid(blank + 1);
            price = blank < 0 ? price : price.left(blank);
        }
        list.append(ReadOffer(source, parts.value(1), price, currency));
    }
    return list;
}

QString amount(const std::optional<qint64>& minor) {
    return minor ? CanonicalAmount(*minor) : QStringLiteral("-");
}

// An amount and, when there is one, where it came from.
QString amount(const std::optional<qint64>& minor, const QString& source) {
    return source.isEmpty() ? amount(minor) : amount(minor) + QLatin1Char(' ') + source;
}

QString percent(const std::optional<qint64>& basisPoints) {
    return basisPoints ? QString::number(*basisPoints) : QStringLiteral("-");
}

// The summary in one line, so a table row states every rule it checks.
QString summary(const LineSummary& line) {
    QStringList others;
    for (const CurrencyOffers& other : line.otherCurrencies)
        others << QStringLiteral("%1x%2>=%3").arg(other.offers).arg(other.currency, CanonicalAmount(other.lowest));
    return QStringLiteral("own %1 | best %2 of %3 tie %4 | market %5 %6/%7/%8 | other %9 | unread %10 | "
                          "margin %11 | change %12 | %13")
        .arg(amount(line.ownPrice, line.ownFile), amount(line.bestShop, line.bestShopSeller))
        .arg(line.shopOffers)
        .arg(line.bestShopTies)
        .arg(line.marketOffers)
        .arg(amount(line.marketLowest), amount(line.marketMedian), amount(line.marketHighest),
             others.join(QLatin1Char(',')))
        .arg(line.unreadable)
        .arg(percent(line.marginBasisPoints), percent(line.changeBasisPoints),
             line.undercut ? QStringLiteral("UNDERCUT") : QStringLiteral("ok"));
}

QList<QStringList> rows(std::initializer_list<std::initializer_list<const char*>> cells) {
    QList<QStringList> list;
    for (const auto& row : cells) {
        QStringList texts;
        for (const char* cell : row)
            texts << QString::fromUtf8(cell);
        list.append(texts);
    }
    return list;
}

} // namespace

class TestBestOffers : public QObject {
    Q_OBJECT

private slots:
    void lineRules_data() {
        QTest::addColumn<QStringList>("current");
        QTest::addColumn<QStringList>("previous");
        QTest::addColumn<QString>("expected");
        QTest::newRow("own lowest over lists, best shop, margin")
            << QStringList{"own:b.csv:12,50", "own:a.csv:13,00", "shop:s1:15.00 EUR", "shop:s2:14.00 EUR"}
            << QStringList{}
            << "own 12.50 b.csv | best 14.00 s2 of 2 tie 1 | market 0 -/-/- | other  | unread 0 | margin 1200 | "
               "change - | ok";
        QTest::newRow("ties go to the first name, whatever the order")
            << QStringList{"own:z.csv:10", "own:A.csv:10,00", "shop:zeta:9.00 EUR", "shop:Alpha:9.00 EUR",
                           "shop:mid:9.50 EUR"}
            << QStringList{}
            << "own 10.00 A.csv | best 9.00 Alpha of 3 tie 2 | market 0 -/-/- | other  | unread 0 | margin -1000 | "
               "change - | UNDERCUT";
        QTest::newRow("other currencies counted apart, never converted")
            << QStringList{"own:a.csv:20",      "shop:uk:5.00 GBP",  "shop:uk2:4.00 GBP",
                           "shop:pl:30.00 PLN", "shop:de:21.00 EUR", "market:ebay.co.uk:3.00 GBP"}
            << QStringList{}
            << "own 20.00 a.csv | best 21.00 de of 1 tie 1 | market 0 -/-/- | other 3xGBP>=3.00,1xPLN>=30.00 | "
               "unread 0 | margin 500 | change - | ok";
        QTest::newRow("only foreign offers: no best, no margin")
            << QStringList{"own:a.csv:20", "shop:uk:5.00 GBP"} << QStringList{}
            << "own 20.00 a.csv | best - of 0 tie 0 | market 0 -/-/- | other 1xGBP>=5.00 | unread 0 | margin - | "
               "change - | ok";
        QTest::newRow("no own price")
            << QStringList{"shop:s1:15.00 EUR", "market:ebay.de:10.00 EUR"} << QStringList{}
            << "own - | best 15.00 s1 of 1 tie 1 | market 1 10.00/10.00/10.00 | other  | unread 0 | margin - | "
               "change - | ok";
        QTest::newRow("only unreadable prices")
            << QStringList{"own:a.csv:on request", "shop:s1:n/a EUR", "market:ebay.de:- EUR"} << QStringList{}
            << "own - | best - of 0 tie 0 | market 0 -/-/- | other  | unread 3 | margin - | change - | ok";
        QTest::newRow("unreadable left out of minima")
            << QStringList{"own:a.csv:0,125", "own:b.csv:9,99", "shop:s1:call EUR", "shop:s2:11.00 EUR"}
            << QStringList{}
            << "own 9.99 b.csv | best 11.00 s2 of 1 tie 1 | market 0 -/-/- | other  | unread 2 | margin 1011 | "
               "change - | ok";
        QTest::newRow("an own price in its own currency stays apart")
            << QStringList{"own:uk.csv:8,00 GBP", "shop:s1:10.00 EUR"} << QStringList{}
            << "own - | best 10.00 s1 of 1 tie 1 | market 0 -/-/- | other 1xGBP>=8.00 | unread 0 | margin - | "
               "change - | ok";
        QTest::newRow("median of an odd count")
            << QStringList{"market:m1:30.00 EUR", "market:m2:10.00 EUR", "market:m3:20.00 EUR"} << QStringList{}
            << "own - | best - of 0 tie 0 | market 3 10.00/20.00/30.00 | other  | unread 0 | margin - | change - | ok";
        QTest::newRow("median of an even count rounds half a cent up")
            << QStringList{"market:m1:10.00 EUR", "market:m2:10.01 EUR", "market:m3:1.00 EUR", "market:m4:99.00 EUR"}
            << QStringList{}
            << "own - | best - of 0 tie 0 | market 4 1.00/10.01/99.00 | other  | unread 0 | margin - | change - | ok";
        QTest::newRow("change up since the previous run")
            << QStringList{"shop:s1:10.50 EUR"} << QStringList{"shop:s1:10.00 EUR", "shop:s2:12.00 EUR"}
            << "own - | best 10.50 s1 of 1 tie 1 | market 0 -/-/- | other  | unread 0 | margin - | change 500 | ok";
        QTest::newRow("change down, rounded half away from zero")
            << QStringList{"shop:s1:2.00 EUR"} << QStringList{"shop:s1:3.00 EUR"}
            << "own - | best 2.00 s1 of 1 tie 1 | market 0 -/-/- | other  | unread 0 | margin - | change -3333 | ok";
        QTest::newRow("no change against another currency")
            << QStringList{"shop:s1:10.00 EUR"} << QStringList{"shop:s1:9.00 GBP"}
            << "own - | best 10.00 s1 of 1 tie 1 | market 0 -/-/- | other  | unread 0 | margin - | change - | ok";
        QTest::newRow("undercut exactly at the threshold is no undercut")
            << QStringList{"own:a.csv:100", "shop:s1:95.00 EUR"} << QStringList{}
            << "own 100.00 a.csv | best 95.00 s1 of 1 tie 1 | market 0 -/-/- | other  | unread 0 | margin -500 | "
               "change - | ok";
        QTest::newRow("undercut beyond the threshold")
            << QStringList{"own:a.csv:100", "shop:s1:94.99 EUR"} << QStringList{}
            << "own 100.00 a.csv | best 94.99 s1 of 1 tie 1 | market 0 -/-/- | other  | unread 0 | margin -501 | "
               "change - | UNDERCUT";
        QTest::newRow("a free own price has no margin")
            << QStringList{"own:a.csv:0", "shop:s1:5.00 EUR"} << QStringList{}
            << "own 0.00 a.csv | best 5.00 s1 of 1 tie 1 | market 0 -/-/- | other  | unread 0 | margin - | "
               "change - | ok";
    }
    void lineRules() {
        QFETCH(QStringList, current);
        QFETCH(QStringList, previous);
        QFETCH(QString, expected);
        const BestOffersSettings settings; // EUR, 5 %
        QCOMPARE(summary(SummarizeLine(QStringLiteral("K"), {}, offers(current), offers(previous), settings)),
                 expected);
        // Arrival order never changes a summary.
        QList<Offer> reversed = offers(current);
        std::reverse(reversed.begin(), reversed.end());
        QCOMPARE(summary(SummarizeLine(QStringLiteral("K"), {}, reversed, offers(previous), settings)), expected);
    }

    void homeCurrencyAndThresholdAreSettings() {
        const QList<Offer> line = offers({"own:a.csv:10,00", "shop:uk:9.00 GBP", "shop:de:9.80 EUR"});
        BestOffersSettings pounds{QStringLiteral("GBP"), 500};
        QCOMPARE(summary(SummarizeLine({}, {}, line, {}, pounds)),
                 QStringLiteral("own 10.00 a.csv | best 9.00 uk of 1 tie 1 | market 0 -/-/- | other 1xEUR>=9.80 | "
                                "unread 0 | margin -1000 | change - | UNDERCUT"));
        BestOffersSettings strict{QStringLiteral("EUR"), 100};
        QVERIFY(SummarizeLine({}, {}, line, {}, strict).undercut);
        BestOffersSettings lenient{QStringLiteral("EUR"), 300};
        QVERIFY(!SummarizeLine({}, {}, line, {}, lenient).undercut);
    }

    void settingsPageTexts_data() {
        QTest::addColumn<QString>("threshold");
        QTest::addColumn<QString>("currency");
        QTest::addColumn<qint64>("basisPoints");
        QTest::addColumn<QString>("home");
        QTest::newRow("whole percent") << "5"
                                       << "EUR" << qint64(500) << "EUR";
        QTest::newRow("decimal comma, symbol") << "2,5" << QStringLiteral("£") << qint64(250) << "GBP";
        QTest::newRow("garbage gives the defaults") << "much"
                                                    << "money" << qint64(500) << "EUR";
        QTest::newRow("beyond a hundred percent") << "150"
                                                  << "pln" << qint64(500) << "PLN";
    }
    void settingsPageTexts() {
        QFETCH(QString, threshold);
        QFETCH(QString, currency);
        QFETCH(qint64, basisPoints);
        QFETCH(QString, home);
        const BestOffersSettings settings = ReadBestOffersSettings(threshold, currency);
        QCOMPARE(settings.undercutBasisPoints, basisPoints);
        QCOMPARE(settings.homeCurrency, home);
    }

    void lineKeyFindsTheLineAgain() {
        QCOMPARE(LineKey(QStringLiteral(" Bosch "), QStringLiteral("0 986-452.044")),
                 QStringLiteral("BOSCH|0986452044"));
        QCOMPARE(LineKey(QStringLiteral("A|B"), QStringLiteral("x-1")), QStringLiteral("A|B|X1"));
    }

    // Today's grid rows: own prices are the comparison rows in "by default"; sub-offer rows follow
    // their main row's line.
    void gridRowsBecomeOffers() {
        const QList<LineOffer> compare =
            OffersFromCompareRows(rows({{"BOSCH", "0 986", "Pad", "MyStock.csv", "12,50", "by default"},
                                        {"BOSCH", "0 986", "Pad", "partshub.example", "14.00", "GBP"},
                                        {"", "", "", "", "", ""}}));
        QCOMPARE(compare.size(), 2);
        QCOMPARE(compare[0].offer.source, OfferSource::Own);
        QCOMPARE(compare[0].offer.money, std::optional<Money>(Money{1250, {}}));
        QCOMPARE(compare[1].offer.source, OfferSource::Shop);
        QCOMPARE(compare[1].offer.money, std::optional<Money>(Money{1400, QStringLiteral("GBP")}));
        QCOMPARE(LineKey(compare[1].line), QStringLiteral("BOSCH|0986"));

        const QList<LineOffer> analysis = OffersFromAnalysisRows(
            rows({{"", "", "", "", "orphan (ebay.de)", "", "", "1.00", "EUR", "u", ""},
                  {"+", "TRW", "GDB1385", "Pads", "ebay.de", "20.00", "EUR", "", "", "u1", "1"},
                  {"", "", "", "", "seller-a (ebay.de)", "", "", "18.50", "EUR", "u1-1", ""},
                  {"+", "ATE", "13.0460", "Disc", "ebay.co.uk", "30.00", "GBP", "", "", "u2", "3"},
                  {"", "", "", "", "seller-b (ebay.co.uk)", "", "", "garbage", "GBP", "u2-1", ""}}));
        QCOMPARE(analysis.size(), 4);
        QCOMPARE(analysis[1].offer.seller, QStringLiteral("seller-a (ebay.de)"));
        QCOMPARE(analysis[1].offer.money, std::optional<Money>(Money{1850, QStringLiteral("EUR")}));
        QCOMPARE(LineKey(analysis[1].line), QStringLiteral("TRW|GDB1385"));
        QCOMPARE(LineKey(analysis[3].line), QStringLiteral("ATE|130460"));
        QVERIFY(!analysis[3].offer.money);
        for (const LineOffer& offer : analysis)
            QCOMPARE(offer.offer.source, OfferSource::Marketplace);
    }

    // A second run over the same line shows the change from the first; lines leave with the list.
    void modelFollowsRuns() {
        BestOffersModel model;
        const LineText pad{QStringLiteral("BOSCH"), QStringLiteral("0 986"), QStringLiteral("Pad")};
        const LineText disc{QStringLiteral("ATE"), QStringLiteral("13.0460"), QStringLiteral("Disc")};
        model.startRun({pad, disc});
        QCOMPARE(model.rowCount(), 2);
        model.addOffers(OffersFromCompareRows(rows({{"BOSCH", "0 986", "Pad", "s1", "10.00", "EUR"},
                                                    {"BOSCH", "0 986", "Pad", "own.csv", "9,00", "by default"}})));
        const int padRow = model.rowOf(LineKey(pad));
        QCOMPARE(model.data(model.index(padRow, BestOffersModel::BestOffer)).toString(), QStringLiteral("10.00"));
        QCOMPARE(model.data(model.index(padRow, BestOffersModel::Margin)).toString(), QStringLiteral("+11.11 %"));
        QVERIFY(model.data(model.index(padRow, BestOffersModel::Change)).toString().isEmpty());

        model.startRun({pad});
        QCOMPARE(model.rowCount(), 1);
        model.addOffers(OffersFromCompareRows(rows({{"BOSCH", "0 986", "Pad", "s2", "9.50", "EUR"}})));
        QCOMPARE(model.data(model.index(0, BestOffersModel::Change)).toString(), QStringLiteral("▼ -5.00 %"));
        QCOMPARE(model.data(model.index(0, BestOffersModel::Change), BestOffersModel::SortRole).toLongLong(), -500);
        QCOMPARE(model.offersOf(0).size(), 1);

        // A line no run named (a row arriving late) gets its own row.
        model.addOffers(OffersFromCompareRows(rows({{"FEBI", "123", "Hose", "s1", "5.00", "EUR"}})));
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.data(model.index(1, BestOffersModel::Brand)).toString(), QStringLiteral("FEBI"));
    }

    void sortingIsNumericAndEmptyCellsLast() {
        BestOffersModel model;
        QList<LineSnapshot> lines;
        const QList<std::pair<const char*, const char*>> prices{
            {"A", "9.50"}, {"B", "100.00"}, {"C", ""}, {"D", "10.00"}};
        for (const auto& [brand, price] : prices)
            lines.append({LineKey(QString::fromLatin1(brand), QStringLiteral("1")),
                          {QString::fromLatin1(brand), QStringLiteral("1"), {}},
                          *price ? offers({QStringLiteral("shop:s:%1 EUR").arg(QLatin1String(price))}) : QList<Offer>(),
                          {}});
        model.setLines(lines);
        QSortFilterProxyModel proxy;
        proxy.setSourceModel(&model);
        proxy.setSortRole(BestOffersModel::SortRole);
        proxy.sort(BestOffersModel::BestOffer, Qt::AscendingOrder);
        QStringList order;
        for (int row = 0; row < proxy.rowCount(); ++row)
            order << proxy.index(row, BestOffersModel::Brand).data().toString();
        QCOMPARE(order, (QStringList{"A", "D", "B", "C"}));
    }

    void sheetHoldsNumbersInTheirFormats() {
        BestOffersModel model;
        model.setLines({{QStringLiteral("K"),
                         {QStringLiteral("BOSCH"), QStringLiteral("1"), QStringLiteral("Pad")},
                         offers({"own:a.csv:100", "shop:s:90.00 EUR", "shop:u:1.00 GBP", "shop:x:junk EUR"}),
                         offers({"shop:s:80.00 EUR"})}});
        const auto sheet = model.sheet({0});
        QCOMPARE(sheet.size(), 2);
        QCOMPARE(sheet[0].size(), int(BestOffersModel::ColumnCount) + 1);
        QCOMPARE(sheet[0].last().text, QStringLiteral("undercut"));
        const auto& row = sheet[1];
        QCOMPARE(row[BestOffersModel::OwnPrice].number, std::optional<double>(100.0));
        QCOMPARE(row[BestOffersModel::OwnPrice].numberFormat, QStringLiteral("#,##0.00 \"EUR\""));
        QCOMPARE(row[BestOffersModel::BestOffer].number, std::optional<double>(90.0));
        QCOMPARE(row[BestOffersModel::Margin].number, std::optional<double>(-0.1));
        QCOMPARE(row[BestOffersModel::Change].number, std::optional<double>(0.125));
        QCOMPARE(row[BestOffersModel::Unreadable].number, std::optional<double>(1.0));
        QVERIFY(!row[BestOffersModel::MarketMedian].number);
        QVERIFY(!row[BestOffersModel::Brand].number);
        QCOMPARE(row[BestOffersModel::OtherCurrencies].text, QStringLiteral("GBP: 1 from 1.00"));
        QCOMPARE(row.last().text, QStringLiteral("yes"));
    }
};

QTEST_GUILESS_MAIN(TestBestOffers)
#include "tst_bestoffers.moc"
