// A price run of 1,000 comparative-list lines against the stand-in, with three shops and two
// e-platforms chosen (5,000 requests): through the window, without a window (velmora
// --price-run), and by a plain curl_multi client on one thread with 200 transfers in flight that
// reads the answers with the same readings and fills the same two models in batches. All must
// find the same rows. CPU is the whole process's, every thread (getrusage), the headless run's
// that of its process. The window run also reports the longest pause of its event loop (gaps
// between 5 ms timer ticks).
//
// Then the result tables alone: 100,000 rows appended in the batches a run delivers, into a grid
// on screen (the longest batch, append and repaint); one row deleted of 20,000; 20,000 rows
// sorted by price.
// Run: pricerun_bench --benchmark_repetitions=1
#include "app/main.h"
#include "platform/curleasy.h"
#include "platform/httpexchange.h"
#include "pricing/priceengine.h"
#include "pricing/pricereadings.h"
#include "pricing/pricerun.h"
#include "pricing/processing.h"
#include "pricing/resultrows.h"
#include "pricing/tablegrid.h"
#include "service/textfunctions.h"
#include "support/recordingdesktop.h"
#include "support/scripteddialogs.h"
#include "support/windowfixture.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include <curl/curl.h>

#include <ctime>
#include <optional>
#include <sys/resource.h>
#include <unordered_map>

