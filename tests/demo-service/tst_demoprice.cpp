#include "platform/httpexchange.h"
#include "support/demoservice.h"

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

    void helpPagesAnswer() {
        QVERIFY(HttpGet(m_service->priceUrl() + "help").ok());
        QVERIFY(HttpGet(m_service->catalogUrl() + "help").ok());
    }
};

QTEST_GUILESS_MAIN(TestDemoPrice)
#include "tst_demoprice.moc"
