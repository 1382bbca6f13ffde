// The window during big listings against the stand-in services serving every product 2,000
// times: the user picks a vehicle by its K-type number, then double-clicks the biggest category
// of its tree or searches a common product name. A 1 ms timer of the window's thread records
// when the event loop comes round; the largest gap between two rounds, less the time the window
// spent waiting for the network inside it (told by the blocking-request hook), is the freeze a
// user feels beyond the wait. Reported per listing with its product count, the network wait and
// the whole listing's wall time.
#include "app/main.h"
#include "platform/httpexchange.h"
#include "service/serviceclient.h"
#include "support/demoservice.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kTypid = 10006;

struct Span {
    qint64 from = 0;
    qint64 to = 0;
};

// The event loop's rounds and the network waits of the window's thread, on one clock.
class LoopWatch {
public:
    LoopWatch() {
        m_clock.start();
        m_timer.setInterval(1);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { m_rounds.push_back(m_clock.nsecsElapsed()); });
        setWindowWaitHook([this](bool waiting) {
            if (waiting)
                m_waits.push_back({m_clock.nsecsElapsed(), 0});
            else if (!m_waits.empty())
                m_waits.back().to = m_clock.nsecsElapsed();
        });
    }
    ~LoopWatch() { setWindowWaitHook(nullptr); }

    void start() {
        m_rounds.assign(1, m_clock.nsecsElapsed());
        m_waits.clear();
        m_timer.start();
    }
    // Stops once the loop has come round after the listing, so the last gap is closed.
    void stop() {
        const qsizetype seen = qsizetype(m_rounds.size());
        for (int i = 0; i < 1000 && qsizetype(m_rounds.size()) == seen; ++i)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        m_timer.stop();
    }
    // The largest gap between two rounds, less the network waits inside it, in ms.
    double largestFreeze() const {
        qint64 worst = 0;
        for (std::size_t i = 1; i < m_rounds.size(); ++i) {
            qint64 gap = m_rounds[i] - m_rounds[i - 1];
            for (const Span& w : m_waits)
                gap -= std::max<qint64>(0, std::min(w.to, m_rounds[i]) - std::max(w.from, m_rounds[i - 1]));
            worst = std::max(worst, gap);
        }
        return worst / 1e6;
    }
    double networkWait() const {
        qint64 sum = 0;
        for (const Span& w : m_waits)
            sum += w.to - w.from;
        return sum / 1e6;
    }

private:
    QElapsedTimer m_clock;
    QTimer m_timer;
    std::vector<qint64> m_rounds;
    std::vector<Span> m_waits;
};

// The window against the scaled stand-in, with the vehicle chosen as a user does.
struct Session {
    DemoService service{{QStringLiteral("--scale"), QStringLiteral("2000"), QStringLiteral("--quiet")}};
    std::unique_ptr<WindowFixture> fixture;

    Session() {
        if (!service.isRunning()) {
            std::fprintf(stderr, "listing_bench: the stand-in did not start: %s\n", qPrintable(service.error()));
            std::exit(1);
        }
        fixture = std::make_unique<WindowFixture>(endpointsOf(service));
        fixture->showActive();
        fixture->signIn();
        click(fixture->find<QLabel>("Label12"));
        typeInto(fixture->find<QComboBox>("ComboBox4"), QString::number(kTypid));
        pressKey(Qt::Key_Return);
    }
    QTreeView* products() { return fixture->find<QTreeView>("TreeView3"); }
};

Session& session() {
    static Session s;
    return s;
}

// The category whose listing is longest, found once by asking the service as the program does.
QTreeWidgetItem* biggestCategory(Session& s, int* count) {
    static int strid = 0;
    static int most = 0;
    QTreeWidget* tree = s.fixture->find<QTreeWidget>("TreeView1");
    if (strid == 0) {
        ServiceClient& client = *s.fixture->window().context().service;
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            const int id = (*it)->data(0, Qt::UserRole).toInt();
            const QByteArray answer =
                client.catalogAnswer(client.ListRequest(QStringLiteral("GetListArticlesFromTreeCategory"),
                                                        QStringLiteral("&typid=%1&strid=%2").arg(kTypid).arg(id)));
            const int n = int(answer.count("\"artid\""));
            if (n > most)
                most = n, strid = id;
        }
    }
    *count = most;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->data(0, Qt::UserRole).toInt() == strid)
            return *it;
    return nullptr;
}

void report(benchmark::State& state, const std::vector<double>& freezes, const std::vector<double>& waits,
            int products) {
    state.counters["products"] = products;
    state.counters["largest_freeze_ms"] = *std::max_element(freezes.begin(), freezes.end());
    state.counters["network_wait_ms"] = *std::max_element(waits.begin(), waits.end());
}

void BM_BiggestCategory(benchmark::State& state) {
    Session& s = session();
    int count = 0;
    QTreeWidgetItem* node = biggestCategory(s, &count);
    if (!node) {
        state.SkipWithError("no category");
        return;
    }
    LoopWatch watch;
    std::vector<double> freezes, waits;
    for (auto _ : state) {
        QTreeWidget* tree = node->treeWidget();
        for (QTreeWidgetItem* up = node->parent(); up; up = up->parent())
            up->setExpanded(true);
        tree->scrollToItem(node);
        const QPoint at = tree->visualItemRect(node).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        watch.start();
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
        watch.stop();
        freezes.push_back(watch.largestFreeze());
        waits.push_back(watch.networkWait());
        if (topLevelCount(s.products()) != count) {
            std::fprintf(stderr, "listing_bench: %d products shown, %d listed\n", topLevelCount(s.products()), count);
            state.SkipWithError("the tree does not show the whole listing");
            return;
        }
    }
    report(state, freezes, waits, count);
}

void BM_NameSearch(benchmark::State& state) {
    Session& s = session();
    auto* name = s.fixture->find<QComboBox>("ComboBox10");
    LoopWatch watch;
    std::vector<double> freezes, waits;
    for (auto _ : state) {
        typeInto(name, QStringLiteral("Brake"));
        watch.start();
        pressKey(Qt::Key_Return);
        watch.stop();
        freezes.push_back(watch.largestFreeze());
        waits.push_back(watch.networkWait());
    }
    report(state, freezes, waits, topLevelCount(s.products()));
}

} // namespace

BENCHMARK(BM_BiggestCategory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_NameSearch)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
