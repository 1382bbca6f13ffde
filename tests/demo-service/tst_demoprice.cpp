#include "platform/httpexchange.h"
#include "support/demoservice.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <memory>

class TestDemoPrice : public QObject {
    Q_OBJECT

private:
    QString price(const QString& request) {
        const HttpResult result = HttpGet(m_service->priceUrl() + request, {false, 30});
        return result.ok() ? QString::fromUtf8(result.body) : QString();
    }
    static QString request(const char* service, const char* email, const char* seccode, int site, const char* brand,
                           const char* part) {
        return QStringLiteral("get?service=%1&email=%2&seccode=%3&site=%4&brand=%5&part=%6")
            .arg(QLatin1String(service), QLatin1String(email), QLatin1String(seccode), QString::number(site),
                 QLatin1String(brand), QLatin1String(part));
    }

    static QString price(const DemoService& service, const QString& request) {
        const HttpResult result = HttpGet(service.priceUrl() + request, {false, 30});
        return result.ok() ? QString::fromUtf8(result.body) : QString();
    }
    // Every question of a small run: comparison and analysis sites for a few parts.
    static QStringList runQuestions() {
        QStringList questions;
        for (const char* part : {"GDB1385", "HVH9587", "16312", "K015603XS", "0%20986%20494%20104", "13.0460-7184.2"}) {
            for (int site : {3, 12, 15, 18, 21, 27})
                questions << request("COMPAREPRICE", DemoService::kCompareEmail, DemoService::kCompareSeccode, site,
                                     "TRW", part);
            for (int site : {44, 45, 46, 47, 52})
                questions << request("EBAYANALIZ", DemoService::kAnalysisEmail, DemoService::kAnalysisSeccode, site,
                                     "TRW", part);
        }
        return questions;
    }
    // The answers with the service's own address taken out, so services on other ports compare.
    static QStringList run(const DemoService& service) {
        QStringList answers;
        for (const QString& question : runQuestions())
            answers << price(service, question).replace(service.siteUrl(), QLatin1String("SITE"));
        return answers;
    }
    // The analysis offers of an answer by their address, in cents.
    static QMap<QString, qint64> offersByUrl(const QString& answer) {
        QMap<QString, qint64> offers;
        static const QRegularExpression offer(
            QStringLiteral("\"price\" : \"(\\d+)\\.(\\d\\d)\",\\n *\"URL\" : \"([^\"]+)\""));
        for (const QRegularExpressionMatch& m : offer.globalMatch(answer))
            offers.insert(m.captured(3), m.captured(1).toLongLong() * 100 + m.captured(2).toLongLong());
        return offers;
    }

