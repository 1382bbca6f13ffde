#include "platform/logview.h"
#include "platform/widgets.h"
#include "service/serviceclient.h"
#include "support/windowfixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include <memory>

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void captionCarriesVersion_data();
    void captionCarriesVersion();
    void pageButtonsSwitchPages();
    void everyPageHasItsTitleBar_data();
    void everyPageHasItsTitleBar();
    void leftColumnAccordion_data();
    void leftColumnAccordion();
    void catalogPageSections();
    void logStripButtonSavesAndOpensLog();
    void securityCodesNeverReachTheLog();
    void informationLinksOpenTheirPages();
    void settingsAreWrittenOnlyOnClose();
    void contextOutlivesEveryWidget();
    void searchBoxesAnswerEnterFromKeyboard_data();
    void searchBoxesAnswerEnterFromKeyboard();
    void failedRequestLeavesANote();
    void lowerTabsFitAt1280();
};

void TestMainWindow::failedRequestLeavesANote() {
    WindowFixture f;
    f.showActive();
    auto* note = f.find<QLabel>("logNote");
    QVERIFY(note->isHidden());
    click(f.find<QLabel>("Label12"));
    auto* kType = f.find<QComboBox>("ComboBox4");
    kType->setEditText("10010");
    const qsizetype mark = f.logMark();
    pressKey(kType, Qt::Key_Return);
    QVERIFY(f.logged("getInfoCar", mark));
    QVERIFY(!note->isHidden());
    QCOMPARE(note->text(), QString("No answer from the catalog service"));
    // Besides the search's own message, nothing to answer; it says nothing was searched.
    QCOMPARE(f.dialogs.texts(), QStringList{QString::fromLatin1(kCatalogNoAnswer)});
}

void TestMainWindow::lowerTabsFitAt1280() {
    WindowFixture f;
    TForm1& w = f.show();
    w.resize(1280, 760);
    w.showPage("PAGEPRODUCT");
    auto* tabs = f.find<QTabWidget>("PageControl1");
    QTRY_VERIFY(tabs->isVisible() && tabs->tabBar()->width() > 0);
    QTabBar* bar = tabs->tabBar();
    for (int i = 0; i < bar->count(); ++i)
        QVERIFY2(bar->tabRect(i).right() < bar->width(),
                 qPrintable(QString("tab %1 ends at %2 of %3").arg(i).arg(bar->tabRect(i).right()).arg(bar->width())));
    for (const QToolButton* arrow : bar->findChildren<QToolButton*>())
        QVERIFY(!arrow->isVisible());
    QCOMPARE(tabs->tabText(3), QString("  PROCESSED LIST FOR ANALIZATION OF PRICES  "));
}

void TestMainWindow::captionCarriesVersion_data() {
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("caption");
    QTest::newRow("with version") << "2.4.1"
                                  << "VELMORA ver [2.4.1] - created by Quorlin";
    QTest::newRow("without version") << ""
                                     << "VELMORA ver [] - created by Quorlin";
}

void TestMainWindow::captionCarriesVersion() {
    QFETCH(QString, version);
    QFETCH(QString, caption);
    WindowFixture f(offlineEndpoints(), version);
    TForm1& w = f.create();
    QCOMPARE(w.windowTitle(), QStringLiteral("VELMORA"));
    f.show();
    QCOMPARE(w.windowTitle(), caption);
    w.hide();
    w.show();
    QCOMPARE(w.windowTitle(), caption);
}

void TestMainWindow::pageButtonsSwitchPages() {
    WindowFixture f;
    TForm1& w = f.show();
    click(f.find<QToolButton>("SpeedButton14"));
    QCOMPARE(w.currentPage(), QStringLiteral("PAGEPRODUCT"));
    click(f.find<QToolButton>("SpeedButton25"));
    QCOMPARE(w.currentPage(), QStringLiteral("EXPORT"));
    click(f.find<QToolButton>("SpeedButton15"));
    QCOMPARE(w.currentPage(), QStringLiteral("SETTINGS"));
    QVERIFY(f.find<QToolButton>("SpeedButton1")->isHidden());
    QVERIFY(f.find<QToolButton>("SpeedButton3")->isHidden());
    QVERIFY(!f.find<QToolButton>("SpeedButton4")->isHidden());
}

void TestMainWindow::everyPageHasItsTitleBar_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("title");
    QTest::newRow("settings") << "SETTINGS"
                              << "  SETTINGS";
    QTest::newRow("catalog") << "PAGEPRODUCT"
                             << "CATALOG";
    QTest::newRow("export") << "EXPORT"
                            << "PREPARING DATA | EXPORT DATA";
}

void TestMainWindow::everyPageHasItsTitleBar() {
    QFETCH(QString, page);
    QFETCH(QString, title);
    WindowFixture f;
    f.show();
    QStringList texts;
    for (const QLabel* label : f.find<QWidget>(page)->findChildren<QLabel*>())
        texts << label->text();
    QVERIFY2(texts.contains(title), qPrintable(texts.join(QLatin1Char('|'))));
}

