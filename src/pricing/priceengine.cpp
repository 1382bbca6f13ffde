#include "pricing/priceengine.h"

#include "platform/curleasy.h"
#include "service/requestlog.h"
#include "service/textfunctions.h"

#include <QDateTime>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <unordered_map>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Set by a termination signal; every engine reads it.
std::atomic<bool> g_stopEverything{false};
// The wake pipes of the engines alive, for the signal handler (a few slots are plenty).
constexpr int kWakeSlots = 8;
std::atomic<int> g_wakeFds[kWakeSlots] = {-1, -1, -1, -1, -1, -1, -1, -1};

// The largest price answer taken; a runaway server fails its exchange instead.
constexpr qint64 kMaxAnswerBytes = qint64(16) * 1024 * 1024;
const QByteArray kUserAgent = "Mozilla/4.0 (compatible; Synapse)";

void wake(int fd) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
}

} // namespace

struct PriceEngine::Shared {
    int limit = kDefaultLimit;
    int wakeRead = -1;
    int wakeWrite = -1;
    int slot = -1;
    std::atomic<bool> closing{false};
    std::atomic<bool> eager{false};
    std::atomic<bool> posted{false};
    // The window side, told at once of results while eager; cleared when it goes.
    PriceEngine* owner = nullptr;

    std::mutex mutex;
    std::deque<TMyThread> inbox;
    QList<WorkerResult> outbox;
    std::condition_variable ended;
    bool done = false;

    ~Shared() {
        if (slot >= 0)
            g_wakeFds[slot].store(-1);
        if (wakeRead >= 0)
            ::close(wakeRead);
        if (wakeWrite >= 0)
            ::close(wakeWrite);
    }
    bool stopping() const { return closing.load() || g_stopEverything.load(); }
    void run();
};

namespace {

// One transfer in flight: the worker and what its exchange has brought so far.
struct Transfer {
    TMyThread worker;
    CurlEasy curl;
    QDateTime start;
    QByteArray body;
    QString reason;
    bool sawStatusLine = false;
    bool tooLarge = false;
};

size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const size_t length = size * count;
    if (const auto status = ParseStatusLine(QByteArray(data, qsizetype(length)))) {
        transfer->sawStatusLine = true;
        transfer->reason = status->reason;
    }
    return length;
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const size_t length = size * count;
    if (transfer->body.size() + qint64(length) > kMaxAnswerBytes) {
        transfer->tooLarge = true;
        return 0;
    }
    transfer->body.append(data, qsizetype(length));
    return length;
}

std::unique_ptr<Transfer> startTransfer(const TMyThread& worker, const QDateTime& now) {
    auto transfer = std::make_unique<Transfer>();
    transfer->worker = worker;
    transfer->start = now;
    CurlEasy& curl = transfer->curl;
    if (!curl.isValid())
        return transfer;
    curl.setUrl(worker.priceBaseUrl + worker.namefun);
    curl.setServiceHttpHead(kUserAgent, false);
    curl.set(CURLOPT_PROTOCOLS_STR, "http,https");
    curl.setNoProgressLimit(PriceEngine::kTimeoutSeconds);
    curl.set(CURLOPT_TIMEOUT, long(PriceEngine::kTimeoutSeconds));
    curl.set(CURLOPT_HEADERFUNCTION, onHeader);
    curl.set(CURLOPT_HEADERDATA, transfer.get());
    curl.set(CURLOPT_WRITEFUNCTION, onBody);
    curl.set(CURLOPT_WRITEDATA, transfer.get());
    curl.set(CURLOPT_PRIVATE, transfer.get());
    return transfer;
}

// The worker's end, read on the network thread: the answer's rows and the request log line.
WorkerResult finish(Transfer& transfer, CURLcode code, const QDateTime& end) {
    WorkerResult result;
    result.worker = transfer.worker;
    const QString reason =
        code == CURLE_OK && !transfer.tooLarge && transfer.sawStatusLine ? transfer.reason : QString();
    const TMyThread& w = transfer.worker;
    if (reason.toUpper() != QLatin1String("OK")) {
        result.logLine = WorkerFailedLogLine(transfer.start, end, w.priceBaseUrl, w.namefun, reason);
        return result;
    }
    result.answered = true;
    const QString answer = StreamToUtf8Text(transfer.body);
    result.logLine = WorkerAnsweredLogLine(transfer.start, end, w.priceBaseUrl, w.namefun, answer);
    result.findings = ReadWorkerAnswer(w, answer);
    return result;
}

} // namespace

