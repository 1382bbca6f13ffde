#pragma once

#include "pricing/pricelines.h"
#include "pricing/pricerunsettings.h"
#include "pricing/tmythread.h"

#include <QObject>

#include <functional>

class Desktop;
class Dialogs;
class OwnPriceTable;
class RequestLog;
class ResultRows;
class RunProgress;

// The price processing run of the comparative list: for every line, in order, the own price
// lists, one worker per chosen shop and e-platform, and the search pages, as switched on. It
// works on the window thread step by step, letting the window process its events between steps,
// and sends its workers through a transport. Their results come back in batches: rows go into
// the result tables in one insert per batch, log lines into the request log, and the count of
// running workers (RunningThreadCount) falls once per worker.
class PriceRun : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        Completed,
        // The user confirmed STOP: "StopExportData" was shown.
        Stopped,
        // The program is closing.
        Closed,
    };
    // The run waits before a line while more workers than this are counted.
    static constexpr int kMaxRunningWorkers = 200;

    PriceRun(PriceTransport& transport, Dialogs& dialogs, Desktop& desktop, RequestLog& log,
             const OwnPriceTable& ownPrices, ResultRows& compare, ResultRows& analysis, QObject* parent = nullptr);

    void setProgress(RunProgress* progress) { m_progress = progress; }
    // Fills the empty own price table before the first line (asking its own question).
    void setRegenerateOwnPrices(std::function<void()> regenerate) { m_regenerate = std::move(regenerate); }

    // Asks "START PROCESSING OF PRICES ???"; on Yes the run starts.
    void SpeedButton32Click(const QList<PriceLine>& lines, const PriceRunSettings& settings);
    // Starts without asking; false when a run is under way or the program is closing.
    bool start(const QList<PriceLine>& lines, const PriceRunSettings& settings);
    bool isRunning() const { return m_running; }

    int RunningThreadCount() const { return m_count; }
    // STOP: the count becomes 0, and the workers already started no longer lower it.
    void forgetRunning();
    // The program is closing: the run ends at its next step and nothing is asked or shown.
    void shutdown();

    // The requests of the latest run: sent, answered, failed.
    struct Requests {
        int sent = 0;
        int answered = 0;
        int failed = 0;
    };
    Requests requests() const { return m_requests; }
    // "30 requests: 18 answered, 12 failed — see Log requests"
    static QString summaryLine(const Requests& requests);

signals:
    // A worker was counted and sent, in the order the run creates them.
    void workerStarted(const TMyThread& worker);
    void countChanged(int count);
    void finished(PriceRun::Outcome outcome);
    // Every request of the run has its answer or its failure.
    void requestsSettled(const QString& summary);

private:
    void scheduleStep();
    void step();
    void lineStep();
    void startWorkers(const QString& service, const QString& shopIds, const QString& email, const QString& seccode,
                      int maxrow, const PriceLine& line);
    void openPendingPages();
    bool stopNow() const;
    void end(Outcome outcome);
    void onDelivered(const QList<WorkerResult>& results);
    void checkSettled();
    bool progressShowing() const;

    PriceTransport& m_transport;
    Dialogs& m_dialogs;
    Desktop& m_desktop;
    RequestLog& m_log;
    const OwnPriceTable& m_ownPrices;
    ResultRows& m_compare;
    ResultRows& m_analysis;
    RunProgress* m_progress = nullptr;
    std::function<void()> m_regenerate;

    enum class Stage { LoadOwnPrices, Lines, Pages };
    QList<PriceLine> m_lines;
    PriceRunSettings m_settings;
    Stage m_stage = Stage::LoadOwnPrices;
    int m_line = 0;
    int m_phase = 0;
    QStringList m_pendingPages;
    bool m_running = false;
    bool m_closing = false;
    bool m_stepScheduled = false;
    bool m_waiting = false;

    int m_count = 0;
    int m_epoch = 0;
    int m_runId = 0;
    Requests m_requests;
    bool m_settled = true;
};