namespace {

constexpr int kPortBase = 19400;
constexpr int kLines = 1000;
const QStringList kShops{"12", "15", "18"};
const QStringList kPlatforms{"44", "46"};
constexpr int kInFlight = 200;
constexpr int kBatchMs = 50;

QString priceUrl() {
    return QStringLiteral("http://127.0.0.1:%1/").arg(kPortBase + 150);
}

double cpuMs(int who = RUSAGE_SELF) {
    rusage usage{};
    getrusage(who, &usage);
    return (double(usage.ru_utime.tv_sec) + double(usage.ru_stime.tv_sec)) * 1000.0 +
           (double(usage.ru_utime.tv_usec) + double(usage.ru_stime.tv_usec)) / 1000.0;
}

QStringList lineOf(int i) {
    return {QStringLiteral("TRW"), QStringLiteral("GDB %1/%2").arg(1000 + i).arg(i % 7),
            QStringLiteral("Brake pad %1").arg(i)};
}

// The rows of both tables as one sorted list of texts; the analysis "id" (the row's index, which
// follows the order answers came in) left out.
QStringList rowsOf(const ResultRows& compare, const ResultRows& analysis) {
    QStringList rows;
    for (int r = 0; r < compare.count(); ++r)
        rows << QStringLiteral("C|") + compare.rowCells(r).join(QLatin1Char('|'));
    for (int r = 0; r < analysis.count(); ++r)
        rows << QStringLiteral("A|") +
                    analysis.rowCells(r).mid(0, ResultRows::kAnalysisIdColumn).join(QLatin1Char('|'));
    rows.sort();
    return rows;
}

// What the window's run found, for the others to match.
std::optional<QStringList> g_runRows;

void report(benchmark::State& state, const QStringList& rows, double cpu) {
    state.counters["rows"] = double(rows.size());
    state.counters["cpu_ms"] = cpu;
    if (g_runRows && rows != *g_runRows)
        state.SkipWithError("the rows differ from the window run's");
}

void BM_PriceRunWindow(benchmark::State& state) {
    QStringList rows;
    qint64 maxGapMs = 0;
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir folder;
        ScriptedDialogs dialogs;
        RecordingDesktop desktop;
        Endpoints endpoints = offlineEndpoints();
        endpoints.priceUrl = priceUrl();
        const Seams seams = testSeams(dialogs, desktop, folder.path(), folder.path(), endpoints);
        writeBytes(folder.filePath(QStringLiteral("ListIDsShopsForCompare.txt")), kShops.join("\r\n").toUtf8());
        writeBytes(folder.filePath(QStringLiteral("ListIDsShopsForAnalis.txt")), kPlatforms.join("\r\n").toUtf8());

        auto window = std::make_unique<TForm1>(seams);
        window->show();
        // The comparative list lives on the catalog page, built when the user first opens it;
        // the run is then started from the page the window opened with, as before.
        const QString firstPage = window->currentPage();
        window->findChild<QToolButton*>(QStringLiteral("SpeedButton14"))->click();
        window->showPage(firstPage);
        auto text = [&](const char* name, const char* value) {
            window->findChild<QLineEdit*>(QString::fromLatin1(name))->setText(QString::fromLatin1(value));
        };
        text("Edit5", "compare@velmora.test");
        text("Edit6", "compare-2026");
        text("Edit1", "analiz@velmora.test");
        text("Edit2", "analiz-2026");
        window->findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->setChecked(true);
        window->findChild<QCheckBox*>(QStringLiteral("CheckBox2"))->setChecked(true);
        auto* list = window->findChild<TableGrid*>(QStringLiteral("StringGrid1"));
        for (int i = 1; i <= kLines; ++i)
            list->appendRow(lineOf(i));
        list->setCurrentCell(1, 2);
        for (int i = 0; i < 3; ++i) // start, clean both tables
            dialogs.setNextAnswer(true);

        QElapsedTimer sinceTick;
        qint64 gap = 0;
        QTimer ticker;
        ticker.setInterval(5);
        QObject::connect(&ticker, &QTimer::timeout, [&] { gap = qMax(gap, sinceTick.restart()); });
        QCoreApplication::processEvents();
        const double cpuBefore = cpuMs();
        state.ResumeTiming();

        sinceTick.start();
        ticker.start();
        window->findChild<QToolButton*>(QStringLiteral("SpeedButton32"))->click();
        TForm3* progress = window->form3();
        while (progress->isVisible() || window->priceRun().isRunning() || window->priceEngine().openCount() > 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        ticker.stop();

        state.PauseTiming();
        cpu = cpuMs() - cpuBefore;
        const auto tables = window->findChildren<ResultRows*>();
        const ResultRows* compare = tables.value(0)->table() == ResultRows::Table::Compare ? tables[0] : tables[1];
        const ResultRows* analysis = compare == tables[0] ? tables[1] : tables[0];
        rows = rowsOf(*compare, *analysis);
        // The first run's rows are the yardstick of every later run, this one's included.
        if (!g_runRows)
            g_runRows = rows;
        maxGapMs = qMax(maxGapMs, gap);
        window.reset();
        state.ResumeTiming();
    }
    report(state, rows, cpu);
    state.counters["max_loop_gap_ms"] = double(maxGapMs);
}

// One transfer of the plain client.
struct PlainTransfer {
    CurlEasy curl;
    QByteArray body;
    QString reason;
    int line = 0;
    int maxrow = -1;
};

size_t plainHeader(char* data, size_t size, size_t count, void* user) {
    if (const auto status = ParseStatusLine(QByteArray(data, qsizetype(size * count))))
        static_cast<PlainTransfer*>(user)->reason = status->reason;
    return size * count;
}

size_t plainBody(char* data, size_t size, size_t count, void* user) {
    static_cast<PlainTransfer*>(user)->body.append(data, qsizetype(size * count));
    return size * count;
}

// The same 5,000 requests from one thread with curl_multi, 200 at a time, read with the same
// readings, the rows put into the two models every 50 ms in one insert each.
void BM_PlainMultiClient(benchmark::State& state) {
    QStringList rows;
    double cpu = 0;
    for (auto _ : state) {
        const double cpuBefore = cpuMs();
        ResultRows compare(ResultRows::Table::Compare), analysis(ResultRows::Table::Analysis);
        struct Request {
            QString path;
            int line;
            int maxrow;
        };
        QList<Request> requests;
        for (int i = 1; i <= kLines; ++i) {
            const QStringList line = lineOf(i);
            for (const QString& site : kShops)
                requests << Request{PriceRequestPath(QString::fromLatin1(kComparePriceService), "compare@velmora.test",
                                                     "compare-2026", line[0], line[1], site),
                                    i, -1};
            for (const QString& site : kPlatforms)
                requests << Request{PriceRequestPath(QString::fromLatin1(kAnalysisService), "analiz@velmora.test",
                                                     "analiz-2026", line[0], line[1], site),
                                    i, 5};
        }
        CURLM* multi = curl_multi_init();
        std::unordered_map<CURL*, std::unique_ptr<PlainTransfer>> active;
        QList<QStringList> compareRows, analysisRows;
        QElapsedTimer sinceFlush;
        sinceFlush.start();
        const auto flush = [&] {
            compare.appendRows(compareRows);
            analysis.appendRows(analysisRows);
            compareRows.clear();
            analysisRows.clear();
            sinceFlush.restart();
        };
        qsizetype next = 0;
        while (next < requests.size() || !active.empty()) {
            while (next < requests.size() && int(active.size()) < kInFlight) {
                auto transfer = std::make_unique<PlainTransfer>();
                const Request& request = requests[next++];
                transfer->line = request.line;
                transfer->maxrow = request.maxrow;
                transfer->curl.setUrl(priceUrl() + request.path);
                transfer->curl.setServiceHttpHead("Mozilla/4.0 (compatible; Synapse)", false);
                transfer->curl.setNoProgressLimit(120);
                transfer->curl.set(CURLOPT_HEADERFUNCTION, plainHeader);
                transfer->curl.set(CURLOPT_HEADERDATA, transfer.get());
                transfer->curl.set(CURLOPT_WRITEFUNCTION, plainBody);
                transfer->curl.set(CURLOPT_WRITEDATA, transfer.get());
                curl_multi_add_handle(multi, transfer->curl.handle());
                active.emplace(transfer->curl.handle(), std::move(transfer));
            }
            int running = 0;
            curl_multi_perform(multi, &running);
            int left = 0;
            while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
                if (message->msg != CURLMSG_DONE)
                    continue;
                CURL* handle = message->easy_handle;
                curl_multi_remove_handle(multi, handle);
                auto it = active.find(handle);
                const PlainTransfer& t = *it->second;
                if (message->data.result == CURLE_OK && t.reason.toUpper() == QLatin1String("OK")) {
                    const QString answer = StreamToUtf8Text(t.body);
                    const QStringList line = lineOf(t.line);
                    if (!IsBlank(answer) && t.maxrow < 0)
                        for (const CompareOffer& offer : ReadCompareAnswer(answer))
                            compareRows << CompareRowCells(line[0], line[1], line[2], offer);
                    else if (!IsBlank(answer))
                        for (const QString& found : ReadAnalysisAnswer(answer, t.maxrow))
                            analysisRows << ResultRows::analysisCells(
                                AnalysisRowCells(found, line[0], line[1], line[2]));
                }
                active.erase(it);
            }
            if (sinceFlush.elapsed() >= kBatchMs)
                flush();
            curl_multi_poll(multi, nullptr, 0, 100, nullptr);
        }
        flush();
        curl_multi_cleanup(multi);
        rows = rowsOf(compare, analysis);
        cpu = cpuMs() - cpuBefore;
    }
    report(state, rows, cpu);
}

