#include "catalog/categorytrees.h"
#include "catalog/crosssearch.h"
#include "catalog/productlist.h"
#include "catalog/treeloader.h"
#include "catalog/treetext.h"
#include "export/necessarybrandspanel.h"
#include "platform/localeformats.h"
#include "platform/textfile.h"
#include "platform/widgets.h"
#include "service/decoder.h"
#include "service/serviceclient.h"
#include "support/answers.h"
#include "support/rawhttpserver.h"
#include "support/windowfixture.h"
#include "vehicle/cascade.h"

#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollBar>
#include <QSet>
#include <QToolButton>
#include <QTreeWidget>

namespace {

AnswerRecord category(int level, int id, const QString& text) {
    AnswerRecord fields{{"level", QString::number(level)}};
    for (int l = 1; l <= 5; ++l) {
        // Every record names its level-1 ancestor.
        fields.append({"id" + QString::number(l), l == level ? QString::number(id) : l == 1 ? "1" : QString()});
        fields.append({"text" + QString::number(l), l == level ? text : QString()});
    }
    return fields;
}

// Whether the section whose header is `header` is folded to its strip.
bool folded(WindowFixture& f, const char* header) {
    return static_cast<CollapsibleSection*>(f.find<QLabel>(header)->parentWidget())->isCollapsed();
}

// The window against a service, with its catalog panels at hand.
struct Catalog {
    explicit Catalog(const Endpoints& endpoints) : f(endpoints) {
        f.signIn();
        trees = f.find<CategoryTrees>("CategoryTrees");
        list = f.find<ProductList>("ProductList");
        cross = f.find<CrossSearch>("CrossSearch");
    }
    TForm1& w() { return f.window(); }
    VehicleCascade* cascade() { return w().findChild<VehicleCascade*>(); }
    QTreeWidget* tree(const char* name) { return f.find<QTreeWidget>(name); }
    QTreeView* productTree() { return f.find<QTreeView>("TreeView3"); }
    int productNodes() { return topLevelCount(productTree()); }
    // Opens the "Search by" section, where the name and cross-reference boxes sit.
    void openSearchSection() {
        if (folded(f, "Label12"))
            click(f.find<QLabel>("Label12"));
    }

    // The first engine type the service lists for 2010.
    int sampleTypid() {
        ServiceClient& s = *w().context().service;
        const QString answer = s.CatalogRequest(s.ListRequest("getTypes", "&year=2010"));
        const QList<TTypeRec> types = DecodeAnswer<TTypeRec>("getTypes", answer);
        return types.isEmpty() ? 0 : types.first().typid;
    }
    // Puts one selected item into the engine-type box, as the cascade would.
    void selectVehicle(int typid) {
        auto* box = f.find<QComboBox>("ComboBox5");
        box->clear();
        box->addItem("1.8 T", typid);
        box->setCurrentIndex(0);
    }
    int selectVehicleAndBuildTrees() {
        const int typid = sampleTypid();
        selectVehicle(typid);
        emit cascade()->engineTypeChanged();
        return typid;
    }
    // Lists the products of the first trade group with at least `brands` brands.
    void listFirstTradeGroup(int brands = 1) {
        QTreeWidget* groups = tree("TreeView2");
        for (QTreeWidgetItemIterator it(groups); *it; ++it) {
            if (nodeData(*it) == 0)
                continue;
            groups->setCurrentItem(*it);
            trees->TreeView2DblClick();
            QSet<QString> names;
            for (const ProductRecord& r : productRows())
                names.insert(r.brand);
            if (names.size() >= brands)
                return;
        }
    }
    QList<ProductRecord> productRows() {
        QList<ProductRecord> rows;
        for (const ProductRecord& r : w().productTable().rows().records())
            if (r.artid > 0)
                rows << r;
        return rows;
    }

    WindowFixture f;
    CategoryTrees* trees = nullptr;
    ProductList* list = nullptr;
    CrossSearch* cross = nullptr;
};

} // namespace

class TestCatalogBrowsing : public QObject {
    Q_OBJECT
private slots:
    void engineChangeBuildsTreesAndShowsCatalog();
    void treeKindChoosesStrtype_data();
    void treeKindChoosesStrtype();
    void treeKindWithoutVehicleSendsNothing();
    void fullExpandSurvivesNewVehicle();
    void depthErrorAbandonsEngineChange();
    void conversionErrorLeavesWindowUsable();
    void deadServiceLeavesTreesEmptyWithoutMessage();
    void captionsOfTheServiceCannotShiftTrees();
    void categoryAndTradeGroupListings();
    void longListingIsReadAside();
    void enterOnNodeListsItsProducts_data();
    void enterOnNodeListsItsProducts();
    void longRadioCaptionWraps();
    void necessaryBrandsFilterListAndCaption();
    void oneBrandAndAllBrands();
    void nameSearchRefusals_data();
    void nameSearchRefusals();
    void nameSearchSendsWordAsTypedAndKeepsHistory();
    void crossReferenceSearchAndFollowUp();
    void crossReferenceWithoutMatches();
    void crossReferenceFollowUpSentVerbatim();
    void crossReferenceWithBlanksOpens();
    void enterWithHistoryShownStillSearches_data();
    void enterWithHistoryShownStillSearches();
    void filterIgnoresLetterCase();
    void filterFollowsTyping();
    void searchesTellAStoppedServiceFromNothingFound_data();
    void searchesTellAStoppedServiceFromNothingFound();
    void longProductLinesShowWhole();
    void listFileHoldsAllProducts();
    void unwritableListFileIsReportedAndNotOpened();
};

