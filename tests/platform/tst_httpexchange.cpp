#include "platform/curleasy.h"
#include "platform/httpexchange.h"
#include "support/rawhttpserver.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <memory>

#include <sys/resource.h>

class TestHttpExchange : public QObject {
    Q_OBJECT
private slots:
    void sendsExactlyTheServiceHead();
    void targetIsEncodedOnlyWhereItMustBe_data();
    void targetIsEncodedOnlyWhereItMustBe();
    void workerFormClosesTheConnection();
    void statusLineDecidesSuccess_data();
    void statusLineDecidesSuccess();
    void redirectIsNotFollowed();
    void refusedConnectionHasNoReason();
    void oversizedBodyIsAFailure();
    void proxyVariablesAreIgnored();
    void onlyWebAddressesAreFetched();
    void windowIsToldOfItsOwnExchangesOnly();
    void windowKeepsItsEventLoopWhileItWaits();
    void endlessAnswersEndAtTheirBound_data();
    void endlessAnswersEndAtTheirBound();
    void cancellingAllTransfersEndsTheRunningOne();
    void bodyIsAllocatedOnceFromItsLength();
    void bigBodyTakesFewPageFaults();
};

namespace {
const QByteArray kOkHead = "HTTP/1.0 200 OK\r\n\r\n";
} // namespace

// A timer of the window thread fires while an answer trickles in.
void TestHttpExchange::windowKeepsItsEventLoopWhileItWaits() {
    StreamingHttpServer trickle(kOkHead, "x", 100);
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(50);
    QList<bool> told;
    setWindowWaitHook([&told](bool waiting) { told << waiting; });
    HttpOptions options;
    options.deadlineSeconds = 1;
    const HttpResult r = HttpGet(trickle.url(), options);
    setWindowWaitHook(nullptr);
    QVERIFY(!r.completed);
    QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
    QCOMPARE(told, (QList<bool>{true, false}));
}

void TestHttpExchange::endlessAnswersEndAtTheirBound_data() {
    QTest::addColumn<QByteArray>("chunk");
    QTest::addColumn<int>("intervalMs");
    QTest::addColumn<int>("deadlineSeconds");
    QTest::addColumn<qint64>("maxBodyBytes");
    QTest::newRow("trickle past the deadline") << QByteArray("x") << 200 << 2 << qint64(1) * 1024 * 1024;
    QTest::newRow("flood past the cap") << QByteArray(64 * 1024, 'x') << 0 << 0 << qint64(4) * 1024 * 1024;
}

void TestHttpExchange::endlessAnswersEndAtTheirBound() {
    QFETCH(QByteArray, chunk);
    QFETCH(int, intervalMs);
    QFETCH(int, deadlineSeconds);
    QFETCH(qint64, maxBodyBytes);
    StreamingHttpServer server(kOkHead, chunk, intervalMs);
    HttpOptions options;
    options.deadlineSeconds = deadlineSeconds;
    options.maxBodyBytes = maxBodyBytes;
    // Either way the worker form too: the bound is the exchange's, not the window's.
    bool workerCompleted = true;
    std::unique_ptr<QThread> worker(
        QThread::create([&] { workerCompleted = HttpGet(server.url(), options).completed; }));
    worker->start();
    QVERIFY(worker->wait(60000));
    QVERIFY(!workerCompleted);
    const HttpResult r = HttpGet(server.url(), options);
    QVERIFY(!r.completed);
    QVERIFY(r.body.isEmpty());
}

void TestHttpExchange::cancellingAllTransfersEndsTheRunningOne() {
    StreamingHttpServer trickle(kOkHead, "x", 100);
    QTimer::singleShot(300, [] { setAllTransfersCancelled(true); });
    QVERIFY(!HttpGet(trickle.url()).completed);
    // Nothing starts any more, not even a connection.
    RawHttpServer later({"HTTP/1.0 200 OK\r\n\r\nlater"});
    QVERIFY(!HttpGet(later.url()).completed);
    QVERIFY(later.requests().isEmpty());
    setAllTransfersCancelled(false);
    QCOMPARE(HttpGet(later.url()).body, QByteArray("later"));
}

void TestHttpExchange::bodyIsAllocatedOnceFromItsLength() {
    const QByteArray body(3 * 1024 * 1024 + 7, 'b');
    RawHttpServer server({"HTTP/1.0 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body,
                          "HTTP/1.0 200 OK\r\nContent-Length: 99999999999\r\n\r\n" + body});
    const HttpResult r = HttpGet(server.url());
    QCOMPARE(r.body, body);
    QCOMPARE(r.body.capacity(), body.size());
    // A length beyond the cap is refused before anything is allocated for it.
    QVERIFY(!HttpGet(server.url()).completed);
}

