#include "pricelists/ownpricetable.h"
#include "pricelists/pricelistreaders.h"
#include "support/ownprices.h"
#include "support/testpaths.h"
#include "support/workbookpackage.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTest>

namespace {

const PriceColumnNames kNames{"[brand][namebrand]...", "[reference][codepart][code]...", "[price]..."};

QStringList rowsOf(const OwnPriceTable& table) {
    QStringList rows;
    for (qsizetype i = 0; i < table.Count(); ++i) {
        const TVarItemData r = table.row(i);
        rows << QStringList{r.brand, r.reference, r.freereference, r.price, r.pathfile}.join(QLatin1Char('|'));
    }
    rows.sort();
    return rows;
}

} // namespace

class TestPriceListReaders : public QObject {
    Q_OBJECT
private slots:
    void recognizeColumns_data();
    void recognizeColumns();
    void fileNameBrand_data();
    void fileNameBrand();
    void splitCsvLine_data();
    void splitCsvLine();
    void csvFile_data();
    void csvFile();
    void csvEncodingsAcrossChunks_data();
    void csvEncodingsAcrossChunks();
    void missingOrUnreadableCsv();
    void separatorOfTheTitleRow_data();
    void separatorOfTheTitleRow();
    void longLinesAreSkippedAndCounted();
    void cancelledCsvLeavesNothing();
    void sheetPriceText_data();
    void sheetPriceText();
    void sheetPricesShowTwoDecimals_data();
    void sheetPricesShowTwoDecimals();

private:
    QTemporaryDir m_dir;
};

void TestPriceListReaders::recognizeColumns_data() {
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<bool>("sheet");
    QTest::addColumn<QList<int>>("columns"); // brand, reference, price
    QTest::newRow("all three, brand first") << QStringList{"Brand", "Code", "Price"} << false << QList<int>{0, 1, 2};
    QTest::newRow("titles trimmed, any case")
        << QStringList{" PRICE ", "x", " CodePart"} << false << QList<int>{-1, 2, 0};
    QTest::newRow("only a price column") << QStringList{"name", "price"} << false << QList<int>{-1, -1, 1};
    QTest::newRow("furthest right wins") << QStringList{"price", "code", "Price"} << false << QList<int>{-1, 1, 2};
    QTest::newRow("text outside brackets does not match")
        << QStringList{"...", "code", "namebrand"} << false << QList<int>{2, 1, -1};
    QTest::newRow("empty titles never match in CSV")
        << QStringList{"", "code", "price"} << false << QList<int>{-1, 1, 2};
    QTest::newRow("empty titles match [] in a sheet")
        << QStringList{"", "code", "price"} << true << QList<int>{0, 1, 2};
}

void TestPriceListReaders::recognizeColumns() {
    QFETCH(QStringList, titles);
    QFETCH(bool, sheet);
    QFETCH(QList<int>, columns);
    PriceColumnNames names = kNames;
    if (sheet)
        names.brand += QStringLiteral("[]");
    const PriceColumns found = RecognizeColumns(titles, names, sheet);
    QCOMPARE((QList<int>{found.brand, found.reference, found.price}), columns);
    // A title named in two boxes counts for the first of brand, reference, price.
    const PriceColumns twice = RecognizeColumns({"code", "price"}, {"[code]", "[code]", "[price]"}, false);
    QCOMPARE(twice.brand, 0);
    QCOMPARE(twice.reference, -1);
}

void TestPriceListReaders::fileNameBrand_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("brand");
    QTest::newRow("plain") << "MyStock.csv"
                           << "MyStock";
    QTest::newRow("brackets") << "supplier-(orders)-[INA].csv"
                              << "INA";
    QTest::newRow("two dots") << "stock.csv.xls"
                              << "stock.csv";
    QTest::newRow("only an opening bracket") << "a[b.csv"
                                             << "a[b";
    QTest::newRow("closing bracket before the opening one") << "x]y[z.csv"
                                                            << "";
    QTest::newRow("no extension") << "prices"
                                  << "prices";
}

