#include "catalog/sortkeys.h"
#include "catalog/treetext.h"
#include "platform/localeformats.h"
#include "service/textfunctions.h"
#include "support/answers.h"

#include <QCollator>
#include <QTest>

#include <algorithm>
#include <numeric>
#include <thread>

namespace {

ProductRecord product(int artid, const QString& name, const QString& brand, const QString& reference = "R1",
                      const QString& criteries = {}, const QString& terms = {}) {
    ProductRecord p;
    p.artid = artid;
    p.braid = artid * 10;
    p.name = name;
    p.brand = brand;
    p.reference = reference;
    p.status = "Normal";
    p.criteries = criteries;
    p.termsofuse = terms;
    return p;
}

TTradeGroupRec group(int gaid, const QString& name, const QString& assembly) {
    TTradeGroupRec r;
    r.gaid = gaid;
    r.ganame = name;
    r.gaassembly = assembly;
    return r;
}

// The ranks of n lines a server that knows how the listing splits its lines could send (after
// McIlroy's adversary): a split's line is ranked below every line not ranked yet when first read,
// so each split leaves all but a line or two on one side as the positions are found in turn.
QList<int> ranksAgainstTheSplits(qsizetype n) {
    constexpr int kUnranked = -1;
    constexpr qsizetype kShortPart = 24;
    QList<int> rank(n, kUnranked);
    int ranked = 0;
    const auto before = [&](qsizetype x, qsizetype y) {
        if (rank[x] == kUnranked && rank[y] == kUnranked)
            rank[x] = ranked++;
        return rank[x] != kUnranked && (rank[y] == kUnranked || rank[x] < rank[y]);
    };
    std::vector<qsizetype> at(static_cast<std::size_t>(n));
    std::iota(at.begin(), at.end(), 0);
    std::vector<bool> settled(static_cast<std::size_t>(n));
    for (qsizetype position = 0; position < n; ++position) {
        qsizetype lo = position;
        qsizetype hi = position;
        while (hi < n && !settled[std::size_t(hi)])
            ++hi;
        while (hi - lo > kShortPart) {
            qsizetype& first = at[std::size_t(lo)];
            qsizetype& middle = at[std::size_t(lo + (hi - lo) / 2)];
            qsizetype& last = at[std::size_t(hi - 1)];
            if (before(middle, first))
                std::swap(middle, first);
            if (before(last, middle)) {
                std::swap(last, middle);
                if (before(middle, first))
                    std::swap(middle, first);
            }
            std::swap(middle, last);
            const qsizetype split = last;
            if (rank[split] == kUnranked)
                rank[split] = ranked++;
            const auto place = std::stable_partition(at.begin() + lo, at.begin() + hi - 1,
                                                     [&](qsizetype number) { return before(number, split); });
            std::swap(*place, last);
            const qsizetype found = place - at.begin();
            settled[std::size_t(found)] = true;
            if (found == position)
                break;
            if (position < found)
                hi = found;
            else
                lo = found + 1;
        }
        if (hi - lo <= kShortPart) {
            std::sort(at.begin() + lo, at.begin() + hi, before);
            std::fill(settled.begin() + lo, settled.begin() + hi, true);
        }
    }
    for (int& r : rank)
        if (r == kUnranked)
            r = ranked++;
    return rank;
}

QStringList captions(const QList<TreeLine>& lines) {
    QStringList out;
    for (const TreeLine& l : lines)
        out << QString(l.depth, u'>') + l.caption;
    return out;
}

} // namespace

