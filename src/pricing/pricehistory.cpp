#include "pricing/pricehistory.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QThread>

#include <sqlite3.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace {

// One prepared statement; finalized with its owner.
class Statement {
public:
    Statement() = default;
    Statement(sqlite3* db, const char* sql) {
        if (db)
            m_status = sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_statement, nullptr);
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(Statement&& other) noexcept { *this = std::move(other); }
    Statement& operator=(Statement&& other) noexcept {
        std::swap(m_statement, other.m_statement);
        std::swap(m_status, other.m_status);
        return *this;
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return m_statement != nullptr; }
    int status() const { return m_status; }
    Statement& bind(int at, qint64 value) {
        sqlite3_bind_int64(m_statement, at, value);
        return *this;
    }
    Statement& bind(int at, const QString& text) {
        sqlite3_bind_text16(m_statement, at, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& bindNull(int at) {
        sqlite3_bind_null(m_statement, at);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or the error.
    int step() { return m_statement ? (m_status = sqlite3_step(m_statement)) : SQLITE_MISUSE; }
    void reset() {
        if (m_statement) {
            sqlite3_reset(m_statement);
            sqlite3_clear_bindings(m_statement);
        }
    }
    bool isNull(int column) const { return sqlite3_column_type(m_statement, column) == SQLITE_NULL; }
    qint64 integer(int column) const { return sqlite3_column_int64(m_statement, column); }
    QString text(int column) const {
        const void* data = sqlite3_column_text16(m_statement, column);
        const int bytes = sqlite3_column_bytes16(m_statement, column);
        return data ? QString::fromUtf16(static_cast<const char16_t*>(data), bytes / 2) : QString();
    }

private:
    sqlite3_stmt* m_statement = nullptr;
    int m_status = SQLITE_OK;
};

int exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

bool damaged(int status) {
    const int primary = status & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

QString errorText(sqlite3* db, int status) {
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(status));
}

// Each step takes the schema one version forward; a file of any older version reaches the
// current one in order. Version 1 kept the line key and seller as text in every offer; version 2
// numbers lines and sellers and keeps each line's offers together, a third of the size, so a
// line's history is one range of the file.
const char* const kMigrations[] = {
    R"(CREATE TABLE runs(id INTEGER PRIMARY KEY, started INTEGER NOT NULL, settings_digest TEXT NOT NULL DEFAULT '',
                         lines INTEGER NOT NULL DEFAULT 0, offers INTEGER NOT NULL DEFAULT 0,
                         state INTEGER NOT NULL DEFAULT 0);
       CREATE TABLE offers(run INTEGER NOT NULL, line_key TEXT NOT NULL, source INTEGER NOT NULL, seller TEXT,
                           price_minor INTEGER, currency TEXT, raw TEXT);
       CREATE INDEX offers_line ON offers(line_key, run);)",
    R"(CREATE TABLE lines(id INTEGER PRIMARY KEY, key TEXT NOT NULL UNIQUE, brand TEXT NOT NULL DEFAULT '',
                          reference TEXT NOT NULL DEFAULT '', name TEXT NOT NULL DEFAULT '');
       CREATE TABLE sellers(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE);
       INSERT INTO lines(key, brand, reference)
           SELECT key, substr(head, 1, length(head) - 1), substr(key, length(head) + 1)
           FROM (SELECT DISTINCT line_key AS key, rtrim(line_key, '0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ') AS head
                 FROM offers);
       INSERT OR IGNORE INTO sellers(name) SELECT DISTINCT coalesce(seller, '') FROM offers;
       CREATE TABLE offers_next(line INTEGER NOT NULL, run INTEGER NOT NULL, seq INTEGER NOT NULL,
                                source INTEGER NOT NULL, seller INTEGER NOT NULL, price_minor INTEGER,
                                currency TEXT, raw TEXT, PRIMARY KEY(line, run, seq)) WITHOUT ROWID;
       INSERT INTO offers_next
           SELECT l.id, o.run, o.rowid, o.source, s.id, o.price_minor, o.currency, o.raw
           FROM offers o JOIN lines l ON l.key = o.line_key JOIN sellers s ON s.name = coalesce(o.seller, '');
       DROP TABLE offers;
       ALTER TABLE offers_next RENAME TO offers;
       ALTER TABLE runs ADD COLUMN unreadable INTEGER NOT NULL DEFAULT 0;
       CREATE TEMP TABLE unread AS SELECT run, count(*) AS n FROM offers WHERE price_minor IS NULL GROUP BY run;
       UPDATE runs SET unreadable = coalesce((SELECT n FROM unread WHERE unread.run = runs.id), 0);
       DROP TABLE temp.unread;
       CREATE INDEX runs_started ON runs(started);)",
};
static_assert(std::size(kMigrations) == PriceHistory::kSchemaVersion);

