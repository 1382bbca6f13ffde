// Start-up of the main window: from process start until its first frame is finished (painted and
// the event loop idle again), without network, once with an empty program folder and once with a
// folder as a trader has it (settings with accounts and [service], a garage of 200 vehicles, every
// list file); and the resident memory once the window is idle. Run it under Xvfb
// (xvfb-run -a bench/startup_bench) to measure a real window system; without a display the
// child uses the offscreen platform. The measured process is this program itself, started again
// with "--child". The floor beside it: a minimal Qt window (one label) started and painted the
// same way. The child's whole-process CPU time until its first frame is reported beside.
#include "app/main.h"
#include "platform/desktop.h"
#include "support/recordingdesktop.h"
#include "support/scripteddialogs.h"
#include "support/windowfixture.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <QLabel>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstring>

namespace {

long residentKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            // The frame is finished when every widget of it has painted and it has gone out:
            // the next turn of the event loop.
            QTimer::singleShot(0, [] {
                rusage usage{};
                getrusage(RUSAGE_SELF, &usage);
                const double cpu = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                                   (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
                std::printf("painted cpu %.1f\n", cpu);
                std::fflush(stdout);
            });
            // Idle memory: once the first frame is out and pending work has settled.
            QTimer::singleShot(300, [] {
                std::printf("rss %ld\n", residentKilobytes());
                std::fflush(stdout);
                QApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_painted = false;
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::abort();
}

// A program folder as a trader keeps it.
void fillFolder(const QString& folder) {
    writeFile(folder + QStringLiteral("/velmora.ini"),
              "[webservice]\r\nemail=trader@velmora.test\r\nseccode=trader-2026\r\nlang=5\r\n"
              "[compareprice]\r\nemail=compare@velmora.test\r\nseccode=compare-2026\r\nenable=1\r\n"
              "[analizprice]\r\nemail=analiz@velmora.test\r\nseccode=analiz-2026\r\nmaxval=5\r\nenable=1\r\n"
              "[myprices]\r\npath=\r\nenable=0\r\nautodownload=0\r\n"
              "[openpage]\r\nenable=1\r\nseparate_thread=1\r\npause=1\r\npauser_after=10\r\n"
              "[service]\r\ncatalog_url=http://127.0.0.1:9/\r\nprice_url=http://127.0.0.1:9/\r\n"
              "demo_url=http://127.0.0.1:9/\r\nsite_url=http://127.0.0.1:9\r\ndownload_url=http://127.0.0.1:9\r\n");
    const QByteArray bom = "\xEF\xBB\xBF";
    static const char* const kMakes[] = {"AUDI", "BMW", "MERCEDES-BENZ", "VW", "OPEL", "FORD", "ŠKODA", "RENAULT"};
    QByteArray garage = bom;
    for (int i = 0; i < 200; ++i)
        garage += QByteArray(kMakes[i % 8]) + "\tModel " + QByteArray::number(i % 37) + " [2004/05 - 2012/10]\t" +
                  "2.0 TDI 16V [2006/01 - 2010/12] 103 kW 140 hp 1968 ccm\t{" + QByteArray::number(10000 + i) + "}\r\n";
    writeFile(folder + QStringLiteral("/MyGarage.txt"), garage);
    writeFile(folder + QStringLiteral("/ListNecessaryBrands.txt"),
              bom + "ATE\r\nBOSCH\r\nFEBI BILSTEIN\r\nLEMFÖRDER\r\nMANN-FILTER\r\nTRW\r\n");
    writeFile(folder + QStringLiteral("/ListIDsShopsForCompare.txt"), bom + "12\tShop one\r\n44\tShop two\r\n");
    writeFile(folder + QStringLiteral("/ListIDsShopsForAnalis.txt"), bom + "3\tebay.de\r\n77\tebay.co.uk\r\n");
    writeFile(folder + QStringLiteral("/OpenPages.txt"),
              bom +
                  "https://shop.example.com/search?q={reference}\r\nhttps://parts.example.com/{brand}/{reference}\r\n");
    writeFile(folder + QStringLiteral("/UrlsForPriceLists.txt"),
              bom + "http://127.0.0.1:9/prices.csv\r\nftp://127.0.0.1:9/stock.csv\r\n");
}

// The floor: the smallest window Qt shows, started the same way.
int runMinimalChild(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Velmora"));
    window.resize(1000, 700);
    FirstPaint watcher;
    window.installEventFilter(&watcher);
    window.show();
    return QApplication::exec();
}

int runChild(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir folder;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--full") == 0)
            fillFolder(folder.path());
    ScriptedDialogs dialogs;
    RecordingDesktop desktop;
    // No network: the endpoints point where nothing listens.
    const Seams seams = testSeams(dialogs, desktop, folder.path(), folder.path());
    TForm1 window(seams);
    FirstPaint watcher;
    window.installEventFilter(&watcher);
    window.show();
    return QApplication::exec();
}

QString g_self;

// Argument 0: empty folder; 1: a trader's folder; 2: the minimal window.
void BM_StartToFirstFrame(benchmark::State& state) {
    long rss = 0;
    double cpu = 0;
    for (auto _ : state) {
        QProcess child;
        // Ended with this process in any case, a crash included.
        child.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")) && !env.contains(QStringLiteral("DISPLAY")))
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        QStringList arguments{state.range(0) == 2 ? QStringLiteral("--minimal-child") : QStringLiteral("--child")};
        if (state.range(0) == 1)
            arguments << QStringLiteral("--full");
        child.start(g_self, arguments);
        QByteArray out;
        while (!out.contains("painted") && child.waitForReadyRead(10000))
            out += child.readAll();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        child.waitForFinished(10000);
        out += child.readAll();
        if (!out.contains("painted")) {
            child.kill();
            child.waitForFinished();
            state.SkipWithError("the window did not paint");
            return;
        }
        const qsizetype at = out.indexOf("rss ");
        if (at >= 0)
            rss = out.mid(at + 4).trimmed().split('\n').value(0).toLong();
        const qsizetype cpuAt = out.indexOf("painted cpu ");
        cpu = out.mid(cpuAt + 12).split('\n').value(0).toDouble();
    }
    state.counters["idle_rss_MB"] = double(rss) / 1024.0;
    state.counters["cpu_ms"] = cpu;
}
BENCHMARK(BM_StartToFirstFrame)
    ->ArgName("trader_folder")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(9);

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--child") == 0)
            return runChild(argc, argv);
        else if (std::strcmp(argv[i], "--minimal-child") == 0)
            return runMinimalChild(argc, argv);
    QCoreApplication app(argc, argv);
    g_self = QCoreApplication::applicationFilePath();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