// A body of tens of megabytes used to cost a page fault for every 4 KiB received; it now comes in
// huge pages where the kernel offers them on request.
void TestHttpExchange::bigBodyTakesFewPageFaults() {
#ifdef VELMORA_SANITIZED
    QSKIP("a sanitizer's own allocator and shadow memory decide the faults");
#endif
    QFile offer(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled"));
    if (!offer.open(QIODevice::ReadOnly) || offer.readAll().contains("[never]"))
        QSKIP("the kernel offers no huge pages");
    const QByteArray body(24 * 1024 * 1024, 'b');
    RawHttpServer server({"HTTP/1.0 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body});
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const HttpResult r = HttpGet(server.url());
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    QCOMPARE(r.body, body);
    const long faults = after.ru_minflt - before.ru_minflt;
    const long smallPages = long(body.size() / 4096);
    QVERIFY2(faults < smallPages / 4, qPrintable(QStringLiteral("%1 faults").arg(faults)));
}

void TestHttpExchange::windowIsToldOfItsOwnExchangesOnly() {
    QList<bool> told;
    setWindowWaitHook([&told](bool waiting) { told << waiting; });
    const QString nowhere = QStringLiteral("http://127.0.0.1:%1/x").arg(refusingPort());
    HttpGet(nowhere);
    QCOMPARE(told, (QList<bool>{true, false}));
    told.clear();
    std::unique_ptr<QThread> worker(QThread::create([&] { HttpGet(nowhere); }));
    worker->start();
    QVERIFY(worker->wait(30000));
    QVERIFY(told.isEmpty());
    setWindowWaitHook(nullptr);
}

void TestHttpExchange::sendsExactlyTheServiceHead() {
    RawHttpServer server({"HTTP/1.0 200 OK\r\n\r\nhello"});
    const HttpResult r = HttpGet(server.url(QStringLiteral("/GetListYears?format=json&lang=en")));
    QVERIFY(r.ok());
    QCOMPARE(r.body, QByteArray("hello"));
    const QByteArray expected = "GET /GetListYears?format=json&lang=en HTTP/1.0\r\n"
                                "Host: 127.0.0.1:" +
                                QByteArray::number(server.port()) +
                                "\r\n"
                                "Keep-Alive: 300\r\n"
                                "Connection: keep-alive\r\n"
                                "User-Agent: Mozilla/4.0 (compatible; Synapse)\r\n"
                                "\r\n";
    QCOMPARE(server.requests().value(0), expected);
}

void TestHttpExchange::targetIsEncodedOnlyWhereItMustBe_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QByteArray>("onTheWire");
    QTest::newRow("blanks") << "search=0 986 424 536" << QByteArray("search=0%20986%20424%20536");
    QTest::newRow("beyond ASCII, as UTF-8")
        << QString::fromUtf8("brand=LEMFÖRDER&search=31 12") << QByteArray("brand=LEMF%C3%96RDER&search=31%2012");
    QTest::newRow("control characters") << "search=A\tB\x7F" << QByteArray("search=A%09B%7F");
    QTest::newRow("a hash, which would end the target") << "search=AB+12[x]#7" << QByteArray("search=AB+12[x]%237");
    QTest::newRow("everything else as given")
        << "search=13.0460-1234.2/HU 719/7x+AB[x]%41~" << QByteArray("search=13.0460-1234.2/HU%20719/7x+AB[x]%41~");
}

void TestHttpExchange::targetIsEncodedOnlyWhereItMustBe() {
    QFETCH(QString, query);
    QFETCH(QByteArray, onTheWire);
    RawHttpServer server({"HTTP/1.0 200 OK\r\n\r\n"});
    const HttpResult r = HttpGet(server.url(QStringLiteral("/GetSearchByCrossrefAndBrand?") + query));
    QVERIFY(r.completed);
    QCOMPARE(server.requests().value(0).split('\r').value(0),
             "GET /GetSearchByCrossrefAndBrand?" + onTheWire + " HTTP/1.0");
}

void TestHttpExchange::workerFormClosesTheConnection() {
    RawHttpServer server({"HTTP/1.0 200 OK\r\n\r\n"});
    HttpOptions options;
    options.keepAlive = false;
    options.timeoutSeconds = 120;
    HttpGet(server.url(QStringLiteral("/get?service=COMPAREPRICE")), options);
    const QByteArray expected = "GET /get?service=COMPAREPRICE HTTP/1.0\r\n"
                                "Host: 127.0.0.1:" +
                                QByteArray::number(server.port()) +
                                "\r\n"
                                "Connection: close\r\n"
                                "User-Agent: Mozilla/4.0 (compatible; Synapse)\r\n"
                                "\r\n";
    QCOMPARE(server.requests().value(0), expected);
}

void TestHttpExchange::statusLineDecidesSuccess_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QByteArray>("body");

    QTest::newRow("200 OK") << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\nabc") << true << 200 << "OK"
                            << QByteArray("abc");
    QTest::newRow("200 Ok") << QByteArray("HTTP/1.1 200 Ok\r\n\r\nabc") << true << 200 << "Ok" << QByteArray("abc");
    QTest::newRow("200 alone") << QByteArray("HTTP/1.0 200\r\n\r\nabc") << false << 200 << "" << QByteArray("abc");
    QTest::newRow("100 then 200") << QByteArray("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\n\r\nabc") << true
                                  << 200 << "OK" << QByteArray("abc");
    QTest::newRow("no status line") << QByteArray("just a body\r\nline two") << false << 0 << ""
                                    << QByteArray("just a body\r\nline two");
    QTest::newRow("chunked") << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                           "3\r\nabc\r\n2\r\nde\r\n0\r\n\r\n")
                             << true << 200 << "OK" << QByteArray("abcde");
    QTest::newRow("until close") << QByteArray("HTTP/1.0 200 OK\r\n\r\nuntil the end") << true << 200 << "OK"
                                 << QByteArray("until the end");
    QTest::newRow("status line in lower case")
        << QByteArray("http/1.0 200 OK\r\n\r\nabc") << true << 200 << "OK" << QByteArray("abc");
    QTest::newRow("connection broken in the body")
        << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nabc") << false << 200 << "" << QByteArray();
    QTest::newRow("server error") << QByteArray("HTTP/1.0 500 Internal Server Error\r\n\r\noops") << false << 500
                                  << "Internal Server Error" << QByteArray("oops");
}

