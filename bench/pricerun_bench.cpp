// A price run of 1,000 comparative-list lines against the stand-in, with three shops and two
// e-platforms chosen (5,000 workers), beside a plain client that sends the same 5,000 requests
// over 200 concurrent connections and reads the answers the same way. Both must find the same
// rows. The run also reports the longest pause of the window's event loop (gaps between 5 ms
// timer ticks), the most threads alive and the peak resident memory.
// Run: pricerun_bench --benchmark_repetitions=1
#include "app/main.h"
#include "platform/httpexchange.h"
#include "pricing/priceengine.h"
#include "pricing/pricereadings.h"
#include "pricing/pricerun.h"
#include "pricing/processing.h"
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

#include <atomic>
#include <optional>
#include <thread>
#include <vector>

namespace {

constexpr int kPortBase = 19400;
constexpr int kLines = 1000;
const QStringList kShops{"12", "15", "18"};
const QStringList kPlatforms{"44", "46"};
constexpr int kClientConnections = 200;

QString priceUrl() {
    return QStringLiteral("http://127.0.0.1:%1/").arg(kPortBase + 150);
}

long statusValue(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qsizetype(strlen(key))).trimmed().split(' ').value(0).toLong();
    return 0;
}

QStringList lineOf(int i) {
    return {QStringLiteral("TRW"), QStringLiteral("GDB %1/%2").arg(1000 + i).arg(i % 7),
            QStringLiteral("Brake pad %1").arg(i)};
}

struct Rows {
    long compare = 0;
    long analysis = 0;
    bool operator==(const Rows&) const = default;
};

// What the program's run showed, for the plain client to match.
std::optional<Rows> g_runRows;

void BM_PriceRun(benchmark::State& state) {
    Rows rows;
    qint64 maxGapMs = 0;
    long peakThreads = 0;
    int peakWorkers = 0;
    int stillCounted = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir folder;
        ScriptedDialogs dialogs;
        RecordingDesktop desktop;
        Endpoints endpoints = offlineEndpoints();
        endpoints.priceUrl = priceUrl();
        const Seams seams = testSeams(dialogs, desktop, folder.path(), folder.path(), endpoints);
        QFile shops(folder.filePath(QStringLiteral("ListIDsShopsForCompare.txt")));
        QFile platforms(folder.filePath(QStringLiteral("ListIDsShopsForAnalis.txt")));
        if (!shops.open(QIODevice::WriteOnly) || !platforms.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the id files");
            return;
        }
        shops.write(kShops.join(QStringLiteral("\r\n")).toUtf8());
        platforms.write(kPlatforms.join(QStringLiteral("\r\n")).toUtf8());
        shops.close();
        platforms.close();

        auto window = std::make_unique<TForm1>(seams);
        window->show();
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
        long threads = 0;
        QTimer ticker;
        ticker.setInterval(5);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            gap = qMax(gap, sinceTick.restart());
            threads = qMax(threads, statusValue("Threads:"));
        });
        QCoreApplication::processEvents();
        state.ResumeTiming();

        sinceTick.start();
        ticker.start();
        window->findChild<QToolButton*>(QStringLiteral("SpeedButton32"))->click();
        TForm3* progress = window->form3();
        while (progress->isVisible() || window->priceRun().isRunning())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        ticker.stop();

        state.PauseTiming();
        rows.compare = window->findChild<TableGrid*>(QStringLiteral("StringGrid2"))->rowCount() - 2;
        rows.analysis = window->findChild<TableGrid*>(QStringLiteral("StringGrid3"))->rowCount() - 2;
        maxGapMs = qMax(maxGapMs, gap);
        peakThreads = qMax(peakThreads, threads);
        stillCounted = qMax(stillCounted, window->priceRun().RunningThreadCount());
        window.reset();
        state.ResumeTiming();
    }
    g_runRows = rows;
    state.counters["compare_rows"] = double(rows.compare);
    state.counters["analysis_rows"] = double(rows.analysis);
    state.counters["counted_after_end"] = double(stillCounted);
    state.counters["max_loop_gap_ms"] = double(maxGapMs);
    state.counters["peak_threads"] = double(peakThreads);
    state.counters["peak_workers"] = double(peakWorkers);
    state.counters["peak_rss_mb"] = double(statusValue("VmHWM:")) / 1024.0;
}

// The same 5,000 requests from 200 threads that each send one at a time, read with the same
// readings; the rows must match the run's.
void BM_PlainClient200(benchmark::State& state) {
    Rows rows;
    for (auto _ : state) {
        // Made in the timed region, as the run makes its request paths in its own.
        QStringList requests;
        QList<int> maxrows;
        for (int i = 1; i <= kLines; ++i) {
            const QStringList line = lineOf(i);
            for (const QString& site : kShops) {
                requests << PriceRequestPath(QString::fromLatin1(kComparePriceService), "compare@velmora.test",
                                             "compare-2026", line[0], line[1], site);
                maxrows << -1;
            }
            for (const QString& site : kPlatforms) {
                requests << PriceRequestPath(QString::fromLatin1(kAnalysisService), "analiz@velmora.test",
                                             "analiz-2026", line[0], line[1], site);
                maxrows << 5;
            }
        }
        std::atomic<int> next{0};
        std::atomic<long> compare{0}, analysis{0};
        std::vector<std::thread> clients;
        for (int c = 0; c < kClientConnections; ++c)
            clients.emplace_back([&] {
                HttpOptions options;
                options.keepAlive = false;
                options.timeoutSeconds = 120;
                for (int i = next++; i < requests.size(); i = next++) {
                    const HttpResult result = HttpGet(priceUrl() + requests[i], options);
                    if (!result.ok())
                        continue;
                    const QString answer = StreamToUtf8Text(result.body);
                    if (IsBlank(answer))
                        continue;
                    if (maxrows[i] < 0)
                        compare += long(ReadCompareAnswer(answer).size());
                    else
                        analysis += long(ReadAnalysisAnswer(answer, maxrows[i]).size());
                }
            });
        for (std::thread& client : clients)
            client.join();
        rows = {compare.load(), analysis.load()};
    }
    if (g_runRows && !(rows == *g_runRows))
        state.SkipWithError("the plain client's rows differ from the run's");
    state.counters["compare_rows"] = double(rows.compare);
    state.counters["analysis_rows"] = double(rows.analysis);
}

BENCHMARK(BM_PriceRun)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);
BENCHMARK(BM_PlainClient200)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);

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
