#include "platform/apppaths.h"
#include "platform/desktop.h"
#include "platform/localeformats.h"
#include "platform/textfile.h"
#include "service/decoder.h"
#include "service/requestlog.h"
#include "service/serviceclient.h"
#include "service/textfunctions.h"
#include "support/demoservice.h"
#include "support/rawhttpserver.h"
#include "support/recordingdesktop.h"
#include "support/scripteddialogs.h"
#include "support/testpaths.h"

#include <QTest>

namespace {
Endpoints endpointsFor(const QString& catalog, const QString& price, const QString& demo) {
    Endpoints e = Endpoints::defaults();
    e.catalogUrl = catalog;
    e.priceUrl = price;
    e.demoUrl = demo;
    return e;
}
} // namespace

class TestServiceClient : public QObject {
    Q_OBJECT
private slots:
    void answeredRequestReturnsBodyAndLogsOk();
    void emptyBodyStillLogsAnswerOk();
    void failedRequestReturnsEmptyAndLogsReason();
    void testClientAnswerOffersDemoServer_data();
    void testClientAnswerOffersDemoServer();
    void markerFoundWhereverItStands_data();
    void markerFoundWhereverItStands();
    void logLineForms();
    void logMasksEveryCode_data();
    void logMasksEveryCode();
    void requestTextsFollowParameterOrders();
    void saveAndOpenLogWritesUtf8File();
    void unregisteredAccountReachesTheDemoServer();
};

void TestServiceClient::answeredRequestReturnsBodyAndLogsOk() {
    RawHttpServer server({"HTTP/1.0 200 OK\r\n\r\n\t\t\t{\r\n"});
    RequestLog log;
    ScriptedDialogs dialogs;
    FixedAccount account(QStringLiteral("a+b&c@x.test"), QStringLiteral(" secret "));
    ServiceClient client(endpointsFor(server.url(), server.url(), server.url()), log, dialogs, account);
    const QString request = client.ListRequest(QStringLiteral("GetListYears"));
    QCOMPARE(request, QStringLiteral("GetListYears?format=json&lang=en&email=a+b&c@x.test&seccode=secret"));
    QCOMPARE(client.CatalogRequest(request), QStringLiteral("\t\t\t{\r\n"));
    QCOMPARE(log.lines().size(), 1);
    QVERIFY(log.lines()[0].endsWith(QStringLiteral("\tANSWER OK")));
    QVERIFY(log.lines()[0].contains(QStringLiteral("&seccode=***\t")));
    QVERIFY(!log.lines()[0].contains(QStringLiteral("secret")));
    QVERIFY(server.requests().value(0).startsWith("GET /GetListYears?format=json&lang=en&email=a+b&c@x.test&"));
}

void TestServiceClient::emptyBodyStillLogsAnswerOk() {
    RawHttpServer server({"HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n"});
    RequestLog log;
    ScriptedDialogs dialogs;
    FixedAccount account;
    ServiceClient client(endpointsFor(server.url(), server.url(), server.url()), log, dialogs, account);
    QCOMPARE(client.PriceServiceRequest(QStringLiteral("sites-list")), QString());
    QCOMPARE(log.lines().size(), 1);
    QVERIFY(log.lines()[0].contains(QStringLiteral("  GET\t\t") + server.url() + QStringLiteral("sites-list\t")));
    QVERIFY(log.lines()[0].endsWith(QStringLiteral("ANSWER OK")));
}

void TestServiceClient::failedRequestReturnsEmptyAndLogsReason() {
    RequestLog log;
    ScriptedDialogs dialogs;
    FixedAccount account;
    const QString dead = QStringLiteral("http://127.0.0.1:%1/").arg(refusingPort());
    ServiceClient client(endpointsFor(dead, dead, dead), log, dialogs, account);
    QCOMPARE(client.CatalogRequest(QStringLiteral("getTypes?format=json")), QString());
    QVERIFY(log.lines().value(0).endsWith(QStringLiteral("\tNOT ANSWER [result()] !!!")));

    RawHttpServer server({"HTTP/1.0 404 Not Found\r\n\r\nmissing"});
    ServiceClient other(endpointsFor(server.url(), server.url(), server.url()), log, dialogs, account);
    QCOMPARE(other.CatalogRequest(QStringLiteral("x?y")), QString());
    QVERIFY(log.lines().value(1).endsWith(QStringLiteral("\tNOT ANSWER [result(NOT FOUND)] !!!")));
    QVERIFY(dialogs.shown().isEmpty());
}