class TestTreeText : public QObject {
    Q_OBJECT
private slots:
    void captionShowsTabsAndBreaksAsBlanks_data();
    void captionShowsTabsAndBreaksAsBlanks();
    void linesOneLevelTooDeepAreRefused_data();
    void linesOneLevelTooDeepAreRefused();
    void strtypeFollowsTreeKindAndVehicleClass_data();
    void strtypeFollowsTreeKindAndVehicleClass();
    void categoryLinesKeepTheirRecordsLevel();
    void tradeGroupsRegroupWhenAssemblyChanges();
    void firstTradeGroupWithoutAssemblyIsARoot();
    void productLineAndDetails();
    void productsSortByLineAndKeepDetailOrder();
    void productSortFollowsLocaleComparison();
    void sortKeysOrderAsTheCollator_data();
    void sortKeysOrderAsTheCollator();
    void orderFoundInPartsIsTheWholeSort_data();
    void orderFoundInPartsIsTheWholeSort();
    void linesAgainstTheSplitsFindTheWholeSort();
    void orderSortedAsideWhileShown();
    void recordsBecomeProductRows();
    void joinedNamesFollowTheirTexts_data();
    void joinedNamesFollowTheirTexts();
    void rowsKeepTheAnswerTheyView();
    void necessaryBrandsLeaveEmptyRows();
    void filterMatching_data();
    void filterMatching();
    void listFileBlocks();
};

void TestTreeText::captionShowsTabsAndBreaksAsBlanks_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain") << "Brake Disc"
                           << "Brake Disc";
    QTest::newRow("leading blanks stay") << "  Brake"
                                         << "  Brake";
    QTest::newRow("tab") << "\tBrake\tDisc"
                         << " Brake Disc";
    QTest::newRow("CR LF is one break") << "Brake\r\nDisc"
                                        << "Brake Disc";
    QTest::newRow("LF and CR") << "a\nb\rc"
                               << "a b c";
}

void TestTreeText::captionShowsTabsAndBreaksAsBlanks() {
    QFETCH(QString, caption);
    QFETCH(QString, shown);
    QCOMPARE(captionText(caption), shown);
}

void TestTreeText::linesOneLevelTooDeepAreRefused_data() {
    QTest::addColumn<QList<TreeLine>>("lines");
    QTest::addColumn<QString>("badText"); // empty: the lines load
    QTest::newRow("siblings, children, back up")
        << QList<TreeLine>{{0, "a"}, {1, "b"}, {2, "c"}, {0, "d"}, {1, "e"}} << QString();
    QTest::newRow("first line is a root whatever its depth") << QList<TreeLine>{{3, "a"}, {1, "b"}} << QString();
    QTest::newRow("two levels deeper") << QList<TreeLine>{{0, "a"}, {1, "b"}, {3, "Deep one"}} << "Deep one";
    QTest::newRow("deeper than a root") << QList<TreeLine>{{0, "a"}, {2, "c"}} << "c";
}

void TestTreeText::linesOneLevelTooDeepAreRefused() {
    QFETCH(QList<TreeLine>, lines);
    QFETCH(QString, badText);
    const QString error = treeLinesError(lines);
    if (badText.isEmpty()) {
        QVERIFY2(error.isEmpty(), qPrintable(error));
        return;
    }
    QVERIFY(error.contains('"' + badText + '"'));
    QVERIFY(error.contains(QString::number(lines.last().depth)));
}

void TestTreeText::strtypeFollowsTreeKindAndVehicleClass_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("vehicleClass");
    QTest::addColumn<int>("strtype");
    const int selected = int(TreeKind::SelectedType), engine = int(TreeKind::Engine), axle = int(TreeKind::Axle);
    QTest::newRow("selected type, all vehicles") << selected << 0 << 1;
    QTest::newRow("selected type, passengers") << selected << 1 << 1;
    QTest::newRow("selected type, trucks") << selected << 2 << 2;
    QTest::newRow("selected type, motorcycles") << selected << 3 << 1;
    QTest::newRow("engine, all") << engine << 0 << 3;
    QTest::newRow("engine, trucks") << engine << 2 << 3;
    QTest::newRow("axle, passengers") << axle << 1 << 5;
    QTest::newRow("axle, trucks") << axle << 2 << 5;
}

void TestTreeText::strtypeFollowsTreeKindAndVehicleClass() {
    QFETCH(int, kind);
    QFETCH(int, vehicleClass);
    QFETCH(int, strtype);
    QCOMPARE(categoryStrType(TreeKind(kind), vehicleClass), strtype);
}

