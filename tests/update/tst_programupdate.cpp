#include "common/minisign.h"
#include "support/rawhttpserver.h"
#include "support/testpaths.h"
#include "update/programupdate.h"
#include "update/updatesignature.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>

class TestProgramUpdate : public QObject {
    Q_OBJECT
private slots:
    void firstLineDecides_data();
    void firstLineDecides();
    void versionCheckReadsOnlyTheFirstBytes();
    void loadCaptionUsesTheLocale_data();
    void loadCaptionUsesTheLocale();
    void onlyAnExecutableIsTaken_data();
    void onlyAnExecutableIsTaken();
    void scriptIsWrittenRunnable();
    void scriptReplacesAPlantedLink();
    void onlyASignedNewerProgramIsAccepted_data();
    void onlyASignedNewerProgramIsAccepted();
    void signatureOfTheMinisignToolIsRead();
    void scriptSwapsAndStartsTheNewProgram();
    void scriptWithoutNewProgramChangesNothing();
};

void TestProgramUpdate::firstLineDecides_data() {
    QTest::addColumn<QByteArray>("history");
    QTest::addColumn<QString>("version");
    QTest::addColumn<int>("outcome"); // -1 no decision, 0 current, 1 other version
    QTest::addColumn<QString>("announced");
    const QByteArray more = "  - fixes\r\n";
    QTest::newRow("same version") << "\"VELMORA\" 1.2.2 released\r\n" + more << "1.2.2" << 0 << "1.2.2";
    QTest::newRow("newer version") << "\"VELMORA\" 1.2.3 released\r\n" + more << "1.2.2" << 1 << "1.2.3";
    QTest::newRow("older version, no numeric comparison")
        << "\"VELMORA\" 1.0.0 released\n" + more << "1.2.2" << 1 << "1.0.0";
    QTest::newRow("anywhere in the line")
        << "news: \"VELMORA\" 1.2.2 released today\n" + more << "1.2.2" << 0 << "1.2.2";
    QTest::newRow("only a later line") << QByteArray("\"VELMORA\" 2.0.0 released\n\"VELMORA\" 1.2.2 released\n")
                                       << "1.2.2" << 1 << "2.0.0";
    QTest::newRow("no version information") << "\"VELMORA\" 1.2.2 released\n" + more << "" << 1 << "1.2.2";
    QTest::newRow("blank lines before") << "\r\n \n\"VELMORA\" 1.2.3 released\n" + more << "1.2.2" << 1 << "1.2.3";
    QTest::newRow("no announcement") << "news\n" + more << "1.2.2" << 1 << "";
    // The text is trimmed before its first line is taken.
    QTest::newRow("one line only") << QByteArray("\"VELMORA\" 1.2.3 released\r\n") << "1.2.2" << -1 << "";
    QTest::newRow("line feed after 101 bytes") << QByteArray(120, 'x') + "\n" + more << "1.2.2" << -1 << "";
    QTest::newRow("empty") << QByteArray() << "1.2.2" << -1 << "";
}

void TestProgramUpdate::firstLineDecides() {
    QFETCH(QByteArray, history);
    QFETCH(QString, version);
    QFETCH(int, outcome);
    QFETCH(QString, announced);
    // The check reads at most 101 bytes.
    const std::optional<bool> other = AnnouncesOtherVersion(history.left(101), version);
    QCOMPARE(other.has_value() ? int(*other) : -1, outcome);
    QCOMPARE(AnnouncedVersion(history.left(101)), announced);
}

