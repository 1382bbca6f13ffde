#include "common/minisign.h"
#include "support/rawhttpserver.h"
#include "support/windowfixture.h"

#include "platform/httpexchange.h"
#include "update/updatesignature.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QToolButton>

#include <memory>

namespace {

const QString kOutdated = QStringLiteral("You use old version program. Need do update program !!!");
const QString kDownloadError = QStringLiteral("Error downloading the file. If necessary, try again !");

QString programName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

MinisignKey standInKey() {
    return ReadMinisignSecretKey(readBytes(QStringLiteral(VELMORA_UPDATE_TEST_KEY)).toStdString())
        .value_or(MinisignKey{});
}

QByteArray answer(const QByteArray& body) {
    return "HTTP/1.0 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

// A signature answer as the download server gives it.
QByteArray signatureAnswer(const MinisignKey& key, const QByteArray& program, const QByteArray& version) {
    return answer(QByteArray::fromStdString(
        MinisignSign(key, program.toStdString(), "timestamp:1\tfile:Velmora.exe\tversion:" + version.toStdString())));
}

} // namespace

class TestUpdateButtons : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void sameVersionKeepsTheButtonHidden();
    void otherVersionShowsButtonAndMessageAfterFirstPaint();
    void historyOpensTheVersionHistory();
    void noChangesNothing();
    void updateDownloadsSwapsAndCloses();
    void refusedDownloadLeavesNothingBehind_data();
    void refusedDownloadLeavesNothingBehind();
    void installedCopyLeavesUpdatesToItsInstaller();

private:
    std::unique_ptr<DemoService> m_newer; // publishes 9.9.9
};

void TestUpdateButtons::initTestCase() {
    QApplication::setQuitOnLastWindowClosed(false);
    if (BuiltInUpdateKey() != QByteArray::fromStdString(MinisignPublicKey(standInKey())))
        QSKIP("built to trust another update key than the stand-in's");
    m_newer = std::make_unique<DemoService>(QStringList{"--published-version", "9.9.9"});
    QVERIFY2(m_newer->isRunning(), qPrintable(m_newer->error()));
}

void TestUpdateButtons::sameVersionKeepsTheButtonHidden() {
    WindowFixture w(endpointsOf(*m_newer), QStringLiteral("9.9.9"));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window()));
    QTest::qWait(100);
    QVERIFY(w.find<QToolButton>("SpeedButton3")->isHidden());
    QVERIFY(w.dialogs.shown().isEmpty());
}

void TestUpdateButtons::otherVersionShowsButtonAndMessageAfterFirstPaint() {
    WindowFixture w(endpointsOf(*m_newer), QStringLiteral("1.0.0"));
    w.show();
    // Start-up has checked, but the message waits for the window to be painted.
    QVERIFY(!w.find<QToolButton>("SpeedButton3")->isHidden());
    QVERIFY(w.dialogs.shown().isEmpty());
    QTRY_COMPARE(w.dialogs.texts(), QStringList{kOutdated});
    // Showing the window again checks no more.
    w.window().hide();
    w.window().show();
    QTest::qWait(50);
    QCOMPARE(w.dialogs.texts(), QStringList{kOutdated});
}

void TestUpdateButtons::historyOpensTheVersionHistory() {
    WindowFixture w;
    w.show();
    click(w.find<QToolButton>("SpeedButton4"));
    QCOMPARE(w.desktop.opened(), QStringList{w.seams.endpoints.downloadUrl + "/download/versionhistoryforvelmora.txt"});
}

void TestUpdateButtons::noChangesNothing() {
    WindowFixture w(endpointsOf(*m_newer), QStringLiteral("1.0.0"));
    w.show();
    QTRY_COMPARE(w.dialogs.texts(), QStringList{kOutdated});
    w.dialogs.setNextAnswer(false);
    click(w.find<QToolButton>("SpeedButton3"));
    const QString question =
        "If you have installed an old version program , you must be upgrading to the new version with more "
        "features.\r--------------------------------\r   \rDownload the new version program (this version of the file "
        "will rename in file [old_" +
        programName() + "]) ?";
    QCOMPARE(w.dialogs.lastText(), question);
    QVERIFY(w.find<QToolButton>("SpeedButton3")->isVisible());
    QCOMPARE(QDir(w.folders.programDir()).entryList(QDir::Files), QStringList());
}

void TestUpdateButtons::updateDownloadsSwapsAndCloses() {
    WindowFixture w(endpointsOf(*m_newer), QStringLiteral("1.0.0"));
    w.show();
    QTRY_COMPARE(w.dialogs.texts(), QStringList{kOutdated});
    auto* update = w.find<QToolButton>("SpeedButton3");
    w.dialogs.setNextAnswer(true);
    click(update);

    QCOMPARE(w.dialogs.shown().size(), 2); // the message and the question, nothing after
    QVERIFY(!w.window().isVisible());
    QVERIFY(update->isHidden());
    QVERIFY(update->text().startsWith("Load ")); // the last progress caption
    // Closed through its normal path: the settings are saved.
    QVERIFY(QFileInfo::exists(w.folders.programFile("velmora.ini")));
    const QString script = w.folders.programFile("UpdProgrVelmora.sh");
    QVERIFY(QFileInfo(script).isExecutable());
    QVERIFY(readBytes(script).contains("mv -f 'new_" + programName().toUtf8() + "'"));
    // The script runs on its own: after its pause the downloaded program takes the name.
    const QString installed = w.folders.programFile(programName());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(installed), 20000);
    QVERIFY(!QFileInfo::exists(w.folders.programFile("new_" + programName())));
    QVERIFY(QFileInfo(installed).isExecutable());
    QVERIFY(readBytes(installed).startsWith("\x7f"
                                            "ELF"));
    QCOMPARE(readBytes(installed), HttpGet(m_newer->siteUrl() + "/services/apps/velmora/Velmora.exe").body);
}

