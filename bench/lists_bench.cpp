// Filling a sorted list box from a list file (the garage, the download links): the whole file
// sorted at once against inserting line by line, as the list box sorts, which scans the list
// for every line. Both fill a list widget and give the same order (checked).
#include "platform/widgets.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListWidget>

#include <cstdlib>

namespace {

QStringList downloadLinks(int count) {
    QStringList links;
    for (int i = 0; i < count; ++i) {
        const int n = (i * 7919) % count;
        links << QStringLiteral("http://%1%2.de/price-%3.csv").arg(n % 3 ? "shop" : "Shop").arg(n).arg(n % 11);
    }
    return links;
}

void BM_SortedAtOnce(benchmark::State& state) {
    const QStringList links = downloadLinks(int(state.range(0)));
    for (auto _ : state) {
        QListWidget list;
        list.addItems(sortedLikeInsertSorted(links));
        benchmark::DoNotOptimize(list.count());
    }
}

void BM_InsertedOneByOne(benchmark::State& state) {
    const QStringList links = downloadLinks(int(state.range(0)));
    for (auto _ : state) {
        QListWidget list;
        for (const QString& line : links)
            insertSorted(&list, line);
        benchmark::DoNotOptimize(list.count());
    }
    QListWidget atOnce;
    atOnce.addItems(sortedLikeInsertSorted(links));
    QListWidget oneByOne;
    for (const QString& line : links)
        insertSorted(&oneByOne, line);
    if (itemTexts(&atOnce) != itemTexts(&oneByOne))
        state.SkipWithError("the two orders differ");
}

} // namespace

BENCHMARK(BM_SortedAtOnce)
    ->Arg(4000)
    ->Arg(30000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_InsertedOneByOne)->Arg(4000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