int schemaVersion(sqlite3* db, int* status) {
    Statement version(db, "PRAGMA user_version");
    *status = version.step();
    if (*status != SQLITE_ROW)
        return -1;
    *status = SQLITE_OK;
    return int(version.integer(0));
}

// Each connection is used by one thread only (the writer's worker, the reader's owner): no locks.
constexpr int kOpenFlags = SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_NOMUTEX;

} // namespace

int ReadKeepDays(const QString& text) {
    bool ok = false;
    const int days = text.trimmed().toInt(&ok);
    return ok && days >= 0 ? days : PriceHistory::kDefaultKeepDays;
}

QString SettingsDigest(const QStringList& settings) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString& setting : settings) {
        hash.addData(setting.toUtf8());
        hash.addData(QByteArrayView("\n", 1));
    }
    return QString::fromLatin1(hash.result().toHex().left(16));
}

class PriceHistory::Worker {
public:
    Worker(PriceHistory* owner, QString path, int keepDays)
        : m_owner(owner), m_path(std::move(path)), m_keepDays(keepDays) {}
    ~Worker() {
        {
            std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_one();
        if (m_thread.joinable())
            m_thread.join();
        close();
    }

    void start() {
        post([this] {
            open();
            prune();
        });
        m_thread = std::thread([this] { loop(); });
    }
    void post(std::function<void()> task) {
        {
            std::lock_guard lock(m_mutex);
            m_tasks.push_back(std::move(task));
        }
        m_wake.notify_one();
    }
    void flush() {
        if (!m_thread.joinable())
            return;
        std::promise<void> done;
        std::future<void> stored = done.get_future();
        post([&done] { done.set_value(); });
        stored.wait();
    }

    struct RunInfo {
        qint64 startedMs = 0;
        QString digest;
        int lines = 0;
        RunState state = RunState::Running;
    };
    void beginRun(Run run, const RunInfo& info) {
        m_runs.insert(run, info);
        insertRun(run);
    }
    void store(Run run, const QList<LineOffer>& batch) {
        if (!m_runs.contains(run) || batch.isEmpty())
            return;
        int status = storeBatch(run, batch);
        // A file found damaged now is moved aside; the run goes on in the new one.
        if (damaged(status) && recover())
            status = storeBatch(run, batch);
        if (status != SQLITE_DONE && status != SQLITE_OK)
            tellOnce(QStringLiteral("The price history \"%1\" could not store a run's prices: %2")
                         .arg(m_path, errorText(m_db, status)));
    }
    // The run stays open: rows of its answers that come in after it ended still belong to it.
    void finishRun(Run run, RunState state) {
        if (!m_runs.contains(run))
            return;
        m_runs[run].state = state;
        const qint64 id = m_runIds.value(run, 0);
        if (m_db && id) {
            Statement finish(m_db, "UPDATE runs SET state = ?1 WHERE id = ?2");
            finish.bind(1, qint64(state)).bind(2, id).step();
        }
        m_named.clear();
    }

private:
    void loop() {
        for (;;) {
            std::function<void()> task;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return m_quit || !m_tasks.empty(); });
                if (m_tasks.empty())
                    return;
                task = std::move(m_tasks.front());
                m_tasks.pop_front();
            }
            task();
        }
    }

    void tellOnce(const QString& text) {
        if (m_told.contains(text))
            return;
        m_told.insert(text);
        emit m_owner->notice(text);
    }

    void close() {
        m_insertOffer = {};
        m_upsertLine = {};
        m_upsertSeller = {};
        m_countRun = {};
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        m_lineIds.clear();
        m_sellerIds.clear();
        m_named.clear();
    }

    enum class Opened { Ready, Damaged, Newer, Busy };

    Opened tryOpen(int* status) {
        close();
        *status = sqlite3_open_v2(QFile::encodeName(m_path).constData(), &m_db,
                                  SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | kOpenFlags, nullptr);
        if (*status != SQLITE_OK)
            return Opened::Damaged;
        sqlite3_busy_timeout(m_db, 5000);
        {
            Statement wal(m_db, "PRAGMA journal_mode = WAL");
            *status = wal.ok() ? wal.step() : wal.status();
        }
        if (*status == SQLITE_BUSY || *status == SQLITE_LOCKED)
            return Opened::Busy;
        if (*status != SQLITE_ROW)
            return Opened::Damaged;
        // Losing the last runs on a power cut is acceptable; a wait for the disk per batch is not.
        // Prices are no secret: freed space need not be overwritten.
        exec(m_db, "PRAGMA synchronous = NORMAL; PRAGMA secure_delete = OFF");
        const int version = schemaVersion(m_db, status);
        if (version < 0)
            return *status == SQLITE_BUSY ? Opened::Busy : Opened::Damaged;
        if (version > kSchemaVersion)
            return Opened::Newer;
        for (int step = version; step < kSchemaVersion; ++step) {
            *status = exec(m_db, "BEGIN IMMEDIATE");
            if (*status == SQLITE_OK)
                *status = exec(m_db, kMigrations[step]);
            if (*status == SQLITE_OK)
                *status = exec(m_db, QStringLiteral("PRAGMA user_version = %1").arg(step + 1).toLatin1().constData());
            if (*status == SQLITE_OK)
                *status = exec(m_db, "COMMIT");
            if (*status != SQLITE_OK) {
                exec(m_db, "ROLLBACK");
                return *status == SQLITE_BUSY ? Opened::Busy : Opened::Damaged;
            }
        }
        m_insertOffer =
            Statement(m_db, "INSERT INTO offers(line, run, seq, source, seller, price_minor, currency, raw) "
                            "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
        m_upsertLine = Statement(m_db, "INSERT INTO lines(key, brand, reference, name) VALUES(?1, ?2, ?3, ?4) "
                                       "ON CONFLICT(key) DO UPDATE SET brand = excluded.brand, "
                                       "reference = excluded.reference, name = excluded.name RETURNING id");
        m_upsertSeller = Statement(m_db, "INSERT INTO sellers(name) VALUES(?1) "
                                         "ON CONFLICT(name) DO UPDATE SET name = excluded.name RETURNING id");
        m_countRun =
            Statement(m_db, "UPDATE runs SET offers = offers + ?1, unreadable = unreadable + ?2 WHERE id = ?3");
        if (!m_insertOffer.ok() || !m_upsertLine.ok() || !m_upsertSeller.ok() || !m_countRun.ok()) {
            *status = sqlite3_errcode(m_db);
            return Opened::Damaged;
        }
        // A run the program did not finish (it ended or crashed meanwhile) keeps what arrived.
        *status = exec(m_db, "UPDATE runs SET state = 2 WHERE state = 0");
        if (damaged(*status))
            return Opened::Damaged;
        return Opened::Ready;
    }

    void open() {
        int status = SQLITE_OK;
        switch (tryOpen(&status)) {
        case Opened::Ready:
            return;
        case Opened::Damaged:
            recover();
            return;
        case Opened::Newer:
            close();
            tellOnce(QStringLiteral("The price history \"%1\" was written by a newer version of the program; it is "
                                    "left as it is, and this session keeps no prices.")
                         .arg(m_path));
            return;
        case Opened::Busy:
            close();
            tellOnce(QStringLiteral("The price history \"%1\" is in use by another copy of the program; this "
                                    "session keeps no prices.")
                         .arg(m_path));
            return;
        }
    }

    // Moves the damaged file aside and starts a new one; the runs under way go on in it.
    bool recover() {
        close();
        const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
        QString aside = m_path + QStringLiteral(".damaged-") + stamp;
        for (int n = 2; QFileInfo(aside).exists() || QFileInfo(aside).isSymLink(); ++n)
            aside = m_path + QStringLiteral(".damaged-%1-%2").arg(stamp).arg(n);
        const QFileInfo file(m_path);
        if ((file.exists() || file.isSymLink()) && !QFile::rename(m_path, aside)) {
            tellOnce(QStringLiteral("The price history \"%1\" cannot be opened and cannot be moved aside; this "
                                    "session keeps no prices.")
                         .arg(m_path));
            return false;
        }
        // The journal belongs to the damaged file; the new file must not replay it.
        if (QFileInfo::exists(m_path + QStringLiteral("-wal")))
            QFile::rename(m_path + QStringLiteral("-wal"), aside + QStringLiteral("-wal"));
        QFile::remove(m_path + QStringLiteral("-shm"));
        int status = SQLITE_OK;
        if (tryOpen(&status) != Opened::Ready) {
            close();
            tellOnce(QStringLiteral("The price history \"%1\" cannot be started (%2); this session keeps no prices.")
                         .arg(m_path, QString::fromUtf8(sqlite3_errstr(status))));
            return false;
        }
        tellOnce(QStringLiteral("The price history was damaged or could not be opened. It was moved aside as "
                                "\"%1\" and a new one was started.")
                     .arg(QFileInfo(aside).fileName()));
        for (auto run = m_runs.cbegin(); run != m_runs.cend(); ++run)
            insertRun(run.key());
        return true;
    }

    void insertRun(Run run) {
        if (!m_db)
            return;
        const RunInfo& info = m_runs[run];
        Statement insert(m_db, "INSERT INTO runs(started, settings_digest, lines, state) VALUES(?1, ?2, ?3, ?4)");
        const int status = insert.bind(1, info.startedMs)
                               .bind(2, info.digest)
                               .bind(3, qint64(info.lines))
                               .bind(4, qint64(info.state))
                               .step();
        if (damaged(status) && recover())
            return; // recover() has inserted the run again
        if (status == SQLITE_DONE)
            m_runIds.insert(run, sqlite3_last_insert_rowid(m_db));
        m_nextSeq.insert(run, 0);
    }

    qint64 lineId(const LineText& text, const QString& key, int* status) {
        if (const auto known = m_lineIds.constFind(key); known != m_lineIds.cend() && m_named.contains(key))
            return *known;
        // Once a run, the line's texts follow what the user's list shows now.
        m_upsertLine.bind(1, key).bind(2, text.brand).bind(3, text.reference).bind(4, text.name);
        *status = m_upsertLine.step();
        const qint64 id = *status == SQLITE_ROW ? m_upsertLine.integer(0) : 0;
        if (*status == SQLITE_ROW)
            *status = m_upsertLine.step();
        m_upsertLine.reset();
        if (id) {
            m_lineIds.insert(key, id);
            m_named.insert(key);
        }
        return id;
    }

    qint64 sellerId(const QString& name, int* status) {
        if (const auto known = m_sellerIds.constFind(name); known != m_sellerIds.cend())
            return *known;
        m_upsertSeller.bind(1, name);
        *status = m_upsertSeller.step();
        const qint64 id = *status == SQLITE_ROW ? m_upsertSeller.integer(0) : 0;
        if (*status == SQLITE_ROW)
            *status = m_upsertSeller.step();
        m_upsertSeller.reset();
        if (id)
            m_sellerIds.insert(name, id);
        return id;
    }

    int storeBatch(Run run, const QList<LineOffer>& batch) {
        const qint64 runId = m_runIds.value(run, 0);
        if (!m_db || !runId)
            return SQLITE_OK;
        int status = exec(m_db, "BEGIN IMMEDIATE");
        if (status != SQLITE_OK)
            return status;
        qint64 seq = m_nextSeq.value(run);
        qint64 unreadable = 0;
        for (const LineOffer& item : batch) {
            const Offer& offer = item.offer;
            const qint64 line = lineId(item.line, LineKey(item.line), &status);
            const qint64 seller = line ? sellerId(offer.seller, &status) : 0;
            if (!line || !seller)
                break;
            m_insertOffer.bind(1, line).bind(2, runId).bind(3, seq).bind(4, qint64(offer.source)).bind(5, seller);
            if (offer.money) {
                m_insertOffer.bind(6, offer.money->minor);
                if (offer.money->currency.isEmpty())
                    m_insertOffer.bindNull(7);
                else
                    m_insertOffer.bind(7, offer.money->currency);
                // The text is kept only where it says more than the amount does.
                if (offer.priceText == CanonicalAmount(offer.money->minor))
                    m_insertOffer.bindNull(8);
                else
                    m_insertOffer.bind(8, offer.priceText);
            } else {
                ++unreadable;
                m_insertOffer.bindNull(6);
                if (offer.source == OfferSource::Own)
                    m_insertOffer.bindNull(7);
                else
                    m_insertOffer.bind(7, offer.currencyText.trimmed().left(16));
                m_insertOffer.bind(8, offer.priceText);
            }
            status = m_insertOffer.step();
            m_insertOffer.reset();
            if (status != SQLITE_DONE)
                break;
            ++seq;
        }
        if (status == SQLITE_DONE) {
            m_countRun.bind(1, qint64(batch.size())).bind(2, unreadable).bind(3, runId);
            status = m_countRun.step();
            m_countRun.reset();
        }
        if (status == SQLITE_DONE)
            status = exec(m_db, "COMMIT");
        if (status != SQLITE_OK) {
            exec(m_db, "ROLLBACK");
            // Ids handed out inside the rolled-back transaction are gone with it.
            m_lineIds.clear();
            m_sellerIds.clear();
            m_named.clear();
            return status;
        }
        m_nextSeq.insert(run, seq);
        return SQLITE_DONE;
    }

    // The one value of a query; 0 when it has none.
    qint64 single(const char* sql, std::optional<qint64> bound = std::nullopt) {
        Statement query(m_db, sql);
        if (bound)
            query.bind(1, *bound);
        return query.step() == SQLITE_ROW && !query.isNull(0) ? query.integer(0) : 0;
    }

    void prune() {
        if (!m_db || m_keepDays <= 0)
            return;
        const qint64 cutoff = QDateTime::currentDateTime().addDays(-m_keepDays).toMSecsSinceEpoch();
        const qint64 lastOld = single("SELECT max(id) FROM runs WHERE started < ?1", cutoff);
        if (lastOld == 0)
            return;
        const qint64 oldOffers = single("SELECT sum(offers) FROM runs WHERE started < ?1", cutoff);
        const qint64 allOffers = single("SELECT sum(offers) FROM runs");
        int status = exec(m_db, "BEGIN IMMEDIATE");
        if (status == SQLITE_OK) {
            Statement old(m_db, "CREATE TEMP TABLE old_runs AS SELECT id FROM runs WHERE started < ?1");
            status = old.bind(1, cutoff).step() == SQLITE_DONE ? SQLITE_OK : old.status();
        }
        const bool mostGoes = oldOffers * 2 > allOffers;
        if (status == SQLITE_OK && mostGoes) {
            // Most of the file goes (the program was not started for months, or fewer days are
            // kept now): the few rows kept are set aside and the table emptied whole, page by
            // page instead of row by row.
            status = exec(m_db, "CREATE TEMP TABLE kept AS SELECT * FROM offers WHERE run NOT IN temp.old_runs;"
                                "DELETE FROM offers;"
                                "INSERT INTO offers SELECT * FROM temp.kept ORDER BY line, run, seq;"
                                "DROP TABLE temp.kept;");
        } else if (status == SQLITE_OK) {
            // Each line's old runs lie together at the start of its range: one short delete per line.
            Statement lines(m_db, "SELECT id FROM lines");
            Statement drop(m_db, "DELETE FROM offers WHERE line = ?1 AND run <= ?2 AND run IN temp.old_runs");
            while (status == SQLITE_OK && lines.step() == SQLITE_ROW) {
                const int dropped = drop.bind(1, lines.integer(0)).bind(2, lastOld).step();
                drop.reset();
                status = dropped == SQLITE_DONE ? SQLITE_OK : dropped;
            }
        }
        if (status == SQLITE_OK)
            status =
                exec(m_db, "DELETE FROM runs WHERE id IN temp.old_runs;"
                           "DELETE FROM lines WHERE NOT EXISTS (SELECT 1 FROM offers WHERE offers.line = lines.id);"
                           "DROP TABLE temp.old_runs;");
        if (status == SQLITE_OK)
            status = exec(m_db, "COMMIT");
        if (status != SQLITE_OK) {
            exec(m_db, "ROLLBACK");
            exec(m_db, "DROP TABLE IF EXISTS temp.old_runs; DROP TABLE IF EXISTS temp.kept");
            if (damaged(status))
                recover();
            return;
        }
        m_lineIds.clear();
        // After a large prune the file gives the space back; rewriting the little that is left
        // costs less than the prune did.
        if (mostGoes)
            exec(m_db, "VACUUM");
        exec(m_db, "PRAGMA wal_checkpoint(TRUNCATE)");
    }

    PriceHistory* m_owner;
    QString m_path;
    int m_keepDays;

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_tasks;
    bool m_quit = false;

    // Only the worker thread touches these.
    sqlite3* m_db = nullptr;
    Statement m_insertOffer;
    Statement m_upsertLine;
    Statement m_upsertSeller;
    Statement m_countRun;
    QHash<Run, RunInfo> m_runs;
    QHash<Run, qint64> m_runIds;
    QHash<Run, qint64> m_nextSeq;
    QHash<QString, qint64> m_lineIds;
    QHash<QString, qint64> m_sellerIds;
    QSet<QString> m_named;
    QSet<QString> m_told;
};

