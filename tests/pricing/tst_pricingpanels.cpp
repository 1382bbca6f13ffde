#include "catalog/productlist.h"
#include "platform/spreadsheetwriter.h"
#include "pricing/comparativelist.h"
#include "pricing/productinfo.h"
#include "pricing/resulttables.h"
#include "pricing/tablegrid.h"
#include "support/answers.h"
#include "support/rawhttpserver.h"
#include "support/windowfixture.h"
#include "vehicle/cascade.h"
#include "xlsxreadback.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

// Sample products of the stand-in catalog: one with one picture, one with three.
constexpr int kOnePicture = 100002;
constexpr int kThreePictures = 100001;
// An id the catalog does not know: no pictures, no cross references, no vehicles.
constexpr int kUnknown = 4242;

class TestPricingPanels : public QObject {
    Q_OBJECT
private slots:

    void refillShowsDetailsAndAsksCachesOnce();
    void refillWithoutProductShowsNothing_data();
    void refillWithoutProductShowsNothing();
    void picturesDownloadAndBrowse_data();
    void picturesDownloadAndBrowse();
    void productWithoutPictures();
    void brokenPicturesLeaveTheRestOfThePanel_data();
    void brokenPicturesLeaveTheRestOfThePanel();
    void laterSelectionWinsOverWaitingRefill();
    void onlyWebPictureAddressesAreOpened_data();
    void onlyWebPictureAddressesAreOpened();

    void insertAddsSelectedProduct();
    void insertOnDetailLineAddsNothing();
    void insertKeepsFirstColumnsInView();
    void productInformationFollowsChoices();

    void deleteRules_data();
    void deleteRules();
    void clearAsksAndTouchesOnlyItsTable_data();
    void clearAsksAndTouchesOnlyItsTable();
    void analysisSubOfferRowsAreNotDeleted();
    void resultTablesStartWithCleanBoxesChecked();

    void exportWritesWorkbookAndOpensIt_data();
    void exportWritesWorkbookAndOpensIt();
    void exportFailuresAreReported();
    void priceTitleSortsNumbersAndExportFollowsTheView();
    void pricesInViewAt1280x800();
};

namespace {

ProductRecord product(int artid, const QString& brand, const QString& reference, const QString& name) {
    ProductRecord p;
    p.artid = artid;
    p.brand = brand;
    p.reference = reference;
    p.name = name;
    p.status = "Normal";
    return p;
}

QList<ProductRecord> sampleProducts() {
    return {product(kOnePicture, "ATE", "24.0122-0185.1", "Brake Disc"),
            product(kThreePictures, "TRW", "GDB1385", "Brake Pad Set"), product(kUnknown, "NOBRAND", "X-1", "Nothing")};
}

// Lists the products as a listing would, every node expanded.
QTreeView* listProducts(WindowFixture& f, const QList<ProductRecord>& products) {
    auto* list = f.find<ProductList>({});
    list->startListing();
    list->ShowProductList(products);
    auto* tree = f.find<QTreeView>("TreeView3");
    tree->expandAll();
    return tree;
}

// A new listing has replaced the table; the tree still shows the nodes it had.
void replaceTableBehindTheTree(WindowFixture& f) {
    const_cast<ProductTable&>(f.window().productTable()).replace({});
}

QModelIndex firstDetail(const QModelIndex& product) {
    return product.model()->index(0, 0, product);
}

QStringList memoLines(WindowFixture& f) {
    return f.find<QPlainTextEdit>("Memo2")->toPlainText().split('\n');
}

ProductList* productList(WindowFixture& f) {
    return f.find<ProductList>({});
}

ProductInfo* infoPanel(WindowFixture& f) {
    return f.find<ProductInfo>({});
}

QByteArray jpegBytes() {
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes;
}

Endpoints onlyCatalog(const QString& catalogUrl) {
    const QString nowhere = QString("http://127.0.0.1:%1").arg(refusingPort());
    Endpoints e;
    e.catalogUrl = catalogUrl;
    e.priceUrl = nowhere + "/";
    e.demoUrl = nowhere + "/";
    e.siteUrl = nowhere;
    e.downloadUrl = nowhere;
    return e;
}

TableGrid* gridNamed(WindowFixture& f, const QString& name) {
    return f.find<TableGrid>(name);
}

void fillGrid(WindowFixture& f, const QString& name, int rows) {
    TableGrid* grid = gridNamed(f, name);
    auto* tables = f.find<ResultTables>({});
    for (int i = 1; i <= rows; ++i) {
        const QString n = QString::number(i);
        if (name == "StringGrid1")
            grid->appendRow(QStringList{"B" + n, "R" + n, "N" + n});
        else if (name == "StringGrid2")
            tables->AppendCompareRow({"B" + n, "R" + n, "N" + n, "shop" + n, n + ".00", "EUR"});
        else
            tables->AppendAnalysisRow({{0, "+"},
                                       {1, "B" + n},
                                       {2, "R" + n},
                                       {3, "N" + n},
                                       {4, "host" + n},
                                       {10, QString::number(grid->rowCount() - 1)}});
    }
}

QStringList column(TableGrid* grid, int c) {
    QStringList texts;
    for (int r = 0; r < grid->rowCount(); ++r)
        texts << grid->cell(r, c);
    return texts;
}

} // namespace

