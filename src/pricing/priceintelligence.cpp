#include "pricing/priceintelligence.h"

#include "platform/dialogs.h"
#include "pricing/bestoffersview.h"
#include "pricing/pricehistory.h"
#include "pricing/runrecorder.h"
#include "service/appcontext.h"

#include <QFileInfo>

#include <utility>

namespace {
// Runs a line's chart shows at most.
constexpr int kChartRuns = 500;
} // namespace

PriceIntelligence::PriceIntelligence(AppContext& context, QObject* parent) : QObject(parent), m_context(context) {}

void PriceIntelligence::attach(PriceRun& run, ResultRows& compare, ResultRows& analysis) {
    if (m_recorder)
        return;
    m_view = new BestOffersView(m_context);
    // Connected before the recorder: the history must be open before it is handed a run.
    connect(&run, &PriceRun::started, this, &PriceIntelligence::openHistory);
    m_recorder = new RunRecorder(run, compare, analysis, nullptr, this);
    connect(m_recorder, &RunRecorder::runStarted, this, &PriceIntelligence::startRun);
    connect(m_recorder, &RunRecorder::offersArrived, this, [this](const QList<LineOffer>& offers) {
        if (m_view)
            m_view->model().addOffers(offers);
    });
    if (!m_history)
        return;
    m_recorder->setHistory(m_history.get());
    setChartSource();
    // Lines the loader has brought already (it is joined): a loader still reading hands them over
    // itself, and its lines are not to be looked at before.
    if (!m_loader.joinable())
        takeLoaded();
}

void PriceIntelligence::setChartSource() {
    m_view->setChartSource(
        [path = m_path](const QString& key) { return PriceHistoryReader(path).lineRuns(key, kChartRuns); });
}

PriceIntelligence::~PriceIntelligence() {
    if (m_loader.joinable())
        m_loader.join();
    if (m_recorder)
        m_recorder->setHistory(nullptr);
    // A page no tab took over.
    if (m_view && !m_view->parent())
        delete m_view;
}

void PriceIntelligence::start(const QString& path, int keepDays) {
    if (m_history)
        return;
    m_history = std::make_unique<PriceHistory>(path, keepDays);
    m_path = path;
    // From the history's worker: queued to this thread, where boxes may be shown.
    connect(m_history.get(), &PriceHistory::notice, this,
            [this](const QString& text) { m_context.dialogs->information(text); });
    if (m_recorder) {
        m_recorder->setHistory(m_history.get());
        setChartSource();
    }
    const QFileInfo file(path);
    if (!file.exists() && !file.isSymLink())
        return;
    openHistory();
    m_loader = std::thread([this, path] {
        // After the file is opened (and brought to the current schema) and pruned.
        m_history->flush();
        m_loaded = PriceHistoryReader(path).latestLines();
        QMetaObject::invokeMethod(this, &PriceIntelligence::takeLoaded, Qt::QueuedConnection);
    });
}

void PriceIntelligence::openHistory() {
    if (m_history && !std::exchange(m_historyOpen, true))
        m_history->start();
}

void PriceIntelligence::takeLoaded() {
    if (m_loader.joinable())
        m_loader.join();
    // Without the page yet, the lines wait for it.
    if (m_loaded && m_view) {
        m_view->model().setLines(*m_loaded);
        m_loaded.reset();
    }
}

// What the history had must be in the page first: it is the lines' previous run.
void PriceIntelligence::startRun(const QList<LineText>& lines) {
    takeLoaded();
    if (m_view)
        m_view->model().startRun(lines);
}
