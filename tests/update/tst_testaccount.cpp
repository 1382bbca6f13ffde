#include "support/answers.h"
#include "support/rawhttpserver.h"
#include "support/windowfixture.h"
#include "update/testaccount.h"

#include <QApplication>
#include <QLineEdit>
#include <QToolButton>

class TestTestAccount : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void serverAnswers_data();
    void serverAnswers();
    void wrongAddressSendsNothing_data();
    void wrongAddressSendsNothing();
    void deadServerIsReported_data();
    void deadServerIsReported();
    void addressIsPercentEncoded();

private:
    std::unique_ptr<DemoService> m_service;
};

namespace {
const QString kCannotConnect = QStringLiteral("Cannot to conect with account server ! Please try in some time again.");
const QString kWrong = QStringLiteral("Value \"email\" is empty or wrong !!!");

// Types the address into the e-mail box and clicks "Create test account", as the user does.
void requestTestAccount(WindowFixture& f, const QString& email) {
    auto* edit = f.find<QLineEdit>("Edit3");
    click(edit);
    typeIntoFocus(email);
    QCOMPARE(edit->text(), email);
    click(f.find<QToolButton>("SpeedButton59"));
}
} // namespace

void TestTestAccount::initTestCase() {
    m_service = std::make_unique<DemoService>();
    QVERIFY2(m_service->isRunning(), qPrintable(m_service->error()));
}

void TestTestAccount::serverAnswers_data() {
    QTest::addColumn<QString>("email");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("opened");
    const QString site = m_service->siteUrl();
    QTest::newRow("created") << "new.trader@example.com" << false
                             << "Test account was created. Email: new.trader@example.com Seccode: "
                             << "";
    QTest::newRow("not permitted, sent")
        << "someone@elsewhere.org" << true << "In my permitted contact list not found this email address Send request ?"
        << site + "/contact-us?message=Please%20add%20my%20email%20address%20%5Bsomeone@elsewhere.org%5D%20to%"
                  "20permitted%20contact%20list&id_contact=1";
    QTest::newRow("not permitted, not sent") << "someone@elsewhere.org" << false
                                             << "In my permitted contact list not found this email address Send "
                                                "request ?"
                                             << "";
    QTest::newRow("already used, opened")
        << "trader@velmora.test" << true
        << "This email already using/used WebService Open the page for extend use WebService (need use same email "
           "address that was used first time) ?"
        << site + "/buy/catalog?email=trader@velmora.test";
    QTest::newRow("already used, not opened")
        << "  trader@velmora.test  " << false << "This email already using/used WebService Open the page"
        << "";
}

void TestTestAccount::serverAnswers() {
    QFETCH(QString, email);
    QFETCH(bool, answer);
    QFETCH(QString, message);
    QFETCH(QString, opened);
    WindowFixture f(endpointsOf(*m_service));
    f.showActive();
    f.dialogs.setNextAnswer(answer);
    requestTestAccount(f, email);
    QCOMPARE(f.dialogs.shown().size(), 1);
    QVERIFY2(f.dialogs.lastText().startsWith(message), qPrintable(f.dialogs.lastText()));
    const bool question = f.dialogs.shown().first().kind == ScriptedDialogs::Kind::Confirm;
    QCOMPARE(question, !message.startsWith("Test account was created"));
    // Both questions offer the next step of the user's own request: Enter takes it.
    if (question)
        QCOMPARE(f.dialogs.shown().first().confirmation, Confirmation::Routine);
    QCOMPARE(f.desktop.opened(), opened.isEmpty() ? QStringList() : QStringList{opened});
}

void TestTestAccount::wrongAddressSendsNothing_data() {
    QTest::addColumn<QString>("email");
    QTest::newRow("empty") << "";
    QTest::newRow("blank") << "   ";
    QTest::newRow("no dot in domain") << "trader@localhost";
    QTest::newRow("comma") << "a,b@example.com";
}

void TestTestAccount::wrongAddressSendsNothing() {
    QFETCH(QString, email);
    RawHttpServer server({httpReply("Test account was created.")});
    Endpoints endpoints;
    endpoints.siteUrl = server.url().chopped(1);
    WindowFixture f(endpoints);
    f.showActive();
    requestTestAccount(f, email);
    QCOMPARE(f.dialogs.texts(), QStringList{kWrong});
    // Start-up fetches the free price list catalogue from the same site; only the account request counts.
    for (const auto& request : server.requests())
        QVERIFY2(!request.contains("createtestaccount"), request.constData());
}

void TestTestAccount::deadServerIsReported_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("not found") << httpReply("404 Not Found", "This email already using/used WebService");
    QTest::newRow("status without phrase") << httpReply("200", "Test account was created.");
    QTest::newRow("blank body") << httpReply(" \r\n\t");
    QTest::newRow("nothing listens") << QByteArray();
}

void TestTestAccount::deadServerIsReported() {
    QFETCH(QByteArray, reply);
    std::unique_ptr<RawHttpServer> server;
    Endpoints endpoints;
    if (reply.isEmpty()) {
        endpoints.siteUrl = QStringLiteral("http://127.0.0.1:%1").arg(refusingPort());
    } else {
        server = std::make_unique<RawHttpServer>(QList<QByteArray>{reply});
        endpoints.siteUrl = server->url().chopped(1);
    }
    WindowFixture f(endpoints);
    f.showActive();
    f.dialogs.setNextAnswer(true);
    requestTestAccount(f, QStringLiteral("new.trader@example.com"));
    QCOMPARE(f.dialogs.texts(), QStringList{kCannotConnect});
    QVERIFY(f.desktop.opened().isEmpty());
}

// A quoted local part may hold blanks, quotes and "&": the server must get the whole address.
void TestTestAccount::addressIsPercentEncoded() {
    const QString email = QStringLiteral("\"J\u00fcrgen \\\"Bob\\\" & Co\"@example.com");
    {
        RawHttpServer server({httpReply("fine")});
        GetSiteText(TestAccountRequestUrl(server.url().chopped(1), email));
        const QByteArray head = server.requests().value(0);
        QVERIFY2(head.startsWith("GET /services/apps/velmora/createtestaccount.php?email="
                                 "\"J%C3%BCrgen%20\\\"Bob\\\"%20%26%20Co\"@example.com HTTP/1.0\r\n"),
                 head.constData());
    }
    WindowFixture f(endpointsOf(*m_service));
    f.showActive();
    requestTestAccount(f, email);
    QVERIFY2(f.dialogs.lastText().startsWith(QStringLiteral("Test account was created. Email: ") + email + " Seccode"),
             qPrintable(f.dialogs.lastText()));
}

QTEST_MAIN(TestTestAccount)
#include "tst_testaccount.moc"
