#include "pricelists/freecatalogue.h"

#include <QTest>

class TestFreeCatalogueText : public QObject {
    Q_OBJECT
private slots:
    void answerBecomesOneItemPerLine_data();
    void answerBecomesOneItemPerLine();
    void columnTitleIsAppendedOnce_data();
    void columnTitleIsAppendedOnce();
    void itemShowsCountryCompanyAndFile_data();
    void itemShowsCountryCompanyAndFile();
};

void TestFreeCatalogueText::itemShowsCountryCompanyAndFile_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("shown");
    QTest::newRow("whole entry") << "<country>DE</country><email>info@lager.example</email><url>http://h/pl/"
                                    "lager-%5BATE%5D.csv</url><renameto>ATE</renameto><addprice>preis</addprice>"
                                 << "DE\tinfo@lager.example\tlager-[ATE].csv";
    QTest::newRow("query and blanks") << "<country>PL</country><url>ftp://u:p@h:21/a/price%20list.xlsx?x=1</url>"
                                      << "PL\t\tprice list.xlsx?x=1";
    QTest::newRow("no link") << "free text"
                             << "\t\t";
}

void TestFreeCatalogueText::itemShowsCountryCompanyAndFile() {
    QFETCH(QString, line);
    QFETCH(QString, shown);
    QCOMPARE(CatalogueShownText(CatalogueItem(line)), shown);
}

void TestFreeCatalogueText::answerBecomesOneItemPerLine_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QStringList>("items");
    const QByteArray entry = "<email>E</email><country>DE</country><url>ftp://h/p.csv</url>";
    QTest::newRow("tags in any order") << entry << QStringList{"DE\tE\t" + entry};
    QTest::newRow("missing tags") << QByteArray("free text") << QStringList{"\t\tfree text"};
    QTest::newRow("every line end, empty lines kept")
        << QByteArray("a\r\nb\nc\r\rd\r\n") << QStringList{"\t\ta", "\t\tb", "\t\tc", "\t\t", "\t\td"};
    QTest::newRow("UTF-8") << QByteArray("<country>\xc3\x96sterreich</country>")
                           << QStringList{QStringLiteral("\u00d6sterreich\t\t<country>\u00d6sterreich</country>")};
    QTest::newRow("first occurrence") << QByteArray("<email>A</email><email>B</email>")
                                      << QStringList{"\tA\t<email>A</email><email>B</email>"};
}

void TestFreeCatalogueText::answerBecomesOneItemPerLine() {
    QFETCH(QByteArray, body);
    QFETCH(QStringList, items);
    QCOMPARE(CatalogueItems(body), items);
}

void TestFreeCatalogueText::columnTitleIsAppendedOnce_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("result");
    QTest::newRow("appended lower-cased") << "[price]..."
                                          << "Net Price"
                                          << "[price]...[net price]";
    QTest::newRow("already there") << "[artnr][price]"
                                   << "ARTNR"
                                   << "[artnr][price]";
    QTest::newRow("kept untrimmed") << "[price]"
                                    << " Preis"
                                    << "[price][ preis]";
    QTest::newRow("blank ignored") << "[price]"
                                   << "  "
                                   << "[price]";
    QTest::newRow("case-sensitive search") << "[Preis]"
                                           << "preis"
                                           << "[Preis][preis]";
}

void TestFreeCatalogueText::columnTitleIsAppendedOnce() {
    QFETCH(QString, box);
    QFETCH(QString, title);
    QFETCH(QString, result);
    QCOMPARE(WithColumnTitle(box, title), result);
}

QTEST_GUILESS_MAIN(TestFreeCatalogueText)
#include "tst_freecataloguetext.moc"
