#pragma once

#include "pricing/bestoffers.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <mutex>
#include <utility>

enum class RunState { Running = 0, Complete = 1, Stopped = 2 };

struct RunRecord {
    qint64 id = 0;
    QDateTime started;
    QString settingsDigest;
    int lines = 0;
    int offers = 0;
    int unreadable = 0;
    RunState state = RunState::Running;
};

// The days to keep from the settings page's text; 0 keeps every run. A text that is no such
// number gives PriceHistory::kDefaultKeepDays.
int ReadKeepDays(const QString& text);

// A digest of the settings a run ran with, so runs can be told apart by what they asked.
QString SettingsDigest(const QStringList& settings);

// Every run's offers, in an SQLite file ("prices.sqlite" in the program's folder). Everything
// that touches the file runs on a worker thread of its own: the calls below hand their work over
// and return. A file that cannot be opened or is damaged is moved aside and a new one started;
// the history never keeps the program from running.
class PriceHistory : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kFileName = "prices.sqlite";
    static constexpr int kDefaultKeepDays = 365;
    static constexpr int kSchemaVersion = 2;

    // Nothing touches the file before start().
    explicit PriceHistory(const QString& path, int keepDays = kDefaultKeepDays, QObject* parent = nullptr);
    // Stores what was handed over, then ends the worker.
    ~PriceHistory() override;

    QString path() const { return m_path; }
    // Opens the file and drops runs older than the days to keep, on the worker. Connect
    // notice() first: a damaged file is reported then.
    void start();

    // A handle of a run for the calls below.
    using Run = qint64;
    Run beginRun(const QDateTime& started, const QString& settingsDigest, int lines);
    // One batch of the run's rows. Batches handed over within kStoreEveryMs of each other go into
    // one transaction; any other call here, and flush(), hands over what is waiting first.
    static constexpr int kStoreEveryMs = 250;
    void store(Run run, const QList<LineOffer>& batch);
    // A run stopped or cut short keeps the rows that arrived and is marked so. Rows stored for
    // it afterwards (answers that come in after the run) are kept as well.
    void finishRun(Run run, RunState state);
    // Returns once everything handed over so far is in the file. Any thread may call it.
    void flush();

signals:
    // Something the user is to be told once, from the worker thread.
    void notice(const QString& text);

private:
    class Worker;
    void postWaiting();

    QString m_path;
    std::unique_ptr<Worker> m_worker;
    Run m_nextRun = 1;
    // Guards m_waiting: flush() may come from another thread.
    std::mutex m_waitingMutex;
    QList<std::pair<Run, QList<LineOffer>>> m_waiting;
    QTimer m_storeTimer;
};

// Reads the history on the thread it was made on, beside the writer (the file is in WAL mode,
// so reading never waits for a run being stored). A missing or unreadable file reads as empty.
class PriceHistoryReader {
public:
    explicit PriceHistoryReader(const QString& path);
    ~PriceHistoryReader();
    PriceHistoryReader(const PriceHistoryReader&) = delete;
    PriceHistoryReader& operator=(const PriceHistoryReader&) = delete;

    // Newest first.
    QList<RunRecord> runs() const;
    // The given lines (by LineKey), or, without keys, the lines of the newest run, each with its
    // latest run's offers and those of the run before, in the order asked (or by key).
    QList<LineSnapshot> latestLines(const QStringList& keys = {}) const;
    // The line's runs, oldest first; at most the newest `maxRuns` when above 0.
    QList<RunOffers> lineRuns(const QString& key, int maxRuns = 0) const;

private:
    struct Connection;
    std::unique_ptr<Connection> m_db;
};