PriceHistory::PriceHistory(const QString& path, int keepDays, QObject* parent)
    : QObject(parent), m_path(path), m_worker(std::make_unique<Worker>(this, path, keepDays)) {
    m_storeTimer.setSingleShot(true);
    m_storeTimer.setInterval(kStoreEveryMs);
    connect(&m_storeTimer, &QTimer::timeout, this, &PriceHistory::postWaiting);
}

PriceHistory::~PriceHistory() {
    postWaiting();
    m_worker.reset();
}

void PriceHistory::start() {
    m_worker->start();
}

PriceHistory::Run PriceHistory::beginRun(const QDateTime& started, const QString& settingsDigest, int lines) {
    postWaiting();
    const Run run = m_nextRun++;
    Worker::RunInfo info{started.toMSecsSinceEpoch(), settingsDigest, lines};
    m_worker->post([worker = m_worker.get(), run, info] { worker->beginRun(run, info); });
    return run;
}

// A run hands over a batch twenty times a second; a transaction each is more work than its rows.
void PriceHistory::store(Run run, const QList<LineOffer>& batch) {
    if (batch.isEmpty())
        return;
    {
        std::lock_guard lock(m_waitingMutex);
        m_waiting.append({run, batch});
    }
    if (!m_storeTimer.isActive())
        m_storeTimer.start();
}