    std::unique_ptr<DemoService> m_service;

private slots:
    void initTestCase() {
        m_service = std::make_unique<DemoService>();
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->error()));
    }
    void cleanupTestCase() { m_service.reset(); }

    void siteListHasIdNameAndKind() {
        const QStringList lines = price(QStringLiteral("sites-list")).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(lines.size() >= 10);
        QSet<QChar> kinds;
        for (const QString& line : lines) {
            QVERIFY2(QRegularExpression(QStringLiteral("^\\d+;[^;]+;\\d$")).match(line).hasMatch(), qPrintable(line));
            kinds << line.back();
        }
        QVERIFY(kinds.contains('1') && kinds.contains('2') && kinds.size() > 2);
        QVERIFY(lines.contains(QLatin1String("44;ebay.de;2")));
    }

    void accountCheckAnswersTheStatus_data() {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("status");
        const char* c = "COMPAREPRICE";
        const char* e = "EBAYANALIZ";
        QTest::newRow("comparator") << request(c, DemoService::kCompareEmail, DemoService::kCompareSeccode, 44, "TRW",
                                               "GDB1385")
                                    << "paid client till 202612";
        QTest::newRow("analysis") << request(e, DemoService::kAnalysisEmail, DemoService::kAnalysisSeccode, 44, "TRW",
                                             "GDB1385")
                                  << "paid client till 202612";
        QTest::newRow("expired") << request(c, DemoService::kExpiredEmail, DemoService::kExpiredSeccode, 44, "TRW",
                                            "GDB1385")
                                 << "expired 202512";
        QTest::newRow("unknown") << request(c, "nobody@velmora.test", "x", 44, "TRW", "GDB1385") << "not registered";
        QTest::newRow("other service's account")
            << request(e, DemoService::kCompareEmail, DemoService::kCompareSeccode, 44, "TRW", "GDB1385")
            << "not registered";
    }
    void accountCheckAnswersTheStatus() {
        QFETCH(QString, request);
        QFETCH(QString, status);
        const QString answer = price(request);
        const int at = answer.indexOf(QLatin1String("\"statusText\" : \""));
        QVERIFY(at >= 0);
        const int start = at + 16;
        QCOMPARE(answer.mid(start, answer.indexOf('"', start) - start), status);
        if (status != QLatin1String("paid client till 202612"))
            QVERIFY(!answer.contains(QLatin1String("\"host\"")));
    }

    void comparisonRecordsCloseAtLineStart_data() {
        QTest::addColumn<QString>("part");
        for (const char* part : {"GDB1385", "0%20986%20494%20104", "W%20712/75", "13.0460-7184.2", "A%26B-1"})
            QTest::newRow(part) << QString::fromLatin1(part);
    }
    void comparisonRecordsCloseAtLineStart() {
        QFETCH(QString, part);
        int records = 0;
        for (int site : {3, 12, 44, 46}) {
            const QString answer = price(
                request("COMPAREPRICE", DemoService::kCompareEmail, DemoService::kCompareSeccode, site, "BOSCH", "") +
                part);
            const QStringList lines = answer.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            QVERIFY(lines.first().startsWith(QLatin1String("[{\"statusText\" : \"")));
            int hosts = 0, closings = 0;
            for (const QString& line : lines.mid(1)) {
                if (line.startsWith(QLatin1String("  \"")))
                    QVERIFY2(QRegularExpression(QStringLiteral("^  \"(host|price|currency)\" : \"[^\"]*\",?$"))
                                 .match(line)
                                 .hasMatch(),
                             qPrintable(line));
                hosts += line.startsWith(QLatin1String("  \"host\" : \""));
                closings += line.startsWith('}');
            }
            QCOMPARE(closings, hosts);
            if (hosts > 0)
                QCOMPARE(lines.last(), QStringLiteral("}]"));
            else
                QVERIFY(!answer.contains(QLatin1String("}]")));
            records += hosts;
        }
        QVERIFY(records > 0);
    }

    void analysisOffersIndentSubOffers() {
        int subOffers = 0;
        for (const char* part : {"GDB1385", "16312", "0%20986%20494%20104", "K015603XS"}) {
            const QString answer = price(
                request("EBAYANALIZ", DemoService::kAnalysisEmail, DemoService::kAnalysisSeccode, 44, "TRW", part));
            QString lastKey;
            int mainOffers = 0;
            for (const QString& line : answer.split(QLatin1Char('\n'))) {
                const QRegularExpressionMatch m =
                    QRegularExpression(QStringLiteral("^( {2}| {4})\"(host|price|URL|currency)\" : \"([^\"]*)\",?$"))
                        .match(line);
                if (!m.hasMatch())
                    continue;
                const QString key = m.captured(1) + m.captured(2);
                if (m.captured(2) == QLatin1String("host"))
                    QVERIFY2(lastKey.isEmpty() || lastKey.endsWith(QLatin1String("currency")), qPrintable(line));
                if (m.captured(2) == QLatin1String("URL"))
                    QVERIFY(m.captured(3).startsWith(m_service->siteUrl()));
                mainOffers += key == QLatin1String("  host");
                subOffers += key == QLatin1String("    host");
                lastKey = key;
            }
            QVERIFY(mainOffers >= 1);
            QVERIFY(lastKey.endsWith(QLatin1String("currency")));
        }
        QVERIFY(subOffers > 0);
    }

    // Products whose answers the price run's edge cases need: more sub-offers than the default
    // limit of 5, and a comparison answer without any record.
    void sampleOffersForTheRun_data() {
        QTest::addColumn<QString>("service");
        QTest::addColumn<QString>("part");
        QTest::addColumn<int>("mainOffers");
        QTest::addColumn<int>("subOffers");
        QTest::newRow("eight sub-offers") << "EBAYANALIZ"
                                          << "HVH9587" << 1 << 8;
        QTest::newRow("no comparison record") << "COMPAREPRICE"
                                              << "KXQ8208" << 0 << 0;
    }
    void sampleOffersForTheRun() {
        QFETCH(QString, service);
        QFETCH(QString, part);
        QFETCH(int, mainOffers);
        QFETCH(int, subOffers);
        const bool analysis = service == QLatin1String("EBAYANALIZ");
        const QString answer = price(request(analysis ? "EBAYANALIZ" : "COMPAREPRICE",
                                             analysis ? DemoService::kAnalysisEmail : DemoService::kCompareEmail,
                                             analysis ? DemoService::kAnalysisSeccode : DemoService::kCompareSeccode,
                                             44, "TRW", qPrintable(part)));
        QVERIFY(answer.contains(QLatin1String("\"statusText\" : \"paid client till 202612\"")));
        QCOMPARE(answer.count(QLatin1String("\n  \"host\" : ")), mainOffers);
        QCOMPARE(answer.count(QLatin1String("\n    \"host\" : ")), subOffers);
        int closings = 0;
        for (const QString& line : answer.split(QLatin1Char('\n')))
            closings += line.startsWith(QLatin1Char('}')) || line.contains(QLatin1String("}]"));
        QCOMPARE(closings, mainOffers);
    }

    void analysisAsksOnlyEPlatforms() {
        const QString answer = price(
            request("EBAYANALIZ", DemoService::kAnalysisEmail, DemoService::kAnalysisSeccode, 3, "TRW", "GDB1385"));
        QVERIFY(answer.contains(QLatin1String("\"statusText\" : \"paid client till 202612\"")));
        QVERIFY(!answer.contains(QLatin1String("\"host\"")));
    }

    // With --price-drift the same question asked again is one step on: every offer moves by up to
    // the given percent, some sellers go and others come, and a restarted service repeats it all.
    void priceDriftMovesOffersStepByStep() {
        DemoService drifting({QStringLiteral("--price-drift"), QStringLiteral("5")});
        QVERIFY2(drifting.isRunning(), qPrintable(drifting.error()));
        const QStringList first = run(drifting);
        const QStringList second = run(drifting);
        // The first step is the answer without drift.
        QCOMPARE(first, run(*m_service));

        int moved = 0, kept = 0, gone = 0, come = 0, comparisonsChanged = 0;
        for (qsizetype q = 0; q < first.size(); ++q) {
            QVERIFY(second[q].contains(QLatin1String("\"statusText\" : \"paid client till 202612\"")));
            if (runQuestions()[q].contains(QLatin1String("COMPAREPRICE"))) {
                comparisonsChanged += first[q] != second[q];
                continue;
            }
            const QMap<QString, qint64> before = offersByUrl(first[q]);
            const QMap<QString, qint64> after = offersByUrl(second[q]);
            QVERIFY(!before.isEmpty());
            for (auto offer = before.cbegin(); offer != before.cend(); ++offer) {
                if (!after.contains(offer.key())) {
                    ++gone;
                    continue;
                }
                const qint64 change = std::abs(after[offer.key()] - offer.value());
                QVERIFY2(change * 100 <= offer.value() * 5 + 100, qPrintable(offer.key()));
                ++(change ? moved : kept);
            }
            for (auto offer = after.cbegin(); offer != after.cend(); ++offer)
                come += !before.contains(offer.key());
        }
        QVERIFY(moved > kept);
        QVERIFY(gone > 0);
        QVERIFY(come > 0);
        QVERIFY(comparisonsChanged > 0);
        // Sellers who turn up are named as real ones are, some selling in a currency of their own
        // on a site of euros.
        static const QRegularExpression beyondAscii(QStringLiteral("\"host\" : \"[^\"]*[^\\x00-\\x7F]"));
        static const QRegularExpression currency(QStringLiteral("\"currency\" : \"([^\"]*)\""));
        QSet<QString> onEuroSites;
        bool named = false;
        for (qsizetype q = 0; q < second.size(); ++q) {
            named = named || second[q].contains(beyondAscii);
            if (runQuestions()[q].contains(QLatin1String("&site=44&")))
                for (const QRegularExpressionMatch& m : currency.globalMatch(second[q]))
                    onEuroSites << m.captured(1);
        }
        QVERIFY(named);
        QVERIFY2(onEuroSites.size() > 1, qPrintable(QStringList(onEuroSites.begin(), onEuroSites.end()).join(',')));

        DemoService again({QStringLiteral("--price-drift"), QStringLiteral("5")});
        QVERIFY2(again.isRunning(), qPrintable(again.error()));
        QCOMPARE(run(again), first);
        QCOMPARE(run(again), second);
    }

    void helpListsEveryOption() {
        QProcess help;
        help.start(QStringLiteral(VELMORA_DEMO_SERVICE_PATH), {QStringLiteral("--help")});
        QVERIFY(help.waitForFinished(10000));
        QCOMPARE(help.exitCode(), 0);
        const QString text = QString::fromUtf8(help.readAllStandardError() + help.readAllStandardOutput());
        for (const char* option : {"--port-base", "--latency-ms", "--fail-every", "--scale", "--price-drift"})
            QVERIFY2(text.contains(QLatin1String(option)), option);
    }

    void helpPagesAnswer() {
        QVERIFY(HttpGet(m_service->priceUrl() + "help").ok());
        QVERIFY(HttpGet(m_service->catalogUrl() + "help").ok());
    }
};

QTEST_GUILESS_MAIN(TestDemoPrice)
#include "tst_demoprice.moc"
