#include "export/necessarybrandspanel.h"
#include "platform/widgets.h"
#include "service/listfiles.h"
#include "service/serviceclient.h"
#include "support/rawhttpserver.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QScrollArea>
#include <QToolButton>

class TestNecessaryBrands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void resaveBeforeLoadingDoesNothing();
    void loadingTicksSavedBrandsIgnoringCase();
    void resaveWritesTickedBrands_data();
    void resaveWritesTickedBrands();
    void refusedResaveKeepsTheList();
    void unwritableListKeepsTheBrandsInUse();
    void showTellsTheBrandsInUse();
    void clearAsksDeletesAndHidesItself();
    void clearOfEmptyListOnlyTells();
    void unregisteredAccountIsAskedOnce();
    void deadServerOffersDemoServer();
    void answerWithoutBrandsStaysCollapsed();

private:
    std::unique_ptr<DemoService> m_service;
};

namespace {
const QString kHow = QStringLiteral("For possible set FOR SHOW IN CATALOG DATA OF PRODUCTS only for necessary brands "
                                    "need [LOAD NEW LIST] => [SELECT NECESSARY BRANDS] => [RESAVE CHANGES]");
const QByteArray kMark("\xEF\xBB\xBF");

QString listFile(WindowFixture& f) {
    return f.folders.programFile(ListFiles::kNecessaryBrands);
}

int panelHeight(WindowFixture& f) {
    return f.find<QWidget>("Panel3")->maximumHeight();
}

// A click on the button the user sees, scrolled into view first.
void press(WindowFixture& f, const char* name) {
    auto* button = f.find<QToolButton>(name);
    f.window().findChild<QScrollArea*>()->ensureWidgetVisible(button);
    click(button);
}

// Selects the brand with a click and flips its tick with the space bar.
void toggle(WindowFixture& f, const QString& text) {
    auto* list = f.find<QListWidget>("CheckListBox3");
    f.window().findChild<QScrollArea*>()->ensureWidgetVisible(list);
    QVERIFY(clickListItem(list, text));
    pressKey(Qt::Key_Space);
}

QStringList ticked(WindowFixture& f) {
    QStringList texts;
    auto* list = f.find<QListWidget>("CheckListBox3");
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked)
            texts << list->item(i)->text();
    return texts;
}

const QString& necessaryBrands(WindowFixture& f) {
    return f.window().context().texts->NecessaryBrands;
}
} // namespace

void TestNecessaryBrands::initTestCase() {
    m_service = std::make_unique<DemoService>();
    QVERIFY2(m_service->isRunning(), qPrintable(m_service->error()));
}

void TestNecessaryBrands::resaveBeforeLoadingDoesNothing() {
    WindowFixture f(endpointsOf(*m_service));
    writeBytes(listFile(f), kMark + "BOSCH\r\n");
    f.signIn();
    f.showActive();
    QCOMPARE(panelHeight(f), NecessaryBrandsPanel::kCollapsedHeight);
    press(f, "SpeedButton26");
    QVERIFY(f.dialogs.shown().isEmpty());
    QCOMPARE(necessaryBrands(f), QStringLiteral("[BOSCH]"));
    QCOMPARE(readBytes(listFile(f)), kMark + "BOSCH\r\n");
}