namespace {

// A download server whose version history never ends: after the first line it sends a byte now
// and then, for as long as the test lets it (then it hangs up, the body still unfinished).
class EndlessHistoryServer {
public:
    EndlessHistoryServer() {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        socklen_t length = sizeof addr;
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &length);
        m_port = ntohs(addr.sin_port);
        ::listen(m_listen, 4);
        m_thread = std::thread([this] { serve(); });
    }
    ~EndlessHistoryServer() {
        m_stop = true;
        m_thread.join();
        ::close(m_listen);
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }

private:
    void serve() {
        pollfd p{m_listen, POLLIN, 0};
        if (::poll(&p, 1, 10000) <= 0)
            return;
        const int fd = ::accept(m_listen, nullptr, nullptr);
        const QByteArray head = "HTTP/1.0 200 OK\r\nContent-Length: 1000000000\r\n\r\n"
                                "\"VELMORA\" 2.0.0 released\r\n  - fixes\r\n" +
                                QByteArray(80, ' ');
        ::send(fd, head.constData(), size_t(head.size()), MSG_NOSIGNAL);
        for (int i = 0; i < 100 && !m_stop; ++i) {
            ::send(fd, " ", 1, MSG_NOSIGNAL);
            QThread::msleep(100);
        }
        ::close(fd);
    }

    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace

// A server that trickled its version history without end held start-up for good: the check
// waited for the whole body. It takes one read of at most 101 bytes and decides on those.
void TestProgramUpdate::versionCheckReadsOnlyTheFirstBytes() {
    const EndlessHistoryServer server;
    const std::optional<PublishedVersion> published = CheckPublishedVersion(server.url(), QStringLiteral("1.0.0"));
    QVERIFY(published.has_value());
    QVERIFY(published->other);
    QCOMPARE(published->announced, QStringLiteral("2.0.0"));
}

void TestProgramUpdate::loadCaptionUsesTheLocale_data() {
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("caption");
    QTest::newRow("2560 bytes") << qint64(2560) << "en_US"
                                << "Load 2.5 KB ";
    QTest::newRow("decimal comma") << qint64(2560) << "de_DE"
                                   << "Load 2,5 KB ";
    QTest::newRow("whole") << qint64(4096) << "en_US"
                           << "Load 4 KB ";
    QTest::newRow("fraction digits as needed") << qint64(1000) << "en_US"
                                               << "Load 0.9765625 KB ";
    QTest::newRow("no group separator") << qint64(5 * 1024 * 1024) << "en_US"
                                        << "Load 5120 KB ";
}

void TestProgramUpdate::loadCaptionUsesTheLocale() {
    QFETCH(qint64, bytes);
    QFETCH(QString, locale);
    QFETCH(QString, caption);
    QCOMPARE(LoadCaption(bytes, QLocale(locale)), caption);
}

void TestProgramUpdate::onlyAnExecutableIsTaken_data() {
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<bool>("runnable");
    QTest::newRow("ELF") << QByteArray("\x7f"
                                       "ELF\x02\x01\x01")
                         << true;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("Windows program") << QByteArray("MZ\x90\x00") << false;
    QTest::newRow("error page") << QByteArray("<html>Not Found</html>") << false;
}

void TestProgramUpdate::onlyAnExecutableIsTaken() {
    QFETCH(QByteArray, head);
    QFETCH(bool, runnable);
    QCOMPARE(IsRunnableProgram(head.size(), head), runnable);
}

void TestProgramUpdate::scriptIsWrittenRunnable() {
    QTemporaryDir dir;
    const UpdateFiles files = UpdateFilesIn(dir.path(), QStringLiteral("velmora"));
    QCOMPARE(files.script, dir.filePath(QStringLiteral("UpdProgrVelmora.sh")));
    QCOMPARE(files.newProgram, dir.filePath(QStringLiteral("new_velmora")));
    QString error;
    QVERIFY(WriteUpdateScript(files.script, QStringLiteral("velmora"), &error));
    QVERIFY(QFileInfo(files.script).isExecutable());
    const QByteArray script = readBytes(files.script);
    QVERIFY(script.startsWith("#!/bin/sh\n"));
    for (const char* step : {"sleep 5", "if [ ! -f 'new_velmora' ]", "echo 'FILE_NOT_FOUND new_velmora'",
                             "rm -f 'old_velmora'", "mv -f 'velmora' 'old_velmora'", "mv -f 'new_velmora' 'velmora'",
                             "chmod +x 'velmora'", "./'velmora' </dev/null"})
        QVERIFY2(script.contains(step), step);
    QVERIFY(!script.contains('\r'));
}

// A link planted under the script's name made the program write the script into the link's
// target and make that file executable.
void TestProgramUpdate::scriptReplacesAPlantedLink() {
    QTemporaryDir dir;
    const UpdateFiles files = UpdateFilesIn(dir.path(), QStringLiteral("velmora"));
    const PlantedLink link(files.script);
    QString error;
    QVERIFY2(WriteUpdateScript(files.script, QStringLiteral("velmora"), &error), qPrintable(error));
    QVERIFY(link.victimIntact());
    QVERIFY(QFileInfo(files.script).isExecutable());
    QCOMPARE(readBytes(files.script), UpdateScript(QStringLiteral("velmora")));
}

namespace {

MinisignKey standInKey() {
    return ReadMinisignSecretKey(readBytes(QStringLiteral(VELMORA_UPDATE_TEST_KEY)).toStdString())
        .value_or(MinisignKey{});
}

// The tests sign as the stand-in does; a build that trusts another key cannot take those.
bool trustsStandInKey() {
    return BuiltInUpdateKey() == QByteArray::fromStdString(MinisignPublicKey(standInKey()));
}

QByteArray sign(const MinisignKey& key, const QByteArray& data, const QByteArray& comment) {
    return QByteArray::fromStdString(MinisignSign(key, data.toStdString(), comment.toStdString()));
}

} // namespace

void TestProgramUpdate::onlyASignedNewerProgramIsAccepted_data() {
    QTest::addColumn<QByteArray>("signature");
    QTest::addColumn<QString>("refusal"); // empty: accepted
    const MinisignKey vendor = standInKey();
    const QByteArray program = "\x7f"
                               "ELF the new program";
    const QByteArray good = sign(vendor, program, "timestamp:1\tfile:Velmora.exe\tversion:2.0.0");
    QByteArray otherComment = good;
    otherComment.replace("version:2.0.0", "version:9.0.0");
    QByteArray flipped = good;
    flipped[good.indexOf('\n') + 20] = flipped[good.indexOf('\n') + 20] == 'A' ? 'B' : 'A';

    QTest::newRow("signed, newer") << good << "";
    QTest::newRow("newer by a later number") << sign(vendor, program, "version:1.0.10") << "";
    QTest::newRow("no signature") << QByteArray() << "The update carries no signature.";
    QTest::newRow("another key") << sign(NewMinisignKey(), program, "version:2.0.0")
                                 << "The update is signed with another key than the vendor's.";
    QTest::newRow("signed another file") << sign(vendor, program + "!", "version:2.0.0")
                                         << "The update's signature does not match the downloaded file.";
    QTest::newRow("signature altered") << flipped << "The update's signature does not match the downloaded file.";
    QTest::newRow("version altered after signing")
        << otherComment << "The update's signature does not match the downloaded file.";
    QTest::newRow("same version") << sign(vendor, program, "version:1.0.2")
                                  << "The update (version 1.0.2) is not newer than this program (version 1.0.2).";
    QTest::newRow("older version") << sign(vendor, program, "version:0.9.9")
                                   << "The update (version 0.9.9) is not newer than this program (version 1.0.2).";
    QTest::newRow("no version") << sign(vendor, program, "timestamp:1") << "The update's signature names no version.";
    QTest::newRow("an error page") << QByteArray("<html>Not Found</html>\n")
                                   << "The update's signature cannot be read.";
}

void TestProgramUpdate::onlyASignedNewerProgramIsAccepted() {
    if (!trustsStandInKey())
        QSKIP("built to trust another update key");
    QFETCH(QByteArray, signature);
    QFETCH(QString, refusal);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("new_velmora"));
    writeBytes(path, "\x7f"
                     "ELF the new program");
    const std::optional<QString> why = AcceptUpdate(path, signature, BuiltInUpdateKey(), QStringLiteral("1.0.2"));
    QCOMPARE(why.value_or(QString()), refusal);
    // Only an accepted program may run.
    QCOMPARE(QFileInfo(path).isExecutable(), refusal.isEmpty());
}

