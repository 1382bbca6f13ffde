#include "platform/widgets.h"
#include "service/serviceclient.h"
#include "support/answers.h"
#include "support/rawhttpserver.h"
#include "support/windowfixture.h"
#include "vehicle/cascade.h"
#include "vehicle/garage.h"
#include "vehicle/numbersearch.h"
#include "vehicle/selectcar.h"
#include "vehicle/vehicleline.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolButton>

#include <memory>

namespace {

const QStringList kBoxes{"ComboBox8", "ComboBox7", "ComboBox6", "ComboBox5"};
const QStringList kPlaceholders{"Year", "Manufacturer", "Model", "Engine"};
const QString kStartCaption = QStringLiteral("MANUFACTURER | MODEL | TYPE ");

// Opens the box's list (which fills it), chooses the item whose text starts with `text` and
// closes the list, as a user does.
void choose(DropDownBox* box, const QString& text) {
    box->showPopup();
    int index = -1;
    for (int i = 0; i < box->count() && index < 0; ++i)
        if (box->itemText(i).startsWith(text))
            index = i;
    box->hidePopup();
    QVERIFY2(index >= 0, qPrintable(box->objectName() + " has no item " + text));
    box->setCurrentIndex(index);
    emit box->activated(index);
}

TCarInfoRec audiA4() {
    TCarInfoRec c;
    c.typid = 10010;
    c.modid = 1103;
    c.mfaid = 5;
    c.fullnametypecar = "1.6";
    c.modelcar = "A4 (8E2, B6)";
    c.brand = "AUDI";
    c.pconstart = "2000/11";
    c.pconend = "2004/12";
    c.bodytype = "Saloon";
    c.kw = "75";
    c.hp = "102";
    c.ccm = "1595";
    c.typefuel = "Petrol";
    c.listcodeengine = "ALZ, AVU, BFQ";
    return c;
}

} // namespace

class TestVehicleSelection : public QObject {
    Q_OBJECT
private slots:

    void startState();
    void cascadeSendsFiltersInOrder();
    void yearListNeverCarriesClass();
    void boxWithoutRecordsShowsPlaceholder_data();
    void boxWithoutRecordsShowsPlaceholder();
    void levelChangesEmptyLowerBoxes_data();
    void levelChangesEmptyLowerBoxes();
    void classRadioEmptiesEveryBox();
    void openingEngineListEmptiesViews();
    void selectVehicleFromRecordFillsOneItemEach();

    void kTypeSearchRefusals_data();
    void kTypeSearchRefusals();
    void kTypeSearchSelectsVehicle();
    void enterSearchesWhileHistoryIsOpen();
    void numberSearchRefusals_data();
    void numberSearchRefusals();
    void numberSearchWithOneHitSelectsVehicle_data();
    void numberSearchWithOneHitSelectsVehicle();
    void numberSearchWithSeveralHitsFillsDialog_data();
    void numberSearchWithSeveralHitsFillsDialog();
    void singleHitWithoutVehicleCountsAsNotFound_data();
    void singleHitWithoutVehicleCountsAsNotFound();

    void garageAddsEachVehicleOnce();
    void garageOpensAfterConfirmation();
    void garageDeleteAndClean();
    void garageKeys();

    void searchBoxClickSelectsInitialText_data();
    void searchBoxClickSelectsInitialText();
    void selectCarLineSearchesItsKType_data();
    void selectCarLineSearchesItsKType();

private:
    VehicleCascade* cascade(WindowFixture& f) { return f.window().findChild<VehicleCascade*>(); }
    DropDownBox* box(WindowFixture& f, const QString& name) { return f.find<DropDownBox>(name); }
    void enterNumber(WindowFixture& f, const QString& boxName, const QString& text);
};

void TestVehicleSelection::enterNumber(WindowFixture& f, const QString& boxName, const QString& text) {
    auto* numberBox = f.find<QComboBox>(boxName);
    if (!numberBox->isVisible())
        click(f.find<QLabel>("Label12")); // the user opens "Search by" first
    numberBox->setEditText(text);
    pressKey(numberBox, Qt::Key_Return);
}

void TestVehicleSelection::startState() {
    WindowFixture f(standInEndpoints());
    f.signIn();
    for (int i = 0; i < kBoxes.size(); ++i) {
        DropDownBox* b = box(f, kBoxes[i]);
        QVERIFY(b->isEditable());
        QCOMPARE(b->count(), 0);
        QCOMPARE(b->currentText(), kPlaceholders[i]);
    }
    QVERIFY(f.find<QRadioButton>("RadioButton1")->isChecked());
    QCOMPARE(f.find<QLabel>("Label13")->text(), kStartCaption);
    QCOMPARE(cascade(f)->selectedTypid(), 0);
    QCOMPARE(f.find<QComboBox>("ComboBox4")->currentText(), QString("K-type number"));
    QCOMPARE(f.find<QComboBox>("ComboBox3")->currentText(), QString("KBA number"));
    QCOMPARE(f.find<QComboBox>("ComboBox2")->currentText(), QString("MIME number"));
    QCOMPARE(f.find<QLabel>("Label18")->text(), QString("My garage"));
}

