#include "platform/httpexchange.h"

#include "platform/curleasy.h"
#include "platform/hugepages.h"
#include "platform/worker.h"

#include <QCoreApplication>
#include <QThread>

namespace {

struct Transfer {
    CURL* curl = nullptr;
    HttpResult result;
    bool sawStatusLine = false;
    bool reserved = false;
    bool cut = false;
    qint64 maxBodyBytes = 0;
    bool firstBytesOnly = false;
    const std::atomic<bool>* cancel = nullptr;
};

// Every status line passes here (a 100 first, then the final one); the last one counts.
size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const size_t length = size * count;
    if (const auto status = ParseStatusLine(QByteArray::fromRawData(data, qsizetype(length)))) {
        transfer->sawStatusLine = true;
        transfer->result.statusCode = status->code;
        transfer->result.reason = status->reason;
    }
    return length;
}

// The announced length is taken at the first byte, so the body is allocated once; never beyond
// the cap, which has already refused a larger announcement unless the body is cut there.
void reserveAnnouncedBody(Transfer* transfer) {
    transfer->reserved = true;
    curl_off_t announced = -1;
    if (curl_easy_getinfo(transfer->curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) != CURLE_OK || announced <= 0)
        return;
    QByteArray& body = transfer->result.body;
    body.reserve(qsizetype(qMin(qint64(announced), transfer->maxBodyBytes)));
    adviseHugePages(body.data(), body.capacity());
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const size_t length = size * count;
    if (!transfer->reserved)
        reserveAnnouncedBody(transfer);
    const qint64 room = transfer->maxBodyBytes - transfer->result.body.size();
    if (qint64(length) > room && !transfer->firstBytesOnly)
        return 0; // aborts the transfer as a failed one
    transfer->result.body.append(data, qsizetype(qMin(room, qint64(length))));
    // Once the first bytes are all there, nothing more is waited for.
    transfer->cut = transfer->firstBytesOnly && transfer->result.body.size() == transfer->maxBodyBytes;
    return transfer->cut ? 0 : length; // 0 ends the transfer
}

int onProgress(void* user, qint64, qint64) {
    const auto* transfer = static_cast<const Transfer*>(user);
    return transfer->cancel && transfer->cancel->load() ? 1 : 0; // non-zero aborts the transfer
}

HttpResult exchange(const QString& url, const HttpOptions& options) {
    Transfer transfer;
    transfer.maxBodyBytes = options.maxBodyBytes;
    transfer.firstBytesOnly = options.firstBytesOnly;
    transfer.cancel = options.cancel;
    CurlEasy curl;
    if (!curl.isValid())
        return transfer.result;
    transfer.curl = curl.handle();

    curl.setUrl(url);
    curl.setServiceHttpHead(options.userAgent, options.keepAlive);
    // Only web addresses: an address taken from an answer must not reach local files or other protocols.
    curl.set(CURLOPT_PROTOCOLS_STR, "http,https");
    TransferLimits limits;
    limits.noProgressSeconds = options.timeoutSeconds;
    limits.deadlineSeconds = options.deadlineSeconds;
    // A body that is cut at the cap may announce any length.
    limits.maxBytes = options.firstBytesOnly ? 0 : options.maxBodyBytes;
    curl.setLimits(limits);
    curl.set(CURLOPT_HEADERFUNCTION, onHeader);
    curl.set(CURLOPT_HEADERDATA, &transfer);
    curl.set(CURLOPT_WRITEFUNCTION, onBody);
    curl.set(CURLOPT_WRITEDATA, &transfer);
    curl.setProgressCallback(onProgress, &transfer);

    if (curl.perform() != CURLE_OK && !transfer.cut) {
        HttpResult failed;
        failed.statusCode = transfer.result.statusCode;
        return failed;
    }
    if (!transfer.sawStatusLine) {
        // An answer without a status line is all body, with code 0 and no reason.
        transfer.result.statusCode = 0;
        transfer.result.reason.clear();
    }
    transfer.result.completed = true;
    return std::move(transfer.result);
}

// Set and read on the window thread only: nothing else may look at it.
std::function<void(bool)>& windowWaitHook() {
    static std::function<void(bool)> hook;
    return hook;
}

bool onWindowThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

// Tells the hook for the length of one exchange of the window thread.
class WindowWait {
public:
    WindowWait() : m_told(bool(windowWaitHook())) {
        if (m_told)
            windowWaitHook()(true);
    }
    ~WindowWait() {
        if (m_told && windowWaitHook())
            windowWaitHook()(false);
    }
    WindowWait(const WindowWait&) = delete;
    WindowWait& operator=(const WindowWait&) = delete;

private:
    bool m_told;
};

} // namespace

void setWindowWaitHook(std::function<void(bool)> hook) {
    windowWaitHook() = std::move(hook);
}

HttpResult HttpGet(const QString& url, const HttpOptions& options) {
    // The thread is asked first: workers never touch the hook the window thread sets.
    if (!onWindowThread())
        return exchange(url, options);
    const WindowWait wait;
    // The window keeps painting and its timers run while the exchange is under way; input
    // waits for its end, in order, as the blocking exchange demands.
    return awaitResultOnWorker([&] { return exchange(url, options); });
}
