#include "platform/transfer.h"
#include "support/loopbackservers.h"
#include "support/rawhttpserver.h"
#include "support/testpaths.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray kOld = "brand;reference;price\r\nINA;1;2\r\n";
// Line ends, a NUL and high bytes: any text-mode conversion shows.
const QByteArray kBinary = QByteArray("PK\x03\x04\r\n\x00\xff\xfe line\nend\r", 18);

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestTransfer : public QObject {
    Q_OBJECT
private slots:
    void httpReplacesTheFileOnlyOnSuccess_data();
    void httpReplacesTheFileOnlyOnSuccess();
    void progressIsReportedAndCancelLeavesNothing();
    void refusedDownloadKeepsTheOldFile();
    void unwritableTargetIsReported();
    void onlyTheFiveProtocolsAreFetched_data();
    void onlyTheFiveProtocolsAreFetched();
    void ftpLogsInWithTheLinksAccountAndPort();
    void ftpsEncryptsTheWholeSession();
    void sftpUsesTheUsersKey();
};

void TestTransfer::httpReplacesTheFileOnlyOnSuccess_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("200 replaces") << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 18\r\n\r\n" + kBinary) << kBinary;
    QTest::newRow("204 empty body") << QByteArray("HTTP/1.0 204 No Content\r\n\r\n") << QByteArray();
    QTest::newRow("404 page") << QByteArray("HTTP/1.0 404 Not Found\r\n\r\n<html>gone</html>") << kOld;
    QTest::newRow("500 page") << QByteArray("HTTP/1.0 500 Internal Server Error\r\n\r\noops") << kOld;
    QTest::newRow("cut mid-body") << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\npartial data") << kOld;
    QTest::newRow("no status line") << QByteArray("just bytes") << kOld;
}

void TestTransfer::httpReplacesTheFileOnlyOnSuccess() {
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("host-[stock].csv"));
    writeBytes(target, kOld);
    RawHttpServer server({reply});
    const DownloadResult result = DownloadToFile(server.url(QStringLiteral("/files/stock.csv")), target);
    QCOMPARE(result.saved(), expected != kOld);
    QCOMPARE(readBytes(target), expected);
    QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("host-[stock].csv")});
}

void TestTransfer::progressIsReportedAndCancelLeavesNothing() {
    const QByteArray body(2 * 1024 * 1024, 'x');
    RawHttpServer server({"HTTP/1.0 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body,
                          "HTTP/1.0 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body});
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("big.bin"));

    std::atomic<bool> cancel{false};
    qint64 lastReceived = 0, lastTotal = 0;
    DownloadOptions options;
    options.cancel = &cancel;
    options.progress = [&](qint64 received, qint64 total) {
        lastReceived = received;
        lastTotal = total;
    };
    QVERIFY(DownloadToFile(server.url(), target, options).saved());
    QCOMPARE(lastReceived, body.size());
    QCOMPARE(lastTotal, body.size());

    options.progress = [&](qint64 received, qint64) {
        if (received > 0)
            cancel = true;
    };
    const DownloadResult cancelled = DownloadToFile(server.url(), dir.filePath(QStringLiteral("other.bin")), options);
    QCOMPARE(cancelled.outcome, DownloadResult::Outcome::Cancelled);
    QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("big.bin")});
}

void TestTransfer::refusedDownloadKeepsTheOldFile() {
    RawHttpServer server({"HTTP/1.0 200 OK\r\n\r\n<html>not a program</html>"});
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("new_program"));
    writeBytes(target, kOld);
    QByteArray seenHead;
    qint64 seenSize = -1;
    DownloadOptions options;
    options.accept = [&](qint64 size, const QByteArray& head) {
        seenSize = size;
        seenHead = head;
        return false;
    };
    QCOMPARE(DownloadToFile(server.url(), target, options).outcome, DownloadResult::Outcome::Rejected);
    QCOMPARE(seenSize, qint64(26));
    QCOMPARE(seenHead, QByteArray("<html>not a program</html>"));
    QCOMPARE(readBytes(target), kOld);
    QCOMPARE(entries(dir.path()).size(), 1);
}

void TestTransfer::unwritableTargetIsReported() {
    RawHttpServer server({"HTTP/1.0 200 OK\r\n\r\ndata"});
    QTemporaryDir dir;
    const DownloadResult result = DownloadToFile(server.url(), dir.filePath(QStringLiteral("missing/sub/file.csv")));
    QCOMPARE(result.outcome, DownloadResult::Outcome::WriteFailed);
    QVERIFY(!result.error.isEmpty());
}