void TestServiceClient::testClientAnswerOffersDemoServer_data() {
    QTest::addColumn<bool>("accept");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestServiceClient::testClientAnswerOffersDemoServer() {
    QFETCH(bool, accept);
    RawHttpServer server({"HTTP/1.0 200 OK\r\n\r\n{\r\n\t\"statusText\": \"test client\"\r\n}\r\n"});
    RequestLog log;
    ScriptedDialogs dialogs;
    dialogs.setNextAnswer(accept);
    FixedAccount account(QStringLiteral("me@x.test"), QStringLiteral("code"));
    const QString catalog = server.url();
    const QString price = QStringLiteral("http://127.0.0.1:1/");
    const QString demo = QStringLiteral("http://127.0.0.1:2/");
    ServiceClient client(endpointsFor(catalog, price, demo), log, dialogs, account);

    QCOMPARE(client.CatalogRequest(QStringLiteral("GetListYears?format=json")), QString());
    QVERIFY(log.lines().isEmpty());
    QCOMPARE(dialogs.shown().size(), 1);
    QVERIFY(dialogs.lastText().startsWith(QStringLiteral("Client for work with WebService is not registered !")));
    // It replaces the user's account: a stray Enter must keep it.
    QCOMPARE(dialogs.shown().last().confirmation, Confirmation::Destructive);
    QVERIFY(dialogs.lastText().contains(QStringLiteral(" or do reconnect with demo server. \r\n") +
                                        QString(37, QLatin1Char('-')) + QStringLiteral("\r\nDo recconnec")));
    QCOMPARE(client.catalogBaseUrl(), accept ? demo : catalog);
    QCOMPARE(client.priceServiceBaseUrl(), price);
    QCOMPARE(account.email(), accept ? QStringLiteral("demo@velmora.test") : QStringLiteral("me@x.test"));
    QCOMPARE(account.seccode(), accept ? QStringLiteral("@nrvqlzkxtbwm@") : QStringLiteral("code"));
}

void TestServiceClient::markerFoundWhereverItStands_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("holds");
    const QByteArray marker(kTestClientMarker);
    const QByteArray cut = marker.chopped(1);
    const QByteArray filler = QByteArray("\t\t\t\t\"status\": \"T:x\",\r\n").repeated(7);
    QTest::newRow("empty answer") << QByteArray() << false;
    QTest::newRow("marker alone") << marker << true;
    QTest::newRow("marker cut at the end") << cut << false;
    QTest::newRow("at the start") << marker + filler << true;
    QTest::newRow("at the end") << filler + marker << true;
    QTest::newRow("cut at the end of a long answer") << filler + cut << false;
    QTest::newRow("last byte differs") << filler + cut + 'T' + filler << false;
    QTest::newRow("first byte differs") << filler + "'" + marker.mid(1) + filler << false;
    QTest::newRow("after a near miss it overlaps")
        << filler + "\"statusText\": \"statusText\": \"test client\"" << true;
    QTest::newRow("near misses only")
        << (filler + "\"statusText\": \"test clienT\"statusText\":  \"test client").repeated(3) << false;
    // Every offset against the sixteen-byte steps, the marker whole and cut by the answer's end.
    for (int offset = 0; offset < 40; ++offset) {
        const QByteArray before = filler.left(offset);
        QTest::addRow("whole at %d", offset) << before + marker + filler.left(offset % 17) << true;
        QTest::addRow("cut at %d", offset) << before + cut << false;
    }
}

