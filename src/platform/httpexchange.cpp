#include "platform/httpexchange.h"

#include "platform/curleasy.h"

#include <QCoreApplication>
#include <QThread>

namespace {

struct Transfer {
    HttpResult result;
    bool sawStatusLine = false;
    bool tooLarge = false;
    bool gotEnough = false;
    qint64 maxBodyBytes = 0;
    qint64 firstBytesOnly = 0;
};

// Every status line passes here (a 100 first, then the final one); the last one counts.
size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const size_t length = size * count;
    if (const auto status = ParseStatusLine(QByteArray(data, qsizetype(length)))) {
        transfer->sawStatusLine = true;
        transfer->result.statusCode = status->code;
        transfer->result.reason = status->reason;
    }
    return length;
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const size_t length = size * count;
    if (transfer->firstBytesOnly > 0) {
        const qint64 room = transfer->firstBytesOnly - transfer->result.body.size();
        transfer->result.body.append(data, qsizetype(qMin(room, qint64(length))));
        transfer->gotEnough = transfer->result.body.size() >= transfer->firstBytesOnly;
        return transfer->gotEnough ? 0 : length; // 0 ends the transfer
    }
    if (transfer->result.body.size() + qint64(length) > transfer->maxBodyBytes) {
        transfer->tooLarge = true;
        return 0; // aborts the transfer
    }
    transfer->result.body.append(data, qsizetype(length));
    return length;
}

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* cancel = static_cast<const std::atomic<bool>*>(user);
    return cancel->load() ? 1 : 0; // non-zero aborts the transfer
}

} // namespace

namespace {

std::function<void(bool)>& windowWaitHook() {
    static std::function<void(bool)> hook;
    return hook;
}

// Tells the hook for the length of one exchange of the main thread.
class WindowWait {
public:
    WindowWait()
        : m_told(windowWaitHook() && QCoreApplication::instance() &&
                 QThread::currentThread() == QCoreApplication::instance()->thread()) {
        if (m_told)
            windowWaitHook()(true);
    }
    ~WindowWait() {
        if (m_told)
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
    const WindowWait wait;
    Transfer transfer;
    transfer.maxBodyBytes = options.maxBodyBytes;
    transfer.firstBytesOnly = options.firstBytesOnly;
    CurlEasy curl;
    if (!curl.isValid())
        return transfer.result;

    curl.setUrl(url);
    curl.setServiceHttpHead(options.userAgent, options.keepAlive);
    // Only web addresses: an address taken from an answer must not reach local files or other protocols.
    curl.set(CURLOPT_PROTOCOLS_STR, "http,https");
    curl.setNoProgressLimit(options.timeoutSeconds);
    curl.set(CURLOPT_HEADERFUNCTION, onHeader);
    curl.set(CURLOPT_HEADERDATA, &transfer);
    curl.set(CURLOPT_WRITEFUNCTION, onBody);
    curl.set(CURLOPT_WRITEDATA, &transfer);
    if (options.cancel) {
        curl.set(CURLOPT_XFERINFOFUNCTION, onProgress);
        curl.set(CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(options.cancel));
        curl.set(CURLOPT_NOPROGRESS, 0L);
    }

    const CURLcode code = curl.perform();
    if ((code != CURLE_OK && !transfer.gotEnough) || transfer.tooLarge) {
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
    return transfer.result;
}
