#include "pricelists/ownpricetable.h"
#include "pricelists/pricelistreaders.h"
#include "support/testpaths.h"

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
        const auto found = FindOwnPrices(table, QStringLiteral("K%1").arg(i), QStringLiteral("\u00C4B%1").arg(i % 7));
        QCOMPARE(found->size(), 1);
        QCOMPARE(found->first().price, QStringLiteral("%1\u00E4").arg(i % 1000));
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

QTEST_GUILESS_MAIN(TestPriceListReaders)
#include "tst_pricelistreaders.moc"