// The vendor signs with the minisign tool itself; its files are read as it writes them.
void TestProgramUpdate::signatureOfTheMinisignToolIsRead() {
    if (!trustsStandInKey())
        QSKIP("built to trust another update key");
    QFile program(fixturePath(QStringLiteral("update/signed-by-minisign")));
    QVERIFY(program.open(QIODevice::ReadOnly));
    const SignatureCheck check = VerifySignature(
        program, readBytes(fixturePath(QStringLiteral("update/signed-by-minisign.minisig"))), BuiltInUpdateKey());
    QVERIFY2(check.valid, qPrintable(check.failure));
    QCOMPARE(SignedVersion(check.trustedComment), QStringLiteral("2.0.0"));
}

namespace {

// Runs the script as the shell would after the program has ended; its output.
QByteArray runScript(const QString& script) {
    QProcess shell;
    shell.start(QStringLiteral("/bin/sh"), {script});
    if (!shell.waitForFinished(30000))
        return "did not finish";
    return shell.readAllStandardOutput();
}

} // namespace

void TestProgramUpdate::scriptSwapsAndStartsTheNewProgram() {
    QTemporaryDir dir;
    // A name the shell must not split or expand.
    const QString name = QStringLiteral("my velmora's $HOME");
    const UpdateFiles files = UpdateFilesIn(dir.path(), name);
    writeBytes(files.program, "running version");
    writeBytes(files.oldProgram, "older version");
    writeBytes(files.newProgram, "#!/bin/sh\necho started > \"$(dirname \"$0\")/started.txt\"\n");
    QString error;
    QVERIFY(WriteUpdateScript(files.script, name, &error));

    const QByteArray output = runScript(files.script);
    QVERIFY2(output.contains("RUN_PROGRAM"), output.constData());
    QCOMPARE(readBytes(files.oldProgram), QByteArray("running version"));
    QVERIFY(!QFileInfo::exists(files.newProgram));
    QVERIFY(QFileInfo(files.program).isExecutable());
    QTRY_COMPARE(readBytes(dir.filePath(QStringLiteral("started.txt"))), QByteArray("started\n"));
}

void TestProgramUpdate::scriptWithoutNewProgramChangesNothing() {
    QTemporaryDir dir;
    const UpdateFiles files = UpdateFilesIn(dir.path(), QStringLiteral("velmora"));
    writeBytes(files.program, "running version");
    QString error;
    QVERIFY(WriteUpdateScript(files.script, QStringLiteral("velmora"), &error));
    QVERIFY(runScript(files.script).contains("FILE_NOT_FOUND new_velmora"));
    QCOMPARE(readBytes(files.program), QByteArray("running version"));
    QVERIFY(!QFileInfo::exists(files.oldProgram));
}

QTEST_GUILESS_MAIN(TestProgramUpdate)
#include "tst_programupdate.moc"