// The same lines through `velmora --price-run`, as cron starts it.
void BM_PriceRunHeadless(benchmark::State& state) {
    QTemporaryDir folder;
    writeBytes(folder.filePath(QStringLiteral("ListIDsShopsForCompare.txt")), kShops.join("\r\n").toUtf8());
    writeBytes(folder.filePath(QStringLiteral("ListIDsShopsForAnalis.txt")), kPlatforms.join("\r\n").toUtf8());
    writeBytes(folder.filePath(QStringLiteral("velmora.ini")),
               QStringLiteral("[compareprice]\r\nemail=compare@velmora.test\r\nseccode=compare-2026\r\nenable=1\r\n"
                              "[analizprice]\r\nemail=analiz@velmora.test\r\nseccode=analiz-2026\r\nenable=1\r\n"
                              "[service]\r\nprice_url=%1\r\n")
                   .arg(priceUrl())
                   .toUtf8());
    QByteArray list;
    for (int i = 1; i <= kLines; ++i)
        list += lineOf(i).join(QLatin1Char(';')).toUtf8() + "\r\n";
    writeBytes(folder.filePath(QStringLiteral("list.csv")), list);
    double cpu = 0;
    int status = 0;
    for (auto _ : state) {
        QFile::remove(folder.filePath(QStringLiteral("out.xlsx")));
        const double before = cpuMs(RUSAGE_CHILDREN);
        QProcess run;
        run.start(QStringLiteral(VELMORA_EXECUTABLE_PATH),
                  {QStringLiteral("--price-run"), folder.filePath(QStringLiteral("list.csv")), QStringLiteral("--out"),
                   folder.filePath(QStringLiteral("out.xlsx")), QStringLiteral("--ini"),
                   folder.filePath(QStringLiteral("velmora.ini"))});
        run.waitForFinished(600000);
        status = run.exitCode();
        cpu = cpuMs(RUSAGE_CHILDREN) - before;
    }
    if (status != 0)
        state.SkipWithError("the headless run failed");
    state.counters["cpu_ms"] = cpu;
}

