// Filling the catalog page's trees through the program's own path, each beside a plain
// QTreeWidget fill of the same nodes followed by a sort.
#include "catalog/productlist.h"
#include "catalog/producttable.h"
#include "catalog/treeloader.h"
#include "catalog/treetext.h"
#include "service/appcontext.h"

#include <QApplication>
#include <QTreeWidget>
#include <QWidget>

#include <benchmark/benchmark.h>

namespace {

constexpr int kProducts = 10000;
constexpr int kCategories = 5000;

QList<ProductRecord> sampleProducts() {
    static const QStringList kinds{"Brake Disc",  "Brake Pad Set",  "Oil Filter", "Air Filter",  "Spark Plug",
                                   "Wiper Blade", "Shock Absorber", "Water Pump", "Timing Belt", "Glow Plug"};
    QList<ProductRecord> products;
    products.reserve(kProducts);
    for (int i = 0; i < kProducts; ++i) {
        ProductRecord p;
        p.artid = i + 1;
        p.braid = 100 + i % 40;
        p.brand = QStringLiteral("BRAND%1").arg(i % 40);
        // Spread so that the sort has work to do.
        const int key = (i * 7919) % kProducts;
        p.reference = QStringLiteral("%1.%2").arg(key / 100, 3, 10, QLatin1Char('0')).arg(key % 100);
        p.name = kinds.at(key % kinds.size()) + QStringLiteral(" vented %1 mm").arg(key);
        p.status = QStringLiteral("Normal");
        p.criteries =
            QStringLiteral("Diameter [mm]: %1; Thickness [mm]: 22; Fitting Position: Front Axle").arg(key % 400);
        p.termsofuse = QStringLiteral("for vehicles with sport suspension");
        products.append(p);
    }
    return products;
}

// A five-level tree in tree order.
QList<TCategoryRec> sampleCategories() {
    QList<TCategoryRec> records;
    records.reserve(kCategories);
    int id = 1;
    int level = 1;
    while (records.size() < kCategories) {
        TCategoryRec r;
        r.level = level;
        const int key = (id * 2654435761u) % 100000;
        const QString text = QStringLiteral("Category %1").arg(key);
        switch (level) {
        case 1:
            r.id1 = id, r.text1 = text;
            break;
        case 2:
            r.id2 = id, r.text2 = text;
            break;
        case 3:
            r.id3 = id, r.text3 = text;
            break;
        case 4:
            r.id4 = id, r.text4 = text;
            break;
        default:
            r.id5 = id, r.text5 = text;
            break;
        }
        records.append(r);
        ++id;
        // Go down until level 5, then climb back by a step that varies.
        level = level < 5 ? level + 1 : 1 + id % 5;
    }
    return records;
}

// The plain way: items made under their parents one by one, data set, then the tree sorted.
void directFill(QTreeWidget& tree, const QList<TreeLine>& lines, bool boldRoots) {
    tree.clear();
    QFont bold = tree.font();
    bold.setBold(true);
    QList<QTreeWidgetItem*> path;
    for (const TreeLine& line : lines) {
        path.resize(line.depth);
        QTreeWidgetItem* item = line.depth == 0 ? new QTreeWidgetItem(&tree) : new QTreeWidgetItem(path.last());
        item->setText(0, line.caption);
        item->setData(0, Qt::UserRole, line.data);
        if (boldRoots && line.depth == 0)
            item->setFont(0, bold);
        path.append(item);
    }
    tree.sortItems(0, Qt::AscendingOrder);
}

void BM_ShowProductList(benchmark::State& state) {
    SharedTexts texts;
    AppContext context;
    context.texts = &texts;
    ProductTable table;
    QWidget window;
    ProductList list(context, table, &window);
    const QList<ProductRecord> products = sampleProducts();
    const auto* tree = list.widget()->findChild<QTreeWidget*>(QStringLiteral("TreeView3"));
    for (auto _ : state) {
        list.startListing();
        list.ShowProductList(products);
        benchmark::DoNotOptimize(tree->topLevelItemCount());
    }
    state.counters["nodes"] = double(tree->topLevelItemCount());
}

void BM_ProductsDirectFill(benchmark::State& state) {
    QTreeWidget tree;
    // The same nodes in answer order; the fill sorts them.
    QList<TreeLine> lines;
    for (const ProductRecord& p : sampleProducts()) {
        lines.append({0, productLineText(p), p.artid});
        lines.append({1, QStringLiteral("1. Brand: ") + p.brand, 0});
        lines.append({1, QStringLiteral("2. Reference: ") + p.reference, 0});
        lines.append({1, QStringLiteral("3. Criteries: ") + p.criteries, 0});
        lines.append({1, QStringLiteral("4. Terms of use: ") + p.termsofuse, 0});
    }
    for (auto _ : state) {
        directFill(tree, lines, true);
        benchmark::DoNotOptimize(tree.topLevelItemCount());
    }
    state.counters["nodes"] = double(tree.topLevelItemCount());
}

void BM_CategoryLoadTreeText(benchmark::State& state) {
    QTreeWidget tree;
    const QList<TCategoryRec> records = sampleCategories();
    for (auto _ : state) {
        LoadTreeText(&tree, categoryTreeLines(records), false);
        benchmark::DoNotOptimize(tree.topLevelItemCount());
    }
}

void BM_CategoryDirectFill(benchmark::State& state) {
    QTreeWidget tree;
    const QList<TreeLine> lines = categoryTreeLines(sampleCategories());
    for (auto _ : state) {
        directFill(tree, lines, false);
        benchmark::DoNotOptimize(tree.topLevelItemCount());
    }
}

} // namespace

BENCHMARK(BM_ShowProductList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProductsDirectFill)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CategoryLoadTreeText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CategoryDirectFill)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
