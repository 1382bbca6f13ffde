#include "pricing/sitelists.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

#include <memory>

namespace {

Endpoints nowhere() {
    Endpoints e;
    e.catalogUrl = e.priceUrl = e.demoUrl = QStringLiteral("http://127.0.0.1:9/");
    e.siteUrl = e.downloadUrl = QStringLiteral("http://127.0.0.1:9");
    return e;
}

QStringList entries(const QListWidget* box, bool checkedOnly = false) {
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        if (!checkedOnly || box->item(i)->checkState() == Qt::Checked)
            texts << box->item(i)->text();
    return texts;
}

// Clicks the item's check box where the user sees it.
void toggleCheck(QListWidget* box, const QString& text) {
    QListWidgetItem* item = box->findItems(text, Qt::MatchExactly).value(0);
    QVERIFY(item);
    box->scrollToItem(item);
    const QRect rect = box->visualItemRect(item);
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, QPoint(rect.left() + rect.height() / 2, rect.center().y()));
}

} // namespace

class TestPriceServices : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void expandLoadsListAndAppliesSelection();
    void collapseWritesChosenIds();
    void collapseWithoutChecksEmptiesSelection();
    void failedListKeepsChoiceAndFile();
    void accountChecksShowStatus_data();
    void accountChecksShowStatus();
    void purchasePagesAndNewSiteRequests();
    void addRefusesSimilarAndTrims();
    void editDeleteAndTest();

private:
    std::unique_ptr<DemoService> m_service;
};

void TestPriceServices::initTestCase() {
    m_service = std::make_unique<DemoService>(QStringList{"--quiet"});
    QVERIFY2(m_service->isRunning(), qPrintable(m_service->error()));
}

void TestPriceServices::expandLoadsListAndAppliesSelection() {
    WindowFixture f(endpointsOf(*m_service));
    writeBytes(f.folders.programFile("ListIDsShopsForCompare.txt"), "3\r\n44\r\n");
    f.show();
    QCOMPARE(f.window().context().texts->CompareShopIds, "[3][44]");
    auto* panel = f.find<QWidget>("Panel6");
    auto* shops = f.find<QListWidget>("CheckListBox2");
    auto* platforms = f.find<QListWidget>("CheckListBox1");
    QCOMPARE(panel->maximumHeight(), 260);
    QCOMPARE(f.find<QWidget>("Panel4")->maximumHeight(), 290);
    QCOMPARE(shops->maximumHeight(), 25);
    QVERIFY(!shops->isEnabled());

    click(f.find<QToolButton>("SpeedButton12"));
    QCOMPARE(panel->maximumHeight(), 400);
    QCOMPARE(shops->maximumHeight(), 250);
    QVERIFY(shops->isEnabled());
    // Kinds 1 and 2 are shops; 7 (kind 3) and 9 (kind 0) are not offered.
    QCOMPARE(entries(shops),
             (QStringList{"[3] : autoteile-mahler.example", "[12] : partshub.example", "[15] : motoparts24.example",
                          "[18] : pieces-auto.example", "[21] : bremsen-direkt.example",
                          "[27] : carparts-nordic.example", "[44] : ebay.de", "[45] : ebay.co.uk", "[46] : amazon.de",
                          "[47] : ebay.fr", "[52] : allegro.pl"}));
    QCOMPARE(entries(shops, true), (QStringList{"[3] : autoteile-mahler.example", "[44] : ebay.de"}));
    QCOMPARE(platforms->count(), 0);

    click(f.find<QToolButton>("SpeedButton9"));
    QCOMPARE(entries(platforms), (QStringList{"[44] : ebay.de", "[45] : ebay.co.uk", "[46] : amazon.de",
                                              "[47] : ebay.fr", "[52] : allegro.pl"}));
    QCOMPARE(entries(platforms, true), QStringList{});
    QCOMPARE(f.find<QWidget>("Panel4")->maximumHeight(), 400);
}

