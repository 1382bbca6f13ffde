#include "pricelists/normalizereference.h"
#include "pricelists/ownpricetable.h"
#include "support/ownprices.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QTest>

#include <optional>

namespace {

TVarItemData item(const QString& brand, const QString& reference, const QString& price, const QString& file) {
    return TVarItemData{brand, reference, NormalizeReference(reference), price, file};
}

void add(OwnPriceTable& table, const TVarItemData& row) {
    table.Add(row.freereference, row);
}

QStringList filesOf(const std::vector<OwnPriceMatch>& rows) {
    QStringList files;
    for (const OwnPriceMatch& r : rows)
        files << r.pathfile.toString() + QLatin1Char(':') + r.price.toString();
    return files;
}

// Every text of the rows a lookup finds, in order; nothing when it was stopped.
template <class Lookup>
std::optional<QStringList> textsOf(Lookup lookup, const OwnPriceTable& table, const QString& key,
                                   const QString& brand) {
    std::vector<OwnPriceMatch> rows;
    if (!lookup(table, key, brand, rows, {}))
        return std::nullopt;
    QStringList texts;
    for (const OwnPriceMatch& r : rows)
        texts << QStringList{r.brand.toString(), r.reference.toString(), r.freereference.toString(), r.price.toString(),
                             r.pathfile.toString()}
                     .join(QLatin1Char('|'));
    return texts;
}

} // namespace

class TestOwnPriceTable : public QObject {
    Q_OBJECT
private slots:
    void normalizeReference_data();
    void normalizeReference();
    void lookupMatchesKeyAndBrand_data();
    void lookupMatchesKeyAndBrand();
    void rowsKeepTheirTexts();
    void sortPutsEqualKeysTogetherAndPrefixesFirst();
    void stopFlagAbortsTheWalk();
    void emptyAndRefill();
    void indexFindsWhatTheSearchFinds_data();
    void indexFindsWhatTheSearchFinds();
    void cleanup();
};

void TestOwnPriceTable::cleanup() {
    QLocale::setDefault(QLocale::c());
}

void TestOwnPriceTable::normalizeReference_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("key");
    QTest::newRow("blanks, dash, dot") << " 0 986-452.044 "
                                       << "0986452044";
    QTest::newRow("small letters, slash") << "ab/12-c"
                                          << "AB12C";
    QTest::newRow("only marks") << "--"
                                << "";
    QTest::newRow("umlaut and other alphabets") << "äb-1 ж"
                                                << "B1";
    QTest::newRow("control characters") << "\t531\u00A00305\r\n"
                                        << "5310305";
}

void TestOwnPriceTable::normalizeReference() {
    QFETCH(QString, text);
    QFETCH(QString, key);
    QCOMPARE(NormalizeReference(text), key);
}

void TestOwnPriceTable::lookupMatchesKeyAndBrand_data() {
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("brand");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("written otherwise, brand in other case") << "0 986-452 044"
                                                            << "Bosch" << QStringList{"a.csv:12,50", "b.csv:13,00"};
    QTest::newRow("longer brand") << "0986452044"
                                  << "BOSCH GMBH" << QStringList{"a.csv:1,00"};
    QTest::newRow("trailing blank in the brand") << "0986452044"
                                                 << "BOSCH " << QStringList{};
    QTest::newRow("prefix of a key") << "098645204"
                                     << "BOSCH" << QStringList{"c.csv:9"};
    QTest::newRow("key sharing the first ten characters") << "09864520441"
                                                          << "BOSCH" << QStringList{"c.csv:11"};
    QTest::newRow("unknown key") << "X"
                                 << "BOSCH" << QStringList{};
    QTest::newRow("empty key") << "--"
                               << "BOSCH" << QStringList{};
}