// The scan agrees with a plain search, and both with what the case says.
void TestServiceClient::markerFoundWhereverItStands() {
    QFETCH(QByteArray, answer);
    QFETCH(bool, holds);
    QCOMPARE(QByteArrayView(answer).contains(kTestClientMarker), holds);
    QCOMPARE(holdsTestClientMarker(answer), holds);
}

void TestServiceClient::logLineForms() {
    const QDateTime start(QDate(2026, 3, 4), QTime(10, 11, 12));
    const QDateTime end(QDate(2026, 3, 4), QTime(10, 11, 13));
    const QString base = QStringLiteral("http://h:150/");
    const QString request = QStringLiteral("get?service=COMPAREPRICE&email=e&seccode=s&site=44");
    const QString stamp = LocaleFormats::timestamp(start) + QStringLiteral(" - ") + LocaleFormats::timestamp(end);
    QCOMPARE(WorkerAnsweredLogLine(start, end, base, request, QStringLiteral("{\"host\" : \"a\"}")),
             stamp + QStringLiteral("  GET\tget\thttp://h:150/get?service=COMPAREPRICE&email=e&seccode=***&site=44\t"
                                    "\"ANSWER [{host : a}]\""));
    QCOMPARE(WorkerFailedLogLine(start, end, base, request, QStringLiteral("Internal Server Error")),
             stamp + QStringLiteral("  GET\tget\thttp://h:150/get?service=COMPAREPRICE&email=e&seccode=***&site=44\t"
                                    "NOT ANSWER [result(INTERNAL SERVER ERROR)] !!!"));
    // Midnight shows as its date alone, a moment later with the time.
    const QDateTime midnight(QDate(2026, 3, 5), QTime(0, 0));
    QVERIFY(WorkerFailedLogLine(midnight, midnight.addMSecs(400), base, request, QString())
                .startsWith(LocaleFormats::timestamp(midnight) + QStringLiteral(" - ") +
                            LocaleFormats::timestamp(midnight.addMSecs(400)) + QStringLiteral("  GET")));
    QCOMPARE(FailedLogLine(start, base, QStringLiteral("sites-list"), QString()),
             LocaleFormats::timestamp(start) +
                 QStringLiteral("  GET\t\thttp://h:150/sites-list\tNOT ANSWER [result()] !!!"));
    QCOMPARE(MaskSecrets(QStringLiteral("a?seccode=x&b=1&seccode=y")), QStringLiteral("a?seccode=***&b=1&seccode=***"));

    RequestLog log;
    log.AppendLogLine(QStringLiteral("one\r\ntwo"));
    QCOMPARE(log.lines(), QStringList({QStringLiteral("one"), QStringLiteral("two")}));
}

void TestServiceClient::logMasksEveryCode_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QString>("logged");
    const QString get = QStringLiteral("GET\tget\thttp://h/get?email=e&seccode=");
    QTest::newRow("no code in the line") << get + QStringLiteral("***&site=4\tANSWER OK")
                                         << QStringList{QStringLiteral("s3cret")}
                                         << get + QStringLiteral("***&site=4\tANSWER OK");
    QTest::newRow("code echoed by the answer")
        << QStringLiteral("ANSWER [your code s3cret is wrong]") << QStringList{QStringLiteral("s3cret")}
        << QStringLiteral("ANSWER [your code *** is wrong]");
    QTest::newRow("tail of a code with &")
        << MaskSecrets(get + QStringLiteral("ab&cd&site=4")) << QStringList{QStringLiteral("ab&cd")}
        << get + QStringLiteral("***&site=4");
    QTest::newRow("tail shown once a longer code is masked")
        << QStringLiteral("ANSWER [seccode=abcdefgh&yz]")
        << QStringList{QStringLiteral("abcdefgh"), QStringLiteral("x&yz")} << QStringLiteral("ANSWER [seccode=***]");
    QTest::newRow("code inside a longer one")
        << QStringLiteral("abc abcdef") << QStringList{QStringLiteral("abc"), QStringLiteral("abcdef")}
        << QStringLiteral("*** ***");
    QTest::newRow("blank codes mask nothing")
        << QStringLiteral("a b") << QStringList{QString(), QStringLiteral(" ")} << QStringLiteral("a b");
    QTest::newRow("empty code at the end")
        << MaskSecrets(QStringLiteral("x?seccode=")) << QStringList() << QStringLiteral("x?seccode=***");
}

