#include "platform/inifile.h"
#include "support/rawhttpserver.h"
#include "support/testpaths.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>

// The real program, copied into a temporary program folder, must save its settings and lists
// when the session ends it with SIGTERM or a terminal with SIGINT, as the close box does.
class TestShutdown : public QObject {
    Q_OBJECT
private slots:
    void terminationSignalSavesLikeTheCloseBox_data();
    void terminationSignalSavesLikeTheCloseBox();
    void terminationSignalNeverWaitsForAPerson();
    void terminationSignalEndsASlowExchange();
};

namespace {

// Nothing listens on port 9 of loopback; [service] must survive the save.
const QByteArray kServiceSettings = "[service]\r\ncatalog_url=http://127.0.0.1:9/\r\nprice_url=http://127.0.0.1:9/\r\n"
                                    "site_url=http://127.0.0.1:9\r\ndownload_url=http://127.0.0.1:9\r\n";

// Starts the program copied into the folder, waits until `ready` (by default: time for the
// window to show and read its settings), and sends the signal; false when the program could not
// be started or did not end within ten seconds.
bool runUntilSignal(const TestFolders& folders, QProcess& process, int signal,
                    const std::function<bool()>& ready = {}) {
    const QString program = folders.programFile("velmora");
    if (!QFile::copy(QStringLiteral(VELMORA_EXECUTABLE), program))
        return false;
    process.setWorkingDirectory(folders.workingDir());
    process.start(program);
    if (!process.waitForStarted())
        return false;
    if (ready) {
        if (!QTest::qWaitFor(ready, 30000))
            return false;
    } else {
        QTest::qWait(1500);
    }
    ::kill(pid_t(process.processId()), signal);
    return process.waitForFinished(10000);
}

} // namespace

void TestShutdown::terminationSignalSavesLikeTheCloseBox_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestShutdown::terminationSignalSavesLikeTheCloseBox() {
    QFETCH(int, signal);
    TestFolders folders;
    writeBytes(folders.programFile("velmora.ini"), "[webservice]\r\nemail=kept@x.test\r\n" + kServiceSettings);
    QProcess process;
    QVERIFY(runUntilSignal(folders, process, signal));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);

    const IniFile ini = IniFile::load(folders.programFile("velmora.ini"));
    QCOMPARE(ini.text("webservice", "email"), QStringLiteral("kept@x.test"));
    QCOMPARE(ini.text("openpage", "separate_thread"), QStringLiteral("1"));
    QCOMPARE(ini.text("service", "catalog_url"), QStringLiteral("http://127.0.0.1:9/"));
    QVERIFY(QFile::exists(folders.programFile("MyGarage.txt")));
}

// With the settings file unwritable, a close from a signal showed the error in a box and waited
// for a person, and every further SIGTERM opened another box.
void TestShutdown::terminationSignalNeverWaitsForAPerson() {
    TestFolders folders;
    writeBytes(folders.programFile("velmora.ini"), kServiceSettings);
    QProcess process;
    // Files of the program may not grow beyond 512 bytes: the empty lists (a mark each) are
    // written, the settings file with all its keys is not, even for root.
    process.setChildProcessModifier([] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{512, 512};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    QVERIFY(runUntilSignal(folders, process, SIGTERM));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    const QByteArray error = process.readAllStandardError();
    QVERIFY2(error.contains("velmora.ini"), error.constData());
    QCOMPARE(readBytes(folders.programFile("velmora.ini")), kServiceSettings);
    QVERIFY(QFile::exists(folders.programFile("MyGarage.txt")));
}

// Start-up fetches the free price list catalogue from a server that trickles a byte now and
// then: the signal must end that exchange and the program long before the fetch's own deadline.
void TestShutdown::terminationSignalEndsASlowExchange() {
    StreamingHttpServer trickle("HTTP/1.0 200 OK\r\n\r\n", "<", 500);
    TestFolders folders;
    QByteArray settings = "[webservice]\r\nemail=kept@x.test\r\n" + kServiceSettings;
    settings.replace("site_url=http://127.0.0.1:9", "site_url=" + trickle.url(QString()).toLatin1());
    writeBytes(folders.programFile("velmora.ini"), settings);
    QProcess process;
    QVERIFY(runUntilSignal(folders, process, SIGTERM, [&] { return trickle.requestCount() > 0; }));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(IniFile::load(folders.programFile("velmora.ini")).text("webservice", "email"),
             QStringLiteral("kept@x.test"));
}

QTEST_GUILESS_MAIN(TestShutdown)
#include "tst_shutdown.moc"
