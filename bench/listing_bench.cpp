// The window during big listings against the stand-in services serving every product 2,000
// times: the user picks a vehicle by its K-type number, then double-clicks the biggest category
// of its tree or searches a common product name. A 1 ms timer of the window's thread records
// when the event loop comes round; the largest gap between two rounds, less the time the window
// spent waiting for the network inside it (told by the blocking-request hook), is the freeze a
// user feels beyond the wait. Reported per listing with its product count, the network wait and
// the whole listing's wall time.
//
// And the first listing as a user's machine sees it (FreshProcess): a fresh process of its own per
// sample lists a category of 100,000 products with varied criteria, served over loopback HTTP,
// into the product list in a shown window, and reports the listing's wall time, whole-process
// CPU time, minor page faults and peak memory beyond what it held before. Its first product lines
// are checked against the item-tree path's before any figure counts.
#include "app/main.h"
#include "benchanswers.h"
#include "catalog/productlist.h"
#include "catalog/producttable.h"
#include "catalog/treetext.h"
#include "platform/httpexchange.h"
#include "service/appcontext.h"
#include "service/decoder.h"
#include "service/requestlog.h"
#include "service/serviceclient.h"
#include "support/answers.h"
#include "support/demoservice.h"
#include "support/rawhttpserver.h"
#include "support/scripteddialogs.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <benchmark/benchmark.h>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
    // Filling a catalog of millions of products takes the stand-in a minute on a busy machine.
    DemoService service{{QStringLiteral("--scale"), QStringLiteral("2000"), QStringLiteral("--quiet")}, 300};
    std::unique_ptr<WindowFixture> fixture;

    Session() {
        if (!service.isRunning()) {
            std::fprintf(stderr, "listing_bench: the stand-in did not start: %s\n", qPrintable(service.error()));
            return;
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

// Made on first use and ended before the application is, which the widgets need; the stand-in
// also ends with this process if it crashes.
std::unique_ptr<Session> g_session;

Session& session() {
    if (!g_session)
        g_session = std::make_unique<Session>();
    return *g_session;
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
    if (!s.fixture) {
        state.SkipWithError("the stand-in did not start");
        return;
    }
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
    if (!s.fixture) {
        state.SkipWithError("the stand-in did not start");
        return;
    }
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

// ---- the first listing in a fresh process ----

constexpr long kFreshProducts = 100000;
constexpr int kFreshStrid = 100001;
constexpr int kCheckedLines = 50;
const QString kArticles = QStringLiteral("GetListArticlesFromTreeCategory");

const QByteArray& freshAnswer() {
    static const QByteArray answer = [] {
        // About 310 bytes a product, as a large category answer of the service has them.
        const std::string text = articlesAnswer(std::size_t(1) << 30, kFreshProducts, 5);
        return QByteArray(text.data(), qsizetype(text.size()));
    }();
    return answer;
}

long statusKilobytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qsizetype(std::strlen(field))).trimmed().split(' ').value(0).toLong();
    return 0;
}

// The peak resident size starts again from the present one.
void resetPeakMemory() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

double cpuNs(const rusage& r) {
    return (r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1e9 + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) * 1e3;
}

// The child: the product list in a shown window lists the category from the server on `port`
// once, then prints its figures and its first product lines.
int runFreshListing(int argc, char** argv, int port) {
    QApplication app(argc, argv);
    ScriptedDialogs dialogs;
    RequestLog log;
    FixedAccount account(QString::fromLatin1(DemoService::kCatalogEmail),
                         QString::fromLatin1(DemoService::kCatalogSeccode));
    Endpoints endpoints = offlineEndpoints();
    endpoints.catalogUrl = QStringLiteral("http://127.0.0.1:%1/").arg(port);
    ServiceClient client(endpoints, log, dialogs, account);
    SharedTexts texts;
    AppContext context;
    context.service = &client;
    context.log = &log;
    context.dialogs = &dialogs;
    context.endpoints = &endpoints;
    context.texts = &texts;
    ProductTable table;
    QWidget window;
    auto* list = new ProductList(context, table, &window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(list->widget());
    window.resize(1000, 700);
    window.show();
    QCoreApplication::processEvents();
    auto* tree = list->widget()->findChild<QTreeView*>(QStringLiteral("TreeView3"));

    QElapsedTimer clock;
    clock.start();
    qint64 waitFrom = 0;
    qint64 waited = 0;
    setWindowWaitHook([&](bool waiting) {
        if (waiting)
            waitFrom = clock.nsecsElapsed();
        else
            waited += clock.nsecsElapsed() - waitFrom;
    });
    resetPeakMemory();
    const long rssBefore = statusKilobytes("VmRSS:");
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const qint64 start = clock.nsecsElapsed();
    list->listCategoryProducts(kFreshStrid);
    QCoreApplication::processEvents();
    window.repaint();
    const qint64 wall = clock.nsecsElapsed() - start;
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    const long peak = statusKilobytes("VmHWM:");
    const long rssAfter = statusKilobytes("VmRSS:");
    setWindowWaitHook(nullptr);

    std::printf("figures %lld %.0f %ld %ld %ld %ld %lld %d\n", static_cast<long long>(wall),
                cpuNs(after) - cpuNs(before), after.ru_minflt - before.ru_minflt, rssBefore, peak, rssAfter,
                static_cast<long long>(waited), topLevelCount(tree));
    for (int row = 0; row < kCheckedLines && row < topLevelCount(tree); ++row)
        std::printf("line %s\n", nodeText(topLevelNode(tree, row)).toUtf8().constData());
    std::fflush(stdout);
    return 0;
}

// The first product lines of the listing as the item-tree path sorts them.
QStringList expectedFirstLines() {
    const QList<TreeLine> lines =
        productTreeLines(productsFromAnswer(DecodeAnswer<TArticleRec>(kArticles, freshAnswer())));
    QStringList first;
    for (const TreeLine& line : lines) {
        if (line.depth == 0)
            first << line.caption;
        if (first.size() == kCheckedLines)
            break;
    }
    return first;
}

QString g_self;

void BM_FreshProcessListing(benchmark::State& state) {
    const QByteArray& answer = freshAnswer();
    const QStringList expected = expectedFirstLines();
    RawHttpServer server({httpReply(answer)});
    double cpu = 0, beyond = 0, network = 0, faults = 0, peak = 0, retained = 0;
    for (auto _ : state) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
        child.start(g_self, {QStringLiteral("--fresh-listing"), QString::number(server.port())});
        if (!child.waitForFinished(300000) || child.exitCode() != 0) {
            child.kill();
            child.waitForFinished();
            state.SkipWithError("the listing process failed");
            return;
        }
        const QList<QByteArray> out = child.readAllStandardOutput().split('\n');
        const QList<QByteArray> f = out.value(0).split(' ');
        QStringList shown;
        for (const QByteArray& line : out)
            if (line.startsWith("line "))
                shown << QString::fromUtf8(line.mid(5));
        if (f.size() != 9 || f.value(8).toLong() != kFreshProducts || shown != expected) {
            std::fprintf(stderr, "listing_bench: %s products shown, first lines %s\n", f.value(8).constData(),
                         shown == expected ? "as expected" : "differ");
            state.SkipWithError("the listing differs from the item-tree path's");
            return;
        }
        const double wall = f[1].toDouble();
        state.SetIterationTime(wall / 1e9);
        cpu = f[2].toDouble() / 1e6;
        faults = f[3].toDouble();
        const double before = f[4].toDouble() * 1024;
        peak = f[5].toDouble() * 1024 - before;
        retained = f[6].toDouble() * 1024 - before;
        network = f[7].toDouble() / 1e6;
        beyond = wall / 1e6 - network;
    }
    const double products = double(kFreshProducts);
    state.counters["products"] = products;
    state.counters["answer_MB"] = double(answer.size()) / 1e6;
    state.counters["cpu_ms"] = cpu;
    state.counters["network_ms"] = network;
    state.counters["beyond_network_ms"] = beyond;
    state.counters["minor_faults"] = faults;
    state.counters["peak_MB"] = peak / 1e6;
    state.counters["peak_B_per_product"] = (peak - double(answer.size())) / products;
    state.counters["retained_B_per_product"] = (retained - double(answer.size())) / products;
}

} // namespace

BENCHMARK(BM_FreshProcessListing)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(5);
BENCHMARK(BM_BiggestCategory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_NameSearch)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--fresh-listing") == 0)
        return runFreshListing(argc, argv, std::atoi(argv[2]));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Texts are compared and sorted as a trader's locale does unless LC_ALL says else.
    if (qEnvironmentVariableIsEmpty("LC_ALL"))
        qputenv("LC_ALL", "en_US.UTF-8");
    {
        QApplication app(argc, argv);
        g_self = QCoreApplication::applicationFilePath();
        benchmark::Initialize(&argc, argv);
        if (benchmark::ReportUnrecognizedArguments(argc, argv))
            return 1;
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        g_session.reset(); // the window and the stand-in, while the application stands
    }
    return 0;
}