void TestVehicleSelection::cascadeSendsFiltersInOrder() {
    WindowFixture f(standInEndpoints());
    f.signIn();
    VehicleCascade* c = cascade(f);

    qsizetype mark = f.logMark();
    box(f, "ComboBox7")->showPopup();
    box(f, "ComboBox7")->hidePopup();
    QCOMPARE(f.requestsSince(mark), QStringList{"getManufacturers?" + kCatalogAccount});
    QVERIFY(box(f, "ComboBox7")->count() > 0);
    QCOMPARE(box(f, "ComboBox7")->currentIndex(), -1); // filling selects nothing

    f.find<QRadioButton>("RadioButton3")->click();
    QCOMPARE(c->vehicleClass(), 2);
    mark = f.logMark();
    choose(box(f, "ComboBox8"), "2000");
    choose(box(f, "ComboBox7"), "MAN");
    choose(box(f, "ComboBox6"), "TGA");
    QCOMPARE(box(f, "ComboBox6")->currentText(), QString("TGA [2000/03 - 2010/12]"));
    QCOMPARE(box(f, "ComboBox6")->currentData().toInt(), 1159);
    box(f, "ComboBox5")->showPopup();
    box(f, "ComboBox5")->hidePopup();
    QCOMPARE(f.requestsSince(mark), (QStringList{"GetListYears?" + kCatalogAccount,
                                                 "getManufacturers?" + kCatalogAccount + "&year=2000&only=2",
                                                 "getModels?" + kCatalogAccount + "&year=2000&mfaid=4455&only=2",
                                                 "getTypes?" + kCatalogAccount + "&year=2000&modid=1159&only=2"}));
    QVERIFY(box(f, "ComboBox5")->count() > 0);
    QCOMPARE(box(f, "ComboBox5")->currentIndex(), -1);
    QCOMPARE(c->selectedTypid(), 0);
    QCOMPARE(box(f, "ComboBox5")->view()->minimumWidth(), 600);

    // An item's id travels with it.
    choose(box(f, "ComboBox5"), "");
    QVERIFY(c->selectedTypid() > 10000);
    QCOMPARE(c->selectedTypid(), box(f, "ComboBox5")->currentData().toInt());
    QVERIFY(c->engineText().contains("kW | "));
}

void TestVehicleSelection::yearListNeverCarriesClass() {
    WindowFixture f(standInEndpoints());
    f.signIn();
    for (const char* radio : {"RadioButton2", "RadioButton3", "RadioButton4"}) {
        f.find<QRadioButton>(radio)->click();
        const qsizetype mark = f.logMark();
        cascade(f)->ComboBox8DropDown();
        QCOMPARE(f.requestsSince(mark), QStringList{"GetListYears?" + kCatalogAccount});
    }
    // Opening a list again asks again: nothing is cached, the old selection is gone.
    choose(box(f, "ComboBox8"), "2001");
    QCOMPARE(box(f, "ComboBox8")->currentText(), QString("2001"));
    const qsizetype mark = f.logMark();
    box(f, "ComboBox8")->showPopup();
    box(f, "ComboBox8")->hidePopup();
    QCOMPARE(f.requestsSince(mark).size(), 1);
    QCOMPARE(box(f, "ComboBox8")->currentIndex(), -1);
    QCOMPARE(box(f, "ComboBox8")->currentText(), QString());
}

void TestVehicleSelection::boxWithoutRecordsShowsPlaceholder_data() {
    QTest::addColumn<QStringList>("serviceArgs");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("seccode");
    QTest::newRow("answer without records")
        << QStringList{"--quiet"} << DemoService::kExpiredEmail << DemoService::kExpiredSeccode;
    QTest::newRow("failed request") << QStringList{"--quiet", "--fail-every", "1"} << DemoService::kCatalogEmail
                                    << DemoService::kCatalogSeccode;
}

void TestVehicleSelection::boxWithoutRecordsShowsPlaceholder() {
    QFETCH(QStringList, serviceArgs);
    QFETCH(QString, email);
    QFETCH(QString, seccode);
    DemoService service(serviceArgs);
    QVERIFY2(service.isRunning(), qPrintable(service.error()));
    WindowFixture f(endpointsOf(service));
    f.signIn(email, seccode);
    f.dialogs.clear();
    for (int i = 0; i < kBoxes.size(); ++i) {
        DropDownBox* b = box(f, kBoxes[i]);
        b->showPopup();
        b->hidePopup();
        QCOMPARE(b->count(), 0);
        QCOMPARE(b->currentText(), kPlaceholders[i]);
    }
    QCOMPARE(f.dialogs.shown().size(), 0);
}

void TestVehicleSelection::levelChangesEmptyLowerBoxes_data() {
    QTest::addColumn<QString>("changed");
    QTest::addColumn<int>("kept"); // boxes from the top that keep their item
    QTest::addColumn<QString>("caption");
    QTest::newRow("year") << "ComboBox8" << 1 << kStartCaption;
    QTest::newRow("manufacturer") << "ComboBox7" << 2 << "AUDI | Model | Engine";
    QTest::newRow("model") << "ComboBox6" << 3 << "AUDI | A4 (8E2, B6) [2000/11 - 2004/12] | Engine";
}