void TestUpdateButtons::refusedDownloadLeavesNothingBehind_data() {
    QTest::addColumn<QByteArray>("signature");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("message");
    const QByteArray program = "\x7f"
                               "ELF\x02\x01\x01 a program";
    const QByteArray signature = signatureAnswer(standInKey(), program, "9.9.9");
    QTest::newRow("404") << signature
                         << QByteArray("HTTP/1.0 404 Not Found\r\n\r\n\x7f"
                                       "ELF but an error page")
                         << kDownloadError;
    QTest::newRow("empty") << signature << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n") << kDownloadError;
    QTest::newRow("not ELF") << signature << answer("MZ\x90\x00 a program for another system") << kDownloadError;
    QTest::newRow("cut mid-body") << signature
                                  << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 90000\r\n\r\n\x7f"
                                                "ELF\x02\x01\x01 and no more")
                                  << kDownloadError;
    // A man in the middle answers "9.9.9" and serves a program of his own.
    const QString refused = kDownloadError + "\r%1 Nothing was changed.";
    QTest::newRow("no signature") << QByteArray("HTTP/1.0 404 Not Found\r\n\r\n") << answer(program)
                                  << refused.arg("The update carries no signature.");
    QTest::newRow("signed with another key") << signatureAnswer(NewMinisignKey(), program, "9.9.9") << answer(program)
                                             << refused.arg("The update is signed with another key than the vendor's.");
    QTest::newRow("bad signature") << signature << answer(program + "!")
                                   << refused.arg("The update's signature does not match the downloaded file.");
    QTest::newRow("not newer") << signatureAnswer(standInKey(), program, "1.0.0") << answer(program)
                               << refused.arg("The update (version 1.0.0) is not newer than this program (version "
                                              "1.0.0).");
}

void TestUpdateButtons::refusedDownloadLeavesNothingBehind() {
    QFETCH(QByteArray, signature);
    QFETCH(QByteArray, reply);
    QFETCH(QString, message);
    // The free catalogue is asked first, at start-up; then the signature, then the program.
    RawHttpServer site({"HTTP/1.0 404 Not Found\r\n\r\n", signature, reply});
    Endpoints endpoints = endpointsOf(*m_newer);
    endpoints.siteUrl = site.url(QString());
    WindowFixture w(endpoints, QStringLiteral("1.0.0"));
    writeBytes(w.folders.programFile("new_" + programName()), "stale download of an earlier try");
    w.show();
    QTRY_COMPARE(w.dialogs.texts(), QStringList{kOutdated});
    w.dialogs.setNextAnswer(true);
    click(w.find<QToolButton>("SpeedButton3"));

    QCOMPARE(w.dialogs.lastText(), message);
    const QList<QByteArray> requests = site.requests();
    QVERIFY(requests.value(1).startsWith("GET /services/apps/velmora/Velmora.exe.minisig "));
    // Without a signature the program is not even fetched.
    QCOMPARE(requests.size(), signature.startsWith("HTTP/1.0 404") ? 2 : 3);
    for (const QByteArray& request : requests.mid(1)) {
        QVERIFY(request.contains("User-Agent: QuorlinUpload\r\n"));
        if (request != requests.value(1))
            QVERIFY(request.startsWith("GET /services/apps/velmora/Velmora.exe "));
    }
    QVERIFY(w.window().isVisible());
    QVERIFY(w.window().isEnabled());
    QVERIFY(w.find<QToolButton>("SpeedButton3")->isHidden());
    QCOMPARE(QDir(w.folders.programDir()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

// An installed copy whose folder it cannot write downloaded the update into the user's data
// folder and started that copy, while the installed program stayed old.
void TestUpdateButtons::installedCopyLeavesUpdatesToItsInstaller() {
    WindowFixture w(endpointsOf(*m_newer), QStringLiteral("1.0.0"));
    w.seams.paths = AppPaths(w.folders.programDir(), w.folders.workingDir(), true);
    w.show();
    const QString installer =
        "You use old version program. Version 9.9.9 is available; this copy is updated by its package or installer !!!";
    QTRY_COMPARE(w.dialogs.texts(), QStringList{installer});
    auto* update = w.find<QToolButton>("SpeedButton3");
    QVERIFY(update->isVisible());
    QCOMPARE(update->toolTip(), installer);
    click(update);
    // No question, no download: the same word again.
    QCOMPARE(w.dialogs.texts(), QStringList({installer, installer}));
    QVERIFY(w.window().isVisible());
    QCOMPARE(QDir(w.folders.programDir()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

QTEST_MAIN(TestUpdateButtons)
#include "tst_updatebuttons.moc"
