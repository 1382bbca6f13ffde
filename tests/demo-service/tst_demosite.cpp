#include "platform/httpexchange.h"
#include "support/demoservice.h"

#include <QTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

namespace {

int connectLoopback(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval timeout{10, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The last line of one reply (multi-line replies are read to their end).
QByteArray ftpReply(int fd) {
    QByteArray line, last;
    char c;
    while (::recv(fd, &c, 1, 0) == 1) {
        if (c != '\n') {
            line += c;
            continue;
        }
        last = line.trimmed();
        line.clear();
        if (last.size() >= 4 && last[3] == ' ')
            return last;
    }
    return last;
}

// A price list download as the program does it: login, set-up commands, passive mode, RETR.
// Returns the file, or "ERROR " and the reply that refused it.
QByteArray ftpFetch(int port, const QByteArray& user, const QByteArray& password, const QByteArray& path) {
    const int control = connectLoopback(port);
    if (control < 0)
        return "ERROR connect";
    QByteArray result;
    auto command = [&](const QByteArray& text) {
        const QByteArray line = text + "\r\n";
        ::send(control, line.constData(), static_cast<size_t>(line.size()), MSG_NOSIGNAL);
        return ftpReply(control);
    };
    QByteArray reply = ftpReply(control);
    for (const QByteArray& step :
         {"USER " + user, "PASS " + password, QByteArray("TYPE I"), QByteArray("STRU F"), QByteArray("MODE S"),
          QByteArray("REST 0"), QByteArray("TYPE I"), QByteArray("PASV")}) {
        reply = command(step);
        if (reply.startsWith('4') || reply.startsWith('5'))
            break;
    }
    if (reply.startsWith("227")) {
        const QList<QByteArray> numbers = reply.mid(reply.indexOf('(') + 1).split(',');
        const int data = connectLoopback(numbers.value(4).toInt() * 256 + numbers.value(5).split(')').first().toInt());
        reply = command("RETR " + path);
        if (reply.startsWith('1')) {
            char chunk[4096];
            ssize_t n;
            while ((n = ::recv(data, chunk, sizeof chunk, 0)) > 0)
                result.append(chunk, static_cast<int>(n));
            reply = ftpReply(control);
        }
        ::close(data);
    }
    ::close(control);
    return reply.startsWith("226") ? result : "ERROR " + reply;
}

} // namespace

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
        QTest::newRow("new address") << "newcomer@velmora.test"
                                     << "Test account was created.";
        QTest::newRow("same address again") << "newcomer@velmora.test"
                                            << "This email already using/used WebService";
        QTest::newRow("sample account") << "trader@velmora.test"
                                        << "This email already using/used WebService";
        QTest::newRow("not permitted") << "someone@elsewhere.test"
                                       << "In my permitted contact list not found this email address";
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
        const QString seccode =
            QString::fromUtf8(created.body).section(QLatin1String("Seccode: "), 1).section(' ', 0, 0);
        QVERIFY(!seccode.isEmpty());
        const HttpResult years = HttpGet(m_service->catalogUrl() +
                                         "GetListYears?format=json&lang=en&email=trial@example.com&seccode=" + seccode);
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
        QTest::newRow("about catalog") << "/services/catalog";
        QTest::newRow("about server") << "/services/server";
        QTest::newRow("about price services") << "/services/compareprice";
    }
    void pagesAndDownloadsAnswer() {
        QFETCH(QString, path);
        const HttpResult result = HttpGet(m_service->siteUrl() + path);
        QVERIFY(result.ok());
        QVERIFY(!result.body.isEmpty());
    }

    void programDownloadIsAnExecutable() {
        const HttpResult result = HttpGet(m_service->siteUrl() + "/services/apps/velmora/Velmora.exe");
        QVERIFY(result.ok());
        QVERIFY(result.body.startsWith("\x7f"
                                       "ELF"));
    }

    void freePriceListsPointAtServedFiles() {
        const HttpResult list = HttpGet(m_service->siteUrl() + "/services/apps/velmora/freepricelists.txt");
        QVERIFY(list.ok());
        const QStringList entries = QString::fromUtf8(list.body).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QVERIFY(entries.size() >= 4);
        bool sawXlsx = false, sawRename = false, sawAllTags = false, sawFtp = false;
        const QString ftpBase = QStringLiteral("ftp://127.0.0.1:%1/").arg(m_service->portBase() + 21);
        for (const QString& entry : entries) {
            const QString url = entry.section(QLatin1String("<url>"), 1).section(QLatin1String("</url>"), 0, 0);
            QByteArray body;
            if (url.startsWith(ftpBase)) {
                body = ftpFetch(m_service->portBase() + 21, "", "", url.mid(ftpBase.size() - 1).toUtf8());
                sawFtp = true;
            } else {
                QVERIFY2(url.startsWith(m_service->siteUrl() + "/pricelists/"), qPrintable(url));
                const HttpResult file = HttpGet(url);
                QVERIFY2(file.ok(), qPrintable(url));
                body = file.body;
            }
            if (url.endsWith(QLatin1String(".xlsx"))) {
                QVERIFY(body.startsWith("PK\x03\x04"));
                sawXlsx = true;
            } else {
                QVERIFY2(body.count('\n') > 100, body.left(80).constData());
            }
            auto filled = [&](const char* tag) {
                return !entry.section(QStringLiteral("<%1>").arg(QLatin1String(tag)), 1)
                            .section(QStringLiteral("</%1>").arg(QLatin1String(tag)), 0, 0)
                            .trimmed()
                            .isEmpty();
            };
            sawRename |= filled("renameto");
            sawAllTags |= filled("renameto") && filled("addbrand") && filled("addreference") && filled("addprice");
        }
        QVERIFY(sawXlsx && sawRename && sawAllTags && sawFtp);
    }

    void ftpServesPriceListsToItsAccounts_data() {
        QTest::addColumn<QByteArray>("user");
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("expected"); // start of the file, or of the refusal
        QTest::newRow("link without user")
            << QByteArray() << QByteArray() << QByteArray("/pricelists/partsworld-stock.csv")
            << QByteArray("Brand;Reference;Price");
        QTest::newRow("anonymous") << QByteArray("anonymous") << QByteArray("me@example.com")
                                   << QByteArray("/pricelists/uk-motorfactors.csv") << QByteArray("Make,Part number");
        QTest::newRow("supplier login, encoded name")
            << QByteArray("supplier") << QByteArray("supplier-2026") << QByteArray("/pricelists/lager-%5BATE%5D.csv")
            << QByteArray("artnr;bezeichnung;preis");
        QTest::newRow("wrong password") << QByteArray("supplier") << QByteArray("x")
                                        << QByteArray("/pricelists/partsworld-stock.csv") << QByteArray("ERROR 530");
        QTest::newRow("missing file") << QByteArray() << QByteArray() << QByteArray("/pricelists/none.csv")
                                      << QByteArray("ERROR 550");
    }
    void ftpServesPriceListsToItsAccounts() {
        QFETCH(QByteArray, user);
        QFETCH(QByteArray, password);
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, expected);
        const QByteArray result = ftpFetch(m_service->portBase() + 21, user, password, path);
        QVERIFY2(result.startsWith(expected), result.left(80).constData());
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