void TestVehicleSelection::levelChangesEmptyLowerBoxes() {
    QFETCH(QString, changed);
    QFETCH(int, kept);
    QFETCH(QString, caption);
    WindowFixture f(standInEndpoints());
    f.signIn();
    choose(box(f, "ComboBox8"), "2002");
    choose(box(f, "ComboBox7"), "AUDI");
    choose(box(f, "ComboBox6"), "A4 (8E2, B6)");
    choose(box(f, "ComboBox5"), "1.6 [");
    f.find<QLabel>("Label13")->setText(kStartCaption);

    QSignalSpy emptied(cascade(f), &VehicleCascade::viewsEmptied);
    DropDownBox* b = box(f, changed);
    emit b->activated(b->currentIndex());
    // The texts placed above stay; every box below shows its placeholder.
    for (int i = kept; i < kBoxes.size(); ++i) {
        QCOMPARE(box(f, kBoxes[i])->count(), 0);
        QCOMPARE(box(f, kBoxes[i])->currentText(), kPlaceholders[i]);
    }
    for (int i = 0; i < kept; ++i)
        QVERIFY(box(f, kBoxes[i])->currentIndex() >= 0);
    QCOMPARE(emptied.count(), 1);
    QCOMPARE(f.find<QLabel>("Label13")->text(), caption);
    QCOMPARE(cascade(f)->selectedTypid(), 0);
}

void TestVehicleSelection::classRadioEmptiesEveryBox() {
    WindowFixture f(standInEndpoints());
    f.signIn();
    choose(box(f, "ComboBox8"), "2002");
    choose(box(f, "ComboBox7"), "AUDI");
    choose(box(f, "ComboBox6"), "A4 (8E2, B6)");
    choose(box(f, "ComboBox5"), "1.6 [");
    f.find<QLabel>("Label13")->setText("kept caption");
    QSignalSpy emptied(cascade(f), &VehicleCascade::viewsEmptied);
    f.find<QRadioButton>("RadioButton4")->click();
    QCOMPARE(cascade(f)->vehicleClass(), 3);
    for (int i = 0; i < kBoxes.size(); ++i) {
        QCOMPARE(box(f, kBoxes[i])->count(), 0);
        QCOMPARE(box(f, kBoxes[i])->currentText(), kPlaceholders[i]);
    }
    QCOMPARE(emptied.count(), 1);
    QCOMPARE(f.find<QLabel>("Label13")->text(), QString("kept caption"));
    QCOMPARE(cascade(f)->selectedTypid(), 0);
}

void TestVehicleSelection::openingEngineListEmptiesViews() {
    WindowFixture f(standInEndpoints());
    f.signIn();
    QSignalSpy emptied(cascade(f), &VehicleCascade::viewsEmptied);
    QSignalSpy changed(cascade(f), &VehicleCascade::engineTypeChanged);
    box(f, "ComboBox5")->showPopup();
    box(f, "ComboBox5")->hidePopup();
    QCOMPARE(emptied.count(), 1);
    QCOMPARE(changed.count(), 0);
}

void TestVehicleSelection::selectVehicleFromRecordFillsOneItemEach() {
    WindowFixture f(standInEndpoints());
    f.signIn();
    choose(box(f, "ComboBox8"), "1999");
    click(f.find<QLabel>("Label12")); // the search section opens, the vehicle section closes
    QVERIFY(f.find<QToolButton>("SpeedButton2")->isHidden());

    QSignalSpy changed(cascade(f), &VehicleCascade::engineTypeChanged);
    QSignalSpy toggled(cascade(f), &VehicleCascade::vehicleSectionToggleRequested);
    const TCarInfoRec car = audiA4();
    cascade(f)->SelectVehicleFromRecord(car);

    const QList<std::pair<QString, int>> expected{{"AUDI", 5}, {"A4 (8E2, B6)", 1103}, {VehicleLine(car), 10010}};
    for (int i = 0; i < expected.size(); ++i) {
        DropDownBox* b = box(f, kBoxes[i + 1]);
        QCOMPARE(b->count(), 1);
        QCOMPARE(b->currentIndex(), 0);
        QCOMPARE(b->currentText(), expected[i].first);
        QCOMPARE(b->currentData().toInt(), expected[i].second);
    }
    QCOMPARE(box(f, "ComboBox8")->currentText(), QString("1999"));
    QCOMPARE(cascade(f)->selectedTypid(), 10010);
    QCOMPARE(toggled.count(), 1);
    QCOMPARE(changed.count(), 1);
    QVERIFY(!f.find<QToolButton>("SpeedButton2")->isHidden()); // the vehicle section is open again
    QCOMPARE(f.find<QLabel>("Label13")->text(), QString("AUDI | A4 (8E2, B6) | ") + VehicleLine(car));
    QCOMPARE(f.window().currentPage(), QString("PAGEPRODUCT"));
}

