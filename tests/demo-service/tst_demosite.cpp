#include "platform/httpexchange.h"
#include "support/demoservice.h"

#include <QTest>

#include <memory>

class TestDemoSite : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<DemoService> m_service;

private slots:
    void initTestCase() {
        m_service = std::make_unique<DemoService>(QStringList{"--published-version", "2.3.4"});
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->error()));
    }
    void cleanupTestCase() { m_service.reset(); }

    void iniSectionPointsAtTheService() {
        const QString section = m_service->serviceIniSection();
        const int p = m_service->portBase();
        QVERIFY(section.startsWith(QLatin1String("[service]\n")));
        QVERIFY(section.contains(QStringLiteral("catalog_url=http://127.0.0.1:%1/\n").arg(p + 100)));
        QVERIFY(section.contains(QStringLiteral("price_url=http://127.0.0.1:%1/\n").arg(p + 150)));
        QVERIFY(section.contains(QStringLiteral("demo_url=http://127.0.0.1:%1/\n").arg(p + 200)));
        QVERIFY(section.contains(QStringLiteral("site_url=http://127.0.0.1:%1\n").arg(p + 80)));
        QVERIFY(section.contains(QStringLiteral("download_url=http://127.0.0.1:%1\n").arg(p + 80)));
    }

    void testAccountRequestAnswers_data() {
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("answer");
        QTest::newRow("new address") << "newcomer@velmora.test" << "Test account was created.";
        QTest::newRow("same address again") << "newcomer@velmora.test" << "This email already using/used WebService";
        QTest::newRow("sample account") << "trader@velmora.test" << "This email already using/used WebService";
        QTest::newRow("not permitted")
            << "someone@elsewhere.test" << "In my permitted contact list not found this email address";
    }
    void testAccountRequestAnswers() {
        QFETCH(QString, email);
        QFETCH(QString, answer);
        const HttpResult result =
            HttpGet(m_service->siteUrl() + "/services/apps/velmora/createtestaccount.php?email=" + email);
        QVERIFY(result.ok());
        QVERIFY2(QString::fromUtf8(result.body).startsWith(answer), result.body.constData());
    }

    void createdTestAccountOpensTheCatalog() {
        const HttpResult created =
            HttpGet(m_service->siteUrl() + "/services/apps/velmora/createtestaccount.php?email=trial@example.com");
        const QString seccode = QString::fromUtf8(created.body).section(QLatin1String("Seccode: "), 1).section(' ', 0, 0);
        QVERIFY(!seccode.isEmpty());
        const HttpResult years =
            HttpGet(m_service->catalogUrl() + "GetListYears?format=json&lang=en&email=trial@example.com&seccode=" + seccode);
        QVERIFY(years.body.contains("\"statusText\": \"trial client till 202603\""));
    }

    void versionHistoryAnnouncesThePublishedVersion() {
        const HttpResult result = HttpGet(m_service->downloadUrl() + "/download/versionhistoryforvelmora.txt");
        QVERIFY(result.ok());
        const int lineEnd = result.body.indexOf('\n');
        QVERIFY(lineEnd > 0 && lineEnd < 101);
        QVERIFY(result.body.left(lineEnd).contains("\"VELMORA\" 2.3.4 released"));
    }

    void pagesAndDownloadsAnswer_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("contact") << "/contact-us?message=hello%0Dthere&from=a@b.test&id_contact=1";
        QTest::newRow("buy catalog") << "/buy/catalog?email=trader@velmora.test";
        QTest::newRow("buy comparator") << "/buy/compare";
        QTest::newRow("buy analysis") << "/buy/analysis";
        QTest::newRow("program") << "/services/apps/velmora/Velmora.exe";
    }
    void pagesAndDownloadsAnswer() {
        QFETCH(QString, path);
        const HttpResult result = HttpGet(m_service->siteUrl() + path);
        QVERIFY(result.ok());
        QVERIFY(!result.body.isEmpty());
    }

    void freePriceListsPointAtServedFiles() {
        const HttpResult list = HttpGet(m_service->siteUrl() + "/services/apps/velmora/freepricelists.txt");
        QVERIFY(list.ok());
        const QStringList entries = QString::fromUtf8(list.body).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QVERIFY(entries.size() >= 4);
        bool sawXlsx = false, sawRename = false;
        for (const QString& entry : entries) {
            const QString url = entry.section(QLatin1String("<url>"), 1).section(QLatin1String("</url>"), 0, 0);
            QVERIFY(url.startsWith(m_service->siteUrl() + "/pricelists/"));
            const HttpResult file = HttpGet(url);
            QVERIFY2(file.ok(), qPrintable(url));
            if (url.endsWith(QLatin1String(".xlsx"))) {
                QVERIFY(file.body.startsWith("PK\x03\x04"));
                sawXlsx = true;
            } else {
                QVERIFY(file.body.count('\n') > 100);
            }
            sawRename |= !entry.contains(QLatin1String("<renameto></renameto>"));
        }
        QVERIFY(sawXlsx && sawRename);
    }

    void faultSwitchesFailAndDrop_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("failedStatus");
        QTest::newRow("fail every 2nd") << "--fail-every" << 500;
        QTest::newRow("drop every 2nd") << "--drop-every" << 0;
    }
    void faultSwitchesFailAndDrop() {
        QFETCH(QString, option);
        QFETCH(int, failedStatus);
        DemoService faulty({option, "2", "--quiet"});
        QVERIFY2(faulty.isRunning(), qPrintable(faulty.error()));
        int ok = 0, failed = 0;
        for (int i = 0; i < 6; ++i) {
            const HttpResult r = HttpGet(faulty.priceUrl() + "sites-list", {false, 30});
            if (r.ok())
                ++ok;
            else if (r.statusCode == failedStatus && r.reason != QLatin1String("OK"))
                ++failed;
        }
        QCOMPARE(ok, 3);
        QCOMPARE(failed, 3);
    }
};

QTEST_GUILESS_MAIN(TestDemoSite)
#include "tst_demosite.moc"
