#include "platform/httpexchange.h"
#include "platform/widgets.h"
#include "support/rawhttpserver.h"
#include "support/windowfixture.h"

#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

#include <memory>

class TestFreeCatalogue : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startUpShowsTheSortedCatalogue();
    void unreachableServerLeavesTheListEmpty();
    void longCatalogueIsPutInAtOnce();
    void updateListFetchesAgain();
    void doubleClickAsksBeforeTheBrowserTriesTheLink();
    void addPutsTheLinkInTheListAndTitlesInTheBoxesOnce();
    void listingRequestOpensThePrefilledContactPage();

private:
    // The row of the item whose line holds `text`.
    int rowWith(const QString& text) const;

    std::unique_ptr<DemoService> m_service;
    std::unique_ptr<WindowFixture> m_window;
    QListWidget* m_list = nullptr;
};

void TestFreeCatalogue::initTestCase() {
    m_service = std::make_unique<DemoService>();
    QVERIFY2(m_service->isRunning(), qPrintable(m_service->error()));
}

void TestFreeCatalogue::init() {
    m_window = std::make_unique<WindowFixture>(endpointsOf(*m_service));
    m_window->show();
    m_list = m_window->find<QListWidget>("ListBox6");
}

void TestFreeCatalogue::cleanup() {
    m_window.reset();
}

int TestFreeCatalogue::rowWith(const QString& text) const {
    for (int row = 0; row < m_list->count(); ++row)
        if (m_list->item(row)->text().contains(text))
            return row;
    return -1;
}

void TestFreeCatalogue::startUpShowsTheSortedCatalogue() {
    QStringList shown;
    for (const QString& item : itemTexts(m_list))
        shown << item.section(QLatin1Char('\t'), 0, 1);
    QCOMPARE(shown, (QStringList{"AT\tftp@partsworld.example", "DE\tinfo@bremsenlager.example",
                                 "DE\tsales@partsworld.example", "FR\tcontact@eurostock.example",
                                 "GB\tprices@motorfactors.example", "PL\tbiuro@czesci.example"}));
    const int row = rowWith("uk-motorfactors");
    const QString item = m_list->item(row)->text();
    QVERIFY(item.startsWith("GB\tprices@motorfactors.example\t<country>GB</country><email>"));
    QVERIFY(item.endsWith("<addprice>Net price</addprice>"));
    // The user reads the entry without its tags.
    QCOMPARE(shownText(m_list, row), QStringLiteral("GB\tprices@motorfactors.example\tuk-motorfactors.csv"));
    QVERIFY(m_window->dialogs.shown().isEmpty());
}

void TestFreeCatalogue::unreachableServerLeavesTheListEmpty() {
    Endpoints nowhere = endpointsOf(*m_service);
    nowhere.siteUrl = QStringLiteral("http://127.0.0.1:%1").arg(refusingPort());
    WindowFixture other(nowhere);
    other.show();
    QCOMPARE(other.find<QListWidget>("ListBox6")->count(), 0);
    QVERIFY(other.dialogs.shown().isEmpty());
}

// One item at a time took minutes for a catalogue of some thousand lines: the list now takes the
// sorted catalogue in one step.
void TestFreeCatalogue::longCatalogueIsPutInAtOnce() {
    QByteArray body;
    for (int i = 7999; i >= 0; --i)
        body +=
            QStringLiteral("<country>C%1</country><email>e%2@x.example</email><url>http://127.0.0.1/f%2.csv</url>\r\n")
                .arg(i % 40)
                .arg(i)
                .toUtf8();
    RawHttpServer server({"HTTP/1.0 200 OK\r\n\r\n" + body});
    Endpoints endpoints = offlineEndpoints();
    endpoints.siteUrl = server.url(QString());
    WindowFixture fixture(endpoints);
    fixture.create();
    auto* list = fixture.find<QListWidget>("ListBox6");
    int insertions = 0;
    connect(list->model(), &QAbstractItemModel::rowsInserted, [&insertions] { ++insertions; });
    fixture.show();
    QCOMPARE(list->count(), 8000);
    QCOMPARE(insertions, 1);
    QVERIFY(list->item(0)->text().startsWith("C0\te0@x.example\t"));
    QVERIFY(list->item(7999)->text().startsWith("C9\t"));
}