void TestVehicleSelection::kTypeSearchRefusals_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("requests");
    QTest::newRow("empty") << ""
                           << "Search word is empty !!!" << 0;
    QTest::newRow("blanks") << "  \t "
                            << "Search word is empty !!!" << 0;
    QTest::newRow("initial text") << "K-type number"
                                  << "Need set true value !!!" << 0;
    QTest::newRow("zero") << "0"
                          << "Need set true value !!!" << 0;
    QTest::newRow("negative") << "-10010"
                              << "Need set true value !!!" << 0;
    QTest::newRow("letters") << "10010x"
                             << "Need set true value !!!" << 0;
    QTest::newRow("unknown") << "99999"
                             << "Car with set k-type value is not found !!!" << 1;
}

void TestVehicleSelection::kTypeSearchRefusals() {
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(int, requests);
    WindowFixture f(standInEndpoints());
    f.signIn();
    f.dialogs.clear();
    const qsizetype mark = f.logMark();
    enterNumber(f, "ComboBox4", text);
    QCOMPARE(f.dialogs.texts(), QStringList{message});
    QCOMPARE(f.requestsSince(mark).size(), requests);
    QCOMPARE(f.find<QComboBox>("ComboBox4")->count(), 0);
    QCOMPARE(box(f, "ComboBox7")->currentText(), QString("Manufacturer"));
    QCOMPARE(f.find<QLabel>("Label13")->text(), kStartCaption);
}

void TestVehicleSelection::kTypeSearchSelectsVehicle() {
    WindowFixture f(standInEndpoints());
    f.signIn();
    f.dialogs.clear();
    click(f.find<QLabel>("Label12"));
    const qsizetype mark = f.logMark();
    enterNumber(f, "ComboBox4", "  0010010 ");
    QCOMPARE(f.dialogs.shown().size(), 0);
    QCOMPARE(f.requestsSince(mark).value(0), "getInfoCar?typid=10010&" + kCatalogAccount);
    QCOMPARE(cascade(f)->selectedTypid(), 10010);
    QCOMPARE(box(f, "ComboBox6")->currentText(), QString("A4 (8E2, B6)"));
    QVERIFY(!f.find<QToolButton>("SpeedButton2")->isHidden());
    // Make and model show once in the caption.
    const QString caption = f.find<QLabel>("Label13")->text();
    QVERIFY2(caption.startsWith("AUDI | A4 (8E2, B6) | 1.6 [2000/11 - 2004/12] Saloon | Petrol - 75kW"),
             qPrintable(caption));
    QCOMPARE(caption.count("AUDI"), 1);
    // The engine box shows where its line begins.
    QCOMPARE(box(f, "ComboBox5")->lineEdit()->cursorPosition(), 0);
    // The history keeps the text as typed, once.
    auto* kType = f.find<QComboBox>("ComboBox4");
    QCOMPARE(kType->count(), 1);
    QCOMPARE(kType->itemText(0), QString("0010010"));
    enterNumber(f, "ComboBox4", "0010010");
    QCOMPARE(kType->count(), 1);
    enterNumber(f, "ComboBox4", "10010");
    QCOMPARE(kType->count(), 2);
    // Other keys do nothing.
    const qsizetype before = f.logMark();
    pressKey(kType, Qt::Key_Tab);
    QCOMPARE(f.requestsSince(before).size(), 0);
}

void TestVehicleSelection::enterSearchesWhileHistoryIsOpen() {
    WindowFixture f(standInEndpoints());
    f.signIn();
    click(f.find<QLabel>("Label12"));
    enterNumber(f, "ComboBox4", "10010");
    auto* kType = f.find<QComboBox>("ComboBox4");
    QCOMPARE(kType->count(), 1);

    // Typing drops the history down; the key then goes to its list, as a user's does.
    click(f.find<QLabel>("Label12"));
    typeInto(kType, "10001");
    QAbstractItemView* history = kType->completer()->popup();
    QVERIFY(history->isVisible());
    const qsizetype mark = f.logMark();
    pressKey(Qt::Key_Return);
    QVERIFY(!history->isVisible());
    QCOMPARE(f.requestsSince(mark).value(0), "getInfoCar?typid=10001&" + kCatalogAccount);
    QCOMPARE(cascade(f)->selectedTypid(), 10001);
    QCOMPARE(kType->count(), 2);
    QCOMPARE(kType->itemText(1), QString("10001"));

    // A number marked in the history is the one searched.
    click(f.find<QLabel>("Label12"));
    typeInto(kType, "1");
    QVERIFY(history->isVisible());
    pressKey(Qt::Key_Down);
    const QString marked = history->currentIndex().data().toString();
    QVERIFY(marked == "10010" || marked == "10001");
    pressKey(Qt::Key_Return);
    QCOMPARE(cascade(f)->selectedTypid(), marked.toInt());
    QCOMPARE(kType->count(), 2);
}

