#include "catalog/producttable.h"
#include "platform/widgets.h"
#include "pricing/gridrows.h"
#include "pricing/productdetails.h"
#include "pricing/productinfo.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QTest>
#include <QToolButton>

class TestProductDetails : public QObject {
    Q_OBJECT
private slots:
    void detailLines_data();
    void detailLines();
    void crossReferencesGroupByBrandIgnoringCase_data();
    void crossReferencesGroupByBrandIgnoringCase();
    void applicabilityKeepsEachLineOnce_data();
    void applicabilityKeepsEachLineOnce();
    void cachedSectionsShowOneMemoLinePerStoredLine();
    void pictureBrowsingWraps_data();
    void pictureBrowsingWraps();
    void onePictureCannotBeBrowsed();
    void deleteOnlyProductRowsWithTestCell_data();
    void deleteOnlyProductRowsWithTestCell();
    void exportFileNamesDoNotRepeat();
    void pictureOpensLargerInsideTheProgram();
};

namespace {

ProductRecord product(const QString& criteries, const QString& terms) {
    ProductRecord p;
    p.artid = 7;
    p.brand = "BOSCH";
    p.reference = " 0 986 ";
    p.name = "Brake Disc";
    p.status = "Normal";
    p.criteries = criteries;
    p.termsofuse = terms;
    return p;
}

TCrossRefRec cross(const QString& brand, const QString& number) {
    return {brand, number};
}

TTypeRec type(const QString& name, const QString& start, const QString& end) {
    TTypeRec t;
    t.fullnametypecar = name;
    t.pconstart = start;
    t.pconend = end;
    return t;
}

} // namespace

void TestProductDetails::detailLines_data() {
    QTest::addColumn<QString>("criteries");
    QTest::addColumn<QString>("terms");
    QTest::addColumn<QStringList>("tail");
    QTest::newRow("neither") << ""
                             << "" << QStringList{};
    QTest::newRow("blank ones count as none") << " \t"
                                              << "\r\n " << QStringList{};
    QTest::newRow("terms only") << ""
                                << "only with ABS"
                                << QStringList{"--------------", "      ", "Terms Of use: only with ABS"};
    QTest::newRow("criteries only") << "Width: 20"
                                    << "" << QStringList{"--------------", "Criteries: Width: 20"};
    QTest::newRow("both, values untrimmed")
        << " Width: 20"
        << "rear " << QStringList{"--------------", "Criteries:  Width: 20", "      ", "Terms Of use: rear "};
}

void TestProductDetails::detailLines() {
    QFETCH(QString, criteries);
    QFETCH(QString, terms);
    QFETCH(QStringList, tail);
    const QStringList head{"Brand: BOSCH", "Reference:  0 986 ", "Name: Brake Disc", "Status: Normal"};
    QCOMPARE(productDetailLines(product(criteries, terms)), head + tail);
}

void TestProductDetails::crossReferencesGroupByBrandIgnoringCase_data() {
    QTest::addColumn<QList<TCrossRefRec>>("records");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << QList<TCrossRefRec>{} << "";
    QTest::newRow("brands differing in case merge under the first spelling")
        << QList<TCrossRefRec>{cross("A", "1"), cross("B", "2"), cross("a", "3")} << "A : 1, 3\r\nB : 2";
    QTest::newRow("numbers keep answer order")
        << QList<TCrossRefRec>{cross("VAG", "9"), cross("VAG", "1"), cross("vag", "5")} << "VAG : 9, 1, 5";
    QTest::newRow("result is trimmed") << QList<TCrossRefRec>{cross(" ATE", "1 ")} << "ATE : 1";
}

void TestProductDetails::crossReferencesGroupByBrandIgnoringCase() {
    QFETCH(QList<TCrossRefRec>, records);
    QFETCH(QString, text);
    QCOMPARE(groupCrossReferences(records), text);
}

void TestProductDetails::applicabilityKeepsEachLineOnce_data() {
    QTest::addColumn<QList<TTypeRec>>("records");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << QList<TTypeRec>{} << "";
    QTest::newRow("same line in other case kept once, first spelling")
        << QList<TTypeRec>{type("AUDI A4 1.6", "2000/11", "2004/12"), type("BMW 3", "1998/01", ""),
                           type("audi a4 1.6", "2000/11", "2004/12")}
        << "AUDI A4 1.6 [2000/11 - 2004/12]\r\nBMW 3 [1998/01 - ]";
    QTest::newRow("other dates make another line")
        << QList<TTypeRec>{type("AUDI A4", "2000/11", ""), type("AUDI A4", "2001/01", "")}
        << "AUDI A4 [2000/11 - ]\r\nAUDI A4 [2001/01 - ]";
}

void TestProductDetails::applicabilityKeepsEachLineOnce() {
    QFETCH(QList<TTypeRec>, records);
    QFETCH(QString, text);
    QCOMPARE(distinctApplicability(records), text);
}

void TestProductDetails::cachedSectionsShowOneMemoLinePerStoredLine() {
    QCOMPARE(crossReferenceSection(" \r\n"), QStringList{});
    QCOMPARE(applicabilitySection(""), QStringList{});
    QCOMPARE(crossReferenceSection("A : 1, 3\r\nB : 2"),
             (QStringList{"--------------", "Cross-reference numbers: ", "      ", "A : 1, 3", "B : 2"}));
    QCOMPARE(applicabilitySection("X [2000/01 - ]"),
             (QStringList{"--------------", "Aplicability (there are limitation for show first 2000 types of cars): ",
                          "      ", "X [2000/01 - ]"}));
}