void TestFreeCatalogue::updateListFetchesAgain() {
    const int count = m_list->count();
    m_list->addItem(QStringLiteral("stale"));
    clickInView(m_window->find<QToolButton>("SpeedButton58"));
    QCOMPARE(m_list->count(), count);
    QCOMPARE(rowWith("stale"), -1);
}

void TestFreeCatalogue::doubleClickAsksBeforeTheBrowserTriesTheLink() {
    const int row = rowWith("lager-");
    const QString link = m_service->siteUrl() + "/pricelists/lager-%5BATE%5D.csv";
    const QString question = "You want do test for link ?\rCountry: DE\rEmail: info@bremsenlager.example\rURL: " + link;
    m_window->dialogs.setNextAnswer(false);
    doubleClickRow(m_list, row);
    QCOMPARE(m_window->dialogs.texts(), QStringList{question});
    QVERIFY(m_window->desktop.opened().isEmpty());
    m_window->dialogs.setNextAnswer(true);
    doubleClickRow(m_list, row);
    QCOMPARE(m_window->desktop.opened(), QStringList{link});
}

void TestFreeCatalogue::addPutsTheLinkInTheListAndTitlesInTheBoxesOnce() {
    auto* add = m_window->find<QToolButton>("SpeedButton57");
    clickInView(add); // nothing selected
    QCOMPARE(m_window->find<QListWidget>("ListBox5")->count(), 0);

    clickRow(m_list, rowWith("uk-motorfactors"));
    clickInView(add);
    const QString link = m_service->siteUrl() + "/pricelists/uk-motorfactors.csv";
    QCOMPARE(itemTexts(m_window->find<QListWidget>("ListBox5")), QStringList{link});
    QCOMPARE(m_window->find<QLineEdit>("Edit12")->text(), link);
    QCOMPARE(m_window->find<QLineEdit>("Edit9")->text(), QStringLiteral("[brand][namebrand]...[make]"));
    QCOMPARE(m_window->find<QLineEdit>("Edit10")->text(),
             QStringLiteral("[reference][codepart][numberproduct]...[part number]"));
    QCOMPARE(m_window->find<QLineEdit>("Edit11")->text(), QStringLiteral("[price]...[net price]"));
    QVERIFY(m_window->dialogs.shown().isEmpty());

    clickInView(add);
    QCOMPARE(m_window->dialogs.texts(), QStringList{"Similar line already is in availability !!!"});
    QCOMPARE(m_window->find<QListWidget>("ListBox5")->count(), 1);
    QCOMPARE(m_window->find<QLineEdit>("Edit9")->text(), QStringLiteral("[brand][namebrand]...[make]"));

    // A title the box already names is not appended again.
    clickRow(m_list, rowWith("febi-"));
    clickInView(add);
    QCOMPARE(m_window->find<QLineEdit>("Edit10")->text(),
             QStringLiteral("[reference][codepart][numberproduct]...[part number]"));
}

void TestFreeCatalogue::listingRequestOpensThePrefilledContactPage() {
    typeInto(m_window->find<QLineEdit>("Edit5"), QStringLiteral("trader@velmora.test"));
    clickInView(m_window->find<QToolButton>("SpeedButton52"));
    const QString expected =
        m_service->siteUrl() +
        "/contact-us?message=ADD%20LINK%20ON%20MY%20PRICE%20LIST%0D----------------------%0DYOUR%20COUNTRY%20=%20"
        "%0DYOUR%20EMAIL%20FOR%20ORDER%20(if%20you%20not%20want%20share%20your%20email%20then%20this%20value%20you%"
        "20can%20miss)%20=%20%0DYOUR%20URL-LINK%20(OR%20FTP-LINK)%20ON%20FILE%20FOR%20ADD%20=%20%0D-----------------"
        "-----%0DThe%20answer%20about%20the%20possibility%20of%20adding%20necessary%20link%20you%20will%20receive%"
        "20after%20checking%20and%20testing%20in%201-2%20days&from=trader@velmora.test&id_contact=1";
    QCOMPARE(m_window->desktop.opened(), QStringList{expected});
    // The vendor's contact page reads the message back.
    const HttpResult page = HttpGet(expected);
    QVERIFY(page.ok());
    QVERIFY(page.body.contains("YOUR COUNTRY = <br>YOUR EMAIL FOR ORDER"));
    QVERIFY(page.body.contains("value=\"trader@velmora.test\""));
}

QTEST_MAIN(TestFreeCatalogue)
#include "tst_freecatalogue.moc"