void TestVehicleSelection::numberSearchRefusals_data() {
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("requests");
    QTest::newRow("KBA of 6") << "ComboBox3"
                              << " 0588AK "
                              << "Search word is empty or value is less 7 symbols !!!" << QStringList();
    QTest::newRow("KBA empty") << "ComboBox3"
                               << ""
                               << "Search word is empty or value is less 7 symbols !!!" << QStringList();
    QTest::newRow("KBA unknown") << "ComboBox3"
                                 << "0000XXX"
                                 << "Car with set KBA number is not found !!!"
                                 << QStringList{"getSearchKBA?kba=0000XXX&" + kCatalogAccount};
    QTest::newRow("MIME empty") << "ComboBox2"
                                << " "
                                << "Search word is empty !!!" << QStringList();
    QTest::newRow("MIME of one character")
        << "ComboBox2"
        << "7"
        << "Car with set MIME number is not found !!!" << QStringList{"getSearchMIME?mime=7&" + kCatalogAccount};
    QTest::newRow("MIME unknown, encoded") << "ComboBox2"
                                           << "99 99+99"
                                           << "Car with set MIME number is not found !!!"
                                           << QStringList{"getSearchMIME?mime=99%2099%2B99&" + kCatalogAccount};
}

void TestVehicleSelection::numberSearchRefusals() {
    QFETCH(QString, boxName);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(QStringList, requests);
    WindowFixture f(standInEndpoints());
    f.signIn();
    f.dialogs.clear();
    const qsizetype mark = f.logMark();
    enterNumber(f, boxName, text);
    QCOMPARE(f.dialogs.texts(), QStringList{message});
    QCOMPARE(f.requestsSince(mark), requests);
    QCOMPARE(f.find<QComboBox>(boxName)->count(), 0);
    QCOMPARE(cascade(f)->selectedTypid(), 0);
    QVERIFY(!f.find<TForm2>({})->isVisible());
}

void TestVehicleSelection::numberSearchWithOneHitSelectsVehicle_data() {
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("firstRequest");
    QTest::addColumn<QString>("model");
    QTest::newRow("KBA with spaces around") << "ComboBox3"
                                            << "  0588AKA "
                                            << "getSearchKBA?kba=0588AKA&" + kCatalogAccount << "A4 (8E2, B6)";
    QTest::newRow("KBA with a blank inside") << "ComboBox3"
                                             << "0588 AKA"
                                             << "getSearchKBA?kba=0588%20AKA&" + kCatalogAccount << "A4 (8E2, B6)";
    QTest::newRow("MIME") << "ComboBox2"
                          << "481516"
                          << "getSearchMIME?mime=481516&" + kCatalogAccount << "3 (E46)";
}

void TestVehicleSelection::numberSearchWithOneHitSelectsVehicle() {
    QFETCH(QString, boxName);
    QFETCH(QString, text);
    QFETCH(QString, firstRequest);
    QFETCH(QString, model);
    WindowFixture f(standInEndpoints());
    f.signIn();
    f.dialogs.clear();
    QSignalSpy changed(cascade(f), &VehicleCascade::engineTypeChanged);
    const qsizetype mark = f.logMark();
    enterNumber(f, boxName, text);
    QCOMPARE(f.dialogs.shown().size(), 0);
    const QStringList requests = f.requestsSince(mark);
    QCOMPARE(requests.value(0), firstRequest);
    QVERIFY(requests.value(1).startsWith("getInfoCar?typid="));
    QVERIFY(!f.find<TForm2>({})->isVisible());
    QCOMPARE(box(f, "ComboBox6")->count(), 1);
    QCOMPARE(box(f, "ComboBox6")->currentText(), model);
    QVERIFY(cascade(f)->selectedTypid() > 0);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(f.find<QComboBox>(boxName)->count(), 1);
    QCOMPARE(f.find<QComboBox>(boxName)->itemText(0), text.trimmed());
}

void TestVehicleSelection::numberSearchWithSeveralHitsFillsDialog_data() {
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QString>("text");
    QTest::newRow("KBA") << "ComboBox3"
                         << "0603AMN";
    QTest::newRow("MIME") << "ComboBox2"
                          << "230742";
}

void TestVehicleSelection::numberSearchWithSeveralHitsFillsDialog() {
    QFETCH(QString, boxName);
    QFETCH(QString, text);
    WindowFixture f(standInEndpoints());
    f.signIn();
    f.dialogs.clear();
    f.find<QLabel>("Label13")->setText("kept caption");
    QSignalSpy changed(cascade(f), &VehicleCascade::engineTypeChanged);
    QSignalSpy emptied(cascade(f), &VehicleCascade::viewsEmptied);
    const qsizetype mark = f.logMark();
    enterNumber(f, boxName, text);
    QCOMPARE(f.dialogs.shown().size(), 0);
    const QStringList requests = f.requestsSince(mark);
    QCOMPARE(requests.size(), 4);
    auto* dialog = f.find<TForm2>({});
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QString("Select car"));
    QVERIFY(!f.window().isEnabled());
    QVERIFY(dialog->isEnabled());

    const QStringList lines = itemTexts(dialog->list());
    QCOMPARE(lines.size(), 3);
    QStringList sorted = lines;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return QString::localeAwareCompare(a.toLower(), b.toLower()) < 0;
    });
    QCOMPARE(lines, sorted);
    for (int i = 0; i < lines.size(); ++i) {
        const QString typid = requests.at(i + 1).section("typid=", 1).section('&', 0, 0);
        QVERIFY2(std::count_if(lines.begin(), lines.end(),
                               [&](const QString& l) { return l.endsWith(" {" + typid + "}"); }) == 1,
                 qPrintable(typid));
    }
    // The selection is the user's to make: nothing changed.
    QCOMPARE(changed.count(), 0);
    QCOMPARE(emptied.count(), 0);
    QCOMPARE(box(f, "ComboBox7")->currentText(), QString("Manufacturer"));
    QCOMPARE(f.find<QLabel>("Label13")->text(), QString("kept caption"));
    QCOMPARE(f.find<QComboBox>(boxName)->itemText(0), text);

    dialog->close();
    QVERIFY(f.window().isEnabled());
    QCOMPARE(itemTexts(dialog->list()), lines); // kept until the next search with several hits
}