void PriceHistory::postWaiting() {
    // The timer belongs to this object's thread; from another one it fires later and finds
    // nothing. The batches are handed over under the lock, so they keep their place.
    if (QThread::currentThread() == thread())
        m_storeTimer.stop();
    std::lock_guard lock(m_waitingMutex);
    if (m_waiting.isEmpty())
        return;
    // One batch a run, in the order they came (the runs' rows may interleave).
    QList<std::pair<Run, QList<LineOffer>>> joined;
    for (auto& [run, batch] : std::exchange(m_waiting, {})) {
        auto same =
            std::find_if(joined.begin(), joined.end(), [run = run](const auto& each) { return each.first == run; });
        if (same == joined.end())
            joined.append({run, std::move(batch)});
        else
            same->second += batch;
    }
    for (auto& [run, batch] : joined)
        m_worker->post([worker = m_worker.get(), run = run, batch = std::move(batch)] { worker->store(run, batch); });
}

void PriceHistory::finishRun(Run run, RunState state) {
    postWaiting();
    m_worker->post([worker = m_worker.get(), run, state] { worker->finishRun(run, state); });
}

void PriceHistory::flush() {
    postWaiting();
    m_worker->flush();
}

// The reader.

struct PriceHistoryReader::Connection {
    sqlite3* db = nullptr;
    QHash<qint64, QString> sellers;
    ~Connection() { sqlite3_close_v2(db); }

