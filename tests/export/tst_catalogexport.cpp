#include "export/catalogexport.h"
#include "support/testpaths.h"

#include <QFileInfo>
#include <QTest>

using CatalogExport::Format;

Q_DECLARE_METATYPE(CatalogExport::Format)
Q_DECLARE_METATYPE(CatalogExport::Options)

class TestCatalogExport : public QObject {
    Q_OBJECT
private slots:
    void requests_data();
    void requests();
    void trimming_data();
    void trimming();
    void fileNamesStayInTheFolder_data();
    void fileNamesStayInTheFolder();
    void savingReplacesAPlantedLink();
};

void TestCatalogExport::requests_data() {
    QTest::addColumn<Format>("format");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("brand");
    QTest::addColumn<CatalogExport::Options>("options");
    QTest::addColumn<QString>("request");
    const QString account = "&email=trader@velmora.test&seccode=trader-2026&lang=de";
    QTest::newRow("json, criteria and applicability")
        << Format::Json << ";"
        << "A&B PARTS" << CatalogExport::Options{true, false, true}
        << "fun_exportdata?format=json" + account + "&brand=A%26B%20PARTS&needcritery=1&needaplicability=1";
    QTest::newRow("csv with semicolon") << Format::Csv << ";"
                                        << "ATE" << CatalogExport::Options{}
                                        << "fun_exportdata?format=csv[;]" + account + "&brand=ATE";
    QTest::newRow("csv with comma, crosses")
        << Format::Csv << ","
        << "FEBI BILSTEIN" << CatalogExport::Options{false, true, false}
        << "fun_exportdata?format=csv[,]" + account + "&brand=FEBI%20BILSTEIN&needcrosses=1";
    QTest::newRow("xml, all options, umlaut and slash")
        << Format::Xml << ";" << QStringLiteral("NORDSTRÖM / KÜHLER") << CatalogExport::Options{true, true, true}
        << "fun_exportdata?format=xml" + account +
               "&brand=NORDSTR%C3%96M%20/%20K%C3%9CHLER&needcritery=1&needcrosses=1&needaplicability=1";
}

void TestCatalogExport::requests() {
    QFETCH(Format, format);
    QFETCH(QString, separator);
    QFETCH(QString, brand);
    QFETCH(CatalogExport::Options, options);
    QFETCH(QString, request);
    // The account as the boxes hold it: e-mail and code trimmed, the language as shown.
    const CatalogExport::Account account{" trader@velmora.test ", "\ttrader-2026 ", "de"};
    QCOMPARE(CatalogExport::Request(format, separator, account, brand, CatalogExport::OptionsText(options)), request);
}

void TestCatalogExport::trimming_data() {
    QTest::addColumn<Format>("format");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("saved");
    QTest::newRow("csv") << Format::Csv << QStringList{QChar(0xFEFF) + QStringLiteral("brand id;brand"), "2;ATE"}
                         << QStringList{"brand id;brand", "2;ATE"};
    QTest::newRow("csv of one empty line") << Format::Csv << QStringList{""} << QStringList{""};
    QTest::newRow("csv empty") << Format::Csv << QStringList{} << QStringList{};
    QTest::newRow("xml of three lines") << Format::Xml << QStringList{"1", "2", "3"} << QStringList{"1", "2", "3"};
    QTest::newRow("xml of four lines") << Format::Xml << QStringList{"1", "2", "3", "4"} << QStringList{"2"};
    QTest::newRow("xml of five lines") << Format::Xml << QStringList{"1", "2", "3", "4", "5"} << QStringList{"2", "5"};
    QTest::newRow("json of two lines") << Format::Json << QStringList{"1", "2"} << QStringList{"1", "2"};
    QTest::newRow("json of three lines") << Format::Json << QStringList{"1", "2", "3"} << QStringList{"1"};
    QTest::newRow("json of four lines") << Format::Json << QStringList{"1", "2", "3", "4"} << QStringList{"1", "4"};
    QTest::newRow("json empty") << Format::Json << QStringList{} << QStringList{};
}

void TestCatalogExport::trimming() {
    QFETCH(Format, format);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, saved);
    QCOMPARE(CatalogExport::TrimAnswer(format, lines), saved);
}

void TestCatalogExport::fileNamesStayInTheFolder_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("brand");
    QTest::addColumn<Format>("format");
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << "/data/export"
                           << "ATE" << Format::Csv << "/data/export/ATE.csv";
    QTest::newRow("folder with separator") << "/data/export/"
                                           << "ATE" << Format::Xml << "/data/export/ATE.xml";
    QTest::newRow("ampersand and blank") << "/x"
                                         << "A&B PARTS" << Format::Json << "/x/A&B PARTS.json";
    QTest::newRow("slash") << "/x"
                           << "K/N" << Format::Csv << "/x/K_N.csv";
    QTest::newRow("climbing out") << "/x"
                                  << "../../etc/passwd" << Format::Xml << "/x/.._.._etc_passwd.xml";
    QTest::newRow("backslash") << "/x"
                               << "A\\B" << Format::Csv << "/x/A_B.csv";
    QTest::newRow("control characters") << "/x"
                                        << "A\tB\r\n\u0085" << Format::Csv << "/x/A_B___.csv";
    QTest::newRow("umlaut") << "/x" << QStringLiteral("LEMFÖRDER") << Format::Csv << QStringLiteral("/x/LEMFÖRDER.csv");
    QTest::newRow("dots only") << "/x"
                               << ".." << Format::Json << "/x/...json";
}

void TestCatalogExport::fileNamesStayInTheFolder() {
    QFETCH(QString, folder);
    QFETCH(QString, brand);
    QFETCH(Format, format);
    QFETCH(QString, path);
    QCOMPARE(CatalogExport::FilePath(folder, brand, format), path);
}

// "BOSCH.csv" planted as a link in the export folder had the export overwrite the link's target.
void TestCatalogExport::savingReplacesAPlantedLink() {
    TestFolders folders;
    const PlantedLink link(folders.programFile("BOSCH.csv"));
    QString error;
    QVERIFY2(
        CatalogExport::SaveFile(folders.programDir(), "BOSCH", Format::Csv, {"brand id;brand", "30;BOSCH"}, &error),
        qPrintable(error));
    QVERIFY(link.victimIntact());
    QCOMPARE(readBytes(folders.programFile("BOSCH.csv")), QByteArray("\xEF\xBB\xBF"
                                                                     "brand id;brand\r\n30;BOSCH\r\n"));
}

QTEST_GUILESS_MAIN(TestCatalogExport)
#include "tst_catalogexport.moc"