void TestCatalogBrowsing::engineChangeBuildsTreesAndShowsCatalog() {
    Catalog c(standInEndpoints());
    c.f.find<QListWidget>("ListBox1")->addItem("stale");
    ProductRecord stale;
    stale.artid = 1;
    stale.name = "stale";
    c.list->ShowProductList(QList{stale});
    const int typid = c.selectVehicleAndBuildTrees();
    QVERIFY(typid > 0);

    QVERIFY(c.f.logged("GetTreeCategories?" + kCatalogAccount + QString("&typid=%1&strtype=1").arg(typid)));
    QVERIFY(c.f.logged("GetListTradeGroupsForCar?" + kCatalogAccount + QString("&typid=%1").arg(typid)));
    QVERIFY(c.tree("TreeView1")->topLevelItemCount() > 0);
    QVERIFY(nodeData(c.tree("TreeView1")->topLevelItem(0)) > 0);
    QTreeWidgetItem* assembly = c.tree("TreeView2")->topLevelItem(0);
    QVERIFY(assembly && assembly->childCount() > 0);
    QCOMPARE(nodeData(assembly), 0);
    QVERIFY(nodeData(assembly->child(0)) > 0);
    QCOMPARE(c.f.find<QListWidget>("ListBox1")->count(), 0);
    QCOMPARE(c.productNodes(), 0);
    QVERIFY(c.f.find<QLabel>("Label13")->text().endsWith(" | 1.8 T"));
    QCOMPARE(c.w().currentPage(), "PAGEPRODUCT");
    QVERIFY(c.f.dialogs.shown().isEmpty());
}

void TestCatalogBrowsing::treeKindChoosesStrtype_data() {
    QTest::addColumn<QString>("radio");
    QTest::addColumn<int>("vehicleClass");
    QTest::addColumn<int>("strtype");
    QTest::newRow("selected type, all vehicles") << "RadioButton7" << 0 << 1;
    QTest::newRow("selected type, motorcycles") << "RadioButton7" << 3 << 1;
    QTest::newRow("selected type, trucks") << "RadioButton7" << 2 << 2;
    QTest::newRow("engine, trucks") << "RadioButton8" << 2 << 3;
    QTest::newRow("axle, passengers") << "RadioButton6" << 1 << 5;
}

void TestCatalogBrowsing::treeKindChoosesStrtype() {
    QFETCH(QString, radio);
    QFETCH(int, vehicleClass);
    QFETCH(int, strtype);
    Catalog c(standInEndpoints());
    c.trees->setVehicle(VehicleSelection{4242, vehicleClass, {}, {}, {}});
    c.tree("TreeView2")->addTopLevelItem(new QTreeWidgetItem(QStringList{"kept"}));
    const qsizetype before = c.f.logMark();
    click(c.f.find<QRadioButton>(radio));
    const QStringList sent = c.f.requestsOf("GetTreeCategories", before);
    QCOMPARE(sent.size(), 1);
    QVERIFY2(sent.first().contains("GetTreeCategories?" + kCatalogAccount +
                                   "&typid=4242&strtype=" + QString::number(strtype)),
             qPrintable(sent.first()));
    // Only the category tree is rebuilt.
    QVERIFY(c.f.requestsOf("GetListTradeGroupsForCar", before).isEmpty());
    QCOMPARE(c.tree("TreeView2")->topLevelItemCount(), 1);
    QCOMPARE(c.w().currentPage(), "SETTINGS");
}

void TestCatalogBrowsing::treeKindWithoutVehicleSendsNothing() {
    Catalog c(standInEndpoints());
    c.tree("TreeView1")->addTopLevelItem(new QTreeWidgetItem(QStringList{"old"}));
    const qsizetype before = c.f.logMark();
    click(c.f.find<QRadioButton>("RadioButton8"));
    QCOMPARE(c.tree("TreeView1")->topLevelItemCount(), 0);
    QCOMPARE(c.f.logMark(), before);
}

void TestCatalogBrowsing::fullExpandSurvivesNewVehicle() {
    Catalog c(standInEndpoints());
    c.w().showPage("PAGEPRODUCT");
    click(c.f.find<QToolButton>("SpeedButton13"));
    QVERIFY(c.f.find<QToolButton>("SpeedButton13")->isChecked());
    QVERIFY(!c.f.find<QToolButton>("SpeedButton17")->isChecked());
    c.selectVehicleAndBuildTrees();
    QVERIFY(allExpanded(c.tree("TreeView1"), true));
    QVERIFY(allExpanded(c.tree("TreeView2"), false));
    click(c.f.find<QToolButton>("SpeedButton17"));
    QVERIFY(allExpanded(c.tree("TreeView1"), false));
    c.trees->SpeedButton18Click(); // its section is folded
    QVERIFY(allExpanded(c.tree("TreeView2"), true));
}

void TestCatalogBrowsing::depthErrorAbandonsEngineChange() {
    // A level-3 category right under a level-1 one cannot be placed.
    RawHttpServer server({catalogReply("GetTreeCategories", {category(1, 100, "Engine"), category(3, 111, "Belt")})});
    Endpoints endpoints = standInEndpoints();
    endpoints.catalogUrl = server.url("/");
    Catalog c(endpoints);
    c.trees->setVehicle(VehicleSelection{5, 0, {}, {}, {}});
    emit c.cascade()->engineTypeChanged();
    QCOMPARE(c.f.dialogs.shown().size(), 1);
    QCOMPARE(c.f.dialogs.shown().first().kind, ScriptedDialogs::Kind::Error);
    QVERIFY(c.f.dialogs.lastText().contains("\"Belt\""));
    QVERIFY(c.f.dialogs.lastText().contains('2'));
    QCOMPARE(c.tree("TreeView1")->topLevelItemCount(), 0);
    QCOMPARE(server.requests().size(), 1);
    QCOMPARE(c.w().currentPage(), "SETTINGS");
}