void TestOwnPriceTable::lookupMatchesKeyAndBrand() {
    QFETCH(QString, reference);
    QFETCH(QString, brand);
    QFETCH(QStringList, found);
    OwnPriceTable table;
    add(table, item("BOSCH", "0986452044", "12,50", "a.csv"));
    add(table, item("BOSCH GMBH", "0986452044", "1,00", "a.csv"));
    add(table, item("FEBI", "0986452044", "2", "a.csv"));
    add(table, item("BOSCH", "098645204", "9", "c.csv"));
    add(table, item("BOSCH", "09864520441", "11", "c.csv"));
    add(table, item("BOSCH", "0 986 452 044", "13,00", "b.csv"));
    add(table, item("BOSCH", "0986452043", "8", "c.csv"));
    table.Sort();
    std::vector<OwnPriceMatch> rows;
    QVERIFY(FindOwnPrices(table, NormalizeReference(reference), brand, rows));
    QStringList files = filesOf(rows);
    files.sort();
    QCOMPARE(files, found);
}

void TestOwnPriceTable::rowsKeepTheirTexts() {
    OwnPriceTable table;
    add(table, item("INA", "531 0305 10", "12,50", "MyStock.csv"));
    table.Sort();
    QCOMPARE(table.Count(), 1);
    const TVarItemData row = table.row(0);
    QCOMPARE(row.brand, QStringLiteral("INA"));
    QCOMPARE(row.reference, QStringLiteral("531 0305 10"));
    QCOMPARE(row.freereference, QStringLiteral("531030510"));
    QCOMPARE(row.price, QStringLiteral("12,50"));
    QCOMPARE(row.pathfile, QStringLiteral("MyStock.csv"));
    std::vector<OwnPriceMatch> found;
    QVERIFY(FindOwnPrices(table, QStringLiteral("531030510"), QStringLiteral("ina"), found));
    QCOMPARE(found.size(), size_t(1));
    QCOMPARE(found.front().reference.toString(), row.reference);
    QCOMPARE(found.front().pathfile.toString(), row.pathfile);
}

void TestOwnPriceTable::sortPutsEqualKeysTogetherAndPrefixesFirst() {
    OwnPriceTable table;
    const QStringList keys = {"B", "ABC", "A", "9", "ABCDEFGHIJKL", "AB", "ABCDEFGHIJK", "0", "ABCDEFGHIJ", "A"};
    for (const QString& k : keys)
        add(table, item("X", k, "1", "f.csv"));
    table.Sort();
    QStringList sorted;
    for (qsizetype i = 0; i < table.Count(); ++i)
        sorted << table.key(i).toString();
    QCOMPARE(sorted, (QStringList{"0", "9", "A", "A", "AB", "ABC", "ABCDEFGHIJ", "ABCDEFGHIJK", "ABCDEFGHIJKL", "B"}));
    QCOMPARE(findOwnPrices(table, "A", "x").size(), 2);
    QCOMPARE(findOwnPrices(table, "ABCDEFGHIJK", "X").size(), 1);
}

void TestOwnPriceTable::stopFlagAbortsTheWalk() {
    OwnPriceTable table;
    for (int i = 0; i < 5; ++i)
        add(table, item("X", "K1", QString::number(i), "f.csv"));
    table.Sort();
    int asked = 0;
    std::vector<OwnPriceMatch> rows;
    QVERIFY(!FindOwnPrices(table, "K1", "X", rows, [&] { return ++asked == 3; }));
    QCOMPARE(asked, 3);
    QVERIFY(rows.empty());
    QVERIFY(FindOwnPrices(table, "K1", "X", rows, [] { return false; }));
    QCOMPARE(rows.size(), size_t(5));
}

void TestOwnPriceTable::emptyAndRefill() {
    OwnPriceTable table;
    add(table, item("X", "K1", "1", "f.csv"));
    table.Empty();
    QCOMPARE(table.Count(), 0);
    QCOMPARE(findOwnPrices(table, "K1", "X").size(), 0);
    // A text longer than a whole block of the table still fits.
    const QString longPrice(1 << 21, QLatin1Char('9'));
    add(table, item("Y", "K2", longPrice, "g.csv"));
    add(table, item("Y", "K1", "2", "g.csv"));
    table.Sort();
    QCOMPARE(table.row(1).price, longPrice);
    QCOMPARE(table.row(0).pathfile, QStringLiteral("g.csv"));
}

void TestOwnPriceTable::indexFindsWhatTheSearchFinds_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates);
    // Upper-cases "i" to a dotted capital, so that no brand takes the plain ASCII way.
    QTest::newRow("Turkish") << QLocale(QLocale::Turkish, QLocale::Turkey);
}

