// The product tree from answer bytes in memory to a painted window, through the program's own
// path (decoder, product table, tree model) beside the item-tree path it replaced: the same
// decoder, then five tree items per product, bold set before insertion, detached items inserted
// in one step. Both trees are checked node by node before anything is timed. Each path is timed
// for its fill with the first paint and, apart, for clearing the list a new listing replaces.
// The category trees keep their item trees and are timed beside a plain fill. Times are wall
// clock; the CPU column counts every thread of the process (the program's path uses workers).
#include "catalog/productlist.h"
#include "catalog/producttable.h"
#include "catalog/treeloader.h"
#include "catalog/treetext.h"
#include "platform/widgets.h"
#include "service/appcontext.h"
#include "service/decoder.h"
#include "service/serviceclient.h"
#include "service/textfunctions.h"
#include "support/answers.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QSet>
#include <QThreadPool>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kCategories = 5000;
const QString kFunction = QStringLiteral("GetListArticlesFromTreeCategory");

// A category answer of `count` products in the service's layout, messy as the catalog is:
// long names, umlauts, references with blanks, criteria of varying length.
QByteArray productAnswer(int count) {
    static const QStringList kinds{"Brake Disc",      "Brake Pad Set, disc brake",
                                   "Oil Filter",      "Air Filter",
                                   "Spark Plug",      "Wiper Blade",
                                   "Stoßdämpfer",     "Water Pump",
                                   "Timing Belt Kit", "Glühkerze"};
    static const QStringList brands{"BOSCH",       "ATE",   "TRW", "FEBI BILSTEIN", "LEMFÖRDER",
                                    "MANN-FILTER", "SACHS", "NGK", "VALEO",         "MEYLE"};
    QList<AnswerRecord> records;
    records.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int key = int((qint64(i) * 7919) % count);
        const QString brand = brands.at(key % brands.size());
        records.append(
            {{"artid", QString::number(100000 + i)},
             {"laid", QString::number(5000000 + key)},
             {"braid", QString::number(30 + key % brands.size())},
             {"brand", brand},
             {"articlenr", QStringLiteral("0 986 %1 %2").arg(key / 1000, 3, 10, QLatin1Char('0')).arg(key % 1000)},
             {"name", kinds.at(key % kinds.size())},
             {"additionalforname", key % 3 ? QStringLiteral("vented %1 mm").arg(240 + key % 80) : QString()},
             {"statusproduct", key % 7 ? QStringLiteral("Normal") : QStringLiteral("Discontinued")},
             {"criteries", QStringLiteral("Diameter [mm]: %1; Brake Disc Thickness [mm]: 22; Fitting "
                                          "Position: Front Axle")
                               .arg(240 + key % 80)},
             {"termsofuse", key % 4 ? QString() : QStringLiteral("for vehicles with sport suspension")}});
    }
    return catalogAnswerBytes(kFunction, records);
}

const QByteArray& answerOf(int count) {
    static QHash<int, QByteArray> answers;
    auto it = answers.find(count);
    if (it == answers.end())
        it = answers.insert(count, productAnswer(count));
    return *it;
}

// What both paths do with a received answer: the exchange looks for the test-client marker, the
// listing reads it unless it is blank.
ProductRows decodedProducts(const QByteArray& answer) {
    if (holdsTestClientMarker(answer) || IsBlank(answer))
        return {};
    return productsFromAnswer(DecodeAnswer<TArticleRec>(kFunction, answer));
}

