#include "pricing/resultrows.h"

#include <QAbstractItemModelTester>
#include <QTest>

// The rows behind the grids, without a window.
class TestGridRows : public QObject {
    Q_OBJECT
private slots:
    void sortNumber_data();
    void sortNumber();
    void rowsKeepTheGridsRules();
    void sortedRowsTakeNewRowsInPlaceAndGoBack();
    void analysisMainRowsKeepTheirIndex();
};

void TestGridRows::sortNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");
    QTest::addColumn<bool>("isNumber");
    QTest::newRow("point") << "12.50" << 12.5 << true;
    QTest::newRow("comma") << " 12,50 " << 12.5 << true;
    QTest::newRow("grouped with blanks") << "1 234,5" << 1234.5 << true;
    QTest::newRow("grouped with points") << "1.234,50" << 1234.5 << true;
    QTest::newRow("grouped with commas") << "1,234,567" << 1234567.0 << true;
    QTest::newRow("negative") << "-3" << -3.0 << true;
    QTest::newRow("currency after it") << "12.50 EUR" << 0.0 << false;
    QTest::newRow("blank") << "  " << 0.0 << false;
    QTest::newRow("not finite") << "1e999" << 0.0 << false;
}

void TestGridRows::sortNumber() {
    QFETCH(QString, text);
    QFETCH(double, number);
    QFETCH(bool, isNumber);
    const auto value = SortNumber(text);
    QCOMPARE(value.has_value(), isNumber);
    if (isNumber)
        QCOMPARE(*value, number);
}

void TestGridRows::rowsKeepTheGridsRules() {
    PriceLines lines;
    QAbstractItemModelTester tester(&lines, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(lines.rowCount(), 1); // the empty last row
    lines.appendRows({{"ATE", "13.0460", "Disc"}, {"TRW", "GDB1385"}, {"A", "B", "C", "too many"}});
    QCOMPARE(lines.sheetRows(), (QList<QStringList>{{"brand", "reference", "name"},
                                                    {"ATE", "13.0460", "Disc"},
                                                    {"TRW", "GDB1385", ""},
                                                    {"A", "B", "C"},
                                                    {"", "", ""}}));
    QVERIFY(!lines.setData(lines.index(0, 0), "X")); // only the name is edited
    QVERIFY(lines.setData(lines.index(0, 2), "Rotor"));
    QVERIFY(!lines.setData(lines.index(3, 2), "Nothing")); // the empty last row
    QCOMPARE(lines.snapshot(),
             (QList<PriceLine>{{"ATE", "13.0460", "Rotor"}, {"TRW", "GDB1385", ""}, {"A", "B", "C"}}));
    lines.removeRowAt(0);
    lines.removeRowAt(7);
    QCOMPARE(lines.count(), 2);
    QCOMPARE(lines.text(0, 1), "GDB1385");
    lines.clear();
    QCOMPARE(lines.rowCount(), 1);
}

void TestGridRows::sortedRowsTakeNewRowsInPlaceAndGoBack() {
    ResultRows rows(ResultRows::Table::Compare);
    QAbstractItemModelTester tester(&rows, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const auto priceRow = [](const QString& price) { return QStringList{"B", "R", "N", "shop", price, "EUR"}; };
    rows.appendRows({priceRow("10"), priceRow("b text"), priceRow("2"), priceRow(""), priceRow("A text")});
    QPersistentModelIndex two = rows.index(2, 4);
    rows.sort(4, Qt::AscendingOrder);
    const auto prices = [&] {
        QStringList texts;
        for (int r = 0; r < rows.count(); ++r)
            texts << rows.text(r, 4);
        return texts;
    };
    QCOMPARE(prices(), (QStringList{"2", "10", "A text", "b text", ""}));
    QCOMPARE(two.row(), 0); // the view's current cell stays on its row
    rows.appendRows({priceRow("5"), priceRow("1"), priceRow(""), priceRow("c text")});
    QCOMPARE(prices(), (QStringList{"1", "2", "5", "10", "A text", "b text", "c text", "", ""}));
    rows.sort(4, Qt::DescendingOrder);
    QCOMPARE(prices(), (QStringList{"c text", "b text", "A text", "10", "5", "2", "1", "", ""}));
    rows.sort(-1);
    QCOMPARE(prices(), (QStringList{"10", "b text", "2", "", "A text", "5", "1", "", "c text"}));
    QCOMPARE(two.row(), 2);
}

void TestGridRows::analysisMainRowsKeepTheirIndex() {
    ResultRows rows(ResultRows::Table::Analysis);
    QList<ResultBatch> seen;
    connect(&rows, &ResultRows::batchesAppended, this, [&](const QList<ResultBatch>& b) { seen << b; });
    ResultBatch first{{"TRW", "GDB1385", "Pad"}, ResultSource::PriceAnalysis, "44", {}};
    first.rows << ResultRows::analysisCells({{0, "+"}, {1, "TRW"}, {4, "host"}})
               << ResultRows::analysisCells({{4, "other"}, {7, "9.99"}});
    ResultBatch second{{"ATE", "13.0460", "Disc"}, ResultSource::PriceAnalysis, "46", {}};
    second.rows << ResultRows::analysisCells({{0, "+"}, {1, "ATE"}, {4, "host"}});
    rows.appendBatches({first, second});
    QCOMPARE(rows.text(0, ResultRows::kAnalysisIdColumn), "1");
    QCOMPARE(rows.text(1, ResultRows::kAnalysisIdColumn), "");
    QCOMPARE(rows.text(2, ResultRows::kAnalysisIdColumn), "3");
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen[1].line.reference, "13.0460");
    QCOMPARE(seen[1].source, ResultSource::PriceAnalysis);
    rows.removeRowAt(0);
    rows.appendBatches({second});
    QCOMPARE(rows.text(2, ResultRows::kAnalysisIdColumn), "3");
}

QTEST_GUILESS_MAIN(TestGridRows)
#include "tst_gridrows.moc"
