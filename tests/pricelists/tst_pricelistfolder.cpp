#include "pricelists/ownpricetable.h"
#include "pricelists/pricelistfolder.h"
#include "support/ownprices.h"
#include "support/testpaths.h"
#include "support/workbookpackage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

namespace {

const PriceColumnNames kNames{"[brand]", "[code]", "[price]"};

struct Run {
    QStringList report;
    QStringList problems;
    QStringList reading;
    QString error;
};

Run regenerate(OwnPriceTable& table, const QString& folder, const std::function<void(const QString&)>& before = {},
               const std::atomic<bool>* cancel = nullptr) {
    Run run;
    PriceListFolder::Hooks hooks;
    hooks.cancel = cancel;
    hooks.reportLine = [&](const QString& line) { run.report << line; };
    hooks.sheetProblem = [&](const QString& path) { run.problems << PriceListFolder::problemText(path); };
    hooks.readingFile = [&](int index, int count, const QString& name) {
        run.reading << QStringLiteral("%1/%2 %3").arg(index).arg(count).arg(name);
        if (before)
            before(name);
    };
    run.error = PriceListFolder::Regenerate(table, folder, kNames, QLatin1Char(';'), hooks, QLocale::c());
    return run;
}

} // namespace

class TestPriceListFolder : public QObject {
    Q_OBJECT
private slots:
    void init();
    void scanFindsCandidatesSortedIgnoringCase();
    void badFolder_data();
    void badFolder();
    void checkReportLeavesOutGeneratedLists();
    void checkReportWithoutCandidates();
    void regenerationReadsEveryFileAndSorts();
    void regenerationOfEmptyFolder();
    void unreadableCsvEndsTheRegeneration();
    void hostileFilesAreExplainedAndTheRestRead();
    void cancelledRegenerationExplainsTheRest();
    void questionSaysWhatTheTableHolds();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString file(const QString& name) const { return m_dir->filePath(name); }
};