void TestPricingPanels::refillShowsDetailsAndAsksCachesOnce() {
    WindowFixture f(standInEndpoints());
    f.signIn();
    QTreeView* tree = listProducts(f, sampleProducts());
    clickNode(tree, nodeOf(tree, kOnePicture));

    const QStringList lines = memoLines(f);
    QCOMPARE(lines.mid(0, 5), (QStringList{"Brand: ATE", "Reference: 24.0122-0185.1", "Name: Brake Disc",
                                           "Status: Normal", "--------------"}));
    QCOMPARE(lines[5], "Cross-reference numbers: ");
    QCOMPARE(lines[6], "      ");
    const std::optional<ProductRecord> record = f.window().productTable().find(kOnePicture);
    QVERIFY(!record->crossreference.isEmpty());
    QVERIFY(!record->aplicability.isEmpty());
    const QStringList crossLines = record->crossreference.split("\r\n");
    QCOMPARE(lines.mid(7, crossLines.size()), crossLines);
    for (const QString& line : crossLines)
        QVERIFY2(line.contains(" : "), qPrintable(line));
    const int aplicabilityAt = 7 + int(crossLines.size());
    QCOMPARE(lines.mid(aplicabilityAt, 3),
             (QStringList{"--------------",
                          "Aplicability (there are limitation for show first 2000 types of cars): ", "      "}));
    QCOMPARE(lines.mid(aplicabilityAt + 3), record->aplicability.split("\r\n"));
    QVERIFY(QRegularExpression(R"(^.+ \[\d{4}/\d\d - (\d{4}/\d\d)?\]$)").match(lines.last()).hasMatch());
    QCOMPARE(f.requestsOf("getImageForArticle").size(), 1);
    QCOMPARE(f.requestsOf("GetCrossReferencesForArticle").size(), 1);
    QCOMPARE(f.requestsOf("GetTypesForArticle").size(), 1);

    // Another product, then the first again: pictures are fetched anew, the texts come from the cache.
    clickNode(tree, nodeOf(tree, kThreePictures));
    clickNode(tree, nodeOf(tree, kOnePicture));
    QCOMPARE(memoLines(f), lines);
    QCOMPARE(f.requestsOf("getImageForArticle").size(), 3);
    QCOMPARE(f.requestsOf("GetCrossReferencesForArticle").size(), 2);
    QCOMPARE(f.requestsOf("GetTypesForArticle").size(), 2);

    // A key released in the tree refills for the node then selected.
    pressKey(tree, Qt::Key_Down); // onto the detail lines of the first product
    pressKey(Qt::Key_Down);
    pressKey(Qt::Key_Down);
    QCOMPARE(tree->currentIndex(), nodeOf(tree, kThreePictures));
    QCOMPARE(memoLines(f).first(), "Brand: TRW");
}

void TestPricingPanels::refillWithoutProductShowsNothing_data() {
    QTest::addColumn<QString>("selection");
    QTest::newRow("detail line") << "detail";
    QTest::newRow("product no longer in the table") << "gone";
    QTest::newRow("empty tree") << "empty";
}

void TestPricingPanels::refillWithoutProductShowsNothing() {
    QFETCH(QString, selection);
    WindowFixture f(standInEndpoints());
    f.signIn();
    QTreeView* tree = listProducts(f, sampleProducts());
    clickNode(tree, nodeOf(tree, kThreePictures));
    QVERIFY(!f.find<QLabel>("Image1")->isHidden());
    const qsizetype before = f.logMark();

    if (selection == "detail") {
        clickNode(tree, firstDetail(nodeOf(tree, kThreePictures)));
    } else if (selection == "gone") {
        // A new listing without the product, the tree not yet rebuilt.
        const QModelIndex node = nodeOf(tree, kThreePictures);
        replaceTableBehindTheTree(f);
        clickNode(tree, node);
    } else {
        productList(f)->clearViews();
        click(tree->viewport());
    }
    QCOMPARE(f.find<QPlainTextEdit>("Memo2")->toPlainText(), QString());
    QVERIFY(f.find<QLabel>("Image1")->isHidden());
    QVERIFY(!f.find<QToolButton>("SpeedButton30")->isEnabled());
    QVERIFY(!f.find<QToolButton>("SpeedButton31")->isEnabled());
    QCOMPARE(f.logMark(), before);
}

void TestPricingPanels::picturesDownloadAndBrowse_data() {
    QTest::addColumn<int>("artid");
    QTest::addColumn<int>("count");
    QTest::newRow("one picture") << kOnePicture << 1;
    QTest::newRow("three pictures") << kThreePictures << 3;
}