void TestCatalogBrowsing::conversionErrorLeavesWindowUsable() {
    QList<std::pair<QString, QString>> bad = category(1, 100, "Engine");
    bad[0].second = "x";
    RawHttpServer server({catalogReply("GetTreeCategories", {bad})});
    Endpoints endpoints = standInEndpoints();
    endpoints.catalogUrl = server.url("/");
    Catalog c(endpoints);
    c.trees->setVehicle(VehicleSelection{5, 0, {}, {}, {}});
    emit c.cascade()->engineTypeChanged();
    QCOMPARE(c.f.dialogs.texts(), QStringList{"'x' is not a valid integer value"});
    QCOMPARE(c.w().currentPage(), "SETTINGS");
    QVERIFY(c.w().isEnabled());
}

void TestCatalogBrowsing::deadServiceLeavesTreesEmptyWithoutMessage() {
    Endpoints endpoints = standInEndpoints();
    endpoints.catalogUrl = QString("http://127.0.0.1:%1/").arg(refusingPort());
    Catalog c(endpoints);
    c.trees->setVehicle(VehicleSelection{5, 0, {}, {}, {}});
    emit c.cascade()->engineTypeChanged();
    QVERIFY(c.f.dialogs.shown().isEmpty());
    QCOMPARE(c.tree("TreeView1")->topLevelItemCount(), 0);
    QCOMPARE(c.tree("TreeView2")->topLevelItemCount(), 0);
    QCOMPARE(c.w().currentPage(), "PAGEPRODUCT");
}

void TestCatalogBrowsing::captionsOfTheServiceCannotShiftTrees() {
    auto group = [](const char* gaid, const char* name, const char* assembly) {
        return QList<std::pair<QString, QString>>{{"gaid", gaid}, {"ganame", name}, {"gaassembly", assembly}};
    };
    RawHttpServer server(
        {catalogReply("GetTreeCategories", {category(1, 100, "Engine"), category(2, 110, " Belt\\tdrive"),
                                            category(3, 111, "Tensioner"), category(1, 200, "  Brakes")}),
         catalogReply("GetListTradeGroupsForCar",
                      {group("1", "g1", "A"), group("2", "g2", "A"), group("3", "g3", "B"), group("4", "g4", "A")})});
    Endpoints endpoints = standInEndpoints();
    endpoints.catalogUrl = server.url("/");
    Catalog c(endpoints);
    c.trees->setVehicle(VehicleSelection{5, 0, {}, {}, {}});
    emit c.cascade()->engineTypeChanged();
    QVERIFY2(c.f.dialogs.shown().isEmpty(), qPrintable(c.f.dialogs.lastText()));
    QTreeWidget* categories = c.tree("TreeView1");
    QCOMPARE(categories->topLevelItemCount(), 2);
    QTreeWidgetItem* belt = categories->topLevelItem(0)->child(0);
    QCOMPARE(nodeData(belt), 110);
    QCOMPARE(nodeData(belt->child(0)), 111);
    QCOMPARE(categories->topLevelItem(1)->text(0), "  Brakes");
    QCOMPARE(nodeData(categories->topLevelItem(1)), 200);

    QTreeWidget* groups = c.tree("TreeView2");
    QStringList shape;
    for (int i = 0; i < groups->topLevelItemCount(); ++i)
        shape << groups->topLevelItem(i)->text(0) + QString::number(groups->topLevelItem(i)->childCount());
    QCOMPARE(shape, (QStringList{"A2", "B1", "A1"}));
    QCOMPARE(c.w().currentPage(), "PAGEPRODUCT");
}

void TestCatalogBrowsing::categoryAndTradeGroupListings() {
    Catalog c(standInEndpoints());
    const int typid = c.selectVehicleAndBuildTrees();
    QTreeWidget* categories = c.tree("TreeView1");
    QTreeWidgetItem* node = categories->topLevelItem(0);
    categories->setCurrentItem(node);
    c.trees->TreeView1DblClick();
    QVERIFY(c.f.logged("GetListArticlesFromTreeCategory?" + kCatalogAccount +
                       QString("&typid=%1&strid=%2").arg(typid).arg(nodeData(node))));
    QTreeView* products = c.productTree();
    QVERIFY(c.productNodes() > 0);
    QCOMPARE(c.productNodes(), c.productRows().size());
    for (int i = 0; i < c.productNodes(); ++i) {
        const QModelIndex p = topLevelNode(products, i);
        QVERIFY(nodeBold(p));
        QVERIFY(c.w().productTable().find(nodeValue(p)));
        const QModelIndex brand = products->model()->index(0, 0, p);
        QCOMPARE(nodeText(brand).left(10), "1. Brand: ");
        QCOMPARE(nodeText(products->model()->index(1, 0, p)).left(14), "2. Reference: ");
        QCOMPARE(nodeValue(brand), 0);
        QVERIFY(!nodeBold(brand));
        if (i > 0)
            QVERIFY(LocaleFormats::compare(nodeText(topLevelNode(products, i - 1)), nodeText(p)) <= 0);
    }
    QCOMPARE(c.f.find<QLabel>("Label25")->text(), ProductList::kListCaption);
    QListWidget* brands = c.f.find<QListWidget>("ListBox1");
    QVERIFY(brands->count() > 0);
    QVERIFY(brands->item(0)->data(Qt::UserRole).toInt() > 0);

    // An assembly node lists with gaid 0.
    QTreeWidget* groups = c.tree("TreeView2");
    groups->setCurrentItem(groups->topLevelItem(0));
    c.trees->TreeView2DblClick();
    QVERIFY(c.f.logged("GetListArticlesFromTradeGroup?" + kCatalogAccount + QString("&typid=%1&gaid=0").arg(typid)));

    // Nothing selected: nothing happens.
    const qsizetype before = c.f.logMark();
    categories->setCurrentItem(nullptr);
    c.trees->TreeView1DblClick();
    QCOMPARE(c.f.logMark(), before);
}

