#include "platform/inifile.h"
#include "support/testpaths.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <csignal>

// The real program, copied into a temporary program folder, must save its settings and lists
// when the session ends it with SIGTERM or a terminal with SIGINT, as the close box does.
class TestShutdown : public QObject {
    Q_OBJECT
private slots:
    void terminationSignalSavesLikeTheCloseBox_data();
    void terminationSignalSavesLikeTheCloseBox();
};

void TestShutdown::terminationSignalSavesLikeTheCloseBox_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestShutdown::terminationSignalSavesLikeTheCloseBox() {
    QFETCH(int, signal);
    TestFolders folders;
    const QString program = folders.programFile("velmora");
    QVERIFY(QFile::copy(QStringLiteral(VELMORA_EXECUTABLE), program));
    // Nothing listens on port 9 of loopback; [service] must survive the save.
    writeBytes(folders.programFile("velmora.ini"),
               "[webservice]\r\nemail=kept@x.test\r\n[service]\r\ncatalog_url=http://127.0.0.1:9/\r\n"
               "price_url=http://127.0.0.1:9/\r\nsite_url=http://127.0.0.1:9\r\ndownload_url=http://127.0.0.1:9\r\n");

    QProcess process;
    process.setWorkingDirectory(folders.workingDir());
    process.start(program);
    QVERIFY(process.waitForStarted());
    // Give the window time to show and read its settings.
    QTest::qWait(1500);
    ::kill(pid_t(process.processId()), signal);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);

    const IniFile ini = IniFile::load(folders.programFile("velmora.ini"));
    QCOMPARE(ini.text("webservice", "email"), QStringLiteral("kept@x.test"));
    QCOMPARE(ini.text("openpage", "separate_thread"), QStringLiteral("1"));
    QCOMPARE(ini.text("service", "catalog_url"), QStringLiteral("http://127.0.0.1:9/"));
    QVERIFY(QFile::exists(folders.programFile("MyGarage.txt")));
}

QTEST_GUILESS_MAIN(TestShutdown)
#include "tst_shutdown.moc"
