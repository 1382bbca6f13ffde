#include "../pricing/xlsxreadback.h"
#include "platform/spreadsheetwriter.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

// Workbooks read back cell by cell: amounts are numbers a trader can sum and sort, the rest
// keeps its text.
class TestSpreadsheetWriter : public QObject {
    Q_OBJECT
private slots:
    void amountCellsAreNumbers_data();
    void amountCellsAreNumbers();
    void gridsKeepTheirTexts();
    void amountTitles_data();
    void amountTitles();
    void replacingTakesTheNameNotALink();
    void streamWritesWhatTheTablesHold();

private:
    QTemporaryDir m_dir;
};

void TestSpreadsheetWriter::amountCellsAreNumbers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("value"); // empty: stays text
    QTest::addColumn<QString>("format");
    QTest::newRow("price with two decimals") << "92.40"
                                             << "92.4"
                                             << "0.00";
    QTest::newRow("price as the source gave it") << "92.4"
                                                 << "92.4"
                                                 << "0.0";
    QTest::newRow("whole number") << "17"
                                  << "17"
                                  << "0";
    QTest::newRow("decimal comma") << "12,50"
                                   << "12.5"
                                   << "0.00";
    QTest::newRow("zero") << "0"
                          << "0"
                          << "0";
    QTest::newRow("below one, three decimals") << "0.125"
                                               << "0.125"
                                               << "0.000";
    QTest::newRow("negative") << "-3.10"
                              << "-3.1"
                              << "0.00";
    QTest::newRow("blanks around") << " 5.00 "
                                   << "5"
                                   << "0.00";
    QTest::newRow("leading zero: a code") << "0123"
                                          << ""
                                          << "@";
    QTest::newRow("grouped digits") << "0 986 236 115"
                                    << ""
                                    << "@";
    QTest::newRow("thousand or one") << "1,234"
                                     << ""
                                     << "@";
    QTest::newRow("thousand or one, point") << "1.234"
                                            << ""
                                            << "@";
    QTest::newRow("two separators") << "1,234.50"
                                    << ""
                                    << "@";
    QTest::newRow("currency inside") << "12.50 EUR"
                                     << ""
                                     << "@";
    QTest::newRow("exponent") << "1e5"
                              << ""
                              << "@";
    QTest::newRow("formula") << "=1+1"
                             << ""
                             << "@";
    QTest::newRow("more digits than a number keeps") << "1234567890123456"
                                                     << ""
                                                     << "@";
    QTest::newRow("point without decimals") << "12."
                                            << ""
                                            << "@";
    QTest::newRow("plus sign") << "+5"
                               << ""
                               << "@";
}

void TestSpreadsheetWriter::amountCellsAreNumbers() {
    QFETCH(QString, text);
    QFETCH(QString, value);
    QFETCH(QString, format);
    const QString path = m_dir.filePath(QString("amount-%1.xlsx").arg(QTest::currentDataTag()));
    QString error;
    QVERIFY2(SpreadsheetWriter::write(path, {{"reference", "price"}, {text, text}}, 1, &error), qPrintable(error));
    const SheetContent sheet = ReadXlsx(path);
    QVERIFY2(sheet.error.isEmpty(), qPrintable(sheet.error));
    // Beside it, under a title that names no amount, the same text stays text.
    QCOMPARE(sheet.cell(1, 0).text, text);
    QVERIFY(sheet.cell(1, 0).type == "inlineStr" || sheet.cell(1, 0).type == "s");
    const SheetCell cell = sheet.cell(1, 1);
    if (value.isEmpty()) {
        QCOMPARE(cell.text, text);
        QVERIFY(cell.type == "inlineStr" || cell.type == "s");
    } else {
        QCOMPARE(cell.type, QString()); // a number
        QCOMPARE(cell.text.toDouble(), value.toDouble());
    }
    QCOMPARE(cell.numberFormat, format);
    QCOMPARE(cell.left, "thin");
    QVERIFY(!cell.bold);
    // The title is text, bold, with medium borders, even when it reads like a number.
    QCOMPARE(sheet.cell(0, 1).text, "price");
    QVERIFY(sheet.cell(0, 1).bold);
}

void TestSpreadsheetWriter::gridsKeepTheirTexts() {
    // The analysis table as exported: sub-offer rows leave the main columns empty.
    const QList<QStringList> rows{
        {"main [+/null]", "brand", "reference", "name", "shop", "first-price", "first-currency", "other-price",
         "other-currency", "other-url", "id"},
        {"+", "FEBI BILSTEIN", "21903", "Brake Disc", "shop.example", "45.10", "EUR", "", "", "http://x/1", "1"},
        {"", "", "", "", "seller (shop.example)", "", "", "40.59", "EUR", "http://x/1-1", ""},
        {"", "", "", "", "", "", "", "", "", "", ""}};
    const QString path = m_dir.filePath("analysis.xlsx");
    QVERIFY(SpreadsheetWriter::write(path, rows));
    const SheetContent sheet = ReadXlsx(path);
    QCOMPARE(sheet.rowCount, 4);
    QStringList numbers;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 11; ++c) {
            const SheetCell cell = sheet.cell(r, c);
            if (!cell.text.isEmpty() && cell.type.isEmpty()) {
                QCOMPARE(cell.text.toDouble(), rows[r][c].toDouble());
                numbers << rows[r][c];
            } else {
                QCOMPARE(cell.text, rows[r][c]);
            }
            QCOMPARE(cell.left, r == 0 ? "medium" : "thin"); // empty cells keep their borders
        }
    // A reference of digits only is still a reference.
    QCOMPARE(numbers, (QStringList{"45.10", "1", "40.59"}));
    QVERIFY(!sheet.sheetXml.contains("<f>"));
}