void TestPriceListReaders::fileNameBrand() {
    QFETCH(QString, name);
    QFETCH(QString, brand);
    QCOMPARE(FileNameBrand(name), brand);
}

void TestPriceListReaders::splitCsvLine_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("trailing semicolons") << "INA;531 0305 10;12,50;;;"
                                         << ";" << QStringList{"INA", "531 0305 10", "12,50"};
    QTest::newRow("only semicolons") << ";;;"
                                     << ";" << QStringList{};
    QTest::newRow("empty") << ""
                           << ";" << QStringList{};
    QTest::newRow("semicolons stripped whatever the separator") << "a,b;;"
                                                                << "," << QStringList{"a", "b"};
    QTest::newRow("trailing comma gives an empty field") << "a,b,"
                                                         << "," << QStringList{"a", "b", ""};
    QTest::newRow("blanks kept") << " a ; b "
                                 << ";" << QStringList{" a ", " b "};
    QTest::newRow("separator inside quotes") << "\"12,50\",x"
                                             << "," << QStringList{"12,50", "x"};
    QTest::newRow("doubled quotes") << "\"say \"\"hi\"\"\";x"
                                    << ";" << QStringList{"say \"hi\"", "x"};
    QTest::newRow("empty quoted field") << "\"\";x"
                                        << ";" << QStringList{"", "x"};
    QTest::newRow("unclosed quote runs to the end") << "\"open;end"
                                                    << ";" << QStringList{"open;end"};
    QTest::newRow("text after the closing quote") << "\"ab\"c;d"
                                                  << ";" << QStringList{"abc", "d"};
    QTest::newRow("quote inside a field") << "a\"b;c"
                                          << ";" << QStringList{"a\"b", "c"};
}

void TestPriceListReaders::splitCsvLine() {
    QFETCH(QString, line);
    QFETCH(QString, separator);
    QFETCH(QStringList, fields);
    QCOMPARE(SplitCsvLine(line, separator.at(0)), fields);
}

void TestPriceListReaders::csvFile_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("used");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("brand in the first column")
        << QByteArray("Brand;Code;Price\r\nINA;531 0305 10;12,50;;;\r\n") << "MyStock.csv" << true
        << QStringList{"INA|531 0305 10|531030510|12,50|MyStock.csv"};
    QTest::newRow("only a price column") << QByteArray("Name;Price\nx;1\n") << "a.csv" << false << QStringList{};
    QTest::newRow("title only") << QByteArray("Code;Price\n") << "a.csv" << false << QStringList{};
    QTest::newRow("title and a blank line") << QByteArray("Code;Price\n\n") << "a.csv" << true << QStringList{};
    QTest::newRow("brand from the file name, blank lines go on")
        << QByteArray("Code;Price\n\n;;;\n  x-1 ;5\r\n") << "parts-[fag].csv" << true
        << QStringList{"FAG|X-1 |X1|5|parts-[fag].csv"};
    QTest::newRow("empty fields skip the line")
        << QByteArray("Brand;Code;Price\nINA;;1\n;K;1\nINA;K;\nINA;K\nina;k;2\n") << "a.csv" << true
        << QStringList{"INA|K|K|2|a.csv"};
    QTest::newRow("lines trimmed, fields not") << QByteArray(" Price ; Code ;Brand\n 7 ; ab 1 ;Bosch\n") << "a.csv"
                                               << true << QStringList{"BOSCH| AB 1 |AB1|7 |a.csv"};
    QTest::newRow("quoted price with the separator") << QByteArray("Brand;Code;Price\n\"BO;SCH\";K1;\"1;5\"\n")
                                                     << "a.csv" << true << QStringList{"BO;SCH|K1|K1|1;5|a.csv"};
    QTest::newRow("Windows-1252 without mark")
        << QByteArray("Brand;Code;Price\n\xE4rger;K1;\x80 5\rX;K2;1\r") << "a.csv" << true
        << QStringList{"\u00C4RGER|K1|K1|\u20AC 5|a.csv", "X|K2|K2|1|a.csv"};
    QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF"
                                                   "Brand;Code;Price\nm\xC3\xBCller;k1;\xE2\x82\xAC")
                                     << "a.csv" << true << QStringList{"M\u00DCLLER|K1|K1|\u20AC|a.csv"};
}