void TestTreeText::categoryLinesKeepTheirRecordsLevel() {
    QList<TCategoryRec> records(7);
    records[0].level = 1, records[0].id1 = 100, records[0].text1 = "Engine";
    records[1].level = 2, records[1].id1 = 100, records[1].text1 = "Engine", records[1].id2 = 110,
    records[1].text2 = " Belt drive"; // a blank in the service's data must not move the node
    records[2].level = 3, records[2].id3 = 111, records[2].text3 = "Belt\tTensioner";
    records[3].level = 4, records[3].id4 = 1111, records[3].text4 = "Four";
    records[4].level = 5, records[4].id5 = 11111, records[4].text5 = "Five";
    records[5].level = 6, records[5].id5 = 9, records[5].text5 = "never";
    records[6].level = 0, records[6].id1 = 9, records[6].text1 = "never";
    const QList<TreeLine> expected{
        {0, "Engine", 100}, {1, " Belt drive", 110}, {2, "Belt Tensioner", 111}, {3, "Four", 1111}, {4, "Five", 11111}};
    QCOMPARE(categoryTreeLines(records), expected);
    QVERIFY(treeLinesError(expected).isEmpty());
}

void TestTreeText::tradeGroupsRegroupWhenAssemblyChanges() {
    const QList<TTradeGroupRec> records{group(1, "g1", "A"), group(2, "g2", "A"), group(3, "g3", "B"),
                                        group(4, "g4", "A"), group(5, "g5", "a")};
    const QList<TreeLine> expected{{0, "A", 0}, {1, "g1", 1}, {1, "g2", 2}, {0, "B", 0}, {1, "g3", 3},
                                   {0, "A", 0}, {1, "g4", 4}, {0, "a", 0},  {1, "g5", 5}};
    QCOMPARE(tradeGroupLines(records), expected);
}

void TestTreeText::firstTradeGroupWithoutAssemblyIsARoot() {
    const QList<TTradeGroupRec> records{group(1, "g1", ""), group(2, "g2", ""), group(3, "g3", "B")};
    const QList<TreeLine> lines = tradeGroupLines(records);
    const QList<TreeLine> expected{{1, "g1", 1}, {1, "g2", 2}, {0, "B", 0}, {1, "g3", 3}};
    QCOMPARE(lines, expected);
    // Loaded, g1 becomes a root and g2 its child.
    QVERIFY(treeLinesError(lines).isEmpty());
}

void TestTreeText::productLineAndDetails() {
    const ProductRows bare(QList{product(7, "Brake Disc", "ATE", "24.0122", " ", "  ")});
    QCOMPARE(productLineText(bare.at(0)), "Brake Disc [Normal] ATE 24.0122");
    const QList<TreeLine> two{
        {0, "Brake Disc [Normal] ATE 24.0122", 7}, {1, "1. Brand: ATE", 0}, {1, "2. Reference: 24.0122", 0}};
    QCOMPARE(productTreeLines(bare), two);

    const ProductRows full(QList{product(8, "Pad", "TRW", "GDB1", "Width: 20", "front axle")});
    QCOMPARE(productLineText(full.at(0)), "Pad [Normal] TRW GDB1 (front axle)");
    QCOMPARE(captions(productTreeLines(full)),
             (QStringList{"Pad [Normal] TRW GDB1 (front axle)", ">1. Brand: TRW", ">2. Reference: GDB1",
                          ">3. Criteries: Width: 20", ">4. Terms of use: front axle"}));
}

void TestTreeText::productsSortByLineAndKeepDetailOrder() {
    // "Reference" would sort before "Brand" by its word; the numbers keep the details in order.
    const QList<ProductRecord> rows{product(1, "Wiper", "BOSCH", "Z9", "A crit", "Terms"),
                                    product(2, "Air Filter", "MANN", "C1"), product(3, "Oil Filter", "MANN", "W7")};
    const QList<TreeLine> lines = productTreeLines(rows);
    QCOMPARE(captions(lines), (QStringList{"Air Filter [Normal] MANN C1", ">1. Brand: MANN", ">2. Reference: C1",
                                           "Oil Filter [Normal] MANN W7", ">1. Brand: MANN", ">2. Reference: W7",
                                           "Wiper [Normal] BOSCH Z9 (Terms)", ">1. Brand: BOSCH", ">2. Reference: Z9",
                                           ">3. Criteries: A crit", ">4. Terms of use: Terms"}));
    QCOMPARE(lines.at(0).data, 2);
    QCOMPARE(lines.at(3).data, 3);
    QCOMPARE(lines.at(6).data, 1);
}