void TestPriceListFolder::init() {
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestPriceListFolder::scanFindsCandidatesSortedIgnoringCase() {
    for (const char* name : {"b.csv", "A.xlsx", "STOCK.CSV", ".hidden.csv", "notes.txt", "c.XLS", "d.xlsb", "e.xls",
                             "stock.csv.xls", "csv", "GeneratedPriceList1.csv"})
        writeBytes(file(name), "x");
    QVERIFY(QDir(m_dir->path()).mkdir("folder.csv"));
    const auto names = PriceListFolder::Scan(m_dir->path() + "/");
    QVERIFY(names.has_value());
    QCOMPARE(*names, (QStringList{".hidden.csv", "A.xlsx", "b.csv", "d.xlsb", "e.xls", "folder.csv",
                                  "GeneratedPriceList1.csv", "stock.csv.xls"}));
}

void TestPriceListFolder::badFolder_data() {
    QTest::addColumn<QString>("typed");
    QTest::newRow("blank") << "   ";
    QTest::newRow("missing") << "/no/such/folder";
    QTest::newRow("blank after the name") << "%1 ";
    QTest::newRow("a file") << "%1/a.csv";
}

void TestPriceListFolder::badFolder() {
    QFETCH(QString, typed);
    writeBytes(file("a.csv"), "Code;Price\nK;1\n");
    typed.replace("%1", m_dir->path());
    QCOMPARE(PriceListFolder::CheckReport(typed), QStringList{PriceListFolder::kWrongFolder});
    OwnPriceTable table;
    table.Add("K", TVarItemData{"X", "K", "K", "1", "old.csv"});
    const Run run = regenerate(table, typed);
    QCOMPARE(run.report, QStringList{PriceListFolder::kWrongFolder});
    QCOMPARE(table.Count(), 0);
}

void TestPriceListFolder::checkReportLeavesOutGeneratedLists() {
    for (const char* name : {"b.csv", "a-GeneratedPriceList.xlsx", "A.xls"})
        writeBytes(file(name), "x");
    QCOMPARE(PriceListFolder::CheckReport(m_dir->path()),
             (QStringList{"------------------------------------",
                          "List files that will use for generate common file(s) :", "  -  A.xls", "  -  b.csv"}));
}

void TestPriceListFolder::checkReportWithoutCandidates() {
    writeBytes(file("GeneratedPriceList.csv"), "x");
    writeBytes(file("PRICES.CSV"), "x");
    QCOMPARE(PriceListFolder::CheckReport(m_dir->path()),
             (QStringList{"------------------------------------",
                          "Any files (ext : csv, xls, xlsx, xlsb) that can will use for generate common file(s) is "
                          "not found. NOT OK !"}));
}

void TestPriceListFolder::regenerationReadsEveryFileAndSorts() {
    writeBytes(file("b.csv"), "Brand;Code;Price\nBOSCH;0 986 452 044;12,50\nINA;A-1;3\n");
    writeBytes(file("a-[FAG].csv"), "Code;Price\n0986452044;11\n");
    writeBytes(file("only-price.csv"), "Price\n1\n");
    writeBytes(file("GeneratedPriceList.csv"), "Brand;Code;Price\nBOSCH;0986452044;10\n");
    writeBytes(file("broken.xlsx"), "PK\x03\x04 not really a workbook");
    QVERIFY(QFile::copy(fixturePath("pricelists/prices.xls"), file("sheet.xls")));
    OwnPriceTable table;
    const Run run = regenerate(table, m_dir->path());
    QCOMPARE(run.report, (QStringList{"List files that will use for generate common file(s) :",
                                      "  -  a-[FAG].csv (read, 1 record)", "  -  b.csv (read, 2 records)",
                                      "  -  broken.xlsx (not read: The file is not a readable "
                                      "workbook.)",
                                      "  -  GeneratedPriceList.csv (read, 1 record)",
                                      "  -  only-price.csv (not read: no reference column recognised in the title row)",
                                      "  -  sheet.xls (read, 2 records)"}));
    QCOMPARE(run.problems, QStringList{"Problem with file \"" + file("broken.xlsx") + "\" !"});
    QCOMPARE(run.reading.first(), QStringLiteral("0/6 a-[FAG].csv"));
    QCOMPARE(run.reading.size(), 6);
    QVERIFY(run.error.isEmpty());
    QCOMPARE(table.Count(), 6);
    for (qsizetype i = 1; i < table.Count(); ++i)
        QVERIFY(table.key(i - 1) <= table.key(i));
    QCOMPARE(findOwnPrices(table, "0986452044", "Bosch").size(), 3);
    QCOMPARE(findOwnPrices(table, "0986452044", "fag").first().pathfile, QStringLiteral("a-[FAG].csv"));
    QCOMPARE(findOwnPrices(table, "531030510", "INA").first().pathfile, QStringLiteral("sheet.xls"));
}

void TestPriceListFolder::regenerationOfEmptyFolder() {
    OwnPriceTable table;
    table.Add("K", TVarItemData{"X", "K", "K", "1", "old.csv"});
    const Run run = regenerate(table, m_dir->path());
    QCOMPARE(run.report, QStringList{"Any Files (ext : csv, xls, xlsx, xlsb) that can will use for generate common "
                                     "file(s) is not found (folder is empty). NOT OK !"});
    QCOMPARE(table.Count(), 0);
}

void TestPriceListFolder::unreadableCsvEndsTheRegeneration() {
    writeBytes(file("a.csv"), "Code;Price\nK2;2\nK1;1\n");
    writeBytes(file("b.csv"), "Code;Price\nK3;3\n");
    writeBytes(file("c.csv"), "Code;Price\nK4;4\n");
    // No file can be opened once b.csv is due, not even by a user who may read every file.
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    const rlimit saved = limit;
    OwnPriceTable table;
    const Run run = regenerate(table, m_dir->path(), [&](const QString& name) {
        if (name == "b.csv") {
            limit.rlim_cur = 0;
            setrlimit(RLIMIT_NOFILE, &limit);
        }
    });
    setrlimit(RLIMIT_NOFILE, &saved);
    QVERIFY(run.error.startsWith("Cannot open file \"" + file("b.csv") + "\". "));
    QCOMPARE(run.report, (QStringList{"List files that will use for generate common file(s) :",
                                      "  -  a.csv (read, 2 records)", "  -  b.csv (not read: " + run.error + ")",
                                      "  -  c.csv (not read: the regeneration ended at b.csv)"}));
    QCOMPARE(run.reading.size(), 2);
    QCOMPARE(table.Count(), 2);
    QCOMPARE(table.key(0), QStringLiteral("K1"));
    QCOMPARE(table.key(1), QStringLiteral("K2"));
}

// Hostile and odd files each get their reason; every other file still loads.
void TestPriceListFolder::hostileFilesAreExplainedAndTheRestRead() {
    const QByteArray titles = "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Code</t></is></c>"
                              "<c r=\"B1\" t=\"inlineStr\"><is><t>Price</t></is></c></row>";
    // Once crashed the program: a value closed with no cell open, then a cell before any row.
    QVERIFY(WorkbookPackage::write(file("a-crash.xlsx"),
                                   WorkbookPackage::minimal(titles + "<row r=\"2\"><v>1</v></c><c r=\"A2\"><v>7</v></c>"
                                                                     "<c r=\"B2\"><v>92.4</v></c></row>")));
    QVERIFY(WorkbookPackage::write(file("b-cell-first.xlsx"),
                                   WorkbookPackage::minimal("<c r=\"A1\"><v>1</v></c>" + titles)));
    QVERIFY(WorkbookPackage::write(file("c-bomb.xlsx"),
                                   WorkbookPackage::minimal(titles + "<row r=\"2\"><c t=\"inlineStr\"><is><t>" +
                                                            QByteArray(2 << 20, 'x') + "</t></is></c></row>")));
    QVERIFY(WorkbookPackage::write(file("d-far-row.xlsx"),
                                   WorkbookPackage::minimal(titles + "<row r=\"2147483647\"><c><v>1</v></c></row>"
                                                                     "<row><c><v>2</v></c></row>")));
    writeBytes(file("e-long.csv"), "Code;Price\nK1;1\n" + QByteArray(3 << 20, 'x') + "\nK2;2");
    writeBytes(file("f-comma.csv"), "code,price\nK3,3\n");
    writeBytes(file("g-empty.csv"), "");
    OwnPriceTable table;
    const Run run = regenerate(table, m_dir->path());
    QCOMPARE(
        run.report,
        (QStringList{"List files that will use for generate common file(s) :", "  -  a-crash.xlsx (read, 1 record)",
                     "  -  b-cell-first.xlsx (not read: no row below the title row)",
                     "  -  c-bomb.xlsx (not read: A text in part xl/worksheets/sheet1.xml is longer than 1 MiB.)",
                     "  -  d-far-row.xlsx (read, 0 records; stopped early: A row lies beyond the last row of a "
                     "worksheet.)",
                     "  -  e-long.csv (read, 2 records; 1 line longer than 1048576 characters skipped)",
                     "  -  f-comma.csv (read, 1 record)", "  -  g-empty.csv (not read: the file is empty)"}));
    QCOMPARE(run.problems, (QStringList{PriceListFolder::problemText(file("c-bomb.xlsx")),
                                        PriceListFolder::problemText(file("d-far-row.xlsx"))}));
    QCOMPARE(table.Count(), 4);
    QCOMPARE(findOwnPrices(table, "7", "a-crash").first().price, QStringLiteral("92.40"));
    QCOMPARE(findOwnPrices(table, "K3", "f-comma").size(), 1);
}

void TestPriceListFolder::cancelledRegenerationExplainsTheRest() {
    for (const char* name : {"a.csv", "b.csv", "c.csv"})
        writeBytes(file(name), "Code;Price\nK;1\n");
    std::atomic<bool> cancel = false;
    OwnPriceTable table;
    const Run run = regenerate(
        table, m_dir->path(), [&](const QString& name) { cancel = name == "b.csv"; }, &cancel);
    QCOMPARE(run.report,
             (QStringList{"List files that will use for generate common file(s) :", "  -  a.csv (read, 1 record)",
                          "  -  b.csv (not read: The reading was cancelled.)",
                          "  -  c.csv (not read: the regeneration was cancelled)"}));
    QCOMPARE(table.Count(), 1);
    QVERIFY(run.error.isEmpty());
}

void TestPriceListFolder::questionSaysWhatTheTableHolds() {
    const QString tail = QStringLiteral(" !!! Do regenerate data about prices for use in memory ???");
    QCOMPARE(PriceListFolder::Question(0), "At moment table price lists in memory program is empty" + tail);
    QCOMPARE(PriceListFolder::Question(1), "At moment table price lists in memory program holds 1 price line" + tail);
    QCOMPARE(PriceListFolder::Question(2500),
             "At moment table price lists in memory program holds 2500 price lines" + tail);
}

QTEST_GUILESS_MAIN(TestPriceListFolder)
#include "tst_pricelistfolder.moc"
