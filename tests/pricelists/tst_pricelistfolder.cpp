#include "pricelists/ownpricetable.h"
#include "pricelists/pricelistfolder.h"
#include "support/testpaths.h"

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

Run regenerate(OwnPriceTable& table, const QString& folder, const std::function<void(const QString&)>& before = {}) {
    Run run;
    PriceListFolder::Hooks hooks;
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
    QCOMPARE(run.report, (QStringList{"List files that will use for generate common file(s) :", "  -  a-[FAG].csv",
                                      "  -  b.csv", "  -  GeneratedPriceList.csv", "  -  sheet.xls"}));
    QCOMPARE(run.problems, QStringList{"Problem with file \"" + file("broken.xlsx") + "\" !"});
    QCOMPARE(run.reading.first(), QStringLiteral("0/6 a-[FAG].csv"));
    QCOMPARE(run.reading.size(), 6);
    QVERIFY(run.error.isEmpty());
    QCOMPARE(table.Count(), 6);
    for (qsizetype i = 1; i < table.Count(); ++i)
        QVERIFY(table.key(i - 1) <= table.key(i));
    QCOMPARE(FindOwnPrices(table, "0986452044", "Bosch")->size(), 3);
    QCOMPARE(FindOwnPrices(table, "0986452044", "fag")->first().pathfile, QStringLiteral("a-[FAG].csv"));
    QCOMPARE(FindOwnPrices(table, "531030510", "INA")->first().pathfile, QStringLiteral("sheet.xls"));
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
    QCOMPARE(run.report, (QStringList{"List files that will use for generate common file(s) :", "  -  a.csv"}));
    QCOMPARE(run.reading.size(), 2);
    QCOMPARE(table.Count(), 2);
    QCOMPARE(table.key(0), QStringLiteral("K1"));
    QCOMPARE(table.key(1), QStringLiteral("K2"));
}

QTEST_GUILESS_MAIN(TestPriceListFolder)
#include "tst_pricelistfolder.moc"