// Bytes the heap holds for the program, in every arena: the program's path allocates on worker
// threads too, and mallinfo2 reports the main arena only. From malloc_info's totals: what the
// arenas took from the system, less their free chunks, plus chunks mapped on their own.
std::size_t heapInUse() {
    char* text = nullptr;
    std::size_t size = 0;
    FILE* out = open_memstream(&text, &size);
    malloc_info(0, out);
    std::fclose(out);
    const QByteArray info(text, qsizetype(size));
    std::free(text);
    // The totals of the whole heap follow the sections of each arena.
    auto last = [&info](const char* tag) {
        const qsizetype at = info.lastIndexOf(tag);
        const qsizetype value = info.indexOf("size=\"", at) + 6;
        return at < 0 ? 0 : info.mid(value, info.indexOf('"', value) - value).toULongLong();
    };
    return last("<system type=\"current\"") - last("<total type=\"fast\"") - last("<total type=\"rest\"") +
           last("<total type=\"mmap\"");
}

// The program's product list in a shown window of a usual size.
struct ModelPath {
    SharedTexts texts;
    AppContext context;
    ProductTable table;
    QWidget window;
    ProductList* list;
    QTreeView* tree;
    bool expanded;
    explicit ModelPath(bool fullExpand = false) : expanded(fullExpand) {
        context.texts = &texts;
        list = new ProductList(context, table, &window);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(list->widget());
        tree = list->widget()->findChild<QTreeView*>(QStringLiteral("TreeView3"));
        window.resize(1000, 700);
        window.show();
        QCoreApplication::processEvents();
        if (fullExpand) // the user's FullExpand
            list->widget()->findChild<QToolButton*>(QStringLiteral("SpeedButton21"))->click();
    }
    void fill(const QByteArray& answer) {
        list->startListing();
        list->ShowProductList(decodedProducts(answer));
        paint();
    }
    void clear() {
        list->startListing();
        paint();
    }
    void paint() {
        QCoreApplication::processEvents();
        window.repaint();
    }
};

struct ExpandedModelPath : ModelPath {
    ExpandedModelPath() : ModelPath(true) {}
};

// The item tree as the program filled it before: the same table and brand list, then the tree
// text of the rows loaded into items.
struct ItemPath {
    ProductTable table;
    QWidget window;
    QListWidget* brands;
    QTreeWidget* tree;
    bool expanded = false;
    explicit ItemPath(bool fullExpand = false) : expanded(fullExpand) {
        auto* layout = new QVBoxLayout(&window);
        brands = new QListWidget;
        tree = new QTreeWidget;
        tree->setHeaderHidden(true);
        layout->addWidget(brands);
        layout->addWidget(tree);
        window.resize(1000, 700);
        window.show();
        QCoreApplication::processEvents();
    }
    void fill(const QByteArray& answer) {
        clearViews();
        const ProductRows records = decodedProducts(answer);
        table.replace(applyNecessaryBrands(records, QString()));
        QSet<QString> listed;
        for (const ProductRow& record : records) {
            const QString brand = record.brand.toString();
            if (!listed.contains(brand.toCaseFolded())) {
                listed.insert(brand.toCaseFolded());
                brands->item(insertSorted(brands, brand))->setData(Qt::UserRole, record.braid);
            }
        }
        QFont bold = tree->font();
        bold.setBold(true);
        LoadTreeText(tree, productTreeLines(records), expanded, &bold);
        paint();
    }
    void clear() {
        clearViews();
        paint();
    }
    void clearViews() {
        tree->clear();
        brands->clear();
        table.replace({});
    }
    void paint() {
        QCoreApplication::processEvents();
        window.repaint();
    }
};

struct ExpandedItemPath : ItemPath {
    ExpandedItemPath() : ItemPath(true) {}
};

// Both paths must show the same nodes before either is timed.
// With FullExpand on, every product must be expanded on both sides as well.
void requireSameTrees(int count, bool expanded) {
    ModelPath model(expanded);
    ItemPath items(expanded);
    model.fill(answerOf(count));
    items.fill(answerOf(count));
    const QStringList shown = treeNodes(*model.tree->model());
    bool sameExpansion = true;
    for (int row = 0; row < model.tree->model()->rowCount() && sameExpansion; ++row)
        sameExpansion = model.tree->isExpanded(model.tree->model()->index(row, 0)) == expanded &&
                        items.tree->isExpanded(items.tree->model()->index(row, 0)) == expanded;
    if (shown.size() < count * 3 || shown != treeNodes(*items.tree->model()) || !sameExpansion ||
        itemTexts(model.list->widget()->findChild<QListWidget*>(QStringLiteral("ListBox1"))) !=
            itemTexts(items.brands)) {
        std::fprintf(stderr, "catalog_bench: the trees differ at %d products\n", count);
        std::exit(1);
    }
}