void TestHttpExchange::statusLineDecidesSuccess() {
    QFETCH(QByteArray, reply);
    RawHttpServer server({reply});
    const HttpResult r = HttpGet(server.url());
    QFETCH(bool, ok);
    QFETCH(int, code);
    QFETCH(QString, reason);
    QFETCH(QByteArray, body);
    QCOMPARE(r.ok(), ok);
    QCOMPARE(r.statusCode, code);
    QCOMPARE(r.reason, reason);
    QCOMPARE(r.body, body);
}

void TestHttpExchange::redirectIsNotFollowed() {
    RawHttpServer server({"HTTP/1.0 301 Moved Permanently\r\nLocation: /elsewhere\r\n\r\n", "HTTP/1.0 200 OK\r\n\r\n"});
    const HttpResult r = HttpGet(server.url(QStringLiteral("/here")));
    QVERIFY(!r.ok());
    QCOMPARE(r.reason, QStringLiteral("Moved Permanently"));
    QCOMPARE(server.requests().size(), 1);
}

void TestHttpExchange::refusedConnectionHasNoReason() {
    const HttpResult r = HttpGet(QStringLiteral("http://127.0.0.1:%1/x").arg(refusingPort()));
    QVERIFY(!r.ok());
    QVERIFY(!r.completed);
    QCOMPARE(r.reason, QString());
}

void TestHttpExchange::proxyVariablesAreIgnored() {
    RawHttpServer target({"HTTP/1.0 200 OK\r\n\r\ndirect"});
    RawHttpServer proxy({"HTTP/1.0 200 OK\r\n\r\nproxied"});
    const QByteArray proxyUrl = proxy.url().toLatin1();
    qputenv("http_proxy", proxyUrl);
    qputenv("HTTP_PROXY", proxyUrl);
    qputenv("ALL_PROXY", proxyUrl);
    qputenv("all_proxy", proxyUrl);
    qunsetenv("no_proxy");
    qunsetenv("NO_PROXY");
    const HttpResult r = HttpGet(target.url(QStringLiteral("/x")));
    for (const char* name : {"http_proxy", "HTTP_PROXY", "ALL_PROXY", "all_proxy"})
        qunsetenv(name);
    QCOMPARE(r.body, QByteArray("direct"));
    QVERIFY(proxy.requests().isEmpty());
}

void TestHttpExchange::onlyWebAddressesAreFetched() {
    const QString file =
        QDir::temp().filePath(QStringLiteral("velmora-httpget-%1.txt").arg(QCoreApplication::applicationPid()));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("HTTP/1.0 200 OK\r\n\r\nlocal");
    out.close();
    const HttpResult r = HttpGet(QUrl::fromLocalFile(file).toString());
    QFile::remove(file);
    QVERIFY(!r.ok());
    QVERIFY(r.body.isEmpty());
}

void TestHttpExchange::oversizedBodyIsAFailure() {
    RawHttpServer server({"HTTP/1.0 200 OK\r\n\r\n" + QByteArray(4096, 'x')});
    HttpOptions options;
    options.maxBodyBytes = 1000;
    const HttpResult r = HttpGet(server.url(), options);
    QVERIFY(!r.ok());
    QCOMPARE(r.reason, QString());
    QVERIFY(r.body.isEmpty());
    options.maxBodyBytes = 4096;
    QVERIFY(HttpGet(server.url(), options).ok());
}

QTEST_GUILESS_MAIN(TestHttpExchange)
#include "tst_httpexchange.moc"