    QString seller(qint64 id) {
        if (!sellers.contains(id)) {
            Statement all(db, "SELECT id, name FROM sellers");
            while (all.step() == SQLITE_ROW)
                sellers.insert(all.integer(0), all.text(1));
        }
        return sellers.value(id);
    }
};

namespace {

Offer offerFromRow(const Statement& row, int first, const QString& seller) {
    Offer offer;
    offer.source = OfferSource(std::clamp<qint64>(row.integer(first), 0, 2));
    offer.seller = seller;
    // first: source, then seller, price, currency, raw text.
    const bool readable = !row.isNull(first + 2);
    const QString currency = row.isNull(first + 3) ? QString() : row.text(first + 3);
    if (readable)
        offer.money = Money{row.integer(first + 2), currency};
    offer.priceText = row.isNull(first + 4) && readable ? CanonicalAmount(row.integer(first + 2)) : row.text(first + 4);
    offer.currencyText =
        currency.isEmpty() && offer.source == OfferSource::Own ? QString::fromLatin1(kOwnPriceCurrency) : currency;
    return offer;
}

} // namespace

PriceHistoryReader::PriceHistoryReader(const QString& path) : m_db(std::make_unique<Connection>()) {
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db->db, SQLITE_OPEN_READONLY | kOpenFlags, nullptr) !=
        SQLITE_OK) {
        m_db.reset();
        return;
    }
    sqlite3_busy_timeout(m_db->db, 2000);
    // Pages are read in place instead of copied into a cache of the connection's own.
    exec(m_db->db, "PRAGMA mmap_size = 1073741824");
    int status = SQLITE_OK;
    if (schemaVersion(m_db->db, &status) != PriceHistory::kSchemaVersion)
        m_db.reset();
}