void TestPricingPanels::picturesDownloadAndBrowse() {
    QFETCH(int, artid);
    QFETCH(int, count);
    WindowFixture f(standInEndpoints());
    f.signIn();
    QTreeView* tree = listProducts(f, sampleProducts());
    clickNode(tree, nodeOf(tree, artid));

    ProductInfo* info = infoPanel(f);
    auto* image = f.find<QLabel>("Image1");
    auto* next = f.find<QToolButton>("SpeedButton30");
    auto* previous = f.find<QToolButton>("SpeedButton31");
    QCOMPARE(info->imageUrls().size(), count);
    auto* position = f.find<QLabel>("picturePosition");
    QCOMPARE(position->text(), QString("1/%1").arg(count));
    QVERIFY(!image->isHidden());
    QVERIFY(!image->pixmap().isNull());
    // Scaled to fit the box, proportions kept.
    QVERIFY(image->pixmap().width() <= image->width() && image->pixmap().height() <= image->height());
    for (int n = 1; n <= count; ++n)
        QVERIFY(QFileInfo::exists(f.folders.programFile(QString("img%1.jpg").arg(n))));
    QVERIFY(!QFileInfo::exists(f.folders.programFile(QString("img%1.jpg").arg(count + 1))));
    QCOMPARE(next->isEnabled(), count > 1);
    QCOMPARE(previous->isEnabled(), count > 1);

    if (count > 1) {
        QList<int> shown;
        for (int i = 0; i < 3; ++i) {
            click(next);
            shown << info->pictures().shown();
            QCOMPARE(position->text(), QString("%1/3").arg(shown.last()));
            QVERIFY(!image->pixmap().isNull());
        }
        QCOMPARE(shown, (QList<int>{2, 3, 1}));
        click(previous);
        QCOMPARE(info->pictures().shown(), 3);
    }
    QTest::mouseDClick(image, Qt::LeftButton, {}, image->rect().center());
    click(f.find<QToolButton>("openPictureAddress")); // the larger picture's way to the address
    const int opened = count > 1 ? 3 : 1;
    QCOMPARE(f.desktop.opened(), QStringList{info->imageUrls()[opened - 1]});
    QVERIFY(f.desktop.opened().first().endsWith(QString("/images/%1-%2.jpg").arg(artid).arg(opened)));
}

void TestPricingPanels::productWithoutPictures() {
    WindowFixture f(standInEndpoints());
    f.signIn();
    QTreeView* tree = listProducts(f, sampleProducts());
    clickNode(tree, nodeOf(tree, kUnknown));
    QCOMPARE(memoLines(f), (QStringList{"Brand: NOBRAND", "Reference: X-1", "Name: Nothing", "Status: Normal"}));
    QVERIFY(f.find<QLabel>("Image1")->isHidden());
    infoPanel(f)->Image1DblClick();
    QVERIFY(f.desktop.opened().isEmpty());
    // Nothing came back, so the next selection asks again.
    clickNode(tree, nodeOf(tree, kUnknown));
    QCOMPARE(f.requestsOf("GetCrossReferencesForArticle").size(), 2);
    QCOMPARE(f.requestsOf("GetTypesForArticle").size(), 2);
}

void TestPricingPanels::brokenPicturesLeaveTheRestOfThePanel_data() {
    QTest::addColumn<QByteArray>("firstPicture");
    QTest::addColumn<bool>("firstWritten");
    QTest::newRow("error page with status not OK") << httpReply("404 Not Found", "<html>Not Found</html>") << false;
    QTest::newRow("answer OK but not a picture") << httpReply("200 OK", "<html>Not a picture</html>") << true;
}

void TestPricingPanels::brokenPicturesLeaveTheRestOfThePanel() {
    QFETCH(QByteArray, firstPicture);
    QFETCH(bool, firstWritten);
    RawHttpServer pictures({firstPicture, httpReply("200 OK", jpegBytes())});
    RawHttpServer catalog(
        {httpReply("200 OK", catalogAnswerBytes("getImageForArticle", {{{"pathimage", pictures.url("/p/1.jpg")}},
                                                                       {{"pathimage", pictures.url("/p/2.jpg")}}})),
         httpReply("200 OK",
                   catalogAnswerBytes("GetCrossReferencesForArticle", {{{"brand", "A"}, {"displaynr", "1"}},
                                                                       {{"brand", "B"}, {"displaynr", "2"}},
                                                                       {{"brand", "a"}, {"displaynr", "3"}}})),
         httpReply("200 OK",
                   catalogAnswerBytes("GetTypesForArticle",
                                      {{{"typid", "1"}, {"fullnametypecar", "AUDI A4"}, {"pconstart", "200011"}},
                                       {{"typid", "2"}, {"fullnametypecar", "audi a4"}, {"pconstart", "200011"}}}))});
    WindowFixture f(onlyCatalog(catalog.url("/")));
    f.signIn();
    // An older product's picture under the same name must not show for this one.
    writeBytes(f.folders.programFile("img1.jpg"), jpegBytes());
    QTreeView* tree = listProducts(f, sampleProducts());
    clickNode(tree, nodeOf(tree, kOnePicture));

    auto* image = f.find<QLabel>("Image1");
    QVERIFY(!image->isHidden());
    QVERIFY(image->pixmap().isNull());
    const QByteArray saved = readBytes(f.folders.programFile("img1.jpg"));
    QCOMPARE(saved == jpegBytes(), !firstWritten);
    QVERIFY(!readBytes(f.folders.programFile("img2.jpg")).isEmpty());
    QCOMPARE(memoLines(f).mid(4),
             (QStringList{"--------------", "Cross-reference numbers: ", "      ", "A : 1, 3", "B : 2",
                          "--------------", "Aplicability (there are limitation for show first 2000 types of cars): ",
                          "      ", "AUDI A4 [2000/11 - ]"}));
    // The second picture arrived whole and can be browsed to; back on the first, the box is empty again.
    click(f.find<QToolButton>("SpeedButton30"));
    QVERIFY(!image->pixmap().isNull());
    click(f.find<QToolButton>("SpeedButton30"));
    QVERIFY(image->pixmap().isNull());
}