void TestPriceListReaders::csvFile() {
    QFETCH(QByteArray, content);
    QFETCH(QString, fileName);
    QFETCH(bool, used);
    QFETCH(QStringList, rows);
    rows.sort();
    const QString path = m_dir.filePath(fileName);
    writeBytes(path, content);
    OwnPriceTable table;
    PriceListReader reader(table, kNames, QLatin1Char(';'), QLocale::c());
    const PriceListLoad load = reader.LoadCsvPriceList(path, fileName);
    QCOMPARE(load.used, used);
    QCOMPARE(load.problem, PriceListLoad::Problem::None);
    QCOMPARE(rowsOf(table), rows);
}

void TestPriceListReaders::csvEncodingsAcrossChunks_data() {
    QTest::addColumn<QString>("encoding");
    QTest::newRow("Windows-1252") << "";
    QTest::newRow("UTF-8") << "UTF-8";
    QTest::newRow("UTF-16LE") << "UTF-16LE";
    QTest::newRow("UTF-16BE") << "UTF-16BE";
}

// Lines, multi-byte characters and CR LF pairs that straddle the reader's chunks stay whole.
void TestPriceListReaders::csvEncodingsAcrossChunks() {
    QFETCH(QString, encoding);
    QString text = QStringLiteral("Brand,Code,Price\r\n");
    const int lines = 150000;
    for (int i = 0; i < lines; ++i)
        text += QStringLiteral("\u00C4B%1,K-%2,%3\u00E4\r\n").arg(i % 7).arg(i).arg(i % 1000);
    QByteArray bytes;
    if (encoding.isEmpty()) {
        bytes = text.toLatin1();
    } else {
        QStringEncoder encoder(encoding.toLatin1().constData(), QStringConverter::Flag::WriteBom);
        bytes = encoder(text);
    }
    QVERIFY(bytes.size() > 2 << 20);
    const QString path = m_dir.filePath(QStringLiteral("big.csv"));
    writeBytes(path, bytes);
    OwnPriceTable table;
    PriceListReader reader(table, kNames, QLatin1Char(','), QLocale::c());
    QVERIFY(reader.LoadCsvPriceList(path, "big.csv").used);
    QCOMPARE(table.Count(), lines);
    table.Sort();
    for (int i : {0, 1, 4711, lines - 1}) {
        const auto found = findOwnPrices(table, QStringLiteral("K%1").arg(i), QStringLiteral("\u00C4B%1").arg(i % 7));
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first().price, QStringLiteral("%1\u00E4").arg(i % 1000));
    }
}

void TestPriceListReaders::missingOrUnreadableCsv() {
    OwnPriceTable table;
    PriceListReader reader(table, kNames, QLatin1Char(';'), QLocale::c());
    const PriceListLoad missing = reader.LoadCsvPriceList(m_dir.filePath("none.csv"), "none.csv");
    QVERIFY(!missing.used);
    QCOMPARE(missing.problem, PriceListLoad::Problem::None);
    QVERIFY(QDir(m_dir.path()).mkdir("folder.csv"));
    QCOMPARE(reader.LoadCsvPriceList(m_dir.filePath("folder.csv"), "folder.csv").problem, PriceListLoad::Problem::None);

    const QString locked = m_dir.filePath("locked.csv");
    writeBytes(locked, "Code;Price\nK;1\n");
    QFile::setPermissions(locked, {});
    if (QFile file(locked); file.open(QIODevice::ReadOnly))
        QSKIP("this user reads files without read permission");
    const PriceListLoad load = reader.LoadCsvPriceList(locked, "locked.csv");
    QCOMPARE(load.problem, PriceListLoad::Problem::CannotRead);
    QVERIFY(load.error.startsWith(QStringLiteral("Cannot open file \"") + locked + QStringLiteral("\". ")));
    QVERIFY(!load.used);
}