void TestMainWindow::leftColumnAccordion_data() {
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("expanded");
    QTest::newRow("start") << QStringList() << "Label14";
    QTest::newRow("vehicle header on expanded vehicle") << QStringList{"Label14"} << "Label18";
    QTest::newRow("search header") << QStringList{"Label12"} << "Label12";
    QTest::newRow("search header twice") << QStringList{"Label12", "Label12"} << "Label14";
    QTest::newRow("garage header") << QStringList{"Label18"} << "Label18";
    QTest::newRow("garage header twice") << QStringList{"Label18", "Label18"} << "Label14";
    QTest::newRow("vehicle after garage") << QStringList{"Label18", "Label14"} << "Label14";
}

void TestMainWindow::leftColumnAccordion() {
    QFETCH(QStringList, clicks);
    QFETCH(QString, expanded);
    WindowFixture f;
    f.show();
    for (const QString& header : clicks)
        click(f.find<QLabel>(header));
    for (const char* header : {"Label18", "Label12", "Label14"}) {
        auto* section = qobject_cast<CollapsibleSection*>(f.find<QLabel>(header)->parentWidget());
        QCOMPARE(section->isCollapsed(), expanded != QLatin1String(header));
        QTRY_COMPARE(section->isCollapsed() ? section->height() : CollapsibleSection::kCollapsedHeight,
                     CollapsibleSection::kCollapsedHeight);
    }
    // The garage button shows only while the vehicle section is expanded.
    QCOMPARE(f.find<QToolButton>("SpeedButton2")->isHidden(), expanded != QStringLiteral("Label14"));
}

void TestMainWindow::catalogPageSections() {
    WindowFixture f;
    TForm1& w = f.show();
    w.showPage("PAGEPRODUCT");
    auto section = [&](const char* header) {
        return qobject_cast<CollapsibleSection*>(f.find<QLabel>(header)->parentWidget());
    };
    QVERIFY(section("Label16")->isCollapsed());
    QVERIFY(!section("Label17")->isCollapsed());
    click(f.find<QLabel>("Label17"));
    QVERIFY(!section("Label16")->isCollapsed());
    QVERIFY(section("Label17")->isCollapsed());
    click(f.find<QLabel>("Label16"));
    QVERIFY(section("Label16")->isCollapsed());

    QVERIFY(section("Label24")->isCollapsed());
    click(f.find<QLabel>("Label22"));
    QVERIFY(!section("Label24")->isCollapsed());
    QVERIFY(section("Label22")->isCollapsed());
    click(f.find<QLabel>("Label24"));
    QVERIFY(!section("Label22")->isCollapsed());

    QWidget* lowerArea = f.find<QWidget>("Panel20");
    click(f.find<QToolButton>("SpeedButton23"));
    QVERIFY(lowerArea->isHidden());
    click(f.find<QToolButton>("SpeedButton23"));
    QVERIFY(!lowerArea->isHidden());

    QWidget* leftColumn = f.find<QWidget>("Panel13");
    click(f.find<QToolButton>("SpeedButton16"));
    QVERIFY(leftColumn->isHidden());
    click(f.find<QToolButton>("SpeedButton16"));
    QVERIFY(!leftColumn->isHidden());
}

void TestMainWindow::logStripButtonSavesAndOpensLog() {
    WindowFixture f;
    TForm1& w = f.show();
    w.context().log->AppendLogLine("a line");
    QCOMPARE(f.find<LogView>("Memo1")->text(), QStringLiteral("a line"));
    click(f.find<QToolButton>("SpeedButton61"));
    const QString file = f.folders.programFile("logRequests.txt");
    QCOMPARE(f.desktop.opened(), QStringList{file});
    QCOMPARE(readBytes(file), QByteArray("\xEF\xBB\xBF"
                                         "a line\r\n"));
}

// The seccode pattern stopped at "&", so the tail of such a code showed in the log.
void TestMainWindow::securityCodesNeverReachTheLog() {
    WindowFixture f;
    TForm1& w = f.show();
    f.find<QLineEdit>("Edit4")->setText(" abc&CATALOGTAIL ");
    f.find<QLineEdit>("Edit6")->setText("cmp&COMPARETAIL");
    f.find<QLineEdit>("Edit2")->setText("ana&ANALYSISTAIL");
    ServiceClient& service = *w.context().service;
    service.CatalogRequest(service.ListRequest("GetListYears"));
    w.context().log->AppendLogLine("x\tget?service=COMPAREPRICE&email=e&seccode=cmp&COMPARETAIL&site=1\t\"ANSWER "
                                   "[ana&ANALYSISTAIL]\"");
    click(f.find<QToolButton>("SpeedButton61"));
    const QString shown = f.find<LogView>("Memo1")->text();
    const QString saved = QString::fromUtf8(readBytes(f.folders.programFile("logRequests.txt")));
    QCOMPARE(w.context().log->lines().size(), 2);
    for (const QString& text : {shown, saved}) {
        QVERIFY2(text.contains("&seccode=***"), qPrintable(text));
        for (const char* tail : {"TAIL", "abc&", "cmp&", "ana&"})
            QVERIFY2(!text.contains(QLatin1String(tail)), qPrintable(text));
    }
}

