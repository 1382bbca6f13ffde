#include "platform/httpexchange.h"

#include <curl/curl.h>

#include <mutex>

namespace {

struct Transfer {
    HttpResult result;
    bool sawStatusLine = false;
    bool tooLarge = false;
    qint64 maxBodyBytes = 0;
};

void ensureCurlInitialised() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Every status line passes here (a 100 first, then the final one); the last one counts.
size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const size_t length = size * count;
    const QByteArray line = QByteArray(data, qsizetype(length)).trimmed();
    if (line.size() >= 5 && line.left(5).toUpper() == "HTTP/") {
        transfer->sawStatusLine = true;
        const qsizetype firstBlank = line.indexOf(' ');
        QByteArray rest = firstBlank < 0 ? QByteArray() : line.mid(firstBlank + 1);
        const qsizetype secondBlank = rest.indexOf(' ');
        const QByteArray code = secondBlank < 0 ? rest : rest.left(secondBlank);
        transfer->result.statusCode = code.toInt();
        transfer->result.reason =
            secondBlank < 0 ? QString() : QString::fromLatin1(rest.mid(secondBlank + 1)).trimmed();
    }
    return length;
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const size_t length = size * count;
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

HttpResult HttpGet(const QString& url, const HttpOptions& options) {
    ensureCurlInitialised();
    Transfer transfer;
    transfer.maxBodyBytes = options.maxBodyBytes;
    CURL* curl = curl_easy_init();
    if (!curl)
        return transfer.result;

    const QByteArray address = url.toUtf8();
    curl_slist* headers = nullptr;
    if (options.keepAlive) {
        headers = curl_slist_append(headers, "Keep-Alive: 300");
        headers = curl_slist_append(headers, "Connection: keep-alive");
    } else {
        headers = curl_slist_append(headers, "Connection: close");
    }
    headers = curl_slist_append(headers, "User-Agent: Mozilla/4.0 (compatible; Synapse)");
    headers = curl_slist_append(headers, "Accept:"); // drops curl's own Accept line

    curl_easy_setopt(curl, CURLOPT_URL, address.constData());
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(curl, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_HTTP09_ALLOWED, 1L);
    // Always the server itself, whatever proxy the environment names, and only web addresses:
    // an address taken from an answer must not reach local files or other protocols.
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(options.timeoutSeconds));
    // No byte for the whole time-out ends the exchange, like a receive that gives up.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, long(options.timeoutSeconds));
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    if (options.cancel) {
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(options.cancel));
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    }

    const CURLcode code = curl_easy_perform(curl);
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);

    if (code != CURLE_OK || transfer.tooLarge) {
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