void PriceEngine::Shared::run() {
    CURLM* multi = curl_multi_init();
    std::unordered_map<CURL*, std::unique_ptr<Transfer>> active;
    QList<WorkerResult> finished;
    // One reading of the local clock serves every transfer that starts or ends in a pass: the log
    // shows whole seconds, and each reading looks at the time zone file again.
    std::optional<QDateTime> passTime;
    const auto now = [&passTime]() -> const QDateTime& {
        if (!passTime)
            passTime = QDateTime::currentDateTime();
        return *passTime;
    };
    while (multi && !stopping()) {
        passTime.reset();
        {
            std::lock_guard lock(mutex);
            while (!inbox.empty() && int(active.size()) < limit) {
                std::unique_ptr<Transfer> transfer = startTransfer(inbox.front(), now());
                inbox.pop_front();
                CURL* handle = transfer->curl.handle();
                if (!handle || curl_multi_add_handle(multi, handle) != CURLM_OK) {
                    finished << finish(*transfer, CURLE_FAILED_INIT, now());
                    continue;
                }
                active.emplace(handle, std::move(transfer));
            }
        }
        int running = 0;
        curl_multi_perform(multi, &running);
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
            if (message->msg != CURLMSG_DONE)
                continue;
            CURL* handle = message->easy_handle;
            const CURLcode code = message->data.result;
            curl_multi_remove_handle(multi, handle);
            const auto it = active.find(handle);
            if (it == active.end())
                continue;
            finished << finish(*it->second, code, now());
            active.erase(it);
        }
        if (!finished.isEmpty()) {
            std::lock_guard lock(mutex);
            outbox << std::move(finished);
            finished.clear();
            if (owner && eager.load() && !posted.exchange(true))
                QMetaObject::invokeMethod(owner, &PriceEngine::deliver, Qt::QueuedConnection);
        }
        curl_waitfd wakeup{wakeRead, CURL_WAIT_POLLIN, 0};
        curl_multi_poll(multi, &wakeup, 1, 1000, nullptr);
        if (wakeup.revents) {
            char drain[256];
            while (::read(wakeRead, drain, sizeof drain) > 0) {
            }
        }
    }
    // Cancelled: the transfers go without results.
    for (auto& [handle, transfer] : active)
        curl_multi_remove_handle(multi, handle);
    active.clear();
    if (multi)
        curl_multi_cleanup(multi);
    std::lock_guard lock(mutex);
    done = true;
    ended.notify_all();
}

PriceEngine::PriceEngine(int limit, QObject* parent) : PriceTransport(parent), m_shared(std::make_shared<Shared>()) {
    m_shared->limit = std::max(1, limit);
    int fds[2] = {-1, -1};
    if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) == 0) {
        m_shared->wakeRead = fds[0];
        m_shared->wakeWrite = fds[1];
        for (int i = 0; i < kWakeSlots && m_shared->slot < 0; ++i) {
            int free = -1;
            if (g_wakeFds[i].compare_exchange_strong(free, fds[1]))
                m_shared->slot = i;
        }
    }
    m_shared->owner = this;
    m_batchTimer.setInterval(kBatchMs);
    connect(&m_batchTimer, &QTimer::timeout, this, &PriceEngine::deliver);
    // The thread holds the shared state: a thread left behind at shutdown finds it still there.
    m_thread = std::thread([shared = m_shared] { shared->run(); });
}

PriceEngine::~PriceEngine() {
    shutdown();
    std::lock_guard lock(m_shared->mutex);
    m_shared->owner = nullptr;
}

bool PriceEngine::isClosing() const {
    return m_shared->stopping();
}

bool PriceEngine::submit(const TMyThread& worker) {
    if (isClosing() || m_shared->wakeWrite < 0)
        return false;
    bool wasEmpty = false;
    {
        std::lock_guard lock(m_shared->mutex);
        wasEmpty = m_shared->inbox.empty();
        m_shared->inbox.push_back(worker);
    }
    // Work already waiting has woken the thread, or waits for a transfer to end and free a place.
    if (wasEmpty)
        wake(m_shared->wakeWrite);
    ++m_open;
    if (!m_batchTimer.isActive())
        m_batchTimer.start();
    return true;
}

void PriceEngine::setEager(bool eager) {
    m_shared->eager.store(eager);
    if (eager)
        deliver();
}

void PriceEngine::deliver() {
    QList<WorkerResult> results;
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->posted.store(false);
        results.swap(m_shared->outbox);
    }
    if (isClosing()) {
        // Stopped by a signal: nothing more will come.
        m_open = 0;
        m_batchTimer.stop();
        return;
    }
    m_open -= int(results.size());
    if (m_open <= 0) {
        m_open = 0;
        m_batchTimer.stop();
    }
    if (!results.isEmpty())
        emit delivered(results);
}

void PriceEngine::shutdown(int waitMs) {
    m_batchTimer.stop();
    m_open = 0;
    if (!m_thread.joinable())
        return;
    m_shared->closing.store(true);
    wake(m_shared->wakeWrite);
    std::unique_lock lock(m_shared->mutex);
    const bool ended =
        m_shared->ended.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return m_shared->done; });
    m_shared->inbox.clear();
    m_shared->outbox.clear();
    m_shared->owner = nullptr;
    lock.unlock();
    // A thread still in a transfer library call is left to end by itself; it holds what it uses.
    if (ended)
        m_thread.join();
    else
        m_thread.detach();
}

void PriceEngine::stopEverything() {
    g_stopEverything.store(true);
    for (auto& fd : g_wakeFds) {
        const int write = fd.load();
        if (write >= 0)
            wake(write);
    }
}