void TestMainWindow::informationLinksOpenTheirPages() {
    Endpoints e = Endpoints::defaults();
    e.catalogUrl = "http://127.0.0.1:18100/";
    e.priceUrl = "http://127.0.0.1:18150/";
    e.demoUrl = "http://127.0.0.1:18200/";
    e.siteUrl = e.downloadUrl = offlineEndpoints().siteUrl;
    WindowFixture f(e);
    f.show();
    // The links keep their addresses after a switch to the demo server.
    f.dialogs.setNextAnswer(true);
    f.window().context().service->OfferDemoServer();
    QCOMPARE(f.window().context().service->catalogBaseUrl(), e.demoUrl);
    click(f.find<QLabel>("Label36"));
    click(f.find<QLabel>("Label39"));
    click(f.find<QLabel>("Label38"));
    QCOMPARE(f.desktop.opened(), QStringList({"http://127.0.0.1:18100/help", "http://127.0.0.1:18150/help",
                                              "http://127.0.0.1:18150/help"}));
    f.desktop.clear();
    for (const char* link : {"Label35", "Label37", "Label40", "Label41"})
        click(f.find<QLabel>(link));
    QCOMPARE(f.desktop.opened().size(), 4);
    QCOMPARE(f.desktop.opened()[2], f.desktop.opened()[3]);
}

void TestMainWindow::settingsAreWrittenOnlyOnClose() {
    WindowFixture f;
    f.show();
    f.find<QLineEdit>("Edit3")->setText("trader@x.test");
    QVERIFY(!QFile::exists(f.folders.programFile("velmora.ini")));
    QVERIFY(f.window().close());
    QVERIFY(readBytes(f.folders.programFile("velmora.ini")).contains("email=trader@x.test"));
}

void TestMainWindow::contextOutlivesEveryWidget() {
    WindowFixture f;
    TForm1& w = f.show();
    // The request log is the last of the context's members to die: it must outlive every
    // widget and every panel, which hold references into the context.
    bool logGone = false;
    QObject::connect(w.context().log, &QObject::destroyed, [&] { logGone = true; });
    int gone = 0;
    int goneAfterLog = 0;
    // Everything in the frame and the secondary window (the main window's own layout and
    // handles are Qt's affair).
    QList<QObject*> objects;
    for (QObject* object : w.findChildren<QObject*>())
        for (const QObject* up = object; up && up != &w; up = up->parent())
            if (up == w.centralWidget() || up->inherits("QDialog")) {
                objects << object;
                break;
            }
    QVERIFY(objects.size() > 100);
    for (QObject* object : objects)
        QObject::connect(object, &QObject::destroyed, [&] {
            ++gone;
            goneAfterLog += logGone;
        });
    f.destroy();
    QVERIFY(logGone);
    QCOMPARE(gone, int(objects.size()));
    QCOMPARE(goneAfterLog, 0);
}

void TestMainWindow::searchBoxesAnswerEnterFromKeyboard_data() {
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("request");
    const struct {
        const char *name, *box, *typed, *request;
    } boxes[] = {
        {"K-type", "ComboBox4", "10010", "getInfoCar?typid=10010&"},
        {"KBA", "ComboBox3", "0588AKA", "getSearchKBA?kba=0588AKA&"},
        {"MIME", "ComboBox2", "481516", "getSearchMIME?mime=481516&"},
        {"cross reference", "ComboBox1", "GDB1385", "getSearchByCrossref?search=GDB1385&"},
        {"product name", "ComboBox10", "brake pad", "getSearchArticleByNameForCar?typid=10010&search=brake%20pad&"},
    };
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    for (const auto& b : boxes) {
        QTest::addRow("%s, Return", b.name) << b.box << b.typed << b.request << int(Qt::Key_Return) << 0;
        QTest::addRow("%s, keypad Enter", b.name)
            << b.box << b.typed << b.request << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
    }
}

void TestMainWindow::searchBoxesAnswerEnterFromKeyboard() {
    QFETCH(QString, boxName);
    QFETCH(QString, typed);
    QFETCH(QString, request);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    WindowFixture f(standInEndpoints());
    f.signIn();
    const auto typeAndPress = [&](const char* name, const QString& text, Qt::Key pressed, Qt::KeyboardModifiers with) {
        auto* box = f.find<QComboBox>(name);
        if (!box->isVisible())
            click(f.find<QLabel>("Label12"));
        typeInto(box, text);
        pressKey(pressed, with);
    };
    if (boxName == "ComboBox10") // the name search needs a vehicle
        typeAndPress("ComboBox4", "10010", Qt::Key_Return, Qt::NoModifier);
    const qsizetype mark = f.logMark();
    typeAndPress(qPrintable(boxName), typed, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    const QStringList sent = f.requestsSince(mark);
    QVERIFY2(sent.value(0).startsWith(request), qPrintable(sent.join('\n')));
    QVERIFY2(f.dialogs.shown().isEmpty(), qPrintable(f.dialogs.lastText()));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