// Row by row, in order, the index gives what the binary search gives, for keys that share long
// prefixes or differ only in case, keys whose tags in the index collide, brands that differ only
// in case or beyond ASCII, and the same row in several files.
void TestOwnPriceTable::indexFindsWhatTheSearchFinds() {
    QFETCH(QLocale, locale);
    QLocale::setDefault(locale);
    OwnPriceTable table;
    QRandomGenerator rng(11);
    QStringList brands = {"Bosch", "BOSCH",    "bosch gmbh", "Febi",        "\u00C4te", "\u00E4te", "ina",
                          "INA",   "\u0130na", "\u0131na",   "stra\u00DFe", "STRASSE",  "X"};
    // Longer than a lookup upper-cases in place.
    brands << QStringLiteral("Robert Bosch Automotive Steering and Chassis Systems International GmbH");
    QList<std::pair<QString, QString>> probes;
    for (int i = 0; i < 20000; ++i) {
        const QString reference = i % 10 == 0 ? QStringLiteral("0986452044%1").arg(rng.bounded(30))
                                              : QStringLiteral("0986 %1-%2").arg(rng.bounded(40)).arg(rng.bounded(300));
        const QString brand = brands.at(rng.bounded(int(brands.size())));
        add(table, item(brand, reference, QString::number(i), QStringLiteral("f%1.csv").arg(rng.bounded(3))));
        if (i % 40 == 0)
            probes.append({NormalizeReference(reference), brand.toLower()});
        if (i % 40 == 1)
            probes.append({NormalizeReference(reference), brand.toUpper()});
    }
    // Keys beyond the readers' alphabet, which share prefix codes with others.
    for (const char* key : {"abc12", "ABC12", "Abc12", "A-1", "A.1", "A1"}) {
        table.Add(QString::fromLatin1(key), item("Bosch", QString::fromLatin1(key), "7", "g.csv"));
        probes.append({QString::fromLatin1(key), "BOSCH"});
    }
    // Keys with the same tag, and so the same bucket, found by trying: of each pair the first is
    // in the table, the second only when the pair's number is even.
    QHash<quint32, QString> byTag;
    int collisions = 0;
    for (int i = 0; collisions < 4; ++i) {
        const QString key = QStringLiteral("T%1").arg(i);
        const quint32 tag = OwnPriceTable::indexTag(key, u"BOSCH");
        const auto seen = byTag.constFind(tag);
        if (seen == byTag.constEnd()) {
            byTag.insert(tag, key);
            continue;
        }
        add(table, item("Bosch", *seen, "1", "t.csv"));
        if (collisions % 2 == 0)
            add(table, item("bosch", key, "2", "t.csv"));
        probes.append({*seen, "bosch"});
        probes.append({key, "bosch"});
        ++collisions;
    }
    probes.append(std::pair<QString, QString>("09861", "BOSCH"));
    probes.append(std::pair<QString, QString>("NOSUCHKEY", "BOSCH"));
    probes.append(std::pair<QString, QString>("", "BOSCH"));
    table.Sort();
    qsizetype found = 0;
    for (const auto& [key, brand] : probes) {
        const std::optional<QStringList> indexed = textsOf(FindOwnPrices, table, key, brand);
        QVERIFY(indexed.has_value());
        QCOMPARE(*indexed, *textsOf(FindOwnPricesBySearch, table, key, brand));
        found += indexed->size();
    }
    QVERIFY(found > probes.size());
    // A row added after the sort is found all the same.
    add(table, item("New", "NOSUCHKEY", "1", "g.csv"));
    QCOMPARE(findOwnPrices(table, "NOSUCHKEY", "new").size(), 1);
    // So is a row of a table never sorted, its brand upper-cased in the locale's way.
    OwnPriceTable unsorted;
    add(unsorted, item("ina", "K1", "1", "g.csv"));
    QCOMPARE(findOwnPrices(unsorted, "K1", "ina").size(), 1);
}

QTEST_GUILESS_MAIN(TestOwnPriceTable)
#include "tst_ownpricetable.moc"