template <class Path> void BM_FillAndPaint(benchmark::State& state) {
    const int count = int(state.range(0));
    Path path;
    requireSameTrees(count, path.expanded);
    const QByteArray& answer = answerOf(count);
    std::size_t heap = 0;
    for (auto _ : state) {
        state.PauseTiming();
        path.clear();
        QThreadPool::globalInstance()->waitForDone();
        const std::size_t before = heapInUse();
        state.ResumeTiming();
        path.fill(answer);
        state.PauseTiming();
        heap = heapInUse() - before;
        state.ResumeTiming();
    }
    state.counters["heap_per_product"] = double(heap) / count;
}

// Timed is the window's part; the program hands the rows to a worker to be freed, and that
// worker's time until it is done is reported beside (release_ms), outside the timed region.
template <class Path> void BM_Clear(benchmark::State& state) {
    const int count = int(state.range(0));
    Path path;
    const QByteArray& answer = answerOf(count);
    double released = 0;
    for (auto _ : state) {
        state.PauseTiming();
        path.fill(answer);
        state.ResumeTiming();
        path.clear();
        state.PauseTiming();
        QElapsedTimer release;
        release.start();
        QThreadPool::globalInstance()->waitForDone();
        released += release.nsecsElapsed() / 1e6;
        state.ResumeTiming();
    }
    state.counters["release_ms"] = released / double(state.iterations());
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

// The plain way: items made under their parents one by one, in the lines' order, data set.
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
}

// Both category paths must build the same nodes before either is timed.
void requireSameCategoryTrees(const QList<TCategoryRec>& records) {
    QTreeWidget loaded;
    QTreeWidget direct;
    LoadTreeText(&loaded, categoryTreeLines(records), false);
    directFill(direct, categoryTreeLines(records), false);
    if (treeNodes(*loaded.model()) != treeNodes(*direct.model())) {
        std::fprintf(stderr, "catalog_bench: the category trees differ\n");
        std::exit(1);
    }
}

void BM_CategoryLoadTreeText(benchmark::State& state) {
    QTreeWidget tree;
    const QList<TCategoryRec> records = sampleCategories();
    requireSameCategoryTrees(records);
    for (auto _ : state) {
        LoadTreeText(&tree, categoryTreeLines(records), false);
        benchmark::DoNotOptimize(tree.topLevelItemCount());
    }
}

// The same records to the same nodes: the lines are made inside the timed loop on both sides.
void BM_CategoryDirectFill(benchmark::State& state) {
    QTreeWidget tree;
    const QList<TCategoryRec> records = sampleCategories();
    for (auto _ : state) {
        directFill(tree, categoryTreeLines(records), false);
        benchmark::DoNotOptimize(tree.topLevelItemCount());
    }
}

} // namespace

BENCHMARK(BM_FillAndPaint<ModelPath>)
    ->Name("Products/Model/FillAndPaint")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_FillAndPaint<ItemPath>)
    ->Name("Products/ItemTree/FillAndPaint")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
// With FullExpand on, every product shows its detail lines.
BENCHMARK(BM_FillAndPaint<ExpandedModelPath>)
    ->Name("Products/Model/FillExpandedAndPaint")
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_FillAndPaint<ExpandedItemPath>)
    ->Name("Products/ItemTree/FillExpandedAndPaint")
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_Clear<ModelPath>)
    ->Name("Products/Model/Clear")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_Clear<ItemPath>)
    ->Name("Products/ItemTree/Clear")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_CategoryLoadTreeText)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_CategoryDirectFill)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