void TestPricingPanels::laterSelectionWinsOverWaitingRefill() {
    WindowFixture f(standInEndpoints());
    f.signIn();
    QTreeView* tree = listProducts(f, sampleProducts());
    ProductInfo* info = infoPanel(f);
    // The second click arrives while the first refill lets the window process its events.
    bool fired = false;
    QTimer::singleShot(0, info, [&] {
        fired = true;
        clickNode(tree, nodeOf(tree, kOnePicture));
    });
    clickNode(tree, nodeOf(tree, kThreePictures));
    QVERIFY(fired);
    QCOMPARE(memoLines(f).first(), "Brand: ATE");
    QCOMPARE(memoLines(f).count("--------------"), 2);
    QCOMPARE(info->imageUrls().size(), 1);
    QVERIFY(!f.find<QToolButton>("SpeedButton30")->isEnabled());
    QVERIFY(!f.find<QLabel>("Image1")->pixmap().isNull());
}

void TestPricingPanels::onlyWebPictureAddressesAreOpened_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("opened");
    QTest::newRow("web address in capitals") << QString("HTTP://127.0.0.1:%1/p/1.jpg").arg(refusingPort()) << true;
    QTest::newRow("file address") << "file:///etc/hostname" << false;
    QTest::newRow("local program") << "/bin/sh" << false;
    QTest::newRow("other scheme") << "ftp://127.0.0.1/p/1.jpg" << false;
}

void TestPricingPanels::onlyWebPictureAddressesAreOpened() {
    QFETCH(QString, address);
    QFETCH(bool, opened);
    RawHttpServer catalog({httpReply("200 OK", catalogAnswerBytes("getImageForArticle", {{{"pathimage", address}}})),
                           httpReply("404 Not Found", "")});
    WindowFixture f(onlyCatalog(catalog.url("/")));
    f.signIn();
    QTreeView* tree = listProducts(f, sampleProducts());
    clickNode(tree, nodeOf(tree, kOnePicture));
    auto* image = f.find<QLabel>("Image1");
    QVERIFY(!image->isHidden());
    QTest::mouseDClick(image, Qt::LeftButton, {}, image->rect().center());
    click(f.find<QToolButton>("openPictureAddress")); // the larger picture's way to the address
    QCOMPARE(f.desktop.opened(), opened ? QStringList{address} : QStringList{});
}

void TestPricingPanels::insertAddsSelectedProduct() {
    WindowFixture f(standInEndpoints());
    f.signIn();
    QTreeView* tree = listProducts(f, sampleProducts());
    auto* tabs = f.find<QTabWidget>("PageControl1");
    TableGrid* grid = gridNamed(f, "StringGrid1");
    QCOMPARE(grid->rowCount(), 2);

    QCOMPARE(tree->contextMenuPolicy(), Qt::ActionsContextMenu);
    QCOMPARE(tree->actions().size(), 1);
    QAction* add = tree->actions().first();
    QCOMPARE(add->text(), "ADD PRODUCT IN COMPARATIVE LIST");
    QCOMPARE(add->shortcut(), QKeySequence(Qt::Key_Insert));

    f.openPage("PAGEPRODUCT");
    tree->setCurrentIndex(nodeOf(tree, kThreePictures));
    QCOMPARE(tabs->currentIndex(), 0);
    pressKey(tree, Qt::Key_Insert);
    QCOMPARE(tabs->currentIndex(), 1);
    QCOMPARE(grid->rowTexts(),
             (QList<QStringList>{{"brand", "reference", "name"}, {"TRW", "GDB1385", "Brake Pad Set"}, {"", "", ""}}));
    // The product is current, not the empty row below it: START goes on to its question.
    QCOMPARE(grid->currentRow(), 1);
    click(f.find<QToolButton>("SpeedButton32"));
    QCOMPARE(f.dialogs.texts(), QStringList{"START PROCESSING OF PRICES ???"});

    // Added while the empty last row is current: the new row becomes current.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(1, 2)).center());
    QCOMPARE(grid->currentRow(), 2);
    add->trigger();
    QCOMPARE(grid->rowCount(), 4);
    QCOMPARE(grid->rowTexts()[2], grid->rowTexts()[1]);
    QCOMPARE(grid->rowTexts()[3], (QStringList{"", "", ""}));
    QCOMPARE(grid->currentRow(), 2);
}