void TestServiceClient::logMasksEveryCode() {
    QFETCH(QString, line);
    QFETCH(QStringList, codes);
    QFETCH(QString, logged);
    RequestLog log;
    log.setSecretsSource([codes] { return codes; });
    log.AppendLogLine(line);
    QCOMPARE(log.lines(), QStringList{logged});
}

void TestServiceClient::requestTextsFollowParameterOrders() {
    RequestLog log;
    ScriptedDialogs dialogs;
    FixedAccount account(QStringLiteral(" e@x "), QStringLiteral("s"), QStringLiteral("de"));
    ServiceClient client(Endpoints::defaults(), log, dialogs, account);
    QCOMPARE(client.ListRequest(QStringLiteral("getModels"), QStringLiteral("&year=1998&only=2")),
             QStringLiteral("getModels?format=json&lang=de&email=e@x&seccode=s&year=1998&only=2"));
    QCOMPARE(client.KeyRequest(QStringLiteral("getInfoCar"), QStringLiteral("typid=5")),
             QStringLiteral("getInfoCar?typid=5&format=json&lang=de&email=e@x&seccode=s"));
}

void TestServiceClient::saveAndOpenLogWritesUtf8File() {
    TestFolders folders;
    AppPaths paths(folders.programDir(), folders.workingDir());
    RecordingDesktop desktop;
    RequestLog log;
    log.AppendLogLine(QStringLiteral("first ü"));
    log.AppendLogLine(QStringLiteral("second"));
    QVERIFY(log.SaveAndOpenLog(paths, desktop));
    const QString file = folders.programFile(QStringLiteral("logRequests.txt"));
    QCOMPARE(readBytes(file), QByteArray("\xEF\xBB\xBF"
                                         "first \xC3\xBC\r\nsecond\r\n"));
    QCOMPARE(desktop.opened(), QStringList{file});
}

// The whole road against the stand-in service: refused as a test client, switched to the
// demo server, and the repeated request decodes.
void TestServiceClient::unregisteredAccountReachesTheDemoServer() {
    DemoService service;
    QVERIFY2(service.isRunning(), qPrintable(service.error()));
    Endpoints e = Endpoints::defaults();
    e.catalogUrl = service.catalogUrl();
    e.priceUrl = service.priceUrl();
    e.demoUrl = service.demoUrl();
    RequestLog log;
    ScriptedDialogs dialogs;
    dialogs.setNextAnswer(true);
    FixedAccount account(QStringLiteral("nobody@velmora.test"), QStringLiteral("unknown"));
    ServiceClient client(e, log, dialogs, account);

    QCOMPARE(client.CatalogRequest(client.ListRequest(QStringLiteral("GetListYears"))), QString());
    QCOMPARE(dialogs.shown().size(), 1);
    QVERIFY(log.lines().isEmpty());
    QCOMPARE(client.catalogBaseUrl(), service.demoUrl());

    const QString answer = client.CatalogRequest(client.ListRequest(QStringLiteral("GetListYears")));
    QVERIFY(!IsBlank(answer));
    QVERIFY(!DecodeAnswer<TYearRec>(QStringLiteral("GetListYears"), answer).isEmpty());
    QCOMPARE(log.lines().size(), 1);
    QVERIFY(log.lines()[0].contains(service.demoUrl() + QStringLiteral("GetListYears?")));
    QVERIFY(log.lines()[0].endsWith(QStringLiteral("ANSWER OK")));
}

QTEST_GUILESS_MAIN(TestServiceClient)
#include "tst_serviceclient.moc"
