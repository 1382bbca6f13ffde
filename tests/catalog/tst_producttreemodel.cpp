#include "catalog/producttreemodel.h"
#include "catalog/treeloader.h"
#include "catalog/treetext.h"
#include "service/decoder.h"
#include "support/answers.h"
#include "support/windowfixture.h"

#include <QTest>
#include <QTreeWidget>

Q_DECLARE_METATYPE(ProductRows)

namespace {

ProductRecord product(int artid, const QString& name, const QString& brand = "ATE", const QString& criteries = {},
                      const QString& termsofuse = {}) {
    ProductRecord p;
    p.artid = artid;
    p.braid = 7;
    p.brand = brand;
    p.reference = QString::number(artid) + " / " + brand;
    p.name = name;
    p.status = "Normal";
    p.criteries = criteries;
    p.termsofuse = termsofuse;
    return p;
}

// A long list, with ties, letter case and umlauts spread all over it, keyed into more than one
// block of sort keys.
QList<ProductRecord> longList() {
    const QStringList names{"Bremsscheibe", "bremsscheibe", "Ölfilter", "Oelfilter", "Zündkerze", "Éclairage", "Pad"};
    QList<ProductRecord> rows;
    for (int i = 0; i < 12001; ++i) {
        ProductRecord p = product(i + 1, names.at((i * 7919) % names.size()), i % 3 ? "ATE" : "LEMFÖRDER");
        p.reference = QString::number((i * 104729) % 50); // many equal lines
        rows.append(i % 1000 == 17 ? ProductRecord{} : p);
    }
    return rows;
}

// Products as the service may send them: bytes that are no UTF-8 (shown as U+FFFD), a byte-order
// mark, and the same texts as valid UTF-8 beside them.
ProductRows rawBytesList() {
    const QList<QByteArray> names{"Bremsscheibe",
                                  "Br\xFF"
                                  "emsscheibe",
                                  "\xC3"
                                  "lfilter",
                                  "\xC3\x96lfilter",
                                  "\xEF\xBB\xBF"
                                  "Pad",
                                  "Pad",
                                  "Pad \xE2\x82",
                                  "Pad \xEF\xBF\xBD"};
    QList<AnswerRecord> records;
    for (int i = 0; i < names.size() * 2; ++i)
        records.append({{"artid", QString::number(i + 1)},
                        {"brand", i % 2 ? "ATE" : "@BRAND@"},
                        {"articlenr", QString::number(i % 3)},
                        {"name", QString("@%1@").arg(i % names.size())},
                        {"statusproduct", "Normal"}});
    QByteArray answer = catalogAnswerBytes("GetListArticlesFromTreeCategory", records);
    answer.replace("@BRAND@", "LEMF\xC3\x96RDER\xC0");
    for (qsizetype i = 0; i < names.size(); ++i)
        answer.replace("@" + QByteArray::number(i) + "@", names.at(i));
    return productsFromAnswer(DecodeAnswer<TArticleRec>("GetListArticlesFromTreeCategory", answer));
}

QList<qsizetype> allRows(const ProductRows& rows) {
    QList<qsizetype> all;
    for (qsizetype i = 0; i < rows.size(); ++i)
        all.append(i);
    return all;
}

} // namespace

class TestProductTreeModel : public QObject {
    Q_OBJECT
private slots:
    void sameNodesAsTheItemTree_data();
    void sameNodesAsTheItemTree();
    void chosenRowsOnlyAndClear();
};

void TestProductTreeModel::sameNodesAsTheItemTree_data() {
    QTest::addColumn<ProductRows>("rows");
    const auto row = [](const char* name, const QList<ProductRecord>& records) {
        QTest::newRow(name) << ProductRows(records);
    };
    row("letter case",
        {product(1, "brake disc"), product(2, "Brake disc"), product(3, "BRAKE DISC"), product(4, "Brake Disc")});
    row("locale order, not code order",
        {product(1, "Zündkerze"), product(2, "Ölfilter"), product(3, "Oelfilter"), product(4, "Éclairage"),
         product(5, "Ecrou"), product(6, "zeta"), product(7, "Ä")});
    row("blank criteria and terms",
        {product(1, "Pad", "TRW", "   ", ""), product(2, "Pad", "TRW", "Width: 12", "\t "),
         product(3, "Pad", "TRW", "", "front axle"), product(4, "Pad", "TRW", "Ø 280 mm", "rear axle")});
    row("hidden rows between products",
        {ProductRecord{}, product(5, "Filter"), ProductRecord{}, product(6, "Belt"), ProductRecord{}});
    row("equal lines keep table order", {product(9, "Same", "X"), product(3, "Same", "X"), product(5, "Same", "X")});
    row("tabs and line breaks in texts",
        {product(1, "Line\tone", "A\r\nB", "crit\nx", "terms\ry"), product(2, "Line one")});
    row("a long list", longList());
    QTest::newRow("bytes that are no UTF-8") << rawBytesList();
}

void TestProductTreeModel::sameNodesAsTheItemTree() {
    QFETCH(ProductRows, rows);
    QTreeWidget former;
    QFont bold = former.font();
    bold.setBold(true);
    QList<ProductRow> products;
    for (const ProductRow& row : rows)
        if (row.artid > 0)
            products.append(row);
    LoadTreeText(&former, productTreeLines(rows.withRows(products)), false, &bold);

    ProductTreeModel model;
    model.setProductFont(bold);
    model.show(rows, productLineOrder(rows, allRows(rows)));
    const QStringList nodes = treeNodes(model);
    QVERIFY(nodes.first().endsWith(" bold"));
    QCOMPARE(nodes, treeNodes(*former.model()));
    // Each detail node leads back to its own product, however far down the list.
    for (int row = 0; row < model.rowCount(); ++row) {
        const QModelIndex product = model.index(row, 0);
        const QModelIndex last = model.index(model.rowCount(product) - 1, 0, product);
        QCOMPARE(model.parent(last), product);
        QVERIFY(model.flags(last).testFlag(Qt::ItemNeverHasChildren));
    }
}

void TestProductTreeModel::chosenRowsOnlyAndClear() {
    const ProductRows rows(QList{product(1, "Belt"), ProductRecord{}, product(2, "Alpha"), product(3, "Cable")});
    ProductTreeModel model;
    model.show(rows, productLineOrder(rows, {0, 1, 3}));
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.nodeData(model.index(0, 0)), 1);
    QCOMPARE(model.nodeData(model.index(1, 0)), 3);
    QCOMPARE(model.nodeData(model.index(0, 0, model.index(0, 0))), 0);
    QCOMPARE(model.parent(model.index(1, 0, model.index(1, 0))), model.index(1, 0));
    QCOMPARE(model.data(model.index(1, 0), Qt::ToolTipRole), model.data(model.index(1, 0)));
    model.clear();
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.nodeData(model.index(0, 0)), 0);
}

QTEST_MAIN(TestProductTreeModel)
#include "tst_producttreemodel.moc"