void TestPricingPanels::insertOnDetailLineAddsNothing() {
    WindowFixture f(standInEndpoints());
    f.signIn();
    QTreeView* tree = listProducts(f, sampleProducts());
    f.openPage("PAGEPRODUCT");
    tree->setCurrentIndex(firstDetail(nodeOf(tree, kOnePicture)));
    pressKey(tree, Qt::Key_Insert);
    QCOMPARE(f.find<QTabWidget>("PageControl1")->currentIndex(), 0);
    QCOMPARE(gridNamed(f, "StringGrid1")->rowCount(), 2);

    // A product node whose product the table no longer holds: the tab switches, nothing is added.
    tree->setCurrentIndex(nodeOf(tree, kOnePicture));
    replaceTableBehindTheTree(f);
    pressKey(tree, Qt::Key_Insert);
    QCOMPARE(f.find<QTabWidget>("PageControl1")->currentIndex(), 1);
    QCOMPARE(gridNamed(f, "StringGrid1")->rowCount(), 2);
}

void TestPricingPanels::insertKeepsFirstColumnsInView() {
    WindowFixture f(standInEndpoints());
    f.signIn();
    QTreeView* tree = listProducts(f, sampleProducts());
    f.openPage("PAGEPRODUCT");
    TableGrid* grid = gridNamed(f, "StringGrid1");
    // The user drags the splitter until the list is narrower than its columns (475 pixels) and
    // shows the start of the name column only.
    auto* split = f.find<QSplitter>("lowerAreaSplitter");
    QTest::qWait(0);
    const int total = split->sizes().value(0) + split->sizes().value(1);
    split->setSizes({total - 400, 400});
    QTRY_VERIFY(grid->isVisible() || f.find<QTabWidget>("PageControl1")->currentIndex() == 0);
    tree->setCurrentIndex(nodeOf(tree, kThreePictures));
    pressKey(tree, Qt::Key_Insert);
    pressKey(tree, Qt::Key_Insert);
    QCOMPARE(grid->rowCount(), 4);
    QVERIFY2(grid->viewport()->width() > 175 && grid->viewport()->width() < 475,
             qPrintable(QString::number(grid->viewport()->width())));
    QCOMPARE(grid->currentColumn(), 2);
    QCOMPARE(grid->horizontalScrollBar()->value(), 0);
    QCOMPARE(grid->columnViewportPosition(0), 0);
}

void TestPricingPanels::productInformationFollowsChoices() {
    WindowFixture f(standInEndpoints());
    f.signIn();
    QTreeView* tree = listProducts(f, sampleProducts());
    f.openPage("PAGEPRODUCT");
    auto* tabs = f.find<QTabWidget>("PageControl1");
    auto* memo = f.find<QPlainTextEdit>("Memo2");

    clickNode(tree, nodeOf(tree, kOnePicture));
    pressKey(tree, Qt::Key_Insert);
    QCOMPARE(tabs->currentIndex(), 1); // the key's release, which refills the panel, leaves the list in front
    clickNode(tree, nodeOf(tree, kThreePictures));
    QCOMPARE(tabs->currentIndex(), 0);
    QVERIFY(memo->toPlainText().contains("Reference: GDB1385"));
    QVERIFY(!f.find<QLabel>("Image1")->isHidden());

    // Another vehicle: the product of the earlier one is no longer shown.
    click(f.find<QLabel>("Label12"));
    auto* kType = f.find<QComboBox>("ComboBox4");
    kType->setEditText("10010");
    pressKey(kType, Qt::Key_Return);
    QCOMPARE(f.window().findChild<VehicleCascade*>()->selectedTypid(), 10010);
    QVERIFY(memo->toPlainText().isEmpty());
    QVERIFY(f.find<QLabel>("Image1")->isHidden());
    QCOMPARE(f.find<QLabel>("picturePosition")->text(), QString());
    QVERIFY(!f.find<QToolButton>("SpeedButton30")->isEnabled());
}

void TestPricingPanels::deleteRules_data() {
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("testColumn");
    QTest::addColumn<bool>("byKey");
    QTest::newRow("comparative list") << "StringGrid1"
                                      << "SpeedButton41" << 1 << false;
    QTest::newRow("comparison table") << "StringGrid2"
                                      << "SpeedButton45" << 1 << false;
    QTest::newRow("analysis table") << "StringGrid3"
                                    << "SpeedButton47" << 1 << false;
    QTest::newRow("comparative list, Delete key") << "StringGrid1"
                                                  << "SpeedButton41" << 1 << true;
    QTest::newRow("comparison table, Delete key") << "StringGrid2"
                                                  << "SpeedButton45" << 1 << true;
    QTest::newRow("analysis table, Delete key") << "StringGrid3"
                                                << "SpeedButton47" << 1 << true;
}