PriceHistoryReader::~PriceHistoryReader() = default;

QList<RunRecord> PriceHistoryReader::runs() const {
    QList<RunRecord> runs;
    if (!m_db)
        return runs;
    Statement all(m_db->db, "SELECT id, started, settings_digest, lines, offers, unreadable, state FROM runs "
                            "ORDER BY id DESC");
    while (all.step() == SQLITE_ROW)
        runs.append({all.integer(0), QDateTime::fromMSecsSinceEpoch(all.integer(1)), all.text(2), int(all.integer(3)),
                     int(all.integer(4)), int(all.integer(5)), RunState(std::clamp<qint64>(all.integer(6), 0, 2))});
    return runs;
}

QList<LineSnapshot> PriceHistoryReader::latestLines(const QStringList& keys) const {
    QList<LineSnapshot> lines;
    if (!m_db)
        return lines;
    sqlite3* db = m_db->db;
    exec(db, "BEGIN");
    qint64 newestRun = 0;
    Statement chosen;
    if (keys.isEmpty()) {
        Statement newest(db, "SELECT max(id) FROM runs");
        if (newest.step() == SQLITE_ROW)
            newestRun = newest.integer(0);
        chosen = Statement(db, "SELECT id, key, brand, reference, name FROM lines ORDER BY key");
    } else {
        chosen = Statement(db, "SELECT id, key, brand, reference, name FROM lines WHERE key = ?1");
    }
    Statement offers(db, "SELECT run, source, seller, price_minor, currency, raw FROM offers WHERE line = ?1 "
                         "ORDER BY run DESC, seq DESC");
    auto read = [&](const Statement& line) {
        LineSnapshot snapshot{line.text(1), {line.text(2), line.text(3), line.text(4)}, {}, {}};
        offers.bind(1, line.integer(0));
        qint64 latest = -1;
        qint64 previous = -1;
        while (offers.step() == SQLITE_ROW) {
            const qint64 run = offers.integer(0);
            if (latest < 0) {
                latest = run;
                if (keys.isEmpty() && latest != newestRun)
                    break;
            } else if (run != latest && previous < 0) {
                previous = run;
            } else if (run != latest && run != previous) {
                break;
            }
            (run == latest ? snapshot.offers : snapshot.previousOffers)
                .append(offerFromRow(offers, 1, m_db->seller(offers.integer(2))));
        }
        offers.reset();
        return snapshot;
    };
    if (keys.isEmpty()) {
        while (chosen.step() == SQLITE_ROW) {
            LineSnapshot snapshot = read(chosen);
            if (!snapshot.offers.isEmpty())
                lines.append(std::move(snapshot));
        }
    } else {
        for (const QString& key : keys) {
            chosen.bind(1, key);
            if (chosen.step() == SQLITE_ROW)
                lines.append(read(chosen));
            chosen.reset();
        }
    }
    exec(db, "COMMIT");
    for (LineSnapshot& line : lines) {
        std::reverse(line.offers.begin(), line.offers.end());
        std::reverse(line.previousOffers.begin(), line.previousOffers.end());
    }
    return lines;
}

