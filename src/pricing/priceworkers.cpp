#include "pricing/priceworkers.h"

#include "service/requestlog.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>

namespace {
// Enough for libcurl and the readings; thousands of workers must not reserve 8 MB each.
constexpr uint kWorkerStackBytes = 512 * 1024;
constexpr int kLogBatchMs = 50;
constexpr int kLogBatchAnswers = 40;
} // namespace

PriceWorkers::PriceWorkers(RequestLog& log, QObject* parent)
    : QObject(parent), m_log(log), m_link(std::make_shared<WorkerLink>()) {
    m_link->windowSide = new QObject;
    m_reapTimer.setInterval(10);
    connect(&m_reapTimer, &QTimer::timeout, this, &PriceWorkers::reapFinished);
    // Thousands of workers answer within seconds; their log lines reach the log strip in
    // batches, which costs the window far less than one append each.
    m_logTimer.setSingleShot(true);
    connect(&m_logTimer, &QTimer::timeout, this, &PriceWorkers::flushLog);
}

PriceWorkers::~PriceWorkers() {
    shutdown(5000);
    if (m_alive.isEmpty())
        delete m_link->windowSide;
}

bool PriceWorkers::start(const PriceQuestion& question) {
    if (isClosing())
        return false;
    auto* worker = new TMyThread(m_link, m_priceBaseUrl,
                                 [this](TMyThread& w, const WorkerFindings& findings) { finish(w, findings); });
    static_cast<PriceQuestion&>(*worker) = question;
    worker->epoch = m_epoch;
    worker->setStackSize(kWorkerStackBytes);
    connect(
        worker, &QThread::finished, this, [this, worker] { reap(worker); }, Qt::QueuedConnection);

    // Counted here, on the window thread, before it runs: the run's limit then holds however
    // slowly the threads get going.
    m_alive.insert(worker);
    ++m_running;
    worker->start();
    if (!worker->isRunning() && !worker->isFinished()) {
        m_alive.remove(worker);
        --m_running;
        delete worker;
        return false;
    }
    m_peakAlive = qMax(m_peakAlive, int(m_alive.size()));
    emit workerStarted(question);
    emit countChanged(m_running);
    return true;
}

void PriceWorkers::forgetRunning() {
    ++m_epoch;
    m_running = 0;
    emit countChanged(m_running);
}

void PriceWorkers::finish(const TMyThread& worker, const WorkerFindings& findings) {
    if (!worker.logLine().isEmpty()) {
        m_pendingLog << worker.logLine();
        if (!m_logTimer.isActive())
            m_logTimer.start(kLogBatchMs);
    }
    if (m_delivery)
        m_delivery(worker, findings);
    if (worker.epoch != m_epoch || m_running < 1)
        return;
    --m_running;
    // The last counted worker: the log is complete when the progress window goes.
    while (m_running == 0 && !m_pendingLog.isEmpty())
        flushLog();
    emit countChanged(m_running);
    emit workerCountLowered();
}

void PriceWorkers::flushLog() {
    m_logTimer.stop();
    if (m_pendingLog.isEmpty())
        return;
    // A few answers at a time, so a large batch does not hold the window up either.
    const qsizetype count = qMin(m_pendingLog.size(), qsizetype(kLogBatchAnswers));
    m_log.AppendLogLine(m_pendingLog.mid(0, count).join(QLatin1Char('\n')));
    m_pendingLog.remove(0, count);
    if (!m_pendingLog.isEmpty())
        m_logTimer.start(0);
}

void PriceWorkers::reap(TMyThread* worker) {
    // A late signal of a worker already reaped at shutdown finds nothing here.
    if (!m_alive.contains(worker))
        return;
    // "finished" comes just before the thread ends; waiting for it here would stall the window
    // thread on a busy machine, so a worker not quite gone is freed on a later pass.
    if (!worker->isFinished()) {
        m_unreaped.insert(worker);
        if (!m_reapTimer.isActive())
            m_reapTimer.start();
        return;
    }
    m_alive.remove(worker);
    m_unreaped.remove(worker);
    delete worker;
}

void PriceWorkers::reapFinished() {
    const QList<TMyThread*> waiting(m_unreaped.cbegin(), m_unreaped.cend());
    for (TMyThread* worker : waiting)
        if (worker->isFinished())
            reap(worker);
    if (m_unreaped.isEmpty())
        m_reapTimer.stop();
}

void PriceWorkers::shutdown(int waitMs) {
    if (m_link->closing.exchange(true))
        return;
    const QDeadlineTimer deadline(waitMs);
    while (!m_alive.isEmpty() && !deadline.hasExpired()) {
        // Steps already posted must be answered, or their workers would wait for ever; the
        // closing flag makes them return without touching anything.
        QCoreApplication::sendPostedEvents(m_link->windowSide, QEvent::MetaCall);
        const QList<TMyThread*> alive(m_alive.cbegin(), m_alive.cend());
        for (TMyThread* worker : alive)
            if (worker->wait(QDeadlineTimer(5))) {
                m_alive.remove(worker);
                m_unreaped.remove(worker);
                delete worker;
            }
    }
    // Whatever still runs is left to itself: it holds the link, finds it closing, and its
    // thread object is never deleted under it.
    for (TMyThread* worker : std::as_const(m_alive))
        worker->disconnect(this);
}