void TestProductDetails::pictureBrowsingWraps_data() {
    QTest::addColumn<QString>("moves");
    QTest::addColumn<QList<int>>("shown");
    QTest::newRow("next wraps from last to first") << "nnn" << QList<int>{2, 3, 1};
    QTest::newRow("previous wraps from first to last") << "ppp" << QList<int>{3, 2, 1};
    QTest::newRow("mixed") << "npnn" << QList<int>{2, 1, 2, 3};
}

void TestProductDetails::pictureBrowsingWraps() {
    QFETCH(QString, moves);
    QFETCH(QList<int>, shown);
    PictureCursor cursor;
    cursor.reset(3);
    QVERIFY(cursor.canBrowse());
    QCOMPARE(cursor.shown(), 1);
    QList<int> seen;
    for (const QChar move : moves)
        seen << (move == 'n' ? cursor.next() : cursor.previous());
    QCOMPARE(seen, shown);
    QCOMPARE(cursor.openedNumber(), shown.last());
}

void TestProductDetails::onePictureCannotBeBrowsed() {
    PictureCursor cursor;
    cursor.reset(1);
    QVERIFY(!cursor.canBrowse());
    QCOMPARE(cursor.next(), 1);
    QCOMPARE(cursor.previous(), 1);
    QCOMPARE(cursor.openedNumber(), 1);
    cursor.reset(3);
    cursor.next();
    cursor.reset(0);
    QCOMPARE(cursor.count(), 0);
    QCOMPARE(cursor.shown(), 1);
}

void TestProductDetails::deleteOnlyProductRowsWithTestCell_data() {
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<int>("currentRow");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("product row") << 4 << 2 << "GDB1385" << true;
    QTest::newRow("empty list") << 2 << 1 << "GDB1385" << false;
    QTest::newRow("title row") << 4 << 0 << "reference" << false;
    QTest::newRow("no current row") << 4 << -1 << "x" << false;
    QTest::newRow("blank test cell") << 4 << 2 << " \t" << false;
    QTest::newRow("empty last row") << 4 << 3 << "" << false;
}

void TestProductDetails::deleteOnlyProductRowsWithTestCell() {
    QFETCH(int, rowCount);
    QFETCH(int, currentRow);
    QFETCH(QString, cell);
    QFETCH(bool, allowed);
    QCOMPARE(mayDeleteGridRow(rowCount, currentRow, cell), allowed);
}

void TestProductDetails::exportFileNamesDoNotRepeat() {
    QCOMPARE(ExportFileName("Comparative list", "20260314-093005", 1), "Comparative list 20260314-093005.xlsx");
    QCOMPARE(ExportFileName("Analysis prices", "20260314-093005", 2), "Analysis prices 20260314-093005 (2).xlsx");
}

void TestProductDetails::pictureOpensLargerInsideTheProgram() {
    WindowFixture f(standInEndpoints());
    f.signIn();
    f.showActive();
    // The user's road to a product with three pictures: its cross reference, the match, the product.
    click(f.find<QLabel>("Label12"));
    typeInto(f.find<QComboBox>("ComboBox1"), "GDB1385");
    pressKey(Qt::Key_Return);
    auto* matches = f.find<QListWidget>("ListBox3");
    QVERIFY(clickListItem(matches, itemTexts(matches).value(0)));
    pressKey(Qt::Key_Return);
    auto* tree = f.find<QTreeView>("TreeView3");
    QVERIFY(topLevelCount(tree) > 0);
    clickNode(tree, topLevelNode(tree, 0));
    auto* image = f.find<QLabel>("Image1");
    QVERIFY(!image->isHidden());
    QVERIFY(!image->pixmap().isNull());
    const QStringList urls = f.find<ProductInfo>({})->imageUrls();
    QVERIFY(urls.size() > 1);
    click(f.find<QToolButton>("SpeedButton30")); // the second picture

    const auto viewer = [&] { return f.window().findChild<QDialog*>("pictureViewer"); };
    QTest::mouseDClick(image, Qt::LeftButton, {}, image->rect().center());
    QVERIFY(viewer() && viewer()->isVisible());
    QCOMPARE(viewer()->windowTitle(), QString("Picture 2/%1").arg(urls.size()));
    auto* large = viewer()->findChild<QLabel*>("largePicture");
    QTRY_VERIFY(!large->pixmap().isNull());
    // Larger than the box beside the tables, and nothing went to the browser.
    QVERIFY(large->pixmap().width() > image->pixmap().width());
    QVERIFY(f.desktop.opened().isEmpty());
    // The window is in front, with the keyboard, so Escape closes it.
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(viewer()));
    pressKey(Qt::Key_Escape);
    QTRY_VERIFY(!viewer() || !viewer()->isVisible());

    // Enter on the picture, once a click has given it the focus.
    f.showActive(); // back in the main window
    clickOnScreen(image);
    QCOMPARE(QApplication::focusWidget(), image);
    pressKey(Qt::Key_Return);
    QVERIFY(viewer() && viewer()->isVisible());
    // The address is still a click away.
    click(viewer()->findChild<QToolButton*>("openPictureAddress"));
    QCOMPARE(f.desktop.opened(), QStringList{urls[1]});
}

QTEST_MAIN(TestProductDetails)
#include "tst_productdetails.moc"