void TestPricingPanels::deleteRules() {
    QFETCH(QString, grid);
    QFETCH(QString, button);
    QFETCH(int, testColumn);
    QFETCH(bool, byKey);
    WindowFixture f(standInEndpoints());
    f.signIn();
    TableGrid* g = gridNamed(f, grid);
    auto* deleteButton = f.find<QToolButton>(button);
    if (byKey) {
        f.openPage("PAGEPRODUCT");
        auto* tabs = f.find<QTabWidget>("PageControl1");
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->widget(i)->isAncestorOf(g))
                tabs->setCurrentIndex(i);
    }
    // The button, or the Delete key in the grid.
    const auto del = [&] {
        if (byKey)
            pressKey(g, Qt::Key_Delete);
        else
            click(deleteButton);
    };

    // Refused silently: empty list, title row, empty last row, blank test cell.
    g->setCurrentCell(1, 2);
    del();
    fillGrid(f, grid, 3);
    const QList<QStringList> full = g->rowTexts();
    g->setCell(2, testColumn, " ");
    g->setCurrentCell(2, 2);
    del();
    // The title row never becomes current.
    g->setCurrentCell(0, 2);
    QCOMPARE(g->currentRow(), 2);
    del();
    g->setCurrentCell(4, 2);
    QCOMPARE(g->currentRow(), 4);
    del();
    QVERIFY2(f.dialogs.shown().isEmpty(), qPrintable(f.dialogs.texts().join('|')));
    g->setCell(2, testColumn, full[2][testColumn]);

    // No keeps the row, Yes removes it and the rows below move up.
    g->setCurrentCell(1, 2);
    f.dialogs.setNextAnswer(false);
    del();
    QCOMPARE(f.dialogs.lastText(), "Delete selected line ???");
    QCOMPARE(g->rowTexts(), full);
    f.dialogs.setNextAnswer(true);
    del();
    QCOMPARE(f.dialogs.shown().size(), 2);
    QCOMPARE(g->rowCount(), 4);
    QCOMPARE(g->rowTexts(), (QList<QStringList>{full[0], full[2], full[3], full[4]}));
}

void TestPricingPanels::clearAsksAndTouchesOnlyItsTable_data() {
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("question");
    QTest::newRow("comparative list") << "StringGrid1"
                                      << "SpeedButton38"
                                      << "Clean full list ???";
    QTest::newRow("comparison table") << "StringGrid2"
                                      << "SpeedButton44"
                                      << "Clean full list in table compare prices ???";
    QTest::newRow("analysis table") << "StringGrid3"
                                    << "SpeedButton46"
                                    << "Clean full list in table analiz prices ???";
}

void TestPricingPanels::clearAsksAndTouchesOnlyItsTable() {
    QFETCH(QString, grid);
    QFETCH(QString, button);
    QFETCH(QString, question);
    WindowFixture f(standInEndpoints());
    f.signIn();
    for (const QString name : {"StringGrid1", "StringGrid2", "StringGrid3"})
        fillGrid(f, name, 2);
    auto* clear = f.find<QToolButton>(button);
    f.dialogs.setNextAnswer(false);
    click(clear);
    QCOMPARE(f.dialogs.lastText(), question);
    QCOMPARE(f.dialogs.shown().last().confirmation, Confirmation::Destructive);
    QCOMPARE(gridNamed(f, grid)->rowCount(), 4);
    f.dialogs.setNextAnswer(true);
    click(clear);
    for (const QString name : {"StringGrid1", "StringGrid2", "StringGrid3"}) {
        TableGrid* g = gridNamed(f, name);
        QCOMPARE(g->rowCount(), name == grid ? 2 : 4);
        QVERIFY(!g->cell(0, 1).isEmpty());
        QCOMPARE(g->rowTexts().last(), QStringList(g->columnCount(), QString()));
    }
}

void TestPricingPanels::analysisSubOfferRowsAreNotDeleted() {
    WindowFixture f(standInEndpoints());
    f.signIn();
    auto* tables = f.find<ResultTables>({});
    TableGrid* g = gridNamed(f, "StringGrid3");
    auto addMain = [&](const QString& brand) {
        const int row = g->rowCount() - 1;
        return tables->AppendAnalysisRow({{0, "+"}, {1, brand}, {2, "R"}, {4, "host"}, {10, QString::number(row)}});
    };
    QCOMPARE(addMain("ATE"), 1);
    QCOMPARE(tables->AppendAnalysisRow({{4, "other"}, {7, "9.99"}}), 2);
    QCOMPARE(addMain("TRW"), 3);

    g->setCurrentCell(2, 4);
    click(f.find<QToolButton>("SpeedButton47"));
    QVERIFY(f.dialogs.shown().isEmpty());
    g->setCurrentCell(1, 4);
    f.dialogs.setNextAnswer(true);
    click(f.find<QToolButton>("SpeedButton47"));
    QCOMPARE(column(g, 1), (QStringList{"brand", "", "TRW", ""}));
    QCOMPARE(column(g, 4), (QStringList{"shop", "other", "host", ""}));
    // The id keeps the index the row had when it was added.
    QCOMPARE(g->cell(2, 10), "3");
}

