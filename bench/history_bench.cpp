// The price history: storing a 5,000-request run's 18,590 rows in batches beside the same rows one
// insert per transaction (both through PriceHistory, the file's rows checked equal); BEST OFFERS
// for 1,000 lines from a history of 1,000,000 offers; the chart of one line over 500 runs; a year
// of daily runs of 1,000 lines, its size and pruning it. CPU is the whole process's
// (getrusage RUSAGE_SELF), so the worker thread counts.

#include "platform/dialogs.h"
#include "pricing/bestoffersmodel.h"
#include "pricing/pricechart.h"
#include "pricing/pricehistory.h"

#include <QChartView>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>

namespace {

constexpr int kRunRows = 18590;
constexpr int kLines = 1000;

double cpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 + usage.ru_stime.tv_sec * 1e3 +
           usage.ru_stime.tv_usec / 1e3;
}

QTemporaryDir& workDir() {
    static QTemporaryDir dir;
    return dir;
}

void removeHistory(const QString& path) {
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

const char* const kBrands[] = {"BOSCH", "TRW", "ATE", "FEBI BILSTEIN", "MANN-FILTER", "SKF", "VALEO", "SACHS"};
const char* const kShops[] = {"autoteile-mahler.example", "partshub.example", "pieces-auto.example",
                              "bremsen-direkt.example", "carparts-nordic.example"};

LineText lineText(int line) {
    return {QString::fromLatin1(kBrands[line % 8]), QStringLiteral("%1 %2-%3").arg(line % 97).arg(line).arg(line % 13),
            QStringLiteral("Part %1").arg(line)};
}

// The rows one line gives in a run, as the workers deliver them: an own price, shop offers
// (some in pounds, one in a while unreadable) and e-platform offers, prices moving by run.
QList<LineOffer> lineRows(int line, int run, int count) {
    QList<LineOffer> rows;
    rows.reserve(count);
    const LineText text = lineText(line);
    const qint64 base = 1000 + (line * 7919) % 20000;
    for (int n = 0; n < count; ++n) {
        const qint64 cents = base * (90 + (n * 7 + run * 3 + line) % 25) / 100;
        if (n == 0) {
            rows.append({text, ReadOffer(OfferSource::Own, QStringLiteral("MyStock.csv"),
                                         FormatAmount(cents, QLocale(QLocale::German)), QStringLiteral("by default"))});
        } else if (n < count / 2) {
            const bool pounds = n % 5 == 4;
            const QString price = (n + run) % 37 == 0 ? QStringLiteral("on request") : CanonicalAmount(cents);
            rows.append({text, ReadOffer(OfferSource::Shop, QString::fromLatin1(kShops[n % 5]), price,
                                         pounds ? QStringLiteral("GBP") : QStringLiteral("EUR"))});
        } else {
            rows.append({text, ReadOffer(OfferSource::Marketplace, QStringLiteral("seller-%1 (ebay.de)").arg(n % 9),
                                         CanonicalAmount(cents), QStringLiteral("EUR"))});
        }
    }
    return rows;
}

// The 5,000-request run: 1,000 lines, 18,590 rows, batches of one line's rows each.
QList<QList<LineOffer>> runBatches(int run) {
    QList<QList<LineOffer>> batches;
    for (int line = 0; line < kLines; ++line)
        batches.append(lineRows(line, run, kRunRows / kLines + (line < kRunRows % kLines ? 1 : 0)));
    return batches;
}

// Stores `runs` runs of `lines` lines with `rowsPerLine` rows each, a day apart from `firstDay`.
void generate(const QString& path, int runs, int lines, int rowsPerLine, const QDateTime& firstDay) {
    removeHistory(path);
    PriceHistory history(path, 0);
    history.start();
    for (int run = 0; run < runs; ++run) {
        const PriceHistory::Run handle = history.beginRun(firstDay.addDays(run), QStringLiteral("bench"), lines);
        QList<LineOffer> batch;
        for (int line = 0; line < lines; ++line) {
            batch.append(lineRows(line, run, rowsPerLine));
            if (batch.size() >= 400 || line + 1 == lines) {
                history.store(handle, batch);
                batch.clear();
            }
        }
        history.finishRun(handle, RunState::Complete);
        // Keep the queue short: the generator is faster than the file.
        if (run % 20 == 19)
            history.flush();
    }
    history.flush();
}

QStringList allOffers(const QString& path) {
    QStringList rows;
    const PriceHistoryReader reader(path);
    for (const LineSnapshot& line : reader.latestLines())
        for (const Offer& offer : line.offers)
            rows << QStringLiteral("%1|%2|%3|%4|%5")
                        .arg(line.key, offer.seller, offer.priceText, offer.currencyText)
                        .arg(int(offer.source));
    return rows;
}

// Stores one run's rows, each batch in one transaction (`perRow`: every row its own).
void BM_StoreRun(benchmark::State& state) {
    const bool perRow = state.range(0) == 1;
    const QList<QList<LineOffer>> batches = runBatches(0);
    const QString path =
        workDir().filePath(perRow ? QStringLiteral("per-row.sqlite") : QStringLiteral("batched.sqlite"));
    double cpu = 0, handOff = 0;
    qint64 transactions = 0;
    for (auto _ : state) {
        state.PauseTiming();
        removeHistory(path);
        auto history = std::make_unique<PriceHistory>(path, 0);
        history->start();
        history->flush();
        state.ResumeTiming();
        const double cpuBefore = cpuMs();
        QElapsedTimer windowThread;
        windowThread.start();
        const PriceHistory::Run run = history->beginRun(QDateTime::currentDateTime(), QStringLiteral("bench"), kLines);
        transactions = 0;
        for (const QList<LineOffer>& batch : batches) {
            if (perRow) {
                for (const LineOffer& row : batch) {
                    history->store(run, {row});
                    ++transactions;
                }
            } else {
                history->store(run, batch);
                ++transactions;
            }
        }
        history->finishRun(run, RunState::Complete);
        handOff += windowThread.nsecsElapsed() / 1e6;
        history->flush();
        cpu += cpuMs() - cpuBefore;
        state.PauseTiming();
        history.reset();
        state.ResumeTiming();
    }
    state.counters["cpu_ms"] = cpu / double(state.iterations());
    state.counters["handoff_ms"] = handOff / double(state.iterations());
    state.counters["transactions"] = double(transactions);
    state.counters["rows"] = kRunRows;
}

// Both ways leave the same rows in the file.
void BM_StoredRowsEqual(benchmark::State& state) {
    const QStringList batched = allOffers(workDir().filePath(QStringLiteral("batched.sqlite")));
    const QStringList perRow = allOffers(workDir().filePath(QStringLiteral("per-row.sqlite")));
    for (auto _ : state)
        benchmark::DoNotOptimize(batched.size());
    if (batched.size() != kRunRows || batched != perRow)
        state.SkipWithError("the two ways stored different rows");
    state.counters["rows"] = double(batched.size());
}

// 1,000 lines, 53 daily runs of about 19 rows per line: 1,007,000 offers.
const QString& millionOffers() {
    static const QString path = [] {
        const QString file = workDir().filePath(QStringLiteral("million.sqlite"));
        generate(file, 53, kLines, 19, QDateTime::currentDateTime().addDays(-60));
        return file;
    }();
    return path;
}

void BM_BestOffersFromHistory(benchmark::State& state) {
    const QString& path = millionOffers();
    BestOffersModel model;
    for (auto _ : state) {
        const PriceHistoryReader reader(path);
        model.setLines(reader.latestLines());
        benchmark::DoNotOptimize(model.rowCount());
    }
    if (model.rowCount() != kLines || !model.line(0).changeBasisPoints || !model.line(0).ownPrice)
        state.SkipWithError("the lines were not summarised");
    state.counters["lines"] = model.rowCount();
    state.counters["offers_in_file"] = 53.0 * kLines * 19;
    state.counters["file_MB"] = QFileInfo(path).size() / 1e6;
}

// 50 lines over 500 daily runs; the chart of one of them.
const QString& fiveHundredRuns() {
    static const QString path = [] {
        const QString file = workDir().filePath(QStringLiteral("five-hundred.sqlite"));
        generate(file, 500, 50, 19, QDateTime::currentDateTime().addDays(-520));
        return file;
    }();
    return path;
}

void BM_ChartOfOneLine(benchmark::State& state) {
    const QString& path = fiveHundredRuns();
    const bool paint = state.range(0) == 1;
    const QString key = LineKey(lineText(7));
    struct NoDialogs : Dialogs {
        void information(const QString&) override {}
        bool informationWithAction(const QString&, const QString&) override { return false; }
        bool confirm(const QString&, Confirmation) override { return false; }
        bool okAbort(const QString&) override { return false; }
        void error(const QString&) override {}
        void titledError(const QString&, const QString&) override {}
    } dialogs;
    PriceChart chart(dialogs);
    chart.resize(900, 420);
    chart.show();
    for (auto _ : state) {
        const QList<RunOffers> runs = PriceHistoryReader(path).lineRuns(key);
        chart.setLine(lineText(7), ChartOfLine(runs, BestOffersSettings()));
        if (paint)
            benchmark::DoNotOptimize(chart.findChild<QChartView*>()->grab());
    }
    if (chart.runCount() != 500)
        state.SkipWithError("the chart does not show 500 runs");
    state.counters["runs"] = chart.runCount();
}

// A year of daily runs of 1,000 lines, all older than the days kept: the file's size, and
// opening it with pruning on the worker.
void BM_PruneAYear(benchmark::State& state) {
    const QString year = workDir().filePath(QStringLiteral("year.sqlite"));
    generate(year, 365, kLines, kRunRows / kLines, QDateTime::currentDateTime().addDays(-2 * 365));
    const double bytes = double(QFileInfo(year).size());
    const QString path = workDir().filePath(QStringLiteral("pruned.sqlite"));
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        removeHistory(path);
        QFile::copy(year, path);
        state.ResumeTiming();
        const double cpuBefore = cpuMs();
        PriceHistory history(path, 365);
        history.start();
        history.flush();
        cpu += cpuMs() - cpuBefore;
    }
    if (!PriceHistoryReader(path).runs().isEmpty())
        state.SkipWithError("runs were left");
    state.counters["year_MB"] = bytes / 1e6;
    state.counters["offers"] = 365.0 * kRunRows;
    state.counters["cpu_ms"] = cpu / double(state.iterations());
    state.counters["after_MB"] = QFileInfo(path).size() / 1e6;
}

} // namespace

BENCHMARK(BM_StoreRun)->ArgName("per_row")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_StoredRowsEqual)->Iterations(1);
BENCHMARK(BM_BestOffersFromHistory)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ChartOfOneLine)->ArgName("paint")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PruneAYear)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