void TestPriceServices::collapseWritesChosenIds() {
    WindowFixture f(endpointsOf(*m_service));
    writeBytes(f.folders.programFile("ListIDsShopsForCompare.txt"), "44\r\n");
    writeBytes(f.folders.programFile("ListIDsShopsForAnalis.txt"), "46\r\n");
    f.show();
    auto* shops = f.find<QListWidget>("CheckListBox2");
    click(f.find<QToolButton>("SpeedButton12"));
    toggleCheck(shops, "[12] : partshub.example");
    QCOMPARE(entries(shops, true), (QStringList{"[12] : partshub.example", "[44] : ebay.de"}));
    click(f.find<QToolButton>("SpeedButton12"));
    QCOMPARE(f.find<QWidget>("Panel6")->maximumHeight(), 260);
    QVERIFY(!shops->isEnabled());
    QCOMPARE(f.window().context().texts->CompareShopIds, "[12][44]");
    QCOMPARE(readBytes(f.folders.programFile("ListIDsShopsForCompare.txt")), "\xEF\xBB\xBF"
                                                                             "12\r\n44\r\n");
    // The other service's choice and file are untouched.
    QCOMPARE(f.window().context().texts->AnalysisShopIds, "[46]");
    QCOMPARE(readBytes(f.folders.programFile("ListIDsShopsForAnalis.txt")), "46\r\n");

    // Expanding again keeps the entries and checks as they were left.
    toggleCheck(shops, "[44] : ebay.de"); // disabled while collapsed: nothing changes
    click(f.find<QToolButton>("SpeedButton12"));
    QCOMPARE(entries(shops, true), (QStringList{"[12] : partshub.example", "[44] : ebay.de"}));
}

void TestPriceServices::collapseWithoutChecksEmptiesSelection() {
    WindowFixture f(endpointsOf(*m_service));
    writeBytes(f.folders.programFile("ListIDsShopsForAnalis.txt"), "45\r\n");
    f.show();
    auto* platforms = f.find<QListWidget>("CheckListBox1");
    click(f.find<QToolButton>("SpeedButton9"));
    toggleCheck(platforms, "[45] : ebay.co.uk");
    QCOMPARE(entries(platforms, true), QStringList{});
    click(f.find<QToolButton>("SpeedButton9"));
    QCOMPARE(f.window().context().texts->AnalysisShopIds, QString());
    QCOMPARE(readBytes(f.folders.programFile("ListIDsShopsForAnalis.txt")), "\xEF\xBB\xBF");
}

void TestPriceServices::failedListKeepsChoiceAndFile() {
    WindowFixture f(nowhere());
    writeBytes(f.folders.programFile("ListIDsShopsForCompare.txt"), "12\r\n");
    f.show();
    click(f.find<QToolButton>("SpeedButton12"));
    QCOMPARE(f.find<QListWidget>("CheckListBox2")->count(), 0);
    click(f.find<QToolButton>("SpeedButton12"));
    QCOMPARE(f.window().context().texts->CompareShopIds, "[12]");
    QCOMPARE(readBytes(f.folders.programFile("ListIDsShopsForCompare.txt")), "12\r\n");
    QVERIFY(f.dialogs.shown().isEmpty());
}

void TestPriceServices::accountChecksShowStatus_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("emailBox");
    QTest::addColumn<QString>("seccodeBox");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("seccode");
    QTest::addColumn<bool>("reachable");
    QTest::addColumn<QString>("message");
    QTest::newRow("comparison") << "SpeedButton10"
                                << "Edit5"
                                << "Edit6"
                                << " compare@velmora.test "
                                << "compare-2026" << true
                                << "Your email [compare@velmora.test] have status registaration : paid client till "
                                   "202612";
    QTest::newRow("analysis, unknown account")
        << "SpeedButton5"
        << "Edit1"
        << "Edit2"
        << "who@velmora.test"
        << "x" << true << "Your email [who@velmora.test] have status registaration : not registered";
    QTest::newRow("catalog") << "SpeedButton7"
                             << "Edit3"
                             << "Edit4"
                             << "trader@velmora.test"
                             << "trader-2026" << true
                             << "Your email [trader@velmora.test] is registered for use WebService. paid client till "
                                "202612";
    QTest::newRow("no answer") << "SpeedButton10"
                               << "Edit5"
                               << "Edit6"
                               << "a@b"
                               << "c" << false << "Not got answer from server. Try again later";
}

void TestPriceServices::accountChecksShowStatus() {
    QFETCH(QString, button);
    QFETCH(QString, emailBox);
    QFETCH(QString, seccodeBox);
    QFETCH(QString, email);
    QFETCH(QString, seccode);
    QFETCH(bool, reachable);
    QFETCH(QString, message);
    WindowFixture f(reachable ? endpointsOf(*m_service) : nowhere());
    f.show();
    f.find<QLineEdit>(emailBox)->setText(email);
    f.find<QLineEdit>(seccodeBox)->setText(seccode);
    click(f.find<QToolButton>(button));
    QCOMPARE(f.dialogs.texts(), QStringList{message});
    QCOMPARE(f.dialogs.shown().first().kind, ScriptedDialogs::Kind::Information);
}