void TestVehicleSelection::singleHitWithoutVehicleCountsAsNotFound_data() {
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("vehicleReply");
    const QByteArray failed = "HTTP/1.0 500 Internal Server Error\r\nContent-Length: 0\r\n\r\n";
    const QByteArray noRecord = httpReply("{\n\t\"statusText\": \"paid client till 202612\",\n\t\"result\": {}\n}\n");
    // A vehicle request that failed searched nothing: it says so rather than "not found".
    QTest::newRow("KBA, request failed") << "ComboBox3" << QString::fromLatin1(kCatalogNoAnswer) << failed;
    QTest::newRow("KBA, no record") << "ComboBox3"
                                    << "Car with set KBA number is not found !!!" << noRecord;
    QTest::newRow("MIME, request failed") << "ComboBox2" << QString::fromLatin1(kCatalogNoAnswer) << failed;
    QTest::newRow("MIME, no record") << "ComboBox2"
                                     << "Car with set MIME number is not found !!!" << noRecord;
}

void TestVehicleSelection::singleHitWithoutVehicleCountsAsNotFound() {
    QFETCH(QString, boxName);
    QFETCH(QString, message);
    QFETCH(QByteArray, vehicleReply);
    RawHttpServer server({httpReply(catalogAnswer({{{"typid", "10010"}}}).toUtf8()), vehicleReply});
    Endpoints endpoints = standInEndpoints();
    endpoints.catalogUrl = server.url();
    WindowFixture f(endpoints);
    f.signIn();
    f.dialogs.clear();
    QSignalSpy changed(cascade(f), &VehicleCascade::engineTypeChanged);
    enterNumber(f, boxName, "1234567");
    const QList<QByteArray> heads = server.requests();
    QCOMPARE(heads.size(), 2);
    QVERIFY(heads.at(0).contains("=1234567&format=json"));
    QVERIFY(heads.at(1).startsWith("GET /getInfoCar?typid=10010&"));
    QCOMPARE(f.dialogs.texts(), QStringList{message});
    QCOMPARE(changed.count(), 0);
    QCOMPARE(cascade(f)->selectedTypid(), 0);
    QCOMPARE(box(f, "ComboBox7")->currentText(), QString("Manufacturer"));
    QCOMPARE(f.find<QLabel>("Label13")->text(), kStartCaption);
    QCOMPARE(f.find<QComboBox>(boxName)->count(), 0);
}

void TestVehicleSelection::garageAddsEachVehicleOnce() {
    WindowFixture f(standInEndpoints());
    f.signIn();
    auto* add = f.find<QToolButton>("SpeedButton2");
    auto* list = f.find<QListWidget>("ListBox4");
    auto* header = f.find<QLabel>("Label18");

    click(add); // no vehicle yet
    QCOMPARE(list->count(), 0);
    QCOMPARE(header->text(), QString("My garage"));

    choose(box(f, "ComboBox8"), "2002");
    choose(box(f, "ComboBox7"), "AUDI");
    choose(box(f, "ComboBox6"), "A4 (8E2, B6)");
    choose(box(f, "ComboBox5"), "1.6 [");
    const int typid = cascade(f)->selectedTypid();
    QCOMPARE(typid, 10010);
    QVERIFY(!add->isHidden());
    click(add);
    const QString cascadeLine = "AUDI\tA4 (8E2, B6) [2000/11 - 2004/12]\t" + cascade(f)->engineText() + "\t{10010}";
    QCOMPARE(itemTexts(list), QStringList{cascadeLine});
    QCOMPARE(header->text(), QString("My garage [1]"));
    click(add);
    QCOMPARE(list->count(), 1);

    // The same vehicle by its K-type number: the model without dates makes another line.
    click(f.find<QLabel>("Label12"));
    enterNumber(f, "ComboBox4", "10010");
    QVERIFY(!add->isHidden());
    click(add);
    QCOMPARE(list->count(), 2);
    QCOMPARE(header->text(), QString("My garage [2]"));
    const QString searchLine = "AUDI\tA4 (8E2, B6)\t" + cascade(f)->engineText() + "\t{10010}";
    QCOMPARE(itemTexts(list), (QStringList{searchLine, cascadeLine}));

    // A new line takes its sorted place.
    click(f.find<QLabel>("Label12"));
    enterNumber(f, "ComboBox4", "10001");
    click(add);
    QCOMPARE(list->count(), 3);
    QVERIFY(list->item(0)->text().startsWith("AUDI\tA3"));
}