void TestSpreadsheetWriter::amountTitles_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("amount");
    for (const char* t :
         {"price", "first-price", "other-price", "Net price", "PRICE", "quantity", "count", "id", "stock", "Stock"})
        QTest::newRow(t) << QString(t) << true;
    for (const char* t : {"reference", "brand", "main [+/null]", "other-url", "first-currency", "shop", "prices list",
                          "paid", "valid", ""})
        QTest::newRow(t) << QString(t) << false;
}

void TestSpreadsheetWriter::amountTitles() {
    QFETCH(QString, title);
    QFETCH(bool, amount);
    QCOMPARE(SpreadsheetWriter::isAmountTitle(title), amount);
}

// A run's output file is replaced whole: the old file until the end, a link planted under the
// name swapped for the workbook, and what it pointed at left as it was.
void TestSpreadsheetWriter::replacingTakesTheNameNotALink() {
    const QString out = m_dir.filePath("out.xlsx");
    const QString victim = m_dir.filePath("victim.txt");
    const QList<SpreadsheetWriter::Sheet> sheets{{QStringLiteral("compare prices"), {{"title"}, {"row"}}, 1}};
    const auto replace = [&](QString* error) {
        return SpreadsheetWriter::writeSheets(out, sheets, error, ReplacingFile::Existing::Replace);
    };
    QString error;
    QVERIFY(!SpreadsheetWriter::writeSheets(m_dir.filePath("none/out.xlsx"), sheets, &error,
                                            ReplacingFile::Existing::Replace));
    QVERIFY(!error.isEmpty());

    QFile old(out);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    QVERIFY2(replace(&error), qPrintable(error));
    QCOMPARE(ReadXlsx(out).text(1, 0), QStringLiteral("row"));

    QFile target(victim);
    QVERIFY(target.open(QIODevice::WriteOnly) && target.write("keep") == 4);
    target.close();
    QVERIFY(QFile::remove(out));
    QVERIFY(QFile::link(victim, out));
    QVERIFY2(replace(&error), qPrintable(error));
    QVERIFY(!QFileInfo(out).isSymLink());
    QCOMPARE(ReadXlsx(out).text(1, 0), QStringLiteral("row"));
    QVERIFY(target.open(QIODevice::ReadOnly));
    QCOMPARE(target.readAll(), QByteArray("keep"));
}

// Rows written as they come, two sheets interleaved in batches, make the workbook the whole
// tables make at the end; a stream never finished leaves the name as it was.
void TestSpreadsheetWriter::streamWritesWhatTheTablesHold() {
    const QStringList compareTitles{"brand", "reference", "name", "shop", "price", "currency"};
    const QStringList analysisTitles{"main [+/null]", "brand", "reference", "id"};
    QList<QStringList> compare{compareTitles}, analysis{analysisTitles};
    const QString streamed = m_dir.filePath("streamed.xlsx");
    const QString whole = m_dir.filePath("whole.xlsx");
    QFile old(streamed);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    {
        SpreadsheetWriter::SheetStream unfinished(streamed, {compareTitles}, {"compare prices"});
        unfinished.append(0, {{"TRW", "GDB 1", "Pad", "shop", "1.50", "EUR"}});
    }
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old"));
    old.close();
    {
        SpreadsheetWriter::SheetStream stream(streamed, {compareTitles, analysisTitles},
                                              {"compare prices", "analysis prices"});
        for (int batch = 0; batch < 30; ++batch) {
            QList<QStringList> compareRows, analysisRows;
            for (int i = 0; i < 7; ++i) {
                const QString n = QString::number(batch * 7 + i);
                compareRows << QStringList{
                    "LEMFÖRDER", "GDB " + n + "/1", "Pad\t" + n, "shop-" + n, QString::number(batch + i / 10.0, 'f', 2),
                    "EUR"};
                analysisRows << QStringList{i == 0 ? "+" : "", "ATE", "0" + n, i == 0 ? n : QString()};
            }
            // A short row is filled with blanks, a long one cut.
            compareRows << QStringList{"TRW"};
            analysisRows << QStringList{"+", "ATE", "1", "2", "extra"};
            stream.append(batch % 2, batch % 2 ? analysisRows : compareRows);
            stream.append(1 - batch % 2, batch % 2 ? compareRows : analysisRows);
            compare << compareRows;
            analysis << analysisRows;
        }
        QString error;
        QVERIFY2(stream.finish(&error), qPrintable(error));
    }
    compare << QStringList(compareTitles.size(), QString());
    analysis << QStringList(analysisTitles.size(), QString());
    for (QStringList& row : analysis)
        row.resize(analysisTitles.size());
    QString error;
    QVERIFY2(SpreadsheetWriter::writeSheets(whole, {{"compare prices", compare, 1}, {"analysis prices", analysis, 1}},
                                            &error),
             qPrintable(error));
    for (int sheet : {1, 2}) {
        const SheetContent a = ReadXlsx(streamed, sheet);
        const SheetContent b = ReadXlsx(whole, sheet);
        QVERIFY2(a.error.isEmpty(), qPrintable(a.error));
        QCOMPARE(a.rowCount, b.rowCount);
        QCOMPARE(a.sheetXml, b.sheetXml);
    }

    QVERIFY(!SpreadsheetWriter::SheetStream(m_dir.filePath("none/out.xlsx"), {compareTitles}, {"x"}).finish(&error));
    QVERIFY(!error.isEmpty());
}

QTEST_GUILESS_MAIN(TestSpreadsheetWriter)
#include "tst_spreadsheetwriter.moc"