void TestPriceServices::purchasePagesAndNewSiteRequests() {
    WindowFixture f(endpointsOf(*m_service));
    f.show();
    f.find<QLineEdit>("Edit5")->setText("me@velmora.test");
    f.find<QLineEdit>("Edit1")->setText("other@velmora.test");
    for (const char* button : {"SpeedButton11", "SpeedButton6", "SpeedButton8"})
        click(f.find<QToolButton>(button));
    click(f.find<QLabel>("Label32"));
    click(f.find<QLabel>("Label50"));
    const QString site = m_service->siteUrl();
    QCOMPARE(f.desktop.opened(), (QStringList{site + "/buy/compare", site + "/buy/analysis", site + "/buy/catalog",
                                              NewShopRequestAddress(site, "me@velmora.test"),
                                              NewPlatformRequestAddress(site, "me@velmora.test")}));
    QVERIFY(f.desktop.opened()[3].startsWith(site + "/contact-us?message=REQUEST%20FOR%20FREE%20ADD%20NEW%20SITE"));
    QVERIFY(f.desktop.opened()[4].contains("%0D----------------------%0D"));
}

void TestPriceServices::addRefusesSimilarAndTrims() {
    WindowFixture f;
    f.show();
    auto* list = f.find<QListWidget>("ListBox2");
    const QString first = list->item(0)->text();
    QVERIFY(first.contains("/search?q={brand}+{reference}"));
    QCOMPARE(f.find<QLineEdit>("Edit14")->text(), first);

    typeInto(f.find<QLineEdit>("Edit14"), "  http://shop.test/find?ref={reference}  ");
    click(f.find<QToolButton>("SpeedButton34"));
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(1)->text(), "http://shop.test/find?ref={reference}");

    clickRow(list, 1);
    typeInto(f.find<QLineEdit>("Edit14"), first.toUpper());
    click(f.find<QToolButton>("SpeedButton34"));
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(f.dialogs.texts(), QStringList{"Similar line already is in availability !!!"});

    typeInto(f.find<QLineEdit>("Edit14"), "   ");
    click(f.find<QToolButton>("SpeedButton34"));
    QCOMPARE(list->count(), 2);
    QCOMPARE(f.dialogs.shown().size(), 1);
}

void TestPriceServices::editDeleteAndTest() {
    WindowFixture f;
    f.show();
    auto* list = f.find<QListWidget>("ListBox2");
    list->addItem("http://a.test/{brand}");
    list->addItem("http://b.test/{reference}");
    list->clearSelection();
    list->setCurrentItem(nullptr);

    // Nothing selected: delete asks nothing, test opens nothing.
    click(f.find<QToolButton>("SpeedButton35"));
    click(f.find<QToolButton>("SpeedButton37"));
    QVERIFY(f.dialogs.shown().isEmpty());
    QVERIFY(f.desktop.opened().isEmpty());

    // Editing into another line's text selects that line and leaves the edited one.
    clickRow(list, 2); // the user picks a line
    typeInto(f.find<QLineEdit>("Edit14"), "HTTP://A.TEST/{BRAND}");
    click(f.find<QToolButton>("SpeedButton36"));
    QCOMPARE(list->item(2)->text(), "http://b.test/{reference}");
    QCOMPARE(list->currentRow(), 1);
    QCOMPARE(f.dialogs.lastText(), "Similar line already is in availability !!!");

    clickRow(list, 2);
    typeInto(f.find<QLineEdit>("Edit14"), " http://c.test/{reference} ");
    click(f.find<QToolButton>("SpeedButton36"));
    QCOMPARE(list->item(2)->text(), "http://c.test/{reference}");

    // The test opens the template as stored, placeholders included.
    clickRow(list, 0);
    click(f.find<QToolButton>("SpeedButton37"));
    QCOMPARE(f.desktop.opened(), QStringList{list->item(0)->text()});

    f.dialogs.clear();
    f.dialogs.setNextAnswer(false);
    click(f.find<QToolButton>("SpeedButton35"));
    QCOMPARE(list->count(), 3);
    f.dialogs.setNextAnswer(true);
    click(f.find<QToolButton>("SpeedButton35"));
    QCOMPARE(f.dialogs.texts(), (QStringList{"Delete selected line ?", "Delete selected line ?"}));
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(0)->text(), "http://a.test/{brand}");

    // The list is kept in OpenPages.txt when the program closes.
    f.window().close();
    QCOMPARE(readBytes(f.folders.programFile("OpenPages.txt")),
             "\xEF\xBB\xBF"
             "http://a.test/{brand}\r\nhttp://c.test/{reference}\r\n");
}

QTEST_MAIN(TestPriceServices)
#include "tst_priceservices.moc"