void TestTransfer::onlyTheFiveProtocolsAreFetched_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("protocol");
    QTest::newRow("http") << "http://h/a.csv"
                          << "http";
    QTest::newRow("https") << "https://h/a.csv"
                           << "https";
    QTest::newRow("ftp") << "ftp://h/a.csv"
                         << "ftp";
    QTest::newRow("ftps") << "ftps://h/a.csv"
                          << "ftps";
    QTest::newRow("sftp") << "sftp://h/a.csv"
                          << "sftp";
    QTest::newRow("upper case") << "HTTP://h/a.csv"
                                << "";
    QTest::newRow("file") << "file:///etc/passwd"
                          << "";
    QTest::newRow("scp") << "scp://h/a.csv"
                         << "";
    QTest::newRow("no scheme") << "h/a.csv"
                               << "";
}

void TestTransfer::onlyTheFiveProtocolsAreFetched() {
    QFETCH(QString, link);
    QFETCH(QString, protocol);
    QCOMPARE(DownloadProtocol(link), protocol);
    if (protocol.isEmpty()) {
        QTemporaryDir dir;
        QCOMPARE(DownloadToFile(link, dir.filePath(QStringLiteral("x"))).outcome, DownloadResult::Outcome::Unsupported);
        QVERIFY(entries(dir.path()).isEmpty());
    }
}

void TestTransfer::ftpLogsInWithTheLinksAccountAndPort() {
    QTemporaryDir served;
    QDir(served.path()).mkpath(QStringLiteral("pub"));
    writeBytes(served.filePath(QStringLiteral("pub/p.xls")), kBinary);
    LoopbackFtpServer server(served.path(), QStringLiteral("supplier"), QStringLiteral("s3cret"));
    QVERIFY2(server.isRunning(), qPrintable(server.error()));
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("127.0.0.1-[p].xls"));
    const QString base = QStringLiteral("ftp://supplier:%1@127.0.0.1:%2/pub/");

    QVERIFY(DownloadToFile(base.arg(QStringLiteral("s3cret")).arg(server.port()) + "p.xls", target).saved());
    QCOMPARE(readBytes(target), kBinary);

    writeBytes(target, kOld);
    QVERIFY(!DownloadToFile(base.arg(QStringLiteral("wrong")).arg(server.port()) + "p.xls", target).saved());
    QVERIFY(!DownloadToFile(base.arg(QStringLiteral("s3cret")).arg(server.port()) + "missing.xls", target).saved());
    QCOMPARE(readBytes(target), kOld);
    QCOMPARE(entries(dir.path()).size(), 1);
}

void TestTransfer::ftpsEncryptsTheWholeSession() {
    QTemporaryDir served;
    writeBytes(served.filePath(QStringLiteral("p.csv")), kBinary);
    LoopbackFtpServer server(served.path(), QStringLiteral("supplier"), QStringLiteral("s3cret"),
                             LoopbackFtpServer::Security::ExplicitTls);
    QVERIFY2(server.isRunning(), qPrintable(server.error()));
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("p.csv"));
    const QString link = QStringLiteral("%1://supplier:s3cret@127.0.0.1:%2/p.csv");
    QVERIFY(DownloadToFile(link.arg(QStringLiteral("ftps")).arg(server.port()), target).saved());
    QCOMPARE(readBytes(target), kBinary);
    // The server takes no session in the clear.
    QVERIFY(
        !DownloadToFile(link.arg(QStringLiteral("ftp")).arg(server.port()), dir.filePath(QStringLiteral("b"))).saved());
}

void TestTransfer::sftpUsesTheUsersKey() {
    LoopbackSshServer server;
    QVERIFY2(server.isRunning(), qPrintable(server.error()));
    QTemporaryDir served;
    writeBytes(served.filePath(QStringLiteral("price list.csv")), kBinary);

    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("p.csv"));
    const QString link =
        QStringLiteral("sftp://%1@127.0.0.1:%2%3/").arg(server.user()).arg(server.port()).arg(served.path());
    QVERIFY(DownloadToFile(link + QStringLiteral("price list.csv"), target).saved());
    QCOMPARE(readBytes(target), kBinary);
    writeBytes(target, kOld);
    QVERIFY(!DownloadToFile(link + QStringLiteral("missing.csv"), target).saved());
    QCOMPARE(readBytes(target), kOld);
}

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
