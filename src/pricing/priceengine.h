#pragma once

#include "pricing/tmythread.h"

#include <QTimer>

#include <memory>
#include <thread>

// The network thread of the price runs: every worker's question is one transfer of a curl_multi
// loop on one thread, at most `limit` of them in flight, each its own exchange (fresh connection,
// the services' request head, no keep-alive, 120 seconds). Answers are read on that thread; the
// results reach the window thread in batches, about every 50 ms.
//
// The owner keeps it for as long as any window may send work. Closing refuses new work, cancels
// every transfer and joins the thread within a time limit.
class PriceEngine : public PriceTransport {
    Q_OBJECT
public:
    static constexpr int kDefaultLimit = 200;
    static constexpr int kBatchMs = 50;
    static constexpr int kTimeoutSeconds = 120;

    explicit PriceEngine(int limit = kDefaultLimit, QObject* parent = nullptr);
    ~PriceEngine() override;

    bool submit(const TMyThread& worker) override;
    int openCount() const override { return m_open; }
    bool isClosing() const override;
    void setEager(bool eager) override;

    // Refuses new work, cancels every transfer and waits up to `waitMs` for the thread. Results
    // not yet delivered are dropped.
    void shutdown(int waitMs = 3000);

    // The termination signal's way in: safe to call from a signal handler. Every engine of the
    // process stops taking work and cancels its transfers at once; the owners still shut down.
    static void stopEverything();

private:
    struct Shared;
    void deliver();

    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
    QTimer m_batchTimer;
    int m_open = 0;
};