QList<RunOffers> PriceHistoryReader::lineRuns(const QString& key, int maxRuns) const {
    QList<RunOffers> runs;
    if (!m_db)
        return runs;
    sqlite3* db = m_db->db;
    exec(db, "BEGIN");
    QHash<qint64, qint64> started;
    Statement times(db, "SELECT id, started FROM runs");
    while (times.step() == SQLITE_ROW)
        started.insert(times.integer(0), times.integer(1));
    Statement offers(db, "SELECT o.run, o.source, o.seller, o.price_minor, o.currency, o.raw FROM offers o "
                         "JOIN lines l ON l.id = o.line WHERE l.key = ?1 ORDER BY o.run DESC, o.seq DESC");
    offers.bind(1, key);
    while (offers.step() == SQLITE_ROW) {
        const qint64 run = offers.integer(0);
        if (runs.isEmpty() || runs.constLast().run != run) {
            if (maxRuns > 0 && runs.size() == maxRuns)
                break;
            runs.append({run, QDateTime::fromMSecsSinceEpoch(started.value(run)), {}});
        }
        runs.last().offers.append(offerFromRow(offers, 1, m_db->seller(offers.integer(2))));
    }
    exec(db, "COMMIT");
    std::reverse(runs.begin(), runs.end());
    for (RunOffers& run : runs)
        std::reverse(run.offers.begin(), run.offers.end());
    return runs;
}
