#include "pricing/pricelines.h"
#include "pricing/tablegrid.h"
#include "support/windowfixture.h"

#include <QTest>

class TestTableGrid : public QObject {
    Q_OBJECT
private slots:
    void newGridHasTitleAndEmptyRow();
    void appendFillsRowBeforeNewLastRow();
    void deleteGridRow_data();
    void deleteGridRow();
    void clearLeavesTwoRows();
    void onlyChosenColumnsCanBeSelected();
};

namespace {

TableGrid* grid(int products) {
    auto* g = new TableGrid("Grid", new PriceLines, {75, 100, 300});
    g->rows()->setParent(g);
    g->setSelectableColumns({0, 1, 2});
    for (int i = 1; i <= products; ++i)
        g->appendRow(QStringList{QString("B%1").arg(i), QString("R%1").arg(i), QString("N%1").arg(i)});
    return g;
}

QStringList references(const TableGrid* g) {
    QStringList texts;
    for (int r = 0; r < g->rowCount(); ++r)
        texts << g->cell(r, 1);
    return texts;
}

} // namespace

void TestTableGrid::newGridHasTitleAndEmptyRow() {
    std::unique_ptr<TableGrid> g(grid(0));
    QCOMPARE(g->rowCount(), 2);
    QCOMPARE(g->rowTexts(), (QList<QStringList>{{"brand", "reference", "name"}, {"", "", ""}}));
    QCOMPARE(g->model()->headerData(2, Qt::Horizontal).toString(), "name");
    QCOMPARE(g->columnWidth(2), 300);
}

void TestTableGrid::appendFillsRowBeforeNewLastRow() {
    std::unique_ptr<TableGrid> g(grid(0));
    QCOMPARE(g->appendRow(QStringList{"ATE", "13.0460", "Disc"}), 1);
    QCOMPARE(g->rowCount(), 3);
    QCOMPARE(g->appendRow(QMap<int, QString>{{2, "Pad"}}), 2);
    QCOMPARE(g->rowTexts(),
             (QList<QStringList>{
                 {"brand", "reference", "name"}, {"ATE", "13.0460", "Disc"}, {"", "", "Pad"}, {"", "", ""}}));
}

void TestTableGrid::deleteGridRow_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("first of three moves the others up") << 1 << QStringList{"reference", "R2", "R3", ""};
    QTest::newRow("middle") << 2 << QStringList{"reference", "R1", "R3", ""};
    QTest::newRow("last product") << 3 << QStringList{"reference", "R1", "R2", ""};
    QTest::newRow("the empty last row stays") << 4 << QStringList{"reference", "R1", "R2", "R3", ""};
    QTest::newRow("out of range changes nothing") << 9 << QStringList{"reference", "R1", "R2", "R3", ""};
}

void TestTableGrid::deleteGridRow() {
    QFETCH(int, row);
    QFETCH(QStringList, left);
    std::unique_ptr<TableGrid> g(grid(3));
    DeleteGridRow(g.get(), row);
    QCOMPARE(references(g.get()), left);
    if (row < 4)
        QCOMPARE(g->currentRow(), std::min(row, g->rowCount() - 1));
}

void TestTableGrid::clearLeavesTwoRows() {
    std::unique_ptr<TableGrid> g(grid(3));
    g->clearRows();
    QCOMPARE(g->rowTexts(), (QList<QStringList>{{"brand", "reference", "name"}, {"", "", ""}}));
    g->appendRow(QStringList{"X", "Y", "Z"});
    QCOMPARE(references(g.get()), (QStringList{"reference", "Y", ""}));
}

void TestTableGrid::onlyChosenColumnsCanBeSelected() {
    std::unique_ptr<TableGrid> g(grid(2));
    g->setSelectableColumns({2});
    QVERIFY(!g->canSelectCell(1, 0));
    QVERIFY(!g->canSelectCell(1, 1));
    QVERIFY(g->canSelectCell(1, 2));
    QVERIFY(!g->canSelectCell(0, 2));
    const auto flags = [&](int row, int column) { return g->model()->index(row - 1, column).flags(); };
    QVERIFY(!(flags(1, 1) & Qt::ItemIsEditable));
    QVERIFY(flags(2, 2) & Qt::ItemIsEditable);
    // Rows added later follow the same rule; the empty last row is never edited.
    g->appendRow(QStringList{"a", "b", "c"});
    QVERIFY(!(flags(3, 0) & Qt::ItemIsSelectable));
    QVERIFY(!(flags(4, 2) & Qt::ItemIsEditable));

    g->resize(600, 300);
    g->show();
    QVERIFY(QTest::qWaitForWindowExposed(g.get()));
    g->setCurrentCell(1, 2);
    const QRect brandCell = g->visualRect(g->model()->index(1, 0)); // grid row 2
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, brandCell.center());
    QCOMPARE(g->currentRow(), 1);
    QCOMPARE(g->currentColumn(), 2);
    const QRect nameCell = g->visualRect(g->model()->index(1, 2));
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, nameCell.center());
    QCOMPARE(g->currentRow(), 2);
    pressKey(g.get(), Qt::Key_Left);
    QCOMPARE(g->currentColumn(), 2);
    pressKey(Qt::Key_Up);
    QCOMPARE(g->currentRow(), 1);
    pressKey(Qt::Key_Up);
    QCOMPARE(g->currentRow(), 1);
}

QTEST_MAIN(TestTableGrid)
#include "tst_tablegrid.moc"