void TestVehicleSelection::garageOpensAfterConfirmation() {
    WindowFixture f(standInEndpoints());
    const QString line = "AUDI\tA4 (8E2, B6)\tAUDI A4 (8E2, B6) 1.6 [...]\t{10010}";
    writeBytes(f.folders.programFile("MyGarage.txt"), "\xEF\xBB\xBF" + line.toUtf8() + "\r\nBAD\tline\t{x}\r\n");
    f.signIn();
    auto* list = f.find<QListWidget>("ListBox4");
    QCOMPARE(list->count(), 2);
    QCOMPARE(f.find<QLabel>("Label18")->text(), QString("My garage [2]"));
    click(f.find<QLabel>("Label18"));
    f.dialogs.clear();
    Garage* garage = f.window().findChild<Garage*>();

    // Nothing selected: nothing asked.
    list->setCurrentRow(-1);
    garage->ListBox4DblClick();
    QCOMPARE(f.dialogs.shown().size(), 0);

    list->setCurrentRow(0);
    QCOMPARE(list->currentItem()->text(), line);
    qsizetype mark = f.logMark();
    f.dialogs.setNextAnswer(false);
    garage->ListBox4DblClick();
    QCOMPARE(f.dialogs.lastText(), "Open car with data ???\r\n****************************\r\nAUDI\r\nA4 (8E2, "
                                   "B6)\r\nAUDI A4 (8E2, B6) 1.6 [...]\r\n{10010}");
    QCOMPARE(f.requestsSince(mark).size(), 0);
    QCOMPARE(cascade(f)->selectedTypid(), 0);

    // A line without a usable number is confirmed and then ignored.
    list->setCurrentRow(1);
    f.dialogs.setNextAnswer(true);
    garage->ListBox4DblClick();
    QCOMPARE(f.requestsSince(mark).size(), 0);

    // A real double click on the line, Yes.
    list->setCurrentRow(0);
    f.dialogs.setNextAnswer(true);
    QTRY_VERIFY(list->isVisible() && list->viewport()->height() > 0);
    const QRect rect = list->visualItemRect(list->item(0));
    QVERIFY2(list->viewport()->rect().contains(rect.center()), "line not on screen");
    // Item views take a double click only after the press that starts it.
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(f.requestsSince(mark).value(0), "getInfoCar?typid=10010&" + kCatalogAccount);
    QCOMPARE(cascade(f)->selectedTypid(), 10010);
    QCOMPARE(box(f, "ComboBox6")->currentText(), QString("A4 (8E2, B6)"));
    QVERIFY(!f.find<QToolButton>("SpeedButton2")->isHidden());
}

void TestVehicleSelection::garageDeleteAndClean() {
    WindowFixture f(standInEndpoints());
    const QString file = f.folders.programFile("MyGarage.txt");
    const QByteArray content = "\xEF\xBB\xBF"
                               "B\tb\tb\t{2}\r\nA\ta\ta\t{1}\r\nc\tc\tc\t{3}\r\n";
    writeBytes(file, content);
    f.signIn();
    auto* list = f.find<QListWidget>("ListBox4");
    QCOMPARE(itemTexts(list), (QStringList{"A\ta\ta\t{1}", "B\tb\tb\t{2}", "c\tc\tc\t{3}"}));
    f.dialogs.clear();

    // Delete: No keeps the line, Yes removes it; the file waits for the end of the program.
    list->setCurrentRow(1);
    f.dialogs.setNextAnswer(false);
    click(f.find<QToolButton>("SpeedButton40"));
    QCOMPARE(f.dialogs.lastText(), QString("Delete selected line ???"));
    QCOMPARE(list->count(), 3);
    f.dialogs.setNextAnswer(true);
    click(f.find<QToolButton>("SpeedButton40"));
    QCOMPARE(itemTexts(list), (QStringList{"A\ta\ta\t{1}", "c\tc\tc\t{3}"}));
    QCOMPARE(f.find<QLabel>("Label18")->text(), QString("My garage [2]"));
    QCOMPARE(readBytes(file), content);

    // Clean: No keeps everything, Yes deletes the file at once.
    f.dialogs.setNextAnswer(false);
    click(f.find<QToolButton>("SpeedButton39"));
    QCOMPARE(f.dialogs.lastText(), QString("Clean full list ???"));
    QCOMPARE(list->count(), 2);
    QVERIFY(QFile::exists(file));
    f.dialogs.setNextAnswer(true);
    click(f.find<QToolButton>("SpeedButton39"));
    QCOMPARE(list->count(), 0);
    QVERIFY(!QFile::exists(file));
    QCOMPARE(f.find<QLabel>("Label18")->text(), QString("My garage [0]"));

    // An empty list asks nothing.
    const int shown = f.dialogs.shown().size();
    click(f.find<QToolButton>("SpeedButton39"));
    click(f.find<QToolButton>("SpeedButton40"));
    QCOMPARE(f.dialogs.shown().size(), shown);
}