// Enough products to be read, filtered and sorted on a worker, as the vendor writes them.
QList<AnswerRecord> longListing(int count) {
    const QStringList names{"Bremsscheibe", "Brake Disc", "brake disc", "Ölfilter", "Glühkerze"};
    const QStringList brands{"BOSCH", "LEMFÖRDER", "ATE", "FEBI BILSTEIN"};
    QList<AnswerRecord> records;
    for (int i = 0; i < count; ++i) {
        const int key = (i * 7919) % count;
        records.append({{"artid", QString::number(1000 + i)},
                        {"laid", QString::number(key)},
                        {"braid", QString::number(30 + key % brands.size())},
                        {"brand", brands.at(key % brands.size())},
                        {"articlenr", QString("0 986 4B%1 / %2").arg(key % 97).arg(key)},
                        {"name", names.at(key % names.size())},
                        {"additionalforname", key % 3 ? QString("Ø %1 mm").arg(240 + key % 50) : QString()},
                        {"statusproduct", "Normal"},
                        {"criteries", "Fitting Position: Front Axle; Brake Disc Thickness [mm]: 22"},
                        {"termsofuse", key % 5 ? QString() : QString("für Fahrzeuge mit Sportfahrwerk")}});
    }
    return records;
}

void TestCatalogBrowsing::longListingIsReadAside() {
    const QList<AnswerRecord> records = longListing(4000);
    QList<AnswerRecord> broken = records;
    broken[3500][0].second = "x"; // an artid in the second half
    const QByteArray answer = catalogReply("GetListArticlesFromTreeCategory", records);
    QVERIFY(answer.size() > 1024 * 1024);
    RawHttpServer server({catalogReply("GetTreeCategories", {category(1, 100, "Brakes")}),
                          catalogReply("GetListTradeGroupsForCar", {}), answer,
                          catalogReply("GetListArticlesFromTreeCategory", broken)});
    Endpoints endpoints = standInEndpoints();
    endpoints.catalogUrl = server.url("/");
    Catalog c(endpoints);
    c.trees->setVehicle(VehicleSelection{5, 0, {}, {}, {}});
    emit c.cascade()->engineTypeChanged();
    QTreeWidget* tree = c.tree("TreeView1");
    QCOMPARE(tree->topLevelItemCount(), 1);
    pressKey(tree, Qt::Key_Home);
    pressKey(Qt::Key_Return);

    // The same nodes as the item tree the program used to fill in place.
    const QList<ProductRecord> products =
        productsFromAnswer(DecodeAnswer<TArticleRec>("GetListArticlesFromTreeCategory", answer)).records();
    QTreeWidget former;
    QFont bold = former.font();
    bold.setBold(true);
    LoadTreeText(&former, productTreeLines(products), false, &bold);
    QCOMPARE(c.productNodes(), 4000);
    QCOMPARE(treeNodes(*c.productTree()->model()), treeNodes(*former.model()));
    QListWidget* brands = c.f.find<QListWidget>("ListBox1");
    QCOMPARE(itemTexts(brands), (QStringList{"ATE", "BOSCH", "FEBI BILSTEIN", "LEMFÖRDER"}));

    // One brand's products in the order their own sort gives them.
    doubleClickRow(brands, 3);
    QList<ProductRecord> oneBrand;
    for (const ProductRecord& p : products)
        if (p.brand == "LEMFÖRDER")
            oneBrand.append(p);
    LoadTreeText(&former, productTreeLines(oneBrand), false, &bold);
    QCOMPARE(c.productNodes(), 1000);
    QCOMPARE(treeNodes(*c.productTree()->model()), treeNodes(*former.model()));

    // A failure on the worker ends in the window's error box; the window stays usable.
    pressKey(tree, Qt::Key_Return);
    QCOMPARE(c.f.dialogs.texts(), QStringList{"'x' is not a valid integer value"});
    QCOMPARE(c.productNodes(), 0);
    QVERIFY(c.w().isEnabled());
    QCOMPARE(server.requests().size(), 4);
}

void TestCatalogBrowsing::enterOnNodeListsItsProducts_data() {
    QTest::addColumn<QString>("treeName");
    QTest::addColumn<QString>("function");
    QTest::newRow("category") << "TreeView1"
                              << "GetListArticlesFromTreeCategory";
    QTest::newRow("trade group") << "TreeView2"
                                 << "GetListArticlesFromTradeGroup";
}

void TestCatalogBrowsing::enterOnNodeListsItsProducts() {
    QFETCH(QString, treeName);
    QFETCH(QString, function);
    Catalog c(standInEndpoints());
    c.selectVehicleAndBuildTrees();
    if (treeName == "TreeView2")
        click(c.f.find<QLabel>("Label16"));
    QTreeWidget* tree = c.tree(qPrintable(treeName));
    QVERIFY(tree->topLevelItemCount() > 0);
    const qsizetype before = c.f.logMark();
    pressKey(tree, Qt::Key_Home);
    QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
    pressKey(Qt::Key_Return);
    const QStringList sent = c.f.requestsOf(function, before);
    QCOMPARE(sent.size(), 1);
    QVERIFY2(sent.first().endsWith(QString("id=%1").arg(nodeData(tree->topLevelItem(0)))), qPrintable(sent.first()));
}

void TestCatalogBrowsing::longRadioCaptionWraps() {
    Catalog c(standInEndpoints());
    c.w().showPage("PAGEPRODUCT");
    auto* radio = c.f.find<QRadioButton>("RadioButton7");
    QTRY_VERIFY(radio->isVisible());
    QCOMPARE(radio->text(), "According selected type car in \"Selection vehicle\"");
    // Too long for its column on one line, so it takes two, all of it readable.
    QVERIFY(radio->fontMetrics().horizontalAdvance(radio->text()) > radio->width());
    QVERIFY2(radio->height() >= 2 * radio->fontMetrics().lineSpacing(), qPrintable(QString::number(radio->height())));
    // A click on its second line chooses it, too.
    c.f.find<QRadioButton>("RadioButton8")->setChecked(true);
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(radio->width() / 2, radio->height() - 3));
    QVERIFY(radio->isChecked());
}

