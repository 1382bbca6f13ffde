#include "pricing/priceengine.h"
#include "support/rawhttpserver.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// The network thread against servers of the test's own on 127.0.0.1.

namespace {

const QByteArray kAnswer =
    "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n"
    "[\n  {\n  \"host\" : \"shop-a\",\n  \"price\" : \"12.50\",\n  \"currency\" : \"EUR\"\n}\n]\n";

TMyThread worker(const QString& baseUrl, const QString& site) {
    TMyThread w;
    static_cast<PriceQuestion&>(w) = {"COMPAREPRICE", "c@velmora.test", "code", site, "TRW", "GDB1385", "Pad", 0};
    w.namefun = PriceRequestPath(w.service, w.email, w.seccode, w.brand, w.part, w.site);
    w.priceBaseUrl = baseUrl;
    return w;
}

QList<WorkerResult> collect(PriceEngine& engine, int expected) {
    QList<WorkerResult> results;
    QObject::connect(&engine, &PriceTransport::delivered, &engine,
                     [&](const QList<WorkerResult>& batch) { results << batch; });
    if (!QTest::qWaitFor([&] { return results.size() >= expected; }, 10000))
        qWarning("only %d of %d results came", int(results.size()), expected);
    return results;
}

// Takes connections into its backlog and never answers.
class SilentServer {
public:
    SilentServer() {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_fd, 64);
        socklen_t length = sizeof address;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
    }
    ~SilentServer() { ::close(m_fd); }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_port); }

private:
    int m_fd = -1;
    int m_port = 0;
};

} // namespace

class TestPriceEngine : public QObject {
    Q_OBJECT
private slots:
    void eachWorkerIsOneExchangeReadOnTheNetworkThread();
    void noAnswerIsAFailedWorker();
    void eagerResultsComeWithoutTheBatchTimer();
    void shutdownCancelsWhatIsInFlight();
};

void TestPriceEngine::eachWorkerIsOneExchangeReadOnTheNetworkThread() {
    RawHttpServer server({kAnswer});
    PriceEngine engine(2);
    for (const char* site : {"12", "44", "46"})
        QVERIFY(engine.submit(worker(server.url(), site)));
    QCOMPARE(engine.openCount(), 3);
    const QList<WorkerResult> results = collect(engine, 3);
    QCOMPARE(results.size(), 3);
    QCOMPARE(engine.openCount(), 0);
    for (const WorkerResult& result : results) {
        QVERIFY(result.answered);
        QCOMPARE(result.findings.compareOffers, (QList<CompareOffer>{{"shop-a", "12.50", "EUR"}}));
        QVERIFY2(result.logLine.contains("\"ANSWER [[") && result.logLine.contains("GET\tget"),
                 qPrintable(result.logLine));
    }
    const QList<QByteArray> heads = server.requests();
    QCOMPARE(heads.size(), 3);
    QVERIFY2(heads[0].startsWith("GET /get?service=COMPAREPRICE&email=c@velmora.test&seccode=code&brand=TRW&part="
                                 "GDB1385&site=12 HTTP/1.0\r\n"),
             heads[0].constData());
    QVERIFY(heads[0].contains("\r\nConnection: close\r\n"));
    QVERIFY(heads[0].contains("\r\nUser-Agent: Mozilla/4.0 (compatible; Synapse)\r\n"));
    QVERIFY(!heads[0].contains("Keep-Alive"));
}

void TestPriceEngine::noAnswerIsAFailedWorker() {
    PriceEngine engine;
    QVERIFY(engine.submit(worker(QStringLiteral("http://127.0.0.1:%1/").arg(refusingPort()), "12")));
    const QList<WorkerResult> results = collect(engine, 1);
    QCOMPARE(results.size(), 1);
    QVERIFY(!results[0].answered);
    QVERIFY(results[0].findings.compareOffers.isEmpty());
    QVERIFY2(results[0].logLine.endsWith("NOT ANSWER [result()] !!!"), qPrintable(results[0].logLine));
}

void TestPriceEngine::eagerResultsComeWithoutTheBatchTimer() {
    RawHttpServer server({kAnswer});
    PriceEngine engine;
    engine.setEager(true);
    for (const char* site : {"12", "44"})
        QVERIFY(engine.submit(worker(server.url(), site)));
    // The network thread posts the results itself; the batch timer plays no part.
    const QList<WorkerResult> results = collect(engine, 2);
    QCOMPARE(results.size(), 2);
    QCOMPARE(engine.openCount(), 0);
}

void TestPriceEngine::shutdownCancelsWhatIsInFlight() {
    SilentServer server;
    auto engine = std::make_unique<PriceEngine>(3);
    QSignalSpy delivered(engine.get(), &PriceTransport::delivered);
    for (int i = 0; i < 6; ++i)
        QVERIFY(engine->submit(worker(server.url(), QString::number(i))));
    QTest::qWait(300);
    QElapsedTimer clock;
    clock.start();
    engine->shutdown(3000);
    QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(engine->isClosing());
    QCOMPARE(engine->openCount(), 0);
    QVERIFY(!engine->submit(worker(server.url(), "7")));
    engine.reset();
    QTest::qWait(100);
    QCOMPARE(delivered.size(), 0);
}

QTEST_GUILESS_MAIN(TestPriceEngine)
#include "tst_priceengine.moc"