void TestPriceListReaders::separatorOfTheTitleRow_data() {
    QTest::addColumn<QString>("localeSeparator");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("notUsed");
    QTest::newRow("semicolons under a comma locale")
        << "," << QByteArray("brand;reference;price\nINA;1,5;2,50\n") << QStringList{"INA|1,5|15|2,50|a.csv"} << "";
    QTest::newRow("commas under a semicolon locale")
        << ";" << QByteArray("brand,reference,price\nINA,15,2.50\n") << QStringList{"INA|15|15|2.50|a.csv"} << "";
    QTest::newRow("a German supplier's list") << "," << QByteArray("artnr;bezeichnung;preis\n4711;Bremse, vorn;12,50\n")
                                              << QStringList{"A|4711|4711|12,50|a.csv"} << "";
    QTest::newRow("tabs") << ";" << QByteArray("brand\treference\tprice\nINA\tX;1\t3\n")
                          << QStringList{"INA|X;1|X1|3|a.csv"} << "";
    QTest::newRow("no separator finds the columns") << "," << QByteArray("reference|price\nK|1\n") << QStringList{}
                                                    << "no reference and no price column recognised in the title row";
    QTest::newRow("only one of them") << "," << QByteArray("reference;cost\nK;1\n") << QStringList{}
                                      << "no price column recognised in the title row";
}

// The title row splits at the locale's separator first, then at ";", "," and tab; the data lines
// split at the one that found the columns.
void TestPriceListReaders::separatorOfTheTitleRow() {
    QFETCH(QString, localeSeparator);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, rows);
    QFETCH(QString, notUsed);
    const QString path = m_dir.filePath("a.csv");
    writeBytes(path, content);
    OwnPriceTable table;
    const PriceColumnNames names{"[brand]", "[reference][artnr]", "[price][preis]"};
    PriceListReader reader(table, names, localeSeparator.at(0), QLocale::c());
    const PriceListLoad load = reader.LoadCsvPriceList(path, "a.csv");
    QCOMPARE(load.used, notUsed.isEmpty());
    QCOMPARE(load.notUsed, notUsed);
    QCOMPARE(rowsOf(table), rows);
    QCOMPARE(load.records, rows.size());
}

// A line longer than the bound is skipped wherever it falls against the reader's chunks (and is
// not scanned again for each chunk); a title line that long leaves the file unread.
void TestPriceListReaders::longLinesAreSkippedAndCounted() {
    const QByteArray longLine(kMaxCsvLineChars + 1, 'x');
    const QString path = m_dir.filePath("long.csv");
    writeBytes(path, "Brand;Code;Price\r\nA;K1;1\r\n" + longLine + "\r\nA;K2;2\r\n" + QByteArray(50 << 20, ';') +
                         "\rA;K3;3\r\n" + longLine);
    OwnPriceTable table;
    PriceListReader reader(table, kNames, QLatin1Char(';'), QLocale::c());
    const PriceListLoad load = reader.LoadCsvPriceList(path, "long.csv");
    QVERIFY(load.used);
    QCOMPARE(load.longLines, 3);
    QCOMPARE(rowsOf(table), (QStringList{"A|K1|K1|1|long.csv", "A|K2|K2|2|long.csv", "A|K3|K3|3|long.csv"}));

    // A line just within the bound is read.
    writeBytes(path, "Code;Price\n" + QByteArray(kMaxCsvLineChars - 2, 'k') + ";1\n");
    OwnPriceTable within;
    PriceListReader withinReader(within, kNames, QLatin1Char(';'), QLocale::c());
    QCOMPARE(withinReader.LoadCsvPriceList(path, "long.csv").records, 1);

    writeBytes(path, longLine + "\nCode;Price\nK;1\n");
    const PriceListLoad title = reader.LoadCsvPriceList(path, "long.csv");
    QVERIFY(!title.used);
    QCOMPARE(title.notUsed, QStringLiteral("its title line is longer than 1048576 characters"));
}

