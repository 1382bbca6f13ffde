// Start-up of the main window: from process start to the first paint of the window, with an
// empty program folder and no network, and the resident memory once the window is idle.
// The measured process is this program itself, started again with "--child".
#include "app/main.h"
#include "platform/desktop.h"
#include "support/recordingdesktop.h"
#include "support/scripteddialogs.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

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
            std::printf("painted\n");
            std::fflush(stdout);
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

int runChild(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    RecordingDesktop desktop;
    Seams seams;
    seams.dialogs = &dialogs;
    seams.desktop = &desktop;
    seams.paths = AppPaths(folder.path(), folder.path());
    // Nothing listens on port 9 of loopback: no network.
    Endpoints endpoints = Endpoints::defaults();
    endpoints.catalogUrl = endpoints.priceUrl = endpoints.demoUrl = QStringLiteral("http://127.0.0.1:9/");
    endpoints.siteUrl = endpoints.downloadUrl = QStringLiteral("http://127.0.0.1:9");
    seams.endpoints = endpoints;
    seams.versionText = QStringLiteral("1.0.0");
    TForm1 window(seams);
    FirstPaint watcher;
    window.installEventFilter(&watcher);
    window.show();
    return QApplication::exec();
}

QString g_self;

void BM_StartToFirstPaint(benchmark::State& state) {
    long rss = 0;
    for (auto _ : state) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        child.start(g_self, {QStringLiteral("--child")});
        QByteArray out;
        while (!out.contains("painted") && child.waitForReadyRead(10000))
            out += child.readAll();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        child.waitForFinished(10000);
        out += child.readAll();
        const qsizetype at = out.indexOf("rss ");
        if (at >= 0)
            rss = out.mid(at + 4).trimmed().toLong();
    }
    state.counters["idle_rss_MB"] = double(rss) / 1024.0;
}
BENCHMARK(BM_StartToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(9);

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--child") == 0)
            return runChild(argc, argv);
    QCoreApplication app(argc, argv);
    g_self = QCoreApplication::applicationFilePath();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