// Saved lines tick brands in any letter case, but at start-up they count as written.
void TestNecessaryBrands::loadingTicksSavedBrandsIgnoringCase() {
    WindowFixture f(endpointsOf(*m_service));
    writeBytes(listFile(f), kMark + "bosch\r\nTrw\r\n\r\nNOBRAND\r\n");
    f.signIn();
    f.showActive();
    QCOMPARE(necessaryBrands(f), QStringLiteral("[bosch][Trw][][NOBRAND]"));
    press(f, "SpeedButton28");
    QCOMPARE(panelHeight(f), NecessaryBrandsPanel::kExpandedHeight);
    const QStringList brands = itemTexts(f.find<QListWidget>("CheckListBox3"));
    QCOMPARE(brands.size(), 14);
    QStringList sorted = brands;
    std::sort(sorted.begin(), sorted.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    QCOMPARE(brands, sorted);
    QCOMPARE(ticked(f), QStringList({"BOSCH", "TRW"}));
    QCOMPARE(necessaryBrands(f), QStringLiteral("[bosch][Trw][][NOBRAND]"));
    QVERIFY(f.dialogs.shown().isEmpty());
}

void TestNecessaryBrands::resaveWritesTickedBrands_data() {
    QTest::addColumn<QStringList>("toTick");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("texts");
    QTest::newRow("two, saved in list order") << QStringList{"TRW", "BOSCH"} << kMark + "BOSCH\r\nTRW\r\n"
                                              << "[BOSCH][TRW]";
    QTest::newRow("messy names") << QStringList{QStringLiteral("LEMFÖRDER"), "A&B PARTS"}
                                 << kMark + QStringLiteral("A&B PARTS\r\nLEMFÖRDER\r\n").toUtf8()
                                 << QStringLiteral("[A&B PARTS][LEMFÖRDER]");
    QTest::newRow("none") << QStringList{} << kMark << "";
}

void TestNecessaryBrands::resaveWritesTickedBrands() {
    QFETCH(QStringList, toTick);
    QFETCH(QByteArray, file);
    QFETCH(QString, texts);
    WindowFixture f(endpointsOf(*m_service));
    f.signIn();
    f.showActive();
    press(f, "SpeedButton28");
    for (const QString& brand : toTick)
        toggle(f, brand);
    QCOMPARE(ticked(f).size(), toTick.size());
    f.dialogs.setNextAnswer(true);
    press(f, "SpeedButton26");
    QCOMPARE(f.dialogs.texts(), QStringList{"Resave changes ?"});
    QCOMPARE(readBytes(listFile(f)), file);
    QCOMPARE(necessaryBrands(f), texts);
    QCOMPARE(panelHeight(f), NecessaryBrandsPanel::kCollapsedHeight);

    // The next start reads the same brands back.
    f.destroy();
    f.showActive();
    QCOMPARE(necessaryBrands(f), texts);
}

void TestNecessaryBrands::refusedResaveKeepsTheList() {
    WindowFixture f(endpointsOf(*m_service));
    writeBytes(listFile(f), kMark + "GATES\r\n");
    f.signIn();
    f.showActive();
    press(f, "SpeedButton28");
    toggle(f, "VALEO");
    QCOMPARE(ticked(f), QStringList({"GATES", "VALEO"}));
    press(f, "SpeedButton26"); // answered No
    QCOMPARE(f.dialogs.texts(), QStringList{"Resave changes ?"});
    QCOMPARE(readBytes(listFile(f)), kMark + "GATES\r\n");
    QCOMPARE(necessaryBrands(f), QStringLiteral("[GATES]"));
    QCOMPARE(panelHeight(f), NecessaryBrandsPanel::kCollapsedHeight);
    press(f, "SpeedButton26");
    QCOMPARE(f.dialogs.shown().size(), 1);
}

void TestNecessaryBrands::unwritableListKeepsTheBrandsInUse() {
    WindowFixture f(endpointsOf(*m_service));
    f.signIn();
    f.showActive();
    QVERIFY(QDir(f.folders.programDir()).mkdir(ListFiles::kNecessaryBrands)); // a folder where the file would go
    press(f, "SpeedButton28");
    toggle(f, "BOSCH");
    f.dialogs.setNextAnswer(true);
    press(f, "SpeedButton26");
    QCOMPARE(f.dialogs.shown().size(), 2);
    QCOMPARE(f.dialogs.shown().last().kind, ScriptedDialogs::Kind::Error);
    QVERIFY(necessaryBrands(f).isEmpty());
    QCOMPARE(panelHeight(f), NecessaryBrandsPanel::kCollapsedHeight);
}

void TestNecessaryBrands::showTellsTheBrandsInUse() {
    WindowFixture f(endpointsOf(*m_service));
    writeBytes(listFile(f), kMark + "BOSCH\r\nINA\r\n");
    f.signIn();
    f.showActive();
    press(f, "SpeedButton27");
    QCOMPARE(f.dialogs.lastText(), QStringLiteral("At moment you using for show only brands : [BOSCH][INA]"));
    press(f, "SpeedButton28");
    QCOMPARE(ticked(f), QStringList{"BOSCH"});
    toggle(f, "BOSCH");
    f.dialogs.setNextAnswer(true);
    press(f, "SpeedButton26");
    QCOMPARE(readBytes(listFile(f)), kMark);
    press(f, "SpeedButton27");
    QCOMPARE(f.dialogs.lastText(), "At moment will show all brands. " + kHow);
    QCOMPARE(f.dialogs.shown().last().kind, ScriptedDialogs::Kind::Information);
}

void TestNecessaryBrands::clearAsksDeletesAndHidesItself() {
    WindowFixture f(endpointsOf(*m_service));
    writeBytes(listFile(f), kMark + "BOSCH\r\n");
    f.signIn();
    f.showActive();
    press(f, "SpeedButton28");
    press(f, "SpeedButton29"); // answered No
    QCOMPARE(f.dialogs.texts(), QStringList{"Clean list brands ?"});
    QVERIFY(QFile::exists(listFile(f)));
    QCOMPARE(necessaryBrands(f), QStringLiteral("[BOSCH]"));
    QCOMPARE(panelHeight(f), NecessaryBrandsPanel::kExpandedHeight);

    f.dialogs.setNextAnswer(true);
    press(f, "SpeedButton29");
    QVERIFY(!QFile::exists(listFile(f)));
    QVERIFY(necessaryBrands(f).isEmpty());
    QCOMPARE(panelHeight(f), NecessaryBrandsPanel::kCollapsedHeight);
    QVERIFY(f.find<QToolButton>("SpeedButton29")->isHidden());

    f.destroy();
    f.showActive();
    QVERIFY(!f.find<QToolButton>("SpeedButton29")->isHidden());
    QVERIFY(necessaryBrands(f).isEmpty());
}

void TestNecessaryBrands::clearOfEmptyListOnlyTells() {
    WindowFixture f(endpointsOf(*m_service));
    f.signIn();
    f.showActive();
    press(f, "SpeedButton29");
    QCOMPARE(f.dialogs.texts(), QStringList{"Your list was already empty !!! " + kHow});
    QVERIFY(!f.find<QToolButton>("SpeedButton29")->isHidden());
}

void TestNecessaryBrands::unregisteredAccountIsAskedOnce() {
    WindowFixture f(endpointsOf(*m_service));
    f.signIn("nobody@velmora.test", "nothing");
    f.showActive();
    press(f, "SpeedButton28");
    QCOMPARE(f.dialogs.shown().size(), 1);
    QVERIFY(f.dialogs.lastText().startsWith("Client for work with WebService is not registered !"));
    QCOMPARE(f.find<QListWidget>("CheckListBox3")->count(), 0);
    QCOMPARE(panelHeight(f), NecessaryBrandsPanel::kCollapsedHeight);
}

void TestNecessaryBrands::deadServerOffersDemoServer() {
    Endpoints endpoints = endpointsOf(*m_service);
    endpoints.catalogUrl = QStringLiteral("http://127.0.0.1:%1/").arg(refusingPort());
    WindowFixture f(endpoints);
    f.signIn();
    f.showActive();
    f.dialogs.setNextAnswer(true);
    press(f, "SpeedButton28");
    QCOMPARE(f.dialogs.shown().size(), 1);
    QVERIFY(f.dialogs.lastText().startsWith("Client for work with WebService is not registered !"));
    QCOMPARE(f.window().context().service->catalogBaseUrl(), m_service->demoUrl());
    QCOMPARE(panelHeight(f), NecessaryBrandsPanel::kCollapsedHeight);

    // The user repeats the action on the demo server.
    press(f, "SpeedButton28");
    QCOMPARE(itemTexts(f.find<QListWidget>("CheckListBox3")), QStringList({"ATE", "FEBI BILSTEIN"}));
    QCOMPARE(panelHeight(f), NecessaryBrandsPanel::kExpandedHeight);
}

void TestNecessaryBrands::answerWithoutBrandsStaysCollapsed() {
    WindowFixture f(endpointsOf(*m_service));
    f.signIn(DemoService::kExpiredEmail, DemoService::kExpiredSeccode);
    f.showActive();
    press(f, "SpeedButton28");
    QVERIFY(f.dialogs.shown().isEmpty());
    QCOMPARE(panelHeight(f), NecessaryBrandsPanel::kCollapsedHeight);
    press(f, "SpeedButton26");
    QVERIFY(f.dialogs.shown().isEmpty());
}

QTEST_MAIN(TestNecessaryBrands)
#include "tst_necessarybrands.moc"