void TestPricingPanels::resultTablesStartWithCleanBoxesChecked() {
    WindowFixture f(standInEndpoints());
    f.signIn();
    for (const char* name : {"CheckBox5", "CheckBox6"}) {
        auto* box = f.find<QCheckBox>(name);
        QVERIFY(box->isChecked());
        QCOMPARE(box->text(), "Clean list for each new export");
        box->setChecked(false);
    }
    QVERIFY(f.window().close());
    f.destroy();
    f.signIn();
    QVERIFY(f.find<QCheckBox>("CheckBox5")->isChecked());
    QVERIFY(f.find<QCheckBox>("CheckBox6")->isChecked());
}

void TestPricingPanels::exportWritesWorkbookAndOpensIt_data() {
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("contents");
    QTest::addColumn<int>("numbers"); // cells written as numbers: prices, ids
    QTest::newRow("comparative list") << "StringGrid1"
                                      << "SpeedButton33"
                                      << "Comparative list" << 0;
    QTest::newRow("comparison table") << "StringGrid2"
                                      << "SpeedButton43"
                                      << "Compare prices" << 2;
    QTest::newRow("analysis table") << "StringGrid3"
                                    << "SpeedButton49"
                                    << "Analysis prices" << 2;
}

void TestPricingPanels::exportWritesWorkbookAndOpensIt() {
    QFETCH(QString, grid);
    QFETCH(QString, button);
    QFETCH(QString, contents);
    QFETCH(int, numbers);
    const ScratchHome home;
    const QString folder = home.dir.filePath("Documents/Velmora");
    WindowFixture f(standInEndpoints());
    f.signIn();
    fillGrid(f, grid, 2);
    TableGrid* g = gridNamed(f, grid);
    g->setCell(1, 2, QString::fromUtf8("Bremsscheibe <vorn> & \"hinten\" 0042"));
    click(f.find<QToolButton>(button));
    QCOMPARE(f.desktop.opened().size(), 1);
    const QString path = f.desktop.opened().first();
    QCOMPARE(QFileInfo(path).absolutePath(), folder);
    const QString name = QFileInfo(path).fileName();
    QVERIFY2(name.startsWith(contents + " "), qPrintable(path));
    // One box says where the file stays, with the way to its folder.
    QCOMPARE(f.dialogs.shown().size(), 1);
    QCOMPARE(f.dialogs.shown().first().kind, ScriptedDialogs::Kind::InformationWithAction);
    QCOMPARE(f.dialogs.shown().first().title, "Open folder");
    QCOMPARE(f.dialogs.lastText(),
             "The file \"" + name + "\" is saved in folder :\r\n" + QDir::toNativeSeparators(folder));
    QVERIFY(f.logged(contents + " exported to " + QDir::toNativeSeparators(path)));

    const SheetContent sheet = ReadXlsx(path);
    QVERIFY2(sheet.error.isEmpty(), qPrintable(sheet.error));
    QCOMPARE(sheet.rowCount, 4);
    int numberCells = 0;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < g->columnCount(); ++c) {
            const SheetCell cell = sheet.cell(r, c);
            if (cell.type.isEmpty() && !cell.text.isEmpty()) { // an amount, written as a number
                QVERIFY(SpreadsheetWriter::isAmountTitle(g->cell(0, c)));
                QCOMPARE(cell.text.toDouble(), g->cell(r, c).toDouble());
                ++numberCells;
            } else {
                QCOMPARE(cell.text, g->cell(r, c));
            }
            QCOMPARE(cell.bold, r == 0);
            QCOMPARE(cell.bottom, r == 0 ? "medium" : "thin");
            QCOMPARE(cell.left, r == 0 ? "medium" : "thin");
        }
    }
    QCOMPARE(numberCells, numbers);
    QCOMPARE(sheet.text(0, 1), grid == "StringGrid3" ? "brand" : "reference");

    // A second export in the same second gets a file of its own; the action opens the folder.
    f.dialogs.setNextAnswer(true);
    click(f.find<QToolButton>(button));
    QCOMPARE(f.desktop.opened().size(), 3);
    QVERIFY(f.desktop.opened()[1] != path);
    QCOMPARE(f.desktop.opened()[2], folder);
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);
}

void TestPricingPanels::exportFailuresAreReported() {
    const ScratchHome home;
    WindowFixture f(standInEndpoints());
    f.signIn();
    fillGrid(f, "StringGrid1", 1);

    // Nothing opens the file: it stays, and the one box says so.
    f.desktop.setResult(false);
    click(f.find<QToolButton>("SpeedButton33"));
    QCOMPARE(f.desktop.opened().size(), 1);
    const QString path = f.desktop.opened().first();
    QVERIFY(QFileInfo(path).isFile());
    QCOMPARE(f.dialogs.shown().size(), 1);
    QCOMPARE(f.dialogs.shown().first().kind, ScriptedDialogs::Kind::InformationWithAction);
    QCOMPARE(f.dialogs.lastText(), "No program could open the file \"" + QFileInfo(path).fileName() +
                                       "\". It is saved in folder :\r\n" +
                                       QDir::toNativeSeparators(QFileInfo(path).absolutePath()));

    // A file where the export folder should be: nothing is written or opened, and the user is told why.
    f.desktop.setResult(true);
    f.desktop.clear();
    f.dialogs.clear();
    const ScratchHome blocked;
    QVERIFY(QDir(blocked.dir.path()).mkpath("Documents"));
    writeBytes(blocked.dir.filePath("Documents/Velmora"), "x");
    click(f.find<QToolButton>("SpeedButton33"));
    QVERIFY2(f.desktop.opened().isEmpty(), qPrintable(f.desktop.opened().join('|')));
    QCOMPARE(f.dialogs.shown().size(), 1);
    QCOMPARE(f.dialogs.shown().first().kind, ScriptedDialogs::Kind::Error);
    QCOMPARE(f.dialogs.lastText(), "The export was not saved: Could not create the folder \"" +
                                       QDir::toNativeSeparators(blocked.dir.filePath("Documents/Velmora")) + "\"");
}