void TestTreeText::productSortFollowsLocaleComparison() {
    const QStringList names{"beta", "Beta", "alpha", "Alpha", "zeta", "Ölfilter", "oil", "10 mm", "9 mm", "beta"};
    QList<ProductRecord> rows;
    for (int i = 0; i < names.size(); ++i)
        rows << product(i + 1, names.at(i), "B");
    QStringList roots;
    for (const TreeLine& l : productTreeLines(rows))
        if (l.depth == 0)
            roots << l.caption;
    QCOMPARE(roots.size(), names.size());
    for (int i = 1; i < roots.size(); ++i)
        QVERIFY2(LocaleFormats::compare(roots.at(i - 1), roots.at(i)) <= 0,
                 qPrintable(roots.at(i - 1) + " / " + roots.at(i)));
}

// The keys are made by ICU directly; they must order as QCollator, case-sensitive, orders.
void TestTreeText::sortKeysOrderAsTheCollator_data() {
    QTest::addColumn<QString>("locale");
    for (const char* name : {"C", "en_US", "de_DE", "sv_SE", "fr_FR", "ru_RU", "pl_PL", "tr_TR"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestTreeText::sortKeysOrderAsTheCollator() {
    QFETCH(QString, locale);
    const QLocale where(locale);
    const QStringList texts{"beta",
                            "Beta",
                            "BETA",
                            "alpha",
                            "Alpha",
                            "Ölfilter",
                            "Oelfilter",
                            "oil",
                            "Zündkerze",
                            "Zundkerze",
                            "Éclairage",
                            "eclairage",
                            "Ecrou",
                            "Å",
                            "Ä",
                            "Z",
                            "ı",
                            "I",
                            "i",
                            "İ",
                            "Тормозной диск",
                            "тормозной",
                            "Łożysko",
                            "Lozysko",
                            "10 mm",
                            "9 mm",
                            "a-b",
                            "a b",
                            "ab",
                            "",
                            " ",
                            "Disc [Normal] ATE 24.01",
                            "Disc [Normal] ATE 24.01 (front)",
                            "汽车",
                            "\u00A0x",
                            "x\uFEFF",
                            "\uFFFD",
                            "ß",
                            "ss",
                            "ǅ",
                            "ﬁ"};
    SortKeys keys(where);
    QCollator collator(where);
    collator.setCaseSensitivity(Qt::CaseSensitive);
    QList<QCollatorSortKey> theirs;
    for (const QString& t : texts) {
        keys.add(t);
        theirs.append(collator.sortKey(t));
    }
    const auto sign = [](int n) { return (n > 0) - (n < 0); };
    for (qsizetype a = 0; a < texts.size(); ++a)
        for (qsizetype b = 0; b < texts.size(); ++b)
            QVERIFY2(sign(keys.compare(a, b)) == sign(theirs.at(a).compare(theirs.at(b))),
                     qPrintable(texts.at(a) + " / " + texts.at(b)));
}

void TestTreeText::orderFoundInPartsIsTheWholeSort_data() {
    QTest::addColumn<QList<qsizetype>>("asked");
    QTest::newRow("first lines") << QList<qsizetype>{0, 1, 2, 3, 4, 5};
    QTest::newRow("from the end") << QList<qsizetype>{4997, 4996, 2500, 0};
    QTest::newRow("scattered, then the rest") << QList<qsizetype>{1234, 17, 4000, 1235, 16, 3999, 2};
    QTest::newRow("nothing before the whole") << QList<qsizetype>{};
    QList<qsizetype> sweep(4998);
    std::iota(sweep.begin(), sweep.end(), 0);
    QTest::newRow("every line in turn, as a tree expanded whole") << sweep;
}

// Lines of a long list: equal ones (whose table order must hold), letter case, umlauts, digits,
// and rows without a product.
void TestTreeText::orderFoundInPartsIsTheWholeSort() {
    QFETCH(QList<qsizetype>, asked);
    const QStringList names{"Bremsscheibe", "bremsscheibe", "Ölfilter", "Oelfilter", "Zündkerze", "10 mm", "9 mm"};
    QList<ProductRecord> records;
    QList<qsizetype> all;
    for (int i = 0; i < 5100; ++i) {
        all.append(i);
        records.append(i % 50 == 7 ? ProductRecord{}
                                   : product(i + 1, names.at((i * 7919) % names.size()), "ATE",
                                             QString::number((i * 104729) % 40)));
    }
    const ProductRows rows(records);
    const QList<qsizetype> expected = productLineOrder(rows, all).toList();
    QCOMPARE(expected.size(), 5100 - 102);
    const ProductLineOrder parts = productLineOrder(rows, all);
    for (const qsizetype position : asked)
        QCOMPARE(parts.at(position), expected.at(position));
    QCOMPARE(parts.toList(), expected);
    for (qsizetype i = 1; i < expected.size(); ++i) {
        const int order = LocaleFormats::compare(productLineText(rows.at(expected.at(i - 1))),
                                                 productLineText(rows.at(expected.at(i))));
        QVERIFY(order < 0 || (order == 0 && expected.at(i - 1) < expected.at(i)));
    }
}

// Found one position after another (a tree expanded whole), lines arranged against the splits
// are sorted whole once splitting them has cost what a fair sort does, and stand where they
// would have stood.
void TestTreeText::linesAgainstTheSplitsFindTheWholeSort() {
    const QList<int> ranks = ranksAgainstTheSplits(3000);
    QList<ProductRecord> records;
    QList<qsizetype> all;
    for (qsizetype i = 0; i < ranks.size(); ++i) {
        all.append(i);
        records.append(product(int(i + 1), QString("Disc %1").arg(ranks.at(i), 6, 10, QChar('0')), "ATE"));
    }
    const ProductRows rows(records);
    const ProductLineOrder order = productLineOrder(rows, all);
    for (qsizetype position = 0; position < order.size(); ++position)
        QCOMPARE(ranks.at(order.at(position)), position);
    QCOMPARE(order.toList(), productLineOrder(rows, all).toList());
}

// A listing's whole order is sorted on a worker over a detached copy while the tree goes on
// finding the lines it paints in the order it shows (run under scripts/tsan to see no race).
void TestTreeText::orderSortedAsideWhileShown() {
    const QStringList names{"Bremsscheibe", "bremsscheibe", "Ölfilter", "Oelfilter", "Zündkerze", "10 mm", "9 mm"};
    QList<ProductRecord> records;
    QList<qsizetype> all;
    for (int i = 0; i < 6000; ++i) {
        all.append(i);
        records.append(product(i + 1, names.at((i * 7919) % names.size()), "ATE", QString::number(i % 97)));
    }
    const ProductRows rows(records);
    const ProductLineOrder shown = productLineOrder(rows, all);
    const ProductLineOrder aside = shown.detached();
    QList<qsizetype> sorted;
    std::thread worker([&] { sorted = aside.toList(); });
    QList<qsizetype> painted;
    for (qsizetype position = 0; position < shown.size(); position += 7)
        painted.append(shown.at(position));
    worker.join();
    QVERIFY(!shown.isWhole());
    QCOMPARE(sorted, productLineOrder(rows, all).toList());
    for (qsizetype i = 0; i < painted.size(); ++i)
        QCOMPARE(painted.at(i), sorted.at(i * 7));
}

void TestTreeText::recordsBecomeProductRows() {
    TArticleRec a;
    a.artid = 5, a.laid = 6, a.braid = 7, a.brand = "ATE", a.reference = "R", a.name = " Disc ",
    a.additionalforname = "vented  ", a.status = "S", a.criteries = "C", a.termsofuse = "T";
    const ProductRecord fromArticle = productRecord(productsFromAnswer(Decoded<TArticleRec>({a})).at(0));
    QCOMPARE(fromArticle.name, "Disc  vented");
    QCOMPARE(fromArticle.laid, 6);
    QCOMPARE(fromArticle.termsofuse, "T");

    TNameSearchRec n;
    n.artid = 5, n.name = "Disc", n.termsofuse = "T";
    const ProductRecord fromName = productRecord(productsFromAnswer(Decoded<TNameSearchRec>({n})).at(0));
    QCOMPARE(fromName.name, "Disc");
    QCOMPARE(fromName.laid, 0);
    QCOMPARE(fromName.termsofuse, "T");

    TCrossSearchRec c;
    c.artid = 5, c.braid = 2, c.brand = "ATE", c.reference = "R 1", c.name = "Disc", c.additionalforname = "",
    c.criteries = "C";
    const ProductRecord fromCross = productRecord(productsFromAnswer(Decoded<TCrossSearchRec>({c})).at(0));
    QCOMPARE(fromCross.name, "Disc");
    QCOMPARE(fromCross.reference, "R 1");
    QVERIFY(fromCross.termsofuse.isEmpty());
    QVERIFY(fromCross.crossreference.isEmpty() && fromCross.aplicability.isEmpty());
}

// The name is joined from the answer's bytes where it is shown; it must read as the two texts
// made apart, joined by a blank and trimmed, whatever blanks and bytes stand at their ends.
void TestTreeText::joinedNamesFollowTheirTexts_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("addition");
    QTest::newRow("both") << QByteArray(" Brake Disc ") << QByteArray(" vented ");
    QTest::newRow("no addition") << QByteArray("Disc\t") << QByteArray();
    QTest::newRow("blank addition") << QByteArray("Disc") << QByteArray(" \t ");
    QTest::newRow("blank name") << QByteArray("  ") << QByteArray(" Pad ");
    QTest::newRow("both blank") << QByteArray(" ") << QByteArray("\r\n");
    QTest::newRow("non-ASCII") << QByteArray("Stoßdämpfer ") << QByteArray(" Ø 280 mm");
    QTest::newRow("cut sequence at the end") << QByteArray("Disc \xC3") << QByteArray("\xE2\x82 x");
    QTest::newRow("byte-order marks") << QByteArray(" \xEF\xBB\xBF"
                                                    "Disc")
                                      << QByteArray("\xEF\xBB\xBF");
}

void TestTreeText::joinedNamesFollowTheirTexts() {
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, addition);
    ProductRow row;
    row.artid = 1;
    row.name = AnswerText(name.constData(), name.size());
    row.additionalforname = AnswerText(addition.constData(), addition.size());
    QCOMPARE(productName(row), Trim(row.name.toString() + QLatin1Char(' ') + row.additionalforname.toString()));
}

// Rows view the bytes of their answer; whoever holds rows holds those bytes, so values read after
// the answer was changed, dropped or replaced by the next listing are still the product's own.
void TestTreeText::rowsKeepTheAnswerTheyView() {
    const QString fn = QStringLiteral("GetListArticlesFromTreeCategory");
    auto answer = [&fn](const QString& brand, const QString& name) {
        return catalogAnswerBytes(fn, {{{"artid", "7"},
                                        {"brand", brand},
                                        {"articlenr", "24.01"},
                                        {"name", name},
                                        {"additionalforname", "vented"},
                                        {"criteries", QStringLiteral("Ø 280")}}});
    };
    ProductTable table;
    {
        QByteArray bytes = answer("ATE", "Disc");
        table.replace(productsFromAnswer(DecodeAnswer<TArticleRec>(fn, bytes)));
        bytes.fill('x'); // the caller's own copy changes; the table's bytes do not
    }
    ProductRows kept;
    {
        // Decoded from a view of bytes that are gone afterwards: the records keep a copy.
        QByteArray passing = answer("TRW", "Pad");
        kept = productsFromAnswer(DecodeAnswer<TArticleRec>(fn, QByteArrayView(passing)));
        passing.fill('y');
    }
    const std::optional<ProductRecord> found = table.find(7);
    QVERIFY(found);
    QCOMPARE(found->brand, "ATE");
    QCOMPARE(found->name, "Disc vented");
    QCOMPARE(found->criteries, QStringLiteral("Ø 280"));

    // The next listing replaces the table; rows taken before still read their own answer.
    const ProductRows before = table.rows();
    table.replace(kept);
    kept = ProductRows();
    QCOMPARE(productRecord(before.at(0)).brand, "ATE");
    QCOMPARE(productLineText(before.at(0)), "Disc vented [] ATE 24.01");
    QCOMPARE(table.find(7)->brand, "TRW");
    QCOMPARE(productLineText(table.rows().at(0)), "Pad vented [] TRW 24.01");
}

void TestTreeText::necessaryBrandsLeaveEmptyRows() {
    const ProductRows products(QList{product(1, "a", "ATE"), product(2, "b", "bosch"), product(3, "c", "TRW")});
    bool hidden = true;
    ProductRows rows = applyNecessaryBrands(products, QString(), &hidden);
    QVERIFY(!hidden);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(1).artid, 2);

    // "BOSCH" in other letter case does not let "bosch" through.
    rows = applyNecessaryBrands(products, "[ATE][BOSCH][TRW]", &hidden);
    QVERIFY(hidden);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(0).artid, 1);
    QCOMPARE(rows.at(1).artid, 0);
    QVERIFY(rows.at(1).brand.isEmpty() && rows.at(1).name.isEmpty() && rows.at(1).braid == 0);
    QCOMPARE(rows.at(2).artid, 3);
    QVERIFY(!passesNecessaryBrands("AT", "[ATE]"));
}