void TestPriceListReaders::cancelledCsvLeavesNothing() {
    const QString path = m_dir.filePath("cancel.csv");
    writeBytes(path, "Code;Price\nK;1\n");
    OwnPriceTable table;
    table.Add("OLD", TVarItemData{"X", "OLD", "OLD", "1", "old.csv"});
    std::atomic<bool> cancel = true;
    PriceListReader reader(table, kNames, QLatin1Char(';'), QLocale::c(), &cancel);
    const PriceListLoad load = reader.LoadCsvPriceList(path, "cancel.csv");
    QCOMPARE(load.problem, PriceListLoad::Problem::Cancelled);
    QVERIFY(!load.used);
    QCOMPARE(table.Count(), 1);
}

void TestPriceListReaders::sheetPriceText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("decimalPoint");
    QTest::addColumn<QString>("shown");
    QTest::newRow("one decimal") << "92.4"
                                 << "."
                                 << "92.40";
    QTest::newRow("whole") << "7"
                           << "."
                           << "7.00";
    QTest::newRow("negative") << "-3,5"
                              << ","
                              << "-3,50";
    QTest::newRow("two decimals") << "12.50"
                                  << "."
                                  << "12.50";
    QTest::newRow("three decimals kept") << "12.345"
                                         << "."
                                         << "12.345";
    QTest::newRow("other decimal point") << "12.5"
                                         << ","
                                         << "12.5";
    QTest::newRow("a text") << "on request"
                            << "."
                            << "on request";
    QTest::newRow("an exponent") << "1e-07"
                                 << "."
                                 << "1e-07";
    QTest::newRow("a point alone") << "5."
                                   << "."
                                   << "5.";
    QTest::newRow("empty") << ""
                           << "."
                           << "";
}

void TestPriceListReaders::sheetPriceText() {
    QFETCH(QString, text);
    QFETCH(QString, decimalPoint);
    QFETCH(QString, shown);
    QCOMPARE(SheetPriceText(text, decimalPoint.at(0)), shown);
}

void TestPriceListReaders::sheetPricesShowTwoDecimals_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("C") << "C"
                       << QStringList{"B|4711|4711|92.40|p.xlsx", "B|4712|4712|7.00|p.xlsx", "B|4713|4713|1.125|p.xlsx",
                                      "B|4714|4714|ask|p.xlsx"};
    QTest::newRow("German") << "de_DE"
                            << QStringList{"B|4711|4711|92,40|p.xlsx", "B|4712|4712|7,00|p.xlsx",
                                           "B|4713|4713|1,125|p.xlsx", "B|4714|4714|ask|p.xlsx"};
}

// Prices from a workbook show the decimals the source gave, two at least; references stay whole.
void TestPriceListReaders::sheetPricesShowTwoDecimals() {
    QFETCH(QString, locale);
    QFETCH(QStringList, rows);
    const auto text = [](const char* cell, const char* value) {
        return QByteArray("<c r=\"") + cell + "\" t=\"inlineStr\"><is><t>" + value + "</t></is></c>";
    };
    const auto number = [](const char* cell, const char* value) {
        return QByteArray("<c r=\"") + cell + "\"><v>" + value + "</v></c>";
    };
    const QByteArray sheet = "<row r=\"1\">" + text("A1", "Brand") + text("B1", "Code") + text("C1", "Price") +
                             "</row><row r=\"2\">" + text("A2", "B") + number("B2", "4711") + number("C2", "92.4") +
                             "</row><row r=\"3\">" + text("A3", "B") + number("B3", "4712") + number("C3", "7") +
                             "</row><row r=\"4\">" + text("A4", "B") + number("B4", "4713") + number("C4", "1.125") +
                             "</row><row r=\"5\">" + text("A5", "B") + number("B5", "4714") + text("C5", "ask") +
                             "</row>";
    const QString path = m_dir.filePath("p.xlsx");
    QVERIFY(WorkbookPackage::write(path, WorkbookPackage::minimal(sheet)));
    OwnPriceTable table;
    PriceListReader reader(table, kNames, QLatin1Char(';'), QLocale(locale));
    const PriceListLoad load = reader.LoadSheetPriceList(path, "p.xlsx");
    QVERIFY(load.used);
    QCOMPARE(load.records, 4);
    QCOMPARE(rowsOf(table), rows);
}

QTEST_GUILESS_MAIN(TestPriceListReaders)
#include "tst_pricelistreaders.moc"