void TestPricingPanels::priceTitleSortsNumbersAndExportFollowsTheView() {
    const ScratchHome home;
    WindowFixture f(standInEndpoints());
    f.signIn();
    f.openPage("PAGEPRODUCT");
    auto* tabs = f.find<QTabWidget>("PageControl1");
    tabs->setCurrentIndex(2);
    auto* tables = f.find<ResultTables>({});
    const QStringList prices{"10.00", "9,50", "100", "on request", "", "1 250,00", "-2"};
    for (int i = 0; i < prices.size(); ++i)
        tables->AppendCompareRow({"TRW", QString("R%1").arg(i), "Pad", "shop", prices[i], "EUR"});
    TableGrid* g = gridNamed(f, "StringGrid2");
    QHeaderView* header = g->horizontalHeader();
    const QPoint priceTitle(header->sectionViewportPosition(4) + header->sectionSize(4) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, priceTitle);
    QCOMPARE(column(g, 4), (QStringList{"price", "-2", "9,50", "10.00", "100", "1 250,00", "on request", "", ""}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, priceTitle);
    QCOMPARE(column(g, 4), (QStringList{"price", "on request", "1 250,00", "100", "10.00", "9,50", "-2", "", ""}));

    // Rows that arrive later take their place in the order shown.
    tables->AppendCompareRow({"TRW", "R7", "Pad", "shop", "50", "EUR"});
    QCOMPARE(column(g, 4).mid(0, 6), (QStringList{"price", "on request", "1 250,00", "100", "50", "10.00"}));

    // The workbook holds the rows as shown.
    click(f.find<QToolButton>("SpeedButton43"));
    QCOMPARE(f.desktop.opened().size(), 1);
    const QString path = f.desktop.opened().first();
    QCOMPARE(QFileInfo(path).absolutePath(), home.dir.filePath("Documents/Velmora"));
    const SheetContent sheet = ReadXlsx(path);
    QVERIFY2(sheet.error.isEmpty(), qPrintable(sheet.error));
    // A plain price is a number cell ("9,50" reads back as 9.5); "1 250,00" stays text.
    for (int r = 0; r < g->rowCount(); ++r) {
        const SheetCell cell = sheet.cell(r, 4);
        if (cell.type.isEmpty() && !cell.text.isEmpty())
            QCOMPARE(cell.text.toDouble(), QString(g->cell(r, 4)).replace(',', '.').toDouble());
        else
            QCOMPARE(cell.text, g->cell(r, 4));
    }

    // Delete removes the row the user sees: the fourth shown, with price 50.
    const QRect shown = g->visualRect(g->model()->index(3, 2));
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, shown.center());
    QCOMPARE(g->currentRow(), 4);
    f.dialogs.setNextAnswer(true);
    pressKey(g, Qt::Key_Delete);
    QCOMPARE(f.dialogs.lastText(), "Delete selected line ???");
    QCOMPARE(column(g, 4).mid(0, 5), (QStringList{"price", "on request", "1 250,00", "100", "10.00"}));
    QCOMPARE(g->rowCount(), 2 + prices.size());
}

void TestPricingPanels::pricesInViewAt1280x800() {
    WindowFixture f(standInEndpoints());
    f.signIn();
    f.window().resize(1280, 800);
    f.openPage("PAGEPRODUCT");
    auto* tabs = f.find<QTabWidget>("PageControl1");
    const QList<std::pair<const char*, QList<int>>> grids{{"StringGrid2", {4, 5}}, {"StringGrid3", {5}}};
    for (const auto& [name, priceColumns] : grids) {
        TableGrid* g = gridNamed(f, name);
        tabs->setCurrentWidget(tabs->widget(QString(name) == "StringGrid2" ? 2 : 3));
        QTest::qWait(0);
        QHeaderView* header = g->horizontalHeader();
        for (int c = 0; c < g->columnCount(); ++c) {
            // Every title can be read whole.
            const int title = header->fontMetrics().horizontalAdvance(g->cell(0, c));
            QVERIFY2(g->columnWidth(c) > title, qPrintable(g->cell(0, c)));
        }
        for (int c : priceColumns)
            QVERIFY2(header->sectionViewportPosition(c) + g->columnWidth(c) <= g->viewport()->width(),
                     qPrintable(QString("%1 %2").arg(name).arg(g->cell(0, c))));
    }
}

QTEST_MAIN(TestPricingPanels)
#include "tst_pricingpanels.moc"