void TestTreeText::filterMatching_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("matches");
    QTest::newRow("upper finds lower") << "BRAKE" << QList<int>{1};
    QTest::newRow("lower finds upper") << "bosch" << QList<int>{2};
    QTest::newRow("trailing blank counts") << "ab " << QList<int>{3};
    QTest::newRow("status") << "normal" << QList<int>{1, 2, 3};
    QTest::newRow("criteria and terms") << "front" << QList<int>{1, 2};
    QTest::newRow("stored cross references do not count") << "xref-77" << QList<int>{};
    QTest::newRow("nothing") << "zzz" << QList<int>{};
}

void TestTreeText::filterMatching() {
    QFETCH(QString, typed);
    QFETCH(QList<int>, matches);
    QList<ProductRecord> rows{product(1, "brake disc", "ATE", "R", "front"),
                              product(2, "Pad", "BOSCH", "R", "", "FRONT axle"), product(3, "cab filter", "M", "abx"),
                              ProductRecord{}};
    rows[2].crossreference = "XREF-77";
    rows[3].name = "brake never"; // an empty row never matches
    QList<int> found;
    const QString lowered = LocaleFormats::toLower(typed);
    for (const ProductRow& r : ProductRows(rows))
        if (productMatchesFilter(r, lowered))
            found << r.artid;
    QCOMPARE(found, matches);
}

void TestTreeText::listFileBlocks() {
    ProductRecord full = product(1, "Disc", "ATE", "24.01", "Width: 20", "front");
    ProductRecord bare = product(2, "Pad", "TRW", "GDB", "   ", " ");
    const QStringList lines = productListFileLines(QList{full, ProductRecord{}, bare});
    const QStringList expected{"[ATE 24.01]  Name: Disc",
                               "[ATE 24.01]\t\tBrand: ATE",
                               "[ATE 24.01]\t\tReference: 24.01",
                               "[ATE 24.01]\t\tStatus: Normal",
                               "[ATE 24.01]\t\tCriteries: Width: 20",
                               "[ATE 24.01]\t\tTerms Of use: front",
                               "  ",
                               "[TRW GDB]  Name: Pad",
                               "[TRW GDB]\t\tBrand: TRW",
                               "[TRW GDB]\t\tReference: GDB",
                               "[TRW GDB]\t\tStatus: Normal",
                               "  "};
    QCOMPARE(lines, expected);
}

QTEST_GUILESS_MAIN(TestTreeText)
#include "tst_treetext.moc"
