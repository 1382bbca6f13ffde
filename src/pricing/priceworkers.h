#pragma once

#include "pricing/tmythread.h"

#include <QObject>
#include <QSet>
#include <QTimer>

#include <functional>
#include <memory>

class RequestLog;

// The one long-lived owner of the price workers, on the window thread. It counts the running
// workers (RunningThreadCount), runs their window steps, frees them when they end and, when the
// program closes, cancels their transfers and refuses their steps so none touches a window
// that is gone.
class PriceWorkers : public QObject {
    Q_OBJECT
public:
    using Delivery = std::function<void(const TMyThread& worker, const WorkerFindings& findings)>;

    PriceWorkers(RequestLog& log, QObject* parent = nullptr);
    ~PriceWorkers() override;

    // Where the findings go (the result tables); window thread.
    void setDelivery(Delivery delivery) { m_delivery = std::move(delivery); }
    void setPriceBaseUrl(const QString& url) { m_priceBaseUrl = url; }

    // Window thread. Counts the worker at once and starts it; false, with nothing counted, when
    // the thread cannot be started or the program is closing.
    bool start(const PriceQuestion& question);
    int RunningThreadCount() const { return m_running; }
    // STOP: the count becomes 0, and the workers already started no longer lower it.
    void forgetRunning();
    // Threads started and not yet ended.
    int aliveCount() const { return int(m_alive.size()); }
    int peakAlive() const { return m_peakAlive; }

    // Cancels every transfer, refuses further steps and waits up to `waitMs` for the workers;
    // those still running then are abandoned. Nothing starts afterwards.
    void shutdown(int waitMs);
    bool isClosing() const { return m_link->closing.load(); }

signals:
    // A worker was counted and started, in the order the run creates them.
    void workerStarted(const PriceQuestion& question);
    void countChanged(int count);
    // A counted worker ended and lowered the count.
    void workerCountLowered();

private:
    void finish(const TMyThread& worker, const WorkerFindings& findings);
    void reap(TMyThread* worker);
    void reapFinished();
    void flushLog();

    RequestLog& m_log;
    std::shared_ptr<WorkerLink> m_link;
    QString m_priceBaseUrl;
    Delivery m_delivery;
    QSet<TMyThread*> m_alive;
    QSet<TMyThread*> m_unreaped;
    QTimer m_reapTimer;
    QStringList m_pendingLog;
    QTimer m_logTimer;
    int m_running = 0;
    int m_epoch = 0;
    int m_peakAlive = 0;
};