void TestCatalogBrowsing::necessaryBrandsFilterListAndCaption() {
    Catalog c(standInEndpoints());
    c.selectVehicleAndBuildTrees();
    c.listFirstTradeGroup(3);
    const QList<ProductRecord> all = c.productRows();
    QStringList brands;
    for (const ProductRecord& r : all)
        if (!brands.contains(r.brand))
            brands << r.brand;
    QVERIFY2(brands.size() >= 3, "the sample trade group should hold three brands");

    // The third brand in other letter case does not pass.
    auto* brandsPanel = c.w().findChild<NecessaryBrandsPanel*>();
    emit brandsPanel->necessaryBrandsChanged('[' + brands[0] + "][" + brands[1] + "][" + brands[2].toLower() + "x]");
    c.trees->TreeView2DblClick();
    QCOMPARE(c.f.find<QLabel>("Label25")->text(), ProductList::kFilteredListCaption);
    QCOMPARE(c.w().productTable().rows().size(), all.size());
    QStringList listed = itemTexts(c.f.find<QListWidget>("ListBox1"));
    QCOMPARE(listed.size(), 2);
    QVERIFY(listed.contains(brands[0]) && listed.contains(brands[1]));
    int shown = 0;
    for (const ProductRecord& r : c.w().productTable().rows().records()) {
        if (r.artid == 0) {
            QVERIFY(r.brand.isEmpty() && r.name.isEmpty());
            continue;
        }
        QVERIFY(r.brand == brands[0] || r.brand == brands[1]);
        ++shown;
    }
    QCOMPARE(c.productNodes(), shown);
    QVERIFY(shown < all.size());

    emit brandsPanel->necessaryBrandsChanged(QString());
    c.trees->TreeView2DblClick();
    QCOMPARE(c.f.find<QLabel>("Label25")->text(), ProductList::kListCaption);
}

void TestCatalogBrowsing::oneBrandAndAllBrands() {
    Catalog c(standInEndpoints());
    c.selectVehicleAndBuildTrees();
    c.listFirstTradeGroup(2);
    QListWidget* brands = c.f.find<QListWidget>("ListBox1");
    QVERIFY(brands->count() >= 2);
    brands->setCurrentRow(1);
    const int braid = brands->item(1)->data(Qt::UserRole).toInt();
    c.list->ListBox1DblClick();
    QTreeView* products = c.productTree();
    QVERIFY(c.productNodes() > 0);
    for (int i = 0; i < c.productNodes(); ++i)
        QCOMPARE(c.w().productTable().find(nodeValue(topLevelNode(products, i)))->braid, braid);
    QCOMPARE(brands->count() >= 2, true);

    click(c.f.find<QToolButton>("SpeedButton20"));
    QCOMPARE(c.productNodes(), c.productRows().size());

    // The brand list header folds the list into a strip and back.
    click(c.f.find<QLabel>("Label23"));
    QVERIFY(brands->isHidden());
    click(c.f.find<QLabel>("Label23"));
    QVERIFY(!brands->isHidden());
}

void TestCatalogBrowsing::nameSearchRefusals_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("withVehicle");
    QTest::addColumn<QString>("message");
    QTest::newRow("three letters after blanks") << "   abc" << true << "Search word is empty or less 4 symbols !!!";
    QTest::newRow("blank") << "      " << true << "Search word is empty or less 4 symbols !!!";
    QTest::newRow("no vehicle") << "disc" << false << "Need select car in section \"Selection vehicle\"";
}

void TestCatalogBrowsing::nameSearchRefusals() {
    QFETCH(QString, typed);
    QFETCH(bool, withVehicle);
    QFETCH(QString, message);
    Catalog c(standInEndpoints());
    if (withVehicle)
        c.selectVehicle(4242);
    const qsizetype before = c.f.logMark();
    c.openSearchSection();
    auto* box = c.f.find<QComboBox>("ComboBox10");
    typeInto(box, typed);
    pressKey(Qt::Key_Return);
    QCOMPARE(c.f.dialogs.texts(), QStringList{message});
    QCOMPARE(c.f.logMark(), before);
    QCOMPARE(box->count(), 0);
}

