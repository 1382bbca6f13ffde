#pragma once

#include "pricing/pricereadings.h"

#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

class QObject;

// What the workers share with their owner. It outlives the owner when a worker had to be
// abandoned at shutdown, so such a worker still finds the closing flag and never calls into a
// window.
struct WorkerLink {
    std::atomic<bool> closing{false};
    // Lives on the window thread; the target of the workers' blocking steps.
    QObject* windowSide = nullptr;

    // Worker thread: runs `step` on the window thread and waits for it. False, without running
    // it, once the owner is closing.
    bool runOnWindowThread(const std::function<void()>& step);
};

// What a worker found, handed to the window thread in one step when it ends.
struct WorkerFindings {
    QList<CompareOffer> compareOffers;
    QStringList analysisLines;
};

// One price question of the run: a comparative-list line asked of one site.
struct PriceQuestion {
    QString service;
    QString email;
    QString seccode;
    QString site;
    QString brand;
    QString part;
    QString name;
    int maxrow = 0;
};

// One price question to a price service for one comparative-list line and one site, on a
// thread of its own. Its fields are set before it starts and only read afterwards.
class TMyThread : public QThread, public PriceQuestion {
    Q_OBJECT
public:
    using EndStep = std::function<void(TMyThread& worker, const WorkerFindings& findings)>;

    TMyThread(std::shared_ptr<WorkerLink> link, QString priceBaseUrl, EndStep end);

    QString namefun;

    // The run that counted this worker (see PriceWorkers::forgetRunning).
    int epoch = 0;

    // Sends `namefun` and returns the answer text; empty when there is no answer.
    QString _GetContentFromServer_comparator();
    // The request log line of the exchange, handed over with the findings; empty without one.
    const QString& logLine() const { return m_logLine; }

protected:
    // Execute: build the request, ask, read the answer, hand the findings to the window thread.
    void run() override;

private:
    std::shared_ptr<WorkerLink> m_link;
    QString m_priceBaseUrl;
    EndStep m_end;
    QString m_logLine;
};