void TestVehicleSelection::garageKeys() {
    WindowFixture f(standInEndpoints());
    writeBytes(f.folders.programFile("MyGarage.txt"), "A\ta\ta\t{10010}\r\nB\tb\tb\t{2}\r\n");
    f.signIn();
    click(f.find<QLabel>("Label18"));
    auto* list = f.find<QListWidget>("ListBox4");
    f.dialogs.clear();

    // Enter opens the line with the question of the double click.
    pressKey(list, Qt::Key_Home);
    f.dialogs.setNextAnswer(true);
    const qsizetype mark = f.logMark();
    pressKey(Qt::Key_Return);
    QVERIFY(f.dialogs.lastText().startsWith("Open car with data ???"));
    QCOMPARE(f.requestsSince(mark).value(0), "getInfoCar?typid=10010&" + kCatalogAccount);
    QCOMPARE(cascade(f)->selectedTypid(), 10010);

    // Delete deletes it with the question of the button; No keeps it.
    click(f.find<QLabel>("Label18"));
    pressKey(list, Qt::Key_End);
    f.dialogs.setNextAnswer(false);
    pressKey(Qt::Key_Delete);
    QCOMPARE(f.dialogs.lastText(), QString("Delete selected line ???"));
    QCOMPARE(list->count(), 2);
    f.dialogs.setNextAnswer(true);
    pressKey(Qt::Key_Delete);
    QCOMPARE(itemTexts(list), QStringList{"A\ta\ta\t{10010}"});
    QCOMPARE(f.find<QLabel>("Label18")->text(), QString("My garage [1]"));
}

void TestVehicleSelection::searchBoxClickSelectsInitialText_data() {
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QString>("initialText");
    QTest::newRow("K-type") << "ComboBox4"
                            << "K-type number";
    QTest::newRow("KBA") << "ComboBox3"
                         << "KBA number";
    QTest::newRow("MIME") << "ComboBox2"
                          << "MIME number";
    QTest::newRow("cross reference") << "ComboBox1"
                                     << "Cross reference number";
    QTest::newRow("name") << "ComboBox10"
                          << "Name product";
}

void TestVehicleSelection::searchBoxClickSelectsInitialText() {
    QFETCH(QString, boxName);
    QFETCH(QString, initialText);
    WindowFixture f;
    f.showActive();
    click(f.find<QLabel>("Label12"));
    auto* numberBox = f.find<QComboBox>(boxName);
    QCOMPARE(numberBox->currentText(), initialText);
    clickOnScreen(numberBox);
    typeText("10010");
    QCOMPARE(numberBox->currentText(), QString("10010"));
    // A word of the user's own is not replaced by the next click.
    clickOnScreen(numberBox);
    typeText("7");
    QCOMPARE(numberBox->currentText().size(), 6);
}

void TestVehicleSelection::selectCarLineSearchesItsKType_data() {
    QTest::addColumn<bool>("byEnter");
    QTest::newRow("Enter") << true;
    QTest::newRow("double click") << false;
}

void TestVehicleSelection::selectCarLineSearchesItsKType() {
    QFETCH(bool, byEnter);
    WindowFixture f(standInEndpoints());
    f.signIn();
    f.dialogs.clear();
    enterNumber(f, "ComboBox2", "230742");
    auto* dialog = f.find<TForm2>({});
    QVERIFY(dialog->isVisible());
    QListWidget* list = dialog->list();
    // Wide enough for its longest line.
    int widest = 0;
    for (const QString& line : itemTexts(list))
        widest = std::max(widest, list->fontMetrics().horizontalAdvance(line));
    QVERIFY2(list->viewport()->width() >= widest,
             qPrintable(QString("%1 < %2").arg(list->viewport()->width()).arg(widest)));

    const QString line = list->item(1)->text();
    const QString typid = line.section('{', -1).chopped(1);
    const qsizetype mark = f.logMark();
    if (byEnter) {
        pressKey(list, Qt::Key_Home);
        pressKey(Qt::Key_Down);
        pressKey(Qt::Key_Return);
    } else {
        const QPoint at = list->visualItemRect(list->item(1)).center();
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    QVERIFY(!dialog->isVisible());
    QVERIFY(f.window().isEnabled());
    QCOMPARE(f.requestsSince(mark).value(0), "getInfoCar?typid=" + typid + "&" + kCatalogAccount);
    QCOMPARE(f.requestsOf("getInfoCar", mark).size(), 1);
    QCOMPARE(QString::number(cascade(f)->selectedTypid()), typid);
    QCOMPARE(f.find<QComboBox>("ComboBox4")->currentText(), typid);
    QCOMPARE(f.dialogs.shown().size(), 0);
}

QTEST_MAIN(TestVehicleSelection)
#include "tst_vehicleselection.moc"