void TestCatalogBrowsing::nameSearchSendsWordAsTypedAndKeepsHistory() {
    Catalog c(standInEndpoints());
    const int typid = c.sampleTypid();
    c.selectVehicle(typid);
    c.openSearchSection();
    auto* box = c.f.find<QComboBox>("ComboBox10");
    typeInto(box, "disc ");
    pressKey(Qt::Key_Return);
    QVERIFY(c.f.dialogs.shown().isEmpty());
    QVERIFY(c.f.logged(QString("getSearchArticleByNameForCar?typid=%1&search=disc%20&").arg(typid) + kCatalogAccount));
    QCOMPARE(c.w().currentPage(), "PAGEPRODUCT");
    QVERIFY(c.productNodes() > 0);
    QCOMPARE(box->currentText(), "disc ");

    c.openSearchSection();
    box->setEditText("DISC");
    pressKey(box, Qt::Key_Return);
    box->setEditText("brake");
    pressKey(box, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(box->count(), 2);
    QCOMPARE(box->itemText(0), "brake");
    QCOMPARE(box->itemText(1), "disc");
}

void TestCatalogBrowsing::crossReferenceSearchAndFollowUp() {
    Catalog c(standInEndpoints());
    c.selectVehicleAndBuildTrees();
    c.listFirstTradeGroup();
    const QString reference = c.productRows().first().reference;
    c.w().showPage("SETTINGS");

    c.openSearchSection();
    auto* box = c.f.find<QComboBox>("ComboBox1");
    box->setEditText(' ' + reference);
    pressKey(box, Qt::Key_Return);
    QCOMPARE(c.f.find<QLabel>("Label19")->text(), "BY CROSS REFERENCE \"" + reference + '"');
    QListWidget* matches = c.f.find<QListWidget>("ListBox3");
    QVERIFY(matches->count() > 0);
    QCOMPARE(matches->currentRow(), 0);
    QCOMPARE(c.w().currentPage(), "PAGEPRODUCT");
    QVERIFY(!folded(c.f, "Label24"));
    QVERIFY(folded(c.f, "Label22"));
    QCOMPARE(box->count(), 1);
    QCOMPARE(box->itemText(0), reference);
    const QString lineData = matches->item(0)->data(Qt::UserRole).toString();
    QVERIFY(lineData.startsWith("&braid="));
    QCOMPARE(matches->item(0)->text().count('\t'), 2);
    // The whole line: as wide as its columns (the list scrolls sideways) and as tool tip.
    QCOMPARE(matches->item(0)->toolTip(), QString(matches->item(0)->text()).replace('\t', "   "));
    QVERIFY(matches->sizeHintForColumn(0) >
            2 * dialogUnitsToPixels(matches, 100) +
                matches->fontMetrics().horizontalAdvance(matches->item(0)->text().section('\t', 2)) / 2);

    const qsizetype before = c.f.logMark();
    // The found matches take the focus, so Enter opens the first one.
    QCOMPARE(QApplication::focusWidget(), matches);
    pressKey(Qt::Key_Return);
    // Opening folds the matches away; the user unfolds them and double-clicks the same line.
    if (folded(c.f, "Label24"))
        click(c.f.find<QLabel>("Label24"));
    doubleClickRow(matches, 0);
    const QStringList sent = c.f.requestsOf("GetSearchByCrossrefAndBrand", before);
    QCOMPARE(sent.size(), 2);
    QVERIFY(sent.at(0).contains("GetSearchByCrossrefAndBrand?" + kCatalogAccount + lineData));
    QCOMPARE(sent.at(0).section(' ', -1), sent.at(1).section(' ', -1));
    QCOMPARE(c.f.find<QListWidget>("ListBox1")->count(), 1);
    QVERIFY(c.productNodes() > 0);
    QVERIFY(folded(c.f, "Label24"));
    QVERIFY(!folded(c.f, "Label22"));
    for (const ProductRecord& r : c.productRows())
        QVERIFY(r.termsofuse.isEmpty());
    QVERIFY(matches->count() > 0);
}

void TestCatalogBrowsing::crossReferenceWithoutMatches() {
    Catalog c(standInEndpoints());
    c.openSearchSection();
    auto* box = c.f.find<QComboBox>("ComboBox1");
    box->setEditText("NO-SUCH-99");
    pressKey(box, Qt::Key_Return);
    QCOMPARE(c.f.find<QLabel>("Label19")->text(), "BY CROSS REFERENCE \"NO-SUCH-99\"");
    QVERIFY(c.f.logged("getSearchByCrossref?search=NO-SUCH-99&" + kCatalogAccount));
    QCOMPARE(c.f.find<QListWidget>("ListBox3")->count(), 0);
    QCOMPARE(c.w().currentPage(), "SETTINGS");
    QCOMPARE(box->count(), 0);
    QVERIFY(!folded(c.f, "Label24"));
    QVERIFY(folded(c.f, "Label22"));

    // A blank word does nothing at all.
    const qsizetype before = c.f.logMark();
    box->setEditText("   ");
    pressKey(box, Qt::Key_Return);
    QCOMPARE(c.f.logMark(), before);
}

void TestCatalogBrowsing::crossReferenceFollowUpSentVerbatim() {
    RawHttpServer server(
        {catalogReply("getSearchByCrossref",
                      {{{"braid", "31"}, {"searchnr", "AB+12[x]#7"}, {"brand", "ATE"}, {"name", "Disc"}}}),
         catalogReply("GetSearchByCrossrefAndBrand", {})});
    Endpoints endpoints = standInEndpoints();
    endpoints.catalogUrl = server.url("/");
    Catalog c(endpoints);
    c.openSearchSection();
    c.f.find<QComboBox>("ComboBox1")->setEditText("ab 12");
    pressKey(c.f.find<QComboBox>("ComboBox1"), Qt::Key_Return);
    QVERIFY(c.f.logged("getSearchByCrossref?search=ab%2012&" + kCatalogAccount));
    QListWidget* matches = c.f.find<QListWidget>("ListBox3");
    QCOMPARE(matches->count(), 1);
    QCOMPARE(matches->item(0)->text(), "ATE\tAB+12[x]#7\tDisc");
    pressKey(matches, Qt::Key_Return);
    QVERIFY(c.f.logged("GetSearchByCrossrefAndBrand?" + kCatalogAccount + "&braid=31&search=AB+12[x]#7"));
    QTRY_VERIFY2(server.requests().value(1).contains("&braid=31&search=AB+12[x]%237 HTTP/1.0"),
                 server.requests().value(1).constData());
    QCOMPARE(c.productNodes(), 0);
    QVERIFY(c.w().productTable().rows().isEmpty());
}

void TestCatalogBrowsing::crossReferenceWithBlanksOpens() {
    Catalog c(standInEndpoints());
    c.selectVehicleAndBuildTrees();
    // The brands write their references with blanks ("0 986 424 536", "HU 719/7x").
    QString reference;
    QTreeWidget* groups = c.tree("TreeView2");
    for (QTreeWidgetItemIterator it(groups); *it && reference.isEmpty(); ++it) {
        if (nodeData(*it) == 0)
            continue;
        groups->setCurrentItem(*it);
        emit c.trees->tradeGroupChosen(nodeData(*it));
        for (const ProductRecord& r : c.productRows())
            if (r.reference.contains(' ') && reference.isEmpty())
                reference = r.reference;
    }
    QVERIFY2(!reference.isEmpty(), "the stand-in should list a reference with blanks");

    c.openSearchSection();
    auto* box = c.f.find<QComboBox>("ComboBox1");
    box->setEditText(reference);
    pressKey(box, Qt::Key_Return);
    QListWidget* matches = c.f.find<QListWidget>("ListBox3");
    int row = -1;
    for (int i = 0; i < matches->count() && row < 0; ++i)
        if (matches->item(i)->text().section('\t', 1, 1) == reference)
            row = i;
    QVERIFY2(row >= 0, qPrintable(reference + " in " + itemTexts(matches).join('|')));
    matches->setCurrentRow(row);
    const qsizetype before = c.f.logMark();
    pressKey(matches, Qt::Key_Return);
    const QStringList sent = c.f.requestsOf("GetSearchByCrossrefAndBrand", before);
    QCOMPARE(sent.size(), 1);
    QVERIFY2(sent.first().contains("&search=" + reference), qPrintable(sent.first()));
    QVERIFY2(!c.f.logged("NOT ANSWER"), qPrintable(c.w().context().log->lines().join('\n')));
    QVERIFY(c.productNodes() > 0);
    bool listed = false;
    for (const ProductRecord& r : c.productRows())
        listed = listed || r.reference == reference;
    QVERIFY(listed);
}

void TestCatalogBrowsing::enterWithHistoryShownStillSearches_data() {
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QString>("function");
    QTest::newRow("cross reference") << "ComboBox1"
                                     << "getSearchByCrossref";
    QTest::newRow("product name") << "ComboBox10"
                                  << "getSearchArticleByNameForCar";
}

void TestCatalogBrowsing::enterWithHistoryShownStillSearches() {
    QFETCH(QString, boxName);
    QFETCH(QString, function);
    Catalog c(standInEndpoints());
    c.selectVehicle(c.sampleTypid());
    c.w().showPage("PAGEPRODUCT");
    c.openSearchSection();
    auto* box = c.f.find<QComboBox>(qPrintable(boxName));
    box->addItem("earlier word");

    // Typing opens the earlier words; Enter goes to that list, and must still search.
    typeInto(box, "second");
    QWidget* history = box->completer()->popup();
    QVERIFY(history->isVisible());
    const qsizetype before = c.f.logMark();
    pressKey(Qt::Key_Return);
    const QStringList sent = c.f.requestsOf(function, before);
    QCOMPARE(sent.size(), 1);
    QVERIFY2(sent.first().contains("search=second&"), qPrintable(sent.first()));
    QVERIFY(!history->isVisible());
}

void TestCatalogBrowsing::filterIgnoresLetterCase() {
    Catalog c(standInEndpoints());
    c.selectVehicleAndBuildTrees();
    c.listFirstTradeGroup();
    const QList<ProductRecord> rows = c.productRows();
    const QString brand = rows.first().brand;
    auto* filter = c.f.find<QLineEdit>("Edit15");
    const int all = c.productNodes();

    filter->setText("ab");
    pressKey(filter, Qt::Key_Return);
    QCOMPARE(c.f.dialogs.texts(), QStringList{"Search word is empty or less 3 symbols !!!"});
    QCOMPARE(c.productNodes(), all);

    for (const QString& typed : {brand.toUpper(), brand.toLower()}) {
        filter->setText(typed);
        pressKey(filter, Qt::Key_Enter, Qt::KeypadModifier);
        int expected = 0;
        for (const ProductRow& r : ProductRows(rows))
            expected += productMatchesFilter(r, LocaleFormats::toLower(typed));
        QVERIFY(expected > 0);
        QCOMPARE(c.productNodes(), expected);
    }
    QCOMPARE(c.f.find<QListWidget>("ListBox1")->count() > 0, true);

    filter->setText("zzzqqq");
    pressKey(filter, Qt::Key_Return);
    QCOMPARE(c.productNodes(), 0);
    QCOMPARE(c.f.dialogs.shown().size(), 1);

    // Pointing at the box selects its text, so typing replaces it.
    filter->deselect();
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(filter, &enter);
    QCOMPARE(filter->selectedText(), "zzzqqq");
}

void TestCatalogBrowsing::filterFollowsTyping() {
    Catalog c(standInEndpoints());
    c.selectVehicleAndBuildTrees();
    c.listFirstTradeGroup();
    const QList<ProductRecord> rows = c.productRows();
    auto* filter = c.f.find<QLineEdit>("Edit15");
    // The hint is no text of the box: what the user types is all there is.
    QCOMPARE(filter->text(), QString());
    QCOMPARE(filter->placeholderText(), "search in list by any value and text");
    const int all = c.productNodes();
    const auto matching = [&](const QString& typed) {
        int n = 0;
        for (const ProductRow& r : ProductRows(rows))
            n += productMatchesFilter(r, LocaleFormats::toLower(typed));
        return n;
    };
    const QString brand = rows.first().brand.toLower();
    QVERIFY(matching(brand) < all || rows.size() == 1);

    clickOnScreen(filter);
    QCOMPARE(QApplication::focusWidget(), filter);
    typeText(brand.left(2));
    QTest::qWait(600); // two letters narrow nothing and say nothing
    QCOMPARE(c.productNodes(), all);
    typeText(brand.mid(2));
    QCOMPARE(filter->text(), brand);
    QTRY_COMPARE(c.productNodes(), matching(brand));
    QVERIFY(c.f.dialogs.shown().isEmpty());

    // Emptied, the box gives the whole list back.
    typeIntoFocus("");
    QTRY_COMPARE(c.productNodes(), all);

    // Enter does not wait for the pause.
    const QString reference = rows.last().reference;
    typeIntoFocus(reference);
    pressKey(Qt::Key_Return);
    QCOMPARE(c.productNodes(), matching(reference));
    QTest::qWait(600);
    QCOMPARE(c.productNodes(), matching(reference));
    QVERIFY(c.f.dialogs.shown().isEmpty());
}

void TestCatalogBrowsing::searchesTellAStoppedServiceFromNothingFound_data() {
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("running");
    QTest::addColumn<QStringList>("messages");
    const QStringList noAnswer{QString::fromLatin1(kCatalogNoAnswer)};
    QTest::newRow("K-type, stopped") << "ComboBox4"
                                     << "10010" << false << noAnswer;
    QTest::newRow("K-type, unknown") << "ComboBox4"
                                     << "99999" << true << QStringList{"Car with set k-type value is not found !!!"};
    QTest::newRow("KBA, stopped") << "ComboBox3"
                                  << "0588AKA" << false << noAnswer;
    QTest::newRow("KBA, unknown") << "ComboBox3"
                                  << "0000XXX" << true << QStringList{"Car with set KBA number is not found !!!"};
    QTest::newRow("MIME, stopped") << "ComboBox2"
                                   << "481516" << false << noAnswer;
    QTest::newRow("MIME, unknown") << "ComboBox2"
                                   << "99 99+99" << true << QStringList{"Car with set MIME number is not found !!!"};
    QTest::newRow("cross reference, stopped") << "ComboBox1"
                                              << "GDB1385" << false << noAnswer;
    QTest::newRow("cross reference, unknown") << "ComboBox1"
                                              << "NO-SUCH-99" << true << QStringList{};
    QTest::newRow("name, stopped") << "ComboBox10"
                                   << "disc" << false << noAnswer;
    QTest::newRow("name, unknown") << "ComboBox10"
                                   << "zzqqxx" << true << QStringList{};
}

void TestCatalogBrowsing::searchesTellAStoppedServiceFromNothingFound() {
    QFETCH(QString, boxName);
    QFETCH(QString, typed);
    QFETCH(bool, running);
    QFETCH(QStringList, messages);
    auto service = std::make_unique<DemoService>();
    QVERIFY2(service->isRunning(), qPrintable(service->error()));
    Catalog c(endpointsOf(*service));
    c.openSearchSection();
    if (boxName == "ComboBox10") {
        // The name search needs a vehicle: the user finds one while the service still answers.
        typeInto(c.f.find<QComboBox>("ComboBox4"), "10010");
        pressKey(Qt::Key_Return);
        QVERIFY(c.cascade()->selectedTypid() > 0);
        c.openSearchSection();
    }
    if (!running)
        service.reset();
    c.f.dialogs.clear();
    const qsizetype mark = c.f.logMark();
    typeInto(c.f.find<QComboBox>(boxName), typed);
    pressKey(Qt::Key_Return);
    QCOMPARE(c.f.dialogs.texts(), messages);
    QVERIFY(c.f.requestsSince(mark).size() >= 1);
    // The note beside the log title stays the short word of a failed exchange.
    auto* note = c.f.find<QLabel>("logNote");
    QCOMPARE(!note->isHidden() && note->text() == "No answer from the catalog service", !running);
}

void TestCatalogBrowsing::listFileHoldsAllProducts() {
    Catalog c(standInEndpoints());
    click(c.f.find<QToolButton>("SpeedButton51")); // nothing listed: no file
    QVERIFY(c.f.desktop.opened().isEmpty());

    c.selectVehicleAndBuildTrees();
    c.listFirstTradeGroup();
    auto* filter = c.f.find<QLineEdit>("Edit15");
    filter->setText(c.productRows().first().reference);
    pressKey(filter, Qt::Key_Return); // the file ignores the filter
    click(c.f.find<QToolButton>("SpeedButton51"));

    const QString path = c.f.folders.workingFile("ListProducts.txt");
    QCOMPARE(c.f.desktop.opened(), QStringList{path});
    const QByteArray bytes = readBytes(path);
    const QStringList lines = productListFileLines(c.w().productTable().rows());
    QVERIFY(lines.size() >= 5 * c.productRows().size());
    QCOMPARE(bytes, LocaleFormats::encodeAnsi(lines.join("\r\n") + "\r\n"));
    QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
}

void TestCatalogBrowsing::unwritableListFileIsReportedAndNotOpened() {
    Catalog c(standInEndpoints());
    c.selectVehicleAndBuildTrees();
    c.listFirstTradeGroup();
    QVERIFY(QDir(c.f.folders.workingDir()).mkdir("ListProducts.txt"));
    c.list->SpeedButton51Click();
    QCOMPARE(c.f.dialogs.shown().size(), 1);
    QCOMPARE(c.f.dialogs.shown().first().kind, ScriptedDialogs::Kind::Error);
    QVERIFY(c.f.desktop.opened().isEmpty());
}

// A line longer than the tree is wide scrolls sideways, is cut in its middle where it must be,
// and shows whole as tool tip.
void TestCatalogBrowsing::longProductLinesShowWhole() {
    WindowFixture f;
    f.showActive();
    f.window().showPage("PAGEPRODUCT");
    ProductRecord p;
    p.artid = 7;
    p.brand = "BOSCH";
    p.reference = "0 986 494 524";
    p.name = "Brake Pad Set, disc brake not prepared for wear warning contact, with piston clip " + QString(80, 'x');
    p.status = "Normal";
    f.find<ProductList>({})->ShowProductList(QList{p});
    auto* tree = f.find<QTreeView>("TreeView3");
    QApplication::processEvents();
    const QModelIndex node = topLevelNode(tree, 0);
    QVERIFY(nodeText(node).endsWith("BOSCH 0 986 494 524"));
    QCOMPARE(node.data(Qt::ToolTipRole).toString(), nodeText(node));
    QCOMPARE(tree->textElideMode(), Qt::ElideMiddle);
    QVERIFY(tree->columnWidth(0) > tree->viewport()->width());
    QVERIFY(tree->horizontalScrollBar()->maximum() > 0);
}

QTEST_MAIN(TestCatalogBrowsing)
#include "tst_catalogbrowsing.moc"