QList<QStringList> sampleRows(int n, int from = 0) {
    QList<QStringList> rows;
    rows.reserve(n);
    for (int i = from; i < from + n; ++i)
        rows << QStringList{QStringLiteral("TRW"),
                            QStringLiteral("GDB%1").arg(i),
                            QStringLiteral("Brake pad set, front axle %1").arg(i),
                            QStringLiteral("shop-%1.example").arg(i % 37),
                            QString::number((i * 7919) % 100000 / 100.0, 'f', 2),
                            QStringLiteral("EUR")};
    return rows;
}

// 100,000 rows in batches of 500 (a busy run's 50 ms) into a grid on screen: the longest batch.
double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

void BM_AppendRowsToGrid(benchmark::State& state) {
    double longest = 0;
    double longestCpu = 0;
    for (auto _ : state) {
        ResultRows rows(ResultRows::Table::Compare);
        TableGrid grid(QStringLiteral("StringGrid2"), &rows, {75, 100, 150, 100, 75, 75});
        grid.resize(800, 300);
        grid.show();
        QCoreApplication::processEvents();
        for (int batch = 0; batch < 200; ++batch) {
            const QList<QStringList> next = sampleRows(500, batch * 500);
            QElapsedTimer held;
            held.start();
            const double cpuBefore = threadCpuMs();
            rows.appendRows(next);
            QCoreApplication::processEvents();
            grid.viewport()->repaint();
            longest = std::max(longest, double(held.nsecsElapsed()) / 1e6);
            longestCpu = std::max(longestCpu, threadCpuMs() - cpuBefore);
        }
    }
    state.counters["longest_batch_ms"] = longest;
    state.counters["longest_batch_cpu_ms"] = longestCpu;
}

// The comparison grid shown with 20,000 rows, its cursor on `currentRow`.
struct ShownGrid {
    explicit ShownGrid(int currentRow) {
        grid.resize(800, 300);
        grid.show();
        rows.appendRows(sampleRows(20000));
        grid.setCurrentCell(currentRow, 2);
        QCoreApplication::processEvents();
    }
    ResultRows rows{ResultRows::Table::Compare};
    TableGrid grid{QStringLiteral("StringGrid2"), &rows, {75, 100, 150, 100, 75, 75}};
};

void BM_DeleteOneRowOf20000(benchmark::State& state) {
    ShownGrid shown(10000);
    int added = 20000;
    for (auto _ : state) {
        DeleteGridRow(&shown.grid, 10000);
        state.PauseTiming();
        shown.rows.appendRows(sampleRows(1, added++));
        state.ResumeTiming();
    }
}

void BM_SortByPrice20000(benchmark::State& state) {
    ShownGrid shown(5000);
    bool ascending = true;
    for (auto _ : state) {
        shown.grid.sortByColumn(4, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
        ascending = !ascending;
    }
}

BENCHMARK(BM_PriceRunWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);
BENCHMARK(BM_PlainMultiClient)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);
BENCHMARK(BM_PriceRunHeadless)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);
BENCHMARK(BM_AppendRowsToGrid)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_DeleteOneRowOf20000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SortByPrice20000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QProcess service;
    service.start(QStringLiteral(VELMORA_DEMO_SERVICE_PATH),
                  {QStringLiteral("--quiet"), QStringLiteral("--port-base"), QString::number(kPortBase)});
    if (!service.waitForStarted())
        return 1;
    bool up = false;
    for (int i = 0; i < 100 && !up; ++i) {
        up = HttpGet(priceUrl() + QStringLiteral("sites-list")).ok();
        if (!up)
            QThread::msleep(100);
    }
    if (!up)
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    service.terminate();
    service.waitForFinished();
    return 0;
}
